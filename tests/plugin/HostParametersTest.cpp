// SPDX-License-Identifier: GPL-3.0-or-later
// Parameters, programs and names through the binary interface.

#include "tests/plugin/PluginFixture.h"

#include <cmath>
#include <cstdint>
#include <limits>

namespace ovinta {

namespace {
// Byte offsets in a program chunk (the program record's layout).
constexpr std::size_t kGainOffset = 8;        // parameter 0
constexpr std::size_t kSpeakerOut2Offset = 48; // parameter 40
constexpr std::size_t kNameOffset = 9404;
constexpr std::size_t kProgramBytes = 9432;
constexpr std::size_t kBankBytes = 4 + 45 * kProgramBytes;
} // namespace

// ---- Names and labels -----------------------------------------------------------------

TEST_F(PluginTest, ParameterNamesAsTheHostSeesThem)
{
    struct Row {
        int index;
        const char* name;
    };
    const Row rows[] = {
        {0, "Wet gain"},          {1, "Dry gain"},         {7, "Air Hi-cut"},
        {14, "KSV Pre-delay"},    {16, "KSV Head angle"},  {19, "Diffusion Low-Pass"},
        {23, "Stereo button"},    {26, "EQ 1 Width"},      {29, "EQ 2 Width"},
        {35, "EQ 4 Width"},       {36, "Reverse button"},  {37, " "},
        {44, " "},                {46, " "},
    };
    for (const Row& row : rows)
        EXPECT_EQ(host.text(effGetParamName, row.index), row.name) << "parameter " << row.index;
}

TEST_F(PluginTest, ParameterTextsStayWithinTheirBounds)
{
    // The longest name has 18 characters: it and its NUL are written, nothing more.
    char buffer[64];
    std::memset(buffer, '#', sizeof(buffer));
    host.dispatch(effGetParamName, 19, 0, buffer);
    EXPECT_STREQ(buffer, "Diffusion Low-Pass");
    for (std::size_t b = 19; b < sizeof(buffer); ++b)
        ASSERT_EQ(buffer[b], '#') << "byte " << b;

    std::memset(buffer, '#', sizeof(buffer));
    host.dispatch(effGetParamLabel, 0, 0, buffer);
    EXPECT_STREQ(buffer, "amount");
    EXPECT_EQ(buffer[7], '#');
    EXPECT_EQ(host.text(effGetParamLabel, 46), "amount");
    EXPECT_EQ(host.text(effGetParamLabel, 12), "amount");
}

TEST_F(PluginTest, ParameterDisplayIsBoundedAndFollowsTheValue)
{
    for (int index = 0; index < 47; ++index) {
        char buffer[64];
        std::memset(buffer, '#', sizeof(buffer));
        host.dispatch(effGetParamDisplay, index, 0, buffer);
        std::size_t length = strnlen(buffer, sizeof(buffer));
        ASSERT_LE(length, 18u) << "parameter " << index;
        for (std::size_t b = length + 1; b < sizeof(buffer); ++b)
            ASSERT_EQ(buffer[b], '#') << "parameter " << index << " byte " << b;
    }
    host.setParameter(5, 0.0f);
    std::string low = host.text(effGetParamDisplay, 5);
    host.setParameter(5, 1.0f);
    EXPECT_NE(host.text(effGetParamDisplay, 5), low);

    // Indexes the host does not have leave its text alone.
    for (int index : {-1, 47, 68, 1000}) {
        char buffer[16] = "host text";
        host.dispatch(effGetParamDisplay, index, 0, buffer);
        EXPECT_STREQ(buffer, "host text") << "index " << index;
    }
}

TEST_F(PluginTest, EveryParameterCanBeAutomated)
{
    for (int index : {0, 23, 37, 46, 68, 500})
        EXPECT_EQ(host.dispatch(effCanBeAutomated, index), 1) << "parameter " << index;
}

// ---- Values ------------------------------------------------------------------------------

TEST_F(PluginTest, ValuesAreHeldToTheirRangeAndReadBackExactly)
{
    const struct {
        float sent, stored;
    } rows[] = {{0.0f, 0.0f}, {0.3f, 0.3f}, {1.0f, 1.0f}, {0.123456789f, 0.123456789f},
                {-2.5f, 0.0f}, {7.0f, 1.0f}};
    for (const auto& row : rows) {
        host.setParameter(0, row.sent);
        EXPECT_EQ(host.getParameter(0), row.stored);
        // The value lands in the program record: the chunk shows it at its offset.
        EXPECT_EQ(floatAt(chunk(true), kGainOffset), row.stored);
    }
    // The outputs setting has its own range, 0..2.
    host.setParameter(45, 9.0f);
    EXPECT_EQ(host.getParameter(45), 2.0f);
    host.setParameter(15, 0.0f);
    EXPECT_EQ(host.getParameter(15), 0.0f);
}

TEST_F(PluginTest, NonFiniteValuesChangeNothing)
{
    host.setParameter(2, 0.4f);
    for (float bad : {std::numeric_limits<float>::quiet_NaN(), std::numeric_limits<float>::infinity(),
                      -std::numeric_limits<float>::infinity()}) {
        host.setParameter(2, bad);
        EXPECT_EQ(host.getParameter(2), 0.4f);
        host.setParameter(46, bad);
        host.setParameter(68, bad);
        EXPECT_EQ(currentProgram(), 0);
    }
}

TEST_F(PluginTest, PinsOutsideTheChannelsAreIgnored)
{
    float before = host.getParameter(40);
    for (float bad : {-1.0f, -0.5f, 6.0f, 6.9f, 1.0e9f}) {
        host.setParameter(40, bad);
        EXPECT_EQ(host.getParameter(40), before) << "value " << bad;
        EXPECT_EQ(floatAt(chunk(true), kSpeakerOut2Offset), before);
    }
    host.setParameter(40, 5.0f);
    EXPECT_EQ(host.getParameter(40), 5.0f);

    // Two host inputs: channel 2 does not exist.
    float input2 = host.getParameter(38);
    host.setParameter(38, 2.0f);
    EXPECT_EQ(host.getParameter(38), input2);
    host.setParameter(38, 0.0f);
    EXPECT_EQ(host.getParameter(38), 0.0f);
}

// ---- Program selection ---------------------------------------------------------------------

TEST_F(PluginTest, ProgramSelectParameterTruncatesAndReadsAsZero)
{
    host.setParameter(46, 3.7f);
    EXPECT_EQ(currentProgram(), 3);
    EXPECT_EQ(host.getParameter(46), 0.0f);
    EXPECT_EQ(programName(), "Concert: Theatre");
    host.setParameter(46, 45.0f);
    host.setParameter(46, -3.0f);
    host.setParameter(46, 1.0e20f);
    EXPECT_EQ(currentProgram(), 3);
}

TEST_F(PluginTest, PreviousAndNextStepOnReleaseAndWrapAround)
{
    host.setParameter(67, 1.0f); // press: nothing yet
    EXPECT_EQ(currentProgram(), 0);
    host.setParameter(67, 0.0f); // release: 0 - 1 wraps to 44
    EXPECT_EQ(currentProgram(), 44);
    EXPECT_EQ(programName(), "Misc: Thick 'n' Mad");
    host.setParameter(68, 1.0f);
    EXPECT_EQ(currentProgram(), 44);
    host.setParameter(68, 0.0f); // 44 + 1 wraps to 0
    EXPECT_EQ(currentProgram(), 0);
    host.setParameter(68, 0.0f);
    EXPECT_EQ(currentProgram(), 1);
    host.setParameter(68, 0.5f);
    EXPECT_EQ(currentProgram(), 1);
}

TEST_F(PluginTest, SetProgramOutsideTheBankChangesNothing)
{
    host.dispatch(effSetProgram, 0, 12);
    std::vector<unsigned char> before = chunk(true);
    // Past 32 bits where the host's integers are that wide.
    const auto huge = static_cast<VstIntPtr>(sizeof(VstIntPtr) > 4 ? int64_t{1} << 40 : int64_t{46});
    for (VstIntPtr bad : {VstIntPtr{45}, VstIntPtr{-1}, huge})
        host.dispatch(effSetProgram, 0, bad);
    EXPECT_EQ(currentProgram(), 12);
    EXPECT_EQ(programName(), "Vocal: Intimate Slap");
    EXPECT_EQ(chunk(true), before);
}

TEST_F(PluginTest, SelectedProgramsValuesComeFromItsRecord)
{
    for (int program : {0, 12, 30, 33, 44}) {
        host.dispatch(effSetProgram, 0, program);
        std::vector<unsigned char> record = chunk(true);
        ASSERT_EQ(record.size(), kProgramBytes);
        EXPECT_EQ(host.getParameter(0), floatAt(record, kGainOffset)) << "program " << program;
        EXPECT_EQ(host.getParameter(8), floatAt(record, 64)) << "listener x, program " << program;
        EXPECT_EQ(host.getParameter(35), floatAt(record, 180)) << "EQ 4 width, program " << program;
    }
}

TEST_F(PluginTest, EditsSurviveLeavingAndReturningToAProgram)
{
    host.dispatch(effSetProgram, 0, 2);
    host.setParameter(0, 0.123f);
    host.setParameter(10, 0.9f);
    host.dispatch(effSetProgram, 0, 3);
    EXPECT_NE(host.getParameter(0), 0.123f);
    host.dispatch(effSetProgram, 0, 2);
    EXPECT_EQ(host.getParameter(0), 0.123f);
    EXPECT_EQ(host.getParameter(10), 0.9f);
}

// ---- Program names -------------------------------------------------------------------------

TEST_F(PluginTest, ProgramNamesByIndex)
{
    EXPECT_EQ(programName(0), "Concert: Elmia Hall");
    EXPECT_EQ(programName(29), "Speech: Station Announcer");
    EXPECT_EQ(programName(44), "Misc: Thick 'n' Mad");
    for (int i = 0; i < 45; ++i) {
        std::string name = programName(i);
        EXPECT_FALSE(name.empty()) << "program " << i;
        EXPECT_LE(name.size(), 27u) << "program " << i;
    }
    char buffer[32];
    std::memset(buffer, '#', sizeof(buffer));
    EXPECT_EQ(host.dispatch(effGetProgramNameIndexed, 45, 0, buffer), 0);
    EXPECT_EQ(host.dispatch(effGetProgramNameIndexed, -1, 0, buffer), 0);
    for (char c : buffer)
        ASSERT_EQ(c, '#');
    EXPECT_EQ(host.dispatch(effGetProgramNameIndexed, 44, 7, buffer), 1);
}

TEST_F(PluginTest, RenamingKeepsTwentySevenCharactersAndWritesAtMostTwentyEight)
{
    char longName[] = "0123456789abcdefghijklmnopqrstuvwxyzABCD"; // 40 characters
    host.dispatch(effSetProgramName, 0, 0, longName);
    char buffer[64];
    std::memset(buffer, '#', sizeof(buffer));
    host.dispatch(effGetProgramName, 0, 0, buffer);
    EXPECT_EQ(std::string(buffer), "0123456789abcdefghijklmnopq");
    for (std::size_t b = 28; b < sizeof(buffer); ++b)
        ASSERT_EQ(buffer[b], '#') << "byte " << b;
    EXPECT_EQ(programName(0), "0123456789abcdefghijklmnopq");
    // The name is the record's last 28 bytes.
    std::vector<unsigned char> record = chunk(true);
    EXPECT_EQ(std::string(reinterpret_cast<const char*>(record.data() + kNameOffset)),
              "0123456789abcdefghijklmnopq");
    // Other programs keep their names.
    EXPECT_EQ(programName(1), "Concert: Far");
}

// ---- Chunks --------------------------------------------------------------------------------

TEST_F(PluginTest, ProgramAndBankChunksAreTheRecords)
{
    host.dispatch(effSetProgram, 0, 5);
    std::vector<unsigned char> program = chunk(true);
    ASSERT_EQ(program.size(), kProgramBytes);
    EXPECT_EQ(std::string(reinterpret_cast<const char*>(program.data() + kNameOffset)),
              "Cathedral: Complex");

    std::vector<unsigned char> bank = chunk(false);
    ASSERT_EQ(bank.size(), kBankBytes);
    for (int k = 0; k < 45; ++k) {
        const char* name =
            reinterpret_cast<const char*>(bank.data() + 4 + kProgramBytes * k + kNameOffset);
        EXPECT_EQ(std::string(name), programName(k)) << "program " << k;
    }
    // The current program's bytes inside the bank equal the program chunk.
    EXPECT_TRUE(std::equal(program.begin(), program.end(), bank.begin() + 4 + kProgramBytes * 5));
}

TEST_F(PluginTest, ProgramChunkLoadsIntoTheCurrentProgramAndAppliesIt)
{
    host.dispatch(effSetProgram, 0, 4);
    std::vector<unsigned char> record = chunk(true);
    putFloat(record, kGainOffset, 0.77f);
    std::memset(record.data() + kNameOffset, 0, 28);
    std::strcpy(reinterpret_cast<char*>(record.data() + kNameOffset), "Loaded Room");

    EXPECT_EQ(host.dispatch(effSetChunk, 1, static_cast<VstIntPtr>(record.size()), record.data()), 1);
    EXPECT_EQ(currentProgram(), 4);
    EXPECT_EQ(host.getParameter(0), 0.77f);
    EXPECT_EQ(programName(), "Loaded Room");
    EXPECT_EQ(chunk(true), record);
}

TEST_F(PluginTest, ChunkOfUnknownSizeChangesNothing)
{
    host.dispatch(effSetProgram, 0, 6);
    std::vector<unsigned char> before = chunk(false);
    std::vector<unsigned char> junk(9000, 0x41);
    EXPECT_EQ(host.dispatch(effSetChunk, 1, 9000, junk.data()), 0);
    EXPECT_EQ(host.dispatch(effSetChunk, 0, 9000, junk.data()), 0);
    EXPECT_EQ(host.dispatch(effSetChunk, 1, -9432, junk.data()), 0);
    EXPECT_EQ(currentProgram(), 6);
    EXPECT_EQ(programName(), "Cathedral: Thick");
    EXPECT_EQ(chunk(false), before);
}

TEST_F(PluginTest, BankChunkReplacesEveryProgramButNotTheCurrentNumber)
{
    host.dispatch(effSetProgram, 0, 9);
    std::vector<unsigned char> bank = chunk(false);
    ASSERT_EQ(bank.size(), kBankBytes);
    for (int k = 0; k < 45; ++k) {
        char* name = reinterpret_cast<char*>(bank.data() + 4 + kProgramBytes * k + kNameOffset);
        std::memset(name, 0, 28);
        std::snprintf(name, 28, "Bank room %d", k);
    }
    putFloat(bank, 4 + kProgramBytes * 9 + kGainOffset, 0.31f);
    ASSERT_EQ(host.dispatch(effSetChunk, 0, static_cast<VstIntPtr>(bank.size()), bank.data()), 1);
    EXPECT_EQ(currentProgram(), 9);
    EXPECT_EQ(programName(), "Bank room 9");
    EXPECT_EQ(programName(44), "Bank room 44");
    EXPECT_EQ(host.getParameter(0), 0.31f);
    EXPECT_EQ(chunk(false), bank);
}

} // namespace ovinta
