// EffectVST's speaker arrangements: taking the host's description, handing
// out our own, and turning both with the outputs setting into the number of
// fed outputs, the routing of the output roles and the editor's pin menus.

#include "engine/RoomEngine.h"
#include "host/EffectVST.h"
#include "model/Parameters.h"

#include <algorithm>
#include <cstring>

namespace ovinta {

namespace {
// Speaker type each output role looks for: L, R, Ls, Rs, C.
constexpr VstInt32 kRoleSpeaker[kOutputRoles] = {kSpeakerL, kSpeakerR, kSpeakerLs, kSpeakerRs,
                                                  kSpeakerC};
// Our own layout's speakers, used when the host never described its own.
struct OwnSpeaker {
    VstInt32 type;
    const char* name;
};
constexpr OwnSpeaker kOwnSpeakers[kOutputRoles] = {
    {kSpeakerL, "L"}, {kSpeakerR, "R"}, {kSpeakerLs, "3"}, {kSpeakerRs, "4"}, {kSpeakerC, "5"}};

void setSpeaker(VstSpeakerProperties& speaker, const OwnSpeaker& own)
{
    speaker.type = own.type;
    std::memset(speaker.name, 0, sizeof(speaker.name));
    std::strcpy(speaker.name, own.name);
}

// A copy of an arrangement's channel count, speaker types and names, taken
// under the lock so that the menus can be filled after it is released.
struct ArrangementSnapshot {
    int channels = 0;
    VstInt32 types[kMaxArrangementChannels] = {};
    char names[kMaxArrangementChannels][kVstMaxSpeakerNameLen] = {};
    const char* named[kMaxArrangementChannels] = {}; // non-empty names, channel order
    int namedCount = 0;

    void take(const VstSpeakerArrangement& source)
    {
        channels = std::clamp(static_cast<int>(source.numChannels), 0, kMaxArrangementChannels);
        namedCount = 0;
        for (int i = 0; i < channels; ++i) {
            const VstSpeakerProperties& speaker = source.speakers[i];
            types[i] = speaker.type;
            // A host's name may fill its field without a NUL.
            std::size_t length = strnlen(speaker.name, kVstMaxSpeakerNameLen - 1);
            std::memcpy(names[i], speaker.name, length);
            names[i][length] = 0;
            if (length > 0)
                named[namedCount++] = names[i];
        }
    }
};
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
    // Counts we cannot use are refused before anything changes.
    auto usable = [](int channels) { return channels >= 1 && channels <= kMaxArrangementChannels; };
    if (!usable(input->numChannels) || !usable(output->numChannels))
        return false;

    std::lock_guard<std::mutex> guard(arrangementLock);
    bool inputTaken = input->numChannels <= kMaxInputArrangementChannels;
    if (inputTaken)
        inputArrangement.copyFrom(*input);
    else
        inputArrangement.reset(kSpeakerArr51, kMaxInputArrangementChannels);
    outputArrangement.copyFrom(*output);

    engine->setInputChannelCount(inputArrangement.get()->numChannels);
    engine->setSpeakerOutputs(outputArrangement.get()->numChannels);
    return inputTaken;
}

bool EffectVST::getSpeakerArrangement(VstSpeakerArrangement** input,
                                      VstSpeakerArrangement** output)
{
    // The host reads our own records and must not free them.
    std::lock_guard<std::mutex> guard(arrangementLock);
    *input = inputArrangement.get();
    *output = outputArrangement.get();
    return true;
}

// ---- Editor idle ------------------------------------------------------------------------

void EffectVST::writeOwnLayout()
{
    VstSpeakerArrangement& in = *inputArrangement.get();
    VstSpeakerArrangement& out = *outputArrangement.get();
    setSpeaker(in.speakers[0], kOwnSpeakers[0]);
    setSpeaker(in.speakers[1], kOwnSpeakers[1]);
    in.numChannels = 2;

    int setting = engine->derived().outputsSetting;
    int channels = setting < 1 ? 2 : setting < 2 ? 4 : 5;
    for (int i = 0; i < channels; ++i)
        setSpeaker(out.speakers[i], kOwnSpeakers[i]);
    // The record's own type is left as it is: the layout describes 2, 4 or 5
    // of the 5.1 record's channels.
    out.numChannels = channels;
}

void EffectVST::stateChanged()
{
    if (editor == nullptr || !editor->isOpen())
        applyOutputConfiguration(false);
    // A program or chunk just loaded is traced here, after the output
    // configuration it asked for, so that the room traced is the one the
    // outputs play; the audio thread's next block only commits it.
    engine->traceProgramAhead();
}

void EffectVST::applyOutputConfiguration(bool fillMenus)
{
    std::lock_guard<std::mutex> serial(configurationLock);
    // Taken first: a change that arrives while this runs is seen next time.
    // Menus left stale by a run on another thread count as a change here.
    const bool requested = engine->takeOutputConfigurationRequest();
    const bool menus = fillMenus && editor != nullptr && editor->isOpen();
    if (!requested && !(menus && pinMenusStale))
        return;

    ArrangementSnapshot in, out;
    {
        std::lock_guard<std::mutex> guard(arrangementLock);
        if (!engine->speakerArrangementGiven())
            writeOwnLayout();
        in.take(*inputArrangement.get());
        out.take(*outputArrangement.get());
    }

    int setting = engine->derived().outputsSetting;
    int count = out.channels;
    if (count >= 2 && setting == 0)
        count = 2;
    if (count > 4 && setting == 1)
        count = 4;
    // The output count, the panner gains for it and a retrace.
    engine->applyOutputCount(count);

    pinMenusStale = !menus;
    if (menus) {
        for (int menu = 0; menu < kInputChannelCapacity; ++menu) {
            bool used = menu < in.channels;
            editor->setInputPinMenu(menu, in.named, used ? in.namedCount : 0);
            if (used)
                editor->refreshInputPin(menu);
        }
        for (int role = 0; role < kOutputRoles; ++role)
            editor->setOutputPinMenu(role, out.named, role < count ? out.namedCount : 0);
    }

    // Each fed role goes to the first channel with its speaker type.
    for (int role = 0; role < std::min(count, kOutputRoles); ++role) {
        const VstInt32* found = std::find(out.types, out.types + out.channels, kRoleSpeaker[role]);
        if (found != out.types + out.channels)
            setParameter(param::kSpeakerOut1 + role, static_cast<float>(found - out.types));
    }
}

} // namespace ovinta
