// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// A progress line on standard error for long work: a bar, the percentage,
// the time elapsed, the speed (seconds of audio per second, "x real time")
// when the work is audio, and the time left. Drawn only when standard error
// is a terminal, so logs and pipes stay clean.

#include <chrono>
#include <string>

namespace ovinta {

class Progress {
public:
    // wanted false (--quiet) draws nothing even on a terminal.
    explicit Progress(std::string label, bool wanted = true);
    ~Progress();
    Progress(const Progress&) = delete;
    Progress& operator=(const Progress&) = delete;

    // fraction 0..1; audioSeconds: audio done so far, or negative for work
    // that is not audio. Redrawn when the percentage moves or a second passed.
    void update(double fraction, double audioSeconds = -1.0);
    void finish();

    // "0:07", "1:02:03".
    static std::string clockText(double seconds);
    // The line's text after the label, for a known state.
    static std::string statusText(double fraction, double elapsedSeconds, double audioSeconds);

private:
    std::string label;
    bool enabled;
    int shown = -1;
    std::chrono::steady_clock::time_point start, lastDrawn;
};

} // namespace ovinta
