#pragma once
// Date, time, number and file-information routines of the general library.
//
// A date value (DateValue, lib/clock.h) counts days since 30 December 1899 00:00, local time; its
// fraction is the time of day (0.5 is noon), one second is 1/86400. Date texts use the forms
// "dd-mmm-yy", "hh:nn:ss", "yyyy-mm-dd hh:nn:ss", "dd-mmm-yy hh:nn" and "yymmdd-hhnnss"; month
// names in output are always the English abbreviations Jan..Dec, whatever the locale.
//
// Nothing here throws: invalid dates, times and numbers come back as error flags.

#include <cstdint>
#include <string>
#include <string_view>

#include "lib/clock.h"

namespace vesk {

// ---------------------------------------------------------------------------------------------
// Calendar arithmetic

// The range a date value may take: 1 January 0001 to 31 December 9999 (as on the original
// platform; before 30 December 1899 the time of day is subtracted from the negative day number,
// so 1 January 0001 12:00 is -693593.5). Values outside it (and NaN, infinities) decode to zeros
// and format as empty texts.
constexpr double kMinDateValue = -693593.0;     // 0001-01-01
constexpr double kMaxDateValue = 2958466.0;     // 10000-01-01, exclusive
constexpr double kUnixEpochDateValue = 25569.0; // 1970-01-01

// Gregorian leap year: divisible by 4, except centuries not divisible by 400.
bool isLeapYear(int year);
// Days of the month (1..12) in the year; 0 for a month outside 1..12.
int daysInMonth(int year, int month);

// The date at midnight; false (and `out` untouched) unless 1 <= y <= 9999, 1 <= m <= 12 and
// 1 <= d <= daysInMonth(y, m).
bool tryEncodeDate(int y, int m, int d, DateValue& out);
// The date at midnight; 0 for an invalid date (use tryEncodeDate to tell them apart).
DateValue encodeDate(int y, int m, int d);

// The day fraction of a time of day; false unless 0 <= h <= 23, 0 <= n,s <= 59, 0 <= ms <= 999.
bool tryEncodeTime(int h, int n, int s, int ms, DateValue& out);
// The day fraction h:n:s.ms, without range checks (so it also builds durations such as 25 hours).
DateValue encodeTime(int h, int n, int s, int ms = 0);

// Year, month and day of a value (the date part is the value truncated toward zero; the time is
// rounded to the millisecond first, so 23:59:59.9996 belongs to the next day). Values outside the
// supported range give 0, 0, 0.
void decodeDate(DateValue v, int& y, int& m, int& d);
// Hour, minute, second and millisecond of the value's time of day (the absolute fraction, rounded
// to the millisecond). Values outside the supported range give zeros.
void decodeTime(DateValue v, int& h, int& n, int& s, int& ms);

// Every field at once; false (and all zeros) for a value outside the supported range.
struct DateTimeParts {
    int year = 0, month = 0, day = 0;
    int hour = 0, minute = 0, second = 0, msec = 0;
    int weekday = 0; // 0 Sunday .. 6 Saturday
};
bool decodeDateTime(DateValue v, DateTimeParts& out);

// The value rounded to a whole millisecond, as one division (the canonical double for that
// instant). Two values built differently for the same millisecond compare equal after this.
DateValue roundToMs(DateValue v);
// date + time, rounded to the millisecond: the way a range bound is built from a date and a time.
DateValue combineDateTime(DateValue date, DateValue time);

// ---------------------------------------------------------------------------------------------
// Formatting

// Pattern forms used by the program.
inline constexpr std::string_view kFormatDate = "dd-mmm-yy";                  // 07-Dec-26
inline constexpr std::string_view kFormatTime = "hh:nn:ss";                   // 09:05:00
inline constexpr std::string_view kFormatIsoDateTime = "yyyy-mm-dd hh:nn:ss"; // 2026-12-07 09:05:00
inline constexpr std::string_view kFormatDateHourMinute = "dd-mmm-yy hh:nn";  // 07-Dec-26 09:05
inline constexpr std::string_view kFormatDateTime = "dd-mmm-yy hh:nn:ss";     // run log lines
inline constexpr std::string_view kFormatStamp = "yymmdd-hhnnss";             // 261207-090500
inline constexpr std::string_view kFormatLongStamp = "yyyymmdd-hhnnss";       // 20261207-090500

// Formats a date value. Pattern letters (case-insensitive, runs of the same letter):
//   y, yy: year, two digits        yyy, yyyy: year, four digits
//   m: month 1..12   mm: 01..12    mmm: Jan..Dec    mmmm: January..December (English)
//   d: day 1..31     dd: 01..31    ddd: Sun..Sat    dddd: Sunday..Saturday (English)
//   h, hh: hour (24-hour clock)    n, nn: minute    s, ss: second   (one letter: no leading zero)
//   z, zz: milliseconds            zzz: milliseconds, three digits
// "m" is always the month (minutes are "n"). Text in '...' or "..." is copied without the quotes;
// every other character is copied as it is. A value outside the supported range gives "".
std::string formatDate(DateValue v, std::string_view pattern);
// formatDate(clock.now(), pattern): time stamps for file names, logs and reports.
std::string formatNow(const Clock& clock, std::string_view pattern);

// English month abbreviation "Jan".."Dec" for 1..12; "" otherwise.
std::string_view monthAbbreviation(int month);

// ---------------------------------------------------------------------------------------------
// The xc routines

// Error flags of the conversions.
enum ConvertResult : int {
    kConvertOk = 0, // good
    kConvertInvalid =
        1,             // the routine's own error flag (bad date, time out of range, bad character)
    kConvertError = 2, // what the original platform raised as a conversion error (a time part or
                       // number that is not an integer); the caller shows the text and stops
};

enum ConvertDirection : int { kFromText = 1, kFromValue = 3 };

// xcDateConvert(direction, format, separator, text, value, dateNumber) -> 0 good, 1 bad.
//   kFromText (1): parses `text` (dd-mm-yy with any separators, a month abbreviation Jan..Dec in
//     any case, two-digit years < 70 -> 20yy else 19yy, day 99 = the month's last day, and the
//     form yyyy-mm-dd when characters 5 and 8 are the first two separators and both "-").
//     Success: dateNumber = yyyymmdd, value = that date at midnight, text = dd, separator, month,
//     separator, year (month Jan..Dec when `format` begins with "a", else two digits; year with two
//     digits when the second letter of `format` is "s", else in full).
//     Failure: text "", dateNumber 0; value 0 when the trimmed text is shorter than 3 characters,
//     otherwise left as it was.
//   kFromValue (3): formats `value` (not changed) into text and dateNumber; a value at or below 0.1
//     (or outside the supported range) gives text "", dateNumber 0 and error 1.
//   Any other direction: error 1, nothing changed.
// Format letters are compared without case. Years above 9999 are invalid.
int xcDateConvert(int direction, std::string_view format, std::string_view separator,
                  std::string& text, DateValue& value, int& dateNumber);

// The date at midnight of a text; 0 when invalid (xcDateConvert from text, format "a", "-").
DateValue xcDateFromText(std::string_view text);
// The date number yyyymmdd of a text; 0 when invalid (same conversion).
int xcDateNumFromText(std::string_view text);
// "07-Dec-26" for a date value; "" when invalid (xcDateConvert from a value, format "as", "-").
std::string xcDateToText(DateValue value);

// xcTimeConvert(direction, text, timeNumber, timeValue, errorText) -> ConvertResult.
//   kFromText (1): "am"/"a" and "pm"/"p" markers (any case); the time text is the first 8
//     characters, or everything before the pm marker, or (taking precedence) before the am marker;
//     hour before the first ":", minute up to the next ":", second after it; no ":" at all means
//     00:00:00. A pm marker adds 12 to an hour below 12 (an am marker changes nothing: 12:30am is
//     12:30:00). Each part must be an integer (leading blanks and a sign allowed); otherwise the
//     result is kConvertError and `errorText` gets the platform's message, e.g.
//     "'05 ' is not a valid integer value". Hour 0..23, minute and second 0..59, else error 1.
//     Success: text "hh:nn:ss", timeNumber hhmmss, timeValue the time of day (0 ms).
//   kFromValue (3): hour, minute and second of `timeValue` (not changed) set text and timeNumber.
//   On any error nothing but `errorText` changes. Any other direction: error 1.
int xcTimeConvert(int direction, std::string& text, int& timeNumber, DateValue& timeValue,
                  std::string* errorText = nullptr);

// Today's date "dd-mmm-yy" (English month names) and the current time "hh:nn:ss".
std::string xcTodayText(const Clock& clock);
std::string xcNowTimeText(const Clock& clock);

// xcParseNumber (integer form): the trimmed text may hold digits, one "-" anywhere (negative), ","
// anywhere (ignored) and "$" before the first digit (ignored). Empty gives 0, error 0. Any other
// character (a second "-", a "$" after a digit) gives 0, error 1 and errorText "invalid character:"
// followed by it. A text without digits ("-", "$,") or beyond the 64-bit range gives 0,
// kConvertError and errorText "'TEXT' is not a valid integer value". errorText is "" on success.
std::int64_t xcParseNumber(std::string_view text, int& error, std::string& errorText);

// Strict integer as the platform's StrToInt reads it: leading blanks, an optional sign, digits,
// nothing after, within 32 bits. False otherwise (out untouched).
bool parsePlainInt(std::string_view text, int& out);

// ---------------------------------------------------------------------------------------------
// File facts

// The last-write time as the program compares it: the modification time in local time (the
// zone's offset at that instant), rounded down to an even second.
DateValue fileTimeToDateValue(std::int64_t unixSeconds);
// fileTimeToDateValue of the file's modification time (links followed; files and folders); false
// and `out` untouched when the path cannot be examined.
bool fileDateValue(const std::string& path, DateValue& out);

// Size in bytes of a regular file (links followed); 0 when there is no such file.
std::int64_t xcFileSize(const std::string& path);
// The file's last-write time "yyyy-mm-dd hh:nn:ss"; "" when it cannot be read.
std::string xcFileDateText(const std::string& path);
// "dd-mmm-yy hh:nn size=N" for a regular file ("(unknown) size=N" when its time cannot be read);
// "" when the file does not exist.
std::string xcFileInfoText(const std::string& path);

} // namespace vesk
