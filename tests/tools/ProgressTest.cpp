// SPDX-License-Identifier: GPL-3.0-or-later
// The progress line's text: elapsed time, speed and time left at the pace
// so far.

#include "tools/ovinta/Progress.h"

#include <gtest/gtest.h>

namespace ovinta {

TEST(Progress, StatusGivesElapsedSpeedAndTimeLeft)
{
    const struct {
        double fraction, elapsed, audio;
        const char* expected; // after the bar
    } rows[] = {
        // A quarter in 10 s, 120 s of audio: 12x, three times as long to go.
        {0.25, 10.0, 120.0, " 25%  0:10 elapsed, 12.0x real time, 0:30 left"},
        {0.5, 3723.0, -1.0, " 50%  1:02:03 elapsed, 1:02:03 left"},
        {1.0, 61.0, 61.0, "100%  1:01 elapsed, 1.0x real time"},
        {0.0, 0.0, 0.0, "  0%  0:00 elapsed"},
    };
    for (const auto& r : rows) {
        const std::string text = Progress::statusText(r.fraction, r.elapsed, r.audio);
        EXPECT_EQ(text.substr(text.find(']') + 2), r.expected) << text;
    }
}

} // namespace ovinta
