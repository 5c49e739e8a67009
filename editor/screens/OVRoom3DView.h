// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// OVRoom3DView: mode 1 of the main screen. It shows the room in perspective so
// that its shape and height can be judged: the walls as shaded vertical
// panels on a tiled 50 x 50 m floor, the sources and the listener as discs.
// A flat-shaded polygon renderer in painter's order: no depth buffer, and a
// face with a corner behind the eye is left out whole.
//
// The main screen owns one and delegates to it while mode 1 is shown:
// draw() every tick, the mouse calls during a gesture, requestRebuild()
// whenever the room changed (entering the mode, the port's view-dirty signal, the
// wall height). A left drag turns the view, a right drag pans and zooms.
//
// Threads: requestRebuild may be called from any thread (the editor's
// parameter follow); everything else runs on the GUI thread. Nothing is
// allocated after construction.

#include "model/OvintaProgram.h"
#include "toolkit/COffscreenContext.h"
#include "toolkit/CView.h"

#include <atomic>
#include <cstdint>
#include <span>

namespace ovinta {

class CBitmap;
class EditorPort;

// A point of the room in metres: x and z horizontal with the grid centre at
// 0 (x to the right and z downwards on the plan), y vertical and growing
// downwards.
struct Point3D {
    float x = 0.0f, y = 0.0f, z = 0.0f;
};

// Where the eye is: it looks at the grid centre from `distance` metres,
// turned by `yaw` about the vertical and tilted by `pitch` (0 level, -pi/2
// straight down); `pan` shifts the picture sideways in metres.
struct Camera3D {
    static constexpr float kMinPitch = -1.5707964f;
    static constexpr float kMaxPitch = 0.0f;
    static constexpr float kMaxPan = 50.0f;
    static constexpr float kMinDistance = -20.0f;
    static constexpr float kMaxDistance = 150.0f;

    float yaw = 0.0f;          // radians
    float pitch = -0.7853982f; // radians, kMinPitch .. kMaxPitch
    float pan = 0.0f;          // metres, -kMaxPan .. kMaxPan
    float distance = 55.0f;    // metres, kMinDistance .. kMaxDistance
};

// The camera's projection, with its sines and cosines worked out once per
// picture.
class Projection3D {
public:
    static constexpr int kCentre = 204;       // pixel of the picture's centre
    static constexpr float kFocal = 300.0f;   // pixels per metre at 1 m depth
    static constexpr int kPixelLimit = 30000; // projected pixels are held within +-this

    explicit Projection3D(const Camera3D& camera);

    // The screen pixel of `p` and, in `along`, its distance along the
    // horizontal view axis (a). False, leaving both untouched, when the
    // point is at or behind the eye (or not a number).
    bool project(const Point3D& p, CPoint& pixel, float& along) const;
    // Depth of `p` in front of the eye, metres (h).
    float depth(const Point3D& p) const;

    float cosYaw, sinYaw, cosPitch, sinPitch;
    float distance, pan;
};

// What a face of the model stands for.
enum FaceKind : uint8_t {
    kWallFace = 0,
    kFloorTile = 1,
    kSource1Face = 2,
    kSource2Face = 3,
    kListenerFace = 4
};

// One face of the model: a wall panel, a floor tile or a marker.
struct Face3D {
    Point3D vertex[4];    // walls and tiles, in outline order
    float normalX = 0.0f; // walls: unit normal in the plan; (0, 0) for
    float normalY = 0.0f; // a wall of no length
    // Walls and tiles: the projected outline, the fifth point closing it.
    // Markers: ground point, the point 0.9 m lower, ring point, head point.
    CPoint screen[5];
    uint16_t shade = 0; // walls: 85..255
    FaceKind kind = kWallFace;
    bool visible = false;  // drawn in this picture
    bool usable = true;    // false for a wall whose ends are not finite room points
    float depthKey = 0.0f; // painter's key: larger is farther
    int index = 0;         // place in the model; breaks ties in the drawing order
};

class OVRoom3DView {
public:
    static constexpr int kSize = 408; // the picture is kSize x kSize pixels
    static constexpr int kFloorTiles = 100;
    static constexpr int kMarkerFaces = 3;
    static constexpr int kMaxFaces = kMaxWalls + kFloorTiles + kMarkerFaces;

    // `background` (may be null: a plain panel is painted) is the 3D view's
    // 408 x 408 picture; the view holds a reference to it for its life.
    OVRoom3DView(EditorPort& port, CBitmap* background);
    ~OVRoom3DView();
    OVRoom3DView(const OVRoom3DView&) = delete;
    OVRoom3DView& operator=(const OVRoom3DView&) = delete;

    // ---- Any thread ---------------------------------------------------------------
    // The room, its height or the positions changed: the next draw rebuilds
    // the model from the engine before projecting.
    void requestRebuild() { rebuildRequested.store(true, std::memory_order_release); }

    // ---- GUI thread -----------------------------------------------------------------
    // Draws the whole mode into `picture` (origin 0, 0): background, the
    // visible faces in painter's order, the markers.
    void draw(COffscreenContext& picture);

    // Mouse gesture, positions relative to the picture's top-left, buttons
    // as the toolkit gives them (kLButton turns, kRButton pans and zooms; a
    // press with both does nothing). kMouseEventTrack while the gesture
    // goes on; any handled event changed the camera and wants a redraw.
    CMouseEventResult mouseDown(CPoint where, int buttons);
    CMouseEventResult mouseMoved(CPoint where, int buttons);
    CMouseEventResult mouseUp(CPoint where, int buttons);
    void mouseCancel();

    // The ring sizes of the markers follow the room editor's animation
    // phases (0..15): source rings with the first, the listener's with the second.
    void setMarkerPhases(int sourcePhase, int listenerPhase);

    const Camera3D& camera() const { return cam; }
    void setCamera(const Camera3D& c);

    // The model as last drawn: every face, and the visible ones in drawing order.
    std::span<const Face3D> faces() const { return {faceArray, static_cast<size_t>(faceCount)}; }
    std::span<const Face3D* const> drawOrder() const { return {order, static_cast<size_t>(orderCount)}; }

    // Painter's order: floor tiles first, then the other faces from the
    // largest truncated depth key to the smallest; ties keep model order.
    // A strict total order, as std::sort requires.
    static bool drawsBefore(const Face3D& p, const Face3D& q);

private:
    void rebuildModel();
    void projectFaces();
    void projectPanel(Face3D& face, const Projection3D& projection) const;
    void projectMarker(Face3D& face, const Projection3D& projection) const;
    void sortFaces();
    void paintFaces(COffscreenContext& picture) const;
    void paintMarker(COffscreenContext& picture, const Face3D& face) const;

    EditorPort& port;
    CBitmap* background = nullptr;
    std::atomic<bool> rebuildRequested{true};

    Camera3D cam;
    int sourcePhase = 0;   // 0..15
    int listenerPhase = 0; // 0..15

    // Gesture state between mouse events.
    bool tracking = false;
    CPoint pressPoint;
    Camera3D pressCamera;

    Wall walls[kMaxWalls] = {};          // the engine's walls at the last rebuild
    Face3D faceArray[kMaxFaces];         // walls in list order, tiles, markers
    const Face3D* order[kMaxFaces] = {}; // visible faces in drawing order
    int faceCount = 0;
    int orderCount = 0;
};

} // namespace ovinta
