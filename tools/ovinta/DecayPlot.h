#pragma once
// The decay plot of `ovinta analyse --plot`: one channel's Schroeder decay
// curves, full band and octave bands, with the full band's fitted T20 and
// T30 lines, drawn with cairo into a PNG.

#include "tools/ovinta/StreamingAnalysis.h"

#include <string>

// Writes the plot to `path` (a temporary file renamed on success); throws
// ToolError on failure.
void writeDecayPlot(const ChannelAnalysis& channel, const std::string& title,
                    const std::string& path);
