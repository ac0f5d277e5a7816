#include "lib/elapsed.h"

#include <cmath>
#include <cstdio>

namespace vesk {

bool elapsedText(double elapsedDays, std::string& text) {
    const auto totalMs = static_cast<long long>(std::llround(std::fabs(elapsedDays) * 86400000.0));
    const long long ms = totalMs % 1000;
    const long long sec = totalMs / 1000 % 60;
    const long long min = totalMs / 60000 % 60;
    const long long hour = totalMs / 3600000 % 24;
    char buf[64];
    // Compared in whole milliseconds, so "exactly one minute" means what it says.
    if (totalMs > 3600000)
        std::snprintf(buf, sizeof buf, "%lldh%lldm%llds", hour, min, sec);
    else if (totalMs > 60000)
        std::snprintf(buf, sizeof buf, "%lldm%llds", min, sec);
    else if (totalMs < 60000)
        std::snprintf(buf, sizeof buf, "%lld.%3.3llds", sec, ms);
    else
        return false;
    text = buf;
    return true;
}

void xcElapsedText(int mode, DateValue& start, std::string& text, const Clock& clock) {
    if (mode == 1) {
        start = clock.now();
        return;
    }
    if (mode == 2) elapsedText(clock.now() - start, text);
}

} // namespace vesk
