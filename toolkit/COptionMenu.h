#pragma once
// COptionMenu: a display that shows the text of its current entry; a press
// pops up the list of entries, drawn by the toolkit inside the plug-in
// window. Releasing over an entry (press-drag-release) or clicking an entry
// after a plain click selects it: the value becomes the entry's index and the
// listener hears it. A click outside or Escape closes the list unchanged.
// Entries are changed on the GUI thread; setValue from any thread.

#include "toolkit/CParamDisplay.h"

#include <string>
#include <vector>

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
    void mouse(CDrawContext* context, CPoint& where, int buttons = -1) override;

    // Called by the popup: make `index` current and tell the listener.
    void selectEntry(CDrawContext* context, int index);

private:
    std::vector<std::string> entries;
};

// The open list of a COptionMenu: a modal overlay owned by the frame.
class COptionMenuPopup : public CView {
public:
    COptionMenuPopup(COptionMenu* menu, const CRect& frameSize, CDrawContext* measure);

    void draw(CDrawContext* context) override;
    void mouse(CDrawContext* context, CPoint& where, int buttons = -1) override;
    void mouseMoved(CPoint where) override;
    bool onKeyDown(const CKeyCode& key) override;

    // The entry under `where`, or -1.
    int entryAt(CPoint where) const;
    CRect entryRect(int index) const;
    void setHover(int index);
    // Follows a held button until release; selects and closes on an entry.
    // Returns false when released outside every entry, or where the press
    // that opened the list began (a plain click), without selecting.
    bool trackUntilRelease(CDrawContext* context, CPoint pressPoint);
    void close();

private:
    COptionMenu* menu;
    int rowHeight;
    int rowsPerColumn;
    int columnWidth;
    int hover = -1;
};
