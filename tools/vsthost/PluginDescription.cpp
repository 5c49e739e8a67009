// SPDX-License-Identifier: GPL-3.0-or-later
// Prints a loaded plug-in's host-visible description through its dispatcher.

#include "tools/vsthost/PluginDescription.h"

#include "tools/vsthost/VstHost.h"

#include <cstdio>
#include <cstring>
#include <iomanip>
#include <string>

namespace ovinta {

namespace {
const char* const kCategoryNames[] = {
    "unknown",  "effect",      "synth",           "analysis", "mastering", "spatializer",
    "room effect", "surround effect", "restoration", "offline", "shell",  "generator",
};

// Capability questions hosts commonly ask of an effect.
const char* const kCapabilityQuestions[] = {
    "sendVstEvents", "sendVstMidiEvent", "receiveVstEvents", "receiveVstMidiEvent",
    "receiveVstTimeInfo", "offline", "midiProgramNames", "bypass", "plugAsChannelInsert",
    "plugAsSend", "mixDryWet", "noRealTime", "multipass", "metapass", "1in1out", "1in2out",
    "2in1out", "2in2out", "2in4out", "4in2out", "4in4out", "4in8out", "8in4out", "8in8out",
};

std::string fourChars(VstInt32 code)
{
    std::string text;
    for (int shift = 24; shift >= 0; shift -= 8) {
        char c = static_cast<char>((static_cast<uint32_t>(code) >> shift) & 0xFF);
        text += (c >= 32 && c < 127) ? c : '?';
    }
    return text;
}

std::string flagNames(VstInt32 flags)
{
    struct Flag {
        VstInt32 bit;
        const char* name;
    };
    const Flag known[] = {{effFlagsHasEditor, "editor"},
                          {effFlagsCanReplacing, "replacing"},
                          {effFlagsProgramChunks, "program-chunks"},
                          {effFlagsIsSynth, "synth"},
                          {effFlagsNoSoundInStop, "no-sound-in-stop"},
                          {effFlagsCanDoubleReplacing, "double-replacing"}};
    std::string text;
    for (const Flag& flag : known)
        if ((flags & flag.bit) != 0)
            text += (text.empty() ? "" : ", ") + std::string(flag.name);
    return text;
}

std::string pinFlagNames(VstInt32 flags)
{
    std::string text;
    if ((flags & kVstPinIsActive) != 0)
        text += "active ";
    if ((flags & kVstPinIsStereo) != 0)
        text += "stereo ";
    if ((flags & kVstPinUseSpeaker) != 0)
        text += "speaker ";
    return text.empty() ? "-" : text.substr(0, text.size() - 1);
}

std::string effectName(VstHost& host)
{
    char name[kVstMaxEffectNameLen + 1] = {};
    if (host.dispatch(effGetEffectName, 0, 0, name) == 0)
        return "(not answered)";
    return name;
}

void printIdentity(VstHost& host, std::ostream& out)
{
    const AEffect& e = *host.effect();
    VstInt32 category = static_cast<VstInt32>(host.dispatch(effGetPlugCategory));
    out << "Product:        " << host.text(effGetProductString, 0, 0, kVstMaxProductStrLen) << '\n'
        << "Vendor:         " << host.text(effGetVendorString, 0, 0, kVstMaxVendorStrLen) << '\n'
        << "Effect name:    " << effectName(host) << '\n'
        << "Vendor version: " << host.dispatch(effGetVendorVersion) << '\n'
        << "VST version:    " << host.dispatch(effGetVstVersion) << '\n'
        << "Unique ID:      '" << fourChars(e.uniqueID) << "' (0x" << std::hex << e.uniqueID
        << std::dec << ")\n"
        << "Version:        " << e.version << '\n'
        << "Category:       " << category << " ("
        << (category >= 0 && category < 12 ? kCategoryNames[category] : "?") << ")\n"
        << "Flags:          0x" << std::hex << e.flags << std::dec << " (" << flagNames(e.flags)
        << ")\n"
        << "Programs:       " << e.numPrograms << '\n'
        << "Parameters:     " << e.numParams << '\n'
        << "Inputs:         " << e.numInputs << '\n'
        << "Outputs:        " << e.numOutputs << '\n'
        << "Initial delay:  " << e.initialDelay << '\n'
        << "Tail size:      " << host.dispatch(effGetTailSize) << '\n';
}

void printPins(VstHost& host, std::ostream& out, VstInt32 opcode, int count, const char* title)
{
    out << '\n' << title << ":\n";
    for (int i = 0; i < count; ++i) {
        VstPinProperties pin{};
        if (host.dispatch(opcode, i, 0, &pin) == 0) {
            out << "  " << i << ": (not described)\n";
            continue;
        }
        pin.label[sizeof(pin.label) - 1] = 0;
        out << "  " << i << ": \"" << pin.label << "\" flags " << pin.flags << " ("
            << pinFlagNames(pin.flags) << ") arrangement " << pin.arrangementType << '\n';
    }
}

void printArrangement(std::ostream& out, const char* title, const VstSpeakerArrangement* a)
{
    out << "  " << title << ": ";
    if (a == nullptr) {
        out << "none\n";
        return;
    }
    out << "type " << a->type << ", " << a->numChannels << " channels";
    for (int i = 0; i < a->numChannels && i < 64; ++i) {
        char name[kVstMaxSpeakerNameLen + 1] = {};
        std::memcpy(name, a->speakers[i].name, kVstMaxSpeakerNameLen);
        out << (i == 0 ? ": " : ", ") << a->speakers[i].type << " \"" << name << '"';
    }
    out << '\n';
}

void printSpeakers(VstHost& host, std::ostream& out)
{
    VstSpeakerArrangement* input = nullptr;
    VstSpeakerArrangement* output = nullptr;
    out << "\nSpeaker arrangements:\n";
    if (host.dispatch(effGetSpeakerArrangement, 0, reinterpret_cast<VstIntPtr>(&input), &output) ==
        0) {
        out << "  (not answered)\n";
        return;
    }
    printArrangement(out, "input ", input);
    printArrangement(out, "output", output);
}

void printParameters(VstHost& host, std::ostream& out)
{
    const AEffect& e = *host.effect();
    out << "\nParameters (index, name, label, display, value, automatable):\n";
    for (int i = 0; i < e.numParams; ++i) {
        std::string name = host.text(effGetParamName, i);
        std::string label = host.text(effGetParamLabel, i);
        std::string display = host.text(effGetParamDisplay, i);
        char value[32];
        std::snprintf(value, sizeof(value), "%.6f", static_cast<double>(host.getParameter(i)));
        out << "  " << std::setw(2) << i << "  " << std::left << std::setw(22)
            << ('"' + name + '"') << std::setw(10) << label << std::setw(12)
            << (display.empty() ? "-" : display) << std::right << value << "  "
            << (host.dispatch(effCanBeAutomated, i) != 0 ? "yes" : "no") << '\n';
    }
}

void printPrograms(VstHost& host, std::ostream& out)
{
    const AEffect& e = *host.effect();
    out << "\nPrograms (current " << host.dispatch(effGetProgram) << ", \""
        << host.text(effGetProgramName) << "\"):\n";
    for (int i = 0; i < e.numPrograms; ++i)
        out << "  " << std::setw(2) << i << "  " << host.text(effGetProgramNameIndexed, i) << '\n';
}

void printCapabilities(VstHost& host, std::ostream& out)
{
    out << "\nCapabilities (1 yes, -1 no, 0 unknown):\n";
    for (const char* question : kCapabilityQuestions) {
        VstIntPtr answer = host.dispatch(effCanDo, 0, 0, const_cast<char*>(question));
        out << "  " << std::left << std::setw(22) << question << std::right << answer << '\n';
    }
}

void printCallbacks(VstHost& host, std::ostream& out)
{
    out << "\nHost callbacks received:\n";
    for (const HostCall& call : host.calls()) {
        out << "  opcode " << call.opcode << " index " << call.index << " value " << call.value
            << " opt " << call.opt << (call.withEffect ? "" : " (no effect)");
        if (!call.text.empty())
            out << " \"" << call.text << '"';
        out << '\n';
    }
}
} // namespace

void printPluginDescription(VstHost& host, std::ostream& out)
{
    if (host.effect() == nullptr) {
        out << "no plug-in loaded\n";
        return;
    }
    printIdentity(host, out);
    printPins(host, out, effGetInputProperties, host.effect()->numInputs, "Input pins");
    printPins(host, out, effGetOutputProperties, host.effect()->numOutputs, "Output pins");
    printSpeakers(host, out);
    printParameters(host, out);
    printPrograms(host, out);
    printCapabilities(host, out);
    printCallbacks(host, out);
}

} // namespace ovinta
