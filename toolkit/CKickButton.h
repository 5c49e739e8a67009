#pragma once
// CKickButton: a momentary button drawn from a 2-frame film. The value is 1
// while it is held down with the mouse over it and 0 after release; the
// listener hears both edges.

#include "toolkit/CControl.h"

class CKickButton : public CControl {
public:
    CKickButton(const CRect& size, CControlListener* listener, int tag, CBitmap* film);

    void draw(CDrawContext* context) override;
    void mouse(CDrawContext* context, CPoint& where, int buttons = -1) override;
};
