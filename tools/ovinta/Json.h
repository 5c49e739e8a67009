// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Just enough JSON for the tool's --json output: escaped strings, numbers
// (null when absent or not finite) and the commas between members.

#include <cmath>
#include <cstdio>
#include <optional>
#include <string>

namespace ovinta {

namespace json {

// A JSON string literal of `text`, quotes included; control characters,
// quotes and backslashes escaped, other bytes passed through (UTF-8).
inline std::string quote(const std::string& text)
{
    std::string out = "\"";
    for (const char ch : text) {
        const auto c = static_cast<unsigned char>(ch);
        if (c == '"' || c == '\\') {
            out += '\\';
            out += ch;
        } else if (c == '\n') {
            out += "\\n";
        } else if (c == '\t') {
            out += "\\t";
        } else if (c == '\r') {
            out += "\\r";
        } else if (c < 0x20) {
            char escaped[8];
            std::snprintf(escaped, sizeof escaped, "\\u%04x", c);
            out += escaped;
        } else {
            out += ch;
        }
    }
    return out + "\"";
}

inline std::string number(double value)
{
    if (!std::isfinite(value))
        return "null";
    char text[32];
    std::snprintf(text, sizeof text, "%.6g", value);
    // -0 is 0 to a reader, and looks like a fault.
    return std::string(text) == "-0" ? "0" : text;
}

inline std::string number(const std::optional<double>& value)
{
    return value ? number(*value) : "null";
}

// "name": prefixed by a comma unless it is the first member.
inline std::string key(const char* name, bool& first)
{
    std::string out = first ? "" : ",";
    first = false;
    return out + quote(name) + ":";
}

} // namespace json

} // namespace ovinta
