// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// OVExportPage: the main screen's export page (its mode 3). The user picks a
// sample rate, a sample format and normalisation in three option groups and
// presses SAVE; the page asks for a file (the host's file selector, else the
// platform's save dialog, else its own file-name entry) and then starts the
// editor's deferred export, which draws "Exporting, please wait..." first.
// A platform dialog that stays open while the host's GUI thread goes on
// answers later, through fileChosen or fileCancelled; until then the page
// says that it waits for the dialog and takes no presses.
// It also draws the red banner the main screen shows over its other modes
// after an export could not create its files.
//
// Owned by the main screen, which calls draw on each of its draws in mode 3
// and passes its presses and keys on, and calls drawErrorBanner after
// drawing any other mode. Positions are relative to the
// screen's top-left corner, which is also the picture's origin, so a box is
// hit exactly where it is drawn. GUI thread only.

#include "core/EditorHost.h"
#include "toolkit/CTextEdit.h"

#include <memory>
#include <string>

namespace ovinta {

class CBitmap;
class EditorPort;

// What the deferred export runs with: the page's choices and the chosen file.
struct ExportRequest {
    int format = 1;              // ExportFormat: 0 16-bit WAV, 1 float WAV, 2 float RAW
    float sampleRate = 44100.0f; // 44100, 48000 or 96000
    int normalise = 1;           // nonzero scales the loudest sample to 1.0
    std::string path;            // the chosen file; its three-letter extension is cut
};

// One option group of the page: a row of 80 x 16 boxes, 88 pixels apart.
struct ExportChoice {
    static constexpr int kMaxOptions = 4;
    static constexpr int kBoxWidth = 80;
    static constexpr int kBoxHeight = 16;
    static constexpr int kBoxStep = 88;
    static constexpr int kFullPhase = 128;

    int selected = -1;               // -1 none
    int count = 0;                   // options, 1..kMaxOptions
    int phase = 0;                   // highlight fade of the selected box, 0..kFullPhase
    char labels[kMaxOptions][32] = {};
    int x0 = 0, y0 = 0;              // top-left corner of the first box

    // The option whose box strictly contains `where`, or -1.
    int optionAt(CPoint where) const;
};

// How a file is asked for, and what came back.
enum class FileAnswer {
    kChosen,    // `chosenPath` holds the file
    kCancelled, // no file, nothing to do
    kNoDialog,  // no dialog exists: the page's own file-name entry asks
    kPending,   // a dialog is open; its answer comes through fileChosen or fileCancelled
};

class OVExportPage;

// The editor's side of the page.
class ExportPageListener {
public:
    virtual ~ExportPageListener() = default;
    // Asks the user for the file to export to: the host's file selector when
    // the host offers one, else the platform's save dialog. kNoDialog when
    // neither exists (the page then shows its own file-name entry).
    // kPending when the dialog stays open: the listener then owes `page`
    // exactly one fileChosen or fileCancelled, unless the page goes first.
    virtual FileAnswer selectExportFile(const FileRequest& request, std::string& chosenPath, OVExportPage& page) = 0;
    // A file was chosen: keep `request` for the deferred export. The page
    // then starts the countdown on the port.
    virtual void exportRequested(const ExportRequest& request) = 0;
    // `page` is being destroyed while its dialog is open: close the dialog,
    // and send the page nothing more.
    virtual void exportPageClosing(OVExportPage& page) = 0;
};

class OVExportPage {
public:
    static constexpr int kSize = 408; // the page is 408 x 408 pixels

    // What a press did, for the main screen.
    enum Click {
        kIgnored,       // nothing changed
        kRedraw,        // the page changed: mark the screen dirty
        kExportStarted, // a file was chosen and the countdown runs: also tell the screen's listener
    };

    // `background`: the page's picture (408 x 408), or null for a plain
    // panel; the page holds a reference while it lives. `initialPath`: the
    // folder and name prefix offered in the file dialog.
    OVExportPage(EditorPort& port, ExportPageListener& listener, CBitmap* background, std::string initialPath);
    ~OVExportPage();
    OVExportPage(const OVExportPage&) = delete;
    OVExportPage& operator=(const OVExportPage&) = delete;

    // Draws the whole page into `picture` at its origin.
    void draw(CDrawContext& picture);
    // A press at `where` (screen-relative) with `buttons` (kLButton, kRButton).
    Click mouseDown(CPoint where, int buttons);
    // Keys while the page's own file-name entry is open; kIgnored when the
    // key was not used.
    Click onKeyDown(const CKeyCode& key);
    // True while the file-name entry is open: the main screen should take
    // the keyboard (frame focus) and pass its keys to onKeyDown.
    bool wantsKeyboard() const { return entryOpen; }

    // The answer of a dialog that selectExportFile left open (kPending):
    // what SAVE would have done had the dialog answered at once. The
    // listener marks the screen dirty, and on kExportStarted tells the
    // screen's listener, as the main screen does after a press.
    Click fileChosen(const std::string& path);
    Click fileCancelled();
    // True from a SAVE whose dialog stays open until its answer.
    bool fileDialogOpen() const { return dialogOpen; }

    // The red "ERROR SAVING FILE!" banner, drawn over the other modes after a
    // failed export. Counts the engine's banner ticks down, one per call.
    static void drawErrorBanner(CDrawContext& picture, EditorPort& port);

    // The initial path of the file dialog: `moduleFolder` (with its trailing
    // slash) followed by "OvintaIR_" when that folder is writable, else the
    // user's music or home folder.
    static std::string defaultInitialPath(const std::string& moduleFolder);

    // For the main screen's owner and tests.
    const ExportChoice& group(int index) const { return groups[index]; }
    const char* entryText() const { return entry->getText(); }
    float chosenSampleRate() const { return chosenRate; }

    enum Group { kRateGroup, kFormatGroup, kNormaliseGroup, kSaveGroup, kGroupCount };

private:
    void drawGroup(CDrawContext& picture, ExportChoice& g);
    void drawEntry(CDrawContext& picture);
    void drawNotice(CDrawContext& picture, const char* text);
    Click save();
    Click entryClick(CPoint where);
    Click confirmEntry();
    void openEntry();
    Click startExport(const std::string& path);

    EditorPort& port;
    ExportPageListener& listener;
    CBitmap* background;             // one reference held, or null
    std::string initialPath;
    ExportChoice groups[kGroupCount];
    float chosenRate = -1.0f;        // rate of the last chosen file, -1 before one
    bool entryOpen = false;          // the own file-name entry is shown
    bool dialogOpen = false;         // a file dialog is open and owes its answer
    std::unique_ptr<CTextEdit> entry; // the entry's text field, page coordinates
};

} // namespace ovinta
