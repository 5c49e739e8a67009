// SPDX-License-Identifier: GPL-3.0-or-later
// The built `ovinta` tool run end to end with arguments, on files made by
// the tests: exit codes, error lines, files written and their contents.

#include <gtest/gtest.h>

#include <sndfile.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <numbers>
#include <random>
#include <regex>
#include <sstream>
#include <string>
#include <sys/resource.h>
#include <sys/wait.h>
#include <thread>
#include <vector>
#include <unistd.h>

namespace ovinta {

namespace fs = std::filesystem;

namespace {

struct ToolRun {
    int exitCode = -1;
    std::string out, err;
};

// A fresh folder per test, so that tests run in parallel processes never
// share files.
fs::path workDir()
{
    static std::string made;
    const std::string test = testing::UnitTest::GetInstance()->current_test_info()->name();
    const fs::path dir = fs::path(testing::TempDir()) / ("ovinta_tool_" + test + "_" + std::to_string(::getpid()));
    if (made != test) {
        fs::remove_all(dir);
        fs::create_directories(dir);
        made = test;
    }
    return dir;
}

std::string slurp(const fs::path& p)
{
    std::ifstream in(p);
    std::stringstream s;
    s << in.rdbuf();
    return s.str();
}

std::string quoted(const std::string& word)
{
    std::string q = "'";
    for (char c : word)
        q += c == '\'' ? std::string("'\\''") : std::string(1, c);
    return q + "'";
}

ToolRun ovinta(const std::vector<std::string>& args)
{
    std::string command = quoted(OVINTA_TOOL_PATH);
    for (const std::string& a : args)
        command += " " + quoted(a);
    const fs::path out = workDir() / "stdout.txt", err = workDir() / "stderr.txt";
    command += " >" + quoted(out.string()) + " 2>" + quoted(err.string()) + " </dev/null";
    const int status = std::system(command.c_str());
    ToolRun r;
    r.exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    r.out = slurp(out);
    r.err = slurp(err);
    return r;
}

struct Sound {
    int channels = 0, rate = 0;
    std::vector<float> samples;
    std::size_t frames() const { return channels ? samples.size() / channels : 0; }
};

Sound readSound(const fs::path& p)
{
    SF_INFO info{};
    SNDFILE* f = sf_open(p.c_str(), SFM_READ, &info);
    Sound s;
    if (f == nullptr)
        return s;
    s.channels = info.channels;
    s.rate = info.samplerate;
    s.samples.resize(static_cast<std::size_t>(info.frames * info.channels));
    sf_readf_float(f, s.samples.data(), info.frames);
    sf_close(f);
    return s;
}

void writeSound(const fs::path& p, int channels, int rate, const std::vector<float>& samples,
                int format = SF_FORMAT_WAV | SF_FORMAT_FLOAT)
{
    SF_INFO info{};
    info.channels = channels;
    info.samplerate = rate;
    info.format = format;
    SNDFILE* f = sf_open(p.c_str(), SFM_WRITE, &info);
    ASSERT_NE(f, nullptr);
    sf_writef_float(f, samples.data(), static_cast<sf_count_t>(samples.size() / channels));
    sf_close(f);
}

// The single error line a failing command prints.
void expectErrorLine(const ToolRun& r, const std::string& fragment)
{
    EXPECT_NE(r.exitCode, 0);
    EXPECT_EQ(r.err.rfind("ovinta: ", 0), 0u) << r.err;
    EXPECT_EQ(std::count(r.err.begin(), r.err.end(), '\n'), 1) << r.err;
    EXPECT_NE(r.err.find(fragment), std::string::npos) << r.err;
}

fs::path shortSignal()
{
    // 0.25 s of mono clicks at 44.1 kHz.
    const fs::path p = workDir() / "clicks.flac";
    std::vector<float> s(11025, 0.0f);
    for (std::size_t i = 0; i < s.size(); i += 2205)
        s[i] = 0.8f;
    writeSound(p, 1, 44100, s, SF_FORMAT_FLAC | SF_FORMAT_PCM_16);
    return p;
}

} // namespace

TEST(OvintaTool, InfoListsTheFactoryPrograms)
{
    const ToolRun r = ovinta({"info"});
    ASSERT_EQ(r.exitCode, 0) << r.err;
    const std::regex row(R"(^\s*(\d+)\s{2}\S)");
    int rows = 0;
    std::istringstream lines(r.out);
    for (std::string line; std::getline(lines, line);)
        rows += std::regex_search(line, row) ? 1 : 0;
    EXPECT_EQ(rows, 45);
    EXPECT_NE(r.out.find("Concert: Elmia Hall"), std::string::npos);
    EXPECT_NE(r.out.find("Vocal: Intimate Slap"), std::string::npos);
}

TEST(OvintaTool, InfoShowsOneProgramsRawValuesAndDisplays)
{
    const ToolRun r = ovinta({"info", "--program", "vocal: intimate slap"});
    ASSERT_EQ(r.exitCode, 0) << r.err;
    EXPECT_NE(r.out.find("program 12: Vocal: Intimate Slap"), std::string::npos);
    // Every stored parameter has a row; the scale row shows its raw value and percent.
    const std::regex scale(R"(\n\s*15\s+KSV Scale\s+%\s+10\.\.200 %\s+(-?\d+\.\d{6})\s+(\d+)%)");
    std::smatch m;
    ASSERT_TRUE(std::regex_search(r.out, m, scale)) << r.out;
    const double raw = std::stod(m[1]);
    EXPECT_EQ(std::stoi(m[2]), static_cast<int>(std::max(2.0 * raw, 0.1) * 100.0 + 0.5));
    EXPECT_NE(r.out.find("walls"), std::string::npos);
}

TEST(OvintaTool, InfoListsEveryWallOfAProgramOnThePlan)
{
    // The list's wall count for program 0 agrees with its detail page, and
    // every end point lies on the 50 x 50 m plan.
    const ToolRun list = ovinta({"info"});
    std::smatch m;
    const std::regex firstRow(R"(\n\s*0\s+Concert: Elmia Hall\s+(\d+))");
    ASSERT_TRUE(std::regex_search(list.out, m, firstRow));
    const int listed = std::stoi(m[1]);
    const ToolRun one = ovinta({"info", "--program", "0"});
    ASSERT_EQ(one.exitCode, 0) << one.err;
    ASSERT_TRUE(std::regex_search(one.out, m, std::regex(R"((\d+) walls)")));
    EXPECT_EQ(std::stoi(m[1]), listed);
    const std::regex wall(R"(\n\s*\d+\s+\((\S+), (\S+)\) - \((\S+), (\S+)\))");
    int rows = 0;
    for (auto it = std::sregex_iterator(one.out.begin(), one.out.end(), wall);
         it != std::sregex_iterator(); ++it, ++rows)
        for (int k = 1; k <= 4; ++k) {
            const double v = std::stod((*it)[k]);
            EXPECT_GE(v, 0.0);
            EXPECT_LE(v, 50.0);
        }
    EXPECT_EQ(rows, listed);
    EXPECT_GT(listed, 0);
}

TEST(OvintaTool, BadWordsGiveOneClearErrorLine)
{
    expectErrorLine(ovinta({"info", "--program", "99"}), "program number 99 is out of range 0..44");
    expectErrorLine(ovinta({"info", "--program", "Nowhere Hall"}), "no program is named");
    expectErrorLine(ovinta({"frobnicate"}), "unknown command");
    expectErrorLine(ovinta({"info", "--bogus"}), "unknown option --bogus");
    expectErrorLine(ovinta({"analyse", (workDir() / "missing.wav").string()}), "cannot read");
    expectErrorLine(ovinta({"render", "a.wav"}), "usage: ovinta render");
    const fs::path in = shortSignal();
    const fs::path out = workDir() / "never.wav";
    expectErrorLine(ovinta({"render", in.string(), out.string(), "--set", "Loudness=1"}),
                    "no parameter is named \"Loudness\"");
    expectErrorLine(ovinta({"render", in.string(), out.string(), "--set", "0=loud"}),
                    "must be a number");
    expectErrorLine(ovinta({"render", in.string(), out.string(), "--outputs", "3"}),
                    "--outputs must be 2, 4 or 5");
    expectErrorLine(ovinta({"render", in.string(), out.string(), "--rate", "48000"}),
                    "is at 44100 Hz, not 48000 Hz");
    EXPECT_FALSE(fs::exists(out));
}

TEST(OvintaTool, AnalyseReportsTheDecayTimeOfAKnownDecay)
{
    // Noise decaying by 60 dB in 0.7 s.
    const fs::path p = workDir() / "decay.wav";
    std::mt19937 g(4);
    std::normal_distribution<float> n(0.0f, 0.3f);
    std::vector<float> s(48000 * 2);
    for (std::size_t i = 0; i < s.size(); ++i) {
        const float t = static_cast<float>(i) / 48000.0f;
        s[i] = n(g) * std::exp(-3.0f * std::numbers::ln10_v<float> * t / 0.7f);
    }
    writeSound(p, 1, 48000, s);
    const ToolRun r = ovinta({"analyse", p.string()});
    ASSERT_EQ(r.exitCode, 0) << r.err;
    const std::regex full(R"(full\s+(\S+)\s+(\S+)\s+(\S+))");
    std::smatch m;
    ASSERT_TRUE(std::regex_search(r.out, m, full)) << r.out;
    EXPECT_NEAR(std::stod(m[2]), 0.7, 0.03); // T20
    EXPECT_NEAR(std::stod(m[3]), 0.7, 0.03); // T30
    EXPECT_NE(r.out.find("8k"), std::string::npos);
}

TEST(OvintaTool, DemoSignalIsAStereoWaveFile)
{
    const fs::path p = workDir() / "demo.wav";
    const ToolRun r = ovinta({"make-demo-signal", p.string()});
    ASSERT_EQ(r.exitCode, 0) << r.err;
    const Sound s = readSound(p);
    EXPECT_EQ(s.channels, 2);
    EXPECT_EQ(s.rate, 44100);
    EXPECT_EQ(s.frames(), 44100u * 7);
    float peak = 0.0f;
    for (float x : s.samples)
        peak = std::max(peak, std::fabs(x));
    EXPECT_GT(peak, 0.1f);
    EXPECT_LE(peak, 1.0f);
}

TEST(OvintaTool, RenderAddsTheTailAndHasOneChannelPerOutput)
{
    const fs::path in = shortSignal();
    constexpr std::size_t kInputFrames = 11025, kBlock = 300, kSecond = 44100;
    for (int outputs : {2, 4, 5}) {
        SCOPED_TRACE(outputs);
        const fs::path out = workDir() / ("wet" + std::to_string(outputs) + ".wav");
        const ToolRun r = ovinta({"render", in.string(), out.string(), "--program", "0",
                                  "--outputs", std::to_string(outputs), "--block", "300"});
        ASSERT_EQ(r.exitCode, 0) << r.err;
        const Sound s = readSound(out);
        EXPECT_EQ(s.channels, outputs);
        EXPECT_EQ(s.rate, 44100);
        // Last frame at or above -90 dBFS in any channel.
        std::size_t lastLoud = 0;
        for (std::size_t i = 0; i < s.samples.size(); ++i) {
            ASSERT_TRUE(std::isfinite(s.samples[i]));
            if (std::fabs(s.samples[i]) >= 3.1623e-5f)
                lastLoud = i / outputs;
        }
        // The hall rings on after the input, and the render stops at the
        // end of the block in which one quiet second was complete.
        EXPECT_GT(lastLoud, kInputFrames);
        const std::size_t quietAfter = s.frames() - lastLoud - 1;
        EXPECT_GE(quietAfter, kSecond);
        EXPECT_LT(quietAfter, kSecond + kBlock);
    }
}

TEST(OvintaTool, SilentRenderStopsAfterOneQuietSecond)
{
    const fs::path in = shortSignal();
    const fs::path out = workDir() / "drywet0.wav";
    const ToolRun r = ovinta({"render", in.string(), out.string(), "--set", "wet gain=-inf", "--set",
                          "1=raw:0", "--block", "441"});
    ASSERT_EQ(r.exitCode, 0) << r.err;
    const Sound s = readSound(out);
    ASSERT_EQ(s.channels, 2);
    // Nothing sounds, so the output has been quiet from its first frame and
    // the render ends once one second (100 blocks of 441) has passed.
    EXPECT_EQ(s.frames(), 44100u);
    for (float x : s.samples)
        ASSERT_LT(std::fabs(x), 3.2e-5f);
}

TEST(OvintaTool, RenderNeverOverwritesItsInput)
{
    const fs::path in = shortSignal();
    const auto size = fs::file_size(in);
    expectErrorLine(ovinta({"render", in.string(), in.string()}), "refusing to overwrite");
    const fs::path link = workDir() / "link.flac";
    fs::remove(link);
    fs::create_hard_link(in, link);
    expectErrorLine(ovinta({"render", in.string(), link.string()}), "refusing to overwrite");
    EXPECT_EQ(fs::file_size(in), size);
}

TEST(OvintaTool, ExportWritesOneFilePerOutputAndListsThem)
{
    const fs::path base = workDir() / "ir.wav";
    const ToolRun r = ovinta({"export-ir", "--program", "0", "--rate", "48000", "--format", "wav16",
                          "--outputs", "4", base.string()});
    ASSERT_EQ(r.exitCode, 0) << r.err;
    float loudest = 0.0f;
    for (int c = 1; c <= 4; ++c) {
        const fs::path file = workDir() / ("ir" + std::to_string(c) + ".wav");
        EXPECT_NE(r.out.find(file.string()), std::string::npos) << r.out;
        const Sound s = readSound(file);
        EXPECT_EQ(s.channels, 1);
        EXPECT_EQ(s.rate, 48000);
        EXPECT_EQ(s.frames() % 1024, 0u);
        EXPECT_EQ(fs::file_size(file), 44 + 2 * s.frames());
        for (float x : s.samples)
            loudest = std::max(loudest, std::fabs(x));
    }
    EXPECT_GT(loudest, 0.999f); // normalised: full scale somewhere
    EXPECT_FALSE(fs::exists(workDir() / "ir5.wav"));
}

TEST(OvintaTool, ExportRawFilesAreWholeBlocksWithoutHeader)
{
    const fs::path base = workDir() / "plain";
    const ToolRun r = ovinta({"export-ir", "--program", "Vocal: Intimate Slap", "--format", "raw",
                          "--normalise", "off", base.string()});
    ASSERT_EQ(r.exitCode, 0) << r.err;
    for (const char* name : {"plain1.raw", "plain2.raw"}) {
        const fs::path file = workDir() / name;
        ASSERT_TRUE(fs::exists(file));
        EXPECT_GT(fs::file_size(file), 0u);
        EXPECT_EQ(fs::file_size(file) % 4096, 0u);
        EXPECT_NE(slurp(file).rfind("RIFF", 0), 0u);
    }
}

TEST(OvintaTool, ExportIntoAMissingDirectoryFailsCleanly)
{
    const fs::path base = workDir() / "no" / "such" / "dir" / "ir.wav";
    expectErrorLine(ovinta({"export-ir", "--program", "3", base.string()}), "cannot create");
    expectErrorLine(ovinta({"export-ir", "--program", "3", "--rate", "22050", "x.wav"}),
                    "--rate must be 44100, 48000 or 96000");
    expectErrorLine(ovinta({"export-ir", "x.wav"}), "usage: ovinta export-ir");
}

namespace {

// A sine of `frames` frames at 44.1 kHz, amplitude 0.4, `channels` copies.
fs::path sineFile(const std::string& name, std::size_t frames, int channels = 1)
{
    const fs::path p = workDir() / name;
    std::vector<float> s(frames * channels);
    for (std::size_t i = 0; i < frames; ++i)
        for (int c = 0; c < channels; ++c)
            s[i * channels + c] = 0.4f * std::sin(2.0f * std::numbers::pi_v<float> * 440.0f *
                                                  static_cast<float>(i) / 44100.0f);
    writeSound(p, channels, 44100, s);
    return p;
}

float peakOf(const Sound& s)
{
    float peak = 0.0f;
    for (float x : s.samples)
        peak = std::max(peak, std::fabs(x));
    return peak;
}

// The WAVE format tag and channel mask of a file's "fmt " chunk.
std::pair<unsigned, unsigned> formatAndMask(const fs::path& p)
{
    const std::string d = slurp(p);
    auto u16 = [&](std::size_t at) { return unsigned(uint8_t(d[at])) | unsigned(uint8_t(d[at + 1])) << 8; };
    auto u32 = [&](std::size_t at) { return u16(at) | u16(at + 2) << 16; };
    const std::size_t fmt = d.find("fmt ");
    if (fmt == std::string::npos || d.size() < fmt + 32)
        return {0, 0};
    const unsigned tag = u16(fmt + 8);
    return {tag, tag == 0xFFFE ? u32(fmt + 8 + 20) : 0};
}

} // namespace

TEST(OvintaTool, RenderTailIsTheRoomsAnswerToSilence)
{
    // Inputs that do not end on a block boundary, one shorter than a block:
    // after the input the reverb hears silence, so the render rings out and
    // stops well before its 30 s limit with a quiet last second.
    struct Case {
        std::size_t frames;
        const char* block;
    } cases[] = {{88200 + 100, "512"}, {100, "512"}, {44100 + 7, "300"}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.frames);
        const fs::path in = sineFile("sine.wav", c.frames);
        const fs::path out = workDir() / "tail.wav";
        const ToolRun r = ovinta({"render", in.string(), out.string(), "--block", c.block});
        ASSERT_EQ(r.exitCode, 0) << r.err;
        const Sound s = readSound(out);
        ASSERT_EQ(s.channels, 2);
        EXPECT_LT(s.frames(), c.frames + 15 * 44100u);
        std::size_t lastLoud = 0;
        for (std::size_t i = 0; i < s.samples.size(); ++i)
            if (std::fabs(s.samples[i]) >= 3.1623e-5f)
                lastLoud = i / 2;
        EXPECT_GE(s.frames() - lastLoud - 1, 44100u);
    }
}

TEST(OvintaTool, InputsOfMoreThanTwoChannelsNeedAChoice)
{
    const fs::path in = sineFile("quad.wav", 4410, 4);
    const fs::path out = workDir() / "wet.wav";
    expectErrorLine(ovinta({"render", in.string(), out.string()}), "has 4 channels");
    expectErrorLine(ovinta({"render", in.string(), out.string(), "--channels", "5"}),
                    "has 4 channels");
    EXPECT_FALSE(fs::exists(out));
    const ToolRun r = ovinta({"render", in.string(), out.string(), "--channels", "3,4", "--quiet"});
    ASSERT_EQ(r.exitCode, 0) << r.err;
    EXPECT_EQ(r.out, "");
    EXPECT_EQ(readSound(out).channels, 2);
}

TEST(OvintaTool, ATruncatedInputIsWarnedAbout)
{
    const fs::path in = sineFile("cut.wav", 44100);
    fs::resize_file(in, fs::file_size(in) - 4000); // the header still claims 44100 frames
    const ToolRun r = ovinta({"render", in.string(), (workDir() / "o.wav").string(), "--quiet"});
    EXPECT_EQ(r.exitCode, 0);
    EXPECT_NE(r.err.find("ovinta: warning: " + in.string() + " is shorter than its header claims"),
              std::string::npos) << r.err;
    EXPECT_EQ(ovinta({"render", sineFile("whole.wav", 44100).string(),
                      (workDir() / "p.wav").string(), "--quiet"}).err, "");
}

TEST(OvintaTool, SurroundRendersCarryTheWaveChannelMaskInItsOrder)
{
    const fs::path in = sineFile("sine.wav", 22050);
    Sound renders[2];
    const std::pair<int, unsigned> layouts[] = {{4, 0x33u}, {5, 0x37u}}; // FL FR BL BR; + FC
    for (int k = 0; k < 2; ++k) {
        const auto [outputs, mask] = layouts[k];
        const fs::path out = workDir() / ("s" + std::to_string(outputs) + ".wav");
        const ToolRun r = ovinta({"render", in.string(), out.string(), "--outputs",
                                  std::to_string(outputs), "--quiet"});
        ASSERT_EQ(r.exitCode, 0) << r.err;
        EXPECT_EQ(formatAndMask(out), std::make_pair(0xFFFEu, mask));
        renders[k] = readSound(out);
        ASSERT_EQ(renders[k].channels, outputs);
    }
    // The surround pair is the last two channels in both files, so the five-
    // channel file's channels 4 and 5 are the four-channel file's 3 and 4.
    const std::size_t frames = std::min(renders[0].frames(), renders[1].frames());
    double same = 0.0, energy = 0.0;
    for (std::size_t i = 0; i < frames; ++i)
        for (int c = 0; c < 2; ++c) {
            const auto a = static_cast<double>(renders[0].samples[i * 4 + 2 + c]);
            const auto b = static_cast<double>(renders[1].samples[i * 5 + 3 + c]);
            same += (a - b) * (a - b);
            energy += a * a;
        }
    EXPECT_GT(energy, 1e-3);
    EXPECT_LT(same, energy * 1e-6);
}

TEST(OvintaTool, OutputsAreWavAndAppearWholeOrNotAtAll)
{
    const fs::path in = sineFile("sine.wav", 4410);
    expectErrorLine(ovinta({"render", in.string(), (workDir() / "wet.mp3").string()}),
                    "must be a .wav or .flac file");
    expectErrorLine(ovinta({"render", in.string(), (workDir() / "none" / "wet.wav").string()}),
                    "No such file or directory");
    const ToolRun r = ovinta({"render", in.string(), (workDir() / "wet.wav").string()});
    ASSERT_EQ(r.exitCode, 0) << r.err;
    std::vector<std::string> names;
    for (const auto& entry : fs::directory_iterator(workDir()))
        if (entry.path().extension() != ".txt")
            names.push_back(entry.path().filename().string());
    std::sort(names.begin(), names.end());
    EXPECT_EQ(names, (std::vector<std::string>{"sine.wav", "wet.wav"}));
    // The report's peak is the file's.
    const float peak = peakOf(readSound(workDir() / "wet.wav"));
    char expected[32];
    std::snprintf(expected, sizeof expected, "peak %+.1f dBFS", 20.0 * std::log10(static_cast<double>(peak)));
    EXPECT_NE(r.out.find(expected), std::string::npos) << r.out;
}

TEST(OvintaTool, ValuesInDisplayUnitsAndPeaksAboveFullScale)
{
    // Wet only: -6 dB on the wet display halves the output's amplitude.
    const fs::path in = sineFile("sine.wav", 44100);
    float peaks[2];
    const char* wet[] = {"Wet gain=0dB", "wet gain=-6 dB"};
    for (int k = 0; k < 2; ++k) {
        const fs::path out = workDir() / ("w" + std::to_string(k) + ".wav");
        const ToolRun r = ovinta({"render", in.string(), out.string(), "--set", "dry gain=-inf dB",
                                  "--set", wet[k], "--quiet"});
        ASSERT_EQ(r.exitCode, 0) << r.err;
        peaks[k] = peakOf(readSound(out));
        // The loud one goes above full scale, and says so.
        EXPECT_EQ(r.err.find("above full scale") != std::string::npos, peaks[k] > 1.0f) << r.err;
    }
    EXPECT_NEAR(20.0 * std::log10(static_cast<double>(peaks[1] / peaks[0])), -6.0, 0.05);
    const fs::path out = workDir() / "x.wav";
    expectErrorLine(ovinta({"render", in.string(), out.string(), "--set", "wet gain=5Hz"}),
                    "is in dB, not \"Hz\"");
    expectErrorLine(ovinta({"render", in.string(), out.string(), "--set", "wet gain=+10dB"}),
                    "-inf..+4 dB");
    expectErrorLine(ovinta({"render", in.string(), out.string(), "--set", "Stereo button=1dB"}),
                    "has no unit");
}

TEST(OvintaTool, ExportNamesDropOnlyAnAudioEnding)
{
    const struct {
        const char* given;
        const char* first; // first file written, "" for a refusal
    } cases[] = {{"take.2", "take.21.wav"},   {"a.b.c", "a.b.c1.wav"}, {"Room.WAV", "Room1.wav"},
                 {"hall.raw", "hall1.wav"},   {".", ""},               {"..", ""},
                 {".wav", ""},                {"sub/", ""}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.given);
        const ToolRun r = ovinta({"export-ir", "--program", "12", "--quiet",
                                  (workDir() / c.given).string()});
        if (*c.first == '\0') {
            expectErrorLine(r, "gives no file name");
            continue;
        }
        ASSERT_EQ(r.exitCode, 0) << r.err;
        EXPECT_TRUE(fs::exists(workDir() / c.first));
    }
    for (const auto& entry : fs::directory_iterator(workDir()))
        EXPECT_NE(entry.path().filename().string().rfind(".ovinta-", 0), 0u) << entry.path();
}

TEST(OvintaTool, EveryCommandHasHelpAndTheGeneralHelpListsEveryOption)
{
    const ToolRun general = ovinta({"--help"});
    ASSERT_EQ(general.exitCode, 0);
    EXPECT_EQ(ovinta({"help"}).out, general.out);
    const std::regex option(R"(--[a-z][a-z-]*)");
    for (const char* command : {"render", "export-ir", "info", "analyse"}) {
        SCOPED_TRACE(command);
        const ToolRun own = ovinta({command, "--help"});
        ASSERT_EQ(own.exitCode, 0) << own.err;
        EXPECT_EQ(own.out.rfind(std::string("usage: ovinta ") + command, 0), 0u) << own.out;
        EXPECT_EQ(ovinta({"help", command}).out, own.out);
        EXPECT_NE(general.out.find(own.out), std::string::npos);
        // Each option the help names is one the command knows.
        for (auto it = std::sregex_iterator(own.out.begin(), own.out.end(), option);
             it != std::sregex_iterator(); ++it) {
            const ToolRun r = ovinta({command, it->str()});
            EXPECT_EQ(r.err.find("unknown option"), std::string::npos) << it->str() << r.err;
        }
    }
    const ToolRun version = ovinta({"--version"});
    EXPECT_EQ(version.exitCode, 0);
    EXPECT_TRUE(std::regex_match(version.out, std::regex("ovinta \\d+\\.\\d+(\\.\\d+)?\n")));
    expectErrorLine(ovinta({"help", "frobnicate"}), "no help for \"frobnicate\"");
}

TEST(OvintaTool, InfoNamesThePinsAndSettingsAndMeasuresEachProgram)
{
    const ToolRun one = ovinta({"info", "--program", "0"});
    ASSERT_EQ(one.exitCode, 0) << one.err;
    for (const char* row : {"37  Input 1 pin", "39  Output 1 pin", "43  Output 5 pin",
                            "44  Ray count", "45  Outputs", " 0  Wet gain             dB"})
        EXPECT_NE(one.out.find(row), std::string::npos) << row;
    const ToolRun json = ovinta({"info", "--program", "0", "--json"});
    EXPECT_NE(json.out.find(R"({"index":37,"name":"Input 1 pin","host_name":" ")"),
              std::string::npos);
    // The list's T30 of the concert hall lies in a concert hall's range, and
    // a program set to five outputs says so.
    const ToolRun list = ovinta({"info", "--json"});
    std::smatch m;
    ASSERT_TRUE(std::regex_search(list.out, m, std::regex(R"("number":0,[^}]*"t30_s":([0-9.]+))")));
    EXPECT_GT(std::stod(m[1]), 1.2);
    EXPECT_LT(std::stod(m[1]), 3.5);
    EXPECT_TRUE(std::regex_search(list.out, std::regex(R"("outputs":[245])")));
}

TEST(OvintaTool, AnalyseRemovesADcOffsetAndWritesJsonAndAPlot)
{
    // The known 0.7 s decay riding on a DC offset of 0.05, in a file whose
    // name needs escaping in JSON.
    const fs::path p = workDir() / "dc \"offset\".wav";
    std::mt19937 g(4);
    std::normal_distribution<float> n(0.0f, 0.3f);
    std::vector<float> s(48000 * 2);
    for (std::size_t i = 0; i < s.size(); ++i) {
        const float t = static_cast<float>(i) / 48000.0f;
        s[i] = 0.05f + n(g) * std::exp(-3.0f * std::numbers::ln10_v<float> * t / 0.7f);
    }
    writeSound(p, 1, 48000, s);
    const ToolRun text = ovinta({"analyse", p.string()});
    ASSERT_EQ(text.exitCode, 0) << text.err;
    std::smatch dc;
    ASSERT_TRUE(std::regex_search(text.out, dc, std::regex(R"(DC offset (\S+) removed)"))) << text.out;
    EXPECT_NEAR(std::stod(dc[1]), 0.05, 2e-5);
    const fs::path png = workDir() / "decay.png";
    const ToolRun json = ovinta({"analyse", "--json", "--plot", png.string(), p.string()});
    ASSERT_EQ(json.exitCode, 0) << json.err;
    EXPECT_NE(json.out.find(R"("file":")" + (workDir() / R"(dc \"offset\".wav)").string() + "\""),
              std::string::npos) << json.out;
    std::smatch m;
    ASSERT_TRUE(std::regex_search(json.out, m, std::regex(R"("band":"full"[^}]*"t30_s":([0-9.]+))")));
    EXPECT_NEAR(std::stod(m[1]), 0.7, 0.03);
    EXPECT_EQ(slurp(png).substr(0, 8), "\x89PNG\r\n\x1a\n");
    expectErrorLine(ovinta({"analyse", "--plot", (workDir() / "d.svg").string(), p.string()}),
                    "must be a .png file");
}

TEST(OvintaTool, AnalyseStreamsALongFile)
{
    // A minute of stereo at 48 kHz: loading it whole would take well over
    // 100 MB; streamed, the tool stays small.
    const fs::path p = workDir() / "long.wav";
    std::vector<float> s(48000 * 60 * 2, 0.0f);
    std::mt19937 g(9);
    std::normal_distribution<float> n(0.0f, 0.3f);
    for (std::size_t i = 0; i < 48000 * 2; ++i)
        s[2 * i] = s[2 * i + 1] = n(g) * std::exp(-6.9f * static_cast<float>(i) / 48000.0f);
    writeSound(p, 2, 48000, s);
    s = {};
    const ToolRun r = ovinta({"analyse", p.string()});
    ASSERT_EQ(r.exitCode, 0) << r.err;
    EXPECT_NE(r.out.find("channel 2 of 2"), std::string::npos);
    rusage usage{};
    ASSERT_EQ(getrusage(RUSAGE_CHILDREN, &usage), 0);
    EXPECT_LT(usage.ru_maxrss, 60 * 1024); // kilobytes
}

} // namespace ovinta

namespace ovinta {

namespace {

// Files in `dir` whose names begin with a dot.
std::vector<std::string> hiddenFiles(const fs::path& dir)
{
    std::vector<std::string> names;
    for (const auto& entry : fs::directory_iterator(dir))
        if (entry.path().filename().string()[0] == '.')
            names.push_back(entry.path().filename().string());
    return names;
}

} // namespace

TEST(OvintaTool, InterruptedWorkLeavesNoFilesBehind)
{
    // A render of one-frame blocks takes seconds and an export of program 39
    // at 96 kHz runs to the render bound: time enough to be interrupted
    // once the hidden files are there.
    struct Case {
        const char* name;
        int signal;
        bool render;
    } cases[] = {{"render SIGINT", SIGINT, true},
                 {"render SIGTERM", SIGTERM, true},
                 {"export SIGHUP", SIGHUP, false}};
    const fs::path in = sineFile("in.wav", 88200);
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const fs::path dir = workDir() / "out";
        fs::create_directories(dir);
        std::vector<std::string> args = {OVINTA_TOOL_PATH};
        if (c.render)
            args.insert(args.end(), {"render", in.string(), (dir / "wet.wav").string(),
                                     "--block", "1", "--quiet"});
        else
            args.insert(args.end(), {"export-ir", "--program", "39", "--rate", "96000",
                                     "--quiet", (dir / "ir.wav").string()});
        const pid_t child = ::fork();
        ASSERT_GE(child, 0);
        if (child == 0) {
            std::vector<char*> argv;
            for (std::string& a : args)
                argv.push_back(a.data());
            argv.push_back(nullptr);
            ::execv(argv[0], argv.data());
            ::_exit(127);
        }
        for (int wait = 0; wait < 2000 && hiddenFiles(dir).empty(); ++wait)
            std::this_thread::sleep_for(std::chrono::milliseconds(5));
        EXPECT_FALSE(hiddenFiles(dir).empty()) << "the work never began";
        ::kill(child, c.signal);
        int status = 0;
        ASSERT_EQ(::waitpid(child, &status, 0), child);
        // Ended by the signal itself, which the shell shows as 128 + signal.
        EXPECT_TRUE(WIFSIGNALED(status));
        EXPECT_EQ(WTERMSIG(status), c.signal);
        EXPECT_TRUE(fs::is_empty(dir)) << hiddenFiles(dir).size() << " files left";
        fs::remove_all(dir);
    }
}

} // namespace ovinta

namespace ovinta {

TEST(OvintaTool, ErrorsSayWhatIsWrongBeforeAnyWork)
{
    const fs::path in = sineFile("in.wav", 4410);
    const fs::path text = workDir() / "notes.wav";
    std::ofstream(text) << "not audio\n";
    const fs::path raw = workDir() / "take.raw";
    std::ofstream(raw) << std::string(4096, '\0');
    const fs::path folder = workDir() / "folder.wav";
    fs::create_directories(folder);
    const struct {
        std::vector<std::string> args;
        const char* error;
    } rows[] = {
        {{"analyse", text.string()}, "not a sound file libsndfile reads"},
        {{"render", raw.string(), (workDir() / "o.wav").string()}, "headerless .raw"},
        {{"analyse", (workDir() / "missing.wav").string()}, "No such file or directory"},
        {{"render", in.string(), folder.string()}, "is a directory; give a file name"},
        {{"render", in.string(), (workDir() / "o.wav").string(), "--channels", "1,2,3"},
         "one or two input channels"},
        {{"export-ir", "--program", "-1", "x.wav"}, "out of range 0..44"},
    };
    for (const auto& r : rows) {
        SCOPED_TRACE(r.args[1]);
        expectErrorLine(ovinta(r.args), r.error);
    }
    EXPECT_FALSE(fs::exists(workDir() / "o.wav"));
    EXPECT_TRUE(fs::is_empty(folder));
    // Usage errors and failures alike exit 1, a bare `ovinta` too.
    EXPECT_EQ(ovinta({}).exitCode, 1);
    // A report that cannot be written is a failure, not a silent success.
    const int status = std::system((quoted(OVINTA_TOOL_PATH) + " info --program 3 --json >/dev/full 2>" +
                                    quoted((workDir() / "full.txt").string()))
                                       .c_str());
    EXPECT_EQ(WEXITSTATUS(status), 1);
    EXPECT_NE(slurp(workDir() / "full.txt").find("cannot write to standard output"),
              std::string::npos);
}

} // namespace ovinta

namespace ovinta {

TEST(OvintaTool, LimitsThatCutTheWorkAreWarnedAbout)
{
    // A loud hall cut 0.3 s after its input, with bad samples in the input.
    const fs::path in = workDir() / "bad.wav";
    std::vector<float> s(4410, 0.0f);
    s[0] = 1000.0f;
    s[10] = std::nanf("");
    s[20] = INFINITY;
    writeSound(in, 1, 44100, s);
    const fs::path out = workDir() / "cut.wav";
    const ToolRun r = ovinta({"render", in.string(), out.string(), "--max-tail", "0.3",
                              "--block", "441", "--quiet"});
    ASSERT_EQ(r.exitCode, 0) << r.err;
    EXPECT_NE(r.err.find("holds 2 NaN or infinite samples"), std::string::npos) << r.err;
    EXPECT_NE(r.err.find("tail was cut at the 0.3 s limit"), std::string::npos) << r.err;
    EXPECT_EQ(readSound(out).frames(), 4410u + 13230u);
    // Program 39 at 96 kHz still sounds when the export's render bound ends it.
    const ToolRun e = ovinta({"export-ir", "--program", "39", "--rate", "96000", "--quiet",
                              (workDir() / "long.wav").string()});
    ASSERT_EQ(e.exitCode, 0) << e.err;
    EXPECT_NE(e.err.find("reaches the render bound of 1048576 samples"), std::string::npos)
        << e.err;
}

} // namespace ovinta

namespace ovinta {

TEST(OvintaTool, NormalisedExportsNeverPassFullScale)
{
    // The earliest pre-delay puts this export's loudest sample a rounding
    // step above 1.0 before the tool's last scaling.
    const fs::path base = workDir() / "pd.wav";
    const ToolRun r = ovinta({"export-ir", "--program", "0", "--set", "KSV Pre-delay=-500ms",
                              base.string()});
    ASSERT_EQ(r.exitCode, 0) << r.err;
    EXPECT_EQ(r.err, "");
    float loudest = 0.0f;
    for (const char* name : {"pd1.wav", "pd2.wav"})
        loudest = std::max(loudest, peakOf(readSound(workDir() / name)));
    EXPECT_EQ(loudest, 1.0f);
    EXPECT_NE(r.out.find("peak 0.0 dBFS"), std::string::npos) << r.out;
}

} // namespace ovinta

namespace ovinta {

TEST(OvintaTool, PipesShortOptionsNamesAndFormatsWorkAsInOtherAudioTools)
{
    const fs::path in = sineFile("in.wav", 4410);
    // Standard input to standard output, short options, a part of a name.
    const fs::path piped = workDir() / "piped.wav";
    const std::string command = "cat " + quoted(in.string()) + " | " + quoted(OVINTA_TOOL_PATH) +
                                " render - - -q -p elmia -s 'wet gain=0dB' > " + quoted(piped.string());
    ASSERT_EQ(std::system(command.c_str()), 0);
    const Sound s = readSound(piped);
    EXPECT_EQ(s.channels, 2);
    EXPECT_GT(s.frames(), 4410u + 44100u);
    // FLAC by its ending; the report names the program and the format.
    const ToolRun flac = ovinta({"render", in.string(), (workDir() / "o.flac").string(), "-p",
                                 "Intimate Slap"});
    ASSERT_EQ(flac.exitCode, 0) << flac.err;
    EXPECT_NE(flac.out.find("program 12 (Vocal: Intimate Slap)"), std::string::npos) << flac.out;
    EXPECT_NE(flac.out.find("24-bit FLAC"), std::string::npos) << flac.out;
    EXPECT_EQ(readSound(workDir() / "o.flac").channels, 2);
    // Each exported file is listed with its speaker.
    const ToolRun ir = ovinta({"export-ir", "-p", "0", "--outputs", "4",
                               (workDir() / "x.wav").string()});
    ASSERT_EQ(ir.exitCode, 0) << ir.err;
    EXPECT_NE(ir.out.find("x1.wav\tL\t"), std::string::npos) << ir.out;
    EXPECT_NE(ir.out.find("x4.wav\tRs\t"), std::string::npos) << ir.out;
    expectErrorLine(ovinta({"info", "-p", "concert"}), "0 Concert: Elmia Hall, 1 Concert: Far");
}

} // namespace ovinta
