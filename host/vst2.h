// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The VST 2.4 binary interface as hosts and plug-ins exchange it: the effect
// record, the dispatcher and host-callback opcodes, pins, speaker
// arrangements, events and file selection. Written for this project from the
// published binary layout (field order, sizes and numbers); every record is
// plain data with natural alignment, little-endian, C calling convention.

#include <cstddef>
#include <cstdint>

namespace ovinta {

using VstInt16 = int16_t;
using VstInt32 = int32_t;
using VstIntPtr = intptr_t;

// Four characters packed big-end first: fourCharCode('V','s','t','P') = 0x56737450.
constexpr VstInt32 fourCharCode(char a, char b, char c, char d)
{
    return static_cast<VstInt32>((static_cast<uint32_t>(static_cast<unsigned char>(a)) << 24) |
                                 (static_cast<uint32_t>(static_cast<unsigned char>(b)) << 16) |
                                 (static_cast<uint32_t>(static_cast<unsigned char>(c)) << 8) |
                                 static_cast<uint32_t>(static_cast<unsigned char>(d)));
}

constexpr VstInt32 kEffectMagic = fourCharCode('V', 's', 't', 'P');
static_assert(kEffectMagic == 0x56737450);

struct AEffect;

extern "C" {
using audioMasterCallback = VstIntPtr (*)(AEffect* effect, VstInt32 opcode, VstInt32 index,
                                          VstIntPtr value, void* ptr, float opt);
using AEffectDispatcherProc = VstIntPtr (*)(AEffect* effect, VstInt32 opcode, VstInt32 index,
                                            VstIntPtr value, void* ptr, float opt);
using AEffectProcessProc = void (*)(AEffect* effect, float** inputs, float** outputs,
                                    VstInt32 sampleFrames);
using AEffectProcessDoubleProc = void (*)(AEffect* effect, double** inputs, double** outputs,
                                          VstInt32 sampleFrames);
using AEffectSetParameterProc = void (*)(AEffect* effect, VstInt32 index, float parameter);
using AEffectGetParameterProc = float (*)(AEffect* effect, VstInt32 index);
using VstEntryProc = AEffect* (*)(audioMasterCallback host);
}

// The record a plug-in hands to its host: 144 bytes on 32-bit targets, 192 on 64-bit.
struct AEffect {
    VstInt32 magic;                        // kEffectMagic
    AEffectDispatcherProc dispatcher;
    AEffectProcessProc process;            // accumulating process, deprecated
    AEffectSetParameterProc setParameter;
    AEffectGetParameterProc getParameter;
    VstInt32 numPrograms;
    VstInt32 numParams;
    VstInt32 numInputs;
    VstInt32 numOutputs;
    VstInt32 flags;                        // effFlags* bits
    VstIntPtr resvd1;                      // reserved for the host
    VstIntPtr resvd2;                      // reserved
    VstInt32 initialDelay;                 // samples of latency
    VstInt32 realQualities;                // deprecated
    VstInt32 offQualities;                 // deprecated
    float ioRatio;                         // deprecated
    void* object;                          // the plug-in's own object
    void* user;                            // free for the host
    VstInt32 uniqueID;
    VstInt32 version;
    AEffectProcessProc processReplacing;
    AEffectProcessDoubleProc processDoubleReplacing;
    char future[56];
};
static_assert(sizeof(void*) == 8 || sizeof(void*) == 4);
static_assert(sizeof(AEffect) == (sizeof(void*) == 8 ? 192 : 144));
static_assert(offsetof(AEffect, numPrograms) == (sizeof(void*) == 8 ? 40 : 20));
static_assert(offsetof(AEffect, resvd1) == (sizeof(void*) == 8 ? 64 : 40));
static_assert(offsetof(AEffect, object) == (sizeof(void*) == 8 ? 96 : 64));
static_assert(offsetof(AEffect, uniqueID) == (sizeof(void*) == 8 ? 112 : 72));
static_assert(offsetof(AEffect, processReplacing) == (sizeof(void*) == 8 ? 120 : 80));
static_assert(offsetof(AEffect, future) == sizeof(AEffect) - 56);

enum VstEffectFlags : VstInt32 {
    effFlagsHasEditor = 1,
    effFlagsCanReplacing = 1 << 4,
    effFlagsProgramChunks = 1 << 5,
    effFlagsIsSynth = 1 << 8,
    effFlagsNoSoundInStop = 1 << 9,
    effFlagsCanDoubleReplacing = 1 << 12,
};

// Dispatcher opcodes (host -> plug-in). Gaps are deprecated numbers.
enum VstEffectOpcode : VstInt32 {
    effOpen = 0,
    effClose = 1,
    effSetProgram = 2,
    effGetProgram = 3,
    effSetProgramName = 4,
    effGetProgramName = 5,
    effGetParamLabel = 6,
    effGetParamDisplay = 7,
    effGetParamName = 8,
    effSetSampleRate = 10,
    effSetBlockSize = 11,
    effMainsChanged = 12,
    effEditGetRect = 13,
    effEditOpen = 14,
    effEditClose = 15,
    effEditIdle = 19,
    effIdentify = 22,
    effGetChunk = 23,
    effSetChunk = 24,
    effProcessEvents = 25,
    effCanBeAutomated = 26,
    effString2Parameter = 27,
    effGetProgramNameIndexed = 29,
    effGetInputProperties = 33,
    effGetOutputProperties = 34,
    effGetPlugCategory = 35,
    effSetSpeakerArrangement = 42,
    effSetBypass = 44,
    effGetEffectName = 45,
    effGetVendorString = 47,
    effGetProductString = 48,
    effGetVendorVersion = 49,
    effVendorSpecific = 50,
    effCanDo = 51,
    effGetTailSize = 52,
    effGetParameterProperties = 56,
    effGetVstVersion = 58,
    effEditKeyDown = 59,
    effEditKeyUp = 60,
    effSetEditKnobMode = 61,
    effBeginSetProgram = 67,
    effEndSetProgram = 68,
    effGetSpeakerArrangement = 69,
    effShellGetNextPlugin = 70,
    effStartProcess = 71,
    effStopProcess = 72,
    effSetTotalSampleToProcess = 73,
    effSetPanLaw = 74,
    effBeginLoadBank = 75,
    effBeginLoadProgram = 76,
    effSetProcessPrecision = 77,
    effGetNumMidiInputChannels = 78,
    effGetNumMidiOutputChannels = 79,
};

// Host callback opcodes (plug-in -> host).
enum VstHostOpcode : VstInt32 {
    audioMasterAutomate = 0,
    audioMasterVersion = 1,
    audioMasterCurrentId = 2,
    audioMasterIdle = 3,
    audioMasterWantMidi = 6,
    audioMasterGetTime = 7,
    audioMasterProcessEvents = 8,
    audioMasterIOChanged = 13,
    audioMasterSizeWindow = 15,
    audioMasterGetSampleRate = 16,
    audioMasterGetBlockSize = 17,
    audioMasterGetCurrentProcessLevel = 23,
    audioMasterGetAutomationState = 24,
    audioMasterGetVendorString = 32,
    audioMasterGetProductString = 33,
    audioMasterGetVendorVersion = 34,
    audioMasterCanDo = 37,
    audioMasterUpdateDisplay = 42,
    audioMasterBeginEdit = 43,
    audioMasterEndEdit = 44,
    audioMasterOpenFileSelector = 45,
    audioMasterCloseFileSelector = 46,
};

// Sizes of the text buffers the host passes, NUL included.
enum VstStringCapacity : int {
    kVstMaxProgNameLen = 24,    // traditional program-name buffer
    kVstMaxParamStrLen = 8,     // traditional parameter label/display buffer
    kVstMaxEffectNameLen = 32,
    kVstMaxVendorStrLen = 64,
    kVstMaxProductStrLen = 64,
    kVstMaxLabelLen = 64,
    kVstMaxShortLabelLen = 8,
    kVstMaxSpeakerNameLen = 64,
};

enum VstPlugCategory : VstInt32 {
    kPlugCategUnknown = 0,
    kPlugCategEffect = 1,
    kPlugCategSynth = 2,
    kPlugCategAnalysis = 3,
    kPlugCategMastering = 4,
    kPlugCategSpacializer = 5,
    kPlugCategRoomFx = 6,
    kPlugSurroundFx = 7,
    kPlugCategRestoration = 8,
    kPlugCategOfflineProcess = 9,
    kPlugCategShell = 10,
    kPlugCategGenerator = 11,
};

// The editor's rectangle, in pixels.
struct ERect {
    VstInt16 top, left, bottom, right;
};
static_assert(sizeof(ERect) == 8);

// ---- Pins ------------------------------------------------------------------

enum VstPinPropertiesFlags : VstInt32 {
    kVstPinIsActive = 1,
    kVstPinIsStereo = 2,
    kVstPinUseSpeaker = 4,
};

struct VstPinProperties {
    char label[kVstMaxLabelLen];
    VstInt32 flags;             // VstPinPropertiesFlags
    VstInt32 arrangementType;   // VstSpeakerArrangementType
    char shortLabel[kVstMaxShortLabelLen];
    char future[48];
};
static_assert(sizeof(VstPinProperties) == 128);

// ---- Speakers ----------------------------------------------------------------

enum VstSpeakerType : VstInt32 {
    kSpeakerUndefined = 0x7fffffff,
    kSpeakerM = 0,
    kSpeakerL = 1,
    kSpeakerR = 2,
    kSpeakerC = 3,
    kSpeakerLfe = 4,
    kSpeakerLs = 5,
    kSpeakerRs = 6,
    kSpeakerLc = 7,
    kSpeakerRc = 8,
    kSpeakerS = 9,
    kSpeakerSl = 10,
    kSpeakerSr = 11,
};

enum VstSpeakerArrangementType : VstInt32 {
    kSpeakerArrUserDefined = -2,
    kSpeakerArrEmpty = -1,
    kSpeakerArrMono = 0,
    kSpeakerArrStereo = 1,
    kSpeakerArrStereoSurround = 2,
    kSpeakerArrStereoCenter = 3,
    kSpeakerArrStereoSide = 4,
    kSpeakerArrStereoCLfe = 5,
    kSpeakerArr30Cine = 6,
    kSpeakerArr30Music = 7,
    kSpeakerArr31Cine = 8,
    kSpeakerArr31Music = 9,
    kSpeakerArr40Cine = 10,
    kSpeakerArr40Music = 11,
    kSpeakerArr41Cine = 12,
    kSpeakerArr41Music = 13,
    kSpeakerArr50 = 14,
    kSpeakerArr51 = 15,
};

struct VstSpeakerProperties {
    float azimuth;
    float elevation;
    float radius;
    float reserved;
    char name[kVstMaxSpeakerNameLen];
    VstInt32 type;              // VstSpeakerType
    char future[28];
};
static_assert(sizeof(VstSpeakerProperties) == 112);

// The declared record has room for 8 speakers; hosts and plug-ins allocate
// it with as many speakers as they need, so numChannels may exceed 8 and the
// trailing array is then longer than declared.
constexpr int kVstDeclaredSpeakers = 8;
struct VstSpeakerArrangement {
    VstInt32 type;              // VstSpeakerArrangementType
    VstInt32 numChannels;
    VstSpeakerProperties speakers[kVstDeclaredSpeakers];
};
static_assert(offsetof(VstSpeakerArrangement, speakers) == 8);
static_assert(sizeof(VstSpeakerArrangement) == 8 + 8 * 112);

// Bytes of an arrangement record holding `channels` speakers.
constexpr std::size_t speakerArrangementBytes(int channels)
{
    return offsetof(VstSpeakerArrangement, speakers) +
           static_cast<std::size_t>(channels) * sizeof(VstSpeakerProperties);
}

// ---- Events ------------------------------------------------------------------

struct VstEvent {
    VstInt32 type;
    VstInt32 byteSize;
    VstInt32 deltaFrames;
    VstInt32 flags;
    char data[16];
};
static_assert(sizeof(VstEvent) == 32);

struct VstEvents {
    VstInt32 numEvents;
    VstIntPtr reserved;
    VstEvent* events[2];        // numEvents entries in practice
};

// ---- File selection ----------------------------------------------------------

struct VstFileType {
    char name[128];
    char macType[8];
    char dosType[8];
    char unixType[8];
    char mimeType1[128];
    char mimeType2[128];
};
static_assert(sizeof(VstFileType) == 408);

enum VstFileSelectCommand : VstInt32 {
    kVstFileLoad = 0,
    kVstFileSave = 1,
    kVstMultipleFilesLoad = 2,
    kVstDirectorySelect = 3,
};

enum VstFileSelectType : VstInt32 {
    kVstFileType = 0,
};

struct VstFileSelect {
    VstInt32 command;           // VstFileSelectCommand
    VstInt32 type;              // 0 file
    VstInt32 macCreator;
    VstInt32 nbFileTypes;
    VstFileType* fileTypes;
    char title[1024];
    char* initialPath;
    char* returnPath;           // null: the host allocates it, freed on close
    VstInt32 sizeReturnPath;
    char** returnMultiplePaths;
    VstInt32 nbReturnPath;
    VstIntPtr reserved;
    char future[116];
};

} // namespace ovinta
