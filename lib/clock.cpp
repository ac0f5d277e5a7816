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
    // Offsets lie within +-2^17 seconds; the quarter takes the bits above.
    constexpr std::int64_t kOffsetBits = 18, kOffsetBias = std::int64_t{1} << 17;
    const std::int64_t quarter = ts.tv_sec / 900;
    std::int64_t packed = cachedQuarterAndOffset_.load(std::memory_order_relaxed);
    if (packed < 0 || packed >> kOffsetBits != quarter) {
        std::time_t t = ts.tv_sec;
        std::tm tm{};
        localtime_r(&t, &tm);
        packed = (quarter << kOffsetBits) | (tm.tm_gmtoff + kOffsetBias);
        cachedQuarterAndOffset_.store(packed, std::memory_order_relaxed);
    }
    const auto offset = (packed & ((std::int64_t{1} << kOffsetBits) - 1)) - kOffsetBias;
    const double local = static_cast<double>(ts.tv_sec) + static_cast<double>(offset);
    return 25569.0 + (local + static_cast<double>(ts.tv_nsec) / 1e9) / 86400.0;
}

} // namespace vesk
