// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// EditorPort: everything the editor's screens read and edit of the product,
// and nothing of any plug-in format. The screens never know how it is
// implemented: an in-process format uses DirectEditorPort (direct calls on
// the core and its engine); a format whose window runs apart from the DSP
// keeps its own copies of the records below and fills them from messages.
//
// The records it hands out are plain data of its own: the values the
// screens show (EditorValues, a copy), walls, ray overlays (RayOverlay),
// arrivals (TapArrival) and EQ band designs. The flags and countdowns the
// product raises for the screens are reached through calls.
//
// Threads: the editor's (the host's GUI thread), except where noted.

#include "base/Limits.h"
#include "dsp/EQfilter.h"
#include "model/OvintaProgram.h"

#include <string>

namespace ovinta {

class EditorFollower;

// The values the screens show, as the product derived them.
struct EditorValues {
    float sourceX[2] = {}, sourceY[2] = {}; // whole metres
    float listenerX = 0.0f, listenerY = 0.0f;
    float headSin = 0.0f, headCos = 1.0f;   // the listener's facing
    int stereoOn = 0, reverseOn = 0;
    int activeRays = 0;                     // ray slots in use
    int longestTap = 0;                     // most negative tap delay, samples, <= 0
    float panX = 0.0f, panY = 0.0f;         // surround panner, 0..46
    int outputsSetting = 0;                 // 0 two, 1 four, 2 five outputs
    int outputCount = 2;                    // outputs fed
    float outputGain[kOutputRoles] = {};    // panner gains, L R Ls Rs C
    float outputPeak[kOutputRoles] = {};    // meter peaks, L R Ls Rs C
    float eqFrequency[kEqBands] = {};       // Hz
    float heightSpread = 0.0f;              // the wall height's spread
    float sampleRate = 44100.0f;            // Hz
    float mirrorValue = 0.0f;               // last value sent to the MIRROR tag
};

// The temporary view the main screen shows after a change of scatter, ray
// count or equaliser.
enum TemporaryView : int { kTemporaryNone = 0, kTemporaryScatter = 1, kTemporaryRays = 2, kTemporaryEq = 3 };

// One ray as the main screen's overlays draw it.
struct RayOverlay {
    int source = 0;                            // 0 source 1, 1 source 2
    float startDirX = 0.0f, startDirY = 0.0f;  // emission direction (sin, cos)
    float firstHitX = 0.0f, firstHitY = 0.0f;  // first reflection, (0, 0) before one
    float firstDirX = 0.0f, firstDirY = 0.0f;  // direction after it x 20
    float firstLevel = 0.0f;                   // level at the first reflection
};

// A ray's latest arrival, as the impulse screen draws it.
struct TapArrival {
    int delay = 0;                   // <= 0, samples after the direct moment
    float gain[kOutputRoles] = {};   // L, R, Ls, Rs, C
    float hiFreq = 0.0f;             // high-frequency factor, 0..1
};

class EditorPort {
public:
    virtual ~EditorPort() = default;

    // ---- Values ---------------------------------------------------------------------------
    // What the product derived from its parameters: positions, rays, panner,
    // outputs, equaliser, meters, sample rate.
    virtual EditorValues values() = 0;
    // The current program's stored values and walls, its number and the
    // names of every program.
    virtual const OvintaProgram& currentProgramRecord() = 0;
    virtual int currentProgram() = 0;
    virtual const char* programName(int program) = 0; // up to kProgramNameSize bytes, maybe without a NUL

    // ---- Signals: raised by the product, cleared and counted down by the screens ----------
    // The main screen must rebuild its cached picture.
    virtual bool viewDirty() = 0;
    virtual void setViewDirty(bool dirty) = 0;
    // The room was replaced (a program or state): the room view rebuilds.
    virtual bool roomDirty() = 0;
    virtual void clearRoomDirty() = 0;
    // The temporary view (TemporaryView) and the editor ticks it stays.
    virtual int temporaryView() = 0;
    virtual int temporaryViewTicks() = 0;
    virtual void setTemporaryView(int view, int ticks) = 0; // ticks first, then the view
    virtual void setTemporaryViewTicks(int ticks) = 0;
    // The deferred export's countdown in editor ticks; 0 idle.
    virtual int exportCountdown() = 0;
    virtual void setExportCountdown(int ticks) = 0;
    // An export failed to write: its banner shows for this many more ticks.
    virtual bool exportFailed() = 0;
    virtual int errorBannerTicks() = 0;
    virtual void setErrorBannerTicks(int ticks) = 0;

    // ---- Parameters -------------------------------------------------------------------
    // A change the host does not record (the editor's own tags, switches).
    virtual void setParameter(int tag, float value) = 0;
    // Registers the editor (null detaches it): what the core tells it.
    virtual void attachEditor(EditorFollower* follower) = 0;
    // Calls follower.followParameter for every change posted since the last
    // call (value and flag: the latest value of each changed tag).
    virtual void takeParameterChanges(EditorFollower& follower) = 0;
    // Drops every pending change (the window opens with the current values).
    virtual void dropParameterChanges() = 0;

    // ---- Output configuration ----------------------------------------------------------
    virtual void requestOutputConfiguration() = 0;
    // Runs the configuration step; fills `menus`' pin menus while it is open.
    virtual void applyOutputConfiguration(EditorFollower& menus) = 0;

    // ---- Room snapshots ----------------------------------------------------------------
    // The active walls (up to kMaxWalls) into `out`; returns the count.
    virtual int copyWalls(Wall* out) = 0;
    // Wall `index` as the tracer sees it; false when there is none.
    virtual bool copyWall(int index, Wall& out) = 0;
    // The first `count` ray slots as the overlays draw them; returns how many.
    virtual int copyRayViews(RayOverlay* out, int count) = 0;
    // Clears the posted flags; returns how many taps were posted since.
    virtual int takePostedFlags() = 0;
    // The latest posted taps of slots [first, first + count); returns how many.
    virtual int copyPostedTaps(int first, int count, TapArrival* out) = 0;
    // The designs of the analysed EQ sets (0 for history 0, 1 for history 1).
    virtual void copyAnalysisEq(int set, EQfilter* bandsOut) = 0;

    // ---- Room edits (whole metres on the 50 x 50 m plan) ---------------------------
    virtual bool insertWall(int x1, int y1, int x2, int y2) = 0;
    virtual bool deleteWall(int index) = 0;
    virtual int deleteWallByEnds(int x1, int y1, int x2, int y2) = 0;
    enum class VertexDrag { Pick, Move };
    // Live preview of a vertex drag: Pick marks every end at `from`, Move
    // moves the marked ones; true when an end moved.
    virtual bool dragVertex(int fromX, int fromY, int toX, int toY, VertexDrag kind) = 0;
    virtual int findDraggedWall(int x, int y) = 0;
    virtual int findWallAt(int x, int y) = 0;
    virtual void clearDragMarks() = 0;
    enum class Marker { Listener = 0, Source1 = 1, Source2 = 2 };
    virtual void moveMarker(Marker which, int x, int y) = 0;
    // The panner, in panner units (0..46); the host hears of it through
    // parameters 21 and 22.
    virtual void movePanner(float x, float y) = 0;
    // The meters lower a role's peak as it decays.
    virtual void lowerOutputPeak(int role, float level) = 0;

    // ---- Idle work ------------------------------------------------------------------------
    // When no audio block ran since `lastSeenTick`, traces a little on this
    // thread so the room builds while the host is stopped; returns the tick
    // to pass next time.
    virtual int idleTrace(int lastSeenTick) = 0;
    // Writes the room's impulse response to files named after `path`.
    // False when it failed on the way (the error banner shows then too).
    virtual bool exportImpulse(int format, float sampleRate, int normalise, const std::string& path) = 0;
};

} // namespace ovinta
