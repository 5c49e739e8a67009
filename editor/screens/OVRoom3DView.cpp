// SPDX-License-Identifier: GPL-3.0-or-later
// OVRoom3DView: the model (walls, floor tiles, markers), its projection, the
// painter's sort, the drawing, and the camera drags.

#include "editor/screens/OVRoom3DView.h"

#include "base/Convert.h"
#include "editor/screens/ScreenPanel.h"
#include "core/EditorPort.h"
#include "resources/EditorLayout.h"
#include "toolkit/CBitmap.h"

#include <algorithm>
#include <cmath>

namespace ovinta {

namespace {

constexpr float kPlanCentre = 25.0f; // plan metres of the grid centre
constexpr float kTileMetres = 5.0f;
constexpr int kTilesPerRow = 10;
constexpr float kMarkerDiscMetres = 0.9f; // a marker's disc radius, as a height
constexpr float kHeadMetres = 2.5f;       // length of the listener's head line
// Wall ends beyond this many metres from the centre are not drawn: they are
// no room point, and their projection would not stay finite.
constexpr float kFarthestEnd = 10000.0f;

constexpr CColor kTileFill{94, 68, 33, 255};
constexpr CColor kTileOutline{113, 85, 50, 255};
constexpr CColor kWallOutline{255, 255, 155, 255};

constexpr float kTurnPerPixel = 0.01f; // radians of yaw or pitch per pixel dragged
constexpr float kPanPerPixel = 0.25f;  // metres of pan per pixel dragged
constexpr float kZoomPerPixel = 1.0f;  // metres of distance per pixel dragged

bool usableEnd(float v)
{
    return std::isfinite(v) && std::fabs(v) <= kFarthestEnd;
}

// A projected coordinate: 204 - trunc(scaled), held within the pixel limit.
int toPixel(float scaled)
{
    const int offset = std::clamp(truncToInt(static_cast<double>(scaled)), -Projection3D::kPixelLimit,
                                  Projection3D::kPixelLimit);
    return Projection3D::kCentre - offset;
}

int pixelDistance(CPoint a, CPoint b)
{
    const double dx = static_cast<double>(b.h - a.h);
    const double dy = static_cast<double>(b.v - a.v);
    return truncToInt(std::sqrt(dx * dx + dy * dy) + 0.5);
}

CRect circleBox(CPoint centre, int radius)
{
    return CRect(centre.h - radius, centre.v - radius, centre.h + radius + 1, centre.v + radius + 1);
}

} // namespace

// ---- Projection ----------------------------------------------------------------------

Projection3D::Projection3D(const Camera3D& camera)
    : cosYaw(std::cos(camera.yaw)), sinYaw(std::sin(camera.yaw)), cosPitch(std::cos(camera.pitch)),
      sinPitch(std::sin(camera.pitch)), distance(camera.distance), pan(camera.pan)
{
}

float Projection3D::depth(const Point3D& p) const
{
    const float a = cosYaw * p.z + sinYaw * p.x;
    return distance - (a * cosPitch + p.y * sinPitch);
}

bool Projection3D::project(const Point3D& p, CPoint& pixel, float& along) const
{
    const float a = cosYaw * p.z + sinYaw * p.x;
    const float h = distance - (a * cosPitch + p.y * sinPitch);
    if (!(h > 0.0f))
        return false; // behind the eye, or not a number
    const float v = cosPitch * p.y - a * sinPitch;
    const float u = cosYaw * p.x - sinYaw * p.z + pan;
    // A point just in front of the eye lands far outside the picture; the
    // pixel limit keeps it a finite, drawable coordinate.
    const float perspective = -1.0f / h;
    pixel = CPoint(toPixel(perspective * u * kFocal), toPixel(perspective * v * kFocal));
    along = a;
    return true;
}

// ---- Construction ---------------------------------------------------------------------

OVRoom3DView::OVRoom3DView(EditorPort& e, CBitmap* bitmap) : port(e), background(bitmap)
{
    if (background)
        background->remember();
    for (int i = 0; i < kMaxFaces; ++i)
        faceArray[i].index = i;
}

OVRoom3DView::~OVRoom3DView()
{
    if (background)
        background->forget();
}

void OVRoom3DView::setMarkerPhases(int source, int listener)
{
    sourcePhase = source & 15;
    listenerPhase = listener & 15;
}

void OVRoom3DView::setCamera(const Camera3D& c)
{
    cam.yaw = std::isfinite(c.yaw) ? c.yaw : 0.0f;
    cam.pitch = std::clamp(std::isfinite(c.pitch) ? c.pitch : 0.0f, Camera3D::kMinPitch, Camera3D::kMaxPitch);
    cam.pan = std::clamp(std::isfinite(c.pan) ? c.pan : 0.0f, -Camera3D::kMaxPan, Camera3D::kMaxPan);
    cam.distance = std::clamp(std::isfinite(c.distance) ? c.distance : 55.0f, Camera3D::kMinDistance,
                              Camera3D::kMaxDistance);
}

// ---- Model -------------------------------------------------------------------------------

void OVRoom3DView::rebuildModel()
{
    const int wallCount = std::clamp(port.copyWalls(walls), 0, kMaxWalls);
    // The height control adds spread to every reflection; the picture shows
    // it as wall height: 0.5 H + 4 metres, from top to floor.
    const float H = port.values().heightSpread;
    const float spread = std::isfinite(H) ? H : 0.0f;
    const float top = -0.25f * spread - 3.0f;
    const float floor = 0.25f * spread + 1.0f;

    int n = 0;
    for (int w = 0; w < wallCount; ++w, ++n) {
        const Wall& wall = walls[w];
        Face3D& f = faceArray[n];
        f.kind = kWallFace;
        f.usable = usableEnd(wall.x1) && usableEnd(wall.y1) && usableEnd(wall.x2) && usableEnd(wall.y2);
        const float x1 = wall.x1 - kPlanCentre, z1 = wall.y1 - kPlanCentre;
        const float x2 = wall.x2 - kPlanCentre, z2 = wall.y2 - kPlanCentre;
        f.vertex[0] = {x1, top, z1};
        f.vertex[1] = {x2, top, z2};
        f.vertex[2] = {x2, floor, z2};
        f.vertex[3] = {x1, floor, z1};
        // The normal comes from the ends, so a wall of no length (possible
        // in a stored room) gets none instead of dividing by zero.
        const float dx = x2 - x1, dz = z2 - z1;
        const float length = std::sqrt(dx * dx + dz * dz);
        f.normalX = f.usable && length > 0.0f ? -dz / length : 0.0f;
        f.normalY = f.usable && length > 0.0f ? dx / length : 0.0f;
    }
    for (int row = 0; row < kTilesPerRow; ++row) {
        const float z0 = kTileMetres * static_cast<float>(row - 5);
        for (int column = 0; column < kTilesPerRow; ++column, ++n) {
            const float x0 = kTileMetres * static_cast<float>(column) - kPlanCentre;
            Face3D& f = faceArray[n];
            f.kind = kFloorTile;
            f.usable = true;
            f.vertex[0] = {x0, floor, z0};
            f.vertex[1] = {x0 + kTileMetres, floor, z0};
            f.vertex[2] = {x0 + kTileMetres, floor, z0 + kTileMetres};
            f.vertex[3] = {x0, floor, z0 + kTileMetres};
        }
    }
    for (FaceKind kind : {kSource1Face, kSource2Face, kListenerFace}) {
        faceArray[n].kind = kind;
        faceArray[n].usable = true;
        ++n;
    }
    faceCount = n;
}

// ---- Projection and order -------------------------------------------------------------

void OVRoom3DView::projectPanel(Face3D& face, const Projection3D& projection) const
{
    face.visible = false;
    if (!face.usable)
        return;
    float key = 0.0f;
    for (int v = 0; v < 4; ++v) {
        float along = 0.0f;
        if (!projection.project(face.vertex[v], face.screen[v], along))
            return; // a corner behind the eye drops the whole face
        key += projection.distance - along;
    }
    face.screen[4] = face.screen[0];
    face.depthKey = key;
    face.visible = std::isfinite(key);
    if (face.kind == kWallFace) {
        // The light lies along (0, 1) on the plan and turns with the view.
        const float facing = face.normalX * projection.sinYaw + face.normalY * projection.cosYaw;
        face.shade = static_cast<uint16_t>(85 + std::abs(truncToInt(static_cast<double>(170.0f * facing))));
    }
}

void OVRoom3DView::projectMarker(Face3D& face, const Projection3D& projection) const
{
    const EditorValues d = port.values();
    face.visible = false;
    float planX = d.listenerX, planY = d.listenerY;
    int phase = listenerPhase;
    if (face.kind == kSource1Face || face.kind == kSource2Face) {
        const int source = face.kind == kSource1Face ? 0 : 1;
        planX = d.sourceX[source];
        planY = d.sourceY[source];
        phase = sourcePhase;
    }
    if (face.kind == kSource2Face && d.stereoOn == 0)
        return; // the second source exists only with stereo sources
    const Point3D ground{planX - kPlanCentre, 0.0f, planY - kPlanCentre};
    Point3D lower = ground;
    lower.y += kMarkerDiscMetres;
    Point3D ring = ground;
    ring.y += static_cast<float>(phase + 9) * 0.1f;
    Point3D head = ground;
    head.x += kHeadMetres * d.headSin;
    head.z -= kHeadMetres * d.headCos;
    float along = 0.0f;
    if (!projection.project(ground, face.screen[0], along)
        || !projection.project(lower, face.screen[1], along)
        || !projection.project(ring, face.screen[2], along))
        return;
    if (face.kind == kListenerFace && !projection.project(head, face.screen[3], along))
        return;
    face.depthKey = 4.0f * projection.depth(ground);
    face.visible = std::isfinite(face.depthKey);
}

void OVRoom3DView::projectFaces()
{
    const Projection3D projection(cam);
    for (int i = 0; i < faceCount; ++i) {
        Face3D& face = faceArray[i];
        if (face.kind == kWallFace || face.kind == kFloorTile)
            projectPanel(face, projection);
        else
            projectMarker(face, projection);
    }
}

bool OVRoom3DView::drawsBefore(const Face3D& p, const Face3D& q)
{
    const bool pTile = p.kind == kFloorTile;
    const bool qTile = q.kind == kFloorTile;
    if (pTile != qTile)
        return pTile;
    if (!pTile) {
        const float pKey = std::trunc(p.depthKey);
        const float qKey = std::trunc(q.depthKey);
        if (pKey != qKey)
            return pKey > qKey;
    }
    return p.index < q.index;
}

void OVRoom3DView::sortFaces()
{
    orderCount = 0;
    for (int i = 0; i < faceCount; ++i)
        if (faceArray[i].visible)
            order[orderCount++] = &faceArray[i];
    std::sort(order, order + orderCount,
              [](const Face3D* p, const Face3D* q) { return drawsBefore(*p, *q); });
}

// ---- Drawing -------------------------------------------------------------------------------

void OVRoom3DView::paintMarker(COffscreenContext& picture, const Face3D& face) const
{
    CColor colour = layout::kListenerColour;
    if (face.kind == kSource1Face)
        colour = port.values().stereoOn != 0 ? layout::kSource1StereoColour : layout::kSourceMonoColour;
    else if (face.kind == kSource2Face)
        colour = layout::kSource2StereoColour;
    const CPoint centre = face.screen[0];
    picture.setFillColor(colour);
    picture.setFrameColor(colour);
    picture.fillEllipse(circleBox(centre, pixelDistance(centre, face.screen[1])));
    picture.drawEllipse(circleBox(centre, pixelDistance(centre, face.screen[2])));
    if (face.kind == kListenerFace)
        picture.drawLine(face.screen[3], centre);
}

void OVRoom3DView::paintFaces(COffscreenContext& picture) const
{
    picture.setLineWidth(1);
    picture.setLineStyle(kLineSolid);
    for (int i = 0; i < orderCount; ++i) {
        const Face3D& face = *order[i];
        if (face.kind == kFloorTile) {
            picture.setFillColor(kTileFill);
            picture.setFrameColor(kTileOutline);
        } else if (face.kind == kWallFace) {
            const int s = face.shade;
            picture.setFillColor(CColor{static_cast<uint8_t>(s), static_cast<uint8_t>(7 * s / 8),
                                        static_cast<uint8_t>(5 * s / 8), 255});
            picture.setFrameColor(kWallOutline);
        } else {
            paintMarker(picture, face);
            continue;
        }
        picture.fillPolygon(std::span<const CPoint>(face.screen, 4));
        picture.drawPolyline(std::span<const CPoint>(face.screen, 5));
    }
}

void OVRoom3DView::draw(COffscreenContext& picture)
{
    if (rebuildRequested.exchange(false, std::memory_order_acquire) || faceCount == 0)
        rebuildModel();
    projectFaces();
    sortFaces();

    picture.resetClipRect();
    if (background)
        background->draw(&picture, CRect(0, 0, kSize, kSize));
    else
        screenpanel::paint(picture);
    paintFaces(picture);
}

// ---- Mouse ---------------------------------------------------------------------------------

CMouseEventResult OVRoom3DView::mouseDown(CPoint where, int buttons)
{
    const int held = buttons & (kLButton | kRButton);
    if (held != kLButton && held != kRButton)
        return kMouseEventNotHandled; // no button of ours, or both at once
    tracking = true;
    pressPoint = where;
    pressCamera = cam;
    return kMouseEventTrack;
}

CMouseEventResult OVRoom3DView::mouseMoved(CPoint where, int buttons)
{
    if (!tracking)
        return kMouseEventNotHandled;
    const int held = buttons & (kLButton | kRButton);
    if (held == 0) {
        tracking = false; // the release was lost
        return kMouseEventHandled;
    }
    const float dx = static_cast<float>(where.h - pressPoint.h);
    const float dy = static_cast<float>(where.v - pressPoint.v);
    if (held == kLButton) {
        cam.yaw = pressCamera.yaw - kTurnPerPixel * dx;
        cam.pitch =
            std::clamp(pressCamera.pitch - kTurnPerPixel * dy, Camera3D::kMinPitch, Camera3D::kMaxPitch);
    } else if (held == kRButton) {
        cam.pan = std::clamp(pressCamera.pan + kPanPerPixel * dx, -Camera3D::kMaxPan, Camera3D::kMaxPan);
        cam.distance = std::clamp(pressCamera.distance + kZoomPerPixel * dy, Camera3D::kMinDistance,
                                  Camera3D::kMaxDistance);
    }
    return kMouseEventTrack;
}

CMouseEventResult OVRoom3DView::mouseUp(CPoint where, int buttons)
{
    if (!tracking)
        return kMouseEventNotHandled;
    if ((buttons & (kLButton | kRButton)) != 0)
        return mouseMoved(where, buttons); // the other button is still held
    tracking = false;
    return kMouseEventHandled;
}

void OVRoom3DView::mouseCancel()
{
    tracking = false;
}

} // namespace ovinta
