#pragma once
// What the tool tells about a host parameter beyond the plug-in's own
// table: a name for the pins and settings that the host sees as " ", the
// unit of its value display, the range it shows, and the way back from a
// value in that unit to the raw value. The host-visible names stay as they
// are; these names live in the tool only.

#include <string>

namespace ovinta {

struct ToolParameter {
    const char* name;         // the host name, or the tool's name where that is " "
    const char* unit;         // unit a value may be given in; "" for raw values only
    const char* range;        // the range people see, in the unit (or the raw range)
    double (*fromUnit)(double); // value in `unit` -> raw value; null without a unit
};

// Parameters 0..45 (the stored ones); null outside.
const ToolParameter* toolParameter(int index);

// The raw value of parameter `index` from "0.25" (raw) or "-6dB", "-6 dB",
// "250ms", "1.2kHz" (in the parameter's unit). Throws ToolError for a unit
// the parameter does not have, or a value outside what the unit can reach.
float rawValueFromText(int index, const std::string& text);

} // namespace ovinta
