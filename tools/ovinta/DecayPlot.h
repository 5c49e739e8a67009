// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The decay plot of `ovinta analyse --plot`: one channel's Schroeder decay
// curves, full band and octave bands, with the full band's fitted T20 and
// T30 lines, drawn with cairo into a PNG.

#include "tools/ovinta/StreamingAnalysis.h"

#include <string>

namespace ovinta {

// Writes the plot to `path` (a temporary file renamed on success); throws
// ToolError on failure.
// An octave band's centre as "125 Hz" / "1 kHz" (units) or "125" / "1k".
std::string octaveBandName(int band, bool units);

void writeDecayPlot(const ChannelAnalysis& channel, const std::string& title,
                    const std::string& path);

} // namespace ovinta
