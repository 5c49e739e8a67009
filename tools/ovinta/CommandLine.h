// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Command-line words of the tool: options with values, strict number
// parsing, and lookup of parameters and programs by number or by name.

#include <string>
#include <vector>

namespace ovinta {

struct OvintaProgram;

// The arguments after the command name, consumed option by option.
class Arguments {
public:
    // -q, -p and -s stand for --quiet, --program and --set.
    explicit Arguments(std::vector<std::string> list);

    // Removes "--name VALUE" (or "--name=VALUE") and returns VALUE; the
    // fallback when absent. Given twice, the last one counts.
    std::string take(const std::string& name, const std::string& fallback);
    bool has(const std::string& name) const;
    // Removes a flag without a value ("--quiet"); true when it was given.
    bool takeFlag(const std::string& name);
    // Every VALUE of a repeatable option, in order.
    std::vector<std::string> takeAll(const std::string& name);
    // What is left must be positional; an unknown option is an error.
    std::vector<std::string> positional(std::size_t least, std::size_t most,
                                        const std::string& usage) const;

private:
    std::vector<std::string> words;
};

// Whole numbers and decimal values; the whole text must be the number.
int parseInteger(const std::string& text, const std::string& what);
float parseValue(const std::string& text, const std::string& what);

// "--channels A[,B]": the input channels (from 1) for the reverb's two
// inputs; a single A feeds both.
std::vector<int> parseChannelPick(const std::string& text);

// Host parameter 0..46 named by its number or (case-insensitively) by its
// host name.
int parameterIndex(const std::string& text);
// Program 0..44 named by its number or name (case-insensitive): the whole
// name, a unique beginning or a unique part of it; an ambiguous name is
// refused with the candidates.
int programIndex(const std::string& text, const OvintaProgram* programs);

// One assignment of "--set PARAM=VALUE".
struct ParameterSetting {
    int index;
    float value;
};
ParameterSetting parseSetting(const std::string& text);

std::string lowerCase(std::string text);

} // namespace ovinta
