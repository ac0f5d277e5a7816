// Date and time selection of the main window, the calendar and the time picker.

#include "search/date_selection.h"
#include "search/time_picker.h"

#include <cstdlib>
#include <ctime>
#include <optional>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "lib/datetime.h"
#include "tests/support/fakes.h"
#include "tests/support/scoped_time_zone.h"
#include "tests/support/temp_tree.h"

namespace vesk {
namespace {

using test::FakeClock;
using test::ScopedTimeZone;
using test::TempTree;

constexpr DateValue k7Dec2026 = 46363.0;

// Unix seconds of a local date and time in the current TZ.
long long unixLocal(int y, int m, int d, int h, int n, int s) {
    std::tm tm{};
    tm.tm_year = y - 1900;
    tm.tm_mon = m - 1;
    tm.tm_mday = d;
    tm.tm_hour = h;
    tm.tm_min = n;
    tm.tm_sec = s;
    tm.tm_isdst = -1;
    return static_cast<long long>(std::mktime(&tm));
}

DateBoxes boxes(const char* d1, const char* t1, const char* d2, const char* t2) {
    return DateBoxes{d1, t1, d2, t2};
}

// ------------------------------------------------------------------------------------------
// ApplyDateSelection

TEST(ApplyDateSelection, CheckBoxOffSwitchesTheScannerOff) {
    KeptDates kept{1, 2};
    const auto r = ApplyDateSelection(false, 2, 2, boxes("bad", "bad", "bad", "bad"), kept);
    EXPECT_EQ(r.action, DateScannerAction::SwitchOff);
    EXPECT_FALSE(r.range.selectOnDates);
    EXPECT_EQ(r.message, "");
    EXPECT_FALSE(r.endRun);
    EXPECT_EQ(kept.startDate, 1);
    EXPECT_EQ(kept.endDate, 2);
}

TEST(ApplyDateSelection, BothListsSimpleShowsTheMessageAndSwitchesTheRangeOff) {
    for (auto [folderMode, filespecMode] : {std::pair{1, 1}, std::pair{0, 1}, std::pair{1, 7}}) {
        KeptDates kept{1, 2};
        const auto r =
            ApplyDateSelection(true, folderMode, filespecMode,
                               boxes("07-Dec-26", "00:00:00", "07-Dec-26", "23:59:59"), kept);
        // A range left by an earlier advanced run must not filter this simple run.
        EXPECT_EQ(r.action, DateScannerAction::SwitchOff);
        EXPECT_FALSE(r.range.selectOnDates);
        EXPECT_EQ(r.message, "Vesk V7 Selecting by Date/Time is an advanced option\r\n\r\n"
                             "turn on Advanced Paths or Filespec to select by Date/Time");
        EXPECT_FALSE(r.endRun) << "the run continues";
        EXPECT_EQ(kept.startDate, 1);
    }
}

TEST(ApplyDateSelection, EitherListAdvancedAssignsTheRange) {
    for (auto [folderMode, filespecMode] : {std::pair{2, 1}, std::pair{1, 2}, std::pair{2, 2}}) {
        KeptDates kept;
        const auto r =
            ApplyDateSelection(true, folderMode, filespecMode,
                               boxes("07-Dec-26", "00:00:00", "07-Dec-26", "23:59:59"), kept);
        EXPECT_EQ(r.action, DateScannerAction::Assign);
        EXPECT_TRUE(r.range.selectOnDates);
        EXPECT_EQ(r.range.start, k7Dec2026);
        EXPECT_EQ(r.range.end, combineDateTime(k7Dec2026, encodeTime(23, 59, 59)));
        EXPECT_EQ(r.message, "");
        EXPECT_FALSE(r.endRun);
        EXPECT_EQ(kept.startDate, k7Dec2026);
        EXPECT_EQ(kept.endDate, k7Dec2026);
    }
}

TEST(ApplyDateSelection, EveryTextFormWorks) {
    KeptDates kept;
    const auto r =
        ApplyDateSelection(true, 2, 1, boxes("7/12/26", "9pm", "2026-12-31", "1:05pm"), kept);
    EXPECT_EQ(r.action, DateScannerAction::Assign);
    EXPECT_EQ(r.range.start, k7Dec2026 + 0.5);
    EXPECT_EQ(r.range.end, combineDateTime(encodeDate(2026, 12, 31), encodeTime(13, 5, 0)));
}

TEST(ApplyDateSelection, DateWithATimeInItIsTheYear2000) {
    KeptDates kept;
    const auto r =
        ApplyDateSelection(true, 2, 1, boxes("07-Dec-2026 10:00", "", "07-Dec-26", ""), kept);
    EXPECT_EQ(r.action, DateScannerAction::Assign);
    EXPECT_EQ(r.range.start, encodeDate(2000, 12, 7));
}

TEST(ApplyDateSelection, InvalidDateRefusesTheRunAndKeepsTheEarlierDate) {
    KeptDates kept;
    ApplyDateSelection(true, 2, 1, boxes("07-Dec-26", "00:00:00", "08-Dec-26", "23:59:59"), kept);
    ASSERT_EQ(kept.startDate, k7Dec2026);

    const auto r =
        ApplyDateSelection(true, 2, 1, boxes("31-Apr-26", "10:00", "08-Dec-26", "23:59:59"), kept);
    EXPECT_EQ(r.action, DateScannerAction::LeaveAlone);
    EXPECT_TRUE(r.endRun);
    EXPECT_EQ(r.startDateError, kConvertInvalid);
    EXPECT_EQ(r.endDateError, kConvertOk);
    EXPECT_EQ(r.message, "Vesk V7 Date/Time selection is not valid:\r\n"
                         "Start date \"31-Apr-26\" is not a valid date");
    EXPECT_EQ(kept.startDate, k7Dec2026) << "the bound keeps its earlier date";
    // The range the original would have used: the kept date plus the valid time.
    EXPECT_EQ(r.range.start, combineDateTime(k7Dec2026, encodeTime(10, 0, 0)));
}

TEST(ApplyDateSelection, InvalidDateBeforeAnyValidOneIsZero) {
    KeptDates kept;
    const auto r = ApplyDateSelection(true, 2, 1, boxes("", "00:00:00", "bad date", "25:00"), kept);
    EXPECT_TRUE(r.endRun);
    EXPECT_EQ(r.startDateError, 1);
    EXPECT_EQ(r.endDateError, 1);
    EXPECT_EQ(r.endTimeError, 1);
    EXPECT_EQ(r.message, "Vesk V7 Date/Time selection is not valid:\r\n"
                         "Start date \"\" is not a valid date\r\n"
                         "End date \"bad date\" is not a valid date\r\n"
                         "End time \"25:00\" is not a valid time");
    EXPECT_EQ(r.range.start, 0.0);
    EXPECT_EQ(r.range.end, 0.0) << "an invalid time adds nothing";
    EXPECT_EQ(kept.startDate, 0.0);
}

TEST(ApplyDateSelection, TimeConversionErrorEndsTheRun) {
    KeptDates kept;
    const auto r =
        ApplyDateSelection(true, 2, 1, boxes("07-Dec-26", "1:05 pm", "07-Dec-26", "23:59"), kept);
    EXPECT_EQ(r.action, DateScannerAction::LeaveAlone);
    EXPECT_TRUE(r.endRun);
    EXPECT_EQ(r.startTimeError, kConvertError);
    EXPECT_EQ(r.message, "Vesk V7 Date/Time selection is not valid:\r\n"
                         "Start time \"1:05 pm\": '05 ' is not a valid integer value");
    EXPECT_EQ(kept.startDate, k7Dec2026) << "the dates are converted before the times";
}

// ------------------------------------------------------------------------------------------
// The range against file times, as the scanner applies it

struct FileCase {
    const char* name;
    int y, m, d, h, n, s;
    bool selected;
};

void expectSelection(const DateRange& range, const std::vector<FileCase>& files) {
    TempTree tree;
    for (const auto& f : files) {
        tree.write(f.name, "x");
        tree.setMtime(f.name, unixLocal(f.y, f.m, f.d, f.h, f.n, f.s));
        DateValue t = 0;
        ASSERT_TRUE(fileDateValue(tree.path(f.name), t));
        EXPECT_EQ(dateInRange(range, t), f.selected)
            << f.name << " " << formatDate(t, kFormatIsoDateTime);
    }
}

TEST(DateRangeOnFiles, OneWholeDaySelectsExactlyThatDay) {
    for (const char* zone : {"UTC0", "CET-1CEST,M3.5.0,M10.5.0/3", "ODD-0:00:01"}) {
        SCOPED_TRACE(zone);
        ScopedTimeZone tz(zone);
        KeptDates kept;
        const auto r = ApplyDateSelection(
            true, 2, 1, boxes("07-Dec-26", "00:00:00", "07-Dec-26", "23:59:59"), kept);
        ASSERT_EQ(r.action, DateScannerAction::Assign);
        expectSelection(r.range, {
                                     {"before.txt", 2026, 12, 6, 23, 59, 59, false},
                                     {"midnight.txt", 2026, 12, 7, 0, 0, 0, true},
                                     {"one.txt", 2026, 12, 7, 0, 0, 1, true},
                                     {"noon.txt", 2026, 12, 7, 12, 0, 0, true},
                                     {"late.txt", 2026, 12, 7, 23, 59, 58, true},
                                     {"last.txt", 2026, 12, 7, 23, 59, 59, true},
                                     {"next.txt", 2026, 12, 8, 0, 0, 0, false},
                                 });
    }
}

TEST(DateRangeOnFiles, BoundsAreInclusiveToTheSecond) {
    ScopedTimeZone tz("CET-1CEST,M3.5.0,M10.5.0/3");
    KeptDates kept;
    const auto r = ApplyDateSelection(
        true, 1, 2, boxes("07-Jul-26", "09:30:00", "07-Jul-26", "10:15:00"), kept);
    ASSERT_EQ(r.action, DateScannerAction::Assign);
    expectSelection(r.range, {
                                 {"a", 2026, 7, 7, 9, 29, 59, false}, // stamped 09:29:58
                                 {"b", 2026, 7, 7, 9, 30, 0, true},
                                 {"c", 2026, 7, 7, 9, 30, 1, true},
                                 {"d", 2026, 7, 7, 10, 15, 0, true},
                                 {"e", 2026, 7, 7, 10, 15, 1, true}, // stamped 10:15:00
                                 {"f", 2026, 7, 7, 10, 15, 2, false},
                             });
}

TEST(DateRangeOnFiles, EndOfZeroSelectsNothing) {
    DateRange range{true, encodeDate(2026, 1, 1), 0};
    EXPECT_FALSE(dateInRange(range, encodeDate(2026, 6, 1)));
    range.start = -10;
    EXPECT_FALSE(dateInRange(range, 0));
    range.end = encodeDate(2027, 1, 1);
    EXPECT_TRUE(dateInRange(range, encodeDate(2026, 6, 1)));
}

// ------------------------------------------------------------------------------------------
// SetDateDefaults

TEST(SetDateDefaults, FillsOnlyEmptyBoxes) {
    FakeClock clock(k7Dec2026 + encodeTime(14, 3, 2));
    DateBoxes b;
    SetDateDefaults(b, clock);
    EXPECT_EQ(b.startDate, "07-Dec-26");
    EXPECT_EQ(b.endDate, "07-Dec-26");
    EXPECT_EQ(b.startTime, "00:00:00");
    EXPECT_EQ(b.endTime, "23:59:59");

    DateBoxes typed = boxes("01-Jan-25", " ", "\t", "12:00");
    SetDateDefaults(typed, clock);
    EXPECT_EQ(typed.startDate, "01-Jan-25");
    EXPECT_EQ(typed.startTime, "00:00:00");
    EXPECT_EQ(typed.endDate, "07-Dec-26");
    EXPECT_EQ(typed.endTime, "12:00");

    DateBoxes invalid = boxes("nonsense", "x", "y", "z");
    SetDateDefaults(invalid, clock);
    EXPECT_EQ(invalid.startDate, "nonsense") << "typed texts are never overwritten";
    EXPECT_EQ(invalid.endTime, "z");
}

// ------------------------------------------------------------------------------------------
// Calendar

TEST(Calendar, StartDateOfABox) {
    EXPECT_EQ(CalendarStartDate("07-Dec-26"), k7Dec2026);
    EXPECT_EQ(CalendarStartDate("99-Feb-24"), encodeDate(2024, 2, 29));
    EXPECT_EQ(CalendarStartDate("not a date"), 0.0);
}

TEST(Calendar, KeepEndDateAfterStart) {
    struct Case {
        const char* start;
        const char* end;
        const char* expectedEnd;
    } cases[] = {
        {"07-Dec-26", "", "07-Dec-26"},
        {"07-Dec-26", "  ", "07-Dec-26"},
        {"07-Dec-26", "06-Dec-26", "07-Dec-26"},
        {"07-Dec-26", "07-Dec-26", "07-Dec-26"},
        {"07-Dec-26", "08-Dec-26", "08-Dec-26"},
        {"07-Dec-26", "2027-01-01", "2027-01-01"},
        {"07-Dec-26", "garbage", "07-Dec-26"}, // an invalid end counts as 0
        {"garbage", "06-Dec-26", "06-Dec-26"},
        {"01-Jan-70", "31-Dec-69", "31-Dec-69"}, // 2069 is after 1970
    };
    for (const auto& c : cases) {
        std::string end = c.end;
        KeepEndDateAfterStart(c.start, end);
        EXPECT_EQ(end, c.expectedEnd) << c.start << " / " << c.end;
    }
}

TEST(Calendar, CloseUpWritesThePickedDateAndKeepsTheOrder) {
    DateBoxes b = boxes("07-Dec-26", "00:00:00", "07-Dec-26", "23:59:59");
    CalendarCloseUp(1, encodeDate(2026, 12, 9), b);
    EXPECT_EQ(b.startDate, "09-Dec-26");
    EXPECT_EQ(b.endDate, "09-Dec-26") << "the end follows a later start";

    CalendarCloseUp(2, encodeDate(2027, 1, 3) + 0.5, b);
    EXPECT_EQ(b.endDate, "03-Jan-27");

    CalendarCloseUp(2, encodeDate(2026, 12, 1), b);
    EXPECT_EQ(b.endDate, "09-Dec-26") << "an end before the start takes the start";

    CalendarCloseUp(3, encodeDate(2020, 1, 1), b);
    EXPECT_EQ(b.startDate, "09-Dec-26");
    EXPECT_EQ(b.endDate, "09-Dec-26");
}

// ------------------------------------------------------------------------------------------
// Time picker

std::string shown(const TimePickerState& s) {
    const auto t = timePickerDisplay(s);
    return t.hour + ":" + t.minute + ":" + t.second;
}

TimePickerState pickerAt(int h, int n, int s) {
    TimePickerState state;
    state.timeIn = encodeTime(h, n, s);
    state.startFromValue = true;
    timePickerShow(state);
    return state;
}

TEST(TimePicker, HourAndSecondButtonsWrapAroundMidnight) {
    auto a = pickerAt(0, 0, 0);
    timePickerButton(a, TimePickerButton::HourLess);
    EXPECT_EQ(shown(a), "23:00:00");

    auto b = pickerAt(0, 59, 55);
    timePickerButton(b, TimePickerButton::TenSecPlus);
    EXPECT_EQ(shown(b), "01:00:05");
}

TEST(TimePicker, EveryButtonFromHalfPastTwelve) {
    const struct {
        TimePickerButton button;
        const char* expected;
    } cases[] = {
        {TimePickerButton::HrPlus, "13:30:30"},     {TimePickerButton::HourLess, "11:30:30"},
        {TimePickerButton::SixHrPlus, "18:30:30"},  {TimePickerButton::SixHrLess, "06:30:30"},
        {TimePickerButton::MinPlus, "12:31:30"},    {TimePickerButton::MinLess, "12:29:30"},
        {TimePickerButton::TenMinPlus, "12:40:30"}, {TimePickerButton::TenMinLess, "12:20:30"},
        {TimePickerButton::SecPlus, "12:30:31"},    {TimePickerButton::SecLess, "12:30:29"},
        {TimePickerButton::TenSecPlus, "12:30:40"}, {TimePickerButton::TenSecLess, "12:30:20"},
    };
    for (const auto& c : cases) {
        auto s = pickerAt(12, 30, 30);
        timePickerButton(s, c.button);
        EXPECT_EQ(shown(s), c.expected);
    }
}

TEST(TimePicker, WrapsAroundMidnightBothWays) {
    const struct {
        int h, n, s;
        TimePickerButton button;
        const char* expected;
    } cases[] = {
        {20, 0, 0, TimePickerButton::SixHrPlus, "02:00:00"},
        {3, 0, 0, TimePickerButton::SixHrLess, "21:00:00"},
        {0, 0, 0, TimePickerButton::MinLess, "23:59:00"},
        {0, 0, 0, TimePickerButton::SecLess, "23:59:59"},
        {0, 0, 5, TimePickerButton::TenSecLess, "23:59:55"},
        {23, 55, 0, TimePickerButton::TenMinPlus, "00:05:00"},
        {23, 59, 59, TimePickerButton::SecPlus, "00:00:00"},
        {23, 59, 55, TimePickerButton::TenSecPlus, "00:00:05"},
        {0, 5, 0, TimePickerButton::TenMinLess, "23:55:00"},
    };
    for (const auto& c : cases) {
        auto s = pickerAt(c.h, c.n, c.s);
        timePickerButton(s, c.button);
        EXPECT_EQ(shown(s), c.expected) << c.h << ":" << c.n << ":" << c.s;
    }
}

TEST(TimePicker, Normalise) {
    const struct {
        int h, n, s, eh, en, es;
    } cases[] = {
        {25, 61, 61, 2, 2, 1},         {-1, -1, -1, 22, 58, 59},
        {0, 0, 60, 0, 1, 0},           {0, 0, -60, 23, 59, 0},
        {48, 0, 0, 0, 0, 0},           {0, 0, 86400, 0, 0, 0},
        {0, 0, 2000000000, 3, 33, 20}, {-2147483647 - 1, 0, 0, 16, 0, 0},
    };
    for (const auto& c : cases) {
        int h = c.h, n = c.n, s = c.s;
        timePickerNormalise(h, n, s);
        EXPECT_EQ(h, c.eh) << c.h << ":" << c.n << ":" << c.s;
        EXPECT_EQ(n, c.en) << c.h << ":" << c.n << ":" << c.s;
        EXPECT_EQ(s, c.es) << c.h << ":" << c.n << ":" << c.s;
    }
}

TEST(TimePicker, ShowTakesTheValueOnlyWhenAsked) {
    TimePickerState s;
    s.hour = 5;
    s.minute = 6;
    s.second = 7;
    s.accepted = true;
    s.timeIn = encodeTime(9, 0, 0);
    s.startFromValue = false;
    timePickerShow(s);
    EXPECT_EQ(shown(s), "05:06:07");
    EXPECT_FALSE(s.accepted);

    s.startFromValue = true;
    s.timeIn = k7Dec2026 + encodeTime(9, 5, 3, 250);
    timePickerShow(s);
    EXPECT_EQ(shown(s), "09:05:03");
    EXPECT_EQ(s.msec, 250);
}

TEST(TimePicker, OkReadsTheBoxesNotTheWorkingValues) {
    auto s = pickerAt(1, 2, 3);
    timePickerOK(s, "7", "75", "x");
    EXPECT_TRUE(s.accepted);
    EXPECT_EQ(shown(s), "08:15:00");
    EXPECT_EQ(s.timeOut, encodeTime(8, 15, 0));
    EXPECT_EQ(timePickerResultText(s), "08:15:00");

    auto t = pickerAt(1, 2, 3);
    timePickerOK(t, " 5", "5 ", "-1");
    EXPECT_EQ(timePickerResultText(t), "04:59:59") << "5 h, 0 min (\"5 \" is no integer), -1 s";
}

TEST(TimePicker, StartValueOfABox) {
    EXPECT_EQ(timePickerStartValue("1:05pm"), encodeTime(13, 5, 0));
    EXPECT_EQ(timePickerStartValue("23:59:59"), encodeTime(23, 59, 59));
    EXPECT_EQ(timePickerStartValue("25:00"), 0.0);
    EXPECT_EQ(timePickerStartValue("1:05 pm"), 0.0);
    EXPECT_EQ(kTimePickerCaption, "Pick ");
}

} // namespace
} // namespace vesk
