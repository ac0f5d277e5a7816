#pragma once
// TfrmVeskFolders "Folders - Advanced Search": the eleven saved folders, each with a check mark
// that puts it in the current search. Created once at start-up and kept until the program ends;
// the rows go to the saved record on showing, on every click, on OK and before saving.

#include <QDialog>

#include "ui/list_window_links.h"

class QListWidget;
class QPlainTextEdit;
class QPushButton;

namespace vesk {

class TfrmVeskFolders : public QDialog {
    Q_OBJECT
public:
    explicit TfrmVeskFolders(QWidget* parent = nullptr);

    void setLinks(ListWindowLinks links) { links_ = std::move(links); }

protected:
    void showEvent(QShowEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void fillRows();
    void takeRows();
    void clbFoldersDblClick();
    void deleteSelectedRow();
    void btnFinishClick();
    void btnReloadDefaultClick();
    void btnSaveFoldersClick();

    ListWindowLinks links_;
    QListWidget* clbFolders = nullptr;
    QPlainTextEdit* MemoFolders = nullptr;
    QPushButton* btnSaveFolders = nullptr;
    QPushButton* btnReloadDefault = nullptr;
    QPushButton* btnFinish = nullptr;
};

} // namespace vesk
