#include "lib/clock.h"

#include <ctime>

namespace vesk {

DateValue localDateValue(std::int64_t unixSeconds, std::int64_t nanoseconds) {
    std::time_t t = static_cast<std::time_t>(unixSeconds);
    std::tm tm{};
    localtime_r(&t, &tm);
    // Seconds east of UTC at that moment, so summer time is honoured per instant.
    const double local = static_cast<double>(unixSeconds) + static_cast<double>(tm.tm_gmtoff);
    // 25569 days lie between 30 December 1899 and 1 January 1970.
    return 25569.0 + (local + static_cast<double>(nanoseconds) / 1e9) / 86400.0;
}

DateValue SystemClock::now() const {
    timespec ts{};
    clock_gettime(CLOCK_REALTIME, &ts);
    // Runs read the clock several times per file: keep the local offset for the current quarter
    // hour (offsets only change on quarter-hour boundaries) instead of converting every time.
    const std::int64_t quarter = ts.tv_sec / 900;
    if (quarter != cachedQuarter_) {
        std::time_t t = ts.tv_sec;
        std::tm tm{};
        localtime_r(&t, &tm);
        cachedOffset_ = tm.tm_gmtoff;
        cachedQuarter_ = quarter;
    }
    const double local = static_cast<double>(ts.tv_sec) + static_cast<double>(cachedOffset_);
    return 25569.0 + (local + static_cast<double>(ts.tv_nsec) / 1e9) / 86400.0;
}

} // namespace vesk
