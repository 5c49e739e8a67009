// The built `ovinta` tool run end to end with arguments, on files made by
// the tests: exit codes, error lines, files written and their contents.

#include <gtest/gtest.h>

#include <sndfile.h>

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <numbers>
#include <random>
#include <regex>
#include <sstream>
#include <string>
#include <sys/wait.h>
#include <vector>
#include <unistd.h>

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
    expectErrorLine(ovinta({"info", "--program", "99"}), "program number 99 is not 0..44");
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
    const ToolRun r = ovinta({"render", in.string(), out.string(), "--set", "wet gain=0", "--set",
                          "1=0", "--block", "441"});
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
