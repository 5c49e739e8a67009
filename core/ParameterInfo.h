// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The plug-in's parameters as any format or tool sees them: a stable id (the
// host index 0..46), names, the unit and printed range, the kind of value,
// the raw range and default, and text <-> value in both directions. The raw
// value is what a host stores and automates; the printed value is what the
// value displays and `ovinta info` show. Plain functions over one static
// table; any thread.

#include <cstddef>
#include <string>
#include <string_view>

namespace ovinta {

enum class ParameterKind {
    Continuous, // any raw value in the range
    Integer,    // whole printed values only (ray count, pins, program)
    Switch,     // off (0) or on (1)
    Choice,     // one of a few texts (the outputs setting)
};

struct ParameterInfo {
    int id;                   // stable id: the host index
    const char* name;         // the host name, or a clear name where the host sees " "
    const char* unit;         // printed unit; "" when the value has none
    const char* range;        // the printed range, as `ovinta info` shows it
    ParameterKind kind;
    float lowest, highest;    // raw range a stored value is held to
    double printedLowest;     // printed range in `unit` (or the display's scale);
    double printedHighest;    // -HUGE_VAL for a level that reaches -inf
    double (*fromPrinted)(double); // printed value -> raw value; null where raw is printed
    double (*toPrinted)(double);   // raw -> printed whole number (Integer kinds), else null
    const char* const* choices; // texts of a Choice, in raw order (raw 0, 1, ...)
    int choiceCount;
};

constexpr int kParameterCount = 47; // ids 0..46; 46 selects the program

// The description of parameter `id`, or null outside 0..46.
const ParameterInfo* parameterInfo(int id);

// The raw default of parameter `id`: a new, empty program's value (0 for
// the program number).
float parameterDefault(int id);

// Value -> text: the text a host shows for raw value `raw` ("-6.0 dB",
// "25m", "ON"); empty for an unknown id.
std::string parameterText(int id, float raw);

// Text -> value. Accepted, with spaces around the words ignored:
// - "raw:0.3": the raw value itself, inside the raw range;
// - a number with or without the unit ("-6dB", "-6 dB", "-6"): a number
//   without a unit is read in the parameter's printed unit or scale (Pan
//   0..46, a shelf's Q, output counts); "kHz" is taken for Hz;
// - "-inf" (with or without "dB") for a level whose range starts there;
// - "on" / "off" (or 1 / 0) for a switch; a Choice's text ("4", "4 outputs").
// Anything outside the printed range is refused.
struct ParsedParameter {
    bool ok = false;
    float raw = 0.0f;
    std::string error; // one line naming the parameter and its range when !ok
};
ParsedParameter parameterFromText(int id, std::string_view text);

} // namespace ovinta
