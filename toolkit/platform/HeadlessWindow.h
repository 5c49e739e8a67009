#pragma once
// HeadlessWindow: a platform window without an OS window. It keeps the
// presented pixels in memory, plays back scripted mouse and key input and a
// manual tick clock, answers file dialogs from a script, and can write its
// picture as a PNG file. Used by the tests and the command-line tool.

#include "toolkit/platform/PlatformWindow.h"

#include <deque>
#include <optional>
#include <vector>

class HeadlessWindow : public PlatformWindow {
public:
    HeadlessWindow(CPoint size, PlatformEvents& sink);

    // PlatformWindow.
    void present(const PixelView& pixels, const CRect& dirty) override;
    void processEvents() override;
    CPoint mousePosition() override { return position; }
    int buttonState() override; // each call plays the next scripted state
    uint32_t tickCountMs() override;
    bool runFileDialog(const FileDialogRequest& request, std::string& chosenPath) override;
    void* nativeHandle() override { return nullptr; }

    // Scripted input. A press is an event (delivered by processEvents)
    // followed by states that its tracking loop reads, one per buttonState()
    // call; when they run out the buttons are up. States a loop did not read
    // are dropped when the next press is delivered.
    void pressAt(CPoint where, int buttonState);
    void holdAt(CPoint where, int buttonState);
    void releaseAt(CPoint where);
    void click(CPoint where, int buttonState = kLButton);
    // Press at `from`, move in `steps` even steps to `to`, release there.
    void drag(CPoint from, CPoint to, int steps, int buttonState = kLButton);
    void moveTo(CPoint where); // a motion event without buttons
    void typeKey(const CKeyCode& key);
    bool hasPendingInput() const { return !events.empty() || !states.empty(); }

    void setTickCount(uint32_t ms) { manualTicks = ms; }
    void setFileDialogAnswer(std::optional<std::string> path) { dialogAnswer = std::move(path); }
    const FileDialogRequest& lastFileDialog() const { return lastDialog; }

    // The picture as presented so far.
    int getWidth() const { return width; }
    int getHeight() const { return height; }
    CColor getPixel(int x, int y) const;
    bool writePng(const char* path) const;
    int presentCount() const { return presents; }

private:
    enum class EventKind { Press, Move, Key };
    struct Event {
        EventKind kind;
        CPoint where;
        int buttons;
        CKeyCode key;
        int pressId; // the press this event is or follows
    };
    struct State {
        CPoint where;
        int buttons;
        int pressId; // the press whose tracking loop reads this state
    };

    PlatformEvents& sink;
    int width;
    int height;
    std::vector<uint32_t> pixels; // presented picture, ARGB words, opaque
    std::deque<Event> events;
    std::deque<State> states;
    CPoint position;              // current mouse position
    int modifiers = 0;            // modifier bits of the latest state
    int presents = 0;
    int lastPressId = 0;          // id of the latest scripted press
    int deliveredPressId = 0;     // id of the latest press handed to the sink
    std::optional<uint32_t> manualTicks;
    std::optional<std::string> dialogAnswer;
    FileDialogRequest lastDialog;
};
