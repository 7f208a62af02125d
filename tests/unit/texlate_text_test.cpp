#include <gtest/gtest.h>

#include "orf/texlate_text.h"

namespace torvale {
namespace {

using namespace std::string_literals;

std::vector<std::pair<std::string, std::string>> ModelToRoom(const std::vector<TexturePair>& pairs) {
    std::vector<std::pair<std::string, std::string>> out;
    for (const TexturePair& pair : pairs)
        out.emplace_back(pair.modelName, pair.roomName);
    return out;
}

TexlateTextResult Parsed(std::string_view text) {
    TexlateTextResult result;
    std::string error;
    EXPECT_TRUE(ParseTexlateText(text, result, error)) << error;
    return result;
}

std::string Refusal(std::string_view text) {
    TexlateTextResult result;
    std::string error;
    EXPECT_FALSE(ParseTexlateText(text, result, error)) << text;
    return error;
}

TEST(TexlateText, ReadsOnePairALineSkippingCommentsAndBlankLinesAndTrimmingNames) {
    const auto result = Parsed(
        "\xEF\xBB\xBF# a comment line\n"
        "wall1 = CEILING01\r\n"
        "\n"
        "   \t\n"
        "\t rusty  panel\t=  Rusted Panel 2   # a note after the pair\n"
        "a=b");
    EXPECT_EQ(ModelToRoom(result.pairs), (std::vector<std::pair<std::string, std::string>>{
                                             {"wall1", "CEILING01"}, {"rusty  panel", "Rusted Panel 2"}, {"a", "b"}}));
    EXPECT_EQ(result.lines, (std::vector<std::size_t>{2, 5, 6}));
    EXPECT_TRUE(result.notes.empty());
}

TEST(TexlateText, EscapesGiveBackslashEqualsHashAndAnyByte) {
    const auto result = Parsed("a\\=b\\#c\\\\d = \\x20lead\\x00\\xfF\\x20 \n");
    ASSERT_EQ(result.pairs.size(), 1u);
    EXPECT_EQ(result.pairs[0].modelName, "a=b#c\\d");
    EXPECT_EQ(result.pairs[0].roomName, " lead\0\xFF "s);
}

TEST(TexlateText, RefusesBadLinesNamingTheLine) {
    EXPECT_EQ(Refusal("ok = fine\nno separator here\n"), "line 2: no '=' between the model name and the room name");
    EXPECT_EQ(Refusal("a = b = c"), "line 1: a second '='; write \\= for an equals sign inside a name");
    EXPECT_EQ(Refusal("\n\n  = room"), "line 3: the model name is empty; a name has at least 1 byte");
    EXPECT_EQ(Refusal("model =   # nothing"), "line 1: the room name is empty; a name has at least 1 byte");
    EXPECT_EQ(Refusal("a\\q = b"), "line 1: unknown escape \\q; the escapes are \\\\, \\=, \\# and \\xHH");
    EXPECT_EQ(Refusal("a = \\x4"), "line 1: \\x must be followed by two hexadecimal digits");
    EXPECT_EQ(Refusal("a = b\\"), "line 1: the line ends in a backslash; write \\\\ for a backslash");
    EXPECT_EQ(Refusal("a = b\x01"), "line 1: control character 01 (hexadecimal) in the line; write it as \\x01");
    EXPECT_EQ(Refusal("a\0 = b"s), "line 1: control character 00 (hexadecimal) in the line; write it as \\x00");
    EXPECT_EQ(Refusal("a = b\rc\r\n"), "line 1: control character 0D (hexadecimal) in the line; write it as \\x0D");
}

TEST(TexlateText, HoldsAt2086PairsAndRefusesThe2087th) {
    std::string text = "# header\n";
    for (int i = 0; i < 2086; ++i)
        text += "m" + std::to_string(i) + " = r\n";
    EXPECT_EQ(Parsed(text).pairs.size(), 2086u);
    text += "one = more\n";
    EXPECT_EQ(Refusal(text), "line 2088: pair 2087; a texture table holds at most 2086 pairs");
}

TEST(TexlateText, NotesAModelNameMappedTwice) {
    const auto result = Parsed("hull = A\nglass = B\nhull = C\n");
    EXPECT_EQ(result.pairs.size(), 3u);
    ASSERT_EQ(result.notes.size(), 1u);
    EXPECT_EQ(
        result.notes[0],
        "line 3: the model name hull is already mapped on line 1; the first pair wins and this one is never used");
}

TEST(TexlateText, FormatWritesOneEscapedPairALineAfterAComment) {
    const std::vector<TexturePair> pairs = {{"wall1", "CEILING01"}, {" a=b#c\\ ", "x\ty\0"s}};
    EXPECT_EQ(FormatTexlateText(pairs),
              "# model texture name = room texture name\n"
              "wall1 = CEILING01\n"
              "\\x20a\\=b\\#c\\\\\\x20 = x\\x09y\\x00\n");
}

TEST(TexlateText, FormattedPairsReadBackUnchangedForEveryByteValue) {
    std::vector<TexturePair> pairs;
    for (int byte = 0; byte < 256; ++byte) {
        const char c = static_cast<char>(byte);
        pairs.push_back({std::string(1, c), std::string("in") + c + "side"});
        pairs.push_back({std::string(2, c) + "end", std::string(3, c)});
    }
    pairs.push_back({"  two blanks  ", " "});
    const auto result = Parsed(FormatTexlateText(pairs));
    ASSERT_EQ(result.pairs.size(), pairs.size());
    EXPECT_EQ(ModelToRoom(result.pairs), ModelToRoom(pairs));
}

}  // namespace
}  // namespace torvale
