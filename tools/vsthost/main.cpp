// vsthost PLUGIN.so: loads a VST 2.4 plug-in and prints what a host sees of it.

#include "tools/vsthost/PluginDescription.h"
#include "tools/vsthost/VstHost.h"

#include <iostream>

using namespace ovinta;

int main(int argc, char** argv)
{
    if (argc != 2) {
        std::cerr << "usage: vsthost PLUGIN.so\n";
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
    printPluginDescription(host, std::cout);
    host.dispatch(effMainsChanged, 0, 0);
    host.unload();
    return 0;
}
