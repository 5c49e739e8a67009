// SPDX-License-Identifier: GPL-3.0-or-later
// vsthost PLUGIN.so: loads a VST 2.4 plug-in and prints what a host sees of
// it, after a line naming this host and the Ovinta release it belongs to.

#include "base/Version.h"
#include "tools/vsthost/PluginDescription.h"
#include "tools/vsthost/VstHost.h"

#include <iostream>
#include <string>

using namespace ovinta;

int main(int argc, char** argv)
{
    if (argc == 2 && std::string(argv[1]) == "--version") {
        std::cout << "vsthost " << ovinta::kVersionText << '\n';
        return 0;
    }
    if (argc != 2) {
        std::cerr << "usage: vsthost PLUGIN.so   (or vsthost --version)\n";
        return 2;
    }
    VstHost host;
    std::string error;
    if (!host.load(argv[1], error)) {
        std::cerr << "vsthost: " << error << '\n';
        return 1;
    }
    host.dispatch(effOpen);
    host.dispatch(effSetSampleRate, 0, 0, nullptr, 44100.0f);
    host.dispatch(effSetBlockSize, 0, 512);
    host.dispatch(effMainsChanged, 0, 1);
    std::cout << "Host:           vsthost " << ovinta::kVersionText << '\n';
    printPluginDescription(host, std::cout);
    host.dispatch(effMainsChanged, 0, 0);
    host.unload();
    return 0;
}
