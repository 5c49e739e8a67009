// Runs zenity or kdialog as a child process and reads its answer from a pipe.

#include "toolkit/platform/ExternalFileDialog.h"

#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <string>
#include <vector>

namespace {

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

// Runs argv, returns its first output line; false on failure or cancel.
bool runForLine(const std::vector<std::string>& args, std::string& line)
{
    int fds[2];
    if (pipe(fds) != 0)
        return false;
    std::vector<char*> argv;
    for (const std::string& s : args)
        argv.push_back(const_cast<char*>(s.c_str()));
    argv.push_back(nullptr);
    const pid_t pid = fork();
    if (pid < 0) {
        close(fds[0]);
        close(fds[1]);
        return false;
    }
    if (pid == 0) {
        dup2(fds[1], STDOUT_FILENO);
        close(fds[0]);
        close(fds[1]);
        execv(argv[0], argv.data());
        _exit(127);
    }
    close(fds[1]);
    std::string out;
    char buffer[512];
    ssize_t n;
    while ((n = read(fds[0], buffer, sizeof buffer)) > 0)
        out.append(buffer, static_cast<size_t>(n));
    close(fds[0]);
    int status = 0;
    waitpid(pid, &status, 0);
    if (!WIFEXITED(status) || WEXITSTATUS(status) != 0)
        return false;
    line = out.substr(0, out.find('\n'));
    return !line.empty();
}

} // namespace

bool runExternalFileDialog(const FileDialogRequest& request, std::string& chosenPath)
{
    for (const char* program : {"zenity", "kdialog"}) {
        const std::string full = findInPath(program);
        if (!full.empty())
            return runForLine(dialogArguments(full, request), chosenPath);
    }
    return false;
}

bool externalFileDialogAvailable()
{
    return !findInPath("zenity").empty() || !findInPath("kdialog").empty();
}
