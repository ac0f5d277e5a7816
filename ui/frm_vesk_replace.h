#pragma once
// TfrmVeskReplace "Vesk Search/Replace Options": up to 200 find/replace pairs typed into a
// two-column grid or loaded from a set file, and the replace options. "Replace" stores the pairs,
// makes the next run search the table's strings and, with "Turn on replace text" ticked, switches
// replace mode on; the main window then starts the run. Created once at start-up.

#include <QDialog>
#include <string>

#include "lib/string_grid.h"
#include "ui/replace_links.h"

class QCheckBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QTableWidget;

namespace vesk {

// The options "Replace" copies for the run (read by the main window for each file).
struct ReplaceRunOptions {
    bool ConfirmEachFile = true;
    bool ConfirmEachLine = true;
    bool PreserveSpaces = false;
    bool LinesWithNoMatchesOnly = false;
    bool FilesWithNoMatch = false;
};

class TfrmVeskReplace : public QDialog {
    Q_OBJECT
public:
    explicit TfrmVeskReplace(QWidget* parent = nullptr);

    void setLinks(ReplaceLinks links) { links_ = std::move(links); }
    const ReplaceRunOptions& runOptions() const { return options_; }
    bool replaceMode() const { return replaceMode_; }

    // The dialog's operations, as its controls trigger them.
    void FormActivate();
    void UpdateReplaceControls();
    void PairsToGrid();
    void GridToPairs();
    void btnReplaceClick();
    void btnCancelClick();
    void edtNumStringsExit();
    void grdReplaceExit();
    void btnLoadFindReplaceSetClick();
    void btnEditFindReplaceSetClick();
    void ShowSetFileHelp();
    void Button1Click();

    int editCount() const { return editCount_; }

protected:
    void showEvent(QShowEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void buildControls();
    void connectControls();
    void gridFromTable(StringGrid& grid) const;
    void tableFromGrid(const StringGrid& grid);
    void showCount(int count);
    Dialogs* dialogs() const;
    void setIndicator(int mode) const;

    ReplaceLinks links_;
    ReplaceRunOptions options_;
    bool replaceMode_ = false;
    int editCount_ = 0;
    bool filling_ = false; // the table is being filled, not typed into

public:
    QLabel* Label1 = nullptr;
    QLabel* Label14 = nullptr;
    QLabel* Label2 = nullptr;
    QPushButton* Button1 = nullptr;
    QLabel* Label3 = nullptr;
    QCheckBox* cbxDoReplace = nullptr;
    QLabel* Label9 = nullptr;
    QLabel* Label10 = nullptr;
    QTableWidget* grdReplace = nullptr;
    QLabel* Label12 = nullptr;
    QLineEdit* edtNumStrings = nullptr;
    QPushButton* btnEditFindReplaceSet = nullptr;
    QPushButton* btnLoadFindReplaceSet = nullptr;
    QLabel* Label13 = nullptr;
    QLabel* lblFindStrAmx = nullptr;
    QCheckBox* cbxQueryFile = nullptr;
    QLabel* Label7 = nullptr;
    QCheckBox* cbxQueryLine = nullptr;
    QLabel* Label4 = nullptr;
    QCheckBox* cbxPreserveSpaces = nullptr;
    QLabel* Label11 = nullptr;
    QLabel* Label5 = nullptr;
    QCheckBox* cbxShowLinesNoMatches = nullptr;
    QCheckBox* cbxShowFilesWithNoMatches = nullptr;
    QLabel* Label6 = nullptr;
    QLabel* Label8 = nullptr;
    QPushButton* btnReplace = nullptr;
    QPushButton* btnCancel = nullptr;
};

// The dialog's fixed texts.
inline constexpr std::string_view kSetFileHelp =
    "You can load strings for Search/Replace from a file\r\n"
    "File with strings has 2 columns\r\n\r\n"
    "First column has Find strings (cannot be blank)\r\n\r\n"
    "Second column has replace strings\r\n"
    "(optional - only used for Find/Replace)\r\n\r\n"
    "Columns are separated by Tab character\r\n"
    "(strings cannot have Tab in them)";
inline constexpr std::string_view kReplaceDisclaimer =
    "I will not run this function unless:\r\n\r\n"
    "-I am over 18 years of age\r\n\r\n"
    "-I understand the technical implications of (ID ten T),  PEBKAC, and GIYF\r\n"
    " (if you don't know these go and Google all these before using this replace function)";
inline constexpr std::string_view kReplaceWarning =
    "Warning - Multi replace is a new feature, use with care\r\n\r\n"
    "check log and use differences Viewer\r\n\r\n"
    "and note names of backup files\r\n\r\n";

} // namespace vesk
