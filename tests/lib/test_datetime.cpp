// Date, time, number and file-information routines.

#include "lib/datetime.h"

#include <clocale>
#include <cmath>
#include <cstdlib>
#include <ctime>
#include <limits>
#include <optional>
#include <string>

#include <gtest/gtest.h>

#include "tests/support/fakes.h"
#include "tests/support/scoped_time_zone.h"
#include "tests/support/temp_tree.h"

namespace vesk {
namespace {

using test::FakeClock;
using test::ScopedTimeZone;
using test::TempTree;

constexpr DateValue k7Dec2026 = 46363.0;

// Unix seconds of a UTC date and time.
long long unixUtc(int y, int m, int d, int h, int n, int s) {
    const DateValue days = encodeDate(y, m, d) - kUnixEpochDateValue;
    return static_cast<long long>(days) * 86400 + h * 3600 + n * 60 + s;
}

// ------------------------------------------------------------------------------------------
// Calendar arithmetic

TEST(Calendar, EncodeKnownDates) {
    EXPECT_EQ(encodeDate(1899, 12, 30), 0.0);
    EXPECT_EQ(encodeDate(1899, 12, 31), 1.0);
    EXPECT_EQ(encodeDate(1900, 1, 1), 2.0);
    EXPECT_EQ(encodeDate(1970, 1, 1), kUnixEpochDateValue);
    EXPECT_EQ(encodeDate(2026, 12, 7), k7Dec2026);
    EXPECT_EQ(encodeDate(1, 1, 1), kMinDateValue);
    EXPECT_EQ(encodeDate(9999, 12, 31), kMaxDateValue - 1);
    EXPECT_EQ(encodeDate(1899, 12, 29), -1.0);
}

TEST(Calendar, LeapYearsAndMonthLengths) {
    EXPECT_TRUE(isLeapYear(2024));
    EXPECT_TRUE(isLeapYear(2000));
    EXPECT_FALSE(isLeapYear(2100));
    EXPECT_FALSE(isLeapYear(1900));
    EXPECT_FALSE(isLeapYear(2026));
    EXPECT_EQ(daysInMonth(2024, 2), 29);
    EXPECT_EQ(daysInMonth(2100, 2), 28);
    EXPECT_EQ(daysInMonth(2000, 2), 29);
    EXPECT_EQ(daysInMonth(2026, 4), 30);
    EXPECT_EQ(daysInMonth(2026, 12), 31);
    EXPECT_EQ(daysInMonth(2026, 0), 0);
    EXPECT_EQ(daysInMonth(2026, 13), 0);
}

TEST(Calendar, InvalidDatesEncodeToZeroWithoutThrowing) {
    DateValue v = 123;
    EXPECT_FALSE(tryEncodeDate(2026, 2, 29, v));
    EXPECT_FALSE(tryEncodeDate(2100, 2, 29, v));
    EXPECT_FALSE(tryEncodeDate(2026, 4, 31, v));
    EXPECT_FALSE(tryEncodeDate(2026, 13, 1, v));
    EXPECT_FALSE(tryEncodeDate(2026, 1, 0, v));
    EXPECT_FALSE(tryEncodeDate(0, 1, 1, v));
    EXPECT_FALSE(tryEncodeDate(10000, 1, 1, v));
    EXPECT_EQ(v, 123);
    EXPECT_EQ(encodeDate(2026, 2, 29), 0.0);
    EXPECT_TRUE(tryEncodeDate(2000, 2, 29, v));
    EXPECT_TRUE(tryEncodeDate(2024, 2, 29, v));
}

TEST(Calendar, DecodeRoundTripsEveryDayOfSomeCenturies) {
    for (int y : {1, 1600, 1899, 1900, 1999, 2000, 2024, 2100, 9999}) {
        for (int m = 1; m <= 12; ++m) {
            for (int d = 1; d <= daysInMonth(y, m); ++d) {
                int yy = 0, mm = 0, dd = 0;
                // Before 30 December 1899 the time of day is subtracted (the date part is the
                // value truncated toward zero), as on the original platform.
                const DateValue v = encodeDate(y, m, d);
                decodeDate(v >= 0 ? v + 0.75 : v - 0.75, yy, mm, dd);
                ASSERT_EQ(yy, y);
                ASSERT_EQ(mm, m);
                ASSERT_EQ(dd, d);
            }
        }
    }
}

TEST(Calendar, EncodeAndDecodeTime) {
    EXPECT_EQ(encodeTime(12, 0, 0), 0.5);
    EXPECT_EQ(encodeTime(0, 0, 1), kOneSecond);
    EXPECT_EQ(encodeTime(25, 0, 0), 25.0 / 24.0); // durations are allowed
    DateValue v = 0;
    EXPECT_FALSE(tryEncodeTime(24, 0, 0, 0, v));
    EXPECT_FALSE(tryEncodeTime(0, 60, 0, 0, v));
    EXPECT_FALSE(tryEncodeTime(0, 0, 60, 0, v));
    EXPECT_FALSE(tryEncodeTime(0, 0, 0, 1000, v));
    EXPECT_FALSE(tryEncodeTime(-1, 0, 0, 0, v));
    EXPECT_TRUE(tryEncodeTime(23, 59, 59, 999, v));

    for (int h = 0; h < 24; ++h) {
        for (int n = 0; n < 60; n += 7) {
            for (int s = 0; s < 60; s += 3) {
                int hh = -1, nn = -1, ss = -1, ms = -1;
                decodeTime(k7Dec2026 + encodeTime(h, n, s, 125), hh, nn, ss, ms);
                ASSERT_EQ(hh, h);
                ASSERT_EQ(nn, n);
                ASSERT_EQ(ss, s);
                ASSERT_EQ(ms, 125);
            }
        }
    }
}

TEST(Calendar, RoundingToTheMillisecondCarriesIntoTheNextDay) {
    const DateValue almostMidnight = k7Dec2026 + (86400000.0 - 0.4) / 86400000.0;
    int y, m, d, h, n, s, ms;
    decodeDate(almostMidnight, y, m, d);
    decodeTime(almostMidnight, h, n, s, ms);
    EXPECT_EQ(y * 10000 + m * 100 + d, 20261208);
    EXPECT_EQ(h + n + s + ms, 0);
}

TEST(Calendar, NegativeValuesKeepTheirDatePartAndAbsoluteTime) {
    // -1.25 is 29 December 1899 06:00 on the original platform.
    int y, m, d, h, n, s, ms;
    decodeDate(-1.25, y, m, d);
    decodeTime(-1.25, h, n, s, ms);
    EXPECT_EQ(y * 10000 + m * 100 + d, 18991229);
    EXPECT_EQ(h, 6);
}

TEST(Calendar, OutOfRangeValuesDecodeToZeros) {
    for (double v : {std::nan(""), std::numeric_limits<double>::infinity(),
                     -std::numeric_limits<double>::infinity(), 1e300, -1e300, kMaxDateValue,
                     kMinDateValue - 1.0}) {
        int y = 9, m = 9, d = 9, h = 9, n = 9, s = 9, ms = 9;
        decodeDate(v, y, m, d);
        decodeTime(v, h, n, s, ms);
        EXPECT_EQ(y + m + d + h + n + s + ms, 0) << v;
        EXPECT_EQ(formatDate(v, "yyyy-mm-dd"), "") << v;
        EXPECT_EQ(xcDateToText(v), "") << v;
    }
}

TEST(Calendar, CombineDateTimeMatchesASingleDivision) {
    // A bound built as date + time must equal a file time of the same second bit for bit.
    for (int sec = 0; sec < 86400; sec += 1) {
        const DateValue bound = combineDateTime(k7Dec2026, encodeTime(0, 0, sec));
        const DateValue file = (k7Dec2026 * 86400.0 + sec) / 86400.0;
        ASSERT_EQ(bound, file) << sec;
    }
}

// ------------------------------------------------------------------------------------------
// formatDate

struct FormatCase {
    const char* pattern;
    const char* expected;
};

TEST(FormatDate, TheProgramsForms) {
    const DateValue v = k7Dec2026 + encodeTime(9, 5, 3, 42);
    const FormatCase cases[] = {
        {"dd-mmm-yy", "07-Dec-26"},
        {"hh:nn:ss", "09:05:03"},
        {"yyyy-mm-dd hh:nn:ss", "2026-12-07 09:05:03"},
        {"dd-mmm-yy hh:nn", "07-Dec-26 09:05"},
        {"yymmdd-hhnnss", "261207-090503"},
        {"yyyymmdd-hhnnss", "20261207-090503"},
        {"dd-mmm-yy hh:nn:ss", "07-Dec-26 09:05:03"},
        {"DD-MMM-YY", "07-Dec-26"},
        {"d/m/yyyy h:n:s", "7/12/2026 9:5:3"},
        {"mmmm", "December"},
        {"ddd dddd", "Mon Monday"},
        {"hh:nn:ss.zzz", "09:05:03.042"},
        {"z", "42"},
        {"'day' d \"of\" mmm", "day 7 of Dec"},
        {"[yy]", "[26]"},
        {"", ""},
    };
    for (const auto& c : cases)
        EXPECT_EQ(formatDate(v, c.pattern), c.expected) << c.pattern;
    EXPECT_EQ(kFormatDate, "dd-mmm-yy");
    EXPECT_EQ(formatDate(v, kFormatStamp), "261207-090503");
}

TEST(FormatDate, EveryMonthHasItsEnglishAbbreviation) {
    const char* names[] = {"Jan", "Feb", "Mar", "Apr", "May", "Jun",
                           "Jul", "Aug", "Sep", "Oct", "Nov", "Dec"};
    for (int m = 1; m <= 12; ++m) {
        EXPECT_EQ(formatDate(encodeDate(2025, m, 1), "mmm"), names[m - 1]);
        EXPECT_EQ(monthAbbreviation(m), names[m - 1]);
    }
    EXPECT_EQ(monthAbbreviation(0), "");
    EXPECT_EQ(monthAbbreviation(13), "");
}

TEST(FormatDate, YearsOfEveryWidth) {
    EXPECT_EQ(formatDate(encodeDate(2005, 3, 4), "yy yyyy"), "05 2005");
    EXPECT_EQ(formatDate(encodeDate(1999, 3, 4), "yy"), "99");
    EXPECT_EQ(formatDate(encodeDate(476, 3, 4), "yyyy-mm-dd"), "0476-03-04");
}

TEST(FormatDate, MonthNamesStayEnglishUnderAnotherLocale) {
    const std::string old = std::setlocale(LC_ALL, nullptr);
    if (!std::setlocale(LC_ALL, "de_DE.UTF-8") && !std::setlocale(LC_ALL, "fr_FR.UTF-8"))
        GTEST_SKIP() << "no German or French locale installed";
    const std::string text = formatDate(encodeDate(2026, 5, 7), "dd-mmm-yy");
    std::setlocale(LC_ALL, old.c_str());
    EXPECT_EQ(text, "07-May-26");
}

// ------------------------------------------------------------------------------------------
// xcDateConvert from text

struct DateCase {
    const char* text;
    int number; // 0: invalid
};

TEST(DateConvert, AcceptedForms) {
    const DateCase cases[] = {
        // Four spellings of 7 December 2026.
        {"7/12/26", 20261207},
        {"07-Dec-2026", 20261207},
        {"07 DEC 26", 20261207},
        {"2026-12-07", 20261207},
        // Month abbreviations in any case.
        {"07-dec-26", 20261207},
        {"07-dEC-26", 20261207},
        {"01-jan-26", 20260101},
        {"15-Sep-2025", 20250915},
        // Separators: any character that is not a letter or digit.
        {"07.12.26", 20261207},
        {"07/12/2026", 20261207},
        {"07_12_26", 20261207},
        {"07,12,26", 20261207},
        {"07\xE9"
         "12\xE9"
         "26",
         20261207},
        {"  07-Dec-26\t", 20261207},
        {"7-12-26", 20261207},
        // Two-digit years.
        {"01-01-00", 20000101},
        {"01-01-0", 20000101},
        {"01-01-69", 20690101},
        {"01-01-70", 19700101},
        {"01-01-99", 19990101},
        {"01-01-1969", 19690101},
        {"01-01-100", 1000101},
        {"01-01-0070", 19700101},
        // Day 99: the month's last day, leap and century years included.
        {"99-Feb-2024", 20240229},
        {"99-Feb-24", 20240229},
        {"99-Feb-2100", 21000228},
        {"99-Feb-2000", 20000229},
        {"99-Feb-1900", 19000228},
        {"99-Feb-2026", 20260228},
        {"99-Apr-26", 20260430},
        {"99-12-26", 20261231},
        {"2026-02-99", 20260228},
        // Year-month-day; what follows the day is ignored.
        {"2026-12-07 10:00:00", 20261207},
        {"2024-02-29", 20240229},
        // More than two separators: the year text "2026 10:00" is no number, so the year is 2000.
        {"07-Dec-2026 10:00", 20001207},
    };
    for (const auto& c : cases) {
        std::string text = c.text;
        DateValue value = -7;
        int number = -7;
        EXPECT_EQ(xcDateConvert(kFromText, "a", "-", text, value, number), kConvertOk) << c.text;
        EXPECT_EQ(number, c.number) << c.text;
        const int y = c.number / 10000, m = c.number / 100 % 100, d = c.number % 100;
        EXPECT_EQ(value, encodeDate(y, m, d)) << c.text;
    }
}

TEST(DateConvert, RejectedForms) {
    const char* cases[] = {
        "31-Apr-2026", "29-Feb-2026", "29-Feb-2100",      "32-Jan-26",   "00-Jan-26", "98-Jan-26",
        "07-13-26",    "07-00-26",    "07-December-2026", "07-De-26",    "Dec-07-26", "20261207",
        "07-12",       "07--12-26",   "2026/12/07",       "2026-Dec-07", "2026-1-07", "07-12-10000",
        "7a-12-26",    "xx-yy-zz",    "99-13-26",         "-07-12-26",
    };
    for (const char* c : cases) {
        std::string text = c;
        DateValue value = 123.0;
        int number = -7;
        EXPECT_EQ(xcDateConvert(kFromText, "a", "-", text, value, number), kConvertInvalid) << c;
        EXPECT_EQ(text, "") << c;
        EXPECT_EQ(number, 0) << c;
        EXPECT_EQ(value, 123.0) << c << ": a failed validation leaves the value as it was";
    }
}

TEST(DateConvert, LongFieldsAreThePlainIntegersTheyAre) {
    for (const DateCase& c : std::initializer_list<DateCase>{
             {"07-Dec-0000002026", 20261207},
             {"0000000007-Dec-26", 20261207},
             {"0000000007-0000000012-0000000026", 20261207},
             {"0000000099-Feb-2024", 20240229},
             // Above 9999 (or any month or day), never a wrapped or zero field.
             {"01-01-1000000000", 0},
             {"07-12-99999999999", 0},
             {"01-01-00000000010000", 0},
             {"4294967303-12-26", 0},
             {"07-4294967308-26", 0},
         }) {
        std::string text = c.text;
        DateValue value = 0;
        int number = 0;
        const int error = xcDateConvert(kFromText, "a", "-", text, value, number);
        EXPECT_EQ(error, c.number ? kConvertOk : kConvertInvalid) << c.text;
        EXPECT_EQ(number, c.number) << c.text;
    }
}

TEST(DateConvert, TooShortClearsTheValue) {
    for (const char* c : {"", "  ", "7", "7-", " 12 "}) {
        std::string text = c;
        DateValue value = 123.0;
        int number = -7;
        EXPECT_EQ(xcDateConvert(kFromText, "a", "-", text, value, number), kConvertInvalid) << c;
        EXPECT_EQ(text, "");
        EXPECT_EQ(value, 0.0);
        EXPECT_EQ(number, 0);
    }
}

TEST(DateConvert, OutputTextFollowsTheFormatWordAndSeparator) {
    struct Case {
        const char* format;
        const char* separator;
        const char* expected;
    } cases[] = {
        {"a", "-", "07-Dec-2026"}, {"as", "-", "07-Dec-26"}, {"AS", "-", "07-Dec-26"},
        {"n", "-", "07-12-2026"},  {"ns", "/", "07/12/26"},  {"", ".", "07.12.2026"},
        {"as", " ", "07 Dec 26"},
    };
    for (const auto& c : cases) {
        std::string text = "7/12/26";
        DateValue value = 0;
        int number = 0;
        EXPECT_EQ(xcDateConvert(kFromText, c.format, c.separator, text, value, number), 0);
        EXPECT_EQ(text, c.expected) << c.format;
    }
    std::string text = "05-Mar-2005";
    DateValue value = 0;
    int number = 0;
    xcDateConvert(kFromText, "as", "-", text, value, number);
    EXPECT_EQ(text, "05-Mar-05");
}

TEST(DateConvert, FromAValue) {
    std::string text = "old";
    DateValue value = k7Dec2026 + 0.75;
    int number = 0;
    EXPECT_EQ(xcDateConvert(kFromValue, "as", "-", text, value, number), kConvertOk);
    EXPECT_EQ(text, "07-Dec-26");
    EXPECT_EQ(number, 20261207);
    EXPECT_EQ(value, k7Dec2026 + 0.75) << "the value is not changed";

    value = encodeDate(2024, 2, 29);
    EXPECT_EQ(xcDateConvert(kFromValue, "n", "/", text, value, number), kConvertOk);
    EXPECT_EQ(text, "29/02/2024");

    value = 0.10001; // just above the limit: 30 December 1899
    EXPECT_EQ(xcDateConvert(kFromValue, "as", "-", text, value, number), kConvertOk);
    EXPECT_EQ(text, "30-Dec-99");
    EXPECT_EQ(number, 18991230);

    for (double bad : {0.1, 0.0, -5.0, std::nan(""), 1e20}) {
        text = "old";
        number = 7;
        value = bad;
        EXPECT_EQ(xcDateConvert(kFromValue, "as", "-", text, value, number), kConvertInvalid);
        EXPECT_EQ(text, "");
        EXPECT_EQ(number, 0);
    }
}

TEST(DateConvert, UnknownDirectionChangesNothing) {
    std::string text = "07-Dec-26";
    DateValue value = 5;
    int number = 5;
    EXPECT_EQ(xcDateConvert(2, "a", "-", text, value, number), kConvertInvalid);
    EXPECT_EQ(text, "07-Dec-26");
    EXPECT_EQ(value, 5);
    EXPECT_EQ(number, 5);
}

TEST(DateConvert, Shortcuts) {
    EXPECT_EQ(xcDateFromText("07-Dec-26"), k7Dec2026);
    EXPECT_EQ(xcDateFromText("2026-12-07"), k7Dec2026);
    EXPECT_EQ(xcDateFromText("31-Apr-26"), 0.0);
    EXPECT_EQ(xcDateFromText(""), 0.0);
    EXPECT_EQ(xcDateNumFromText("7/12/26"), 20261207);
    EXPECT_EQ(xcDateNumFromText("December 7"), 0);
    EXPECT_EQ(xcDateToText(k7Dec2026 + 0.5), "07-Dec-26");
    EXPECT_EQ(xcDateToText(0), "");
    EXPECT_EQ(xcDateToText(encodeDate(2005, 1, 9)), "09-Jan-05");
}

// ------------------------------------------------------------------------------------------
// xcTimeConvert

struct TimeCase {
    const char* text;
    int error;
    const char* out; // on success
    int number;
};

TEST(TimeConvert, FromText) {
    const TimeCase cases[] = {
        // The documented examples.
        {"9", 0, "00:00:00", 0},
        {"9pm", 0, "12:00:00", 120000},
        {"12am", 0, "00:00:00", 0},
        {"1:05pm", 0, "13:05:00", 130500},
        {"12:30am", 0, "12:30:00", 123000},
        {"10:30", 0, "10:30:00", 103000},
        {"25:00", 1, nullptr, 0},
        // am/pm in any case, and the single letters.
        {"1:05PM", 0, "13:05:00", 130500},
        {"1:05Pm", 0, "13:05:00", 130500},
        {"1:05p", 0, "13:05:00", 130500},
        {"1:05a", 0, "01:05:00", 10500},
        {"11:59:30AM", 0, "11:59:30", 115930},
        {"12:00pm", 0, "12:00:00", 120000},
        {"12:15:01p", 0, "12:15:01", 121501},
        {"11:59PM", 0, "23:59:00", 235900},
        // Plain times.
        {"00:00:00", 0, "00:00:00", 0},
        {"23:59:59", 0, "23:59:59", 235959},
        {"9:5:3", 0, "09:05:03", 90503},
        {" 9:05", 0, "09:05:00", 90500},
        {"9: 5: 7", 0, "09:05:07", 90507},
        {"9: 05: 07", 0, "09:05:00", 90500},     // the first 8 characters: "9: 05: 0"
        {"10:30:15.250", 0, "10:30:15", 103015}, // only the first 8 characters
        {"", 0, "00:00:00", 0},
        {"am", 0, "00:00:00", 0},
        // Out of range.
        {"24:00", 1, nullptr, 0},
        {"1:60", 1, nullptr, 0},
        {"1:00:60", 1, nullptr, 0},
        {"-1:00", 1, nullptr, 0},
        {"13:00pm", 0, "13:00:00", 130000},
        // Parts that are no integers: the platform's conversion error.
        {"1:05 pm", 2, nullptr, 0},
        {"9:00 am", 2, nullptr, 0},
        {"9 :05", 2, nullptr, 0},
        {"10:", 2, nullptr, 0},
        {"xx:yy", 2, nullptr, 0},
        {"1:2:3:4", 2, nullptr, 0},
        {"1:0x", 2, nullptr, 0},
    };
    for (const auto& c : cases) {
        std::string text = c.text;
        int number = -7;
        DateValue value = -7;
        std::string error;
        EXPECT_EQ(xcTimeConvert(kFromText, text, number, value, &error), c.error) << c.text;
        if (c.error == 0) {
            EXPECT_EQ(text, c.out) << c.text;
            EXPECT_EQ(number, c.number) << c.text;
            EXPECT_EQ(value, encodeTime(c.number / 10000, c.number / 100 % 100, c.number % 100))
                << c.text;
            EXPECT_EQ(error, "");
        } else {
            EXPECT_EQ(text, c.text) << "an error changes nothing";
            EXPECT_EQ(number, -7);
            EXPECT_EQ(value, -7);
            if (c.error == 2) {
                EXPECT_NE(error, "") << c.text;
            }
        }
    }
}

TEST(TimeConvert, ConversionErrorNamesTheBadPart) {
    std::string text = "1:05 pm", error;
    int number = 0;
    DateValue value = 0;
    EXPECT_EQ(xcTimeConvert(kFromText, text, number, value, &error), kConvertError);
    EXPECT_EQ(error, "'05 ' is not a valid integer value");
    text = "1:05 pm";
    EXPECT_EQ(xcTimeConvert(kFromText, text, number, value), kConvertError) << "no text wanted";
}

TEST(TimeConvert, FromAValue) {
    std::string text;
    int number = 0;
    DateValue value = k7Dec2026 + encodeTime(13, 5, 7, 400);
    EXPECT_EQ(xcTimeConvert(kFromValue, text, number, value), kConvertOk);
    EXPECT_EQ(text, "13:05:07");
    EXPECT_EQ(number, 130507);
    EXPECT_EQ(value, k7Dec2026 + encodeTime(13, 5, 7, 400)) << "the value is not changed";

    value = 0.75;
    EXPECT_EQ(xcTimeConvert(kFromValue, text, number, value), kConvertOk);
    EXPECT_EQ(text, "18:00:00");

    text = "keep";
    value = std::nan("");
    EXPECT_EQ(xcTimeConvert(kFromValue, text, number, value), kConvertInvalid);
    EXPECT_EQ(text, "keep");
    EXPECT_EQ(xcTimeConvert(7, text, number, value), kConvertInvalid);
}

// ------------------------------------------------------------------------------------------
// Today and now

TEST(ClockTexts, TodayAndNowFromAFakeClock) {
    FakeClock clock(k7Dec2026 + encodeTime(9, 5, 3, 999));
    EXPECT_EQ(xcTodayText(clock), "07-Dec-26");
    EXPECT_EQ(xcNowTimeText(clock), "09:05:03");
    clock.set(encodeDate(1999, 1, 31) + encodeTime(23, 59, 59));
    EXPECT_EQ(xcTodayText(clock), "31-Jan-99");
    EXPECT_EQ(xcNowTimeText(clock), "23:59:59");
    EXPECT_EQ(formatNow(clock, kFormatLongStamp), "19990131-235959");
    clock.set(encodeDate(2026, 5, 1));
    EXPECT_EQ(xcTodayText(clock), "01-May-26");
    EXPECT_EQ(xcNowTimeText(clock), "00:00:00");
}

// ------------------------------------------------------------------------------------------
// xcParseNumber

struct NumberCase {
    const char* text;
    long long value;
    int error;
    const char* errorText;
};

TEST(ParseNumber, Table) {
    const NumberCase cases[] = {
        {"", 0, 0, ""},
        {"   ", 0, 0, ""},
        {"123", 123, 0, ""},
        {" 12 ", 12, 0, ""},
        {"-45", -45, 0, ""},
        {"45-", -45, 0, ""},
        {"4-5", -45, 0, ""},
        {"1,234", 1234, 0, ""},
        {"1,2,3,4,", 1234, 0, ""},
        {"$1,234", 1234, 0, ""},
        {"$-12", -12, 0, ""},
        {"-$12", -12, 0, ""},
        {"$$12", 12, 0, ""},
        {"007", 7, 0, ""},
        {"-1", -1, 0, ""},
        {"12$", 0, 1, "invalid character:$"},
        {"1-2-3", 0, 1, "invalid character:-"},
        {"12a", 0, 1, "invalid character:a"},
        {"1 2", 0, 1, "invalid character: "},
        {"1.5", 0, 1, "invalid character:."},
        {"+5", 0, 1, "invalid character:+"},
        {"-", 0, 2, "'-' is not a valid integer value"},
        {"$", 0, 2, "'$' is not a valid integer value"},
        {",", 0, 2, "',' is not a valid integer value"},
        {"-,$", 0, 2, "'-,$' is not a valid integer value"},
        {"9223372036854775807", std::numeric_limits<long long>::max(), 0, ""},
        {"-9223372036854775808", std::numeric_limits<long long>::min(), 0, ""},
        {"9223372036854775808", 0, 2, "'9223372036854775808' is not a valid integer value"},
        {"99999999999999999999999", 0, 2, "'99999999999999999999999' is not a valid integer value"},
    };
    for (const auto& c : cases) {
        int error = -7;
        std::string errorText = "old";
        EXPECT_EQ(xcParseNumber(c.text, error, errorText), c.value) << c.text;
        EXPECT_EQ(error, c.error) << c.text;
        EXPECT_EQ(errorText, c.errorText) << c.text;
    }
}

TEST(ParsePlainInt, LikeThePlatformsStrToInt) {
    int n = -7;
    EXPECT_TRUE(parsePlainInt(" 12", n));
    EXPECT_EQ(n, 12);
    EXPECT_TRUE(parsePlainInt("+5", n));
    EXPECT_EQ(n, 5);
    EXPECT_TRUE(parsePlainInt("-5", n));
    EXPECT_EQ(n, -5);
    EXPECT_TRUE(parsePlainInt("2147483647", n));
    EXPECT_EQ(n, 2147483647);
    EXPECT_TRUE(parsePlainInt("-2147483648", n));
    EXPECT_EQ(n, std::numeric_limits<int>::min());
    n = -7;
    for (const char* bad : {"", " ", "-", "12 ", "1 2", "2147483648", "0x10", "$10", "1.0"}) {
        EXPECT_FALSE(parsePlainInt(bad, n)) << bad;
        EXPECT_EQ(n, -7);
    }
}

// ------------------------------------------------------------------------------------------
// File facts

TEST(FileDates, RoundedDownToAnEvenSecondInUtc) {
    ScopedTimeZone tz("UTC0");
    TempTree tree;
    tree.write("a.txt", "x");
    const struct {
        int second;
        int expectedSecond;
    } cases[] = {{0, 0}, {1, 0}, {2, 2}, {3, 2}, {58, 58}, {59, 58}};
    for (const auto& c : cases) {
        tree.setMtime("a.txt", unixUtc(2026, 12, 7, 9, 5, c.second));
        DateValue v = 0;
        ASSERT_TRUE(fileDateValue(tree.path("a.txt"), v));
        EXPECT_EQ(v, combineDateTime(k7Dec2026, encodeTime(9, 5, c.expectedSecond))) << c.second;
    }
}

TEST(FileDates, LocalTimeWithSummerTimePerInstant) {
    ScopedTimeZone tz("CET-1CEST,M3.5.0,M10.5.0/3");
    TempTree tree;
    tree.write("a.txt", "x");
    tree.setMtime("a.txt", unixUtc(2026, 12, 7, 8, 5, 1)); // winter: UTC+1
    EXPECT_EQ(xcFileDateText(tree.path("a.txt")), "2026-12-07 09:05:00");
    tree.setMtime("a.txt", unixUtc(2026, 7, 7, 8, 5, 3)); // summer: UTC+2
    EXPECT_EQ(xcFileDateText(tree.path("a.txt")), "2026-07-07 10:05:02");
    tree.setMtime("a.txt", unixUtc(2026, 12, 7, 23, 30, 0)); // the next day in local time
    EXPECT_EQ(xcFileDateText(tree.path("a.txt")), "2026-12-08 00:30:00");
}

TEST(FileDates, RoundingHappensInLocalTimeNotInUtc) {
    // A zone one second east of UTC: an even Unix second is an odd local second, which rounds
    // down; rounding in UTC first would give 09:05:01.
    ScopedTimeZone tz("ODD-0:00:01");
    TempTree tree;
    tree.write("a.txt", "x");
    tree.setMtime("a.txt", unixUtc(2026, 12, 7, 9, 5, 0));
    EXPECT_EQ(xcFileDateText(tree.path("a.txt")), "2026-12-07 09:05:00");
    tree.setMtime("a.txt", unixUtc(2026, 12, 7, 9, 5, 1));
    EXPECT_EQ(xcFileDateText(tree.path("a.txt")), "2026-12-07 09:05:02");
    EXPECT_EQ(fileTimeToDateValue(unixUtc(2026, 12, 7, 9, 5, 1)),
              combineDateTime(k7Dec2026, encodeTime(9, 5, 2)));
}

TEST(FileDates, BeforeNineteenSeventyRoundsDownToo) {
    ScopedTimeZone tz("UTC0");
    EXPECT_EQ(formatDate(fileTimeToDateValue(-1), kFormatIsoDateTime), "1969-12-31 23:59:58");
    EXPECT_EQ(formatDate(fileTimeToDateValue(-2), kFormatIsoDateTime), "1969-12-31 23:59:58");
    EXPECT_EQ(formatDate(fileTimeToDateValue(-3), kFormatIsoDateTime), "1969-12-31 23:59:56");
    EXPECT_EQ(fileTimeToDateValue(0), kUnixEpochDateValue);
}

TEST(FileDates, MissingFile) {
    TempTree tree;
    DateValue v = 42;
    EXPECT_FALSE(fileDateValue(tree.path("missing.txt"), v));
    EXPECT_FALSE(fileDateValue("", v));
    EXPECT_EQ(v, 42);
    EXPECT_EQ(xcFileDateText(tree.path("missing.txt")), "");
}

TEST(FileDates, FoldersHaveDatesButNoSizeOrInfo) {
    ScopedTimeZone tz("UTC0");
    TempTree tree;
    tree.mkdir("sub");
    tree.setMtime("sub", unixUtc(2026, 12, 7, 9, 5, 0));
    DateValue v = 0;
    EXPECT_TRUE(fileDateValue(tree.path("sub"), v));
    EXPECT_EQ(xcFileDateText(tree.path("sub")), "2026-12-07 09:05:00");
    EXPECT_EQ(xcFileSize(tree.path("sub")), 0);
    EXPECT_EQ(xcFileInfoText(tree.path("sub")), "");
}

TEST(FileInfo, SizeAndInfoText) {
    ScopedTimeZone tz("CET-1CEST,M3.5.0,M10.5.0/3");
    TempTree tree;
    tree.write("f.pas", std::string(2048, 'x'));
    tree.setMtime("f.pas", unixUtc(2026, 12, 7, 8, 5, 30));
    EXPECT_EQ(xcFileSize(tree.path("f.pas")), 2048);
    EXPECT_EQ(xcFileInfoText(tree.path("f.pas")), "07-Dec-26 09:05 size=2048");
    EXPECT_EQ(xcFileDateText(tree.path("f.pas")), "2026-12-07 09:05:30");

    tree.write("empty.txt", "");
    EXPECT_EQ(xcFileSize(tree.path("empty.txt")), 0);
    EXPECT_NE(xcFileInfoText(tree.path("empty.txt")).find(" size=0"), std::string::npos);

    EXPECT_EQ(xcFileSize(tree.path("missing")), 0);
    EXPECT_EQ(xcFileInfoText(tree.path("missing")), "");
    EXPECT_EQ(xcFileSize(""), 0);
    EXPECT_EQ(xcFileInfoText(""), "");
}

} // namespace
} // namespace vesk
