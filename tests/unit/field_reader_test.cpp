#include "core/field_reader.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

namespace torvale {
namespace {

constexpr RefusalWording kWithLead{"Error: ", " is cut short by the end of the file (reading the ", ")"};
constexpr RefusalWording kPlain{"", ": the file ends inside ", ""};

// Nine bytes: int32 7, int16 -2, then three bytes "abc".
const std::vector<std::uint8_t> kNine = {7, 0, 0, 0, 0xFE, 0xFF, 'a', 'b', 'c'};

struct RefusalCase {
    const char* name;
    RefusalWording wording;
    std::size_t base;
    const char* chunk;      // null: no chunk entered
    std::size_t chunkAt;    // where the chunk starts
    std::size_t skipFirst;  // bytes read before the failing read
    std::function<bool(FieldReader&)> read;
    const char* expected;
};

class FieldReaderRefusal : public testing::TestWithParam<RefusalCase> {};

TEST_P(FieldReaderRefusal, NamesFieldChunkAndFileOffsetAndMovesNothing) {
    const RefusalCase& c = GetParam();
    FieldReader in(kNine, c.wording, c.base);
    if (c.chunk)
        in.enterChunk(c.chunk, c.chunkAt);
    ASSERT_TRUE(in.skip(c.skipFirst));
    EXPECT_FALSE(c.read(in));
    EXPECT_TRUE(in.failed());
    EXPECT_EQ(in.error(), c.expected);
    EXPECT_EQ(in.position(), c.skipFirst);  // a failed read moves nothing
}

INSTANTIATE_TEST_SUITE_P(
    Reads,
    FieldReaderRefusal,
    testing::Values(
        RefusalCase{"Int32PastTheEnd", kWithLead, 0, "SOBJ", 0, 6,
                    [](FieldReader& in) {
                        std::int32_t v = 0;
                        return in.i32(v, "vertex count");
                    },
                    "Error: SOBJ at byte 6 is cut short by the end of the file (reading the vertex count)"},
        RefusalCase{"FloatInAPieceOfAFile", kPlain, 1000, "faces", 4, 8,
                    [](FieldReader& in) {
                        float v = 0;
                        return in.f32(v, "the normal of face 3");
                    },
                    "faces at byte 1008: the file ends inside the normal of face 3"},
        RefusalCase{"TextLongerThanWhatIsLeft", kPlain, 0, "page 2", 0, 6,
                    [](FieldReader& in) {
                        std::string s = "kept";
                        const bool ok = in.text(4, s, "name");
                        return ok || s != "kept";  // a failed text read appends nothing
                    },
                    "page 2 at byte 6: the file ends inside name"},
        RefusalCase{"NeedForAWholeVector", kWithLead, 0, "OHDR", 0, 0,
                    [](FieldReader& in) { return in.need(12, "radius"); },
                    "Error: OHDR at byte 0 is cut short by the end of the file (reading the radius)"},
        RefusalCase{"PassBeyondTheEnd", kPlain, 0, "entry 1", 0, 9,
                    [](FieldReader& in) { return in.pass(1, "the name"); },
                    "entry 1 at byte 9: the file ends inside the name"},
        RefusalCase{"ChunkFaultAtTheChunkStart", kPlain, 20, "page 3", 4, 6,
                    [](FieldReader& in) { return in.refuseChunk(": the page length is 2"); },
                    "page 3 at byte 24: the page length is 2"},
        RefusalCase{"BeforeAnyChunk", kPlain, 0, nullptr, 0, 0,
                    [](FieldReader& in) { return in.refuse(4, ": not an archive"); }, "at byte 4: not an archive"},
        RefusalCase{"U8OnEmptyRest", kWithLead, 0, "TXTR", 1, 9,
                    [](FieldReader& in) {
                        std::uint8_t v = 0;
                        return in.u8(v, "colour of a face");
                    },
                    "Error: TXTR at byte 9 is cut short by the end of the file (reading the colour of a face)"}),
    [](const testing::TestParamInfo<RefusalCase>& info) { return std::string(info.param.name); });

TEST(FieldReader, ReadsFieldsInOrderWhileTheyFit) {
    FieldReader in(kNine, kPlain);
    std::int32_t count = 0;
    std::int16_t delta = 0;
    std::string text;
    ASSERT_TRUE(in.i32(count, "count") && in.i16(delta, "delta") && in.text(3, text, "text"));
    EXPECT_EQ(count, 7);
    EXPECT_EQ(delta, -2);
    EXPECT_EQ(text, "abc");
    EXPECT_TRUE(in.atEnd());
    EXPECT_FALSE(in.failed());
}

TEST(FieldReader, FirstRefusalStaysWhenAnotherFollows) {
    FieldReader in(kNine, kPlain);
    in.enterChunk("header", 0);
    EXPECT_FALSE(in.refuse(2, ": first"));
    in.enterChunk("faces", 4);
    EXPECT_FALSE(in.refuseChunk(": second"));
    EXPECT_EQ(in.error(), "header at byte 2: first");
    EXPECT_EQ(in.refusal(5, ": only the text"), "faces at byte 5: only the text");
}

// Every read over every prefix of the bytes: it succeeds exactly when its bytes are there, and when it does not
// the reader stays where it was.
TEST(FieldReader, TruncationSweepOfEveryFieldWidth) {
    struct Width {
        std::size_t bytes;
        std::function<bool(FieldReader&)> read;
    };
    const std::vector<Width> widths = {
        {1,
         [](FieldReader& in) {
             std::uint8_t v;
             return in.u8(v, "f");
         }},
        {2,
         [](FieldReader& in) {
             std::uint16_t v;
             return in.u16(v, "f");
         }},
        {2,
         [](FieldReader& in) {
             std::int16_t v;
             return in.i16(v, "f");
         }},
        {4,
         [](FieldReader& in) {
             std::uint32_t v;
             return in.u32(v, "f");
         }},
        {4,
         [](FieldReader& in) {
             std::int32_t v;
             return in.i32(v, "f");
         }},
        {4,
         [](FieldReader& in) {
             float v;
             return in.f32(v, "f");
         }},
        {5,
         [](FieldReader& in) {
             std::span<const std::uint8_t> v;
             return in.bytes(5, v, "f");
         }},
    };
    for (std::size_t size = 0; size <= kNine.size(); ++size) {
        const std::vector<std::uint8_t> prefix(kNine.begin(), kNine.begin() + static_cast<std::ptrdiff_t>(size));
        for (std::size_t start = 0; start <= size; ++start) {
            for (const Width& w : widths) {
                FieldReader in(prefix, kPlain);
                ASSERT_TRUE(in.skip(start));
                const bool fits = size - start >= w.bytes;
                EXPECT_EQ(w.read(in), fits) << "size " << size << " start " << start << " width " << w.bytes;
                EXPECT_EQ(in.position(), fits ? start + w.bytes : start);
                EXPECT_EQ(in.failed(), !fits);
            }
        }
    }
}

}  // namespace
}  // namespace torvale
