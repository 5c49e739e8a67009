// SPDX-License-Identifier: GPL-3.0-or-later
// ovinta make-demo-signal: a short dry test signal made here, so the demo
// needs nothing downloaded: two bars of drum-like hits (a pitched-down sine
// kick, a noise snare, short hats) and a plucked phrase from a
// Karplus-Strong string, stereo at 44.1 kHz.

#include "tools/ovinta/AudioFile.h"
#include "tools/ovinta/AudioWriter.h"
#include "tools/ovinta/CommandLine.h"
#include "tools/ovinta/Commands.h"

#include <cmath>
#include <cstdint>
#include <cstdio>
#include <numbers>
#include <vector>

namespace ovinta {

namespace {

constexpr int kRate = 44100;
constexpr double kBeatSeconds = 0.5; // 120 beats per minute
constexpr int kBeats = 12;

// Small fixed-seed generator so that the signal is the same on every run.
class Noise {
public:
    double next()
    {
        state = state * 6364136223846793005ULL + 1442695040888963407ULL;
        return static_cast<double>(state >> 11) / 4503599627370496.0 - 1.0; // -1..1
    }

private:
    uint64_t state = 0x5eed;
};

struct Stereo {
    std::vector<float> left, right;
    void add(std::size_t at, double v, double pan) // pan 0 left .. 1 right
    {
        if (at >= left.size())
            return;
        left[at] += static_cast<float>(v * std::cos(pan * std::numbers::pi / 2));
        right[at] += static_cast<float>(v * std::sin(pan * std::numbers::pi / 2));
    }
};

void kick(Stereo& out, std::size_t at)
{
    double phase = 0.0;
    for (int i = 0; i < kRate / 3; ++i) {
        const double t = static_cast<double>(i) / kRate;
        phase += 2.0 * std::numbers::pi * (50.0 + 100.0 * std::exp(-t * 30.0)) / kRate;
        out.add(at + i, 0.8 * std::sin(phase) * std::exp(-t * 9.0), 0.5);
    }
}

void snare(Stereo& out, std::size_t at, Noise& noise)
{
    for (int i = 0; i < kRate / 4; ++i) {
        const double t = static_cast<double>(i) / kRate;
        const double body = std::sin(2.0 * std::numbers::pi * 190.0 * t) * std::exp(-t * 25.0);
        out.add(at + i, 0.35 * body + 0.4 * noise.next() * std::exp(-t * 18.0), 0.45);
    }
}

void hat(Stereo& out, std::size_t at, Noise& noise)
{
    double previous = 0.0;
    for (int i = 0; i < kRate / 20; ++i) {
        const double x = noise.next();
        const double t = static_cast<double>(i) / kRate;
        // The first difference of the noise: a bright, short hiss.
        out.add(at + i, 0.25 * (x - previous) * std::exp(-t * 80.0), 0.7);
        previous = x;
    }
}

// Karplus-Strong: a noise burst circulating in a delay of one period,
// averaged each pass, decays like a plucked string.
void pluck(Stereo& out, std::size_t at, double hz, double seconds, Noise& noise)
{
    const auto period = static_cast<std::size_t>(kRate / hz);
    std::vector<double> line(period);
    for (double& v : line)
        v = noise.next() * 0.5;
    const auto length = static_cast<std::size_t>(seconds * kRate);
    for (std::size_t i = 0; i < length; ++i) {
        const std::size_t k = i % period;
        const double v = line[k];
        line[k] = 0.996 * 0.5 * (v + line[(k + 1) % period]);
        out.add(at + i, v, 0.3);
    }
}

} // namespace

void demoSignalCommand(const std::vector<std::string>& words)
{
    Arguments args(words);
    const std::string path = args.positional(1, 1, "ovinta make-demo-signal OUT.wav")[0];
    requireWavName(path);
    const auto beat = static_cast<std::size_t>(kBeatSeconds * kRate);
    Stereo s;
    s.left.assign(beat * (kBeats + 2), 0.0f);
    s.right.assign(s.left.size(), 0.0f);
    Noise noise;
    for (int b = 0; b < 8; ++b) {
        if (b % 2 == 0)
            kick(s, b * beat);
        else
            snare(s, b * beat, noise);
        hat(s, b * beat + beat / 2, noise);
    }
    // A plucked phrase (A minor arpeggio and a falling line) after the drums.
    const double notes[] = {220.0, 261.63, 329.63, 440.0, 392.0, 329.63, 293.66, 220.0};
    for (int n = 0; n < 8; ++n)
        pluck(s, 8 * beat + n * beat / 2, notes[n], 1.2, noise);

    std::vector<float> interleaved(2 * s.left.size());
    for (std::size_t i = 0; i < s.left.size(); ++i) {
        interleaved[2 * i] = s.left[i];
        interleaved[2 * i + 1] = s.right[i];
    }
    AudioWriter writer(path, 2, kRate);
    writer.write(interleaved.data(), s.left.size());
    writer.commit();
    std::printf("%s: 2 channels, %d Hz, %.2f s\n", path.c_str(), kRate,
                static_cast<double>(s.left.size()) / kRate);
}

} // namespace ovinta
