// SPDX-License-Identifier: GPL-3.0-or-later
// The export page on its own (option groups, SAVE, the own file-name entry,
// the banner) and through the opened editor (files written, open errors).

#include "core/DirectEditorPort.h"
#include "editor/screens/OVExportPage.h"
#include "EditorFixture.h"
#include "editor/EditorBitmaps.h"
#include "model/Parameters.h"
#include "tests/EngineTestSupport.h"
#include "tests/FakeDialogProgram.h"
#include "tests/RoomEngineTestAccess.h"
#include "toolkit/CBitmap.h"
#include "toolkit/COffscreenContext.h"
#include "toolkit/platform/ExternalFileDialog.h"

#include <cerrno>
#include <csignal>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <optional>
#include <unistd.h>

namespace ovinta {

namespace {

namespace fs = std::filesystem;

// Answers file requests from a script and keeps what it was asked and told.
struct ScriptedListener : ExportPageListener {
    FileAnswer answer = FileAnswer::kCancelled;
    std::string answerPath;
    int requests = 0;
    std::string fileTypeName, dosType, title, initialPath;
    bool save = false;
    std::optional<ExportRequest> started;

    FileAnswer selectExportFile(const FileRequest& s, std::string& path, OVExportPage&) override
    {
        ++requests;
        save = s.save;
        fileTypeName = s.typeName;
        dosType = s.dosType;
        title = s.title;
        initialPath = s.initialPath;
        if (answer == FileAnswer::kChosen)
            path = answerPath;
        return answer;
    }
    void exportRequested(const ExportRequest& r) override { started = r; }
    void exportPageClosing(OVExportPage&) override {}
};

// Centre of option `i` of a group's row at (x0, y0).
CPoint boxCentre(int x0, int y0, int i) { return CPoint(x0 + 88 * i + 40, y0 + 8); }
const CPoint kSave = boxCentre(32, 320, 0);
const CPoint kOk(256, 370);
const CPoint kCancel(344, 370);

CKeyCode typed(char c) { return CKeyCode{c, 0, 0}; }
CKeyCode virtualKey(int v) { return CKeyCode{0, v, 0}; }

class ExportPageTest : public ::testing::Test {
protected:
    std::unique_ptr<RoomEngine> engine = enginetest::makeEngine();
    DirectEditorPort port{*engine}; // the page's way to the engine
    ScriptedListener listener;
    OVExportPage page{port, listener, nullptr, "/music/OvintaIR_"};
    COffscreenContext picture{OVExportPage::kSize, OVExportPage::kSize};

    int selected(int g) const { return page.group(g).selected; }
    void type(const char* text)
    {
        for (; *text; ++text)
            page.onKeyDown(typed(*text));
    }
};

TEST_F(ExportPageTest, StartsOn44100FloatWavNormalisedWithSaveUnlit)
{
    EXPECT_EQ(selected(OVExportPage::kRateGroup), 0);
    EXPECT_EQ(selected(OVExportPage::kFormatGroup), 1);
    EXPECT_EQ(selected(OVExportPage::kNormaliseGroup), 1);
    EXPECT_EQ(selected(OVExportPage::kSaveGroup), -1);
}

TEST_F(ExportPageTest, SelectedOutlineFadesFromYellowToPale)
{
    // Rate and format start fully faded; "On" of normalise starts yellow and
    // gains 8 in blue per draw up to 208. The outline is the box's top-left pixel.
    const CPoint rateBox(32, 128), normaliseOn(32 + 88, 240);
    const struct {
        int draws;
        uint8_t normaliseBlue;
    } rows[] = {{1, 80}, {2, 88}, {16, 200}, {17, 208}, {30, 208}};
    int drawn = 0;
    for (const auto& row : rows) {
        while (drawn < row.draws) {
            page.draw(picture);
            ++drawn;
        }
        EXPECT_EQ(picture.getPixel(normaliseOn.h, normaliseOn.v), (CColor{255, 225, row.normaliseBlue, 255}))
            << row.draws;
        EXPECT_EQ(picture.getPixel(rateBox.h, rateBox.v), (CColor{255, 225, 208, 255})) << row.draws;
    }
    // "Off" is not outlined.
    EXPECT_NE(picture.getPixel(32, 240), (CColor{255, 225, 208, 255}));
}

TEST_F(ExportPageTest, PressesSelectOnlyStrictlyInsideABox)
{
    const struct {
        const char* name;
        CPoint where;
        int buttons;
        int rate, format, normalise;
    } rows[] = {
        {"48000", boxCentre(32, 128, 1), kLButton, 1, 1, 1},
        {"96000 by right button", boxCentre(32, 128, 2), kRButton, 2, 1, 1},
        {"Float RAW", boxCentre(32, 184, 2), kLButton, 0, 2, 1},
        {"Off", boxCentre(32, 240, 0), kLButton, 0, 1, 0},
        {"gap between 44100 and 48000", CPoint(116, 136), kLButton, 0, 1, 1},
        {"left edge of 48000", CPoint(120, 136), kLButton, 0, 1, 1},
        {"top edge of 48000", CPoint(150, 128), kLButton, 0, 1, 1},
        {"last pixel inside 48000", CPoint(199, 143), kLButton, 1, 1, 1},
        {"middle button", boxCentre(32, 128, 1), 2, 0, 1, 1},
    };
    for (const auto& row : rows) {
        OVExportPage fresh(port, listener, nullptr, "");
        fresh.mouseDown(row.where, row.buttons);
        EXPECT_EQ(fresh.group(OVExportPage::kRateGroup).selected, row.rate) << row.name;
        EXPECT_EQ(fresh.group(OVExportPage::kFormatGroup).selected, row.format) << row.name;
        EXPECT_EQ(fresh.group(OVExportPage::kNormaliseGroup).selected, row.normalise) << row.name;
    }
    EXPECT_EQ(listener.requests, 0);
}

TEST_F(ExportPageTest, CancelledSaveChangesNothingAndLeavesSaveUnlit)
{
    listener.answer = FileAnswer::kCancelled;
    EXPECT_EQ(page.mouseDown(kSave, kLButton), OVExportPage::kRedraw);
    EXPECT_EQ(listener.requests, 1);
    EXPECT_TRUE(listener.save);
    EXPECT_EQ(listener.title, "Select initial filename to save");
    EXPECT_EQ(listener.initialPath, "/music/OvintaIR_");
    EXPECT_EQ(listener.fileTypeName, "32 IEEE float WAV"); // the page's initial format
    EXPECT_EQ(listener.dosType, "wav");
    EXPECT_FALSE(listener.started);
    EXPECT_EQ(engine->editorSignals().exportCountdown, 0);
    EXPECT_EQ(selected(OVExportPage::kSaveGroup), -1);
    EXPECT_EQ(selected(OVExportPage::kFormatGroup), 1);
    EXPECT_EQ(page.chosenSampleRate(), -1.0f);
}

TEST_F(ExportPageTest, ChosenFileStartsTheCountdownWithThePageChoices)
{
    page.mouseDown(boxCentre(32, 128, 2), kLButton); // 96000
    page.mouseDown(boxCentre(32, 184, 0), kLButton); // 16-bit
    page.mouseDown(boxCentre(32, 240, 0), kLButton); // not normalised
    listener.answer = FileAnswer::kChosen;
    listener.answerPath = "/tmp/room.wav";
    EXPECT_EQ(page.mouseDown(kSave, kLButton), OVExportPage::kExportStarted);
    ASSERT_TRUE(listener.started);
    EXPECT_EQ(listener.started->format, 0);
    EXPECT_EQ(listener.started->sampleRate, 96000.0f);
    EXPECT_EQ(listener.started->normalise, 0);
    EXPECT_EQ(listener.started->path, "/tmp/room.wav");
    EXPECT_EQ(engine->editorSignals().exportCountdown, 1);
    EXPECT_EQ(selected(OVExportPage::kSaveGroup), -1);

    // While the countdown runs the notice covers the bottom of the page.
    page.draw(picture);
    EXPECT_EQ(picture.getPixel(8, 372), (CColor{255, 250, 225, 255}));
}

TEST_F(ExportPageTest, WithoutADialogTheOwnEntryTakesTheName)
{
    const char* home = std::getenv("HOME");
    const std::string homeDir = home ? home : "";
    const struct {
        const char* name;
        const char* typed; // appended to the offered path, after `erase` backspaces
        int erase;
        const char* path;
    } rows[] = {
        {"appended to the offered path", "room", 0, "/music/OvintaIR_room"},
        {"bare name goes to the offered folder", "take.wav", 9, "/music/take.wav"},
        {"absolute path", "/tmp/x.wav", 16, "/tmp/x.wav"},
    };
    for (const auto& row : rows) {
        ScriptedListener l;
        l.answer = FileAnswer::kNoDialog;
        OVExportPage p(port, l, nullptr, "/music/OvintaIR_");
        engine->editorSignals().exportCountdown = 0;
        EXPECT_EQ(p.mouseDown(kSave, kLButton), OVExportPage::kRedraw) << row.name;
        ASSERT_TRUE(p.wantsKeyboard()) << row.name;
        EXPECT_STREQ(p.entryText(), "/music/OvintaIR_") << row.name;
        for (int i = 0; i < row.erase; ++i)
            p.onKeyDown(virtualKey(kKeyBack));
        for (const char* c = row.typed; *c; ++c)
            p.onKeyDown(typed(*c));
        EXPECT_EQ(p.onKeyDown(virtualKey(kKeyReturn)), OVExportPage::kExportStarted) << row.name;
        ASSERT_TRUE(l.started) << row.name;
        EXPECT_EQ(l.started->path, row.path) << row.name;
        EXPECT_FALSE(p.wantsKeyboard()) << row.name;
        EXPECT_EQ(engine->editorSignals().exportCountdown, 1) << row.name;
    }
}

TEST_F(ExportPageTest, OwnEntryOkCancelAndEscape)
{
    listener.answer = FileAnswer::kNoDialog;
    const struct {
        const char* name;
        bool byOk; // else cancelled
        bool escape;
        bool exports;
    } rows[] = {{"OK box", true, false, true}, {"Cancel box", false, false, false}, {"Escape", false, true, false}};
    for (const auto& row : rows) {
        listener.started.reset();
        page.mouseDown(kSave, kLButton);
        ASSERT_TRUE(page.wantsKeyboard());
        // Presses elsewhere on the page are held off while the entry is open.
        EXPECT_EQ(page.mouseDown(boxCentre(32, 128, 1), kLButton), OVExportPage::kIgnored) << row.name;
        if (row.escape)
            page.onKeyDown(virtualKey(kKeyEscape));
        else
            page.mouseDown(row.byOk ? kOk : kCancel, kLButton);
        EXPECT_FALSE(page.wantsKeyboard()) << row.name;
        EXPECT_EQ(listener.started.has_value(), row.exports) << row.name;
        EXPECT_EQ(selected(OVExportPage::kRateGroup), 0) << row.name;
    }
}

TEST_F(ExportPageTest, ErrorBannerShowsFor100DrawsWithAFlickerEvery16)
{
    auto& signals = engine->editorSignals();
    const CColor banner{95, 0, 0, 255};
    signals.exportError = 0;
    signals.exportErrorTicks = 100;
    OVExportPage::drawErrorBanner(picture, port);
    EXPECT_NE(picture.getPixel(4, 176), banner); // no error, no banner
    EXPECT_EQ(signals.exportErrorTicks, 100);

    signals.exportError = 1;
    int shown = 0;
    for (int draw = 0; draw < 120; ++draw) {
        picture.setFillColor(kBlackCColor);
        picture.fillRect(CRect(0, 0, 408, 408));
        OVExportPage::drawErrorBanner(picture, port);
        shown += picture.getPixel(4, 176) == banner ? 1 : 0;
    }
    // Ticks 100..1: the six multiples of 16 (96, 80, .., 16) are skipped.
    EXPECT_EQ(shown, 94);
    EXPECT_EQ(signals.exportErrorTicks, 0);
}

// A folder of our own as HOME and XDG_CONFIG_HOME, restored afterwards.
class UserFolders : public ::testing::Test {
protected:
    struct EnvVar {
        EnvVar(const char* n, const std::string& value) : name(n)
        {
            if (const char* v = std::getenv(n))
                old = v;
            setenv(n, value.c_str(), 1);
        }
        ~EnvVar() { old ? setenv(name, old->c_str(), 1) : unsetenv(name); }
        const char* name;
        std::optional<std::string> old;
    };
    fs::path root = fs::temp_directory_path() / ("ovinta-folders-" + std::to_string(::getpid()));
    bool made = fs::create_directories(root / "config");
    EnvVar homeVar{"HOME", root.string()};
    EnvVar configVar{"XDG_CONFIG_HOME", (root / "config").string()};
    void TearDown() override { fs::remove_all(root); }
};

TEST_F(UserFolders, InitialPathAvoidsAFolderThatCannotBeWritten)
{
    const std::string home = root.string() + "/";
    const std::string missing = "/nonexistent-ovinta-folder/";
    EXPECT_EQ(OVExportPage::defaultInitialPath(home), home + "OvintaIR_");
    // No user-dirs file: the home folder.
    EXPECT_EQ(OVExportPage::defaultInitialPath(missing), home + "OvintaIR_");
    // A music folder that does not exist is passed over too.
    std::ofstream(root / "config" / "user-dirs.dirs") << "XDG_MUSIC_DIR=\"$HOME/Musik\"\n";
    EXPECT_EQ(OVExportPage::defaultInitialPath(missing), home + "OvintaIR_");
    fs::create_directories(root / "Musik");
    EXPECT_EQ(OVExportPage::defaultInitialPath(missing), home + "Musik/OvintaIR_");
}

TEST_F(UserFolders, ADialogProgramCountsOnlyWhenItIsOnThePath)
{
    const fs::path bin = root / "bin";
    fs::create_directories(bin);
    EnvVar path{"PATH", bin.string()};
    EXPECT_FALSE(externalFileDialogAvailable());
    for (const char* program : {"kdialog", "zenity"}) {
        const fs::path file = bin / program;
        std::ofstream(file) << "#!/bin/sh\n";
        fs::permissions(file, fs::perms::owner_all);
        EXPECT_TRUE(externalFileDialogAvailable()) << program;
        fs::remove(file);
    }
}

// ---- Through the editor: the page's own entry ends in files on disk -------------

class ExportThroughEditor : public EditorTest {
protected:
    void SetUp() override
    {
        EditorTest::SetUp();
        folder = fs::temp_directory_path() / ("ovinta-page-export-" + std::to_string(::getpid()));
        fs::create_directories(folder);
    }
    void TearDown() override
    {
        fs::remove_all(folder);
        EditorTest::TearDown();
    }
    // SAVE with no dialog, the name typed into the page's entry, Return.
    void exportBy(OVExportPage& page, const std::string& path)
    {
        page.mouseDown(kSave, kLButton);
        ASSERT_TRUE(page.wantsKeyboard());
        while (page.entryText()[0] != '\0')
            page.onKeyDown(virtualKey(kKeyBack));
        for (char c : path)
            page.onKeyDown(typed(c));
        ASSERT_EQ(page.onKeyDown(virtualKey(kKeyReturn)), OVExportPage::kExportStarted);
        idle(3, 1); // the countdown runs to the export
    }
    fs::path folder;
};

TEST_F(ExportThroughEditor, FiveOutputsGiveFiveNumberedFiles)
{
    openEditor();
    window->setFileDialogAvailable(false);
    RoomEngineTestAccess::values(engine()).outputCount = 5;
    OVExportPage page(editor->getPort(), *editor, nullptr, editor->exportInitialPath());
    exportBy(page, (folder / "hall.wav").string());
    EXPECT_EQ(engine().editorSignals().exportCountdown, 0);
    EXPECT_EQ(engine().editorSignals().exportError, 0);
    for (int c = 1; c <= 5; ++c) {
        const fs::path file = folder / ("hall" + std::to_string(c) + ".wav");
        ASSERT_TRUE(fs::exists(file)) << file;
        // The page's default: float WAV, a 46-byte header (the fmt chunk of
        // a non-PCM format carries cbSize) and whole floats.
        EXPECT_EQ((fs::file_size(file) - 46) % 4, 0u) << file;
        EXPECT_GT(fs::file_size(file), 46u) << file;
    }
    EXPECT_FALSE(fs::exists(folder / "hall6.wav"));
    EXPECT_EQ(control(param::kExportPage), 0.0f);
}

TEST_F(ExportThroughEditor, AFileThatCannotBeCreatedRaisesTheBanner)
{
    openEditor();
    window->setFileDialogAvailable(false);
    OVExportPage page(editor->getPort(), *editor, nullptr, "");
    exportBy(page, (folder / "no-such-folder" / "room.wav").string());
    EXPECT_EQ(engine().editorSignals().exportCountdown, 0);
    EXPECT_EQ(engine().editorSignals().exportError, 1);
    EXPECT_EQ(engine().editorSignals().exportErrorTicks, 100);
    COffscreenContext picture(408, 408);
    OVExportPage::drawErrorBanner(picture, editor->getPort());
    EXPECT_EQ(picture.getPixel(200, 176), (CColor{95, 0, 0, 255}));
}

TEST_F(ExportThroughEditor, WithoutTheHostsSelectorThePlatformDialogAnswers)
{
    openEditor();
    // The recording host answers no to every capability: the platform dialog.
    window->setFileDialogAnswer((folder / "a.wav").string());
    OVExportPage page(editor->getPort(), *editor, nullptr, "/x/OvintaIR_");
    const size_t asked = callsOf(audioMasterCanDo).size();
    EXPECT_EQ(page.mouseDown(kSave, kLButton), OVExportPage::kExportStarted);
    EXPECT_EQ(window->lastFileDialog().title, "Select initial filename to save");
    EXPECT_EQ(window->lastFileDialog().initialPath, "/x/OvintaIR_");
    EXPECT_EQ(window->lastFileDialog().filterExtension, "wav");
    EXPECT_EQ(editor->exportRequest().path, (folder / "a.wav").string());
    EXPECT_EQ(callsOf(audioMasterCanDo).size(), asked + 1);
}

// ---- Through the editor: the desktop's dialog program, which stays open -------------

class ExternalDialogExport : public ExportThroughEditor {
protected:
    // Opens the editor with dialogs started from the fake program, and a
    // page on it.
    void openWith(const std::string& answer)
    {
        program.emplace(answer);
        openEditor();
        window->setFileDialogStarter(&startExternalFileDialog);
        page = std::make_unique<OVExportPage>(editor->getPort(), *editor, nullptr, editor->exportInitialPath());
    }
    // Host idle calls until the page has its answer (ten seconds at most).
    void idleUntilAnswered()
    {
        for (int i = 0; i < 1000 && page->fileDialogOpen(); ++i) {
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
            idle();
        }
        ASSERT_FALSE(page->fileDialogOpen());
    }
    static bool running(pid_t pid) { return pid > 0 && ::kill(pid, 0) == 0; }

    std::optional<FakeDialogProgram> program;
    std::unique_ptr<OVExportPage> page;
};

TEST_F(ExternalDialogExport, IdleGoesOnAndThePageSaysSoWhileTheDialogIsOpen)
{
    openWith("exit 1");
    EXPECT_EQ(page->mouseDown(kSave, kLButton), OVExportPage::kRedraw);
    const pid_t pid = program->firstRun();
    idle(5); // each would hang here if idle waited for the dialog
    EXPECT_TRUE(running(pid));
    EXPECT_TRUE(page->fileDialogOpen());
    EXPECT_EQ(engine().editorSignals().exportCountdown, 0);
    COffscreenContext picture(408, 408);
    page->draw(picture);
    EXPECT_EQ(picture.getPixel(8, 372), (CColor{255, 250, 225, 255})); // the notice line
}

TEST_F(ExternalDialogExport, ASecondSaveWhileOpenStartsNothing)
{
    openWith("exit 1");
    page->mouseDown(kSave, kLButton);
    EXPECT_EQ(page->mouseDown(kSave, kLButton), OVExportPage::kIgnored);
    // Nor does SAVE on another page while this dialog is open.
    OVExportPage other(editor->getPort(), *editor, nullptr, "");
    other.mouseDown(kSave, kLButton);
    EXPECT_FALSE(other.fileDialogOpen());
    program->firstRun();
    idle(3);
    EXPECT_EQ(program->started().size(), 1u);
    program->release();
    idleUntilAnswered();
}

TEST_F(ExternalDialogExport, ChosenPathIsExportedCancelLeavesThePage)
{
    const struct {
        const char* name;
        bool exports; // the program prints a path, else it is cancelled
    } rows[] = {{"file chosen", true}, {"cancelled", false}};
    for (const auto& row : rows) {
        openWith(row.exports ? "echo '" + (folder / "hall.wav").string() + "'" : "exit 1");
        page->mouseDown(boxCentre(32, 128, 1), kLButton); // 48000
        page->mouseDown(kSave, kLButton);
        program->release();
        idleUntilAnswered();
        idle(3); // the countdown runs to the export
        EXPECT_EQ(fs::exists(folder / "hall1.wav"), row.exports) << row.name;
        EXPECT_EQ(fs::exists(folder / "hall2.wav"), row.exports) << row.name;
        EXPECT_EQ(page->chosenSampleRate(), row.exports ? 48000.0f : -1.0f) << row.name;
        EXPECT_EQ(page->group(OVExportPage::kSaveGroup).selected, -1) << row.name;
        EXPECT_EQ(engine().editorSignals().exportCountdown, 0) << row.name;
        page.reset();
        editor->close();
        fs::remove_all(folder);
        fs::create_directories(folder);
    }
}

TEST_F(ExternalDialogExport, ClosingWhileOpenKillsAndReapsTheDialog)
{
    const struct {
        const char* name;
        bool destroyEffect; // else only the editor's window closes
    } rows[] = {{"editor closed", false}, {"effect destroyed", true}};
    for (const auto& row : rows) {
        openWith("exit 1");
        const auto openFiles = [] { return std::distance(fs::directory_iterator("/proc/self/fd"), {}); };
        const auto filesBefore = openFiles();
        page->mouseDown(kSave, kLButton);
        const pid_t pid = program->firstRun();
        ASSERT_TRUE(running(pid)) << row.name;
        EXPECT_EQ(openFiles(), filesBefore + 1) << row.name; // the dialog's pipe
        if (row.destroyEffect)
            effect.reset();
        else
            editor->close();
        // Gone and collected: a zombie would still answer kill(pid, 0).
        const int answer = ::kill(pid, 0);
        const int error = errno;
        EXPECT_EQ(answer, -1) << row.name;
        EXPECT_EQ(error, ESRCH) << row.name;
        EXPECT_EQ(openFiles(), filesBefore) << row.name;
        // The page is told, and its end no longer reaches the editor.
        EXPECT_FALSE(page->fileDialogOpen()) << row.name;
        page.reset();
    }
}

// A host with its own file selector: it answers from `hostAnswer`, counts
// the selectors it opened and closed and keeps the record it was given.
struct SelectorHost {
    inline static char hostAnswer[64] = "";
    inline static int opened = 0, closed = 0;
    inline static VstInt32 command = -1, fileTypes = 0;
    inline static std::string title, initialPath, typeName, dosType;
    static VstIntPtr call(AEffect*, VstInt32 opcode, VstInt32, VstIntPtr, void* ptr, float)
    {
        if (opcode == audioMasterVersion)
            return 2400;
        if (opcode == audioMasterCanDo)
            return std::string(static_cast<const char*>(ptr)) == "openFileSelector" ? 1 : 0;
        auto* select = static_cast<VstFileSelect*>(ptr);
        if (opcode == audioMasterOpenFileSelector) {
            ++opened;
            command = select->command;
            fileTypes = select->nbFileTypes;
            title = select->title;
            initialPath = select->initialPath;
            typeName = select->fileTypes[0].name;
            dosType = select->fileTypes[0].dosType;
            select->returnPath = hostAnswer[0] ? hostAnswer : nullptr;
            return 1;
        }
        if (opcode == audioMasterCloseFileSelector)
            ++closed;
        return 0;
    }
};

TEST(ExportPageHost, TheHostsFileSelectorIsUsedWhenOffered)
{
    std::unique_ptr<EffectVST> effect(createEffectWithEditor(&SelectorHost::call));
    OvintaEditor* editor = editorOf(*effect);
    ASSERT_NE(editor, nullptr);
    // Closed window, so no platform dialog could answer.
    OVExportPage page(editor->getPort(), *editor, nullptr, "/x/OvintaIR_");
    std::strcpy(SelectorHost::hostAnswer, "/host/chosen.wav");
    EXPECT_EQ(page.mouseDown(kSave, kLButton), OVExportPage::kExportStarted);
    EXPECT_EQ(editor->exportRequest().path, "/host/chosen.wav");
    // The page's request, as the host's save-file record.
    EXPECT_EQ(SelectorHost::command, kVstFileSave);
    EXPECT_EQ(SelectorHost::fileTypes, 1);
    EXPECT_EQ(SelectorHost::title, "Select initial filename to save");
    EXPECT_EQ(SelectorHost::initialPath, "/x/OvintaIR_");
    EXPECT_EQ(SelectorHost::typeName, "32 IEEE float WAV");
    EXPECT_EQ(SelectorHost::dosType, "wav");
    SelectorHost::hostAnswer[0] = '\0'; // cancelled in the host's selector
    effect->getEngine().editorSignals().exportCountdown = 0;
    EXPECT_EQ(page.mouseDown(kSave, kLButton), OVExportPage::kRedraw);
    EXPECT_EQ(effect->getEngine().editorSignals().exportCountdown, 0);
    EXPECT_EQ(SelectorHost::opened, 2);
    EXPECT_EQ(SelectorHost::closed, 2);
}

} // namespace

} // namespace ovinta
