#pragma once
// OVMeterScreen: the 92 x 92 surround meter and panner (tag 53). This
// version draws its picture as an empty panel.

#include "toolkit/CControl.h"
#include "toolkit/COffscreenContext.h"

class OVMeterScreen : public CControl {
public:
    OVMeterScreen(const CRect& size, CControlListener* listener, int tag);
    ~OVMeterScreen() override;

    void draw(CDrawContext* context) override;

private:
    COffscreenContext picture; // 92 x 92
};
