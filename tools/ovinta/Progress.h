#pragma once
// A progress bar on standard error for long work, drawn only when standard
// error is a terminal, so logs and pipes stay clean.

#include <string>

namespace ovinta {

class Progress {
public:
    // wanted false (--quiet) draws nothing even on a terminal.
    explicit Progress(std::string label, bool wanted = true);
    ~Progress();
    Progress(const Progress&) = delete;
    Progress& operator=(const Progress&) = delete;

    void update(double fraction); // 0..1, redrawn when the shown percentage moves
    void finish();

private:
    std::string label;
    bool enabled;
    int shown = -1;
};

} // namespace ovinta
