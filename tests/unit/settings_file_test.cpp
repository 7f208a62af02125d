#include <gtest/gtest.h>

#include <functional>

#include "app/settings_file.h"
#include "builders/settings_builder.h"

namespace torvale {
namespace {

using test::Bytes;
using test::DistinctSettings;
using test::SettingsFileBytes;

// Two records are the same when the test-side writer gives the same bytes for them (every field, by its bits).
void ExpectSameSettings(const Settings& actual, const Settings& expected) {
    EXPECT_EQ(SettingsFileBytes(actual), SettingsFileBytes(expected));
}

// What start-up holds before it loads the file: defaults, with the POFGEN path it found.
Settings InMemoryBeforeLoading() {
    Settings s;
    s.pofgenPath = "c:\\games\\descent3\\pofgen.exe";
    return s;
}

TEST(SettingsFile, DefaultsWithoutPofgenAreTheFiftyTwoByteFirstRunFile) {
    Bytes expected = {0xA9, 0x13, 0xD0, 0x3C};  // 0.0254
    expected.insert(expected.end(), 22, 0x00);
    expected.insert(expected.end(), {0xFF, 0xFF});  // combineSubObjects at 26
    expected.insert(expected.end(), 22, 0x00);      // colours, L1 = 0, fontSize, font flags, L2 = 0
    expected.insert(expected.end(), {0xFF, 0xFF});  // showPofgenOutput at 50
    EXPECT_EQ(EncodeSettings(Settings{}), expected);
}

TEST(SettingsFile, EightyFiveByteExamplePutsEveryFieldAtItsOffset) {
    const Bytes bytes = EncodeSettings(DistinctSettings());
    ASSERT_EQ(bytes.size(), 85u);
    EXPECT_EQ(bytes, SettingsFileBytes(DistinctSettings()));
    EXPECT_EQ(bytes[36], 13);  // L1
    EXPECT_EQ(bytes[62], 20);  // L2
    // The background colour comes before the text colour.
    EXPECT_EQ(static_cast<std::uint32_t>(test::I32At(bytes, 28)), 0x80000005u);
    EXPECT_EQ(test::I32At(bytes, 32), 0x00112233);
    EXPECT_EQ(test::I32At(bytes, 50), 11);  // fontSize at 37 + L1
    EXPECT_EQ(test::I16At(bytes, 83), 13);  // showPofgenOutput at 50 + L1 + L2
}

TEST(SettingsFile, DecodeReadsEveryFieldAndKeepsRawFlagValues) {
    Settings settings = InMemoryBeforeLoading();
    DecodeSettings(SettingsFileBytes(DistinctSettings()), settings);
    ExpectSameSettings(settings, DistinctSettings());
    EXPECT_EQ(settings.capitalShips, Flag(7));  // any non-zero value is true, and it stays as stored
    EXPECT_TRUE(settings.capitalShips.isOn());
}

TEST(SettingsFile, ZeroLengthBytesKeepBothTextsInMemoryAndTrailingBytesAreIgnored) {
    Bytes bytes = SettingsFileBytes(Settings{});
    bytes.insert(bytes.end(), {0x41, 0x42, 0x43});
    Settings settings = DistinctSettings();
    DecodeSettings(bytes, settings);
    Settings expected;
    expected.fontName = DistinctSettings().fontName;
    expected.pofgenPath = DistinctSettings().pofgenPath;
    ExpectSameSettings(settings, expected);
}

// Every prefix of the 85-byte file, in its own allocation: the fields it holds completely are read, every
// other field keeps what the record held.
TEST(SettingsFile, ShorterFileKeepsTheRecordForEveryFieldItDoesNotHold) {
    using Copy = std::function<void(const Settings&, Settings&)>;
    // The offset at which each field ends in the 85-byte file, and how to copy it.
    const std::vector<std::pair<std::size_t, Copy>> fields = {
        {4, [](const Settings& f, Settings& s) { s.scaleFactor = f.scaleFactor; }},
        {8, [](const Settings& f, Settings& s) { s.errorTolerance = f.errorTolerance; }},
        {9, [](const Settings& f, Settings& s) { s.shadingMode = f.shadingMode; }},
        {10, [](const Settings& f, Settings& s) { s.chunkSplits[0] = f.chunkSplits[0]; }},
        {11, [](const Settings& f, Settings& s) { s.chunkSplits[1] = f.chunkSplits[1]; }},
        {12, [](const Settings& f, Settings& s) { s.chunkSplits[2] = f.chunkSplits[2]; }},
        {14, [](const Settings& f, Settings& s) { s.subObjSepPlanes = f.subObjSepPlanes; }},
        {16, [](const Settings& f, Settings& s) { s.useFirstSepPlane = f.useFirstSepPlane; }},
        {18, [](const Settings& f, Settings& s) { s.conflictSplitRatio = f.conflictSplitRatio; }},
        {20, [](const Settings& f, Settings& s) { s.useLocalSepPlanes = f.useLocalSepPlanes; }},
        {22, [](const Settings& f, Settings& s) { s.combineObjects = f.combineObjects; }},
        {24, [](const Settings& f, Settings& s) { s.animationOutput = f.animationOutput; }},
        {26, [](const Settings& f, Settings& s) { s.capitalShips = f.capitalShips; }},
        {28, [](const Settings& f, Settings& s) { s.combineSubObjects = f.combineSubObjects; }},
        {32, [](const Settings& f, Settings& s) { s.backColor = f.backColor; }},
        {36, [](const Settings& f, Settings& s) { s.textColor = f.textColor; }},
        {50, [](const Settings& f, Settings& s) { s.fontName = f.fontName; }},  // length byte and 13 characters
        {54, [](const Settings& f, Settings& s) { s.fontSize = f.fontSize; }},
        {56, [](const Settings& f, Settings& s) { s.fontBold = f.fontBold; }},
        {58, [](const Settings& f, Settings& s) { s.fontItalic = f.fontItalic; }},
        {60, [](const Settings& f, Settings& s) { s.fontStrikethru = f.fontStrikethru; }},
        {62, [](const Settings& f, Settings& s) { s.fontUnderline = f.fontUnderline; }},
        {83, [](const Settings& f, Settings& s) { s.pofgenPath = f.pofgenPath; }},  // length byte and 20 characters
        {85, [](const Settings& f, Settings& s) { s.showPofgenOutput = f.showPofgenOutput; }},
    };
    const Settings inFile = DistinctSettings();
    const Bytes whole = SettingsFileBytes(inFile);
    ASSERT_EQ(whole.size(), 85u);
    for (std::size_t length = 0; length <= whole.size(); ++length) {
        SCOPED_TRACE("file of " + std::to_string(length) + " bytes");
        const Bytes prefix(whole.begin(), whole.begin() + static_cast<std::ptrdiff_t>(length));
        Settings settings = InMemoryBeforeLoading();
        DecodeSettings(prefix, settings);
        Settings expected = InMemoryBeforeLoading();
        for (const auto& [end, copy] : fields)
            if (end <= length)
                copy(inFile, expected);
        ExpectSameSettings(settings, expected);
    }
}

TEST(SettingsFile, TextsUpTo255CharactersRoundTripAndLongerOnesAreCutTo255) {
    Settings settings = DistinctSettings();
    settings.fontName.assign(255, 'f');
    settings.pofgenPath = std::string(300, 'p');
    const Bytes bytes = EncodeSettings(settings);
    ASSERT_EQ(bytes.size(), 52u + 255u + 255u);
    EXPECT_EQ(bytes[36], 255);
    EXPECT_EQ(bytes[36 + 1 + 255 + 4 + 8], 255);  // L2

    Settings back;
    DecodeSettings(bytes, back);
    EXPECT_EQ(back.fontName, std::string(255, 'f'));
    EXPECT_EQ(back.pofgenPath, std::string(255, 'p'));
    settings.pofgenPath.resize(255);
    ExpectSameSettings(back, settings);
}

}  // namespace
}  // namespace torvale
