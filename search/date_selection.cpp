#include "search/date_selection.h"

#include "lib/datetime.h"
#include "lib/text.h"

namespace vesk {

const std::string kDateSelectionAdvancedMessage =
    "Vesk V7 Selecting by Date/Time is an advanced option\r\n\r\n"
    "turn on Advanced Paths or Filespec to select by Date/Time";

namespace {

// One date box into its kept date (left as it was when the text is invalid).
int convertDate(const std::string& boxText, DateValue& kept) {
    std::string text = boxText;
    int number = 0;
    return xcDateConvert(kFromText, "a", "-", text, kept, number);
}

// One time box into a day fraction (0 when the text is not a valid time).
int convertTime(const std::string& boxText, DateValue& time, std::string& conversionText) {
    std::string text = boxText;
    int number = 0;
    time = 0;
    DateValue value = 0;
    const int error = xcTimeConvert(kFromText, text, number, value, &conversionText);
    if (error == kConvertOk) time = value;
    return error;
}

void addProblem(std::string& problems, std::string_view box, const std::string& text, int error,
                std::string_view what, const std::string& conversionText) {
    if (error == kConvertOk) return;
    problems += "\r\n";
    problems += box;
    problems += " \"";
    problems += text;
    problems += "\"";
    if (error == kConvertError) {
        problems += ": ";
        problems += conversionText;
    } else {
        problems += " is not a valid ";
        problems += what;
    }
}

} // namespace

DateSelectionResult ApplyDateSelection(bool enabled, int folderMode, int filespecMode,
                                       const DateBoxes& boxes, KeptDates& kept) {
    DateSelectionResult result;
    // 1. Check box off.
    if (!enabled) {
        result.action = DateScannerAction::SwitchOff;
        result.range.selectOnDates = false;
        return result;
    }
    // 2. Both lists simple: the message, and the run goes on without dates. A range an earlier
    // advanced run left in the scanner must not filter this one.
    if (folderMode != 2 && filespecMode != 2) {
        result.action = DateScannerAction::SwitchOff;
        result.range.selectOnDates = false;
        result.message = kDateSelectionAdvancedMessage;
        return result;
    }
    // 3. Dates (kept between runs), then times.
    result.startDateError = convertDate(boxes.startDate, kept.startDate);
    result.endDateError = convertDate(boxes.endDate, kept.endDate);
    DateValue startTime = 0, endTime = 0;
    std::string startConversion, endConversion;
    result.startTimeError = convertTime(boxes.startTime, startTime, startConversion);
    result.endTimeError = convertTime(boxes.endTime, endTime, endConversion);

    result.range.selectOnDates = true;
    result.range.start = combineDateTime(kept.startDate, startTime);
    result.range.end = combineDateTime(kept.endDate, endTime);

    std::string problems;
    addProblem(problems, "Start date", boxes.startDate, result.startDateError, "date", {});
    addProblem(problems, "Start time", boxes.startTime, result.startTimeError, "time",
               startConversion);
    addProblem(problems, "End date", boxes.endDate, result.endDateError, "date", {});
    addProblem(problems, "End time", boxes.endTime, result.endTimeError, "time", endConversion);
    if (!problems.empty()) {
        result.action = DateScannerAction::LeaveAlone;
        result.endRun = true;
        result.message = "Vesk V7 Date/Time selection is not valid:" + problems;
        return result;
    }
    result.action = DateScannerAction::Assign;
    return result;
}

bool dateInRange(const DateRange& range, DateValue t) {
    return range.start <= t && range.end > 0 && t <= range.end;
}

void SetDateDefaults(DateBoxes& boxes, const Clock& clock) {
    const bool needDate = trimView(boxes.startDate).empty() || trimView(boxes.endDate).empty();
    const std::string today = needDate ? xcTodayText(clock) : std::string();
    if (trimView(boxes.startDate).empty()) boxes.startDate = today;
    if (trimView(boxes.endDate).empty()) boxes.endDate = today;
    if (trimView(boxes.startTime).empty()) boxes.startTime = "00:00:00";
    if (trimView(boxes.endTime).empty()) boxes.endTime = "23:59:59";
}

DateValue CalendarStartDate(std::string_view boxText) {
    return xcDateFromText(boxText);
}

void KeepEndDateAfterStart(const std::string& startText, std::string& endText) {
    if (trimView(endText).empty() || xcDateNumFromText(endText) < xcDateNumFromText(startText))
        endText = startText;
}

void CalendarCloseUp(int box, DateValue picked, DateBoxes& boxes) {
    if (box == 1)
        boxes.startDate = xcDateToText(picked);
    else if (box == 2)
        boxes.endDate = xcDateToText(picked);
    else
        return;
    KeepEndDateAfterStart(boxes.startDate, boxes.endDate);
}

} // namespace vesk
