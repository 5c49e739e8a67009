// SPDX-License-Identifier: GPL-3.0-or-later
// DirectEditorPort: the editor's calls, made directly on the core and engine.

#include "core/DirectEditorPort.h"

#include "audio/Exporter.h"
#include "core/EditorFollower.h"
#include "core/PluginCore.h"
#include "engine/RoomEngine.h"

#include <algorithm>
#include <iterator>

namespace ovinta {

namespace {
// The exporter reads parameters the way the host would; over a bare engine,
// from the engine.
class PortParameters : public ParameterSource {
public:
    PortParameters(PluginCore* c, RoomEngine& e) : core(c), engine(e) {}
    float getParameter(int index) override
    {
        return core != nullptr ? core->editorValue(index) : engine.getParameter(index);
    }

private:
    PluginCore* core;
    RoomEngine& engine;
};
} // namespace

DirectEditorPort::DirectEditorPort(PluginCore& c) : DirectEditorPort(c.engine(), &c) {}

DirectEditorPort::DirectEditorPort(RoomEngine& e) : DirectEditorPort(e, nullptr) {}

DirectEditorPort::DirectEditorPort(RoomEngine& e, PluginCore* c)
    : core(c), engine(e), parameters(std::make_unique<PortParameters>(c, e)),
      exporter(std::make_unique<Exporter>(engine, *parameters)),
      rayScratch(std::make_unique<RayView[]>(kMaxRays)), tapScratch(std::make_unique<PostedTap[]>(kMaxRays))
{
    // The port hands out the engine's temporary view numbers as they are.
    static_assert(int{kTemporaryScatter} == int{kTempViewScatter} && int{kTemporaryRays} == int{kTempViewRays} &&
                  int{kTemporaryEq} == int{kTempViewEq} && int{kTemporaryNone} == int{kTempViewNone});
}

DirectEditorPort::~DirectEditorPort() = default;

// ---- Values and signals --------------------------------------------------------------

EditorValues DirectEditorPort::values()
{
    const EngineValues& d = engine.derived();
    EditorValues v;
    for (int s = 0; s < 2; ++s) {
        v.sourceX[s] = d.sourceX[s];
        v.sourceY[s] = d.sourceY[s];
    }
    v.listenerX = d.listenerX;
    v.listenerY = d.listenerY;
    v.headSin = d.headSin;
    v.headCos = d.headCos;
    v.stereoOn = d.stereoOn;
    v.reverseOn = d.reverseOn;
    v.activeRays = d.activeRays;
    v.longestTap = d.longestTap;
    v.panX = d.panX;
    v.panY = d.panY;
    v.outputsSetting = d.outputsSetting;
    v.outputCount = d.outputCount;
    for (int role = 0; role < kOutputRoles; ++role) {
        v.outputGain[role] = d.outputGain[role];
        v.outputPeak[role] = d.outputPeak[role];
    }
    for (int band = 0; band < kEqBands; ++band)
        v.eqFrequency[band] = d.eqFrequency[band];
    v.heightSpread = d.heightSpread;
    v.sampleRate = d.sampleRate;
    v.mirrorValue = d.rawParam63;
    return v;
}

// ---- Signals ------------------------------------------------------------------------------

bool DirectEditorPort::viewDirty() { return engine.editorSignals().viewDirty; }
void DirectEditorPort::setViewDirty(bool dirty) { engine.editorSignals().viewDirty = dirty; }
bool DirectEditorPort::roomDirty() { return engine.editorSignals().roomDirty; }
void DirectEditorPort::clearRoomDirty() { engine.editorSignals().roomDirty = false; }
int DirectEditorPort::temporaryView() { return engine.editorSignals().tempViewMode; }
int DirectEditorPort::temporaryViewTicks() { return engine.editorSignals().tempViewTicks; }

void DirectEditorPort::setTemporaryView(int view, int ticks)
{
    engine.editorSignals().tempViewTicks = ticks;
    engine.editorSignals().tempViewMode = view;
}

void DirectEditorPort::setTemporaryViewTicks(int ticks) { engine.editorSignals().tempViewTicks = ticks; }

int DirectEditorPort::exportCountdown() { return engine.editorSignals().exportCountdown; }
void DirectEditorPort::setExportCountdown(int ticks) { engine.editorSignals().exportCountdown = ticks; }
bool DirectEditorPort::exportFailed() { return engine.editorSignals().exportError != 0; }
int DirectEditorPort::errorBannerTicks() { return engine.editorSignals().exportErrorTicks; }
void DirectEditorPort::setErrorBannerTicks(int ticks) { engine.editorSignals().exportErrorTicks = ticks; }
const OvintaProgram& DirectEditorPort::currentProgramRecord() { return engine.currentProgramRecord(); }
int DirectEditorPort::currentProgram() { return engine.currentProgram(); }

const char* DirectEditorPort::programName(int program)
{
    if (program < 0 || program >= kProgramCount)
        return "";
    return engine.programBank().programs[program].name;
}

// ---- Parameters and output configuration ------------------------------------------------

void DirectEditorPort::setParameter(int tag, float value)
{
    if (core != nullptr)
        core->setParameter(tag, value);
    else
        engine.setParameter(tag, value);
}

void DirectEditorPort::attachEditor(EditorFollower* follower)
{
    if (core != nullptr)
        core->attachEditor(follower);
}

void DirectEditorPort::takeParameterChanges(EditorFollower& follower)
{
    if (core != nullptr)
        core->parameterMirror().takeChanges([&](int tag, float value) { follower.followParameter(tag, value); });
}

void DirectEditorPort::dropParameterChanges()
{
    if (core != nullptr)
        core->parameterMirror().clear();
}

void DirectEditorPort::requestOutputConfiguration() { engine.requestOutputConfiguration(); }

void DirectEditorPort::applyOutputConfiguration(EditorFollower& menus)
{
    if (core != nullptr)
        core->applyOutputConfiguration(&menus);
}

// ---- Room snapshots and edits -----------------------------------------------------------

int DirectEditorPort::copyWalls(Wall* out) { return engine.copyWalls(out); }
bool DirectEditorPort::copyWall(int index, Wall& out) { return engine.copyWall(index, out); }
int DirectEditorPort::copyRayViews(RayOverlay* out, int count)
{
    const int got = engine.copyRayViews(rayScratch.get(), std::clamp(count, 0, kMaxRays));
    for (int k = 0; k < got; ++k) {
        const RayView& r = rayScratch[k];
        out[k] = RayOverlay{r.source,    r.startDirX, r.startDirY, r.firstHitX,
                            r.firstHitY, r.firstDirX, r.firstDirY, r.firstLevel};
    }
    return got;
}

int DirectEditorPort::takePostedFlags() { return engine.takePostedFlags(); }

int DirectEditorPort::copyPostedTaps(int first, int count, TapArrival* out)
{
    const int got = engine.copyPostedTaps(first, std::clamp(count, 0, kMaxRays), tapScratch.get());
    for (int k = 0; k < got; ++k) {
        const PostedTap& t = tapScratch[k];
        out[k].delay = t.delay;
        std::copy(std::begin(t.gain), std::end(t.gain), std::begin(out[k].gain));
        out[k].hiFreq = t.hiFreq;
    }
    return got;
}

void DirectEditorPort::copyAnalysisEq(int set, EQfilter* bandsOut) { engine.copyAnalysisEq(set, bandsOut); }

bool DirectEditorPort::insertWall(int x1, int y1, int x2, int y2) { return engine.insertWall(x1, y1, x2, y2); }
bool DirectEditorPort::deleteWall(int index) { return engine.deleteWall(index); }

int DirectEditorPort::deleteWallByEnds(int x1, int y1, int x2, int y2)
{
    return engine.deleteWallByEnds(x1, y1, x2, y2);
}

bool DirectEditorPort::dragVertex(int fromX, int fromY, int toX, int toY, VertexDrag kind)
{
    return engine.dragVertex(fromX, fromY, toX, toY,
                             kind == VertexDrag::Pick ? RoomEngine::VertexDrag::Pick : RoomEngine::VertexDrag::Move);
}

int DirectEditorPort::findDraggedWall(int x, int y) { return engine.findDraggedWall(x, y); }
int DirectEditorPort::findWallAt(int x, int y) { return engine.findWallAt(x, y); }
void DirectEditorPort::clearDragMarks() { engine.clearDragMarks(); }

void DirectEditorPort::moveMarker(Marker which, int x, int y)
{
    engine.moveMarker(static_cast<RoomEngine::Marker>(static_cast<int>(which)), x, y);
}

void DirectEditorPort::movePanner(float x, float y) { engine.movePanner(x, y); }
void DirectEditorPort::lowerOutputPeak(int role, float level) { engine.lowerOutputPeak(role, level); }

// ---- Idle work ------------------------------------------------------------------------------

int DirectEditorPort::idleTrace(int lastSeenTick) { return engine.idleTrace(lastSeenTick); }

bool DirectEditorPort::exportImpulse(int format, float sampleRate, int normalise, const std::string& path)
{
    // A failure on the way (a failed allocation) has already left the
    // engine playing and no half-written file; the editor goes on.
    try {
        exporter->exportImpulse(format, sampleRate, normalise, path);
        return true;
    } catch (...) {
        return false;
    }
}

} // namespace ovinta
