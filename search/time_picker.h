#pragma once
// The logic of the time picker window TfrmTimePicker, without widgets. The Qt
// window keeps a TimePickerState, calls these functions from its events and shows the texts that
// timePickerDisplay returns in edtHour, edtMin, edtSec.

#include <string>
#include <string_view>

#include "lib/clock.h"

namespace vesk {

// The state shared between the main window and the picker.
struct TimePickerState {
    DateValue timeIn = 0;                           // the time value passed in
    bool startFromValue = false;                    // start from timeIn
    int hour = 0, minute = 0, second = 0, msec = 0; // working values
    DateValue timeOut = 0;                          // the chosen time, valid when accepted
    bool accepted = false;
};

// The twelve buttons.
enum class TimePickerButton {
    HrPlus,     // btnHrPlus     "+1"  hour +1
    HourLess,   // btnHourLess   "-1"  hour -1
    SixHrPlus,  // btn6HrPlus    "+6"  hour +6
    SixHrLess,  // btn6HrLess    "-6"  hour -6
    MinPlus,    // btnMinPlus    "+1"  minute +1
    MinLess,    // btnMinLess    "-1"  minute -1
    TenMinPlus, // btn10MinPlus  "+10" minute +10
    TenMinLess, // btn10MinLess  "-10" minute -10
    SecPlus,    // btnSecPlus    "+1"  second +1
    SecLess,    // btnSecLess    "-1"  second -1
    TenSecPlus, // btn10SecPlus  "+10" second +10
    TenSecLess, // btn10SecLess  "-10" second -10
};

inline constexpr std::string_view kTimePickerCaption = "Pick ";

struct TimePickerTexts {
    std::string hour, minute, second;
};

// Normalise: seconds and minutes carry into the next unit (both ways), hours wrap around
// midnight; no date changes. Any int values are accepted.
void timePickerNormalise(int& hour, int& minute, int& second);

// On show: when startFromValue, the working values come from timeIn; normalise; clear accepted.
void timePickerShow(TimePickerState& state);
// A button: add its change to the working values and normalise (the boxes' typed texts are not
// read).
void timePickerButton(TimePickerState& state, TimePickerButton button);
// The three box texts, each "%2.2d".
TimePickerTexts timePickerDisplay(const TimePickerState& state);
// OK: read the three box texts as integers (not an integer counts as 0), normalise, set timeOut
// (0 milliseconds) and accepted. The window then closes; closing any other way leaves accepted
// cleared.
void timePickerOK(TimePickerState& state, std::string_view hourText, std::string_view minuteText,
                  std::string_view secondText);

// btnSelTime1Click / btnSelTime2Click: the time value the picker starts from for a box's text
// (xcTimeConvert from text; an invalid text gives 0, i.e. 00:00:00).
DateValue timePickerStartValue(std::string_view boxText);
// The text written back into the box after an accepted pick: "hh:nn:ss".
std::string timePickerResultText(const TimePickerState& state);

} // namespace vesk
