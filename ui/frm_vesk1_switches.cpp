// The three simple/advanced switches, the folder, file-mask and string boxes, and the keys of the
// edit and check boxes.
#include <QCheckBox>
#include <QComboBox>
#include <QEvent>
#include <QFocusEvent>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSignalBlocker>
#include <QTabWidget>

#include <filesystem>

#include "lib/program_folder.h"
#include "ui/date_calendar.h"
#include "ui/frm_vesk1.h"
#include "ui/frm_vesk_file_spec.h"
#include "ui/frm_vesk_folders.h"
#include "ui/frm_vesk_history.h"
#include "ui/frm_vesk_strings.h"
#include "ui/qt_text.h"
#include "ui/text_print.h"

namespace vesk {

namespace {
enum Switch { kFolders = 0, kFilespecs = 1, kStrings = 2 };

std::string currentFolder() {
    std::error_code ec;
    const std::filesystem::path p = std::filesystem::current_path(ec);
    return ec ? std::string() : p.string();
}

// A key that types or edits, as opposed to one that moves the focus or is a lone modifier.
bool isTypingKey(QEvent* event) {
    const int key = static_cast<QKeyEvent*>(event)->key();
    return key != Qt::Key_Tab && key != Qt::Key_Backtab && key != Qt::Key_Shift &&
           key != Qt::Key_Control && key != Qt::Key_Alt && key != Qt::Key_Meta;
}

// Focus moving between the window's controls, as opposed to the whole window being deactivated
// or a menu popping up: only the first enters or leaves a box.
bool isFocusMove(QEvent* event) {
    const Qt::FocusReason reason = static_cast<QFocusEvent*>(event)->reason();
    return reason != Qt::ActiveWindowFocusReason && reason != Qt::PopupFocusReason;
}

void setTextColour(QWidget* w, const Tint& c, QPalette::ColorRole role) {
    QPalette p = w->palette();
    p.setColor(role, QColor(c.r, c.g, c.b));
    w->setPalette(p);
}
} // namespace

int TfrmVesk1::modeOf(int which) const {
    switch (which) {
    case kFolders:
        return saved_.FolderMode;
    case kFilespecs:
        return saved_.FilespecMode;
    default:
        return saved_.StringsMode;
    }
}

void TfrmVesk1::applySwitchLook(int which) {
    QLineEdit* boxes[] = {edtFolder, edtFileSpec, edtString};
    QLabel* images[] = {ImageFolder, ImageFilespec, ImageString};
    QLabel* labels[] = {lblpAdvancedFolder, lblpAdvancedFilespec, lblpAdvancedString};
    QLabel* counts[] = {lblFolderCount, lblFilespecCount, lblStringsCount};
    QCheckBox* checks[] = {cbxAdvancedFolders, cbxAdvancedFileSpec, cbxAdvancedStrings};
    const SwitchLook look = switchLook(modeOf(which));
    QLineEdit* box = boxes[which];
    setTextColour(box, look.boxColour, QPalette::Text);
    QFont f = box->font();
    f.setBold(look.bold);
    box->setFont(f);
    box->setReadOnly(look.readOnly);
    images[which]->setPixmap(look.onPicture ? switchOn_ : switchOff_);
    setTextColour(labels[which], look.labelColour, QPalette::WindowText);
    if (look.clearCount) counts[which]->clear();
    // The check box follows the switch, whichever control toggled it.
    const QSignalBlocker block(checks[which]);
    checks[which]->setChecked(look.onPicture);
}

void TfrmVesk1::RefreshSwitchLooks() {
    for (int which : {kFolders, kFilespecs, kStrings})
        applySwitchLook(which);
    const bool foldersSimple = saved_.FolderMode != kModeAdvanced;
    btnCurrent->setEnabled(foldersSimple);
    btnBrowse->setEnabled(foldersSimple);
    if (saved_.FilespecMode == kModeAdvanced)
        lblFilespecCount->setText(toQt(
            CountLabelText(static_cast<long long>(lists_.FilespecList.size()), kNounFilespec)));
    const bool stringsSimple = saved_.StringsMode != kModeAdvanced;
    // The history window's "Multiple Searches" page shows only in advanced strings mode, so the
    // button that opens it stays enabled there.
    if (!stringsSimple) cbxGoogleFind->setChecked(false);
    cbxGoogleFind->setEnabled(stringsSimple);
}

void TfrmVesk1::ToggleFolderMode() {
    const bool toSimple = saved_.FolderMode == kModeAdvanced;
    saved_.FolderMode = toggledMode(saved_.FolderMode);
    if (toSimple) {
        btnCurrent->setEnabled(true);
        btnBrowse->setEnabled(true);
        edtFolder->setText(toQt(keepFirstItem(fromQt(edtFolder->text()))));
    }
    RefreshSwitchLooks();
}

void TfrmVesk1::ToggleFilespecMode() {
    saved_.FilespecMode = toggledMode(saved_.FilespecMode);
    RefreshSwitchLooks();
    edtFileSpec->setText(toQt(keepFirstItem(fromQt(edtFileSpec->text()))));
}

void TfrmVesk1::ToggleStringsMode() {
    const bool toSimple = saved_.StringsMode == kModeAdvanced;
    saved_.StringsMode = toggledMode(saved_.StringsMode);
    if (toSimple) edtString->setText(toQt(keepFirstItem(fromQt(edtString->text()))));
    RefreshSwitchLooks();
}

void TfrmVesk1::switchClicked(int which) {
    if (initialising_) return;
    if (which == kFolders) ToggleFolderMode();
    if (which == kFilespecs) ToggleFilespecMode();
    if (which == kStrings) ToggleStringsMode();
}

void TfrmVesk1::ApplySwitchStyle() {
    const bool pictures = cbxShowAdvancedButtons->isChecked();
    QLabel* images[] = {ImageFolder, ImageFilespec, ImageString};
    QLabel* labels[] = {lblpAdvancedFolder, lblpAdvancedFilespec, lblpAdvancedString};
    QCheckBox* checks[] = {cbxAdvancedFolders, cbxAdvancedFileSpec, cbxAdvancedStrings};
    for (int i = 0; i < 3; ++i) {
        images[i]->setVisible(pictures);
        labels[i]->setVisible(pictures);
        if (!pictures) checks[i]->move(labels[i]->pos());
        checks[i]->setVisible(!pictures);
    }
}

MainBoxes TfrmVesk1::boxesFromControls() const {
    MainBoxes b;
    b.edtFolder = fileNameFromQt(edtFolder->text());
    b.lblFolderCount = fromQt(lblFolderCount->text());
    b.edtFileSpec = fromQt(edtFileSpec->text());
    b.lblFilespecCount = fromQt(lblFilespecCount->text());
    b.edtString = fromQt(edtString->text());
    b.edtStringHint = fromQt(edtString->toolTip());
    b.lblStringsCount = fromQt(lblStringsCount->text());
    b.SearchText = searchText_;
    return b;
}

void TfrmVesk1::applyBoxes(const MainBoxes& b) {
    edtFolder->setText(fileNameToQt(b.edtFolder));
    lblFolderCount->setText(toQt(b.lblFolderCount));
    edtFileSpec->setText(toQt(b.edtFileSpec));
    lblFilespecCount->setText(toQt(b.lblFilespecCount));
    edtString->setText(toQt(b.edtString));
    edtString->setToolTip(toQt(b.edtStringHint));
    lblStringsCount->setText(toQt(b.lblStringsCount));
    searchText_ = b.SearchText;
}

void TfrmVesk1::refreshFolderSet() {
    MainBoxes b = boxesFromControls();
    RefreshFolderSet(saved_, b);
    applyBoxes(b);
}

void TfrmVesk1::buildRunLists() {
    buildFolderList();
    buildFilespecList();
    buildStringList();
}

// Each list window rebuilds only its own list: rebuilding the folder list in simple mode would
// put the first saved folder over the folder the user typed.
void TfrmVesk1::buildFolderList() {
    MainBoxes b = boxesFromControls();
    BuildFolderList(saved_, lists_, b);
    applyBoxes(b);
}

void TfrmVesk1::buildFilespecList() {
    MainBoxes b = boxesFromControls();
    BuildFilespecList(saved_, lists_, b);
    applyBoxes(b);
}

void TfrmVesk1::buildStringList() {
    MainBoxes b = boxesFromControls();
    BuildStringList(saved_, slots_, lists_, b);
    applyBoxes(b);
}

void TfrmVesk1::btnHistoryClick() {
    HistoryButtonAdds(history_, saved_.StringsMode, fromQt(edtString->text()),
                      run_->state().SearchString);
    frmVeskHistory_->exec();
    btnGo->setFocus();
}

BoxTexts TfrmVesk1::currentBoxTexts() const {
    return {fromQt(edtFolder->text()), fromQt(edtFileSpec->text()), fromQt(edtString->text())};
}

void TfrmVesk1::boxEnter(QLineEdit* box) {
    if (box == edtFolder) entered_.folder = fromQt(box->text());
    if (box == edtFileSpec) entered_.filespec = fromQt(box->text());
    if (box == edtString) entered_.string = fromQt(box->text());
}

void TfrmVesk1::boxExit(QLineEdit* box) {
    if (box == edtString) {
        if (fromQt(edtString->text()) != entered_.string && saved_.StringsMode != kModeAdvanced) {
            addToHistory(run_->state().SearchString);
            searchText_ = fromQt(edtString->text());
        }
        btnGo->setFocus();
    }
    MarkStatus(1);
}

void TfrmVesk1::boxClick(QLineEdit* box) {
    if (box == edtFolder) {
        if (saved_.FolderMode == kModeAdvanced && !initialising_) {
            frmVeskFolders_->exec();
            refreshFolderSet(); // the folder count
            buildFolderList();
        }
    } else if (box == edtFileSpec) {
        if (saved_.FilespecMode == kModeAdvanced) {
            frmVeskFileSpec_->exec();
            buildFilespecList();
        } else {
            lblFilespecCount->clear();
        }
    } else if (box == edtString && !initialising_) {
        if (saved_.StringsMode == kModeAdvanced) {
            frmVeskStrings_->exec();
            buildStringList();
        } else {
            edtString->setFocus();
            lblStringsCount->clear();
        }
    }
}

void TfrmVesk1::edtFolderDblClick() {
    if (saved_.FolderMode == kModeAdvanced) return;
    const std::string start =
        doubleClickStartFolder(currentFolder(), fileNameFromQt(edtFolder->text()),
                               saved_.SavedFolder[0], settingsFolder(), isExistingFolder);
    if (auto folder = dialogs_->pickFolder("Select folder", start))
        edtFolder->setText(fileNameToQt(*folder));
}

void TfrmVesk1::btnBrowseClick() {
    if (saved_.FolderMode == kModeAdvanced) return;
    refreshFolderSet();
    if (auto folder = dialogs_->pickFolder("Select folder", fileNameFromQt(edtFolder->text())))
        edtFolder->setText(fileNameToQt(*folder));
}

void TfrmVesk1::btnCurrentClick() {
    edtFolder->setText(fileNameToQt(currentFolder()));
}

bool TfrmVesk1::eventFilter(QObject* watched, QEvent* event) {
    const QEvent::Type type = event->type();
    if (watched == TabSelect && type == QEvent::Resize) placeSetupButtons();
    if (type == QEvent::MouseButtonPress) {
        if (watched == ImageFolder) switchClicked(kFolders);
        if (watched == ImageFilespec) switchClicked(kFilespecs);
        if (watched == ImageString) switchClicked(kStrings);
    }
    // Enter presses a focused push button, in this window and in the windows it made.
    if (type == QEvent::KeyPress && qobject_cast<QPushButton*>(watched)) {
        auto* button = static_cast<QPushButton*>(watched);
        const int key = static_cast<QKeyEvent*>(event)->key();
        if ((key == Qt::Key_Return || key == Qt::Key_Enter) && button->isEnabled()) {
            button->click();
            return true;
        }
    }
    // Enter and Esc move on as Tab does, in every edit box and check box of the window.
    if (type == QEvent::KeyPress &&
        (qobject_cast<QLineEdit*>(watched) || qobject_cast<QCheckBox*>(watched))) {
        const int key = static_cast<QKeyEvent*>(event)->key();
        if (key == Qt::Key_Return || key == Qt::Key_Enter || key == Qt::Key_Escape) {
            focusNextChild();
            return true;
        }
    }
    auto* box = qobject_cast<QLineEdit*>(watched);
    if (box && (box == edtFolder || box == edtFileSpec || box == edtString)) {
        if (type == QEvent::FocusIn && isFocusMove(event)) boxEnter(box);
        if (type == QEvent::FocusOut && isFocusMove(event)) boxExit(box);
        if (type == QEvent::MouseButtonPress || (type == QEvent::KeyPress && isTypingKey(event)))
            boxClick(box);
        if (type == QEvent::MouseButtonDblClick && box == edtFolder) edtFolderDblClick();
    }
    return QMainWindow::eventFilter(watched, event);
}

void TfrmVesk1::watchEditAndCheckBoxes() {
    for (QLineEdit* e : findChildren<QLineEdit*>())
        e->installEventFilter(this);
    for (QCheckBox* c : findChildren<QCheckBox*>())
        c->installEventFilter(this);
}

void TfrmVesk1::connectControls() {
    watchEditAndCheckBoxes();
    connect(cbxAdvancedFolders, &QCheckBox::clicked, this, [this] { switchClicked(kFolders); });
    connect(cbxAdvancedFileSpec, &QCheckBox::clicked, this, [this] { switchClicked(kFilespecs); });
    connect(cbxAdvancedStrings, &QCheckBox::clicked, this, [this] { switchClicked(kStrings); });
    connect(cbxShowAdvancedButtons, &QCheckBox::clicked, this, [this] { ApplySwitchStyle(); });
    connect(cbxEnableReplace, &QCheckBox::toggled, btnReplace, &QPushButton::setEnabled);
    connect(cbxRegularExpressions, &QCheckBox::toggled, this,
            [this](bool on) { saved_.RegularExpressions = on; });
    connect(btnPrint, &QPushButton::clicked, this, [this] { btnPrintClick(*this); });
    connect(btnHistory, &QPushButton::clicked, this, [this] { btnHistoryClick(); });
    connect(btnBrowse, &QPushButton::clicked, this, [this] { btnBrowseClick(); });
    connect(btnCurrent, &QPushButton::clicked, this, [this] { btnCurrentClick(); });
    connect(btnGo, &QPushButton::clicked, this, [this] { btnGoClick(); });
    connect(btnStop, &QPushButton::clicked, this, [this] { btnStopClick(); });
    connect(btnSelect, &QPushButton::clicked, this, [this] { btnSelectClick(); });
    connect(btnReplace, &QPushButton::clicked, this, [this] { btnReplaceClick(); });
    connect(btnResizeVertical, &QPushButton::clicked, this, [this] { btnResizeVerticalClick(); });
    connect(btnFontMinus, &QPushButton::clicked, this, [this] { changeFontSize(-1); });
    connect(btnFontPlus, &QPushButton::clicked, this, [this] { changeFontSize(1); });
    connect(btnSelDate1, &QPushButton::clicked, this, [this] { btnSelDateClick(1); });
    connect(btnSelDate2, &QPushButton::clicked, this, [this] { btnSelDateClick(2); });
    connect(btnSelTime1, &QPushButton::clicked, this, [this] { btnSelTimeClick(1); });
    connect(btnSelTime2, &QPushButton::clicked, this, [this] { btnSelTimeClick(2); });
    connect(btnSetupOptions, &QPushButton::clicked, this, [this] { btnSetupOptionsClick(); });
    connect(btnTips, &QPushButton::clicked, this, [this] { btnTipsClick(); });
    connect(btnAdvancedInfo, &QPushButton::clicked, this, [this] { btnAdvancedInfoClick(); });
    connect(btnContactOstrel, &QPushButton::clicked, this, [this] { btnContactOstrelClick(); });
    // tabBarClicked comes from the user only; the phases change pages without it.
    connect(PageControl1, &QTabWidget::tabBarClicked, this, [this](int i) { pageTabClick(i); });
    connect(PageControl2, &QTabWidget::currentChanged, this, [this](int i) {
        if (i == 2) SetDateDefaults();
    });
    connect(DateTimePicker1, &DateCalendar::closeUp, this,
            [this](int box, double date) { DateTimePicker1CloseUp(box, date); });
}

} // namespace vesk
