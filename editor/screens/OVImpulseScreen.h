#pragma once
// OVImpulseScreen: the 408 x 80 strip under the main screen (tag 58) that
// shows the volume and filter response of the room. This version draws its
// two 200 x 80 pictures as empty panels side by side.

#include "toolkit/CControl.h"
#include "toolkit/COffscreenContext.h"

class OVImpulseScreen : public CControl {
public:
    OVImpulseScreen(const CRect& size, CControlListener* listener, int tag);
    ~OVImpulseScreen() override;

    void draw(CDrawContext* context) override;

private:
    COffscreenContext volumePicture; // 200 x 80
    COffscreenContext filterPicture; // 200 x 80
};
