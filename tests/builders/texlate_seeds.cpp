#include "builders/seeds.h"
#include "builders/texlate_builder.h"

namespace torvale::test {

// The texlate fuzz target reads each input both as a texlate.rsc file and as the text form of pairs, so the
// seeds hold both kinds.
Seeds TexlateSeeds() {
    using namespace std::string_literals;
    Seeds seeds;
    seeds.emplace_back("one_pair", TexlateFile({{"wall1", "CEILING01"}}));
    seeds.emplace_back("odd_names", TexlateFile({{"a\0b"s, "x"}, {" lead", "trail "}, {"=#\\", "\0"s}}));
    Bytes trailing = TexlateFile({{"hull", "Hull Plate"}, {"hull", "Second"}});
    trailing.push_back(0x7F);
    seeds.emplace_back("duplicate_and_trailing_byte", trailing);
    seeds.emplace_back("full_2086", TexlateFile(NumberedPairs(2086)));
    const std::string text =
        "# pairs\n"
        "wall1 = CEILING01\r\n"
        "  rusty panel\t=  Rusted Panel 2   # a comment\n"
        "\\x20lead = a\\=b\\#c\\\\\n"
        "\n";
    seeds.emplace_back("text_form", Bytes(text.begin(), text.end()));
    return seeds;
}

}  // namespace torvale::test
