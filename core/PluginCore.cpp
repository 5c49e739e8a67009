// SPDX-License-Identifier: GPL-3.0-or-later
// PluginCore: construction, life, parameters, programs, state and process.
// Speaker layouts and the output configuration live in OutputConfiguration.cpp.

#include "core/PluginCore.h"

#include "audio/ProcessDriver.h"
#include "engine/RoomEngine.h"
#include "model/HostDisplay.h"
#include "model/ParameterTable.h"
#include "model/ProgramChunks.h"

#include <cmath>
#include <cstdint>
#include <cstring>

namespace ovinta {

// ---- Construction --------------------------------------------------------------

PluginCore::PluginCore()
    : roomEngine(std::make_unique<RoomEngine>()), stateAside(std::make_unique<unsigned char[]>(kBankSize))
{
    outputLayout.clear(kOutputChannelCapacity);
    inputLayout.clear(kInputChannelCapacity);
    roomEngine->setInputChannelCount(kInputChannelCapacity);
    setProgram(0);
    roomEngine->setProgramAndRate(currentProgram, rateHz);
    roomEngine->resetAudio();
}

PluginCore::~PluginCore() = default;

// ---- Life ------------------------------------------------------------------------

void PluginCore::suspend()
{
    roomEngine->setProgramAndRate(currentProgram, rateHz);
}

void PluginCore::resume()
{
    roomEngine->setProgramAndRate(currentProgram, rateHz);
    roomEngine->resetAudio();
    // A program chosen before the host resumes plays fully from the first block.
    roomEngine->traceProgramAhead();
}

void PluginCore::reset()
{
    roomEngine->resetAudio();
}

int PluginCore::tailSamples() const
{
    return -roomEngine->derived().longestTap.load();
}

// ---- Parameters --------------------------------------------------------------------

void PluginCore::setParameter(int index, float value)
{
    // A value that is not a number would poison the derived values and the
    // audio: it changes nothing and is not shown by the editor either.
    if (!std::isfinite(value) || index < 0)
        return;
    // Stored parameters are held to their valid range here, where values
    // from the host, the editor and the tools enter. A pin naming a channel
    // the plug-in does not have is refused by the engine instead.
    if (index < param::kSpeakerIn1 || index > param::kSpeakerOut5)
        value = param::limitToRange(index, value);
    roomEngine->setParameter(index, value);

    if (index == param::kProgramSelect) {
        double number = std::trunc(static_cast<double>(value));
        if (number >= 0.0 && number < kProgramCount &&
            static_cast<int>(number) != roomEngine->currentProgram()) {
            setProgram(static_cast<int>(number));
            programChosen();
        }
    } else if (index == param::kProgramPrevious && value == 0.0f) {
        // The kick buttons send 1 on press and 0 on release: step on release.
        stepProgram(-1);
    } else if (index == param::kProgramNext && value == 0.0f) {
        stepProgram(+1);
    }
    // The editor follows what the program now stores, read here on the
    // thread that wrote it: the setter may have adjusted the value.
    mirror.post(index, index < kStoredParameterCount ? storedValue(index) : value);
}

float PluginCore::editorValue(int index)
{
    if (index >= 0 && index < kStoredParameterCount)
        return mirror.latest(index);
    return getParameter(index);
}

void PluginCore::stepProgram(int step)
{
    int current = currentProgram;
    int next = (current + step + kProgramCount) % kProgramCount;
    if (next == current)
        return;
    setProgram(next);
    programChosen();
    mirror.post(param::kProgramSelect, static_cast<float>(next));
}

void PluginCore::hostParameterSet()
{
    if (!roomEngine->onAudioThread())
        stateChanged();
}

void PluginCore::programChosen()
{
    // The output configuration the program asks for comes first, so that the
    // room traced ahead is the one its outputs play.
    if (!roomEngine->onAudioThread())
        stateChanged();
}

float PluginCore::getParameter(int index)
{
    return roomEngine->getParameter(index);
}

float PluginCore::storedValue(int index)
{
    if (index < 0 || index >= kHostParameterCount)
        return 0.0f;
    const float* field = programField(roomEngine->currentProgramRecord(), index);
    return field != nullptr ? *field : static_cast<float>(currentProgram);
}

void PluginCore::parameterText(int index, char* text, std::size_t capacity)
{
    if (capacity == 0)
        return;
    text[0] = 0;
    if (index >= 0 && index < kHostParameterCount)
        valueformat::hostParameterDisplay(index, storedValue(index), text, capacity);
}

// ---- Programs ----------------------------------------------------------------------

void PluginCore::setProgram(int program)
{
    if (program < 0 || program >= kProgramCount)
        return;
    currentProgram = program;
    roomEngine->setProgramAndRate(program, rateHz);
    roomEngine->selectProgram(program);
    reapplyProgramFields(program);
    setParameter(param::kProgramSelect, static_cast<float>(program));
    roomEngine->finishProgram();
}

void PluginCore::reapplyProgramFields(int program)
{
    // Every field goes through the ordinary parameter path, so the engine and
    // the editor see a program change as a burst of single changes, in the
    // parameter table's order: positions, pins, head and diffusion, switches,
    // gains and walls, scale and pre-delay, rays, panner, outputs, bend,
    // height, scatter, then the equaliser. The value is read before the call,
    // which may store an adjusted value back.
    OvintaProgram& record = roomEngine->programBank().programs[program];
    for (int rank = 0; rank < kStoredParameterCount; ++rank) {
        const int index = param::programApplyIndex(rank);
        setParameter(index, *programField(record, index));
    }
}

void PluginCore::setProgramName(const char* name)
{
    roomEngine->programBank().programs[currentProgram].setName(name);
}

bool PluginCore::programName(int program, char* text) const
{
    if (program < 0 || program >= kProgramCount)
        return false;
    // A loaded chunk may have left the stored name without its NUL.
    const OvintaProgram& record = roomEngine->programBank().programs[program];
    std::size_t length = strnlen(record.name, kProgramNameSize - 1);
    std::memcpy(text, record.name, length);
    text[length] = 0;
    return true;
}

// ---- State ---------------------------------------------------------------------------

int32_t PluginCore::saveState(void** data, bool oneProgram)
{
    return getChunkData(roomEngine->programBank(), currentProgram, oneProgram, data);
}

bool PluginCore::loadState(const void* data, int64_t byteSize, bool oneProgram)
{
    // A host may hand back the block saveState gave it, our live records.
    // The chunk reader would copy it aside into a new buffer; here it goes
    // into the one made with the core, so a load on the audio thread does
    // not allocate. Sizes the reader refuses are passed on as they are.
    ProgramBank& bank = roomEngine->programBank();
    const auto first = reinterpret_cast<uintptr_t>(data);
    const auto bankFirst = reinterpret_cast<uintptr_t>(&bank);
    if (data != nullptr && byteSize > 0 && static_cast<uint64_t>(byteSize) <= kBankSize &&
        first < bankFirst + sizeof(ProgramBank) && bankFirst < first + static_cast<uint64_t>(byteSize)) {
        std::memmove(stateAside.get(), data, static_cast<std::size_t>(byteSize));
        data = stateAside.get();
    }
    if (!loadChunkData(bank, currentProgram, data, byteSize, oneProgram))
        return false;
    failures.pass(FailurePoint::StateLoad); // half-way: stored, not yet applied
    // The program number is not part of the state: the current one stays
    // and its new contents are applied at once.
    setProgram(currentProgram);
    roomEngine->setProgramAndRate(currentProgram, rateHz);
    roomEngine->editorSignals().viewDirty = true;
    return true;
}

// ---- Audio thread ------------------------------------------------------------------------

void PluginCore::process(float** inputs, float** outputs, int frames)
{
    if (inputs == nullptr || outputs == nullptr || frames < 0)
        return;
    failures.pass(FailurePoint::Process);
    processBlock(*roomEngine, inputs, outputs, frames);
    // A configuration the audio thread's own state change could not take
    // (another thread held a flag) is tried again after each block.
    if (configurationDeferred.load(std::memory_order_relaxed))
        stateChanged();
}

} // namespace ovinta
