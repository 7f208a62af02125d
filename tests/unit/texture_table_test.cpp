#include <gtest/gtest.h>

#include <filesystem>
#include <memory>
#include <random>

#include "builders/texlate_builder.h"
#include "orf/texlate_text.h"
#include "orf/texture_table.h"

namespace torvale {
namespace {

using namespace std::string_literals;
using test::ByteBuilder;
using test::Bytes;
using test::TexlateFile;

// The table is two arrays of 2086 strings: kept off the stack.
std::unique_ptr<TextureTable> Loaded(const Bytes& bytes) {
    auto table = std::make_unique<TextureTable>();
    std::string error;
    EXPECT_TRUE(LoadTextureTable(bytes, *table, error)) << error;
    return table;
}

std::string Refusal(const Bytes& bytes) {
    auto table = std::make_unique<TextureTable>();
    std::string error;
    EXPECT_FALSE(LoadTextureTable(bytes, *table, error));
    return error;
}

TEST(TextureTable, TranslatesAMatchingNameToItsReplacementAndOneZeroByte) {
    const auto table = Loaded(TexlateFile({{"metal", "x"}, {"wall1", "CEILING01"}}));
    const std::string written = table->TranslateTextureName("wall1\0"s);
    EXPECT_EQ(written, "CEILING01\0"s);
    EXPECT_EQ(written.size(), 10u);
}

TEST(TextureTable, MatchingIsCaseSensitiveAndAnUnknownNameIsWrittenAsStored) {
    const auto table = Loaded(TexlateFile({{"Wall1", "CEILING01"}}));
    EXPECT_EQ(table->TranslateTextureName("wall1\0"s), "wall1\0"s);  // 6 bytes
    EXPECT_EQ(table->TranslateTextureName("Wall1\0"s), "CEILING01\0"s);
}

TEST(TextureTable, FirstPairWinsForAModelNameListedTwice) {
    const auto table = Loaded(TexlateFile({{"hull", "First"}, {"hull", "Second"}}));
    EXPECT_EQ(table->TranslateTextureName("hull\0"s), "First\0"s);
}

TEST(TextureTable, EmptyKeyFindsTheFirstUnfilledSlot) {
    auto table = Loaded(TexlateFile({{"a", "A"}, {"b", "B"}}));
    // A stored name that is only its terminator: the first unfilled slot (2) matches, its replacement is empty.
    EXPECT_EQ(table->TranslateTextureName("\0"s), "\0"s);
    table->translateTo[2] = "Slot2";  // shows which slot matched
    table->translateTo[3] = "Slot3";
    EXPECT_EQ(table->TranslateTextureName("\0"s), "Slot2\0"s);
}

TEST(TextureTable, ScanDoesNotStopAtAnEmptySlot) {
    TextureTable table;  // nothing loaded: every slot empty
    table.translateFrom[2085] = "last";
    table.translateTo[2085] = "Last Slot";
    EXPECT_EQ(table.TranslateTextureName("last\0"s), "Last Slot\0"s);
}

TEST(TextureTable, WrittenNamesEndInExactlyOneZeroByteAndHoldNoOther) {
    const auto table = Loaded(TexlateFile({{"glass", "Tinted\0Glass"s}, {"a\0b"s, "AB"}}));
    // A replacement holding a zero byte is cut at it.
    EXPECT_EQ(table->TranslateTextureName("glass\0"s), "Tinted\0"s);
    // A stored name without its terminator: the whole name is the key, and a zero byte is added.
    EXPECT_EQ(table->TranslateTextureName("glass"), "Tinted\0"s);
    EXPECT_EQ(table->TranslateTextureName("rock"), "rock\0"s);
    // A stored name with a zero byte inside: the key keeps it; written untranslated it is cut at the first one.
    EXPECT_EQ(table->TranslateTextureName("a\0b\0"s), "AB\0"s);
    EXPECT_EQ(table->TranslateTextureName("c\0d\0"s), "c\0"s);
    EXPECT_EQ(table->TranslateTextureName(""), "\0"s);
}

TEST(TextureTable, OnePairOfFifteenBytesFillsSlotZeroAndOneMoreByteChangesNothing) {
    Bytes bytes = TexlateFile({{"abcd", "XYZ"}});
    ASSERT_EQ(bytes.size(), 15u);
    for (int extra = 0; extra < 2; ++extra) {
        const auto table = Loaded(bytes);
        EXPECT_EQ(table->translateTo[0], "XYZ");
        EXPECT_EQ(table->translateFrom[0], "abcd");
        EXPECT_EQ(table->translateTo[1], "");
        EXPECT_EQ(table->translateFrom[1], "");
        bytes.push_back(0xAB);
    }
}

TEST(TextureTable, LoadingEmptiesTheSlotsOfAnEarlierTable) {
    auto table = Loaded(TexlateFile(test::NumberedPairs(5)));
    std::string error;
    ASSERT_TRUE(LoadTextureTable(TexlateFile({{"m", "r"}}), *table, error)) << error;
    EXPECT_EQ(table->translateFrom[0], "m");
    EXPECT_EQ(table->translateFrom[1], "");
    EXPECT_EQ(table->translateTo[4], "");
}

TEST(TextureTable, HoldsExactly2086PairsAndRefusesMore) {
    const auto full = Loaded(TexlateFile(test::NumberedPairs(2086)));
    EXPECT_EQ(full->translateFrom[2085], "model2085");
    EXPECT_EQ(full->TranslateTextureName("model2085\0"s), "room2085\0"s);

    Bytes oneByteMore = TexlateFile(test::NumberedPairs(2086));
    oneByteMore.push_back(0);
    Loaded(oneByteMore);  // a single trailing byte is ignored

    const Bytes pairs2087 = TexlateFile(test::NumberedPairs(2087));
    const std::size_t start2087 = TexlateFile(test::NumberedPairs(2086)).size();
    EXPECT_EQ(Refusal(pairs2087),
              "the file holds more than 2086 pairs: pair 2087 begins at byte " + std::to_string(start2087));
    Bytes twoBytesMore = TexlateFile(test::NumberedPairs(2086));
    twoBytesMore.insert(twoBytesMore.end(), {0, 0});
    EXPECT_NE(Refusal(twoBytesMore).find("more than 2086 pairs"), std::string::npos);
}

TEST(TextureTable, RefusesEmptyFileAndNameLengthsBelowOneNamingPairAndByte) {
    EXPECT_EQ(Refusal({}), "the file is empty; a texture table holds at least one pair");

    ByteBuilder zeroRoom;
    test::AppendTexlatePair(zeroRoom, "ab", "AB");
    zeroRoom.i32(0).i32(1).text("c");
    EXPECT_EQ(Refusal(zeroRoom.take()), "pair 2 at byte 12: the room name length is 0; a name has at least 1 byte");

    ByteBuilder negativeModel;
    negativeModel.i32(1).text("R").i32(-5);
    EXPECT_EQ(Refusal(negativeModel.take()),
              "pair 1 at byte 5: the model name length is -5; a name has at least 1 byte");

    ByteBuilder huge;
    huge.i32(0x7FFFFFFF).text("short");
    EXPECT_EQ(Refusal(huge.take()), "pair 1 at byte 4: the room name is 2147483647 bytes long but only 5 are left");
}

TEST(TextureTable, FailedLoadLeavesTheTableAsItWas) {
    auto table = Loaded(TexlateFile({{"wall1", "CEILING01"}}));
    ByteBuilder bad;
    test::AppendTexlatePair(bad, "x", "y");
    bad.i32(0);
    std::string error;
    EXPECT_FALSE(LoadTextureTable(bad.take(), *table, error));
    EXPECT_EQ(table->translateFrom[0], "wall1");
    EXPECT_EQ(table->translateFrom[1], "");
}

// Every prefix of a valid table, each in its own allocation: it loads exactly when it ends after a pair (or one
// byte later), holding those pairs; otherwise it is refused with a reason naming the cut pair.
TEST(TextureTable, EveryPrefixOfAValidTableLoadsItsWholePairsOrIsRefused) {
    const std::vector<test::ModelToRoom> pairs = {{"hull", "Hull Plate"}, {"g", "Glass"}, {"engine\0x"s, "E"}};
    const Bytes whole = TexlateFile(pairs);
    std::vector<std::size_t> pairEnds;
    for (std::size_t i = 1; i <= pairs.size(); ++i)
        pairEnds.push_back(TexlateFile({pairs.begin(), pairs.begin() + static_cast<std::ptrdiff_t>(i)}).size());

    for (std::size_t length = 0; length <= whole.size(); ++length) {
        SCOPED_TRACE("prefix of " + std::to_string(length) + " bytes");
        const Bytes prefix(whole.begin(), whole.begin() + static_cast<std::ptrdiff_t>(length));
        std::vector<TexturePair> read;
        std::string error;
        const bool ok = ReadTexturePairs(prefix, read, error);

        std::size_t complete = 0;
        bool sound = false;
        for (std::size_t i = 0; i < pairEnds.size(); ++i) {
            if (length == pairEnds[i] || length == pairEnds[i] + 1) {
                complete = i + 1;
                sound = true;
            }
        }
        ASSERT_EQ(ok, sound) << error;
        if (ok) {
            ASSERT_EQ(read.size(), complete);
            EXPECT_EQ(read.back().modelName, pairs[complete - 1].first);
            EXPECT_EQ(read.back().roomName, pairs[complete - 1].second);
        } else if (length > 0) {
            EXPECT_EQ(error.rfind("pair ", 0), 0u) << error;
        }
    }
}

TEST(TextureTable, FileErrorsBeginWithTheFullPath) {
    const auto dir =
        std::filesystem::temp_directory_path() / ("torvale_texture_table_" + std::to_string(std::random_device{}()));
    std::filesystem::create_directories(dir);
    const std::string missing = (dir / "texlate.rsc").string();
    std::filesystem::remove(missing);
    TextureTable table;
    std::string error;
    EXPECT_FALSE(LoadTextureTableFile(missing, table, error));
    EXPECT_EQ(error, missing + ": file not found");

    ASSERT_TRUE(test::WriteTestFile(missing, Bytes{1, 0, 0}));
    EXPECT_FALSE(LoadTextureTableFile(missing, table, error));
    EXPECT_EQ(error,
              missing + ": pair 1 at byte 0: the file ends inside the room name length (3 of its 4 bytes are there)");
    std::filesystem::remove_all(dir);
}

// The table shipped beside the program is made from data/texlate.txt; the two must agree.
TEST(TextureTable, ShippedTableHoldsThePairsOfItsTextSource) {
    const Bytes textBytes = test::ReadTestFile(TORVALE_SOURCE_DIR "/data/texlate.txt");
    const Bytes shipped = test::ReadTestFile(TORVALE_SOURCE_DIR "/data/texlate.rsc");
    ASSERT_FALSE(textBytes.empty());
    TexlateTextResult parsed;
    std::string error;
    ASSERT_TRUE(ParseTexlateText({reinterpret_cast<const char*>(textBytes.data()), textBytes.size()}, parsed, error))
        << error;
    ASSERT_FALSE(parsed.pairs.empty());
    EXPECT_TRUE(parsed.notes.empty());

    std::vector<test::ModelToRoom> expected;
    for (const TexturePair& pair : parsed.pairs)
        expected.emplace_back(pair.modelName, pair.roomName);
    EXPECT_EQ(shipped, TexlateFile(expected)) << "rebuild data/texlate.rsc from data/texlate.txt";

    const auto table = Loaded(shipped);
    for (std::size_t k = 0; k < parsed.pairs.size(); ++k) {
        EXPECT_EQ(table->translateFrom[k], parsed.pairs[k].modelName);
        EXPECT_EQ(table->translateTo[k], parsed.pairs[k].roomName);
    }
    EXPECT_EQ(table->translateFrom[parsed.pairs.size()], "");
}

}  // namespace
}  // namespace torvale
