// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// FileDialogSession: a file dialog that has been started and may still be
// open. The owner polls it from its idle until it answers; destroying it
// closes a dialog that is still open, without an answer. GUI thread only.

#include <optional>
#include <string>

namespace ovinta {

class FileDialogSession {
public:
    enum State { kOpen, kChosen, kCancelled };

    virtual ~FileDialogSession() = default;
    // Never waits. kOpen while the user is still choosing; then kChosen with
    // `chosenPath` set, or kCancelled, on this and every later call.
    virtual State poll(std::string& chosenPath) = 0;
};

// A dialog that already has its answer: what a synchronous dialog leaves.
class AnsweredFileDialog final : public FileDialogSession {
public:
    explicit AnsweredFileDialog(std::optional<std::string> path) : answer(std::move(path)) {}

    State poll(std::string& chosenPath) override
    {
        if (!answer)
            return kCancelled;
        chosenPath = *answer;
        return kChosen;
    }

private:
    std::optional<std::string> answer; // the chosen path, none when cancelled
};

} // namespace ovinta
