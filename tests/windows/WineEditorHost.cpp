// SPDX-License-Identifier: GPL-3.0-or-later
// wineditorhost DLL DIR: plays a Windows host for the editor test under
// wine (driven by editor-under-wine.sh, which sends real pointer events).
//
// 1. Loads the DLL, opens a host window the editor's size and opens the
//    editor in it; idles, then writes DIR/ready with the client area's
//    screen position and the centre of the Gain knob.
// 2. Keeps the host's loop running until DIR/dragged appears (the script
//    has dragged the knob), then checks that the drag reached the host as
//    beginEdit, automation, endEdit of the Gain parameter, in that order.
// 3. Closes the editor and reopens/closes it five times: each close must
//    leave no editor window behind.
// 4. Opens it once more and idles no more: a drag posted to the window must
//    still reach the host through the window's idle timer.
// Prints one line per check; exits 0 when all passed.

#include "model/Parameters.h"
#include "resources/EditorLayout.h"
#include "toolkit/platform/Win32TestSupport.h"
#include "tools/vsthost/VstHost.h"

#include <chrono>
#include <cstdio>
#include <fstream>
#include <string>
#include <thread>

namespace ovinta {

namespace {

bool exists(const std::string& path)
{
    return static_cast<bool>(std::ifstream(path));
}

// The host calls of the first gesture on `tag`: a beginEdit, at least one
// automation of it, then its endEdit, with no other begin/end between.
bool gestureReachedHost(const std::vector<HostCall>& calls, int tag, int& automations)
{
    automations = 0;
    int state = 0; // 0: before beginEdit, 1: inside, 2: ended
    for (const HostCall& c : calls) {
        if (c.index != tag)
            continue;
        if (c.opcode == audioMasterBeginEdit && state == 0)
            state = 1;
        else if (c.opcode == audioMasterAutomate && state == 1)
            ++automations;
        else if (c.opcode == audioMasterAutomate && state == 0)
            return false; // automation outside the gesture
        else if (c.opcode == audioMasterEndEdit && state == 1) {
            state = 2;
            break;
        }
    }
    return state == 2 && automations > 0;
}

} // namespace

} // namespace ovinta

using namespace ovinta;

int main(int argc, char** argv)
{
    if (argc != 3) {
        std::fprintf(stderr, "usage: wineditorhost DLL DIR\n");
        return 2;
    }
    const std::string dir = argv[2];
    VstHost plugin;
    std::string error;
    if (!plugin.load(argv[1], error)) {
        std::printf("load: %s\n", error.c_str());
        return 1;
    }
    plugin.dispatch(effOpen);
    plugin.dispatch(effSetSampleRate, 0, 0, nullptr, 44100.0f);
    plugin.dispatch(effSetBlockSize, 0, 512);
    plugin.dispatch(effMainsChanged, 0, 1);

    ERect* rect = nullptr;
    plugin.dispatch(effEditGetRect, 0, 0, &rect);
    if (rect == nullptr) {
        std::printf("effEditGetRect gave no rectangle\n");
        return 1;
    }
    const int width = rect->right - rect->left;
    const int height = rect->bottom - rect->top;
    Win32TestHost host(width, height, L"Ovinta wine host");
    if (!host.isOpen()) {
        std::printf("cannot open the host window\n");
        return 1;
    }
    const auto idle = [&plugin] { plugin.dispatch(effEditIdle); };
    int failures = 0;
    const auto check = [&failures](bool ok, const char* what) {
        std::printf("%s: %s\n", ok ? "ok" : "FAILED", what);
        failures += ok ? 0 : 1;
    };

    check(plugin.dispatch(effEditOpen, 0, 0, host.parentHandle()) == 1, "effEditOpen in the host window");
    check(host.childCount() == 1, "the editor is one child window of the host window");
    host.pump(2500, idle); // long enough for the room to be traced completely

    int x = 0;
    int y = 0;
    host.clientOrigin(x, y);
    const CRect knob = layout::knobRect(param::kGain);
    {
        std::ofstream ready(dir + "/ready");
        ready << x << ' ' << y << ' ' << width << ' ' << height << ' ' << (knob.left + knob.right) / 2 << ' '
              << (knob.top + knob.bottom) / 2 << '\n';
    }
    std::fflush(stdout);
    plugin.clearCalls();
    for (int waited = 0; waited < 60000 && !exists(dir + "/dragged"); waited += 100)
        host.pump(100, idle);
    host.pump(500, idle);
    int automations = 0;
    check(gestureReachedHost(plugin.calls(), param::kGain, automations),
          "the knob drag reached the host as beginEdit, automation, endEdit");
    std::printf("automations inside the gesture: %d\n", automations);

    plugin.dispatch(effEditClose);
    host.pump(100, idle);
    bool allClosed = host.childCount() == 0 && Win32TestHost::windowsOfClass(L"OvintaEditor") == 0;
    bool allOpened = true;
    for (int i = 0; i < 5; ++i) {
        allOpened = allOpened && plugin.dispatch(effEditOpen, 0, 0, host.parentHandle()) == 1;
        host.pump(200, idle);
        allOpened = allOpened && host.childCount() == 1;
        plugin.dispatch(effEditClose);
        host.pump(50, idle);
        allClosed = allClosed && host.childCount() == 0 && Win32TestHost::windowsOfClass(L"OvintaEditor") == 0;
    }
    check(allOpened, "the editor reopened five times");
    check(allClosed, "every close left no editor window");

    // A host that never sends effEditIdle: the window's own timer idles the
    // editor, so a gesture still reaches the host.
    plugin.dispatch(effEditOpen, 0, 0, host.parentHandle());
    host.pump(500, nullptr);
    plugin.clearCalls();
    Win32TestHost::postDrag(host.firstChild(), (knob.left + knob.right) / 2, (knob.top + knob.bottom) / 2, 10, -2);
    host.pump(1500, nullptr);
    check(gestureReachedHost(plugin.calls(), param::kGain, automations),
          "without effEditIdle the window's timer delivers the drag");
    plugin.dispatch(effEditClose);
    plugin.dispatch(effMainsChanged, 0, 0);
    plugin.unload();
    std::printf("%d checks failed\n", failures);
    return failures == 0 ? 0 : 1;
}
