// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// VirtualDisplay: an Xvfb server of a test's own, for tests that open the
// editor on a real X server. running() is false when Xvfb is not installed
// (the test then skips).

#include <csignal>
#include <cstdlib>
#include <memory>
#include <string>
#include <sys/wait.h>
#include <unistd.h>

namespace ovinta {

// An Xvfb server of our own, on a display it picks itself.
class VirtualDisplay {
public:
    VirtualDisplay()
    {
        const char* candidates[] = {"/usr/bin/Xvfb", "/usr/local/bin/Xvfb"};
        const char* program = nullptr;
        for (const char* c : candidates)
            if (access(c, X_OK) == 0)
                program = c;
        if (program == nullptr)
            return;
        int fds[2];
        if (pipe(fds) != 0)
            return;
        pid = fork();
        if (pid == 0) {
            close(fds[0]);
            const std::string fd = std::to_string(fds[1]);
            execl(program, program, "-displayfd", fd.c_str(), "-screen", "0", "800x600x24", "-nolisten", "tcp",
                  "-noreset", static_cast<char*>(nullptr));
            _exit(127);
        }
        close(fds[1]);
        numberPipe = fds[0];
        // Xvfb writes the display number and then, in a second write, a
        // newline once it accepts connections. Closing the pipe between the
        // two would kill the server, so it is read up to the newline and
        // kept open until the server is stopped.
        std::string number;
        char c = 0;
        while (pid > 0 && read(numberPipe, &c, 1) == 1 && c != '\n')
            number += c;
        if (!number.empty())
            name = ":" + number;
    }
    ~VirtualDisplay()
    {
        if (pid > 0) {
            kill(pid, SIGTERM);
            waitpid(pid, nullptr, 0);
        }
        if (numberPipe >= 0)
            close(numberPipe);
    }
    bool running() const { return !name.empty(); }
    const std::string& displayName() const { return name; }

private:
    pid_t pid = -1;
    int numberPipe = -1;
    std::string name;
};

// Starts a server into `server` and points DISPLAY at it; false when Xvfb is
// not installed.
inline bool startVirtualDisplay(std::unique_ptr<VirtualDisplay>& server)
{
    server = std::make_unique<VirtualDisplay>();
    if (!server->running())
        return false;
    setenv("DISPLAY", server->displayName().c_str(), 1);
    return true;
}

} // namespace ovinta
