#pragma once
// TfrmVeskHistory "Search History and Multiple Searches". Page "Search History" lists the strings
// searched since the program started, newest first, and puts the chosen one into the main
// window's string box. Page "Multiple Searches" (advanced strings mode only) edits a one-column
// table of strings, loads it from a find-set file, opens that file in the editor, and takes the
// strings into the string slots. Created once at start-up; the table keeps its rows between
// showings.

#include <QDialog>
#include <string>
#include <vector>

#include "ui/list_window_links.h"

class QLabel;
class QLineEdit;
class QListWidget;
class QPushButton;
class QTableWidget;
class QTabWidget;

namespace vesk {

class TfrmVeskHistory : public QDialog {
    Q_OBJECT
public:
    explicit TfrmVeskHistory(QWidget* parent = nullptr);

    void setLinks(ListWindowLinks links) { links_ = std::move(links); }

protected:
    void showEvent(QShowEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QWidget* buildHistoryPage();
    QWidget* buildMultiplePage();
    bool stringsAdvanced() const;
    void FormShow();
    void btnOKClick();
    void edtNumStringsExit();
    void btnUseMultiClick();
    void btnEditFindSetClick();
    void btnLoadFindSetClick();
    void loadFindSetFile(const std::string& fileName);
    void showSlotsInTable();
    std::vector<std::string> tableRows();

    ListWindowLinks links_;
    std::string ownFindSetFileName_; // used when the main window shares none
    QTabWidget* PageControl1 = nullptr;
    QListWidget* lstbxHistory = nullptr;
    QPushButton* btnOK = nullptr;
    QPushButton* btnCancel = nullptr;
    QLabel* Label1 = nullptr;
    QTableWidget* grdMultipleFind = nullptr;
    QLabel* Label12 = nullptr;
    QLineEdit* edtNumStrings = nullptr;
    QPushButton* btnUseMulti = nullptr;
    QPushButton* btnCancelMulti = nullptr;
    QPushButton* btnEditFindSet = nullptr;
    QPushButton* btnLoadFindSet = nullptr;
};

} // namespace vesk
