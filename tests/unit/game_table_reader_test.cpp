#include <gtest/gtest.h>

#include "builders/fake_platform.h"
#include "builders/game_builder.h"
#include "game/hog_archive.h"
#include "game/table_file.h"

namespace torvale {
namespace {

using test::Bytes;
using test::GamBuilder;
using test::HogFile;

std::vector<std::string> Describe(const std::vector<TexturePage>& pages) {
    std::vector<std::string> out;
    for (const TexturePage& page : pages)
        out.push_back(page.name + "|" + page.bitmap + "|" + page.table);
    return out;
}

TEST(TableFile, ReadsTexturePagesAndSkipsEveryOtherType) {
    std::vector<TexturePage> pages;
    std::string error;
    ASSERT_TRUE(ReadTableFile(test::EveryPageTypeTable(), "Table.gam", pages, error)) << error;
    EXPECT_EQ(Describe(pages),
              (std::vector<std::string>{"Rock Wall|rockwall.ogf|Table.gam",
                                        "NGRFlareCorona|ngrflarecorona1.ogf|Table.gam", "Lava|lava.oaf|Table.gam"}));
}

TEST(TableFile, KeepsThirtyFourCharactersOfALongTextAndReadsOnFromItsEnd) {
    const std::string longName = "A123456789B123456789C123456789D123456789";  // 40
    Bytes bytes = GamBuilder().texture(longName, longName + ".ogf", longName, 3).texture("Next", "next.ogf").take();
    std::vector<TexturePage> pages;
    std::string error;
    ASSERT_TRUE(ReadTableFile(bytes, "t.gam", pages, error)) << error;
    EXPECT_EQ(Describe(pages),
              (std::vector<std::string>{longName.substr(0, 34) + "|" + longName.substr(0, 34) + "|t.gam",
                                        "Next|next.ogf|t.gam"}));
}

TEST(TableFile, RefusesDamagedPagesNamingPageAndByte) {
    // A texture page whose bitmap name has no zero inside the page, though one follows right after it.
    Bytes noZero = test::ByteBuilder().i16(7).text("Wall").u8(0).text("wall.ogf").take();
    Bytes textsPastLength = GamBuilder().other(2, 4).page(1, noZero).other(0, 0).take();
    const struct {
        const char* what;
        Bytes bytes;
        std::string error;
    } cases[] = {
        {"empty", {}, "the file is empty; a table holds at least one page"},
        {"length cut", Bytes{1, 0x10, 0},
         "page 1 at byte 0: the file ends inside the page length (2 of its 4 bytes are there)"},
        {"length below 4", GamBuilder().other(5, 2).raw(5, 3, {0, 0, 0}).take(),
         "page 2 at byte 7: the page length is 3; it counts its own 4 bytes, so it is at least 4"},
        {"negative length", GamBuilder().raw(1, -1, {}).take(),
         "page 1 at byte 0: the page length is -1; it counts its own 4 bytes, so it is at least 4"},
        {"page past the end", GamBuilder().other(3, 1).raw(1, 40, Bytes(10)).take(),
         "page 2 at byte 6: the page runs to byte 47, past the end of the file at byte 21"},
        {"texts past length", textsPastLength,
         "page 2 at byte 21: the bitmap file name has no zero byte before the page's end at byte 29"},
        {"no room for the version", GamBuilder().page(1, {7}).take(),
         "page 1 at byte 5: the texture page is too short to hold its version (1 of 2 bytes)"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        std::vector<TexturePage> pages = {{"kept", "kept.ogf", "old.gam"}};
        std::string error;
        EXPECT_FALSE(ReadTableFile(c.bytes, "t.gam", pages, error));
        EXPECT_EQ(error, c.error);
        EXPECT_EQ(Describe(pages), std::vector<std::string>{"kept|kept.ogf|old.gam"});
    }
}

// Every prefix, each in its own allocation: it reads exactly when it ends where a page ends, holding the texture
// pages before that point; any other prefix is refused with a reason naming a page.
TEST(TableFile, EveryPrefixReadsItsWholePagesOrIsRefused) {
    GamBuilder builder;
    std::vector<std::pair<std::size_t, std::size_t>> ends;  // (end of page, texture pages so far)
    builder.texture("A", "a.ogf");
    ends.emplace_back(builder.size(), 1);
    builder.other(4, 9);
    ends.emplace_back(builder.size(), 1);
    builder.texture("B", "b.oaf", "B-d", 0);
    ends.emplace_back(builder.size(), 2);
    const Bytes whole = builder.take();
    for (std::size_t length = 0; length <= whole.size(); ++length) {
        SCOPED_TRACE("prefix of " + std::to_string(length) + " bytes");
        const auto prefix = std::make_unique<std::uint8_t[]>(length);
        std::copy_n(whole.begin(), length, prefix.get());
        std::vector<TexturePage> pages;
        std::string error;
        const bool ok = ReadTableFile({prefix.get(), length}, "t.gam", pages, error);
        std::size_t expected = 0;
        bool sound = false;
        for (const auto& [end, count] : ends)
            if (end == length) {
                sound = true;
                expected = count;
            }
        ASSERT_EQ(ok, sound) << error;
        if (ok)
            EXPECT_EQ(pages.size(), expected);
        else if (length > 0)
            EXPECT_EQ(error.rfind("page ", 0), 0u) << error;
    }
}

TEST(HogDirectory, ReadsNamesLengthsAndOffsetsInTableOrder) {
    const Bytes archive = HogFile({{"Table.gam", Bytes(10, 1)}, {std::string(36, 'x'), Bytes(3, 2)}, {"e", {}}});
    std::vector<HogEntry> entries;
    std::string error;
    ASSERT_TRUE(ReadHogDirectory(archive, archive.size(), entries, error)) << error;
    ASSERT_EQ(entries.size(), 3u);
    const std::uint64_t data = 68 + 3 * 48;
    EXPECT_EQ(entries[0].name, "Table.gam");
    EXPECT_EQ(entries[0].offset, data);
    EXPECT_EQ(entries[0].length, 10u);
    EXPECT_EQ(entries[1].name, std::string(36, 'x'));  // a name filling all 36 bytes has no zero
    EXPECT_EQ(entries[1].offset, data + 10);
    EXPECT_EQ(entries[2].offset, data + 13);
    EXPECT_EQ(entries[0].time, 0x5F000000u);
}

TEST(HogDirectory, RefusesDamagedArchivesNamingEntryAndByte) {
    const Bytes good = HogFile({{"a.gam", Bytes(10)}, {"b.gam", Bytes(20)}});
    Bytes badMagic = good;
    badMagic[3] = '1';
    Bytes tooMany = good;
    tooMany[4] = 9;
    Bytes dataInTable = good;
    dataInTable[8] = 100;
    Bytes lastPastEnd = good;
    lastPastEnd[68 + 48 + 40] = 21;
    const struct {
        const char* what;
        Bytes bytes;
        std::string error;
    } cases[] = {
        {"short header", Bytes(good.begin(), good.begin() + 67),
         "the archive header is cut short: 67 of its 68 bytes are there"},
        {"not HOG2", badMagic, "at byte 0: not a HOG2 archive (it does not begin with \"HOG2\")"},
        {"table past the end", tooMany,
         "at byte 4: the file table of 9 entries would end at byte 500, past the archive's end at byte 194"},
        {"data inside the table", dataInTable,
         "at byte 8: the files' data begins at byte 100, inside the file table, which ends at byte 164"},
        {"file past the end", lastPastEnd,
         "entry 2 at byte 116: the file b.gam runs from byte 174 to byte 195, past the archive's end at byte 194"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        std::vector<HogEntry> entries(1);
        std::string error;
        EXPECT_FALSE(ReadHogDirectory(c.bytes, c.bytes.size(), entries, error));
        EXPECT_EQ(error, c.error);
        EXPECT_EQ(entries.size(), 1u);
    }
}

// Every prefix taken as a whole archive, each in its own allocation: only the whole file is sound, since its
// last file ends it; an archive whose files are empty is sound from the end of its table on.
TEST(HogDirectory, EveryPrefixIsRefusedUntilTheLastFileEnds) {
    const Bytes whole = HogFile({{"a.gam", Bytes(5, 1)}, {"b", Bytes(2, 2)}});
    for (std::size_t length = 0; length <= whole.size(); ++length) {
        SCOPED_TRACE("prefix of " + std::to_string(length) + " bytes");
        const auto prefix = std::make_unique<std::uint8_t[]>(length);
        std::copy_n(whole.begin(), length, prefix.get());
        std::vector<HogEntry> entries;
        std::string error;
        const bool ok = ReadHogDirectory({prefix.get(), length}, length, entries, error);
        ASSERT_EQ(ok, length == whole.size()) << error;
        if (!ok)
            EXPECT_FALSE(error.empty());
    }
}

TEST(HogArchive, FindsNamesIgnoringCaseAndReadsOneFileBySeeking) {
    test::ScratchDirectory dir{"hog"};
    const Bytes table = test::EveryPageTypeTable();
    ASSERT_TRUE(test::WriteTestFile(dir / "extra.hog", HogFile({{"readme.txt", Bytes(7, 9)}, {"EXTRA.GAM", table}})));
    HogArchive archive;
    std::string error;
    ASSERT_TRUE(archive.open(dir / "extra.hog", error)) << error;
    const HogEntry* entry = archive.find("extra.gam");
    ASSERT_NE(entry, nullptr);
    EXPECT_EQ(entry->name, "EXTRA.GAM");
    EXPECT_EQ(archive.find("extra.ga"), nullptr);
    std::vector<std::uint8_t> bytes;
    ASSERT_TRUE(archive.read(*entry, bytes, error)) << error;
    EXPECT_EQ(bytes, table);

    // Cut inside the last file: the table still reads, but the archive is refused as running past its end.
    Bytes cut = HogFile({{"a", Bytes(100)}});
    cut.resize(cut.size() - 1);
    ASSERT_TRUE(test::WriteTestFile(dir / "cut.hog", cut));
    EXPECT_FALSE(archive.open(dir / "cut.hog", error));
    EXPECT_EQ(error,
              "entry 1 at byte 68: the file a runs from byte 116 to byte 216, past the archive's end at byte 215");
    EXPECT_FALSE(archive.open(dir / "missing.hog", error));
    EXPECT_EQ(error.rfind("the file cannot be opened: ", 0), 0u) << error;
}

}  // namespace
}  // namespace torvale
