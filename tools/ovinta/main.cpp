// SPDX-License-Identifier: GPL-3.0-or-later
// ovinta: the reverb on the command line. Renders audio files through it,
// exports impulse responses, shows programs and parameters, and analyses
// impulse responses. Everything is in the ovinta_cli library.

#include "tools/ovinta/ToolMain.h"

int main(int argc, char** argv)
{
    return ovinta::runTool(argc, argv);
}
