#pragma once
// TfrmVeskStrings "Strings - Advanced Search": the strings of a multiple-string search, one per
// line of a memo that keeps its text between showings. OK fills the string slots from the
// non-blank lines (at most 200). Created once at start-up and kept until the program ends.

#include <QDialog>
#include <QString>
#include <string>

#include "ui/list_window_links.h"

class QListWidget;
class QPlainTextEdit;
class QPushButton;

namespace vesk {

class TfrmVeskStrings : public QDialog {
    Q_OBJECT
public:
    explicit TfrmVeskStrings(QWidget* parent = nullptr);

    void setLinks(ListWindowLinks links) { links_ = std::move(links); }

protected:
    void showEvent(QShowEvent* event) override;

private:
    void btnFinishClick();
    void btnReloadDefaultClick();
    std::string memoBytes() const;

    ListWindowLinks links_;
    QPlainTextEdit* MemoStrings = nullptr;
    QPushButton* btnReloadDefault = nullptr;
    QPushButton* btnFinish = nullptr;
    QPushButton* btnSaveStrings = nullptr;
    QListWidget* clbStrings = nullptr;
    QPushButton* btnEditStrings = nullptr;
    QPushButton* btnEdtChecks = nullptr;
    // The string slots last put into the memo, as bytes and as shown: an untouched memo gives
    // back the very bytes, even those that are not UTF-8.
    std::string shownBytes_;
    QString shownText_;
};

} // namespace vesk
