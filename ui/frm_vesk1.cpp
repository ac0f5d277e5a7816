#include "ui/frm_vesk1.h"

#include <QApplication>
#include <QCheckBox>
#include <QCloseEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QScreen>
#include <QShowEvent>
#include <QTabWidget>
#include <QTimer>

#include <filesystem>

#include "lib/program_folder.h"
#include "ui/found_line_actions.h"
#include "ui/frm_f_window.h"
#include "ui/frm_feedback.h"
#include "ui/frm_text.h"
#include "ui/frm_time_picker.h"
#include "ui/frm_vesk_edit_options.h"
#include "ui/frm_vesk_file_spec.h"
#include "ui/frm_vesk_folders.h"
#include "ui/frm_vesk_history.h"
#include "ui/frm_vesk_replace.h"
#include "ui/frm_vesk_replace_results.h"
#include "ui/frm_vesk_strings.h"
#include "ui/frm_vesk_tips.h"
#include "ui/frm_view2.h"
#include "ui/grid_model.h"
#include "ui/list_window_links.h"
#include "ui/qt_dialogs.h"
#include "ui/qt_shell.h"
#include "ui/qt_text.h"
#include "ui/replace_controller.h"
#include "ui/results_view.h"
#include "ui/switch_pictures.h"

namespace vesk {

namespace {
// What a desktop frame usually adds before the window manager tells the real one.
constexpr FrameMargins kUsualFrame{4, 32, 4, 4};
constexpr int kDesignMinimumWidth = 1105;
constexpr int kFrameKnownAfterMs = 300;

std::string currentFolder() {
    std::error_code ec;
    const std::filesystem::path p = std::filesystem::current_path(ec);
    return ec ? std::string() : p.string();
}
} // namespace

TfrmVesk1::TfrmVesk1(VeskWindowOptions options, QWidget* parent)
    : QMainWindow(parent), options_(options) {
    setObjectName(QStringLiteral("frmVesk1"));
    if (!options_.dialogs) ownDialogs_ = std::make_unique<QtDialogs>(this);
    if (!options_.shell) ownShell_ = std::make_unique<QtShell>();
    if (!options_.clock) ownClock_ = std::make_unique<SystemClock>();
    dialogs_ = options_.dialogs ? options_.dialogs : ownDialogs_.get();
    shell_ = options_.shell ? options_.shell : ownShell_.get();
    clock_ = options_.clock ? options_.clock : ownClock_.get();
    commands_ = std::make_unique<DesktopCommands>(*shell_, *dialogs_, *clock_);
    run_ = std::make_unique<SearchRun>(*this, slots_);
    switchOn_ = drawSwitchPicture(true);
    switchOff_ = drawSwitchPicture(false);

    buildControls();
    connectControls();
    FormCreate();
    createWindows();
}

TfrmVesk1::~TfrmVesk1() = default;

void TfrmVesk1::FormCreate() {
    initialising_ = true;
    settingsPath_ = SettingsPath();
    archivePath_ = stateFolder() + "VeskSearchReplaceArchive.jarc";
    saved_ =
        LoadSettings(settingsPath_, [this](int level) { commands_->setDiagnosticLevel(level); });
    cbxRegularExpressions->setChecked(saved_.RegularExpressions);
    refreshFolderSet();
    SetDateDefaults();
    PageControl2->setCurrentIndex(0);
    lists_ = RunLists{};
}

void TfrmVesk1::createWindows() {
    // The order of creation is the program's start-up order; every window lives until the end.
    frmVeskHistory_ = new TfrmVeskHistory(this);
    frmVeskReplace_ = new TfrmVeskReplace(this);
    frmVeskFileSpec_ = new TfrmVeskFileSpec(this);
    frmVeskStrings_ = new TfrmVeskStrings(this);
    frmText_ = new TfrmText(this);
    frmView2_ = new TfrmView2(this);
    frmVeskEditOptions_ = new TfrmVeskEditOptions(this);
    frmFWindow_ = new TfrmFWindow(this);
    frmVeskReplaceResults_ = new TfrmVeskReplaceResults(this);
    frmVeskFolders_ = new TfrmVeskFolders(this);
    frmVeskTips_ = new TfrmVeskTips(this);
    frmTimePicker_ = new TfrmTimePicker(this);
    frmFeedback_ =
        new TfrmFeedback([this](const std::string& subject,
                                const std::string& body) { return sendFeedback(subject, body); },
                         this);

    const ListWindowLinks links = listWindowLinks();
    frmVeskHistory_->setLinks(links);
    frmVeskFileSpec_->setLinks(links);
    frmVeskStrings_->setLinks(links);
    frmVeskFolders_->setLinks(links);
    FoundLineParts parts;
    parts.grdFound = grdFound;
    parts.btnView = btnView;
    parts.cbxCopyToCB = cbxCopyToCB;
    parts.edtString = edtString;
    parts.cbxTestInfo = cbxTestInfo;
    parts.cbxViewWindowCourier = cbxViewWindowCourier;
    parts.verbose = options_.verbose;
    parts.frmView2 = frmView2_;
    parts.frmVeskEditOptions = frmVeskEditOptions_;
    parts.frmFWindow = frmFWindow_;
    foundLines_ = new FoundLineActions(parts, *shell_, *dialogs_, settingsPath_, this);
    installReplace();
    enterPressesButtons();
}

void TfrmVesk1::enterPressesButtons() {
    // The windows made at start-up are this window's children: one filter serves their buttons.
    for (QPushButton* b : findChildren<QPushButton*>())
        b->installEventFilter(this);
}

void TfrmVesk1::installReplace() {
    ReplaceLinks links;
    links.stringSlots = &slots_;
    links.findSetFileName = &findSetFileName_;
    links.commands = &commands_->context();
    links.archivePath = archivePath_;
    links.settingsPath = settingsPath_;
    links.setReplaceIndicator = [this](int kind) { SetReplaceIndicator(kind); };
    links.currentSearchString = [this] { return run_->state().SearchString; };
    links.firstSavedFolder = [this] { return saved_.SavedFolder[0]; };
    links.pairsTaken = [this](const PairsDisplay& display) { pairsTaken(display); };
    links.stopRun = [this] { run_->Cancel(); };
    links.processEvents = [this] { processEvents(); };
    replace_ = std::make_unique<ReplaceController>(*frmVeskReplace_, *frmVeskReplaceResults_,
                                                   std::move(links));
}

void TfrmVesk1::pairsTaken(const PairsDisplay& display) {
    // The next run searches the find/replace table's strings.
    saved_.StringsMode = kModeAdvanced;
    MainBoxes scratch = boxesFromControls();
    BuildStringList(saved_, slots_, lists_, scratch);
    edtString->setText(toQt(display.searchText));
    edtString->setToolTip(toQt(display.hint));
    searchText_ = display.searchText;
    // The slots now hold the dialog's strings: the joined text of an earlier "Use for Searches"
    // no longer describes what the next run searches.
    history_.FindSetText.clear();
    RefreshSwitchLooks();
    lblStringsCount->setText(toQt(display.countLabel));
}

ListWindowLinks TfrmVesk1::listWindowLinks() {
    ListWindowLinks links;
    links.saved = &saved_;
    links.lists = &lists_;
    links.stringSlots = &slots_;
    links.history = &history_;
    links.dialogs = dialogs_;
    links.settingsPath = settingsPath_;
    links.setDiagnosticLevel = [this](int level) { commands_->setDiagnosticLevel(level); };
    links.stringBox = [this] { return fromQt(edtString->text()); };
    links.setStringBox = [this](const std::string& text) { edtString->setText(toQt(text)); };
    links.settingsReloaded = [this] { settingsReloaded(); };
    links.stringsTaken = [this] { buildStringList(); };
    links.editFile = [this](const std::string& path) { return commands_->editFile(path); };
    links.findSetFileName = &findSetFileName_;
    return links;
}

void TfrmVesk1::settingsReloaded() {
    // "Reset to Saved Defaults" brings back the saved switches: show them at once.
    cbxAdvancedFolders->setChecked(saved_.FolderMode == kModeAdvanced);
    cbxAdvancedFileSpec->setChecked(saved_.FilespecMode == kModeAdvanced);
    cbxAdvancedStrings->setChecked(saved_.StringsMode == kModeAdvanced);
    cbxRegularExpressions->setChecked(saved_.RegularExpressions);
    RefreshSwitchLooks();
}

void TfrmVesk1::showEvent(QShowEvent* event) {
    QMainWindow::showEvent(event);
    // A restore from the task bar is spontaneous and is not a new showing of the window.
    if (!event->spontaneous()) FormShow();
}

void TfrmVesk1::FormShow() {
    normalTop_ = frameGeometry().top();
    normalHeight_ = height();
    expanded_ = false;
    history_.StringKind = kStringKindSingle;
    btnResizeVertical->setToolTip(toQt(kExpandHint));
    cbxAdvancedFolders->setChecked(saved_.FolderMode == kModeAdvanced);
    cbxAdvancedFileSpec->setChecked(saved_.FilespecMode == kModeAdvanced);
    cbxAdvancedStrings->setChecked(saved_.StringsMode == kModeAdvanced);
    RefreshSwitchLooks();
    if (saved_.FolderMode != kModeAdvanced && edtFolder->text().trimmed().isEmpty())
        edtFolder->setText(fileNameToQt(currentFolder()));
    fitResultColumns();
    setWindowTitle(toQt(kWindowCaption));
    if (!firstShowingDone_) firstShowing();
}

void TfrmVesk1::firstShowing() {
    firstShowingDone_ = true;
    edtFileSpec->setText(toQt(kAllFilesMask));
    refreshFolderSet();
    cbxSubFolders->setChecked(false);
    for (QCheckBox* box : {cbxCopyToCB, cbxCasefl, cbxOmitBinBak, cbxOmitVeskSR})
        box->setChecked(true);
    run_->state().Searching = false;
    run_->state().AbortedText.clear();
    grdFound->captureDesignWidths();
    ShowPhase(kPhaseSelecting);

    if (saved_.FolderMode != kModeAdvanced) {
        const StartFolder start = chooseStartFolder(fileNameFromQt(edtFolder->text()),
                                                    saved_.SavedFolder[0], settingsFolder());
        if (start.setSavedFolder0) saved_.SavedFolder[0] = start.folder;
        edtFolder->setText(fileNameToQt(start.folder));
    }
    btnCurrent->setToolTip(QStringLiteral("Current folder - ") + fileNameToQt(currentFolder()));
    const bool folderAdvanced = saved_.FolderMode == kModeAdvanced;
    edtFolder->setToolTip(folderAdvanced
                              ? QStringLiteral("Click Browse to choose folder")
                              : QStringLiteral("Double-click or click Browse to choose folder"));
    edtString->setToolTip(saved_.StringsMode == kModeAdvanced
                              ? QStringLiteral("Click select button to select multiple strings")
                              : QStringLiteral("String to search for"));
    RefreshSwitchLooks();
    ApplySwitchStyle();
    buildRunLists();
    if (folderAdvanced || saved_.FilespecMode == kModeAdvanced) cbxSubFolders->setChecked(true);
    edtFolder->setFocus();
    QTimer::singleShot(kFrameKnownAfterMs, this, [this] { keepFrameOnScreen(); });
    // The focus given at start-up arrives with the window's activation, which is not an entry
    // into a box: take the start texts as the texts entered.
    entered_ = currentBoxTexts();
    initialising_ = false;
    btnReplace->setEnabled(cbxEnableReplace->isChecked());
}

void TfrmVesk1::placeRunButtons() {
    // Select, Search and Stop share one place in the bottom strip; the phase shows one of them.
    const QRect place(QPoint(0, 0), runButtons_->size());
    btnSelect->setGeometry(place);
    btnGo->setGeometry(place.topLeft().x(), btnSelect->y(), place.width(), place.height());
    btnStop->setGeometry(btnSelect->x(), btnSelect->y(), place.width(), place.height());
}

void TfrmVesk1::ShowPhase(int phase) {
    placeRunButtons();
    const PhaseLook look = phaseLook(phase);
    if (look.searching)
        run_->state().Searching = true;
    else
        run_->Cancel();
    btnSelect->setVisible(look.selectVisible);
    btnGo->setVisible(look.goVisible);
    btnStop->setVisible(look.stopVisible);
    PageControl1->setCurrentIndex(look.page);
    setWindowTitle(toQt(phaseCaption(phase, searchText_, replaceOn_)));
    btnView->setVisible(look.viewButtonsVisible);
    btnPrint->setVisible(look.viewButtonsVisible);
    if (phase == kPhaseViewing) {
        refreshFolderSet();
        grid_.setVisible(true);
        grdFound->gridModel().flush();
        SetReplaceIndicator(1);
        grdFound->setFocus();
        lblProgress2->setText(toQt(run_->state().ReplacedText + run_->state().AbortedText));
        lblFont->setText(QString::number(grdFound->gridFontSize()));
    } else if (phase != kPhaseSearching) {
        lblProgress2->clear();
    }
    btnFontPlus->setVisible(look.fontButtonsVisible);
    btnFontMinus->setVisible(look.fontButtonsVisible);
    lblFont->setVisible(look.fontButtonsVisible);
    processEvents();
}

void TfrmVesk1::SetReplaceIndicator(int kind) {
    if (kind != 1 && kind != 2) return;
    replaceOn_ = kind == 2;
    shapeReplaceOn->setVisible(replaceOn_);
    lblReplaceOn->setVisible(replaceOn_);
}

void TfrmVesk1::MarkStatus(int kind) {
    const StatusMark mark = vesk::markStatus(kind, entered_, currentBoxTexts());
    if (mark == StatusMark::Unchanged) return;
    const Tint c = statusColour(mark);
    QPalette palette = lblFile->palette();
    palette.setColor(QPalette::WindowText, QColor(c.r, c.g, c.b));
    lblFile->setPalette(palette);
}

void TfrmVesk1::btnGoClick() {
    processEvents();
    SetReplaceIndicator(1);
    startRun();
}

void TfrmVesk1::startRun() {
    // A simple run searches the box as it stands, however the text got there (typed, picked from
    // the history): the caption names that string.
    if (saved_.StringsMode != kModeAdvanced) searchText_ = fromQt(edtString->text());
    // A run refused for an invalid mask or date leaves no summary of its own: the status line
    // must not go on showing the previous run's.
    if (run_->DoSearch() == RunResult::Failed) setStatusText(notSearchedStatus(run_->failure()));
}

void TfrmVesk1::btnReplaceClick() {
    frmVeskReplace_->exec();
    // The joined strings of the last "Use for Searches"; before that there are none, and the
    // string box keeps what the user typed rather than being emptied.
    if (!history_.FindSetText.empty()) edtString->setText(toQt(history_.FindSetText));
    if (replaceOn_) {
        SetReplaceIndicator(2);
        startRun();
    }
}

void TfrmVesk1::btnStopClick() {
    run_->Stop();
}

void TfrmVesk1::btnSelectClick() {
    ShowPhase(kPhaseSelecting);
}

void TfrmVesk1::pageTabClick(int index) {
    // A tab clicked by the user ends a run at its next file, without the " (aborted)" note.
    ShowPhase(index == 0 ? kPhaseSelecting : kPhaseViewing);
}

void TfrmVesk1::btnResizeVerticalClick() {
    // The top is the frame's, as the work area's is; the height is the client area's.
    const QRect work = screen() ? screen()->availableGeometry() : frameGeometry();
    const int frameExtra = frameGeometry().height() - height();
    if (!expanded_) {
        // Taken again here: the platform places the frame after the show event (and the user may
        // have moved the window since), so the values of the showing can be a frame's width off.
        normalTop_ = frameGeometry().top();
        normalHeight_ = height();
    }
    const VerticalGeometry g = verticalResize(expanded_, work.top(), work.height() - frameExtra,
                                              normalTop_, normalHeight_);
    move(frameGeometry().left(), g.top);
    resize(width(), g.height);
    expanded_ = g.expanded;
    btnResizeVertical->setToolTip(toQt(g.hint));
}

void TfrmVesk1::placeOnScreen() {
    const QScreen* s = screen() ? screen() : QGuiApplication::primaryScreen();
    if (!s) return;
    const QRect work = s->availableGeometry();
    const QRect frame = frameGeometry();
    const QRect client = geometry();
    FrameMargins margins = kUsualFrame;
    if (isVisible() && frame != client)
        margins = {client.left() - frame.left(), client.top() - frame.top(),
                   frame.right() - client.right(), frame.bottom() - client.bottom()};
    const WindowPlace place = startPlace({work.x(), work.y(), work.width(), work.height()},
                                         std::max(width(), kDesignMinimumWidth), height(), margins);
    setMinimumWidth(std::min(kDesignMinimumWidth, place.width));
    setGeometry(place.x, place.y, place.width, place.height);
}

void TfrmVesk1::keepFrameOnScreen() {
    const QScreen* s = screen();
    if (!s || s->availableGeometry().contains(frameGeometry())) return;
    placeOnScreen();
}

void TfrmVesk1::closeEvent(QCloseEvent* event) {
    // A run in progress stops at its next file; otherwise it would go on searching with the
    // window gone, and the program would not end until it finished. Nothing is saved.
    run_->Cancel();
    QMainWindow::closeEvent(event);
}

void TfrmVesk1::resizeEvent(QResizeEvent* event) {
    QMainWindow::resizeEvent(event);
    fitResultColumns();
    placeSetupButtons();
}

} // namespace vesk
