// SPDX-License-Identifier: GPL-3.0-or-later
// The demo panel: the plug-in's control layout on the toolkit.

#include "DemoPanel.h"

#include "resources/ResourceBitmaps.h"
#include "toolkit/CAnimKnob.h"
#include "toolkit/CAutoAnimation.h"
#include "toolkit/CBitmap.h"
#include "toolkit/CHorizontalSlider.h"
#include "toolkit/CKickButton.h"
#include "toolkit/COffscreenContext.h"
#include "toolkit/COnOffButton.h"
#include "toolkit/COptionMenu.h"
#include "toolkit/CParamDisplay.h"

#include <cstdio>
#include <memory>

namespace ovinta {

namespace {

// Copies an offscreen picture (built from a resource) to its rectangle on
// every draw, like the plug-in's screens.
class PictureScreen : public CControl {
public:
    PictureScreen(const CRect& r, int bitmapId, CPoint pictureOffset, bool withRoom = false)
        : CControl(r), offset(pictureOffset)
    {
        picture = std::make_unique<COffscreenContext>(r.width(), r.height());
        if (CBitmap* b = loadResourceBitmap(bitmapId)) {
            b->draw(picture.get(), CRect(0, 0, r.width(), r.height()), offset);
            b->forget();
        }
        if (!withRoom)
            return;
        picture->setFrameColor(CColor{255, 225, 150, 255});
        picture->setLineWidth(3);
        picture->drawLine(CPoint(84, 84), CPoint(324, 84));
        picture->drawLine(CPoint(324, 84), CPoint(324, 324));
        picture->setLineWidth(1);
    }
    void draw(CDrawContext* context) override { picture->copyFrom(context, size); }

private:
    CPoint offset;
    std::unique_ptr<COffscreenContext> picture;
};

// The meter screen's drawing pattern: background, labels, striped gain
// fans and level fans (white transparent), the panner puck, copied out.
class MeterScreen : public CControl {
public:
    explicit MeterScreen(const CRect& r) : CControl(r), picture(r.width(), r.height())
    {
        for (int i = 0; i < kCount; ++i)
            bitmaps[i] = loadResourceBitmap(kIds[i]);
    }
    ~MeterScreen() override
    {
        for (CBitmap* b : bitmaps)
            if (b)
                b->forget();
    }
    void draw(CDrawContext* context) override
    {
        auto put = [&](int index, const CRect& dest, CPoint from, bool keyed) {
            if (!bitmaps[index])
                return;
            if (keyed)
                bitmaps[index]->drawTransparent(&picture, dest, from);
            else
                bitmaps[index]->draw(&picture, dest, from);
        };
        put(0, CRect(0, 0, 92, 92), {}, false);
        const int n = 18; // gain fans at the centre position
        put(1, CRect(3, 3, 3 + n, 3 + n), {}, true);
        put(2, CRect(89 - n, 3, 89, 3 + n), CPoint(46 - n, 0), true);
        put(2, CRect(3, 88 - n, 3 + n, 87), CPoint(0, 46 - n), true);
        put(1, CRect(89 - n, 88 - n, 89, 88), CPoint(46 - n, 46 - n), true);
        const int m[4] = {34, 28, 22, 12}; // level fans
        put(3, CRect(4, 4, 4 + m[0], 4 + m[0]), {}, true);
        put(4, CRect(88 - m[1], 4, 88, 4 + m[1]), CPoint(42 - m[1], 0), true);
        put(5, CRect(4, 87 - m[2], 4 + m[2], 87), CPoint(0, 42 - m[2]), true);
        put(6, CRect(88 - m[3], 87 - m[3], 88, 87), CPoint(42 - m[3], 42 - m[3]), true);
        for (int k = 0; k < 4; ++k)
            put(7 + k, CRect::fromSize(k % 2 ? 80 : 0, k < 2 ? 0 : 79, 12, 12), {}, true);
        put(11, CRect(38, 38, 54, 54), {}, true);
        picture.copyFrom(context, size);
        context->resetClipRect();
    }

private:
    static constexpr int kCount = 12;
    static constexpr int kIds[kCount] = {115, 121, 120, 116, 117, 118, 119, 140, 141, 142, 143, 129};
    CBitmap* bitmaps[kCount] = {};
    COffscreenContext picture;
};

void displayFormat(float value, char* text) { std::snprintf(text, 32, "%.2f%%", static_cast<double>(value) * 100.0); }

CParamDisplay* valueDisplay(int left, int top)
{
    auto* d = new CParamDisplay(CRect::fromSize(left, top, 38, 11));
    d->setFont(kNormalFontSmall);
    d->setFontColor(CColor{111, 90, 90, 255});
    d->setBackColor(CColor{216, 228, 199, 255});
    d->setFrameColor(CColor{216, 228, 199, 255});
    d->setStringConvert(displayFormat);
    d->setValue(0.35f);
    return d;
}

COptionMenu* optionMenu(const CRect& r, CControlListener* l, int tag, const char* const* names, int count)
{
    auto* m = new COptionMenu(r, l, tag, nullptr, kPopupStyle | kCheckStyle);
    m->setFont(kNormalFontSmall);
    m->setFontColor(CColor{67, 10, 10, 255});
    m->setBackColor(CColor{238, 224, 179, 255});
    m->setFrameColor(CColor{238, 224, 179, 255});
    for (int i = 0; i < count; ++i)
        m->addEntry(names[i]);
    return m;
}

// Adds the controls group by group and counts them.
class PanelBuilder {
public:
    PanelBuilder(CFrame* f, CControlListener* l) : frame(f), listener(l) {}

    void knobs()
    {
        const int wallX[4] = {440, 488, 536, 584};
        for (int i = 0; i < 4; ++i)
            knob(wallX[i], 41, 47, 42, 2 + i, 109, 0.2f * static_cast<float>(i + 1));
        knob(648, 41, 47, 42, 44, 133, 0.5f);
        knob(439, 153, 47, 42, 6, 109, 0.3f);
        knob(487, 153, 47, 42, 7, 109, 0.6f);
        knob(440, 264, 47, 42, 14, 109, 0.5f);
        knob(488, 264, 47, 42, 15, 109, 0.25f);
        knob(535, 264, 48, 44, 16, 110, 0.5f);
        knob(598, 264, 47, 42, 0, 109, 0.8f);
        knob(646, 264, 47, 42, 1, 109, 1.0f);
        for (int i = 0; i < 3; ++i)
            knob(440 + 48 * i, 424, 47, 42, 17 + i, 133, 0.5f);
        for (int band = 0; band < 4; ++band)
            for (int row = 0; row < 3; ++row)
                knob(573 + 32 * band, 137 + 21 * row, 21, 20, 24 + 3 * band + row, 111,
                     0.25f * static_cast<float>(band));
    }

    void buttons()
    {
        struct B {
            int tag, l, t, r, b, id;
            bool kick;
            float v;
        };
        const B rows[] = {
            {23, 431, 336, 491, 357, 103, false, 1}, {36, 431, 360, 491, 381, 104, false, 0},
            {67, 372, 536, 396, 556, 153, true, 0},  {68, 396, 536, 420, 556, 154, true, 0},
            {60, 8, 512, 56, 534, 127, false, 1},    {61, 60, 512, 108, 534, 128, false, 0},
            {62, 112, 512, 160, 534, 135, false, 0}, {63, 164, 512, 212, 534, 136, false, 0},
            {65, 216, 512, 264, 534, 105, true, 0},  {64, 268, 512, 316, 534, 106, true, 0},
            {54, 360, 512, 420, 533, 125, false, 0}, {55, 545, 200, 580, 219, 126, false, 0},
            {57, 592, 496, 628, 534, 139, false, 0}, {59, 644, 536, 692, 558, 107, false, 0},
        };
        for (const B& b : rows) {
            CBitmap* f = loadResourceBitmap(b.id);
            const CRect r(b.l, b.t, b.r, b.b);
            CControl* c = b.kick ? static_cast<CControl*>(new CKickButton(r, listener, b.tag, f))
                                 : new COnOffButton(r, listener, b.tag, f);
            place(c, f, b.v);
        }
        CBitmap* outputs = loadResourceBitmap(130);
        auto* selector = new CAutoAnimation(CRect(631, 496, 692, 517), listener, 45, 6, 21, outputs);
        selector->openWindow();
        place(selector, outputs, 2.0f);
        CBitmap* handle = loadResourceBitmap(132);
        CBitmap* groove = loadResourceBitmap(131);
        place(new CHorizontalSlider(CRect(438, 508, 578, 532), listener, 20, 438, 571, handle, groove), groove, 0.5f);
        if (handle)
            handle->forget();
    }

    void menusAndDisplays()
    {
        const char* pins[] = {"L", "R", "Ls", "Rs", "C", "Lc"};
        add(optionMenu(CRect(502, 367, 521, 378), listener, 37, pins, 2));
        add(optionMenu(CRect(528, 367, 547, 378), listener, 38, pins, 2));
        for (int i = 0; i < 5; ++i) {
            COptionMenu* m = optionMenu(CRect::fromSize(565 + 27 * i, 367, 19, 11), listener, 39 + i, pins, 6);
            m->setCurrent(i);
            add(m);
        }
        const char* programs[] = {"Small Room", "Concert Hall", "Cathedral", "Tiled Bathroom", "Long Corridor"};
        add(optionMenu(CRect(164, 536, 364, 552), listener, 46, programs, 5));
        // Rows of value displays: top, first left, then the steps between them.
        const struct {
            int top, left, count;
            int steps[4];
        } rows[] = {{85, 442, 5, {48, 48, 48, 64}}, {197, 442, 2, {48}}, {309, 441, 5, {48, 48, 64, 48}},
                    {469, 441, 3, {48, 48}}};
        for (const auto& row : rows) {
            int x = row.left;
            for (int i = 0; i < row.count; ++i) {
                add(valueDisplay(x, row.top));
                x += i < 4 ? row.steps[i] : 0;
            }
        }
    }

    void screens()
    {
        add(new PictureScreen(CRect(8, 8, 416, 416), 112, CPoint(), true));
        add(new PictureScreen(CRect(8, 424, 208, 504), 108, CPoint()));
        add(new PictureScreen(CRect(216, 424, 416, 504), 108, CPoint(0, 80)));
        add(new MeterScreen(CRect(596, 392, 688, 484)));
    }

    int made = 0;

private:
    void add(CView* v)
    {
        frame->addView(v);
        ++made;
    }
    // Adds `c` with value `v` and drops the creator's reference to its film.
    void place(CControl* c, CBitmap* film, float v)
    {
        c->setValue(v);
        add(c);
        if (film)
            film->forget();
    }
    void knob(int x, int y, int w, int h, int tag, int id, float v)
    {
        CBitmap* b = loadResourceBitmap(id);
        place(new CAnimKnob(CRect::fromSize(x, y, w, h), listener, tag, 64, b ? b->getHeight() / 64 : h, b), b, v);
    }

    CFrame* frame;
    CControlListener* listener;
};

} // namespace

int buildDemoPanel(CFrame* frame, CControlListener* listener)
{
    CBitmap* bg = loadResourceBitmap(152);
    frame->setBackground(bg);
    if (bg)
        bg->forget();
    PanelBuilder builder(frame, listener);
    builder.knobs();
    builder.buttons();
    builder.menusAndDisplays();
    builder.screens();
    return builder.made;
}

void markAllDirty(CFrame* frame)
{
    frame->forEachView([](CView* v) { v->setDirty(); });
}

} // namespace ovinta
