// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The tool's one kind of failure: a message for the user, printed by main as
// "ovinta: <message>" before a non-zero exit.

#include <stdexcept>
#include <string>

namespace ovinta {

class ToolError : public std::runtime_error {
public:
    explicit ToolError(const std::string& message) : std::runtime_error(message) {}
};

} // namespace ovinta
