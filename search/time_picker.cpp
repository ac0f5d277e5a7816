#include "search/time_picker.h"

#include <cstdio>

#include "lib/datetime.h"

namespace vesk {

namespace {

long long floorDiv(long long a, long long b) {
    const long long q = a / b;
    return (a % b != 0 && (a < 0) != (b < 0)) ? q - 1 : q;
}

long long floorMod(long long a, long long b) {
    return a - floorDiv(a, b) * b;
}

std::string twoDigits(int n) {
    char buf[16];
    std::snprintf(buf, sizeof buf, "%2.2d", n);
    return buf;
}

int intOrZero(std::string_view text) {
    int n = 0;
    return parsePlainInt(text, n) ? n : 0;
}

} // namespace

void timePickerNormalise(int& hour, int& minute, int& second) {
    // Carry 60 seconds to a minute, 60 minutes to an hour, wrap hours by 24: the result of
    // stepping one unit at a time, in constant time for any typed number.
    long long s = second, m = minute, h = hour;
    m += floorDiv(s, 60);
    s = floorMod(s, 60);
    h += floorDiv(m, 60);
    m = floorMod(m, 60);
    h = floorMod(h, 24);
    hour = static_cast<int>(h);
    minute = static_cast<int>(m);
    second = static_cast<int>(s);
}

void timePickerShow(TimePickerState& state) {
    if (state.startFromValue)
        decodeTime(state.timeIn, state.hour, state.minute, state.second, state.msec);
    timePickerNormalise(state.hour, state.minute, state.second);
    state.accepted = false;
}

void timePickerButton(TimePickerState& state, TimePickerButton button) {
    long long dh = 0, dm = 0, ds = 0;
    switch (button) {
    case TimePickerButton::HrPlus:
        dh = 1;
        break;
    case TimePickerButton::HourLess:
        dh = -1;
        break;
    case TimePickerButton::SixHrPlus:
        dh = 6;
        break;
    case TimePickerButton::SixHrLess:
        dh = -6;
        break;
    case TimePickerButton::MinPlus:
        dm = 1;
        break;
    case TimePickerButton::MinLess:
        dm = -1;
        break;
    case TimePickerButton::TenMinPlus:
        dm = 10;
        break;
    case TimePickerButton::TenMinLess:
        dm = -10;
        break;
    case TimePickerButton::SecPlus:
        ds = 1;
        break;
    case TimePickerButton::SecLess:
        ds = -1;
        break;
    case TimePickerButton::TenSecPlus:
        ds = 10;
        break;
    case TimePickerButton::TenSecLess:
        ds = -10;
        break;
    }
    // Normalise first so the addition cannot overflow, then add and normalise again.
    timePickerNormalise(state.hour, state.minute, state.second);
    state.hour = static_cast<int>(state.hour + dh);
    state.minute = static_cast<int>(state.minute + dm);
    state.second = static_cast<int>(state.second + ds);
    timePickerNormalise(state.hour, state.minute, state.second);
}

TimePickerTexts timePickerDisplay(const TimePickerState& state) {
    return {twoDigits(state.hour), twoDigits(state.minute), twoDigits(state.second)};
}

void timePickerOK(TimePickerState& state, std::string_view hourText, std::string_view minuteText,
                  std::string_view secondText) {
    state.hour = intOrZero(hourText);
    state.minute = intOrZero(minuteText);
    state.second = intOrZero(secondText);
    timePickerNormalise(state.hour, state.minute, state.second);
    state.timeOut = encodeTime(state.hour, state.minute, state.second, 0);
    state.accepted = true;
}

DateValue timePickerStartValue(std::string_view boxText) {
    std::string text(boxText);
    int number = 0;
    DateValue value = 0;
    if (xcTimeConvert(kFromText, text, number, value) != kConvertOk) return 0;
    return value;
}

std::string timePickerResultText(const TimePickerState& state) {
    return formatDate(state.timeOut, kFormatTime);
}

} // namespace vesk
