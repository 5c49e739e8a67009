// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Speaker layouts in the core's own terms: a host's description of its input
// and output channels (a role and a name for each), and the layout the
// plug-in offers when the host gives none. A format's adapter maps its own
// speaker records to these; the output configuration (PluginCore) turns
// them, with the outputs setting, into the number of fed outputs and the
// channel each output role plays on.
//
// The five output roles are numbered as the engine orders them:
// 0 L, 1 R, 2 Ls, 3 Rs, 4 C.

#include "base/Limits.h"

#include <cstddef>

namespace ovinta {

// Largest speaker layout taken from a host; larger (or empty, or negative)
// channel counts are refused.
constexpr int kMaxLayoutChannels = 64;
// Input layouts above this many channels are replaced by a six-channel one.
constexpr int kMaxInputLayoutChannels = 6;
constexpr std::size_t kSpeakerNameCapacity = 64; // NUL included

// What a channel plays. Mono is also the role of a channel nobody named.
enum class SpeakerRole : int {
    Mono,
    Left,
    Right,
    Centre,
    Lfe,
    LeftSurround,
    RightSurround,
    Other, // any role the plug-in does not route to
};

// The speaker each output role (L, R, Ls, Rs, C) looks for.
constexpr SpeakerRole kOutputRoleSpeaker[kOutputRoles] = {SpeakerRole::Left, SpeakerRole::Right,
                                                          SpeakerRole::LeftSurround,
                                                          SpeakerRole::RightSurround, SpeakerRole::Centre};

// Output counts the plug-in plays: the outputs setting 0, 1, 2 asks for 2, 4, 5.
constexpr int kLayoutOutputs[3] = {2, 4, 5};

struct SpeakerLayout {
    int channels = 0;
    SpeakerRole roles[kMaxLayoutChannels] = {};
    char names[kMaxLayoutChannels][kSpeakerNameCapacity] = {};

    // Channel `channel` plays `role` under `name` (cut to fit, NUL-ended).
    void setSpeaker(int channel, SpeakerRole role, const char* name);
    // Empties every speaker and sets the channel count.
    void clear(int channelCount);
};

} // namespace ovinta
