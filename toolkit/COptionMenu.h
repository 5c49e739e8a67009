// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// COptionMenu: a display that shows the text of its current entry; a press
// pops up the list of entries, drawn by the toolkit inside the plug-in
// window. While the button is held the entry under the mouse is lit.
// Releasing over an entry (press-drag-release) or clicking an entry after a
// plain click selects it: the value becomes the entry's index and the
// listener hears it. A click outside or Escape closes the list unchanged.
// The press's gesture stays with the menu (the frame's capture) and drives
// the list; a press inside the open list is the list's own gesture.
// Entries are changed on the GUI thread; setValue from any thread.

#include "toolkit/CParamDisplay.h"

#include <string>
#include <vector>

namespace ovinta {

// Menu styles (bits, combined with the display styles).
enum : int { kPopupStyle = 1 << 8, kCheckStyle = 1 << 9 };

class COptionMenuPopup;

class COptionMenu : public CParamDisplay {
public:
    COptionMenu(const CRect& size, CControlListener* listener, int tag, CBitmap* background = nullptr,
                int style = 0);

    bool addEntry(const char* text);
    void removeAllEntry();
    int getNbEntries() const { return static_cast<int>(entries.size()); }
    const char* getEntry(int index) const; // null when out of range
    int getCurrent() const;                // -1 when the value names no entry
    void setCurrent(int index);

    void draw(CDrawContext* context) override;
    CMouseEventResult mouse(CDrawContext* context, CPoint& where, int buttons) override;
    CMouseEventResult onMouseMoved(CDrawContext* context, CPoint where, int buttons) override;
    CMouseEventResult onMouseUp(CDrawContext* context, CPoint where, int buttons) override;
    void onMouseCancel() override { tracking = false; }

    // Called by the popup: make `index` current and tell the listener.
    void selectEntry(CDrawContext* context, int index);

private:
    // This menu's list while it is open, else null.
    COptionMenuPopup* openPopup() const;
    // The release of the press that opened the list, at `where`.
    CMouseEventResult releaseAt(CDrawContext* context, CPoint where);

    std::vector<std::string> entries;
    bool tracking = false; // the press that opened the list is still held
    CPoint pressPoint;     // where that press began
};

// The open list of a COptionMenu: a modal overlay owned by the frame.
class COptionMenuPopup : public CView {
public:
    COptionMenuPopup(COptionMenu* menu, const CRect& frameSize, CDrawContext* measure);

    void draw(CDrawContext* context) override;
    // A press on an entry is held until its release, which selects the
    // entry under the mouse; a press beside the entries closes the list.
    CMouseEventResult mouse(CDrawContext* context, CPoint& where, int buttons) override;
    // Lights the entry under the mouse (hover, or the held press).
    CMouseEventResult onMouseMoved(CDrawContext* context, CPoint where, int buttons) override;
    CMouseEventResult onMouseUp(CDrawContext* context, CPoint where, int buttons) override;
    void onMouseCancel() override { tracking = false; }
    bool onKeyDown(const CKeyCode& key) override;

    COptionMenu* getMenu() const { return menu; }
    // The entry under `where`, or -1.
    int entryAt(CPoint where) const;
    CRect entryRect(int index) const;
    void setHover(int index);
    void close();

private:
    CMouseEventResult releaseAt(CDrawContext* context, CPoint where);

    COptionMenu* menu;
    bool tracking = false; // a press inside the list is held
    int rowHeight;
    int rowsPerColumn;
    int columnWidth;
    int hover = -1;
};

} // namespace ovinta
