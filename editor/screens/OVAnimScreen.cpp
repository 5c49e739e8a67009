// OVAnimScreen: the room plan drawn from the engine's walls and positions.

#include "editor/screens/OVAnimScreen.h"

#include "editor/screens/ScreenPanel.h"
#include "engine/RoomEngine.h"

#include <cmath>

namespace {
constexpr int kPixelsPerMetre = 8;
constexpr CColor kWallOuter{180, 140, 75, 255};
constexpr CColor kWallInner{255, 225, 150, 255};
constexpr CColor kListener{255, 255, 150, 255};
constexpr CColor kSource1Stereo{255, 150, 150, 255};
constexpr CColor kSource2Stereo{150, 255, 150, 255};
constexpr CColor kSourceMono{255, 150, 255, 255};
} // namespace

OVAnimScreen::OVAnimScreen(const CRect& r, CControlListener* l, int t, RoomEngine& e)
    : CControl(r, l, t, nullptr), engine(e), picture(r.width(), r.height(), kBlackCColor)
{
    engine.editorSignals().viewDirty = true;
}

OVAnimScreen::~OVAnimScreen() = default;

int OVAnimScreen::gridPixel(float metres)
{
    return kPixelsPerMetre * static_cast<int>(metres) + kPixelsPerMetre / 2;
}

void OVAnimScreen::clearRoom()
{
    // Last first, so no wall moves down while the list empties.
    for (int last = engine.copyWalls(walls) - 1; last >= 0; --last)
        engine.deleteWall(last);
    engine.editorSignals().viewDirty = true;
    setDirty();
}

void OVAnimScreen::drawMarker(float xMetres, float yMetres, CColor colour)
{
    const int x = gridPixel(xMetres);
    const int y = gridPixel(yMetres);
    picture.setFillColor(colour);
    picture.fillEllipse(CRect(x - 5, y - 5, x + 6, y + 6));
}

void OVAnimScreen::drawRoom()
{
    screenpanel::paint(picture);
    picture.setClipRect(CRect(1, 1, picture.getWidth() - 1, picture.getHeight() - 1));
    // The walls are copied under the tracer's guard, then drawn.
    const int count = engine.copyWalls(walls);

    for (int pass = 0; pass < 2; ++pass) {
        picture.setFrameColor(pass == 0 ? kWallOuter : kWallInner);
        picture.setLineWidth(pass == 0 ? 7 : 3);
        for (int i = 0; i < count && i < kMaxWalls; ++i)
            picture.drawLine(CPoint(gridPixel(walls[i].x1), gridPixel(walls[i].y1)),
                             CPoint(gridPixel(walls[i].x2), gridPixel(walls[i].y2)));
    }
    picture.setLineWidth(1);

    const bool stereo = engine.derived().stereoOn != 0;
    if (stereo)
        drawMarker(engine.derived().sourceX[1], engine.derived().sourceY[1], kSource2Stereo);
    drawMarker(engine.derived().sourceX[0], engine.derived().sourceY[0], stereo ? kSource1Stereo : kSourceMono);
    drawMarker(engine.derived().listenerX, engine.derived().listenerY, kListener);
    picture.resetClipRect();
}

void OVAnimScreen::draw(CDrawContext* context)
{
    drawRoom();
    picture.copyFrom(context, size);
    setDirty(false);
}
