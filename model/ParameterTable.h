// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// One row per tag (0..68): everything the host, the engine setter, the
// program application and the editor need to know about a parameter. The
// formulas the rows point to are in ParameterFormulas.h.

#include "model/OvintaProgram.h"
#include "model/Parameters.h"

#include <cstddef>

namespace ovinta {

namespace param {

// What a change announces to the tracer: nothing, a retrace, or a retrace
// after the ray slots are set up again.
enum class Retrace : unsigned char { No, Yes, WithRaySetup };

// What the editor does when the value changes: nothing, move the knob and
// refresh its value display, set the control to the stored value silently,
// or something of its own (screens, views, tools, program buttons).
enum class Follow : unsigned char { None, KnobWithDisplay, StoredValue, Special };

using Derive = float (*)(float);                       // raw value -> a value it means
using Format = void (*)(float, char*);                 // value display text (valueformat)
using Describe = void (*)(float, char*, std::size_t);  // host text without a value display

// Columns: name, label, field, reported, retrace, applyRank, follow, derive,
// shown, format, describe, lowest, highest.
struct Row {
    const char* name;            // host name; " " for the pins, settings and editor tags
    const char* label;           // host label
    float OvintaProgram::*field; // the record field that stores it; null from 46 on
    bool reported;               // an editor change is reported to the host as automation
    Retrace retrace;
    int applyRank;               // place when a program's fields are applied; -1 none
    Follow follow;
    Derive derive;               // the engine's value for a limited raw value (whole numbers
                                 // for switches, pins and counts); null for editor tags
    Derive shown;                // the value display's value; null without a display
    Format format;               // the value display's text; null without a display
    Describe describe;           // the host's text when there is no value display
    float lowest = 0.0f;         // the valid range of a stored value: every value from a
    float highest = 1.0f;        // host or a chunk is held to it where it enters
};

// The row of `index`, or null outside 0..68.
const Row* row(int index);

// `value` held to the valid range of stored parameter `index` (0..45);
// other indexes and NaN pass unchanged (callers refuse NaN themselves).
float limitToRange(int index, float value);

// The index applied at place `rank` (0..45) when a program is applied.
int programApplyIndex(int rank);

} // namespace param

} // namespace ovinta
