#pragma once
// TfrmVesk1, the main window: the "Select" page with the folder, file-mask and string boxes, their
// three simple/advanced switches and the option tabs; the "Matches" page with the results grid;
// the bottom strip with the overlapping Select / Search / Stop buttons and the status labels.
// The window is the search run's host: the run reads the controls through readOptions() at its
// start and for every file.

#include <QElapsedTimer>
#include <QMainWindow>
#include <QPixmap>
#include <memory>
#include <string>

#include "lib/clock.h"
#include "lib/dialogs.h"
#include "lib/shell.h"
#include "lib/string_grid.h"
#include "lib/string_slots.h"
#include "main_window/window_rules.h"
#include "results/results_grid.h"
#include "search/date_selection.h"
#include "search/search_host.h"
#include "search/search_run.h"
#include "settings/advanced_lists.h"
#include "settings/history.h"
#include "settings/settings.h"
#include "ui/desktop_commands.h"

class QCheckBox;
class QComboBox;
class QFrame;
class QLabel;
class QLineEdit;
class QPushButton;
class QTabWidget;
class QTableView;
class QWidget;

namespace vesk {

class DateCalendar;
class FoundLineActions;
class ReplaceController;
struct PairsDisplay;
struct ListWindowLinks;
class QtDialogs;
class ResultsView;
class TfrmFeedback;
class TfrmFWindow;
class TfrmText;
class TfrmTimePicker;
class TfrmVeskEditOptions;
class TfrmVeskFileSpec;
class TfrmVeskFolders;
class TfrmVeskHistory;
class TfrmVeskReplace;
class TfrmVeskReplaceResults;
class TfrmVeskStrings;
class TfrmVeskTips;
class TfrmView2;

// What the window is given instead of making its own: tests pass scripted dialogs, a recording
// shell and a fake clock.
struct VeskWindowOptions {
    Dialogs* dialogs = nullptr;   // nullptr: Qt's message boxes
    Shell* shell = nullptr;       // nullptr: PosixShell with the desktop clipboard
    const Clock* clock = nullptr; // nullptr: the wall clock
    bool verbose = false;         // the "-v" parameter: diagnostics when a found line is opened
};

class TfrmVesk1 : public QMainWindow, public SearchHost {
    Q_OBJECT
public:
    explicit TfrmVesk1(VeskWindowOptions options = {}, QWidget* parent = nullptr);
    ~TfrmVesk1() override;

    // At start: the window, frame included, centred in the screen's work area and shrunk where it
    // would not fit. Once shown, the real frame is known and the place is corrected if needed.
    void placeOnScreen();

    // Operations other windows call.
    void ShowPhase(int phase);
    void SetReplaceIndicator(int kind);
    void MarkStatus(int kind);
    void RefreshSwitchLooks();
    void ToggleFolderMode();
    void ToggleFilespecMode();
    void ToggleStringsMode();
    void ApplySwitchStyle();
    void SetDateDefaults();

    // Window state.
    bool Searching() const { return run_->state().Searching; }
    bool ReplaceOn() const { return replaceOn_; }
    const std::string& AbortedText() const { return run_->state().AbortedText; }
    bool Initialising() const { return initialising_; }
    bool Expanded() const { return expanded_; }
    const std::string& SearchText() const { return searchText_; }
    void setSearchText(std::string text) { searchText_ = std::move(text); }
    bool verbose() const { return options_.verbose; }
    const std::string& settingsPath() const { return settingsPath_; }
    const std::string& archivePath() const { return archivePath_; }
    SavedSettings& saved() { return saved_; }
    RunLists& runLists() { return lists_; }
    StringSlots& stringSlots() { return slots_; }
    SearchHistory& history() { return history_; }
    FoundLineActions* foundLineActions() const { return foundLines_; }
    SearchRun& searchRun() { return *run_; }
    DesktopCommands& commands() { return *commands_; }
    int gridFontSize() const;
    ResultsView& resultsView() { return *grdFound; }

    // The windows created at start-up, kept until the program ends.
    TfrmVeskHistory* frmVeskHistory() const { return frmVeskHistory_; }
    TfrmVeskReplace* frmVeskReplace() const { return frmVeskReplace_; }
    TfrmVeskFileSpec* frmVeskFileSpec() const { return frmVeskFileSpec_; }
    TfrmVeskStrings* frmVeskStrings() const { return frmVeskStrings_; }
    TfrmText* frmText() const { return frmText_; }
    TfrmView2* frmView2() const { return frmView2_; }
    TfrmVeskEditOptions* frmVeskEditOptions() const { return frmVeskEditOptions_; }
    TfrmFWindow* frmFWindow() const { return frmFWindow_; }
    TfrmVeskReplaceResults* frmVeskReplaceResults() const { return frmVeskReplaceResults_; }
    TfrmVeskFolders* frmVeskFolders() const { return frmVeskFolders_; }
    TfrmVeskTips* frmVeskTips() const { return frmVeskTips_; }
    TfrmTimePicker* frmTimePicker() const { return frmTimePicker_; }
    TfrmFeedback* frmFeedback() const { return frmFeedback_; }

    // SearchHost.
    SearchOptions readOptions() override;
    FileOptions readFileOptions() override;
    StringGrid& grid() override { return grid_; }
    Dialogs& dialogs() override { return *dialogs_; }
    const Clock& clock() override { return *clock_; }
    void setStatusText(std::string_view text) override;
    void setProgressText(std::string_view text) override;
    void markStatus(int mode) override { MarkStatus(mode); }
    void processEvents() override;
    void betweenFiles() override;
    void focusStringBox() override;
    void focusGrid() override;
    void fitResultColumns() override;
    void resetSpeedDisplay() override;
    void setGridDisplay(bool on) override;
    void setRunColumnWidth() override;
    void setLoadMethod(LoadMethod m) override;
    void showPhase(int phase) override { ShowPhase(phase); }
    void setReplaceIndicator(int mode) override { SetReplaceIndicator(mode); }
    bool applyDateSelection(TNarvFindFiles& scanner) override;
    void addToHistory(const std::string& searchString) override;
    ReviewOutcome reviewFile(const ReviewRequest& request) override;

protected:
    void showEvent(QShowEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    // Start-up.
    void FormCreate();
    void createWindows();
    ListWindowLinks listWindowLinks();
    void settingsReloaded();
    void installReplace();
    void pairsTaken(const PairsDisplay& display);
    void FormShow();
    void firstShowing();
    void buildControls();
    QWidget* buildSelectPage();
    QWidget* buildBoxesPanel(QWidget* parent);
    QWidget* buildSwitchCell(QWidget* parent, int which);
    QWidget* buildMainOptionsTab();
    QWidget* buildDateOptionsTab();
    QWidget* buildViewOptionsTab();
    QWidget* buildExtraOptionsTab();
    QWidget* buildMatchesPage();
    QWidget* buildBottomStrip();
    void connectControls();
    void watchEditAndCheckBoxes();

    // Phases and the run buttons.
    void placeRunButtons();
    void placeSetupButtons();
    void btnGoClick();
    void startRun();
    void btnReplaceClick();
    void btnStopClick();
    void btnSelectClick();
    void pageTabClick(int index);
    void btnResizeVerticalClick();
    void keepFrameOnScreen();
    void enterPressesButtons();

    // The boxes.
    MainBoxes boxesFromControls() const;
    void applyBoxes(const MainBoxes& boxes);
    void refreshFolderSet();
    void buildRunLists();
    void buildFolderList();
    void buildFilespecList();
    void buildStringList();
    void btnHistoryClick();
    BoxTexts currentBoxTexts() const;
    void boxEnter(QLineEdit* box);
    void boxExit(QLineEdit* box);
    void boxClick(QLineEdit* box);
    void edtFolderDblClick();
    void btnBrowseClick();
    void btnCurrentClick();
    void switchClicked(int which);
    int modeOf(int which) const;
    void applySwitchLook(int which);

    // Dates and times.
    DateBoxes dateBoxes() const;
    void setDateBoxes(const DateBoxes& boxes);
    void btnSelDateClick(int box);
    void DateTimePicker1CloseUp(int box, DateValue picked);
    void btnSelTimeClick(int box);

    // The grid's font buttons.
    void changeFontSize(int step);

    // Help, settings and feedback.
    void btnSetupOptionsClick();
    void btnTipsClick();
    void btnAdvancedInfoClick();
    void btnContactOstrelClick();
    bool sendFeedback(const std::string& subject, const std::string& body);

    VeskWindowOptions options_;
    std::unique_ptr<QtDialogs> ownDialogs_;
    std::unique_ptr<Shell> ownShell_;
    std::unique_ptr<Clock> ownClock_;
    Dialogs* dialogs_ = nullptr;
    Shell* shell_ = nullptr;
    const Clock* clock_ = nullptr;
    std::unique_ptr<DesktopCommands> commands_;

    StringGrid grid_{4, 1};
    StringSlots slots_;
    std::unique_ptr<SearchRun> run_;
    QElapsedTimer eventsHandled_; // since the host last handled events
    SavedSettings saved_;
    RunLists lists_;
    SearchHistory history_;
    std::string findSetFileName_;
    KeptDates keptDates_;
    std::string settingsPath_;
    std::string archivePath_;
    std::string searchText_;
    bool replaceOn_ = false;
    bool initialising_ = true;
    bool firstShowingDone_ = false;
    bool expanded_ = false;
    int normalTop_ = 0;
    int normalHeight_ = 0;
    BoxTexts entered_;
    QPixmap switchOn_, switchOff_;

    // Windows of the start-up table, after this one.
    TfrmVeskHistory* frmVeskHistory_ = nullptr;
    TfrmVeskReplace* frmVeskReplace_ = nullptr;
    TfrmVeskFileSpec* frmVeskFileSpec_ = nullptr;
    TfrmVeskStrings* frmVeskStrings_ = nullptr;
    TfrmText* frmText_ = nullptr;
    TfrmView2* frmView2_ = nullptr;
    TfrmVeskEditOptions* frmVeskEditOptions_ = nullptr;
    TfrmFWindow* frmFWindow_ = nullptr;
    TfrmVeskReplaceResults* frmVeskReplaceResults_ = nullptr;
    TfrmVeskFolders* frmVeskFolders_ = nullptr;
    TfrmVeskTips* frmVeskTips_ = nullptr;
    TfrmTimePicker* frmTimePicker_ = nullptr;
    TfrmFeedback* frmFeedback_ = nullptr;
    FoundLineActions* foundLines_ = nullptr;
    std::unique_ptr<ReplaceController> replace_;

    // Controls, named as the window has always named them.
    QTabWidget* PageControl1 = nullptr;
    QWidget* TabSelect = nullptr;
    QWidget* TabMatches = nullptr;
    QTabWidget* PageControl2 = nullptr;
    QLineEdit* edtFolder = nullptr;
    QPushButton* btnBrowse = nullptr;
    QPushButton* btnCurrent = nullptr;
    QLineEdit* edtFileSpec = nullptr;
    QCheckBox* cbxSubFolders = nullptr;
    QLineEdit* edtString = nullptr;
    QPushButton* btnHistory = nullptr;
    QLabel* lblFolderCount = nullptr;
    QLabel* lblFilespecCount = nullptr;
    QLabel* lblStringsCount = nullptr;
    QLabel* ImageFolder = nullptr;
    QLabel* ImageFilespec = nullptr;
    QLabel* ImageString = nullptr;
    QLabel* lblpAdvancedFolder = nullptr;
    QLabel* lblpAdvancedFilespec = nullptr;
    QLabel* lblpAdvancedString = nullptr;
    QCheckBox* cbxAdvancedFolders = nullptr;
    QCheckBox* cbxAdvancedFileSpec = nullptr;
    QCheckBox* cbxAdvancedStrings = nullptr;
    QLabel* ImageSwitchOn = nullptr;
    QLabel* ImageSwitchOff = nullptr;
    QPushButton* btnSetupOptions = nullptr;
    QPushButton* btnReplace = nullptr;
    QPushButton* btnTips = nullptr;
    QPushButton* btnAdvancedInfo = nullptr;
    QCheckBox* cbxAdvanced = nullptr;
    QCheckBox* cbxCopyToCB = nullptr;
    QCheckBox* cbxOmitBinBak = nullptr;
    QCheckBox* cbxGoogleFind = nullptr;
    QCheckBox* cbxFast = nullptr;
    QCheckBox* cbxMatchWholeWordsOnly = nullptr;
    QCheckBox* cbxRegularExpressions = nullptr;
    QCheckBox* cbxCasefl = nullptr;
    QCheckBox* cbxSearchFilename = nullptr;
    QCheckBox* cbxListAllFilenames = nullptr;
    QCheckBox* cbxOmitVeskSR = nullptr;
    QCheckBox* cbxReuseFileSearchList = nullptr;
    QCheckBox* cbxEnableDateSelections = nullptr;
    QLineEdit* edtSelDate1 = nullptr;
    QLineEdit* edtSelDate2 = nullptr;
    QLineEdit* edtSelTime1 = nullptr;
    QLineEdit* edtSelTime2 = nullptr;
    QPushButton* btnSelDate1 = nullptr;
    QPushButton* btnSelDate2 = nullptr;
    QPushButton* btnSelTime1 = nullptr;
    QPushButton* btnSelTime2 = nullptr;
    DateCalendar* DateTimePicker1 = nullptr;
    QCheckBox* cbxViewWindowCourier = nullptr;
    QComboBox* cbxLoadFromFileMethod = nullptr;
    QCheckBox* cbxShowAdvancedButtons = nullptr;
    QComboBox* cmbSpeedDisplay = nullptr;
    QCheckBox* cbxTestInfo = nullptr;
    QPushButton* btnContactOstrel = nullptr;
    QCheckBox* cbxAlwaysUseAdvancedFolderScan = nullptr;
    QCheckBox* cbxEnableReplace = nullptr;
    ResultsView* grdFound = nullptr;
    QWidget* runButtons_ = nullptr;
    QPushButton* btnSelect = nullptr;
    QPushButton* btnGo = nullptr;
    QPushButton* btnStop = nullptr;
    QLabel* lblFile = nullptr;
    QLabel* lblProgress2 = nullptr;
    QPushButton* btnFontMinus = nullptr;
    QPushButton* btnFontPlus = nullptr;
    QLabel* lblFont = nullptr;
    QFrame* shapeReplaceOn = nullptr;
    QLabel* lblReplaceOn = nullptr;
    QLabel* lblAdvancedVals = nullptr;
    QPushButton* btnView = nullptr;
    QPushButton* btnPrint = nullptr;
    QPushButton* btnResizeVertical = nullptr;
};

} // namespace vesk
