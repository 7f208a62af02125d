#include <gtest/gtest.h>

#include <functional>
#include <string>

#include "builders/oof_builder.h"
#include "oof/oof_reader.h"

namespace torvale {
namespace {

using test::Bytes;
using test::OofBuilder;
using test::RecordingSink;
using test::SobjFields;
using test::Stored;

SobjFields Quad() {
    SobjFields s;
    s.positions = {{0, 0, 0}, {1, 0, 0}, {1, 1, 0}, {0, 1, 0}};
    s.faces = {{{0, 0, 1}, 1, 0, 0, 0, 0, {{0, 0, 0}, {1, 1, 0}, {2, 1, 1}, {3, 0, 1}}}};
    return s;
}

// A file with one of every count, used to damage one count at a time.
OofBuilder Full(std::int32_t version = 2300) {
    OofBuilder b(version);
    b.txtr({Stored("rock1"), Stored("glass")}).ohdr({2, 1, {}, {}, {{1, 2}}}).sobj(Quad());
    b.spcl({{Stored("$a"), Stored("b"), {}, 1}}).gpnt({{}}).pani({{0, 1, {{0, {}}}}}).rani({{0, 1, {{0, {}, 5}}}});
    b.wbat({{{1}, {2}}}).grnd({{}}).atch({{}}).nath({{}});
    return b;
}

struct Refusal {
    std::string mark;  // the count to damage
    std::int32_t value;
    std::string line;  // expected reason, after "Error: "; {at} stands for the mark's offset
};

std::string Expand(std::string line, std::size_t at) {
    const auto p = line.find("{at}");
    if (p != std::string::npos)
        line.replace(p, 4, std::to_string(at));
    return "\r\nError: " + line + "\r\n";
}

void ExpectRefused(const Bytes& bytes, const std::string& expectedLine) {
    ObjectModel model;
    RecordingSink log;
    EXPECT_EQ(ReadOofFile(bytes, "ship.oof", model, log), kOofInvalid);
    ASSERT_FALSE(log.messages.empty());
    EXPECT_EQ(log.messages.back(), expectedLine);
    EXPECT_EQ(log.errors().size(), 1u);
}

TEST(OofRefusal, DamagedCountsAreRefusedWithTheirReasonAndOffset) {
    const std::vector<Refusal> cases = {
        {"TXTR1.count", 32767, "TXTR at byte {at} announces 32767 textures, more than 32766"},
        {"TXTR1.count", -1, "TXTR at byte {at} announces -1 textures, a negative number"},
        {"TXTR1.count", 32766, "TXTR at byte {at} announces 32766 textures, but only "},
        {"TXTR1.name2", 40000, "TXTR at byte {at} announces 40000 texture name characters, more than 32766"},
        {"TXTR1.name2", -2, "TXTR at byte {at} announces -2 texture name characters, a negative number"},
        {"OHDR1.count", 0, "OHDR at byte {at} announces 0 sub-objects, but a model has at least 1"},
        {"OHDR1.count", -3, "OHDR at byte {at} announces -3 sub-objects, but a model has at least 1"},
        {"OHDR1.count", 32767, "OHDR at byte {at} announces 32767 sub-objects, more than 32766"},
        {"OHDR1.pairs", 30000, "OHDR at byte {at} announces 30000 header value pairs, but only "},
        {"SOBJ1.name", 32767, "SOBJ at byte {at} announces 32767 name characters, more than 32766"},
        {"SOBJ1.property", -1, "SOBJ at byte {at} announces -1 property characters, a negative number"},
        {"SOBJ1.unused", 20000, "SOBJ at byte {at} announces 20000 unused values, but only "},
        {"SOBJ1.vertices", 20000, "SOBJ at byte {at} announces 20000 vertices, but only "},
        {"SOBJ1.faces", 7000, "SOBJ at byte {at} announces 7000 faces, but only "},
        {"SOBJ1.faces", 70000, "SOBJ at byte {at} announces 70000 faces, more than 32766"},
        {"SOBJ1.face1.corners", 30000, "SOBJ at byte {at} announces 30000 face corners, but only "},
        {"SOBJ1.face1.corners", -4, "SOBJ at byte {at} announces -4 face corners, a negative number"},
        {"SPCL1.count", 9000, "SPCL at byte {at} announces 9000 special points, but only "},
        {"SPCL1.name1", 32767, "SPCL at byte {at} announces 32767 point name characters, more than 32766"},
        {"SPCL1.property1", 5000, "SPCL at byte {at} announces 5000 point property characters, but only "},
        {"GPNT1.count", 32767, "GPNT at byte {at} announces 32767 gunpoints, more than 32766"},
        {"PANI1.count1", 9000, "PANI at byte {at} announces 9000 position keys, but only "},
        {"RANI1.count1", -1, "RANI at byte {at} announces -1 rotation keys, a negative number"},
        {"WBAT1.count", 9000, "WBAT at byte {at} announces 9000 weapon batteries, but only "},
        {"WBAT1.gunpoints1", -8, "WBAT at byte {at} announces -8 battery gunpoints, a negative number"},
        {"WBAT1.turrets1", 30000, "WBAT at byte {at} announces 30000 battery turrets, but only "},
        {"GRND1.count", 9000, "GRND at byte {at} announces 9000 ground points, but only "},
        {"ATCH1.count", -1, "ATCH at byte {at} announces -1 attach points, a negative number"},
        {"NATH1.count", 2, "NATH at byte {at} announces 2 attach normals, but only 28 bytes are left"},
        {"NATH1.count", 1, ""},  // the undamaged count loads
    };
    for (const Refusal& c : cases) {
        SCOPED_TRACE(c.mark + " = " + std::to_string(c.value));
        OofBuilder b = Full();
        const std::size_t at = b.at(c.mark);
        b.patchI32(c.mark, c.value);
        ObjectModel model;
        RecordingSink log;
        const int result = ReadOofFile(b.bytes(), "ship.oof", model, log);
        if (c.line.empty()) {
            EXPECT_EQ(result, kOofLoaded);
            continue;
        }
        EXPECT_EQ(result, kOofInvalid);
        ASSERT_EQ(log.errors().size(), 1u);
        EXPECT_EQ(log.messages.back(), log.errors()[0]);  // nothing after the reason line
        const std::string expected = Expand(c.line, at);
        if (c.line.ends_with("but only ")) {  // the bytes left are checked in a test of their own
            const std::size_t stem = expected.size() - 2;
            EXPECT_EQ(log.messages.back().substr(0, stem), expected.substr(0, stem));
        } else {
            EXPECT_EQ(log.messages.back(), expected);
        }
    }
}

TEST(OofRefusal, ACountThatDoesNotFitNamesTheBytesLeft) {
    OofBuilder b(2300);
    b.ohdr({}).sobj(Quad());
    const std::size_t at = b.at("SOBJ1.faces");
    const std::size_t left = b.size() - at - 4;
    b.patchI32("SOBJ1.faces", 70);
    ExpectRefused(
        b.bytes(),
        Expand("SOBJ at byte {at} announces 70 faces, but only " + std::to_string(left) + " bytes are left", at));
}

TEST(OofRefusal, PreVersion2200KeyCountMustFitForEverySubObject) {
    // Two sub-objects read so far: one shared count of 3 needs 3 keys for each of them.
    OofBuilder b(2199);
    b.ohdr({2}).sobj(Quad()).sobj(Quad()).pani({{0, 0, {{}, {}, {}}}});
    const std::size_t at = b.at("PANI1.count");
    ExpectRefused(b.bytes(), Expand("PANI at byte {at} announces 3 position keys, but only 36 bytes are left", at));
}

TEST(OofRefusal, ChunksOutOfOrderAreRefusedAtTheirHeader) {
    const auto refusedAt = [](OofBuilder b, const std::string& mark, const std::string& why) {
        SCOPED_TRACE(mark);
        ExpectRefused(b.bytes(), Expand(mark.substr(0, 4) + " at byte {at} " + why, b.at(mark)));
    };
    refusedAt(OofBuilder(2300).sobj(Quad()), "SOBJ1", "comes before the object header (OHDR)");
    refusedAt(OofBuilder(2300).ohdr({1}).sobj(Quad()).sobj(Quad()), "SOBJ2",
              "is sub-object 2, but OHDR declared only 1");
    refusedAt(OofBuilder(2300).ohdr({}).spcl({}), "SPCL1", "comes before any sub-object (SOBJ)");
    refusedAt(OofBuilder(2300).ohdr({}).pani({}), "PANI1", "comes before any sub-object (SOBJ)");
    refusedAt(OofBuilder(2199).ohdr({}).rani({}), "RANI1", "comes before any sub-object (SOBJ)");
}

TEST(OofRefusal, ABodyCutShortNamesTheFieldThatIsMissing) {
    const Bytes headerOnly = OofBuilder(2300).chunk("TXTR", {}).bytes();
    ExpectRefused(headerOnly,
                  Expand("TXTR at byte 16 is cut short by the end of the file (reading the texture count)", 0));

    // Two faces: the count fits what is left (31 bytes at least for each), the second face's normal does not.
    SobjFields twoFaces = Quad();
    twoFaces.faces.push_back(twoFaces.faces[0]);
    OofBuilder b(2300);
    b.ohdr({}).sobj(twoFaces);
    Bytes bytes = b.bytes();
    const std::size_t face = b.at("SOBJ1.face2");
    bytes.resize(face + 7);
    ExpectRefused(bytes,
                  Expand("SOBJ at byte {at} is cut short by the end of the file (reading the face normal)", face));

    Bytes ohdr = OofBuilder(2300).ohdr({}).bytes();
    ohdr.resize(8 + 8 + 8 + 12 + 5);  // inside the largest corner of the bounding box
    ExpectRefused(ohdr, Expand("OHDR at byte 36 is cut short by the end of the file (reading the largest bounding box "
                               "corner)",
                               0));
}

// A refused count stores nothing: the previous file's values stay.
TEST(OofRefusal, ARefusedCountLosesNothing) {
    ObjectModel model;
    RecordingSink log;
    ASSERT_EQ(ReadOofFile(test::SampleOof(), "sample.oof", model, log), kOofLoaded);
    OofBuilder b(2300);
    b.txtr({Stored("x")}).gpnt({{}});
    b.patchI32("TXTR1.count", 40000);
    EXPECT_EQ(ReadOofFile(b.bytes(), "bad.oof", model, log), kOofInvalid);
    EXPECT_EQ(model.textureCount, 3);
    EXPECT_EQ(model.textureNames[2], Stored("glass"));
    EXPECT_EQ(model.gunpointCount, 2);
}

// Every prefix of a valid file loads or is refused cleanly, each in its own allocation so that AddressSanitizer
// sees its end; the lines printed before the end are always the whole file's lines.
void SweepPrefixes(const Bytes& whole) {
    ObjectModel fullModel;
    RecordingSink full;
    ASSERT_EQ(ReadOofFile(whole, "t.oof", fullModel, full), kOofLoaded);
    for (std::size_t n = 0; n < whole.size(); ++n) {
        SCOPED_TRACE(n);
        const Bytes prefix(whole.begin(), whole.begin() + static_cast<std::ptrdiff_t>(n));
        ObjectModel model;
        RecordingSink log;
        const int result = ReadOofFile(prefix, "t.oof", model, log);
        ASSERT_TRUE(result == kOofLoaded || result == kOofInvalid);
        std::vector<std::string> lines = log.messages;
        if (n < 8) {
            EXPECT_EQ(result, kOofInvalid);
            EXPECT_TRUE(lines.empty());
            continue;
        }
        if (result == kOofInvalid) {
            ASSERT_EQ(log.errors().size(), 1u);
            ASSERT_EQ(lines.back(), log.errors()[0]);
            const bool cutShort = lines.back().find(" is cut short by the end of the file") != std::string::npos;
            const bool beyondFile = lines.back().find(" bytes are left") != std::string::npos ||
                                    lines.back().find(" byte is left") != std::string::npos;
            EXPECT_TRUE(cutShort || beyondFile) << lines.back();
            lines.pop_back();
        } else if (!lines.empty() && lines.back() == "\r\nPOF contained incorrect data") {
            lines.pop_back();
        }
        ASSERT_LE(lines.size(), full.messages.size());
        for (std::size_t i = 0; i < lines.size(); ++i)
            ASSERT_EQ(lines[i], full.messages[i]);
    }
}

TEST(OofRefusal, EveryPrefixOfTheSampleLoadsOrIsRefusedCleanly) {
    SweepPrefixes(test::SampleOof());
}

TEST(OofRefusal, EveryPrefixOfAnOldVersionFileLoadsOrIsRefusedCleanly) {
    OofBuilder b(1805);
    b.txtr({Stored("a")}).ohdr({2}).sobj(Quad()).spcl({{Stored("$p"), "", {}, 1}}).sobj(Quad());
    b.gpnt({{}, {}}).pani({{0, 0, {{}, {}}}, {0, 0, {{}, {}}}}).rani({{0, 0, {{}}}, {0, 0, {{}}}});
    b.wbat({{{1, 2}, {3}}}).grnd({{}}).atch({{}}).nath({{}}).pinf("done\n");
    SweepPrefixes(b.bytes());
}

}  // namespace
}  // namespace torvale
