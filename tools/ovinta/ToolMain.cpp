// SPDX-License-Identifier: GPL-3.0-or-later
// Dispatch of the tool's commands, the one place where failures become an
// error line and an exit status.

#include "tools/ovinta/ToolMain.h"

#include "base/Version.h"
#include "tools/ovinta/Commands.h"
#include "tools/ovinta/InterruptCleanup.h"
#include "tools/ovinta/ToolError.h"

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <exception>
#include <new>
#include <string>
#include <vector>

namespace ovinta {

namespace {

bool asksForHelp(const std::vector<std::string>& words)
{
    return std::any_of(words.begin(), words.end(),
                       [](const std::string& w) { return w == "--help" || w == "-h"; });
}

void run(const std::string& command, const std::vector<std::string>& words)
{
    if (command == "--version" || command == "version") {
        std::printf("ovinta %s\n", kVersionText);
        return;
    }
    if (command == "--help-man") { // hidden: the build writes ovinta.1 with it
        printManPage(stdout);
        return;
    }
    if (command == "help" || command == "--help" || command == "-h") {
        helpCommand(words);
        return;
    }
    if (command != "make-demo-signal" && asksForHelp(words)) {
        if (!printCommandHelp(command))
            throw ToolError("unknown command \"" + command + "\" (try ovinta help)");
        return;
    }
    if (command == "render")
        renderCommand(words);
    else if (command == "export-ir")
        exportCommand(words);
    else if (command == "info")
        infoCommand(words);
    else if (command == "analyse" || command == "analyze")
        analyseCommand(words);
    else if (command == "make-demo-signal")
        demoSignalCommand(words);
    else
        throw ToolError("unknown command \"" + command + "\" (try ovinta help)");
}

// Standard output is buffered: a full disk or a closed pipe shows only when
// the buffer is flushed, and a report that was not written is a failure.
void flushStandardOutput()
{
    // errno is not cleared first: a failed write during the command left
    // its reason there, and the flush of an empty buffer sets none.
    if (std::fflush(stdout) != 0 || std::ferror(stdout) != 0)
        throw ToolError(std::string("cannot write to standard output: ")
                        + (errno != 0 ? std::strerror(errno) : "write error"));
}

} // namespace

int runTool(int argc, char** argv)
{
    installInterruptCleanup();
    if (argc < 2) {
        printGeneralHelp(stderr);
        return 1;
    }
    try {
        run(argv[1], std::vector<std::string>(argv + 2, argv + argc));
        flushStandardOutput();
        return 0;
    } catch (const ToolError& e) {
        std::fprintf(stderr, "ovinta: %s\n", e.what());
    } catch (const std::bad_alloc&) {
        std::fprintf(stderr, "ovinta: out of memory\n");
    } catch (const std::exception& e) {
        std::fprintf(stderr, "ovinta: %s\n", e.what());
    }
    // Whatever was printed before the failure is not worth a second error.
    std::clearerr(stdout);
    return 1;
}

} // namespace ovinta
