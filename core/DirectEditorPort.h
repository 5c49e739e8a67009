// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// DirectEditorPort: the EditorPort of an editor that runs in the plug-in's
// own process: every call goes straight to the core and its engine, and the
// export runs the impulse-response exporter on the calling thread. Made
// over a PluginCore, or over a bare engine (screens drawn without a plug-in
// instance: tests and tools), where the calls about programs, parameters
// and the output configuration do nothing.

#include "core/EditorPort.h"

#include <memory>

namespace ovinta {

class Exporter;
class ParameterSource;
class PluginCore;
class RoomEngine;
struct PostedTap;
struct RayView;

class DirectEditorPort : public EditorPort {
public:
    explicit DirectEditorPort(PluginCore& core);
    explicit DirectEditorPort(RoomEngine& engine);
    ~DirectEditorPort() override;

    EditorValues values() override;
    bool viewDirty() override;
    void setViewDirty(bool dirty) override;
    bool roomDirty() override;
    void clearRoomDirty() override;
    int temporaryView() override;
    int temporaryViewTicks() override;
    void setTemporaryView(int view, int ticks) override;
    void setTemporaryViewTicks(int ticks) override;
    int exportCountdown() override;
    void setExportCountdown(int ticks) override;
    bool exportFailed() override;
    int errorBannerTicks() override;
    void setErrorBannerTicks(int ticks) override;
    const OvintaProgram& currentProgramRecord() override;
    int currentProgram() override;
    const char* programName(int program) override;

    void setParameter(int tag, float value) override;
    void attachEditor(EditorFollower* follower) override;
    void takeParameterChanges(EditorFollower& follower) override;
    void dropParameterChanges() override;

    void requestOutputConfiguration() override;
    void applyOutputConfiguration(EditorFollower& menus) override;

    int copyWalls(Wall* out) override;
    bool copyWall(int index, Wall& out) override;
    int copyRayViews(RayOverlay* out, int count) override;
    int takePostedFlags() override;
    int copyPostedTaps(int first, int count, TapArrival* out) override;
    void copyAnalysisEq(int set, EQfilter* bandsOut) override;

    bool insertWall(int x1, int y1, int x2, int y2) override;
    bool deleteWall(int index) override;
    int deleteWallByEnds(int x1, int y1, int x2, int y2) override;
    bool dragVertex(int fromX, int fromY, int toX, int toY, VertexDrag kind) override;
    int findDraggedWall(int x, int y) override;
    int findWallAt(int x, int y) override;
    void clearDragMarks() override;
    void moveMarker(Marker which, int x, int y) override;
    void movePanner(float x, float y) override;
    void lowerOutputPeak(int role, float level) override;

    int idleTrace(int lastSeenTick) override;
    bool exportImpulse(int format, float sampleRate, int normalise, const std::string& path) override;

private:
    DirectEditorPort(RoomEngine& engine, PluginCore* core);

    PluginCore* core; // null over a bare engine
    RoomEngine& engine;
    std::unique_ptr<ParameterSource> parameters; // the exporter's view of the parameters
    std::unique_ptr<Exporter> exporter;
    std::unique_ptr<RayView[]> rayScratch;   // kMaxRays, the engine's records before copying
    std::unique_ptr<PostedTap[]> tapScratch; // kMaxRays
};

} // namespace ovinta
