#pragma once
// The run's stopwatch text: 1h2m7s, 2m7s or 5.042s.

#include <string>

#include "lib/clock.h"

namespace vesk {

// Mode 1 stores the clock's time in `start`; mode 2 writes the time elapsed since `start` into
// `text` (exactly one minute leaves `text` unchanged).
void xcElapsedText(int mode, DateValue& start, std::string& text, const Clock& clock);

// The text for an elapsed day fraction; false when it is exactly one minute.
bool elapsedText(double elapsedDays, std::string& text);

} // namespace vesk
