// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The tool's commands. Each takes the words after its name, prints its
// results on standard output and throws ToolError on failure.

#include <cstdio>
#include <string>
#include <vector>

namespace ovinta {

void renderCommand(const std::vector<std::string>& words);
void exportCommand(const std::vector<std::string>& words);
void infoCommand(const std::vector<std::string>& words);
void analyseCommand(const std::vector<std::string>& words);
void helpCommand(const std::vector<std::string>& words);
void demoSignalCommand(const std::vector<std::string>& words); // hidden: make-demo-signal

// Prints the help of `command` on standard output; false for an unknown one.
bool printCommandHelp(const std::string& command);
// Prints the general help: every command with every option.
void printGeneralHelp(std::FILE* to);
// Prints the manual page (roff) made from the same help texts.
void printManPage(std::FILE* to);

} // namespace ovinta
