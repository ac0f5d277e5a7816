#pragma once
// Time behind a seam: runs, logs and file names ask a Clock, so tests move time instead of sleeping.

#include <cstdint>

namespace vesk {

// A date value: days since 30 December 1899 (local time), the fraction being the time of day.
using DateValue = double;

constexpr double kOneSecond = 1.0 / 86400.0;

class Clock {
public:
    virtual ~Clock() = default;
    // The current local date and time as a date value, with at least millisecond resolution.
    virtual DateValue now() const = 0;
};

// The wall clock in local time.
class SystemClock final : public Clock {
public:
    DateValue now() const override;

private:
    mutable std::int64_t cachedQuarter_ = -1;
    mutable long cachedOffset_ = 0;
};

// Converts a Unix time (seconds and nanoseconds) to a local date value.
DateValue localDateValue(std::int64_t unixSeconds, std::int64_t nanoseconds = 0);

} // namespace vesk
