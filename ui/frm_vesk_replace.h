#pragma once
// The window for the find/replace pairs and the replace options. Created once at start-up and kept until the program ends; its controls
// arrive with the feature it belongs to.

#include <QDialog>

namespace vesk {

class TfrmVeskReplace : public QDialog {
    Q_OBJECT
public:
    explicit TfrmVeskReplace(QWidget* parent = nullptr);
};

} // namespace vesk
