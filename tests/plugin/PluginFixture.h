// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Test fixture: a fresh instance of the built ovinta.so, loaded through
// VstHost and driven only through the binary interface.

#include "tools/vsthost/VstHost.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <string>
#include <vector>

#ifndef OVINTA_PLUGIN_PATH
#error "OVINTA_PLUGIN_PATH must name the built plug-in library"
#endif

namespace ovinta {

class PluginTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        std::string error;
        ASSERT_TRUE(host.load(OVINTA_PLUGIN_PATH, error)) << error;
        host.dispatch(effOpen);
    }

    int currentProgram() { return static_cast<int>(host.dispatch(effGetProgram)); }
    std::string programName() { return host.text(effGetProgramName); }
    std::string programName(int index) { return host.text(effGetProgramNameIndexed, index); }

    // Copy of the current program's chunk (9,432 bytes) or of the bank.
    std::vector<unsigned char> chunk(bool program)
    {
        void* data = nullptr;
        VstIntPtr size = host.dispatch(effGetChunk, program ? 1 : 0, 0, &data);
        if (data == nullptr || size <= 0)
            return {};
        auto* bytes = static_cast<unsigned char*>(data);
        return std::vector<unsigned char>(bytes, bytes + size);
    }

    VstHost host;
};

// Float stored little-endian at a byte offset of a chunk.
inline float floatAt(const std::vector<unsigned char>& bytes, std::size_t offset)
{
    float value = 0.0f;
    std::memcpy(&value, bytes.data() + offset, sizeof(value));
    return value;
}

inline void putFloat(std::vector<unsigned char>& bytes, std::size_t offset, float value)
{
    std::memcpy(bytes.data() + offset, &value, sizeof(value));
}

// A speaker arrangement record of any channel count, built as a host builds
// it: room for the declared eight speakers or for as many as it holds.
class HostArrangement {
public:
    HostArrangement(VstInt32 type, int channels)
        : bytes(speakerArrangementBytes(std::max(channels, kVstDeclaredSpeakers)), 0)
    {
        get()->type = type;
        get()->numChannels = channels;
    }
    void speaker(int i, VstInt32 type, const char* name)
    {
        VstSpeakerProperties& s = get()->speakers[i];
        s.type = type;
        std::strncpy(s.name, name, sizeof(s.name) - 1);
    }
    VstSpeakerArrangement* get() { return reinterpret_cast<VstSpeakerArrangement*>(bytes.data()); }

private:
    std::vector<unsigned char> bytes;
};

} // namespace ovinta
