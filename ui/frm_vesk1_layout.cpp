// The controls of TfrmVesk1 and where they sit. Captions and hints are the window's own texts.
#include <QCheckBox>
#include <QComboBox>
#include <QFrame>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QStyle>
#include <QTabBar>
#include <QTabWidget>
#include <QVBoxLayout>

#include "ui/date_calendar.h"
#include "ui/frm_vesk1.h"
#include "ui/qt_text.h"
#include "ui/results_view.h"
#include "ui/switch_pictures.h"

namespace vesk {

namespace {

template <class W> W* named(W* widget, const char* name) {
    widget->setObjectName(QString::fromLatin1(name));
    return widget;
}

QCheckBox* checkBox(QWidget* parent, const char* name, const QString& caption, bool checked,
                    const QString& hint = {}) {
    auto* box = named(new QCheckBox(caption, parent), name);
    box->setChecked(checked);
    if (!hint.isEmpty()) box->setToolTip(hint);
    return box;
}

QPushButton* button(QWidget* parent, const char* name, const QString& caption,
                    const QString& hint = {}) {
    auto* b = named(new QPushButton(caption, parent), name);
    b->setAutoDefault(false);
    if (!hint.isEmpty()) b->setToolTip(hint);
    return b;
}

QLabel* colouredLabel(QWidget* parent, const char* name, const QString& text, QColor colour) {
    auto* label = named(new QLabel(text, parent), name);
    QPalette p = label->palette();
    p.setColor(QPalette::WindowText, colour);
    label->setPalette(p);
    return label;
}

constexpr int kSwitchCellWidth = 190;
constexpr int kSwitchCellHeight = 26;
constexpr int kRunButtonWidth = 110;
constexpr int kRunButtonHeight = 32;

} // namespace

void TfrmVesk1::buildControls() {
    QFont f = font();
    f.setFamilies(
        {QStringLiteral("Verdana"), QStringLiteral("DejaVu Sans"), QStringLiteral("sans-serif")});
    setFont(f);
    QPalette p = palette();
    p.setColor(QPalette::Window, Qt::white);
    setPalette(p);
    setAutoFillBackground(true);
    resize(1105, 760);
    setMinimumWidth(1105);

    auto* central = new QWidget(this);
    auto* layout = new QVBoxLayout(central);
    PageControl1 = named(new QTabWidget(central), "PageControl1");
    PageControl1->setStyleSheet(QStringLiteral("QTabBar::tab { min-width: 120px; height: 30px; }"));
    PageControl1->addTab(buildSelectPage(), QStringLiteral("Select"));
    PageControl1->addTab(buildMatchesPage(), QStringLiteral("Matches"));
    layout->addWidget(PageControl1, 1);
    layout->addWidget(buildBottomStrip());
    setCentralWidget(central);

    // Hidden holders of the two switch pictures, as the window has always kept them.
    ImageSwitchOn = named(new QLabel(central), "ImageSwitchOn");
    ImageSwitchOn->setPixmap(switchOn_);
    ImageSwitchOn->hide();
    ImageSwitchOff = named(new QLabel(central), "ImageSwitchOff");
    ImageSwitchOff->setPixmap(switchOff_);
    ImageSwitchOff->hide();
}

QWidget* TfrmVesk1::buildSelectPage() {
    TabSelect = named(new QWidget, "TabSelect");
    auto* layout = new QVBoxLayout(TabSelect);
    layout->addWidget(buildBoxesPanel(TabSelect));

    PageControl2 = named(new QTabWidget(TabSelect), "PageControl2");
    PageControl2->addTab(buildMainOptionsTab(), QStringLiteral("Main options"));
    PageControl2->addTab(buildDateOptionsTab(), QStringLiteral("Date options"));
    PageControl2->addTab(buildViewOptionsTab(), QStringLiteral("View etc options"));
    PageControl2->addTab(buildExtraOptionsTab(), QStringLiteral("Extra options"));
    layout->addWidget(PageControl2, 1);

    auto* helpRow = new QHBoxLayout;
    btnTips = button(TabSelect, "btnTips", QStringLiteral("Viewing results tips"));
    btnAdvancedInfo = button(TabSelect, "btnAdvancedInfo", QStringLiteral("Advanced options   "));
    lblAdvancedVals =
        colouredLabel(TabSelect, "lblAdvancedVals", QStringLiteral("   "), QColor(128, 128, 128));
    shapeReplaceOn = named(new QFrame(TabSelect), "shapeReplaceOn");
    shapeReplaceOn->setStyleSheet(
        QStringLiteral("#shapeReplaceOn { background: rgb(255,251,240); border: 1px solid "
                       "rgb(128,0,0); }"));
    auto* shapeLayout = new QHBoxLayout(shapeReplaceOn);
    lblReplaceOn = colouredLabel(shapeReplaceOn, "lblReplaceOn", QStringLiteral("Replace On"),
                                 QColor(128, 0, 0));
    QFont bold = lblReplaceOn->font();
    bold.setBold(true);
    lblReplaceOn->setFont(bold);
    shapeLayout->addWidget(lblReplaceOn);
    shapeReplaceOn->hide();
    lblReplaceOn->hide();
    cbxAdvanced =
        checkBox(TabSelect, "cbxAdvanced", QStringLiteral("Advanced Options-not used v7"), false);
    cbxAdvanced->hide();
    // Settings and Replace sit at the page's foot, placed on every resize.
    btnSetupOptions = button(TabSelect, "btnSetupOptions", QStringLiteral("Settings"));
    btnReplace = button(TabSelect, "btnReplace", QStringLiteral("Replace"));
    btnReplace->setEnabled(false);
    helpRow->addSpacing(2 * 110 + 20);
    helpRow->addWidget(btnTips);
    helpRow->addWidget(btnAdvancedInfo);
    helpRow->addWidget(lblAdvancedVals);
    helpRow->addStretch(1);
    helpRow->addWidget(shapeReplaceOn);
    layout->addLayout(helpRow);
    TabSelect->installEventFilter(this);
    return TabSelect;
}

QWidget* TfrmVesk1::buildBoxesPanel(QWidget* parent) {
    auto* panel = new QWidget(parent);
    auto* grid = new QGridLayout(panel);
    const QColor green(0, 128, 0);

    grid->addWidget(new QLabel(QStringLiteral("Folder"), panel), 0, 0);
    edtFolder = named(new QLineEdit(panel), "edtFolder");
    grid->addWidget(edtFolder, 0, 1);
    auto* folderButtons = new QHBoxLayout;
    btnBrowse = button(panel, "btnBrowse", QStringLiteral("Browse"));
    btnCurrent = button(panel, "btnCurrent", QStringLiteral("Current"));
    folderButtons->addWidget(btnBrowse);
    folderButtons->addWidget(btnCurrent);
    grid->addLayout(folderButtons, 0, 2);
    grid->addWidget(buildSwitchCell(panel, 0), 0, 3);
    lblFolderCount = colouredLabel(panel, "lblFolderCount", QStringLiteral("...."), green);
    grid->addWidget(lblFolderCount, 0, 4);

    grid->addWidget(new QLabel(QStringLiteral("FileSpec"), panel), 1, 0);
    edtFileSpec = named(new QLineEdit(panel), "edtFileSpec");
    grid->addWidget(edtFileSpec, 1, 1);
    cbxSubFolders = checkBox(panel, "cbxSubFolders", QStringLiteral("Search Subfolders"), false);
    grid->addWidget(cbxSubFolders, 1, 2);
    grid->addWidget(buildSwitchCell(panel, 1), 1, 3);
    lblFilespecCount = colouredLabel(panel, "lblFilespecCount", QStringLiteral("...."), green);
    grid->addWidget(lblFilespecCount, 1, 4);

    grid->addWidget(new QLabel(QStringLiteral("String"), panel), 2, 0);
    edtString = named(new QLineEdit(panel), "edtString");
    grid->addWidget(edtString, 2, 1);
    btnHistory = named(new QPushButton(panel), "btnHistory");
    btnHistory->setAutoDefault(false);
    btnHistory->setIcon(style()->standardIcon(QStyle::SP_FileDialogDetailedView));
    btnHistory->setFixedWidth(40);
    grid->addWidget(btnHistory, 2, 2, Qt::AlignLeft);
    grid->addWidget(buildSwitchCell(panel, 2), 2, 3);
    lblStringsCount = colouredLabel(panel, "lblStringsCount", QStringLiteral("...."), green);
    grid->addWidget(lblStringsCount, 2, 4);

    grid->setColumnStretch(1, 1);
    grid->setColumnMinimumWidth(4, 90);
    return panel;
}

QWidget* TfrmVesk1::buildSwitchCell(QWidget* parent, int which) {
    // Picture, label and check box are placed by hand: with the buttons style off, the check box
    // takes the label's place.
    static const char* const kImages[] = {"ImageFolder", "ImageFilespec", "ImageString"};
    static const char* const kLabels[] = {"lblpAdvancedFolder", "lblpAdvancedFilespec",
                                          "lblpAdvancedString"};
    static const char* const kLabelTexts[] = {"Advanced Folders", "Advanced Filespec",
                                              "Advanced Strings"};
    static const char* const kBoxes[] = {"cbxAdvancedFolders", "cbxAdvancedFileSpec",
                                         "cbxAdvancedStrings"};
    static const char* const kBoxTexts[] = {"Advanced Folders", "Advanced FileSpec",
                                            "Advanced Strings"};
    auto* cell = new QWidget(parent);
    cell->setFixedSize(kSwitchCellWidth, kSwitchCellHeight);
    auto* image = named(new QLabel(cell), kImages[which]);
    image->setPixmap(switchOff_);
    image->setGeometry(0, 2, kSwitchPictureWidth, kSwitchPictureHeight);
    image->setCursor(Qt::PointingHandCursor);
    image->installEventFilter(this);
    auto* label = named(new QLabel(QString::fromLatin1(kLabelTexts[which]), cell), kLabels[which]);
    label->setGeometry(kSwitchPictureWidth + 6, 4, kSwitchCellWidth - kSwitchPictureWidth - 6, 18);
    auto* box = checkBox(cell, kBoxes[which], QString::fromLatin1(kBoxTexts[which]), false);
    box->setGeometry(0, 2, kSwitchCellWidth, 22);
    box->hide();
    QLabel** images[] = {&ImageFolder, &ImageFilespec, &ImageString};
    QLabel** labels[] = {&lblpAdvancedFolder, &lblpAdvancedFilespec, &lblpAdvancedString};
    QCheckBox** boxes[] = {&cbxAdvancedFolders, &cbxAdvancedFileSpec, &cbxAdvancedStrings};
    *images[which] = image;
    *labels[which] = label;
    *boxes[which] = box;
    return cell;
}

QWidget* TfrmVesk1::buildMainOptionsTab() {
    auto* tab = new QWidget;
    auto* l = new QVBoxLayout(tab);
    cbxCopyToCB = checkBox(
        tab, "cbxCopyToCB",
        QStringLiteral("Copy search string to Clipboard for searching in Notepad/Editor"), true);
    cbxOmitBinBak = checkBox(tab, "cbxOmitBinBak",
                             QStringLiteral("Omit  binary files, hidden folders, __history  etc"),
                             true, QStringLiteral("Omit Binary files, *.bak *.dcu *.map"));
    cbxGoogleFind = checkBox(
        tab, "cbxGoogleFind", QStringLiteral("Google Type Find (simple strings only)"), false,
        QStringLiteral("Google type find shows only lines containing all words in any order"));
    cbxFast = checkBox(tab, "cbxFast", QStringLiteral("Faster"), true,
                       QStringLiteral("Turn off display while searching"));
    cbxMatchWholeWordsOnly =
        checkBox(tab, "cbxMatchWholeWordsOnly", QStringLiteral("Whole Words Only"), false);
    cbxRegularExpressions = checkBox(
        tab, "cbxRegularExpressions", QStringLiteral("Regular Expressions"), false,
        QStringLiteral("Every search string is a regular expression; replacements may use $0..$9"));
    cbxCasefl =
        checkBox(tab, "cbxCasefl",
                 QStringLiteral("Match text in UPPER And lower case (case insensitive)"), true);
    cbxSearchFilename = checkBox(tab, "cbxSearchFilename", QStringLiteral("Search Filename too"),
                                 false, QStringLiteral("Look for matches in Filename"));
    cbxListAllFilenames =
        checkBox(tab, "cbxListAllFilenames", QStringLiteral("List All Filenames searched"), false);
    cbxOmitVeskSR =
        checkBox(tab, "cbxOmitVeskSR", QStringLiteral("Omit Vesk Search/Replace files"), true);
    cbxReuseFileSearchList = checkBox(
        tab, "cbxReuseFileSearchList",
        QStringLiteral("Re-use same File Search List (* option not passed tests yet)"), false);
    cbxReuseFileSearchList->setEnabled(false);
    for (QCheckBox* b : {cbxCopyToCB, cbxOmitBinBak, cbxGoogleFind, cbxFast, cbxMatchWholeWordsOnly,
                         cbxRegularExpressions, cbxCasefl, cbxSearchFilename, cbxListAllFilenames,
                         cbxOmitVeskSR, cbxReuseFileSearchList})
        l->addWidget(b);
    l->addStretch(1);
    return tab;
}

QWidget* TfrmVesk1::buildDateOptionsTab() {
    auto* tab = new QWidget;
    auto* grid = new QGridLayout(tab);
    cbxEnableDateSelections = checkBox(tab, "cbxEnableDateSelections",
                                       QStringLiteral("Enable Date Selections for files"), false);
    grid->addWidget(cbxEnableDateSelections, 0, 0, 1, 5);
    const QString dateHint = QStringLiteral("Pick date on Calendar");
    edtSelDate1 = named(new QLineEdit(tab), "edtSelDate1");
    edtSelTime1 = named(new QLineEdit(tab), "edtSelTime1");
    edtSelDate2 = named(new QLineEdit(tab), "edtSelDate2");
    edtSelTime2 = named(new QLineEdit(tab), "edtSelTime2");
    btnSelDate1 = button(tab, "btnSelDate1", QStringLiteral(">"), dateHint);
    btnSelDate2 = button(tab, "btnSelDate2", QStringLiteral(">"), dateHint);
    btnSelTime1 = button(tab, "btnSelTime1", QStringLiteral(">"));
    btnSelTime2 = button(tab, "btnSelTime2", QStringLiteral(">"));
    grid->addWidget(new QLabel(QStringLiteral("Start"), tab), 1, 0);
    grid->addWidget(edtSelDate1, 1, 1);
    grid->addWidget(btnSelDate1, 1, 2);
    grid->addWidget(edtSelTime1, 1, 3);
    grid->addWidget(btnSelTime1, 1, 4);
    grid->addWidget(new QLabel(QStringLiteral("End"), tab), 2, 0);
    grid->addWidget(edtSelDate2, 2, 1);
    grid->addWidget(btnSelDate2, 2, 2);
    grid->addWidget(edtSelTime2, 2, 3);
    grid->addWidget(btnSelTime2, 2, 4);
    for (QPushButton* b : {btnSelDate1, btnSelDate2, btnSelTime1, btnSelTime2})
        b->setFixedWidth(28);
    for (QLineEdit* e : {edtSelDate1, edtSelDate2, edtSelTime1, edtSelTime2})
        e->setFixedWidth(110);
    grid->setColumnStretch(5, 1);
    grid->setRowStretch(3, 1);
    DateTimePicker1 = new DateCalendar(this);
    DateTimePicker1->hide();
    return tab;
}

QWidget* TfrmVesk1::buildViewOptionsTab() {
    auto* tab = new QWidget;
    auto* grid = new QGridLayout(tab);
    cbxViewWindowCourier = checkBox(
        tab, "cbxViewWindowCourier",
        QStringLiteral("Use Courier(Non-proprtional) font for View Windows  CTRL+V"), false);
    grid->addWidget(cbxViewWindowCourier, 0, 0, 1, 3);
    grid->addWidget(new QLabel(QStringLiteral("How to load file"), tab), 1, 0);
    cbxLoadFromFileMethod = named(new QComboBox(tab), "cbxLoadFromFileMethod");
    cbxLoadFromFileMethod->addItems({QStringLiteral("Standard LoadFromFile"),
                                     QStringLiteral("LoadFromFile that can load files in use"),
                                     QStringLiteral("xcLoadAsciiData (disabled)")});
    cbxLoadFromFileMethod->setCurrentIndex(1);
    grid->addWidget(cbxLoadFromFileMethod, 1, 1);
    cbxShowAdvancedButtons =
        checkBox(tab, "cbxShowAdvancedButtons",
                 QStringLiteral("Switch Advanced using Buttons (off to use a checkbox)"), true);
    grid->addWidget(cbxShowAdvancedButtons, 2, 0, 1, 3);
    grid->addWidget(new QLabel(QStringLiteral("How to speed display"), tab), 3, 0);
    cmbSpeedDisplay = named(new QComboBox(tab), "cmbSpeedDisplay");
    for (std::string_view item : kSpeedDisplayItems)
        cmbSpeedDisplay->addItem(toQt(item));
    cmbSpeedDisplay->setCurrentIndex(0);
    cmbSpeedDisplay->setEnabled(false);
    grid->addWidget(cmbSpeedDisplay, 3, 1);
    grid->addWidget(new QLabel(QStringLiteral("(Note only 0 seems to work)"), tab), 3, 2);
    cbxTestInfo = checkBox(tab, "cbxTestInfo", QStringLiteral("Show Extra Test Info"), false);
    grid->addWidget(cbxTestInfo, 4, 0, 1, 3);
    btnContactOstrel = button(tab, "btnContactOstrel", QStringLiteral("Contact Ostrel"));
    grid->addWidget(btnContactOstrel, 5, 0);
    cbxAlwaysUseAdvancedFolderScan =
        checkBox(tab, "cbxAlwaysUseAdvancedFolderScan",
                 QStringLiteral("Always Use Advanced Folder Scan "), true);
    grid->addWidget(cbxAlwaysUseAdvancedFolderScan, 6, 0, 1, 3);
    grid->setColumnStretch(3, 1);
    grid->setRowStretch(7, 1);
    return tab;
}

QWidget* TfrmVesk1::buildExtraOptionsTab() {
    auto* tab = new QWidget;
    auto* l = new QVBoxLayout(tab);
    cbxEnableReplace =
        checkBox(tab, "cbxEnableReplace", QStringLiteral("Enable Search/Replace"), false);
    l->addWidget(cbxEnableReplace);
    l->addStretch(1);
    return tab;
}

QWidget* TfrmVesk1::buildMatchesPage() {
    TabMatches = named(new QWidget, "TabMatches");
    auto* l = new QVBoxLayout(TabMatches);
    l->setContentsMargins(0, 0, 0, 0);
    setDesignColumnWidths(grid_);
    grdFound = named(new ResultsView(grid_, *dialogs_, TabMatches), "grdFound");
    grdFound->setToolTip(toQt(kFirstClickHint));
    // The tab control gives every page the rectangle of the shown one, and the grid fills its
    // page: that is the grid's width while the Select page is shown or a run hides the grid.
    grdFound->setLayoutWidth([this] {
        if (grdFound->isVisible()) return grdFound->width();
        const QWidget* shown = PageControl1->currentWidget();
        return shown ? shown->width() : grdFound->width();
    });
    l->addWidget(grdFound);
    return TabMatches;
}

QWidget* TfrmVesk1::buildBottomStrip() {
    auto* strip = new QWidget;
    auto* l = new QHBoxLayout(strip);
    l->setContentsMargins(4, 0, 4, 4);
    runButtons_ = new QWidget(strip);
    runButtons_->setFixedSize(kRunButtonWidth, kRunButtonHeight);
    btnSelect = button(runButtons_, "btnSelect", QStringLiteral("Select"),
                       QStringLiteral("Select search options"));
    btnSelect->setFlat(true);
    btnGo = button(runButtons_, "btnGo", QStringLiteral("Search"));
    btnStop = button(runButtons_, "btnStop", QStringLiteral("Stop"));
    l->addWidget(runButtons_);

    auto* status = new QVBoxLayout;
    lblFile = colouredLabel(strip, "lblFile", QStringLiteral("(Stopped)"), QColor(0, 0, 128));
    lblProgress2 =
        colouredLabel(strip, "lblProgress2", QStringLiteral("..."), QColor(128, 128, 128));
    QFont small = lblProgress2->font();
    small.setPointSizeF(small.pointSizeF() * 0.85);
    lblProgress2->setFont(small);
    for (QLabel* label : {lblFile, lblProgress2}) {
        label->setMinimumWidth(100);
        label->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Preferred);
    }
    status->addWidget(lblFile);
    status->addWidget(lblProgress2);
    l->addLayout(status, 1);

    btnFontMinus = button(strip, "btnFontMinus", QStringLiteral("-"));
    lblFont = named(new QLabel(strip), "lblFont");
    btnFontPlus = button(strip, "btnFontPlus", QStringLiteral("+"));
    for (QPushButton* b : {btnFontMinus, btnFontPlus})
        b->setFixedWidth(28);
    btnView = button(strip, "btnView", QStringLiteral("View"), QStringLiteral("View Current File"));
    btnPrint = button(strip, "btnPrint", QStringLiteral("Text/Print"),
                      QStringLiteral("Print to Notepad etc"));
    btnResizeVertical = named(new QPushButton(strip), "btnResizeVertical");
    btnResizeVertical->setAutoDefault(false);
    btnResizeVertical->setIcon(style()->standardIcon(QStyle::SP_TitleBarMaxButton));
    btnResizeVertical->setToolTip(toQt(kExpandHint));
    for (QWidget* w : std::initializer_list<QWidget*>{btnFontMinus, lblFont, btnFontPlus, btnView,
                                                      btnPrint, btnResizeVertical})
        l->addWidget(w);
    return strip;
}

void TfrmVesk1::placeSetupButtons() {
    if (!TabSelect || !btnSetupOptions) return;
    const int h = btnSetupOptions->sizeHint().height();
    const int top = setupButtonsTop(TabSelect->height(), h);
    btnSetupOptions->setGeometry(10, top, 110, h);
    btnReplace->setGeometry(10 + 110 + 10, top, 110, h);
}

} // namespace vesk
