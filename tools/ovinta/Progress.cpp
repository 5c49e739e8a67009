// SPDX-License-Identifier: GPL-3.0-or-later
// Terminal progress line on standard error.

#include "tools/ovinta/Progress.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <unistd.h>

namespace ovinta {

Progress::Progress(std::string labelIn, bool wanted)
    : label(std::move(labelIn)), enabled(wanted && isatty(2) != 0), start(std::chrono::steady_clock::now()),
      lastDrawn(start)
{
}

Progress::~Progress()
{
    finish();
}

std::string Progress::clockText(double seconds)
{
    const long whole = std::lround(std::max(0.0, seconds));
    char text[32];
    if (whole >= 3600)
        std::snprintf(text, sizeof text, "%ld:%02ld:%02ld", whole / 3600, whole / 60 % 60, whole % 60);
    else
        std::snprintf(text, sizeof text, "%ld:%02ld", whole / 60, whole % 60);
    return text;
}

std::string Progress::statusText(double fraction, double elapsed, double audioSeconds)
{
    fraction = std::clamp(fraction, 0.0, 1.0);
    const int percent = static_cast<int>(fraction * 100.0);
    constexpr int kWidth = 30;
    const int filled = percent * kWidth / 100;
    std::string text = "[" + std::string(static_cast<std::size_t>(filled), '#')
                       + std::string(static_cast<std::size_t>(kWidth - filled), ' ') + "] ";
    char part[96];
    std::snprintf(part, sizeof part, "%3d%%  %s elapsed", percent, clockText(elapsed).c_str());
    text += part;
    if (audioSeconds >= 0.0 && elapsed > 0.0) {
        std::snprintf(part, sizeof part, ", %.1fx real time", audioSeconds / elapsed);
        text += part;
    }
    // The rest at the pace so far.
    if (fraction > 0.0 && fraction < 1.0)
        text += ", " + clockText(elapsed * (1.0 - fraction) / fraction) + " left";
    return text;
}

void Progress::update(double fraction, double audioSeconds)
{
    if (!enabled)
        return;
    const int percent = static_cast<int>(std::clamp(fraction, 0.0, 1.0) * 100.0);
    const auto now = std::chrono::steady_clock::now();
    if (percent == shown && now - lastDrawn < std::chrono::seconds(1))
        return;
    shown = percent;
    lastDrawn = now;
    const double elapsed = std::chrono::duration<double>(now - start).count();
    // Clear to the end of the line: the text may have become shorter.
    std::fprintf(stderr, "\r%s %s\033[K", label.c_str(), statusText(fraction, elapsed, audioSeconds).c_str());
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
