// TfrmVesk1 as the search run's host: the options read from the controls, the status labels, the
// grid operations, and the date selection with its calendar and time picker.
#include <cstdlib>

#include <QCheckBox>
#include <QComboBox>
#include <QCoreApplication>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

#include "search/narv_find_files.h"
#include "search/read_ahead.h"
#include "search/time_picker.h"
#include "ui/date_calendar.h"
#include "ui/frm_time_picker.h"
#include "ui/frm_vesk1.h"
#include "ui/grid_model.h"
#include "ui/qt_text.h"
#include "ui/replace_controller.h"
#include "ui/results_view.h"

namespace vesk {

FileOptions TfrmVesk1::readFileOptions() {
    FileOptions o;
    o.FilespecMode = saved_.FilespecMode;
    o.StringsMode = saved_.StringsMode;
    o.ReplaceOn = replaceOn_;
    o.OmitBinBak = cbxOmitBinBak->isChecked();
    o.OmitVeskSR = cbxOmitVeskSR->isChecked();
    o.SearchFilename = cbxSearchFilename->isChecked();
    o.ListAllFilenames = cbxListAllFilenames->isChecked();
    o.Fast = cbxFast->isChecked();
    o.loadMethod = static_cast<LoadMethod>(cbxLoadFromFileMethod->currentIndex());
    if (replace_) replace_->applyOptions(o);
    return o;
}

SearchOptions TfrmVesk1::readOptions() {
    SearchOptions o;
    static_cast<FileOptions&>(o) = readFileOptions();
    o.FolderMode = saved_.FolderMode;
    o.folderBox = fileNameFromQt(edtFolder->text());
    o.filespecBox = fromQt(edtFileSpec->text());
    o.stringBox = fromQt(edtString->text());
    o.FolderList = lists_.FolderList;
    o.FilespecList = lists_.FilespecList;
    o.StringsList = lists_.StringsList;
    o.FolderText = lists_.FolderText;
    o.FilespecText = lists_.FilespecText;
    o.StringsText = lists_.StringsText;
    o.GoogleFind = cbxGoogleFind->isChecked();
    o.WholeWordsOnly = cbxMatchWholeWordsOnly->isChecked();
    o.RegularExpressions = cbxRegularExpressions->isChecked();
    o.CaseInsensitive = cbxCasefl->isChecked();
    o.SubFolders = cbxSubFolders->isChecked();
    o.TestInfo = cbxTestInfo->isChecked();
    o.AlwaysAdvancedScan = cbxAlwaysUseAdvancedFolderScan->isChecked();
    // One read-ahead worker per core; VESK_WORKERS sets another count (1: none) for comparisons.
    static const unsigned workers = workerCount(std::getenv("VESK_WORKERS"));
    o.Workers = workers;
    return o;
}

void TfrmVesk1::setStatusText(std::string_view text) {
    lblFile->setText(toQt(text));
}

void TfrmVesk1::setProgressText(std::string_view text) {
    lblProgress2->setText(toQt(text));
}

namespace {
// A screen frame: events (and so repaints) are handled at most this often during a run.
constexpr qint64 kFrameMs = 16;
// Between files events are handled at least this often, so Stop and the tabs answer at once.
constexpr qint64 kBetweenFilesMs = 50;
} // namespace

void TfrmVesk1::processEvents() {
    // Without "Faster" a run asks for events at every file; a repaint per file would cost far
    // more than the search. What is not handled now stays queued for the next frame.
    if (run_ && run_->state().Searching && eventsHandled_.isValid() &&
        eventsHandled_.elapsed() < kFrameMs)
        return;
    QCoreApplication::processEvents();
    eventsHandled_.start();
}

void TfrmVesk1::betweenFiles() {
    if (!eventsHandled_.isValid() || eventsHandled_.elapsed() >= kBetweenFilesMs) processEvents();
}

void TfrmVesk1::focusStringBox() {
    edtString->setFocus();
}

void TfrmVesk1::focusGrid() {
    grdFound->gridModel().flush();
    grdFound->setFocus();
}

void TfrmVesk1::fitResultColumns() {
    if (grdFound) grdFound->fitResultColumns();
}

void TfrmVesk1::resetSpeedDisplay() {
    cmbSpeedDisplay->setCurrentIndex(0);
}

void TfrmVesk1::setGridDisplay(bool on) {
    grdFound->setGridDisplay(cmbSpeedDisplay->currentIndex(), on);
}

void TfrmVesk1::setRunColumnWidth() {
    grdFound->setRunColumnWidth();
}

void TfrmVesk1::setLoadMethod(LoadMethod m) {
    cbxLoadFromFileMethod->setCurrentIndex(static_cast<int>(m));
}

void TfrmVesk1::addToHistory(const std::string& searchString) {
    AddToHistory(history_.HistoryList, searchString);
}

ReviewOutcome TfrmVesk1::reviewFile(const ReviewRequest& request) {
    return replace_ ? replace_->reviewFile(request) : ReviewOutcome{};
}

int TfrmVesk1::gridFontSize() const {
    return grdFound->gridFontSize();
}

void TfrmVesk1::changeFontSize(int step) {
    lblFont->setText(QString::number(grdFound->changeGridFontSize(step)));
}

DateBoxes TfrmVesk1::dateBoxes() const {
    return {fromQt(edtSelDate1->text()), fromQt(edtSelTime1->text()), fromQt(edtSelDate2->text()),
            fromQt(edtSelTime2->text())};
}

void TfrmVesk1::setDateBoxes(const DateBoxes& boxes) {
    edtSelDate1->setText(toQt(boxes.startDate));
    edtSelTime1->setText(toQt(boxes.startTime));
    edtSelDate2->setText(toQt(boxes.endDate));
    edtSelTime2->setText(toQt(boxes.endTime));
}

void TfrmVesk1::SetDateDefaults() {
    DateBoxes boxes = dateBoxes();
    vesk::SetDateDefaults(boxes, *clock_);
    setDateBoxes(boxes);
}

bool TfrmVesk1::applyDateSelection(TNarvFindFiles& scanner) {
    const DateSelectionResult r =
        ApplyDateSelection(cbxEnableDateSelections->isChecked(), saved_.FolderMode,
                           saved_.FilespecMode, dateBoxes(), keptDates_);
    if (r.action == DateScannerAction::SwitchOff) scanner.SelectOnDates = false;
    if (r.action == DateScannerAction::Assign) {
        scanner.SelectOnDates = r.range.selectOnDates;
        scanner.SelectStartDate = r.range.start;
        scanner.SelectEndDate = r.range.end;
    }
    if (!r.message.empty()) dialogs_->showMessage(r.message);
    return !r.endRun;
}

void TfrmVesk1::btnSelDateClick(int box) {
    QLineEdit* edit = box == 1 ? edtSelDate1 : edtSelDate2;
    QPushButton* pick = box == 1 ? btnSelDate1 : btnSelDate2;
    const int width = pick->geometry().right() - edit->geometry().left();
    DateTimePicker1->dropDown(edit->mapToGlobal(QPoint(0, 0)), width,
                              CalendarStartDate(fromQt(edit->text())), box);
}

void TfrmVesk1::DateTimePicker1CloseUp(int box, DateValue picked) {
    DateBoxes boxes = dateBoxes();
    CalendarCloseUp(box, picked, boxes);
    setDateBoxes(boxes);
}

void TfrmVesk1::btnSelTimeClick(int box) {
    QLineEdit* edit = box == 1 ? edtSelTime1 : edtSelTime2;
    frmTimePicker_->startFrom(timePickerStartValue(fromQt(edit->text())));
    frmTimePicker_->exec();
    if (frmTimePicker_->pickerState().accepted)
        edit->setText(toQt(timePickerResultText(frmTimePicker_->pickerState())));
    edit->setFocus();
}

} // namespace vesk
