// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// OVHelpPages: the eight-page user manual the main screen shows over every
// mode while HELP is on. Each page has a header with its number; a left or
// right click anywhere turns to the next page, and the click on the last
// page asks for the help to close.
//
// Owned by the main screen, which draws it instead of its mode while the
// help is shown (the temporary EQ view after an EQ knob change waits until
// the help closes) and passes its presses on; on kClose the editor switches
// HELP off. GUI thread only.

#include "toolkit/CDrawContext.h"

namespace ovinta {

class OVHelpPages {
public:
    static constexpr int kPageCount = 8;

    // What a press did, for the main screen.
    enum Click {
        kIgnored,  // no left or right button
        kNextPage, // the next page shows: mark the screen dirty
        kClose,    // the last page was clicked: close the help and switch HELP off
    };

    // Shows the first page; called whenever the help opens.
    void open() { page = 0; }
    // 0..kPageCount - 1 while shown; kPageCount after the closing click.
    int currentPage() const { return page; }

    // Draws the current page over the whole 408 x 408 `picture`.
    void draw(CDrawContext& picture);
    // A press with `buttons` (kLButton, kRButton) anywhere on the screen.
    Click mouseDown(CPoint where, int buttons);

    // Layout of the text, for the page drawing and for tests (picture pixels).
    static constexpr int kHeadingX = 3;
    static constexpr int kBodyX = 15;
    static constexpr int kFirstLineY = 31;   // top of the first line's box
    static constexpr int kLineStep = 16;
    static constexpr int kLineHeight = 16;
    static constexpr int kPromptTop = 387;   // "[CLICK FOR MORE]"
    static constexpr int kRight = 405;       // text must end left of this

private:
    void drawSections(CDrawContext& picture, int index);
    void drawTitlePage(CDrawContext& picture);

    int page = 0;
};

} // namespace ovinta
