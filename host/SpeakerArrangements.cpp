// SPDX-License-Identifier: GPL-3.0-or-later
// EffectVST's speaker arrangement records: the host's description turned
// into the core's speaker layouts, and the records the host reads back (its
// own, or ours written from the core's layouts while it gave none).

#include "host/EffectVST.h"

#include <algorithm>
#include <cstring>

namespace ovinta {

namespace {
// VST speaker types and the core's roles; any other type plays no role.
struct RoleType {
    SpeakerRole role;
    VstInt32 type;
};
constexpr RoleType kRoleTypes[] = {
    {SpeakerRole::Mono, kSpeakerM},          {SpeakerRole::Left, kSpeakerL},
    {SpeakerRole::Right, kSpeakerR},         {SpeakerRole::Centre, kSpeakerC},
    {SpeakerRole::Lfe, kSpeakerLfe},         {SpeakerRole::LeftSurround, kSpeakerLs},
    {SpeakerRole::RightSurround, kSpeakerRs},
};

SpeakerRole roleOf(VstInt32 type)
{
    for (const RoleType& r : kRoleTypes)
        if (r.type == type)
            return r.role;
    return SpeakerRole::Other;
}

VstInt32 typeOf(SpeakerRole role)
{
    for (const RoleType& r : kRoleTypes)
        if (r.role == role)
            return r.type;
    return kSpeakerUndefined;
}

// The core's view of a host record: channel count, roles and names.
void readLayout(const VstSpeakerArrangement& record, SpeakerLayout& layout)
{
    layout.clear(record.numChannels);
    layout.channels = record.numChannels;
    const int speakers = std::clamp(static_cast<int>(record.numChannels), 0, kMaxLayoutChannels);
    for (int i = 0; i < speakers; ++i)
        layout.setSpeaker(i, roleOf(record.speakers[i].type), record.speakers[i].name);
}

// Our own record from a layout the core wrote: type and name of every
// speaker the record has room for (beyond the count, what a wider layout
// left), everything else zero.
void writeRecord(SpeakerArrangementBuffer& buffer, VstInt32 type, const SpeakerLayout& layout)
{
    buffer.reset(type, layout.channels);
    VstSpeakerArrangement& record = *buffer.get();
    const int room = std::min(buffer.capacity(), kMaxLayoutChannels);
    for (int i = 0; i < room; ++i) {
        if (layout.names[i][0] == 0 && layout.roles[i] == SpeakerRole::Mono)
            continue;
        record.speakers[i].type = typeOf(layout.roles[i]);
        std::memcpy(record.speakers[i].name, layout.names[i], kSpeakerNameCapacity);
    }
}
} // namespace

// ---- SpeakerArrangementBuffer ---------------------------------------------------

void SpeakerArrangementBuffer::reset(VstInt32 type, int channels)
{
    // Room for at least the declared 8 speakers, so a host that reads the
    // record as declared never reads past it.
    int room = std::max(channels, kVstDeclaredSpeakers);
    if (room > speakerCapacity) {
        bytes = std::make_unique<unsigned char[]>(speakerArrangementBytes(room));
        record = reinterpret_cast<VstSpeakerArrangement*>(bytes.get());
        speakerCapacity = room;
    }
    std::memset(bytes.get(), 0, speakerArrangementBytes(speakerCapacity));
    record->type = type;
    record->numChannels = channels;
}

void SpeakerArrangementBuffer::copyFrom(const VstSpeakerArrangement& source)
{
    int channels = source.numChannels;
    reset(source.type, channels);
    std::memcpy(record->speakers, source.speakers,
                static_cast<std::size_t>(channels) * sizeof(VstSpeakerProperties));
}

// ---- Host dispatcher ------------------------------------------------------------------

bool EffectVST::setSpeakerArrangement(VstSpeakerArrangement* input, VstSpeakerArrangement* output)
{
    // A record holds only as many speakers as its count says: a count the
    // core cannot take is refused before any speaker is read.
    auto usable = [](const VstSpeakerArrangement& record) {
        return record.numChannels >= 1 && record.numChannels <= kMaxLayoutChannels;
    };
    if (!usable(*input) || !usable(*output))
        return false;
    auto in = std::make_unique<SpeakerLayout>();
    auto out = std::make_unique<SpeakerLayout>();
    readLayout(*input, *in);
    readLayout(*output, *out);

    std::lock_guard<std::mutex> guard(arrangementLock);
    const PluginCore::LayoutAnswer answer = core.setSpeakerLayouts(*in, *out);
    if (answer == PluginCore::LayoutAnswer::Refused)
        return false;
    // The host reads back what it gave, speaker fields and all.
    if (answer == PluginCore::LayoutAnswer::Taken)
        inputArrangement.copyFrom(*input);
    else
        inputArrangement.reset(kSpeakerArr51, kMaxInputArrangementChannels);
    outputArrangement.copyFrom(*output);
    return answer == PluginCore::LayoutAnswer::Taken;
}

bool EffectVST::getSpeakerArrangement(VstSpeakerArrangement** input,
                                      VstSpeakerArrangement** output)
{
    // The host reads our own records and must not free them.
    std::lock_guard<std::mutex> guard(arrangementLock);
    if (!core.hostLayoutGiven())
        writeOwnArrangements();
    *input = inputArrangement.get();
    *output = outputArrangement.get();
    return true;
}

void EffectVST::writeOwnArrangements()
{
    auto in = std::make_unique<SpeakerLayout>();
    auto out = std::make_unique<SpeakerLayout>();
    core.copyLayouts(*in, *out);
    // The records keep their types: the output layout describes 2, 4 or 5
    // of the 5.1 record's channels.
    writeRecord(inputArrangement, kSpeakerArrStereo, *in);
    writeRecord(outputArrangement, kSpeakerArr51, *out);
}

} // namespace ovinta
