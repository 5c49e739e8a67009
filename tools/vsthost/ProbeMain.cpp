// SPDX-License-Identifier: GPL-3.0-or-later
// vstprobe: drives a plug-in through the binary interface and writes what it
// produced to files, so that two builds of one plug-in (say the Linux .so and
// a Windows DLL under wine) can be compared byte for byte.
//
//   vstprobe render PLUGIN PROGRAM OUT.f32   the generated input through a program
//   vstprobe chunks PLUGIN DIR               bank.bin and program-N.bin (N = 0, 12, 36)
//   vstprobe reload PLUGIN DIR               loads DIR's chunks, reads them back unchanged
//   vstprobe compare A.f32 B.f32 TOLERANCE   largest sample difference, fails above TOLERANCE
//
// Renders are 32-bit floats, little-endian, the six output channels
// interleaved.

#include "tools/vsthost/VstHost.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <iostream>
#include <string>
#include <vector>

namespace ovinta {

namespace {

constexpr int kInputs = 2;
constexpr int kOutputs = 6;
constexpr int kBlock = 512;
constexpr float kRate = 48000.0f;
constexpr int kBlocks = 188; // two seconds
constexpr int kProbePrograms[] = {0, 12, 36};

// The test input: a quarter second of decaying noise and a tone on the left,
// different noise on the right, then silence for the tail. A fixed integer
// generator and float arithmetic make it the same on every build.
void fillInput(std::vector<float>& left, std::vector<float>& right, int block)
{
    static uint32_t state = 12345u;
    for (int i = 0; i < kBlock; ++i) {
        const int n = block * kBlock + i;
        float l = 0.0f;
        float r = 0.0f;
        if (n < 12000) {
            const float envelope = 1.0f - static_cast<float>(n) / 12000.0f;
            state = state * 1664525u + 1013904223u;
            const float noiseL = static_cast<float>(state >> 8) / 16777216.0f - 0.5f;
            state = state * 1664525u + 1013904223u;
            const float noiseR = static_cast<float>(state >> 8) / 16777216.0f - 0.5f;
            // A square-ish tone from the sample count: no libm, no rounding differences.
            const float tone = (n / 40) % 2 == 0 ? 0.25f : -0.25f;
            l = envelope * (noiseL + tone);
            r = envelope * noiseR;
        }
        left[static_cast<size_t>(i)] = l;
        right[static_cast<size_t>(i)] = r;
    }
}

bool writeFile(const std::string& path, const void* data, size_t size)
{
    std::ofstream out(path, std::ios::binary);
    out.write(static_cast<const char*>(data), static_cast<std::streamsize>(size));
    return static_cast<bool>(out);
}

bool readFile(const std::string& path, std::vector<unsigned char>& bytes)
{
    std::ifstream in(path, std::ios::binary | std::ios::ate);
    if (!in)
        return false;
    const std::streamoff size = in.tellg();
    if (size < 0)
        return false;
    bytes.resize(static_cast<size_t>(size));
    in.seekg(0);
    in.read(reinterpret_cast<char*>(bytes.data()), static_cast<std::streamsize>(size));
    return static_cast<bool>(in);
}

bool load(VstHost& host, const std::string& plugin)
{
    std::string error;
    if (!host.load(plugin, error)) {
        std::cerr << "vstprobe: " << error << '\n';
        return false;
    }
    host.dispatch(effOpen);
    host.dispatch(effSetSampleRate, 0, 0, nullptr, kRate);
    host.dispatch(effSetBlockSize, 0, kBlock);
    return true;
}

std::vector<unsigned char> chunk(VstHost& host, bool program)
{
    void* data = nullptr;
    const VstIntPtr size = host.dispatch(effGetChunk, program ? 1 : 0, 0, &data);
    if (data == nullptr || size <= 0)
        return {};
    const auto* bytes = static_cast<const unsigned char*>(data);
    return {bytes, bytes + size};
}

std::string programFile(const std::string& dir, int program)
{
    return dir + "/program-" + std::to_string(program) + ".bin";
}

int render(const std::string& plugin, int program, const std::string& outPath)
{
    VstHost host;
    if (!load(host, plugin))
        return 1;
    host.dispatch(effSetProgram, 0, program);
    host.dispatch(effMainsChanged, 0, 1);
    std::vector<float> in(kInputs * kBlock), out(kOutputs * kBlock);
    std::vector<float> left(kBlock), right(kBlock);
    float* inputs[kInputs];
    float* outputs[kOutputs];
    for (int c = 0; c < kInputs; ++c)
        inputs[c] = in.data() + c * kBlock;
    for (int c = 0; c < kOutputs; ++c)
        outputs[c] = out.data() + c * kBlock;
    std::vector<float> all;
    all.reserve(static_cast<size_t>(kBlocks) * kBlock * kOutputs);
    for (int b = 0; b < kBlocks; ++b) {
        fillInput(left, right, b);
        std::copy(left.begin(), left.end(), inputs[0]);
        std::copy(right.begin(), right.end(), inputs[1]);
        std::fill(out.begin(), out.end(), 0.0f);
        host.processReplacing(inputs, outputs, kBlock);
        for (int i = 0; i < kBlock; ++i)
            for (int c = 0; c < kOutputs; ++c)
                all.push_back(outputs[c][i]);
    }
    host.dispatch(effMainsChanged, 0, 0);
    host.unload();
    if (!writeFile(outPath, all.data(), all.size() * sizeof(float))) {
        std::cerr << "vstprobe: cannot write " << outPath << '\n';
        return 1;
    }
    return 0;
}

int chunks(const std::string& plugin, const std::string& dir)
{
    VstHost host;
    if (!load(host, plugin))
        return 1;
    for (int program : kProbePrograms) {
        host.dispatch(effSetProgram, 0, program);
        const auto bytes = chunk(host, true);
        if (bytes.empty() || !writeFile(programFile(dir, program), bytes.data(), bytes.size())) {
            std::cerr << "vstprobe: no program chunk for " << program << '\n';
            return 1;
        }
    }
    const auto bank = chunk(host, false);
    if (bank.empty() || !writeFile(dir + "/bank.bin", bank.data(), bank.size())) {
        std::cerr << "vstprobe: no bank chunk\n";
        return 1;
    }
    host.unload();
    return 0;
}

// Sets a chunk written by another build and reads it back: the plug-in
// must take it whole and give the same bytes.
int reload(const std::string& plugin, const std::string& dir)
{
    int failures = 0;
    std::vector<unsigned char> bytes;
    {
        VstHost host;
        if (!load(host, plugin))
            return 1;
        if (!readFile(dir + "/bank.bin", bytes)) {
            std::cerr << "vstprobe: cannot read " << dir << "/bank.bin\n";
            return 1;
        }
        host.dispatch(effSetChunk, 0, static_cast<VstIntPtr>(bytes.size()), bytes.data());
        const bool same = chunk(host, false) == bytes;
        std::cout << "bank: " << (same ? "loaded and read back unchanged" : "DIFFERS after loading") << '\n';
        failures += same ? 0 : 1;
    }
    for (int program : kProbePrograms) {
        VstHost host;
        if (!load(host, plugin) || !readFile(programFile(dir, program), bytes))
            return 1;
        // Into another slot than it came from: the chunk carries the program.
        host.dispatch(effSetProgram, 0, program == 0 ? 1 : 0);
        host.dispatch(effSetChunk, 1, static_cast<VstIntPtr>(bytes.size()), bytes.data());
        const bool same = chunk(host, true) == bytes;
        std::cout << "program " << program << ": " << (same ? "loaded and read back unchanged" : "DIFFERS after loading")
                  << '\n';
        failures += same ? 0 : 1;
    }
    return failures == 0 ? 0 : 1;
}

int compare(const std::string& a, const std::string& b, double tolerance)
{
    std::vector<unsigned char> x, y;
    if (!readFile(a, x) || !readFile(b, y)) {
        std::cerr << "vstprobe: cannot read " << a << " or " << b << '\n';
        return 1;
    }
    if (x.size() != y.size() || x.size() % sizeof(float) != 0 || x.empty()) {
        std::cout << a << " and " << b << " differ in length\n";
        return 1;
    }
    const size_t n = x.size() / sizeof(float);
    std::vector<float> fx(n), fy(n);
    std::memcpy(fx.data(), x.data(), x.size());
    std::memcpy(fy.data(), y.data(), y.size());
    double largest = 0.0;
    double peak = 0.0;
    size_t differing = 0;
    bool finite = true;
    for (size_t i = 0; i < n; ++i) {
        finite = finite && std::isfinite(fx[i]) && std::isfinite(fy[i]);
        const double d = std::fabs(static_cast<double>(fx[i]) - static_cast<double>(fy[i]));
        largest = std::max(largest, d);
        peak = std::max(peak, std::fabs(static_cast<double>(fx[i])));
        differing += d > 0.0 ? 1 : 0;
    }
    std::printf("largest difference %.3g (%zu of %zu samples differ, peak %.3g)\n", largest, differing, n, peak);
    if (!finite || peak == 0.0) {
        std::printf("the render is silent or not finite\n");
        return 1;
    }
    return largest <= tolerance ? 0 : 1;
}

} // namespace

} // namespace ovinta

using namespace ovinta;

int main(int argc, char** argv)
{
    const std::vector<std::string> args(argv + 1, argv + argc);
    if (args.size() == 4 && args[0] == "render")
        return render(args[1], std::atoi(args[2].c_str()), args[3]);
    if (args.size() == 3 && args[0] == "chunks")
        return chunks(args[1], args[2]);
    if (args.size() == 3 && args[0] == "reload")
        return reload(args[1], args[2]);
    if (args.size() == 4 && args[0] == "compare")
        return compare(args[1], args[2], std::atof(args[3].c_str()));
    std::cerr << "usage: vstprobe render PLUGIN PROGRAM OUT | chunks PLUGIN DIR | reload PLUGIN DIR | "
                 "compare A B TOLERANCE\n";
    return 2;
}
