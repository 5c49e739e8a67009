// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// VstHost: a small VST 2.4 host that loads a plug-in library and drives it
// only through the binary interface (entry point, dispatcher, parameter and
// process entries). It records every callback the plug-in makes, answers them
// as a plain host would, and lets tests choose its answers (version,
// capabilities). Used by the `vsthost` tool and the integration tests.
//
// Threads: any thread may call into the plug-in through it; the callback log
// is guarded by a mutex because a plug-in may call back from several threads.

#include "host/vst2.h"

#include <cstddef>
#include <map>
#include <mutex>
#include <string>
#include <vector>

namespace ovinta {

// One callback received from the plug-in.
struct HostCall {
    VstInt32 opcode = 0;
    VstInt32 index = 0;
    VstIntPtr value = 0;
    float opt = 0.0f;
    bool withEffect = false; // the plug-in passed its AEffect record
    std::string text;        // the capability asked for (audioMasterCanDo)
};

class VstHost {
public:
    VstHost() = default;
    ~VstHost();
    VstHost(const VstHost&) = delete;
    VstHost& operator=(const VstHost&) = delete;

    // ---- Host behaviour (set before load) ------------------------------------------
    void setVersionAnswer(VstIntPtr version) { versionAnswer = version; }
    // The answer to audioMasterCanDo(text); unlisted capabilities are answered 0.
    void setCapability(const std::string& text, VstIntPtr answer) { capabilities[text] = answer; }

    // ---- Loading ---------------------------------------------------------------------
    // Opens the library and calls its entry point. False with a message in
    // `error` when the library, the entry point or the effect is missing.
    bool load(const std::string& libraryPath, std::string& error);
    // Sends effClose (the plug-in destroys its effect) and releases the
    // library handle; the code itself stays mapped until the process ends.
    void unload();
    AEffect* effect() const { return plugin; }

    // ---- Calls into the plug-in ------------------------------------------------------------
    VstIntPtr dispatch(VstInt32 opcode, VstInt32 index = 0, VstIntPtr value = 0,
                       void* ptr = nullptr, float opt = 0.0f);
    // Text answer of a string opcode, read from a zeroed buffer of `capacity` bytes.
    std::string text(VstInt32 opcode, VstInt32 index = 0, VstIntPtr value = 0,
                     std::size_t capacity = 256);
    void setParameter(VstInt32 index, float value);
    float getParameter(VstInt32 index);
    void processReplacing(float** inputs, float** outputs, VstInt32 frames);
    void process(float** inputs, float** outputs, VstInt32 frames);
    void processDoubleReplacing(double** inputs, double** outputs, VstInt32 frames);

    // ---- Callback log ------------------------------------------------------------------------
    std::vector<HostCall> calls() const;
    int countCalls(VstInt32 opcode) const;
    void clearCalls();

private:
    static VstIntPtr callback(AEffect* effect, VstInt32 opcode, VstInt32 index, VstIntPtr value,
                              void* ptr, float opt);
    VstIntPtr answer(AEffect* effect, VstInt32 opcode, VstInt32 index, VstIntPtr value, void* ptr,
                     float opt);

    void* library = nullptr;
    AEffect* plugin = nullptr;
    VstIntPtr versionAnswer = 2400;
    std::map<std::string, VstIntPtr> capabilities;
    mutable std::mutex logLock;
    std::vector<HostCall> log; // guarded by logLock
};

} // namespace ovinta
