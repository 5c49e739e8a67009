// SPDX-License-Identifier: GPL-3.0-or-later
// Option handling and name lookup for the command-line tool.

#include "tools/ovinta/CommandLine.h"

#include "model/OvintaProgram.h"
#include "model/Parameters.h"
#include "core/ParameterInfo.h"
#include "tools/ovinta/ToolError.h"

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <cmath>
#include <cstdlib>
#include <cstring>

namespace ovinta {

std::string lowerCase(std::string text)
{
    for (char& c : text)
        c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return text;
}

Arguments::Arguments(std::vector<std::string> list) : words(std::move(list))
{
    // The short forms of the common options.
    static const std::pair<const char*, const char*> kShort[] = {
        {"-q", "--quiet"}, {"-p", "--program"}, {"-s", "--set"}};
    for (std::string& w : words)
        for (const auto& [shortForm, longForm] : kShort)
            if (w == shortForm)
                w = longForm;
}

std::string Arguments::take(const std::string& name, const std::string& fallback)
{
    std::string value = fallback;
    for (std::size_t i = 0; i < words.size();) {
        if (words[i] == name) {
            if (i + 1 >= words.size())
                throw ToolError("option " + name + " needs a value");
            value = words[i + 1];
            words.erase(words.begin() + static_cast<std::ptrdiff_t>(i),
                        words.begin() + static_cast<std::ptrdiff_t>(i + 2));
        } else if (words[i].rfind(name + "=", 0) == 0) {
            value = words[i].substr(name.size() + 1);
            words.erase(words.begin() + static_cast<std::ptrdiff_t>(i));
        } else {
            ++i;
        }
    }
    return value;
}

bool Arguments::has(const std::string& name) const
{
    return std::any_of(words.begin(), words.end(), [&](const std::string& w) {
        return w == name || w.rfind(name + "=", 0) == 0;
    });
}

bool Arguments::takeFlag(const std::string& name)
{
    const auto end = std::remove(words.begin(), words.end(), name);
    const bool given = end != words.end();
    words.erase(end, words.end());
    return given;
}

std::vector<std::string> Arguments::takeAll(const std::string& name)
{
    std::vector<std::string> values;
    while (has(name)) {
        // take() returns the last; collect the first occurrence each time
        // so that the order of the command line is kept.
        auto first = std::find_if(words.begin(), words.end(), [&](const std::string& w) {
            return w == name || w.rfind(name + "=", 0) == 0;
        });
        if (*first == name) {
            if (first + 1 == words.end())
                throw ToolError("option " + name + " needs a value");
            values.push_back(*(first + 1));
            words.erase(first, first + 2);
        } else {
            values.push_back(first->substr(name.size() + 1));
            words.erase(first);
        }
    }
    return values;
}

std::vector<std::string> Arguments::positional(std::size_t least, std::size_t most,
                                               const std::string& usage) const
{
    for (const std::string& w : words)
        if (w.size() > 1 && w[0] == '-' && w != "-")
            throw ToolError("unknown option " + w + " (usage: " + usage + ")");
    if (words.size() < least || words.size() > most)
        throw ToolError("usage: " + usage);
    return words;
}

int parseInteger(const std::string& text, const std::string& what)
{
    errno = 0;
    char* end = nullptr;
    const long v = std::strtol(text.c_str(), &end, 10);
    if (text.empty() || *end != '\0' || errno != 0 || v < -1000000000L || v > 1000000000L)
        throw ToolError(what + " must be a whole number, not \"" + text + "\"");
    return static_cast<int>(v);
}

float parseValue(const std::string& text, const std::string& what)
{
    errno = 0;
    char* end = nullptr;
    const float v = std::strtof(text.c_str(), &end);
    if (text.empty() || *end != '\0' || errno != 0 || !std::isfinite(v))
        throw ToolError(what + " must be a number, not \"" + text + "\"");
    return v;
}

std::vector<int> parseChannelPick(const std::string& text)
{
    const std::size_t comma = text.find(',');
    if (comma != std::string::npos && text.find(',', comma + 1) != std::string::npos)
        throw ToolError("--channels takes one or two input channels, not \"" + text +
                        "\" (the reverb has two inputs)");
    std::vector<int> pick;
    pick.push_back(parseInteger(text.substr(0, comma), "--channels"));
    pick.push_back(comma == std::string::npos ? pick[0]
                                              : parseInteger(text.substr(comma + 1), "--channels"));
    for (int c : pick)
        if (c < 1)
            throw ToolError("--channels counts input channels from 1");
    return pick;
}

int parameterIndex(const std::string& text)
{
    if (!text.empty() && std::isdigit(static_cast<unsigned char>(text[0]))) {
        const int index = parseInteger(text, "parameter number");
        if (index < 0 || index >= kHostParameterCount)
            throw ToolError("parameter number " + text + " is not 0.." +
                            std::to_string(kHostParameterCount - 1));
        return index;
    }
    const std::string wanted = lowerCase(text);
    for (int index = 0; index < kHostParameterCount; ++index) {
        const ParameterInfo* info = parameterInfo(index);
        if ((lowerCase(parameterName(index)) == wanted && wanted != " ") ||
            (info != nullptr && lowerCase(info->name) == wanted))
            return index;
    }
    throw ToolError("no parameter is named \"" + text + "\" (see ovinta info --program 0)");
}

int programIndex(const std::string& text, const OvintaProgram* programs)
{
    // Anything that reads as a whole number, signed or not, is a number.
    const bool signedNumber = text.size() > 1 && (text[0] == '-' || text[0] == '+') &&
                              std::isdigit(static_cast<unsigned char>(text[1]));
    if (signedNumber || (!text.empty() && std::isdigit(static_cast<unsigned char>(text[0])))) {
        const int index = parseInteger(text, "program number");
        if (index < 0 || index >= kProgramCount)
            throw ToolError("program number " + text + " is out of range 0.." +
                            std::to_string(kProgramCount - 1));
        return index;
    }
    // An exact name first, then a unique beginning, then a unique part.
    const std::string wanted = lowerCase(text);
    std::vector<int> beginnings, parts;
    for (int p = 0; p < kProgramCount; ++p) {
        const char* stored = programs[p].name;
        const std::string name = lowerCase(std::string(stored, strnlen(stored, kProgramNameSize)));
        if (name == wanted)
            return p;
        if (!wanted.empty() && name.rfind(wanted, 0) == 0)
            beginnings.push_back(p);
        if (!wanted.empty() && name.find(wanted) != std::string::npos)
            parts.push_back(p);
    }
    if (beginnings.size() == 1)
        return beginnings[0];
    if (beginnings.empty() && parts.size() == 1)
        return parts[0];
    const std::vector<int>& candidates = beginnings.empty() ? parts : beginnings;
    if (candidates.empty())
        throw ToolError("no program is named \"" + text + "\" (see ovinta info)");
    std::string list;
    for (int p : candidates)
        list += (list.empty() ? "" : ", ") + std::to_string(p) + " " +
                std::string(programs[p].name, strnlen(programs[p].name, kProgramNameSize));
    throw ToolError("\"" + text + "\" matches " + std::to_string(candidates.size()) +
                    " programs: " + list + "; give more of the name or its number");
}

ParameterSetting parseSetting(const std::string& text)
{
    const std::size_t equals = text.rfind('=');
    if (equals == std::string::npos || equals == 0)
        throw ToolError("--set needs PARAM=VALUE, not \"" + text + "\"");
    const int index = parameterIndex(text.substr(0, equals));
    if (index == param::kProgramSelect)
        throw ToolError("choose the program with --program, not --set");
    const ParsedParameter parsed = parameterFromText(index, text.substr(equals + 1));
    if (!parsed.ok)
        throw ToolError(parsed.error);
    return {index, parsed.raw};
}

} // namespace ovinta
