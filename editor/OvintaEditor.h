// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// OvintaEditor: the plug-in's 704 x 560 window. It lays out about seventy
// controls over a fixed background picture, binds each to a tag (the
// parameter index it edits), sends the user's changes to the host, makes
// the controls follow parameter changes from the host, and runs the idle
// cycle: output configuration, screen animation, tracing while the host is
// stopped, the answer of an open file dialog and the deferred
// impulse-response export.
//
// The format's adapter owns the editor for the whole life of the plug-in
// instance, whether or not the window is ever opened; the engine belongs to
// the core. The editor reaches the product through the core and asks its
// host (EditorHost) for automation, gestures and file selection; it knows
// no plug-in format.
//
// Threads: everything runs on the host's GUI thread. Parameter changes from
// any thread reach it through the core's parameter mirror, which the editor
// takes in its idle and after its own changes; isOpen may be asked from any
// thread.

#include "editor/screens/OVExportPage.h"
#include "core/EditorFollower.h"
#include "core/EditorHost.h"
#include "core/EditorPort.h"
#include "model/OvintaProgram.h"
#include "resources/EditorLayout.h"
#include "toolkit/WindowEditor.h"
#include "toolkit/CControl.h"

#include <atomic>
#include <cstdint>
#include <memory>
#include <string>

namespace ovinta {

class CBitmap;
class CFileSelector;
class CParamDisplay;
class COptionMenu;
class EditorEqLink;
class OVAnimScreen;
class OVFakeControl;
class OVImpulseScreen;
class OVMeterScreen;

class OvintaEditor : public WindowEditor,
                     public EditorFollower,
                     public CControlListener,
                     public ExportPageListener {
public:
    // Takes the port to the product (owned from then on) and the host.
    OvintaEditor(std::unique_ptr<EditorPort> port, EditorHost& host);
    ~OvintaEditor() override;

    // ---- Window (host GUI thread) -----------------------------------------------
    bool open(void* parentWindow) override;
    void close() override;
    void idle() override;

    // ---- Parameter follow (GUI thread) ---------------------------------------------------
    // Follows every change posted to the core's mirror since the last call.
    void followPending();
    // Moves the controls of `tag` to `value` (the mirror's, or the editor's own).
    void followParameter(int tag, float value) override;

    // ---- Output configuration (from idle) ----------------------------------------------
    void setInputPinMenu(int menu, const char* const* names, int count) override;
    void refreshInputPin(int menu) override;
    void setOutputPinMenu(int role, const char* const* names, int count) override;

    // ---- Controls (GUI thread) ------------------------------------------------------------
    void valueChanged(CDrawContext* context, CControl* control) override;
    void beginEdit(int index) override;
    void endEdit(int index) override;
    // A screen's drag of a position parameter (8..13, 21, 22): begin edit
    // now; at the end, a value its invisible control still holds is sent
    // before end edit, so the host records the whole move inside the gesture.
    void beginPositionEdit(int tag);
    void endPositionEdit(int tag);

    // ---- Export page (GUI thread; EditorExport.cpp) ---------------------------------------
    FileAnswer selectExportFile(const FileRequest& request, std::string& chosenPath, OVExportPage& page) override;
    void exportRequested(const ExportRequest& request) override;
    void exportPageClosing(OVExportPage& page) override;
    // Where the export page's file dialog starts.
    static std::string exportInitialPath();

    // ---- State, for the screens and for tests -------------------------------------------------
    bool isOpen() const override { return openFlag.load(std::memory_order_acquire); }
    bool helpShown() const { return overlay.load(std::memory_order_relaxed) == kHelpOverlay; }
    EditorPort& getPort() { return port; }
    // The control bound to `tag` (0..68), or null (closed, or no such control).
    CControl* getControl(int tag) const;
    // The value display under the knob of `tag`, or null.
    CParamDisplay* getValueDisplay(int tag) const;
    OVAnimScreen* getMainScreen() const { return mainScreen; }
    ExportRequest& exportRequest() { return exportSettings; }
    CFileSelector* getFileSelector() const { return fileSelector.get(); }

    // The engine value the display of `tag` shows (see the value display table).
    float displayedValue(int tag) const;

private:
    static constexpr int kHelpOverlay = 2;
    static constexpr int kSharedBitmapCount = 21;

    // Construction of the window's contents (EditorControls.cpp).
    void createControls();
    void createKnobs();
    void createButtons();
    void createMenus();
    void createScreens();
    void createValueDisplays();
    void fillProgramMenu();
    void forgetControls();
    template <typename T> T* place(T* control);
    CBitmap* sharedBitmap(int id) const; // one the editor holds for life, or null

    // Parameter follow and listener (EditorFollow.cpp).
    void followView(int tag, float value);
    void followTool(int tag);
    void refreshValueDisplay(int tag);
    void reportPositions();
    void toggleHelp();
    void setControlValue(int tag, float value);
    int programEntry(int program) const;

    // Idle cycle (EditorIdle.cpp).
    void timedStep();
    void runDeferredExport();

    // The platform's file dialog (EditorExport.cpp).
    void pollFileDialog();
    void closeFileDialog();

    std::unique_ptr<EditorPort> portOwned;
    EditorPort& port;
    EditorHost& host;
    std::unique_ptr<CFileSelector> fileSelector;        // created at open
    std::unique_ptr<EditorEqLink> eqLink;               // the EQ view's way to the parameters
    OVExportPage* dialogPage = nullptr; // the page that waits for the open file dialog, or null
    ExportRequest exportSettings;

    CBitmap* background = nullptr;                     // window background, held for life
    CBitmap* sharedBitmaps[kSharedBitmapCount] = {};   // lent to the screens, held for life

    // Controls by tag; all null while the window is closed.
    CControl* controls[kTagCount] = {};
    CParamDisplay* displays[kTagCount] = {};
    OVAnimScreen* mainScreen = nullptr;
    OVImpulseScreen* impulseScreen = nullptr;
    OVMeterScreen* meterScreen = nullptr;
    COptionMenu* programMenu = nullptr;
    int entryProgram[kProgramCount] = {}; // program number of each program menu entry
    int programEntries = 0;
    int lastProcessTick = -1;          // process calls seen at the last idle trace

    std::atomic<int> overlay{0};        // 0 none, kHelpOverlay while the help pages show
    std::atomic<bool> openFlag{false};  // true between the end of open and close
    uint32_t lastTimedStep = 0;         // tick count (ms) of the last timed idle step
};

} // namespace ovinta
