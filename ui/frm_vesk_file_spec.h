#pragma once
// TfrmVeskFileSpec "Filespec - Advanced  Search": the saved file masks (at most eleven), each with
// a check mark that puts it in the current search. Created once at start-up and kept until the
// program ends; the rows go to the saved record on showing, on every click, on OK and before
// saving.

#include <QDialog>

#include "ui/list_window_links.h"

class QLineEdit;
class QListWidget;
class QPlainTextEdit;
class QPushButton;

namespace vesk {

class TfrmVeskFileSpec : public QDialog {
    Q_OBJECT
public:
    explicit TfrmVeskFileSpec(QWidget* parent = nullptr);

    void setLinks(ListWindowLinks links) { links_ = std::move(links); }

protected:
    void showEvent(QShowEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void fillRows();
    void takeRows();
    void btnAddClick();
    void deleteSelectedRow();
    void btnFinishClick();
    void btnReloadDefaultClick();
    void btnSaveFilespecClick();

    ListWindowLinks links_;
    QListWidget* clbFilespec = nullptr;
    QLineEdit* edtFilespec = nullptr;
    QPushButton* btnAdd = nullptr;
    QPlainTextEdit* memoFileSpec = nullptr;
    QPushButton* btnSaveFilespec = nullptr;
    QPushButton* btnReloadDefault = nullptr;
    QPushButton* btnFinish = nullptr;
};

} // namespace vesk
