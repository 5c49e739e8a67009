// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The whole tool behind its entry point: the command name and its words in,
// the exit status out (0 done, 1 any error, the error printed as one line).

namespace ovinta {

int runTool(int argc, char** argv);

} // namespace ovinta
