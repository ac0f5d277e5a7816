#pragma once
// The window for the review of a file's replacements before saving. Created once at start-up and kept until the program ends; its controls
// arrive with the feature it belongs to.

#include <QDialog>

namespace vesk {

class TfrmVeskReplaceResults : public QDialog {
    Q_OBJECT
public:
    explicit TfrmVeskReplaceResults(QWidget* parent = nullptr);
};

} // namespace vesk
