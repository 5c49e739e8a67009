// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// HeadlessWindow: a platform window without an OS window. It keeps the
// presented pixels in memory, plays back scripted mouse and key input and a
// manual tick clock, answers file dialogs from a script (or starts them
// through a function the test supplies), and can write its
// picture as a PNG file. Used by the tests and the command-line tool.
// Scripted input is a queue of events (press, motion, release, key) that
// processEvents delivers in order, all of it at each call, as a window
// system delivers what arrived since the last idle.

#include "toolkit/platform/PlatformWindow.h"

#include <deque>
#include <optional>
#include <vector>

namespace ovinta {

class HeadlessWindow : public PlatformWindow {
public:
    HeadlessWindow(CPoint size, PlatformEvents& sink);

    // PlatformWindow.
    void present(const PixelView& pixels, const CRect& dirty) override;
    void processEvents() override;
    uint32_t tickCountMs() override;
    bool runFileDialog(const FileDialogRequest& request, std::string& chosenPath) override;
    bool hasFileDialog() override { return dialogAvailable; }
    std::unique_ptr<FileDialogSession> startFileDialog(const FileDialogRequest& request) override;
    void* nativeHandle() override { return nullptr; }

    // Scripted input, queued for the next processEvents. pressAt: a press
    // with `buttonState` down. holdAt: a motion to `where` with
    // `buttonState` held (a changed modifier is a motion too). releaseAt:
    // every button comes up at `where`. moveTo: a motion with nothing held.
    void pressAt(CPoint where, int buttonState);
    void holdAt(CPoint where, int buttonState);
    void releaseAt(CPoint where);
    void click(CPoint where, int buttonState = kLButton);
    // Press at `from`, move in `steps` even steps to `to`, release there.
    void drag(CPoint from, CPoint to, int steps, int buttonState = kLButton);
    void moveTo(CPoint where);
    void typeKey(const CKeyCode& key);
    bool hasPendingInput() const { return !events.empty(); }

    void setTickCount(uint32_t ms) { manualTicks = ms; }
    void setFileDialogAnswer(std::optional<std::string> path) { dialogAnswer = std::move(path); }
    // Without a dialog the window answers every file request with nothing.
    void setFileDialogAvailable(bool available) { dialogAvailable = available; }
    const FileDialogRequest& lastFileDialog() const { return lastDialog; }
    // Dialogs started with startFileDialog come from `start` (a real dialog
    // program, say) instead of the scripted answer; null restores the script.
    using FileDialogStarter = std::unique_ptr<FileDialogSession> (*)(const FileDialogRequest&);
    void setFileDialogStarter(FileDialogStarter start) { dialogStarter = start; }

    // The picture as presented so far.
    int getWidth() const { return width; }
    int getHeight() const { return height; }
    CColor getPixel(int x, int y) const;
    bool writePng(const char* path) const;
    // Only `area` of the window (clipped to it); false when nothing is left.
    bool writePng(const char* path, const CRect& area) const;
    int presentCount() const { return presents; }

private:
    enum class EventKind { Press, Move, Release, Key };
    struct Event {
        EventKind kind;
        CPoint where;
        int buttons; // held with (Press, Move) or after (Release) the event
        CKeyCode key;
    };

    PlatformEvents& sink;
    int width;
    int height;
    std::vector<uint32_t> pixels; // presented picture, ARGB words, opaque
    std::deque<Event> events;
    int presents = 0;
    std::optional<uint32_t> manualTicks;
    std::optional<std::string> dialogAnswer;
    FileDialogRequest lastDialog;
    bool dialogAvailable = true;
    FileDialogStarter dialogStarter = nullptr;
};

} // namespace ovinta
