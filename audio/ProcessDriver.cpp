// SPDX-License-Identifier: GPL-3.0-or-later
// The per-block process call: audio handshake, rebuild after a program
// change, host channel routing, kernel choice, history advance and the
// tracing that prepares the next block's taps.

#include "audio/ProcessDriver.h"

#include "audio/Kernels.h"
#include "dsp/DenormalGuard.h"
#include "engine/RoomEngine.h"
#include "model/Parameters.h"

#include <algorithm>

namespace ovinta {

namespace {

// Host channel of a role; an index the host cannot have passed falls back to
// the role's own channel, so a stray stored pin never reads outside the arrays.
int pickChannel(int stored, int role, int capacity)
{
    return stored >= 0 && stored < capacity ? stored : role;
}

struct Routing {
    const float* inA = nullptr;
    const float* inB = nullptr;
    float* out[kOutputRoles] = {};
    int used = 2;           // outputs the kernel feeds: 2, 4 or 5
    bool doubled = false;   // some role shares a host channel with an earlier one
};

// Returns false when the host passed no usable buffers.
bool route(RoomEngine& e, float** inputs, float** outputs, Routing& r)
{
    if (inputs == nullptr || outputs == nullptr)
        return false;
    const int n = e.derived().outputCount;
    r.used = n >= 5 ? 5 : (n == 4 ? 4 : 2);
    const int inA = pickChannel(e.derived().inputChannel[0], 0, kInputChannelCapacity);
    const int inB = n == 1 ? inA : pickChannel(e.derived().inputChannel[1], 1, kInputChannelCapacity);
    r.inA = inputs[inA];
    r.inB = inputs[inB];
    for (int role = 0; role < r.used; ++role) {
        const int source = n == 1 ? 0 : role;
        r.out[role] = outputs[pickChannel(e.derived().outputChannel[source], source, kOutputChannelCapacity)];
        if (r.out[role] == nullptr)
            return false;
    }
    if (r.inA == nullptr || r.inB == nullptr)
        return false;
    // A host channel feeds one role only: the first in the order L, R, Ls,
    // Rs, C keeps it and a later role that names it again plays into a sink.
    for (int role = 1; role < r.used; ++role)
        for (int earlier = 0; earlier < role; ++earlier)
            if (r.out[role] == r.out[earlier]) {
                r.out[role] = e.audioPath().kernelWork.discard;
                r.doubled = true;
            }
    return true;
}

// Every host output the block did not feed is silenced, so that a host that
// does not clear its buffers never hears what they held. Runs after the
// kernels (an output may be an input's buffer too), and leaves alone a buffer
// that is also a fed one.
void silenceUnfed(float** outputs, const Routing* fed, int count)
{
    if (outputs == nullptr || count <= 0)
        return;
    for (int channel = 0; channel < kOutputChannelCapacity; ++channel) {
        float* o = outputs[channel];
        bool isFed = o == nullptr;
        for (int role = 0; fed != nullptr && role < fed->used; ++role)
            isFed = isFed || o == fed->out[role];
        if (!isFed)
            std::fill_n(o, count, 0.0f);
    }
}

void runKernel(RoomEngine& e, const Routing& r, int offset, int length)
{
    float* o[kOutputRoles];
    for (int role = 0; role < r.used; ++role)
        o[role] = r.out[role] == e.audioPath().kernelWork.discard ? r.out[role] : r.out[role] + offset;
    const float* a = r.inA + offset;
    const float* b = r.inB + offset;
    if (r.used == 5)
        kernel5(e, a, b, o[0], o[1], o[2], o[3], o[4], length);
    else if (r.used == 4)
        kernel4(e, a, b, o[0], o[1], o[2], o[3], length);
    else
        kernel2(e, a, b, o[0], o[1], length);
}

// Kernels and history advance for a block of `count` samples; a block whose
// roles share channels runs in pieces no longer than the sink.
void playBlock(RoomEngine& e, const Routing& r, int count)
{
    const int piece = r.doubled ? kDiscardLength : count;
    for (int offset = 0; offset < count; offset += piece) {
        const int length = count - offset < piece ? count - offset : piece;
        runKernel(e, r, offset, length);
        e.audioPath().advance(static_cast<uint32_t>(length));
    }
}

} // namespace

void processBlock(RoomEngine& engine, float** inputs, float** outputs, int count)
{
    if (!engine.beginProcess()) {
        silenceUnfed(outputs, nullptr, count);
        return;
    }
    {
        const DenormalGuard denormals;
        engine.rebuildAfterProgramChange();
        engine.pickUpEqDesigns();
        Routing routing;
        const bool routed = count > 0 && route(engine, inputs, outputs, routing);
        const int frames = routed ? count : 0;
        if (frames > 0)
            playBlock(engine, routing, frames);
        silenceUnfed(outputs, routed ? &routing : nullptr, count);
        engine.trace(frames >> 6);
    }
    engine.endProcess();
}

} // namespace ovinta
