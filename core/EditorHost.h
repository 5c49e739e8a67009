// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// EditorHost: what the editor asks of the host it runs in, whatever the
// format: parameter values and the user's changes (which the host records
// as automation, inside gesture brackets), the host's file selector if it
// has one, and a new window size. Each format's adapter implements it; a
// tool without a host implements it over the core alone.
//
// Threads: the editor's (the host's GUI thread).

#include <string>

namespace ovinta {

// A file the editor asks the user for.
struct FileRequest {
    bool save = true;        // a file to write (else one to read)
    std::string title;       // the dialog's title
    std::string initialPath; // folder and name prefix offered first
    std::string typeName;    // the one file type offered: its name,
    std::string macType;     // its classic Mac type,
    std::string dosType;     // and its extension without the dot
};

class EditorHost {
public:
    virtual ~EditorHost() = default;

    // The parameter's value as the host reads it.
    virtual float getParameter(int index) = 0;
    // The user's change: the value is set and the host records it.
    virtual void setParameter(int index, float value) = 0;
    // Gesture brackets around the user's changes of `index`.
    virtual void beginEdit(int index) = 0;
    virtual void endEdit(int index) = 0;

    // True when the host offers its own file selector.
    virtual bool hasFileSelector() = 0;
    // Runs the host's selector (modal by the host's design): true with
    // `chosenPath` set when the user picked a file.
    virtual bool selectFile(const FileRequest& request, std::string& chosenPath) = 0;

    // Asks the host for a new window size; false when it refuses.
    virtual bool resize(int width, int height) = 0;
};

} // namespace ovinta
