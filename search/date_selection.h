#pragma once
// Date and time selection of the main window, without widgets: the four boxes'
// texts and the check box go in, the scanner's date range and the message to show come out. The
// window (or vesk-cli) assigns the range to TNarvFindFiles and shows the message through Dialogs.

#include <string>
#include <string_view>

#include "lib/clock.h"

namespace vesk {

// The texts of edtSelDate1, edtSelTime1, edtSelDate2, edtSelTime2.
struct DateBoxes {
    std::string startDate, startTime, endDate, endTime;
};

// The scanner's date range (TNarvFindFiles::SelectOnDates, SelectStartDate, SelectEndDate).
struct DateRange {
    bool selectOnDates = false;
    DateValue start = 0, end = 0;
};

// The start and end dates the main window keeps between runs: a date text that fails to convert
// leaves its bound's date part at the earlier value (0 before any valid date).
struct KeptDates {
    DateValue startDate = 0, endDate = 0;
};

// What the caller does with the scanner.
enum class DateScannerAction {
    SwitchOff,  // check box off or both lists simple: set SelectOnDates false only
    LeaveAlone, // do not touch the scanner (the run ends)
    Assign,     // assign all three fields of `range`
};

struct DateSelectionResult {
    DateScannerAction action = DateScannerAction::LeaveAlone;
    DateRange range;     // meaningful for SwitchOff (selectOnDates false) and Assign
    std::string message; // when not empty: show it in a message box
    bool endRun = false; // end the run before scanning (after showing `message`)
    // The parsers' error flags (0 good, 1 invalid, 2 conversion error), for a caller that wants
    // them (vesk-cli exits with status 2 on an invalid date).
    int startDateError = 0, startTimeError = 0, endDateError = 0, endTimeError = 0;
};

// The message shown when both lists are in simple mode.
extern const std::string kDateSelectionAdvancedMessage;

// ApplyDateSelection:
//   - check box off: SwitchOff, no message;
//   - both the folder and the file-mask switch in simple mode (any value other than 2
//     reads as simple): LeaveAlone with kDateSelectionAdvancedMessage; the run continues;
//   - otherwise the two dates are converted (xcDateConvert from text, "a", "-"), updating `kept`,
//     then the two times (xcTimeConvert from text); start = start date + start time, end = end
//     date + end time (rounded to the millisecond so they compare exactly with file times),
//     selectOnDates true: Assign.
// A time part that is not an integer (for example "1:05 pm") is the platform's conversion error:
// LeaveAlone, endRun, and a message naming the box and the bad part.
// Invalid dates and times (error flag 1) refuse the run rather than search silently with a bound
// of 30 Dec 1899: LeaveAlone, endRun, and a message naming every invalid box. The flags and the
// range the boxes would give (`range`, with the kept dates and the valid times) are still returned.
DateSelectionResult ApplyDateSelection(bool enabled, int folderMode, int filespecMode,
                                       const DateBoxes& boxes, KeptDates& kept);

// The scanner's test for one file time t; start <= t, end > 0 and t <= end.
bool dateInRange(const DateRange& range, DateValue t);

// SetDateDefaults: fills boxes that are empty after trimming: dates with xcTodayText, the start
// time "00:00:00", the end time "23:59:59". Typed texts are never overwritten.
void SetDateDefaults(DateBoxes& boxes, const Clock& clock);

// Calendar (DateTimePicker1).
// The date the drop-down calendar opens on for a box's text (0 for an invalid text).
DateValue CalendarStartDate(std::string_view boxText);
// KeepEndDateAfterStart: an empty end box (after trimming) receives the start box's text; so does
// an end box whose date number is below the start box's.
void KeepEndDateAfterStart(const std::string& startText, std::string& endText);
// DateTimePicker1CloseUp: writes xcDateToText(picked) into box 1 (start) or 2 (end), then
// KeepEndDateAfterStart. Any other box number changes nothing.
void CalendarCloseUp(int box, DateValue picked, DateBoxes& boxes);

} // namespace vesk
