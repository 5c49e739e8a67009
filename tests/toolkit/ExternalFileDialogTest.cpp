// SPDX-License-Identifier: GPL-3.0-or-later
// The desktop's dialog program as a child process: its arguments, how its
// output and exit status become an answer, and a host that lets the system
// collect its children.

#include "toolkit/platform/ExternalFileDialog.h"
#include "tests/FakeDialogProgram.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <csignal>

namespace ovinta {

namespace {

// Polls `dialog` until it answers (ten seconds at most).
FileDialogSession::State answerOf(FileDialogSession& dialog, std::string& path)
{
    FileDialogSession::State state = dialog.poll(path);
    for (int i = 0; i < 1000 && state == FileDialogSession::kOpen; ++i) {
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
        state = dialog.poll(path);
    }
    return state;
}

FileDialogRequest saveRequest()
{
    FileDialogRequest request;
    request.title = "Select initial filename to save";
    request.initialPath = "/tmp/OvintaIR_";
    request.filterExtension = "wav";
    return request;
}

TEST(ExternalFileDialog, OutputAndExitStatusGiveTheAnswer)
{
    const struct {
        const char* name;
        const char* answer; // shell lines of the fake program
        FileDialogSession::State state;
        const char* path;
    } rows[] = {
        {"path printed", "echo /x/hall.wav", FileDialogSession::kChosen, "/x/hall.wav"},
        {"first line only", "printf '/x/a b.wav\\nmore\\n'", FileDialogSession::kChosen, "/x/a b.wav"},
        {"path without a newline", "printf /x/c.wav", FileDialogSession::kChosen, "/x/c.wav"},
        {"cancelled", "exit 1", FileDialogSession::kCancelled, ""},
        {"path but failed", "echo /x/hall.wav; exit 1", FileDialogSession::kCancelled, ""},
        {"nothing printed", "exit 0", FileDialogSession::kCancelled, ""},
        {"killed", "kill -9 $$", FileDialogSession::kCancelled, ""},
    };
    for (const auto& row : rows) {
        FakeDialogProgram program(row.answer);
        program.release();
        std::unique_ptr<FileDialogSession> dialog = startExternalFileDialog(saveRequest());
        ASSERT_NE(dialog, nullptr) << row.name;
        std::string path;
        EXPECT_EQ(answerOf(*dialog, path), row.state) << row.name;
        EXPECT_EQ(path, row.path) << row.name;
        // The answer stays.
        EXPECT_EQ(dialog->poll(path), row.state) << row.name;
    }
}

TEST(ExternalFileDialog, ArgumentsReachTheProgramUninterpreted)
{
    FakeDialogProgram program("echo /x/a.wav");
    const std::string marker = (program.folder / "ran").string();
    FileDialogRequest request = saveRequest();
    request.title = "it's $(touch " + marker + ") `touch " + marker + "`; touch " + marker;
    request.initialPath = "/tmp/my \"room\" $HOME/OvintaIR_";
    program.release();
    std::unique_ptr<FileDialogSession> dialog = startExternalFileDialog(request);
    ASSERT_NE(dialog, nullptr);
    std::string path;
    ASSERT_EQ(answerOf(*dialog, path), FileDialogSession::kChosen);
    const std::vector<std::string> args = program.arguments();
    const auto has = [&](const std::string& arg) {
        return std::find(args.begin(), args.end(), arg) != args.end();
    };
    EXPECT_TRUE(has("--title=" + request.title));
    EXPECT_TRUE(has("--filename=" + request.initialPath));
    EXPECT_TRUE(has("--save"));
    EXPECT_FALSE(std::filesystem::exists(marker));
}

TEST(ExternalFileDialog, ModalRunWaitsForTheAnswer)
{
    FakeDialogProgram program("echo /x/modal.wav");
    program.release();
    std::string path;
    EXPECT_TRUE(runExternalFileDialog(saveRequest(), path));
    EXPECT_EQ(path, "/x/modal.wav");
}

TEST(ExternalFileDialog, AnswersWhenTheSystemCollectsTheProgram)
{
    // A host that ignores SIGCHLD: the kernel reaps children itself, so
    // waitpid never sees this one end.
    FakeDialogProgram program("echo /x/reaped.wav");
    auto* old = std::signal(SIGCHLD, SIG_IGN);
    std::unique_ptr<FileDialogSession> dialog = startExternalFileDialog(saveRequest());
    program.release();
    std::string path;
    const FileDialogSession::State state = dialog ? answerOf(*dialog, path) : FileDialogSession::kOpen;
    std::signal(SIGCHLD, old);
    EXPECT_EQ(state, FileDialogSession::kChosen);
    EXPECT_EQ(path, "/x/reaped.wav");
}

} // namespace

} // namespace ovinta
