// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The toolkit's only door to the operating system. A back-end opens the
// plug-in's child window on the host's parent, shows the frame's pixels,
// turns OS input into PlatformEvents calls (presses, motion with the held
// buttons, releases, keys), and answers the tick count and file dialogs.
// Input is only ever delivered from processEvents, which handles what is
// queued and returns without waiting. Back-ends: X11 (Linux hosts) and
// headless (pixels in memory, scripted input; tests and tools). All calls
// come from the GUI thread.

#include "toolkit/CRect.h"
#include "toolkit/platform/FileDialogSession.h"

#include <cstdint>
#include <memory>
#include <string>

namespace ovinta {

// A key press as the toolkit sees it.
struct CKeyCode {
    int character = 0;    // ASCII/Latin-1 character, 0 for none
    int virt = 0;         // one of the kKey codes below, 0 for none
    int modifiers = 0;    // kShift | kControl | kAlt | kApple
};
// The toolkit's own key numbers; the editor translates the host's.
enum : int { kKeyBack = 1, kKeyTab, kKeyReturn, kKeyEscape, kKeyLeft, kKeyRight, kKeyDelete };

// What the window reports; implemented by the frame. Positions are window
// pixels (outside the window during a drag); buttonState holds kLButton..
// and kShift.. bits.
class PlatformEvents {
public:
    virtual ~PlatformEvents() = default;
    // A button went down; buttonState includes it.
    virtual void platformMouseDown(CPoint where, int buttonState) = 0;
    // The pointer moved; buttonState is what is held during the motion.
    virtual void platformMouseMoved(CPoint where, int buttonState) = 0;
    // A button came up; buttonState is what is still held after it.
    virtual void platformMouseUp(CPoint where, int buttonState) = 0;
    virtual bool platformKeyDown(const CKeyCode& key) = 0;
    // The window lost part of its picture (exposed): show `area` again.
    virtual void platformExposed(const CRect& area) = 0;
    // The host has not idled the editor for a while (hosts that never send
    // effEditIdle): a back-end with a timer of its own asks for the idle.
    virtual void platformIdle() {}
};

// A view of pixels to show: ARGB32/RGB24 words, native endian.
struct PixelView {
    const uint8_t* data = nullptr;
    int width = 0;
    int height = 0;
    int stride = 0; // bytes per row
};

// A file dialog's question and, on success, its answer.
struct FileDialogRequest {
    bool save = true;             // save dialog, else open
    std::string title;
    std::string initialPath;      // folder and/or file name prefix
    std::string filterName;       // e.g. "16 bit WAV"; empty for all files
    std::string filterExtension;  // e.g. "wav", no dot
};

class PlatformWindow {
public:
    virtual ~PlatformWindow() = default;

    // Shows `dirty` of `pixels` (which covers the whole window).
    virtual void present(const PixelView& pixels, const CRect& dirty) = 0;
    // Delivers queued OS input to the sink; never blocks.
    virtual void processEvents() = 0;
    virtual uint32_t tickCountMs() = 0;
    // Asks the user for a file; false when cancelled or unavailable.
    virtual bool runFileDialog(const FileDialogRequest& request, std::string& chosenPath) = 0;
    // False when this platform has no file dialog to offer at all.
    virtual bool hasFileDialog() { return true; }
    // Asks the user for a file without waiting for the answer: the caller
    // polls the session from its idle. Null when no dialog could be started.
    // A platform whose dialog is modal keeps this default, which runs
    // runFileDialog to its end and hands back the answer it gave.
    virtual std::unique_ptr<FileDialogSession> startFileDialog(const FileDialogRequest& request)
    {
        std::string path;
        if (runFileDialog(request, path) && !path.empty())
            return std::make_unique<AnsweredFileDialog>(std::move(path));
        return std::make_unique<AnsweredFileDialog>(std::nullopt);
    }
    // The native child window (an X11 window id), or null.
    virtual void* nativeHandle() = 0;
};

// Opens the platform's child window of `size` inside `parent` (an X11 window
// id on Linux). A null parent gives a headless window. Returns null when the
// window cannot be opened (no display).
std::unique_ptr<PlatformWindow> openPlatformWindow(void* parent, CPoint size, PlatformEvents& sink);

} // namespace ovinta
