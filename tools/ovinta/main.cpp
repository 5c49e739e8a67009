// ovinta: the reverb on the command line. Renders audio files through it,
// exports impulse responses, shows programs and parameters, and analyses
// impulse responses.

#include "tools/ovinta/Commands.h"

#include "base/Version.h"
#include "tools/ovinta/ToolError.h"

#include <algorithm>
#include <cstdio>
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

int run(const std::string& command, const std::vector<std::string>& words)
{
    if (command == "--version" || command == "version") {
        std::printf("ovinta %s\n", ovinta::kVersionText);
        return 0;
    }
    if (command == "--help-man") { // hidden: the build writes ovinta.1 with it
        printManPage(stdout);
        return 0;
    }
    if (command == "help" || command == "--help" || command == "-h") {
        helpCommand(words);
        return 0;
    }
    if (command != "make-demo-signal" && asksForHelp(words)) {
        if (!printCommandHelp(command))
            throw ToolError("unknown command \"" + command + "\" (try ovinta help)");
        return 0;
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
    return 0;
}

} // namespace

} // namespace ovinta

using namespace ovinta;

int main(int argc, char** argv)
{
    if (argc < 2) {
        printGeneralHelp(stderr);
        return 2;
    }
    try {
        return run(argv[1], std::vector<std::string>(argv + 2, argv + argc));
    } catch (const ToolError& e) {
        std::fprintf(stderr, "ovinta: %s\n", e.what());
    } catch (const std::bad_alloc&) {
        std::fprintf(stderr, "ovinta: out of memory\n");
    } catch (const std::exception& e) {
        std::fprintf(stderr, "ovinta: %s\n", e.what());
    }
    return 1;
}
