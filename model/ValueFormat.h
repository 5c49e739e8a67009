// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

namespace ovinta {

// Texts of the editor's value displays: eight formatting functions, and the
// text of a parameter's display from the parameter table's shown value and
// format. Plain
// functions with no toolkit dependency, shared by the editor's displays, the
// host's parameter display and the command-line tool.

namespace valueformat {

constexpr int kTextCapacity = 32; // every text fits, NUL included

// Each writes a NUL-terminated text of at most kTextCapacity bytes.
void wholeNumber(float x, char* text);       // "%d" of trunc(x)
void percentRounded(float x, char* text);    // "%d%%" of trunc(100x + 0.5)
void percentTruncated(float x, char* text);  // "%d%%" of trunc(100x)
void percentTwoDecimals(float x, char* text); // "%.2f%%" of 100x
void decibels(float x, char* text);          // "-inf." at or below 0, "0 dB" at exactly 1
void milliseconds(float x, char* text);      // "%dms" of trunc(x)
void metres(float x, char* text);            // "%.2fm"
void stereoWidth(float x, char* text);       // of w = 2x: "OFF" at 1, "MONO" up to 0.009

// The engine value that the display of host parameter `index` shows for the
// raw value `raw`, formatted as that display does. Returns false, writing an
// empty text, for parameters without a value display.
bool parameterDisplay(int index, float raw, char* text);

} // namespace valueformat

} // namespace ovinta
