// Terminal progress bar on standard error.

#include "tools/ovinta/Progress.h"

#include <algorithm>
#include <cstdio>
#include <unistd.h>

namespace ovinta {

Progress::Progress(std::string labelIn, bool wanted)
    : label(std::move(labelIn)), enabled(wanted && isatty(2) != 0)
{
}

Progress::~Progress() { finish(); }

void Progress::update(double fraction)
{
    if (!enabled)
        return;
    const int percent = static_cast<int>(std::clamp(fraction, 0.0, 1.0) * 100.0);
    if (percent == shown)
        return;
    shown = percent;
    constexpr int kWidth = 30;
    const int filled = percent * kWidth / 100;
    std::fprintf(stderr, "\r%s [%.*s%*s] %3d%%", label.c_str(), filled,
                 "##############################", kWidth - filled, "", percent);
    std::fflush(stderr);
}

void Progress::finish()
{
    if (enabled && shown >= 0)
        std::fprintf(stderr, "\n");
    shown = -1;
    enabled = false;
}

} // namespace ovinta
