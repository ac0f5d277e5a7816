#include "lib/datetime.h"

#include <array>
#include <cmath>
#include <cstdio>
#include <ctime>
#include <limits>
#include <sys/stat.h>

#include "lib/text.h"

namespace vesk {

namespace {

constexpr std::int64_t kMsPerDay = 86400000;

constexpr std::array<std::string_view, 12> kMonthShort = {"Jan", "Feb", "Mar", "Apr", "May", "Jun",
                                                          "Jul", "Aug", "Sep", "Oct", "Nov", "Dec"};
constexpr std::array<std::string_view, 12> kMonthLong = {
    "January", "February", "March",     "April",   "May",      "June",
    "July",    "August",   "September", "October", "November", "December"};
constexpr std::array<std::string_view, 7> kDayShort = {"Sun", "Mon", "Tue", "Wed",
                                                       "Thu", "Fri", "Sat"};
constexpr std::array<std::string_view, 7> kDayLong = {"Sunday",   "Monday", "Tuesday", "Wednesday",
                                                      "Thursday", "Friday", "Saturday"};

// Days from 1970-01-01 to y-m-d in the proleptic Gregorian calendar (H. Hinnant's algorithm).
std::int64_t daysFromCivil(std::int64_t y, unsigned m, unsigned d) {
    y -= m <= 2;
    const std::int64_t era = (y >= 0 ? y : y - 399) / 400;
    const auto yoe = static_cast<unsigned>(y - era * 400);
    const unsigned doy = (153 * (m > 2 ? m - 3 : m + 9) + 2) / 5 + d - 1;
    const unsigned doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
    return era * 146097 + static_cast<std::int64_t>(doe) - 719468;
}

void civilFromDays(std::int64_t z, int& y, int& m, int& d) {
    z += 719468;
    const std::int64_t era = (z >= 0 ? z : z - 146096) / 146097;
    const auto doe = static_cast<unsigned>(z - era * 146097);
    const unsigned yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
    const std::int64_t yy = static_cast<std::int64_t>(yoe) + era * 400;
    const unsigned doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
    const unsigned mp = (5 * doy + 2) / 153;
    d = static_cast<int>(doy - (153 * mp + 2) / 5 + 1);
    m = static_cast<int>(mp < 10 ? mp + 3 : mp - 9);
    y = static_cast<int>(yy + (m <= 2));
}

// Before 30 December 1899 the time is subtracted, so 1 January 0001 reaches down to -693594.
bool inRange(DateValue v) {
    return std::isfinite(v) && v > kMinDateValue - 1.0 && v < kMaxDateValue;
}

// Splits a value into whole days (toward zero, as the original platform does) and the
// milliseconds of its absolute fraction. False outside the supported range.
bool splitValue(DateValue v, std::int64_t& days, std::int64_t& msOfDay) {
    if (!inRange(v)) return false;
    const double whole = std::trunc(v);
    days = static_cast<std::int64_t>(whole);
    msOfDay = std::llround(std::fabs(v - whole) * static_cast<double>(kMsPerDay));
    if (msOfDay >= kMsPerDay) {
        msOfDay -= kMsPerDay;
        days += v < 0 ? -1 : 1;
    }
    return true;
}

void appendPadded(std::string& out, long long n, int width) {
    char buf[32];
    std::snprintf(buf, sizeof buf, "%0*lld", width, n);
    out += buf;
}

bool isDigit(char c) {
    return c >= '0' && c <= '9';
}
bool isAlnumUpper(char c) {
    return isDigit(c) || (c >= 'A' && c <= 'Z');
}

// A date field as the plain integer it is, leading zeros and all; 0 for a text that is not one.
// A value beyond any field's range stays beyond it however long the text, so "1000000000" is a
// year above 9999 rather than a number that wrapped.
int plainDigits(std::string_view s) {
    constexpr int kBeyondAnyField = 100000;
    if (s.empty()) return 0;
    int n = 0;
    for (char c : s) {
        if (!isDigit(c)) return 0;
        n = n >= kBeyondAnyField ? kBeyondAnyField : n * 10 + (c - '0');
    }
    return n;
}

std::string notAnIntegerText(std::string_view s) {
    return "'" + std::string(s) + "' is not a valid integer value";
}

std::string dateText(int y, int m, int d, std::string_view format, std::string_view separator) {
    const bool named = !format.empty() && upperChar(format[0]) == 'A';
    const bool shortYear = format.size() >= 2 && upperChar(format[1]) == 'S';
    std::string out;
    appendPadded(out, d, 2);
    out += separator;
    if (named)
        out += kMonthShort[static_cast<std::size_t>(m - 1)];
    else
        appendPadded(out, m, 2);
    out += separator;
    if (shortYear)
        appendPadded(out, y % 100, 2);
    else
        appendNumber(out, y);
    return out;
}

std::string timeText(int h, int n, int s) {
    std::string out;
    appendPadded(out, h, 2);
    out += ':';
    appendPadded(out, n, 2);
    out += ':';
    appendPadded(out, s, 2);
    return out;
}

// Position (0-based) of the first case-insensitive occurrence of `part`, npos when absent.
std::size_t findNoCase(std::string_view text, std::string_view part) {
    const std::size_t p = xcPosIn(text, part, true);
    return p == 0 ? std::string_view::npos : p - 1;
}

} // namespace

// ---------------------------------------------------------------------------------------------

bool isLeapYear(int year) {
    return (year % 4 == 0 && year % 100 != 0) || year % 400 == 0;
}

int daysInMonth(int year, int month) {
    static constexpr int kDays[12] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    if (month < 1 || month > 12) return 0;
    return month == 2 && isLeapYear(year) ? 29 : kDays[month - 1];
}

bool tryEncodeDate(int y, int m, int d, DateValue& out) {
    if (y < 1 || y > 9999 || m < 1 || m > 12 || d < 1 || d > daysInMonth(y, m)) return false;
    out = static_cast<double>(daysFromCivil(y, static_cast<unsigned>(m), static_cast<unsigned>(d)) +
                              static_cast<std::int64_t>(kUnixEpochDateValue));
    return true;
}

DateValue encodeDate(int y, int m, int d) {
    DateValue v = 0;
    return tryEncodeDate(y, m, d, v) ? v : 0;
}

bool tryEncodeTime(int h, int n, int s, int ms, DateValue& out) {
    if (h < 0 || h > 23 || n < 0 || n > 59 || s < 0 || s > 59 || ms < 0 || ms > 999) return false;
    out = encodeTime(h, n, s, ms);
    return true;
}

DateValue encodeTime(int h, int n, int s, int ms) {
    const std::int64_t total = ((static_cast<std::int64_t>(h) * 60 + n) * 60 + s) * 1000 + ms;
    return static_cast<double>(total) / static_cast<double>(kMsPerDay);
}

bool decodeDateTime(DateValue v, DateTimeParts& out) {
    out = DateTimeParts{};
    std::int64_t days = 0, ms = 0;
    if (!splitValue(v, days, ms)) return false;
    civilFromDays(days - static_cast<std::int64_t>(kUnixEpochDateValue), out.year, out.month,
                  out.day);
    if (out.year < 1 || out.year > 9999) { // rounding past 31 Dec 9999 23:59:59.999
        out = DateTimeParts{};
        return false;
    }
    out.hour = static_cast<int>(ms / 3600000);
    out.minute = static_cast<int>(ms / 60000 % 60);
    out.second = static_cast<int>(ms / 1000 % 60);
    out.msec = static_cast<int>(ms % 1000);
    // Day 0 (30 December 1899) was a Saturday.
    out.weekday = static_cast<int>(((days + 6) % 7 + 7) % 7);
    return true;
}

void decodeDate(DateValue v, int& y, int& m, int& d) {
    DateTimeParts p;
    decodeDateTime(v, p);
    y = p.year;
    m = p.month;
    d = p.day;
}

void decodeTime(DateValue v, int& h, int& n, int& s, int& ms) {
    DateTimeParts p;
    decodeDateTime(v, p);
    h = p.hour;
    n = p.minute;
    s = p.second;
    ms = p.msec;
}

DateValue roundToMs(DateValue v) {
    if (!std::isfinite(v) || std::fabs(v) > 1e9) return v;
    return static_cast<double>(std::llround(v * static_cast<double>(kMsPerDay))) /
           static_cast<double>(kMsPerDay);
}

DateValue combineDateTime(DateValue date, DateValue time) {
    return roundToMs(date + time);
}

// ---------------------------------------------------------------------------------------------

std::string_view monthAbbreviation(int month) {
    if (month < 1 || month > 12) return {};
    return kMonthShort[static_cast<std::size_t>(month - 1)];
}

std::string formatDate(DateValue v, std::string_view pattern) {
    DateTimeParts p;
    if (!decodeDateTime(v, p)) return {};
    std::string out;
    out.reserve(pattern.size() + 8);
    std::size_t i = 0;
    while (i < pattern.size()) {
        const char c = pattern[i];
        if (c == '\'' || c == '"') {
            const std::size_t close = pattern.find(c, i + 1);
            const std::size_t end = close == std::string_view::npos ? pattern.size() : close;
            out.append(pattern.substr(i + 1, end - i - 1));
            i = close == std::string_view::npos ? pattern.size() : close + 1;
            continue;
        }
        const char u = upperChar(c);
        std::size_t run = 1;
        while (i + run < pattern.size() && upperChar(pattern[i + run]) == u)
            ++run;
        switch (u) {
        case 'Y':
            if (run <= 2)
                appendPadded(out, p.year % 100, 2);
            else
                appendPadded(out, p.year, 4);
            break;
        case 'M':
            if (run == 1)
                appendNumber(out, p.month);
            else if (run == 2)
                appendPadded(out, p.month, 2);
            else if (run == 3)
                out += kMonthShort[static_cast<std::size_t>(p.month - 1)];
            else
                out += kMonthLong[static_cast<std::size_t>(p.month - 1)];
            break;
        case 'D':
            if (run == 1)
                appendNumber(out, p.day);
            else if (run == 2)
                appendPadded(out, p.day, 2);
            else if (run == 3)
                out += kDayShort[static_cast<std::size_t>(p.weekday)];
            else
                out += kDayLong[static_cast<std::size_t>(p.weekday)];
            break;
        case 'H':
            appendPadded(out, p.hour, run == 1 ? 1 : 2);
            break;
        case 'N':
            appendPadded(out, p.minute, run == 1 ? 1 : 2);
            break;
        case 'S':
            appendPadded(out, p.second, run == 1 ? 1 : 2);
            break;
        case 'Z':
            appendPadded(out, p.msec, run >= 3 ? 3 : 1);
            break;
        default:
            out.append(pattern.substr(i, run));
            break;
        }
        i += run;
    }
    return out;
}

std::string formatNow(const Clock& clock, std::string_view pattern) {
    return formatDate(clock.now(), pattern);
}

// ---------------------------------------------------------------------------------------------

namespace {

// The three field texts of a date text (trimmed and upper-cased).
struct DateFieldTexts {
    std::string_view day, month, year;
    bool anyLetter = false;
};

// Digits and letters make up the fields; any other character separates them. The form
// yyyy-mm-dd is told by its first two separators sitting at characters 5 and 8; otherwise day,
// month and the whole rest as the year.
DateFieldTexts splitDateFields(std::string_view s) {
    std::size_t sep1 = 0, sep2 = 0; // 1-based; 0 when absent
    DateFieldTexts f;
    for (std::size_t i = 0; i < s.size(); ++i) {
        const char c = s[i];
        if (isAlnumUpper(c)) {
            if (!isDigit(c)) f.anyLetter = true;
        } else if (sep1 == 0) {
            sep1 = i + 1;
        } else if (sep2 == 0) {
            sep2 = i + 1;
        }
    }
    if (s.size() >= 10 && s[4] == '-' && s[7] == '-' && sep1 == 5 && sep2 == 8) {
        f.year = s.substr(0, 4);
        f.month = s.substr(5, 2);
        f.day = s.substr(8, 2);
        return f;
    }
    if (sep1 > 0) f.day = s.substr(0, sep1 - 1);
    if (sep2 > sep1 && sep1 > 0) f.month = s.substr(sep1, sep2 - sep1 - 1);
    f.year = s.substr(sep2);
    return f;
}

// A month abbreviation (when the text holds a letter) or the month's plain integer.
int monthNumber(const DateFieldTexts& f) {
    if (f.anyLetter)
        for (std::size_t k = 0; k < kMonthShort.size(); ++k)
            if (equalsNoCase(f.month, kMonthShort[k])) return static_cast<int>(k) + 1;
    return plainDigits(f.month);
}

int fullYear(int year) {
    if (year >= 100) return year;
    return year + (year < 70 ? 2000 : 1900);
}

// Day 99 stands for the month's last day.
bool encodeFields(int year, int month, int& day, DateValue& value) {
    if (month < 1 || month > 12) return false;
    if (day == 99) day = daysInMonth(year, month);
    return day >= 1 && day <= 31 && tryEncodeDate(year, month, day, value);
}

int refuseDate(std::string& text, int& dateNumber) {
    text.clear();
    dateNumber = 0;
    return kConvertInvalid;
}

int dateFromValue(std::string_view format, std::string_view separator, std::string& text,
                  DateValue value, int& dateNumber) {
    DateTimeParts p;
    if (!(value > 0.1) || !decodeDateTime(value, p)) return refuseDate(text, dateNumber);
    dateNumber = p.year * 10000 + p.month * 100 + p.day;
    text = dateText(p.year, p.month, p.day, format, separator);
    return kConvertOk;
}

int dateFromText(std::string_view format, std::string_view separator, std::string& text,
                 DateValue& value, int& dateNumber) {
    const std::string s = upperCase(trimView(text));
    if (s.size() < 3) { // no date at all
        value = 0;
        return refuseDate(text, dateNumber);
    }
    const DateFieldTexts fields = splitDateFields(s);
    const int month = monthNumber(fields);
    const int year = fullYear(plainDigits(fields.year));
    int day = plainDigits(fields.day);
    DateValue v = 0;
    if (!encodeFields(year, month, day, v)) return refuseDate(text, dateNumber);
    dateNumber = year * 10000 + month * 100 + day;
    value = v;
    text = dateText(year, month, day, format, separator);
    return kConvertOk;
}

} // namespace

int xcDateConvert(int direction, std::string_view format, std::string_view separator,
                  std::string& text, DateValue& value, int& dateNumber) {
    if (direction == kFromValue) return dateFromValue(format, separator, text, value, dateNumber);
    if (direction == kFromText) return dateFromText(format, separator, text, value, dateNumber);
    return kConvertInvalid;
}

DateValue xcDateFromText(std::string_view text) {
    std::string t(text);
    DateValue v = 0;
    int n = 0;
    xcDateConvert(kFromText, "a", "-", t, v, n);
    return v;
}

int xcDateNumFromText(std::string_view text) {
    std::string t(text);
    DateValue v = 0;
    int n = 0;
    xcDateConvert(kFromText, "a", "-", t, v, n);
    return n;
}

std::string xcDateToText(DateValue value) {
    std::string t;
    int n = 0;
    xcDateConvert(kFromValue, "as", "-", t, value, n);
    return t;
}

// ---------------------------------------------------------------------------------------------

bool parsePlainInt(std::string_view text, int& out) {
    std::size_t i = 0;
    while (i < text.size() && isBlankByte(text[i]))
        ++i;
    bool neg = false;
    if (i < text.size() && (text[i] == '-' || text[i] == '+')) neg = text[i++] == '-';
    if (i >= text.size()) return false;
    long long n = 0;
    for (; i < text.size(); ++i) {
        if (!isDigit(text[i])) return false;
        n = n * 10 + (text[i] - '0');
        if (n > 2147483648LL) return false;
    }
    if (neg) n = -n;
    if (n > std::numeric_limits<int>::max() || n < std::numeric_limits<int>::min()) return false;
    out = static_cast<int>(n);
    return true;
}

namespace {

// The hour, minute and second texts of a time text, and whether it said pm.
struct TimeFieldTexts {
    std::string_view hour = "00", minute = "00", second = "00";
    bool pm = false;
};

// The time text is the first 8 characters, or what comes before the pm marker, or (first) before
// the am marker; its ":"s split it into hour, minute and second. No ":" means 00:00:00.
TimeFieldTexts splitTimeFields(std::string_view t) {
    std::size_t am = findNoCase(t, "am");
    if (am == std::string_view::npos) am = findNoCase(t, "a");
    std::size_t pm = findNoCase(t, "pm");
    if (pm == std::string_view::npos) pm = findNoCase(t, "p");
    std::string_view timePart = t.substr(0, 8);
    if (pm != std::string_view::npos) timePart = t.substr(0, pm);
    if (am != std::string_view::npos) timePart = t.substr(0, am);

    TimeFieldTexts f;
    f.pm = pm != std::string_view::npos;
    const std::size_t c1 = timePart.find(':');
    if (c1 == std::string_view::npos) return f;
    f.hour = timePart.substr(0, c1);
    f.minute = timePart.substr(c1 + 1);
    const std::size_t c2 = f.minute.find(':');
    if (c2 != std::string_view::npos) {
        f.second = f.minute.substr(c2 + 1);
        f.minute = f.minute.substr(0, c2);
    }
    return f;
}

// Each part must be an integer; a pm marker moves an hour below 12 into the afternoon.
int readTimeFields(const TimeFieldTexts& f, int& h, int& n, int& s, std::string* errorText) {
    for (auto [part, dest] :
         {std::pair{f.hour, &h}, std::pair{f.minute, &n}, std::pair{f.second, &s}}) {
        if (!parsePlainInt(part, *dest)) {
            if (errorText) *errorText = notAnIntegerText(part);
            return kConvertError;
        }
    }
    if (f.pm && h < 12) h += 12;
    return kConvertOk;
}

} // namespace

int xcTimeConvert(int direction, std::string& text, int& timeNumber, DateValue& timeValue,
                  std::string* errorText) {
    int h = 0, n = 0, s = 0;
    if (direction == kFromValue) {
        int ms = 0;
        if (!inRange(timeValue)) return kConvertInvalid;
        decodeTime(timeValue, h, n, s, ms);
    } else if (direction == kFromText) {
        if (const int e = readTimeFields(splitTimeFields(text), h, n, s, errorText);
            e != kConvertOk)
            return e;
    } else {
        return kConvertInvalid;
    }
    if (h < 0 || h > 23 || n < 0 || n > 59 || s < 0 || s > 59) return kConvertInvalid;
    text = timeText(h, n, s);
    timeNumber = h * 10000 + n * 100 + s;
    if (direction == kFromText) timeValue = encodeTime(h, n, s, 0);
    return kConvertOk;
}

std::string xcTodayText(const Clock& clock) {
    return formatDate(clock.now(), kFormatDate);
}

std::string xcNowTimeText(const Clock& clock) {
    return formatDate(clock.now(), kFormatTime);
}

// ---------------------------------------------------------------------------------------------

std::int64_t xcParseNumber(std::string_view text, int& error, std::string& errorText) {
    const std::string_view t = trimView(text);
    error = kConvertOk;
    errorText.clear();
    if (t.empty()) return 0;
    bool negative = false, anyDigit = false, overflow = false;
    std::uint64_t magnitude = 0;
    for (char c : t) {
        if (isDigit(c)) {
            anyDigit = true;
            const auto digit = static_cast<std::uint64_t>(c - '0');
            if (magnitude > (std::numeric_limits<std::uint64_t>::max() - digit) / 10)
                overflow = true;
            else
                magnitude = magnitude * 10 + digit;
        } else if (c == '-' && !negative) {
            negative = true;
        } else if (c == ',' || (c == '$' && !anyDigit)) {
            // ignored
        } else {
            error = kConvertInvalid;
            errorText = "invalid character:";
            errorText += c;
            return 0;
        }
    }
    const std::uint64_t limit =
        static_cast<std::uint64_t>(std::numeric_limits<std::int64_t>::max()) + (negative ? 1 : 0);
    if (!anyDigit || overflow || magnitude > limit) {
        error = kConvertError;
        errorText = notAnIntegerText(t);
        return 0;
    }
    if (negative) return static_cast<std::int64_t>(0 - magnitude);
    return static_cast<std::int64_t>(magnitude);
}

// ---------------------------------------------------------------------------------------------

DateValue fileTimeToDateValue(std::int64_t unixSeconds) {
    const auto t = static_cast<std::time_t>(unixSeconds);
    std::tm tm{};
    const std::int64_t offset = localtime_r(&t, &tm) ? static_cast<std::int64_t>(tm.tm_gmtoff) : 0;
    const std::int64_t local = unixSeconds + offset;
    // Round down to an even second (floor, also before 1970).
    const std::int64_t even = local - (((local % 2) + 2) % 2);
    const std::int64_t sinceEpoch1899 =
        even + static_cast<std::int64_t>(kUnixEpochDateValue) * 86400;
    return static_cast<double>(sinceEpoch1899) / 86400.0;
}

bool fileDateValue(const std::string& path, DateValue& out) {
    struct stat st {};
    if (path.empty() || ::stat(path.c_str(), &st) != 0) return false;
    out = fileTimeToDateValue(static_cast<std::int64_t>(st.st_mtim.tv_sec));
    return true;
}

namespace {
bool regularFile(const std::string& path, struct stat& st) {
    return !path.empty() && ::stat(path.c_str(), &st) == 0 && S_ISREG(st.st_mode);
}
} // namespace

std::int64_t xcFileSize(const std::string& path) {
    struct stat st {};
    return regularFile(path, st) ? static_cast<std::int64_t>(st.st_size) : 0;
}

std::string xcFileDateText(const std::string& path) {
    DateValue v = 0;
    return fileDateValue(path, v) ? formatDate(v, kFormatIsoDateTime) : std::string();
}

std::string xcFileInfoText(const std::string& path) {
    struct stat st {};
    if (!regularFile(path, st)) return {};
    std::string out = formatDate(fileTimeToDateValue(static_cast<std::int64_t>(st.st_mtim.tv_sec)),
                                 kFormatDateHourMinute);
    if (out.empty()) out = "(unknown)";
    out += " size=";
    appendNumber(out, static_cast<std::int64_t>(st.st_size));
    return out;
}

} // namespace vesk
