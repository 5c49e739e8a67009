// SPDX-License-Identifier: GPL-3.0-or-later
// Runs zenity or kdialog as a child process: started with posix_spawn in a
// process group of its own, its standard output on a pipe that is read
// without waiting, its end collected with waitpid.

#include "toolkit/platform/ExternalFileDialog.h"

#include <fcntl.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <string>
#include <vector>

namespace ovinta {

namespace {

constexpr size_t kMaxOutputBytes = 64 * 1024; // far more than a path; the rest is dropped

// Full path of `program` in $PATH, or empty.
std::string findInPath(const char* program)
{
    const char* path = std::getenv("PATH");
    if (!path)
        return {};
    std::string all = path;
    size_t start = 0;
    while (start <= all.size()) {
        size_t end = all.find(':', start);
        if (end == std::string::npos)
            end = all.size();
        std::string candidate = all.substr(start, end - start) + "/" + program;
        if (end > start && access(candidate.c_str(), X_OK) == 0)
            return candidate;
        start = end + 1;
    }
    return {};
}

std::vector<std::string> dialogArguments(const std::string& program, const FileDialogRequest& r)
{
    const std::string pattern = r.filterExtension.empty() ? "*" : "*." + r.filterExtension;
    if (program.ends_with("zenity")) {
        std::vector<std::string> a{program, "--file-selection", "--title=" + r.title};
        if (r.save)
            a.insert(a.end(), {"--save", "--confirm-overwrite"});
        if (!r.initialPath.empty())
            a.push_back("--filename=" + r.initialPath);
        a.push_back("--file-filter=" + (r.filterName.empty() ? pattern : r.filterName) + " | " + pattern);
        return a;
    }
    return {program, r.save ? "--getsavefilename" : "--getopenfilename",
            r.initialPath.empty() ? "." : r.initialPath, pattern, "--title", r.title};
}

// One running dialog program and what it has written so far.
class ExternalFileDialog final : public FileDialogSession {
public:
    ExternalFileDialog(pid_t child, int outputFd) : pid(child), fd(outputFd) {}
    ~ExternalFileDialog() override;
    ExternalFileDialog(const ExternalFileDialog&) = delete;
    ExternalFileDialog& operator=(const ExternalFileDialog&) = delete;

    State poll(std::string& chosenPath) override;
    // Blocks until the program ends: the synchronous dialog.
    State wait(std::string& chosenPath);

private:
    void update(int waitFlags);
    void readOutput();
    void finish(bool exitedWell);

    pid_t pid;                // the program and its process group; -1 once collected
    int fd;                   // read end of its output pipe, non-blocking; -1 once closed
    bool outputEnded = false; // the pipe reported end of file (or failed)
    std::string output;       // what the program wrote, up to kMaxOutputBytes
    State state = kOpen;
};

ExternalFileDialog::~ExternalFileDialog()
{
    if (pid > 0) {
        // Closed before it answered: end the program and anything it started,
        // then collect it so that no zombie is left behind. After SIGKILL the
        // wait is only for the kernel to tear the process down.
        kill(-pid, SIGKILL);
        int status = 0;
        while (waitpid(pid, &status, 0) < 0 && errno == EINTR) {
        }
    }
    if (fd >= 0)
        close(fd);
}

FileDialogSession::State ExternalFileDialog::poll(std::string& chosenPath)
{
    if (state == kOpen)
        update(WNOHANG);
    if (state == kChosen)
        chosenPath = output;
    return state;
}

FileDialogSession::State ExternalFileDialog::wait(std::string& chosenPath)
{
    if (fd >= 0)
        fcntl(fd, F_SETFL, fcntl(fd, F_GETFL) & ~O_NONBLOCK);
    // Read to the end first: a program blocked on a full pipe never exits.
    readOutput();
    while (state == kOpen)
        update(0);
    return poll(chosenPath);
}

void ExternalFileDialog::update(int waitFlags)
{
    // Drained on every poll, so the program never blocks on a full pipe.
    readOutput();
    if (pid > 0) {
        int status = 0;
        const pid_t ended = waitpid(pid, &status, waitFlags);
        if (ended == pid) {
            pid = -1;
            readOutput(); // what it wrote just before it ended
            finish(WIFEXITED(status) && WEXITSTATUS(status) == 0);
            return;
        }
        if (!(ended < 0 && errno == ECHILD))
            return; // still running, or interrupted: ask again at the next poll
        // Collected by someone else: a host that ignores SIGCHLD or reaps
        // every child. The pid may be reused now, so it is never signalled
        // again; the closed pipe tells that the program ended, and a printed
        // path tells a choice from a cancel.
        pid = -1;
    }
    if (outputEnded)
        finish(true);
}

void ExternalFileDialog::readOutput()
{
    if (fd < 0 || outputEnded)
        return;
    char buffer[512];
    for (;;) {
        const ssize_t n = read(fd, buffer, sizeof buffer);
        if (n > 0) {
            const size_t room = kMaxOutputBytes - std::min(output.size(), kMaxOutputBytes);
            output.append(buffer, std::min(static_cast<size_t>(n), room));
            continue;
        }
        if (n < 0 && errno == EINTR)
            continue;
        if (n == 0 || errno != EAGAIN)
            outputEnded = true;
        return;
    }
}

void ExternalFileDialog::finish(bool exitedWell)
{
    // The answer is the first line; a cancelled dialog exits with 1.
    output.resize(std::min(output.find('\n'), output.size()));
    state = exitedWell && !output.empty() ? kChosen : kCancelled;
    if (fd >= 0)
        close(fd);
    fd = -1;
}

// Starts `args` (args[0] a full path) with its output on a pipe; null when
// it cannot be started.
std::unique_ptr<ExternalFileDialog> spawnDialog(const std::vector<std::string>& args)
{
    int fds[2];
    // Close-on-exec, so that no other child of the host keeps the pipe open.
    if (pipe2(fds, O_CLOEXEC) != 0)
        return nullptr;
    std::vector<char*> argv;
    for (const std::string& s : args)
        argv.push_back(const_cast<char*>(s.c_str()));
    argv.push_back(nullptr);

    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, fds[1], STDOUT_FILENO);
    posix_spawn_file_actions_addopen(&actions, STDIN_FILENO, "/dev/null", O_RDONLY, 0);
    // A process group of its own, so closing the dialog also ends whatever
    // the program started; default signal handling, whatever the host
    // blocked or ignored for itself.
    posix_spawnattr_t attributes;
    posix_spawnattr_init(&attributes);
    sigset_t noSignals, defaultSignals;
    sigemptyset(&noSignals);
    sigemptyset(&defaultSignals);
    for (int sig : {SIGPIPE, SIGTERM, SIGINT, SIGHUP, SIGQUIT, SIGCHLD})
        sigaddset(&defaultSignals, sig);
    posix_spawnattr_setpgroup(&attributes, 0);
    posix_spawnattr_setsigmask(&attributes, &noSignals);
    posix_spawnattr_setsigdefault(&attributes, &defaultSignals);
    posix_spawnattr_setflags(&attributes,
                             POSIX_SPAWN_SETPGROUP | POSIX_SPAWN_SETSIGMASK | POSIX_SPAWN_SETSIGDEF);

    pid_t pid = -1;
    const int failed = posix_spawn(&pid, argv[0], &actions, &attributes, argv.data(), environ);
    posix_spawnattr_destroy(&attributes);
    posix_spawn_file_actions_destroy(&actions);
    close(fds[1]);
    if (failed != 0) {
        close(fds[0]);
        return nullptr;
    }
    fcntl(fds[0], F_SETFL, fcntl(fds[0], F_GETFL) | O_NONBLOCK);
    return std::make_unique<ExternalFileDialog>(pid, fds[0]);
}

// The installed dialog program's arguments for `request`, or nothing.
std::vector<std::string> installedDialog(const FileDialogRequest& request)
{
    for (const char* program : {"zenity", "kdialog"}) {
        const std::string full = findInPath(program);
        if (!full.empty())
            return dialogArguments(full, request);
    }
    return {};
}

} // namespace

std::unique_ptr<FileDialogSession> startExternalFileDialog(const FileDialogRequest& request)
{
    const std::vector<std::string> args = installedDialog(request);
    if (args.empty())
        return nullptr;
    return spawnDialog(args);
}

bool runExternalFileDialog(const FileDialogRequest& request, std::string& chosenPath)
{
    const std::vector<std::string> args = installedDialog(request);
    std::unique_ptr<ExternalFileDialog> dialog = args.empty() ? nullptr : spawnDialog(args);
    return dialog && dialog->wait(chosenPath) == FileDialogSession::kChosen;
}

bool externalFileDialogAvailable()
{
    return !findInPath("zenity").empty() || !findInPath("kdialog").empty();
}

} // namespace ovinta
