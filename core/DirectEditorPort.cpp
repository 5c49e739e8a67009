// DirectEditorPort: the editor's calls, made directly on the core and engine.

#include "core/DirectEditorPort.h"

#include "audio/Exporter.h"
#include "core/EditorFollower.h"
#include "core/PluginCore.h"
#include "engine/RoomEngine.h"

namespace ovinta {

namespace {
// The exporter reads parameters the way the host would; over a bare engine,
// from the engine.
class PortParameters : public ParameterSource {
public:
    PortParameters(PluginCore* c, RoomEngine& e) : core(c), engine(e) {}
    float getParameter(int index) override
    {
        return core != nullptr ? core->getParameter(index) : engine.getParameter(index);
    }

private:
    PluginCore* core;
    RoomEngine& engine;
};
} // namespace

DirectEditorPort::DirectEditorPort(PluginCore& c)
    : core(&c), engine(c.engine()), parameters(std::make_unique<PortParameters>(&c, c.engine())),
      exporter(std::make_unique<Exporter>(engine, *parameters))
{
}

DirectEditorPort::DirectEditorPort(RoomEngine& e)
    : core(nullptr), engine(e), parameters(std::make_unique<PortParameters>(nullptr, e)),
      exporter(std::make_unique<Exporter>(engine, *parameters))
{
}

DirectEditorPort::~DirectEditorPort() = default;

// ---- Values and signals --------------------------------------------------------------

const EngineValues& DirectEditorPort::values() { return engine.derived(); }
EditorSignals& DirectEditorPort::signals() { return engine.editorSignals(); }
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
int DirectEditorPort::copyRayViews(RayView* out, int count) { return engine.copyRayViews(out, count); }
int DirectEditorPort::takePostedFlags() { return engine.takePostedFlags(); }

int DirectEditorPort::copyPostedTaps(int first, int count, PostedTap* out)
{
    return engine.copyPostedTaps(first, count, out);
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
