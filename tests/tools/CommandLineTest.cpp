// SPDX-License-Identifier: GPL-3.0-or-later
// The tool's command-line words: options taken out of the list, strict
// numbers, and programs and input channels named the ways a user types them.

#include "tools/ovinta/CommandLine.h"
#include "tools/ovinta/ToolError.h"

#include "model/FactoryPrograms.h"
#include "model/OvintaProgram.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

namespace ovinta {

namespace {

// The error text of `call`, or "" when it succeeds.
template <typename Call>
std::string errorOf(Call call)
{
    try {
        call();
    } catch (const ToolError& e) {
        return e.what();
    }
    return "";
}

const OvintaProgram* factoryPrograms()
{
    static const auto bank = [] {
        auto b = std::make_unique<ProgramBank>();
        loadFactoryPrograms(b->programs);
        return b;
    }();
    return bank->programs;
}

} // namespace

TEST(CommandLine, OptionsAreTakenWithTheirValuesAndTheRestIsPositional)
{
    Arguments args({"in.wav", "--rate", "48000", "--block=64", "--set", "a=1", "out.wav", "--set=b=2",
                    "--quiet", "--rate", "44100"});
    EXPECT_EQ(args.take("--rate", ""), "44100"); // the last one counts
    EXPECT_EQ(args.take("--block", "512"), "64");
    EXPECT_EQ(args.take("--outputs", "none"), "none");
    EXPECT_EQ(args.takeAll("--set"), (std::vector<std::string>{"a=1", "b=2"}));
    EXPECT_TRUE(args.takeFlag("--quiet"));
    EXPECT_FALSE(args.takeFlag("--quiet"));
    EXPECT_EQ(args.positional(2, 2, "u"), (std::vector<std::string>{"in.wav", "out.wav"}));
    EXPECT_NE(errorOf([] { Arguments({"--rate"}).take("--rate", ""); }).find("needs a value"),
              std::string::npos);
    EXPECT_NE(errorOf([] {
                  Arguments({"a", "--bogus"}).positional(1, 2, "u");
              }).find("unknown option --bogus"),
              std::string::npos);
    EXPECT_EQ(Arguments({"-"}).positional(1, 1, "u"), std::vector<std::string>{"-"});
    Arguments shortForms({"-q", "-p", "3", "-s", "a=1", "x"});
    EXPECT_TRUE(shortForms.takeFlag("--quiet"));
    EXPECT_EQ(shortForms.take("--program", ""), "3");
    EXPECT_EQ(shortForms.takeAll("--set"), std::vector<std::string>{"a=1"});
    EXPECT_EQ(shortForms.positional(1, 1, "u"), std::vector<std::string>{"x"});
}

TEST(CommandLine, NumbersAreWholeTextsOnly)
{
    const struct {
        const char* text;
        const char* error; // "" for a number
    } rows[] = {{"12", ""},
                {"-3", ""},
                {"", "whole number"},
                {"1.5", "whole number"},
                {"12x", "whole number"},
                {"99999999999", "whole number"}};
    for (const auto& r : rows) {
        SCOPED_TRACE(r.text);
        EXPECT_NE(errorOf([&] { parseInteger(r.text, "n"); }).find(r.error), std::string::npos);
    }
    EXPECT_EQ(parseInteger("-3", "n"), -3);
    EXPECT_FLOAT_EQ(parseValue("2.5e-1", "v"), 0.25f);
    EXPECT_NE(errorOf([] { parseValue("inf", "v"); }).find("must be a number"), std::string::npos);
}

TEST(CommandLine, ProgramsByNumberOrName)
{
    const OvintaProgram* programs = factoryPrograms();
    const struct {
        const char* text;
        int program;       // -1: refused
        const char* error; // part of the refusal
    } rows[] = {
        {"0", 0, ""},
        {"44", 44, ""},
        {"concert: elmia hall", 0, ""},
        {"Vocal: Intimate", 12, ""},
        {"45", -1, "program number 45 is out of range 0..44"},
        {"-1", -1, "program number -1 is out of range 0..44"},
        {"Nowhere Hall", -1, "no program is named"},
        {"elmia", 0, ""},
        {"Intimate Slap", 12, ""},
        {"Concert", -1, "matches"},
        {"a", -1, "0 Concert: Elmia Hall"},
    };
    for (const auto& r : rows) {
        SCOPED_TRACE(r.text);
        if (r.program >= 0)
            EXPECT_EQ(programIndex(r.text, programs), r.program);
        else
            EXPECT_NE(errorOf([&] { programIndex(r.text, programs); }).find(r.error), std::string::npos)
                << errorOf([&] { programIndex(r.text, programs); });
    }
}

TEST(CommandLine, ChannelPicksAreOneOrTwoChannelsFromOne)
{
    EXPECT_EQ(parseChannelPick("3"), (std::vector<int>{3, 3}));
    EXPECT_EQ(parseChannelPick("3,4"), (std::vector<int>{3, 4}));
    const struct {
        const char* text;
        const char* error;
    } rows[] = {{"1,2,3", "one or two input channels"},
                {"0", "from 1"},
                {"1,x", "whole number"},
                {"", "whole number"}};
    for (const auto& r : rows) {
        SCOPED_TRACE(r.text);
        EXPECT_NE(errorOf([&] { parseChannelPick(r.text); }).find(r.error), std::string::npos)
            << errorOf([&] { parseChannelPick(r.text); });
    }
}

} // namespace ovinta
