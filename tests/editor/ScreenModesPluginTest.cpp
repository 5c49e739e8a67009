// SPDX-License-Identifier: GPL-3.0-or-later
// The main screen's other modes through the built plug-in library (ovinta.so),
// its editor in a window on an Xvfb server of the test's own and driven with
// real pointer and key events: the EQ view's band drags reach the host as
// automation, the 3D view turns, the export page's own file-name entry
// writes the files, and the last help page's click closes the help.

#include "tests/VirtualDisplay.h"
#include "host/vst2.h"
#include "model/ParameterFormulas.h"
#include "model/Parameters.h"
#include "resources/EditorLayout.h"
#include "toolkit/platform/X11TestSupport.h"
#include "tools/vsthost/VstHost.h"

#include <gtest/gtest.h>

#include <chrono>
#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <memory>
#include <set>
#include <string>
#include <thread>
#include <vector>

namespace ovinta {

namespace {

constexpr int kWindowWidth = 704;
constexpr int kWindowHeight = 560;
constexpr float kRate = 44100.0f;

// The window point in the middle of a button's rectangle.
CPoint middleOf(int tag)
{
    for (const layout::ButtonPlace& b : layout::kButtons)
        if (b.tag == tag)
            return CPoint((b.rect.left + b.rect.right) / 2, (b.rect.top + b.rect.bottom) / 2);
    return CPoint(-1, -1);
}

CRect buttonRect(int tag)
{
    for (const layout::ButtonPlace& b : layout::kButtons)
        if (b.tag == tag)
            return b.rect;
    return CRect();
}

int differingPixels(const std::vector<uint32_t>& a, const std::vector<uint32_t>& b)
{
    int count = 0;
    for (size_t i = 0; i < a.size() && i < b.size(); ++i)
        count += a[i] != b[i] ? 1 : 0;
    return count;
}

class ScreenModesPluginTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        if (!startVirtualDisplay(server))
            GTEST_SKIP() << "Xvfb is not installed";
        window = std::make_unique<X11TestHost>(kWindowWidth, kWindowHeight);
        ASSERT_TRUE(window->isOpen());
        std::string error;
        host = std::make_unique<VstHost>();
        ASSERT_TRUE(host->load(OVINTA_PLUGIN_PATH, error)) << error;
        host->dispatch(effSetSampleRate, 0, 0, nullptr, kRate);
        host->dispatch(effSetBlockSize, 0, 256);
        host->dispatch(effMainsChanged, 0, 1);
        ASSERT_EQ(host->dispatch(effEditOpen, 0, 0, window->parentHandle()), 1);
        idleFor(std::chrono::milliseconds(300));
        child = window->lastChild();
        ASSERT_NE(child, nullptr);
    }
    void TearDown() override
    {
        if (host && host->effect())
            host->dispatch(effEditClose);
        host.reset();
        window.reset();
        server.reset();
    }

    void idleFor(std::chrono::milliseconds span)
    {
        const auto end = std::chrono::steady_clock::now() + span;
        while (std::chrono::steady_clock::now() < end) {
            host->dispatch(effEditIdle);
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
        }
    }
    void click(CPoint at, int button = 1)
    {
        window->sendPress(child, at.h, at.v, button);
        window->sendRelease(child, at.h, at.v, button);
        idleFor(std::chrono::milliseconds(150));
    }
    // A drag in ten motion steps, as the X server delivers one.
    void drag(CPoint from, CPoint to, int button)
    {
        window->sendPress(child, from.h, from.v, button);
        for (int step = 1; step <= 10; ++step)
            window->sendMotion(child, from.h + (to.h - from.h) * step / 10, from.v + (to.v - from.v) * step / 10,
                               button);
        window->sendRelease(child, to.h, to.v, button);
        idleFor(std::chrono::milliseconds(200));
    }
    // The pixels of `r` (window coordinates), row by row.
    std::vector<uint32_t> pixels(const CRect& r)
    {
        const std::vector<uint32_t> all = window->readPixels(child, kWindowWidth, kWindowHeight);
        std::vector<uint32_t> out;
        for (int y = r.top; y < r.bottom; ++y)
            for (int x = r.left; x < r.right; ++x)
                out.push_back(all[static_cast<size_t>(y * kWindowWidth + x)]);
        return out;
    }
    std::vector<uint32_t> mainScreen() { return pixels(layout::kMainScreenRect); }

    // True when every automation of `index` in the log lies between a begin
    // edit and an end edit of the same index.
    static bool automatedInsideEdits(const std::vector<HostCall>& calls, int index)
    {
        bool editing = false;
        bool pendingEnd = false;
        for (const HostCall& c : calls) {
            if (c.index != index)
                continue;
            if (c.opcode == audioMasterBeginEdit)
                editing = true;
            else if (c.opcode == audioMasterEndEdit)
                editing = pendingEnd = false;
            else if (c.opcode == audioMasterAutomate && !editing)
                return false;
            else if (c.opcode == audioMasterAutomate)
                pendingEnd = true;
        }
        return !editing && !pendingEnd;
    }

    std::unique_ptr<VirtualDisplay> server;
    std::unique_ptr<X11TestHost> window;
    std::unique_ptr<VstHost> host;
    void* child = nullptr;
};

TEST_F(ScreenModesPluginTest, EqViewBandDragAutomatesTheFourKnobsOfItsQuantityInsideAnEdit)
{
    click(middleOf(param::kEQView));
    constexpr int kBand = 1; // the second band's marker is dragged
    struct Case {
        const char* name;
        int button;
        int row;          // 1 gain, 2 width
        float valueStep;  // raw value per pixel of the drag
        bool vertical;    // gain follows the pointer up, width to the right
    };
    const Case cases[] = {
        {"left drag: gain", 1, 1, 1.0f / 320.0f, true},
        {"right drag: width", 3, 2, 0.005f, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        // The marker's column on the cube-root axis (0 Hz .. half the rate over 400 pixels).
        const float hz = formula::eqFrequencyHz(host->getParameter(param::kEQfreq1 + 3 * kBand));
        const int column = static_cast<int>(400.0f * std::cbrt(2.0f * hz / kRate)) + 1;
        const CPoint press(layout::kMainScreenRect.left + column, layout::kMainScreenRect.top + 204);
        float before[4];
        std::vector<uint32_t> knobsBefore[4];
        for (int band = 0; band < 4; ++band) {
            before[band] = host->getParameter(param::kEQfreq1 + 3 * band + c.row);
            knobsBefore[band] = pixels(CRect::fromSize(layout::kEqColumnLeft[band], layout::kEqRowTop[c.row],
                                                       layout::kEqKnobWidth, layout::kEqKnobHeight));
        }
        // 40 pixels away from the end of the range the value is nearer.
        const int pixels40 = before[kBand] <= 0.5f ? 40 : -40;
        const float expected = before[kBand] + static_cast<float>(pixels40) * c.valueStep;
        host->clearCalls();
        drag(press, c.vertical ? CPoint(press.h, press.v - pixels40) : CPoint(press.h + pixels40, press.v),
             c.button);

        const std::vector<HostCall> calls = host->calls();
        std::set<int> automated;
        float reported = -1.0f;
        for (const HostCall& call : calls) {
            if (call.opcode != audioMasterAutomate)
                continue;
            automated.insert(call.index);
            if (call.index == param::kEQfreq1 + 3 * kBand + c.row)
                reported = call.opt;
        }
        const std::set<int> fourKnobs = {param::kEQfreq1 + c.row, param::kEQfreq2 + c.row,
                                         param::kEQfreq3 + c.row, param::kEQfreq4 + c.row};
        EXPECT_EQ(automated, fourKnobs);
        for (int index : fourKnobs)
            EXPECT_TRUE(automatedInsideEdits(calls, index)) << "parameter " << index;
        EXPECT_NEAR(reported, expected, 1e-5f);
        for (int band = 0; band < 4; ++band) {
            const int index = param::kEQfreq1 + 3 * band + c.row;
            const auto knob = pixels(CRect::fromSize(layout::kEqColumnLeft[band], layout::kEqRowTop[c.row],
                                                     layout::kEqKnobWidth, layout::kEqKnobHeight));
            if (band == kBand) {
                EXPECT_NEAR(host->getParameter(index), expected, 1e-5f);
                EXPECT_GT(differingPixels(knob, knobsBefore[band]), 0) << "the dragged band's knob turns";
            } else {
                EXPECT_EQ(host->getParameter(index), before[band]) << "band " << band;
                EXPECT_EQ(differingPixels(knob, knobsBefore[band]), 0) << "band " << band;
            }
        }
    }
}

TEST_F(ScreenModesPluginTest, ThreeDViewTurnsWithALeftDragAndTellsTheHostNothing)
{
    click(middleOf(param::k3DView));
    const std::vector<uint32_t> first = mainScreen();
    idleFor(std::chrono::milliseconds(200));
    const std::vector<uint32_t> still = mainScreen();
    const int animation = differingPixels(first, still); // what the markers' animation alone changes

    host->clearCalls();
    const CPoint centre(layout::kMainScreenRect.left + 204, layout::kMainScreenRect.top + 204);
    drag(centre, CPoint(centre.h + 120, centre.v + 40), 1);
    const int turned = differingPixels(still, mainScreen());
    EXPECT_GT(turned, 408 * 408 / 20) << "a turned floor covers much of the picture";
    EXPECT_GT(turned, 10 * animation);
    for (const HostCall& c : host->calls())
        EXPECT_TRUE(c.opcode != audioMasterAutomate && c.opcode != audioMasterBeginEdit &&
                    c.opcode != audioMasterEndEdit)
            << "opcode " << c.opcode << " index " << c.index;
}

TEST_F(ScreenModesPluginTest, ExportWithoutAnyFileDialogWritesFiveFilesNamedInTheOwnEntry)
{
    namespace fs = std::filesystem;
    host->setParameter(param::kSurround, 2.0f); // five outputs
    idleFor(std::chrono::milliseconds(100));
    const std::vector<uint32_t> editView = mainScreen();
    const std::vector<uint32_t> exportOff = pixels(buttonRect(param::kExportPage));

    // No dialog program can be found, and the host offers no selector.
    char folderTemplate[] = "/tmp/ovinta-export-XXXXXX";
    ASSERT_NE(mkdtemp(folderTemplate), nullptr);
    const fs::path folder = folderTemplate;
    const std::string savedPath = std::getenv("PATH") ? std::getenv("PATH") : "";
    setenv("PATH", folder.c_str(), 1);

    click(middleOf(param::kExportPage));
    click(CPoint(layout::kMainScreenRect.left + 72, layout::kMainScreenRect.top + 328)); // SAVE
    for (int k = 0; k < 255; ++k) // the entry offers a path (at most 255 characters): clear it
        window->sendKey(child, "BackSpace");
    EXPECT_TRUE(window->typeText(child, (folder / "ir").c_str()));
    window->sendKey(child, "Return");
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(60);
    while (!fs::exists(folder / "ir5.wav") && std::chrono::steady_clock::now() < deadline)
        idleFor(std::chrono::milliseconds(100));
    idleFor(std::chrono::milliseconds(300));
    setenv("PATH", savedPath.c_str(), 1);

    for (int n = 1; n <= 5; ++n) {
        const fs::path file = folder / ("ir" + std::to_string(n) + ".wav");
        EXPECT_TRUE(fs::exists(file) && fs::file_size(file) > 44) << file;
    }
    EXPECT_FALSE(fs::exists(folder / "ir6.wav"));
    EXPECT_LT(differingPixels(editView, mainScreen()), 408 * 408 / 50) << "the edit view shows again";
    EXPECT_EQ(differingPixels(pixels(buttonRect(param::kExportPage)), exportOff), 0) << "EXPORT I.R. is off";
    fs::remove_all(folder);
}

TEST_F(ScreenModesPluginTest, EighthClickOnTheHelpPagesSwitchesHelpOff)
{
    const std::vector<uint32_t> editView = mainScreen();
    const std::vector<uint32_t> helpOff = pixels(buttonRect(param::kHelp));
    click(middleOf(param::kHelp));
    ASSERT_GT(differingPixels(pixels(buttonRect(param::kHelp)), helpOff), 0) << "HELP is on";
    const CPoint onScreen(layout::kMainScreenRect.left + 200, layout::kMainScreenRect.top + 300);
    for (int k = 0; k < 7; ++k)
        click(onScreen);
    EXPECT_GT(differingPixels(editView, mainScreen()), 408 * 408 / 2) << "the last page still shows";
    click(onScreen);
    EXPECT_EQ(differingPixels(pixels(buttonRect(param::kHelp)), helpOff), 0) << "HELP is off";
    EXPECT_LT(differingPixels(editView, mainScreen()), 408 * 408 / 50) << "the edit view shows again";
}

} // namespace

} // namespace ovinta
