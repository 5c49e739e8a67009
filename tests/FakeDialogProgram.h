// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// A stand-in for the desktop's file dialog program: a shell script named
// zenity in a folder of its own, put first on PATH while the object lives.
// Each run records its pid and its arguments, waits until release() (ten
// seconds at most, so that a caller stuck waiting for it comes free and
// fails), then runs `answer` (shell lines: print a path, exit).

#include <sys/types.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <optional>
#include <string>
#include <thread>
#include <unistd.h>
#include <vector>

namespace ovinta {

class FakeDialogProgram {
public:
    explicit FakeDialogProgram(const std::string& answer)
        : folder(std::filesystem::temp_directory_path()
                 / ("ovinta-fake-dialog-" + std::to_string(::getpid()) + "-" + std::to_string(++instances)))
    {
        std::filesystem::create_directories(folder);
        const std::string dir = folder.string();
        std::ofstream(folder / "zenity") << "#!/bin/sh\n"
                                         << "echo $$ >> '" << dir << "/started'\n"
                                         << "printf '%s\\n' \"$@\" > '" << dir << "/args'\n"
                                         << "i=0\n"
                                         << "while [ ! -e '" << dir << "/release' ] && [ $i -lt 1000 ]; do\n"
                                         << "  sleep 0.01; i=$((i + 1))\n"
                                         << "done\n"
                                         << answer << "\n";
        std::filesystem::permissions(folder / "zenity", std::filesystem::perms::owner_all);
        if (const char* p = std::getenv("PATH"))
            oldPath = p;
        setenv("PATH", (dir + ":/usr/bin:/bin").c_str(), 1);
    }
    ~FakeDialogProgram()
    {
        oldPath ? setenv("PATH", oldPath->c_str(), 1) : unsetenv("PATH");
        std::filesystem::remove_all(folder);
    }
    FakeDialogProgram(const FakeDialogProgram&) = delete;
    FakeDialogProgram& operator=(const FakeDialogProgram&) = delete;

    // Lets every run, present and future, give its answer.
    void release() const { std::ofstream(folder / "release") << "go\n"; }
    // The pids of the runs so far.
    std::vector<pid_t> started() const
    {
        std::vector<pid_t> pids;
        std::ifstream in(folder / "started");
        for (pid_t pid; in >> pid;)
            pids.push_back(pid);
        return pids;
    }
    // Waits (up to ten seconds) until the first run has recorded itself.
    pid_t firstRun() const
    {
        for (int i = 0; i < 1000 && started().empty(); ++i)
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
        const std::vector<pid_t> pids = started();
        return pids.empty() ? -1 : pids.front();
    }
    // The arguments of the last run, one per line.
    std::vector<std::string> arguments() const
    {
        std::vector<std::string> lines;
        std::ifstream in(folder / "args");
        for (std::string line; std::getline(in, line);)
            lines.push_back(line);
        return lines;
    }

    const std::filesystem::path folder;

private:
    inline static int instances = 0;
    std::optional<std::string> oldPath;
};

} // namespace ovinta
