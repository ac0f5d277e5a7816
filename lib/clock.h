#pragma once
// Time behind a seam: runs, logs and file names ask a Clock, so tests move time instead of
// sleeping.

#include <atomic>
#include <cstdint>

namespace vesk {

// A date value: days since 30 December 1899 (local time), the fraction being the time of day.
using DateValue = double;

constexpr double kOneSecond = 1.0 / 86400.0;

class Clock {
public:
    virtual ~Clock() = default;
    // The current local date and time as a date value, with at least millisecond resolution.
    // Read-ahead workers read the run's clock too: an implementation must allow that.
    virtual DateValue now() const = 0;
};

// The wall clock in local time; safe to read from several threads at once.
class SystemClock final : public Clock {
public:
    DateValue now() const override;

private:
    // The quarter hour and the local offset of the last conversion, packed into one word so a
    // reader on another thread never sees one without the other.
    mutable std::atomic<std::int64_t> cachedQuarterAndOffset_{-1};
};

// Converts a Unix time (seconds and nanoseconds) to a local date value.
DateValue localDateValue(std::int64_t unixSeconds, std::int64_t nanoseconds = 0);

} // namespace vesk
