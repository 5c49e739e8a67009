// SPDX-License-Identifier: GPL-3.0-or-later
// PluginCore's speaker layouts: taking the host's, offering our own, and
// turning both with the outputs setting into the number of fed outputs, the
// routing of the output roles and the editor's pin menus.

#include "core/EditorFollower.h"
#include "core/PluginCore.h"
#include "engine/RoomEngine.h"
#include "model/Parameters.h"

#include <algorithm>
#include <cstring>

namespace ovinta {

namespace {
// Our own layout's speakers, used when the host never described its own:
// the output roles' speakers named L, R, 3, 4, 5.
constexpr const char* kOwnNames[kOutputRoles] = {"L", "R", "3", "4", "5"};

// The names of a layout's named speakers, in channel order.
struct NamedSpeakers {
    const char* names[kMaxLayoutChannels] = {};
    int count = 0;

    explicit NamedSpeakers(const SpeakerLayout& layout)
    {
        for (int i = 0; i < layout.channels; ++i)
            if (layout.names[i][0] != 0)
                names[count++] = layout.names[i];
    }
};
} // namespace

// ---- SpeakerLayout ------------------------------------------------------------------

void SpeakerLayout::setSpeaker(int channel, SpeakerRole role, const char* name)
{
    if (channel < 0 || channel >= kMaxLayoutChannels)
        return;
    roles[channel] = role;
    // A host's name may fill its field without a NUL.
    std::size_t length = name != nullptr ? strnlen(name, kSpeakerNameCapacity - 1) : 0;
    std::memset(names[channel], 0, kSpeakerNameCapacity);
    if (length > 0)
        std::memcpy(names[channel], name, length);
}

void SpeakerLayout::clear(int channelCount)
{
    channels = std::clamp(channelCount, 0, kMaxLayoutChannels);
    std::fill(std::begin(roles), std::end(roles), SpeakerRole::Mono);
    std::memset(names, 0, sizeof names);
}

// ---- Host threads ----------------------------------------------------------------------

PluginCore::LayoutAnswer PluginCore::setSpeakerLayouts(const SpeakerLayout& input,
                                                       const SpeakerLayout& output)
{
    // Counts we cannot use are refused before anything changes.
    auto usable = [](int channels) { return channels >= 1 && channels <= kMaxLayoutChannels; };
    if (!usable(input.channels) || !usable(output.channels))
        return LayoutAnswer::Refused;

    const SpinLock guard(layoutLock);
    bool inputTaken = input.channels <= kMaxInputLayoutChannels;
    if (inputTaken)
        inputLayout = input;
    else
        inputLayout.clear(kMaxInputLayoutChannels);
    outputLayout = output;

    roomEngine->setInputChannelCount(inputLayout.channels);
    roomEngine->setSpeakerOutputs(outputLayout.channels);
    return inputTaken ? LayoutAnswer::Taken : LayoutAnswer::InputReplaced;
}

bool PluginCore::hostLayoutGiven() const
{
    return roomEngine->speakerArrangementGiven();
}

void PluginCore::copyLayouts(SpeakerLayout& input, SpeakerLayout& output)
{
    const SpinLock guard(layoutLock);
    input = inputLayout;
    output = outputLayout;
}

void PluginCore::stateChanged()
{
    if (editor == nullptr || !editor->isOpen())
        applyOutputConfiguration(nullptr);
    else
        configurationDeferred.store(false, std::memory_order_relaxed); // the editor's idle applies it
    // A program or state just loaded is traced here, after the output
    // configuration it asked for, so that the room traced is the one the
    // outputs play; the audio thread's next block only commits it.
    roomEngine->traceProgramAhead();
}

// ---- Output configuration ------------------------------------------------------------------

void PluginCore::writeOwnLayout()
{
    inputLayout.setSpeaker(0, SpeakerRole::Left, kOwnNames[0]);
    inputLayout.setSpeaker(1, SpeakerRole::Right, kOwnNames[1]);
    inputLayout.channels = 2;

    int setting = roomEngine->derived().outputsSetting;
    int channels = kLayoutOutputs[std::clamp(setting, 0, 2)];
    for (int i = 0; i < channels; ++i)
        outputLayout.setSpeaker(i, kOutputRoleSpeaker[i], kOwnNames[i]);
    // Speakers beyond the count keep what an earlier, wider layout wrote.
    outputLayout.channels = channels;
}

void PluginCore::applyOutputConfiguration(EditorFollower* menus)
{
    if (roomEngine->onAudioThread()) {
        // The editor may hold the flag while it fills its menus: the audio
        // thread only tries, and tries again after its next block.
        bool applied = false;
        if (configurationLock.tryLock()) {
            const SpinLock serial(configurationLock, kAdoptLock);
            applied = configure(nullptr);
        }
        configurationDeferred.store(!applied, std::memory_order_relaxed);
        return;
    }
    const SpinLock serial(configurationLock);
    configure(menus);
}

bool PluginCore::configure(EditorFollower* menus)
{
    // Copies, so the menus are filled after the layout flag is released.
    SpeakerLayout in, out;
    const bool fillMenus = menus != nullptr && menus->isOpen();
    {
        if (roomEngine->onAudioThread()) {
            if (!layoutLock.tryLock())
                return false;
        } else {
            layoutLock.lock();
        }
        const SpinLock guard(layoutLock, kAdoptLock);
        // Taken first: a change that arrives while this runs is seen next time.
        // Menus left stale by a run on another thread count as a change here.
        const bool requested = roomEngine->takeOutputConfigurationRequest();
        if (!requested && !(fillMenus && pinMenusStale))
            return true;
        if (!roomEngine->speakerArrangementGiven())
            writeOwnLayout();
        in = inputLayout;
        out = outputLayout;
    }

    int setting = roomEngine->derived().outputsSetting;
    int count = out.channels;
    if (count >= 2 && setting == 0)
        count = 2;
    if (count > 4 && setting == 1)
        count = 4;
    // The output count, the panner gains for it and a retrace.
    roomEngine->applyOutputCount(count);

    pinMenusStale = !fillMenus;
    if (fillMenus)
        fillPinMenus(*menus, in, out, count);

    // Each fed role goes to the first channel with its speaker role.
    for (int role = 0; role < std::min(count, kOutputRoles); ++role) {
        const SpeakerRole* end = out.roles + out.channels;
        const SpeakerRole* found = std::find(static_cast<const SpeakerRole*>(out.roles), end, kOutputRoleSpeaker[role]);
        if (found != end)
            setParameter(param::kSpeakerOut1 + role, static_cast<float>(found - out.roles));
    }
    return true;
}

void PluginCore::fillPinMenus(EditorFollower& menus, const SpeakerLayout& in, const SpeakerLayout& out,
                              int count)
{
    const NamedSpeakers inNames(in), outNames(out);
    for (int menu = 0; menu < kInputChannelCapacity; ++menu) {
        bool used = menu < in.channels;
        menus.setInputPinMenu(menu, inNames.names, used ? inNames.count : 0);
        if (used)
            menus.refreshInputPin(menu);
    }
    for (int role = 0; role < kOutputRoles; ++role)
        menus.setOutputPinMenu(role, outNames.names, role < count ? outNames.count : 0);
}

} // namespace ovinta
