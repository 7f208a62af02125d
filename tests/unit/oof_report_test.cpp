#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "builders/oof_builder.h"
#include "oof/model_report.h"
#include "oof/oof_reader.h"

namespace torvale {
namespace {

using test::Bytes;
using test::OofBuilder;
using test::RecordingSink;
using test::SobjFields;
using test::Stored;
using Lines = std::vector<std::string>;

Lines Report(const Bytes& bytes, ReportFormat format = {}) {
    ObjectModel model;
    RecordingSink log;
    EXPECT_EQ(ReadOofFile(bytes, "ship.oof", model, log, format), kOofLoaded);
    return log.messages;
}

const Lines kOpening2300 = {"\r\nOpened ship.oof\r\n", "\r\n---File data---\r\nFile ID: PSPO", "\r\nVersion: 2300\r\n"};

Lines Join(Lines a, const Lines& b) {
    a.insert(a.end(), b.begin(), b.end());
    return a;
}

TEST(ModelReport, WholeReportOfAVersion2300Model) {
    SobjFields s;
    s.number = 0;
    s.parent = -1;
    s.modelVector = {0, 0, 1};
    s.modelD = -0.5f;
    s.modelPoint = {0.1f, 0, 0};
    s.attachOffset = {1, 2.5f, -3};
    s.radius = 12345678;
    s.treeOffset = 40;
    s.dataOffset = 80;
    s.geometricCenter = {0.0254001f, 0, 1E-05f};
    s.name = Stored("engine1");
    s.propertyName = "";
    s.movementType = 2;
    s.movementAxis = -1;
    s.positions = {{0, 0, 0}};
    const Bytes bytes = OofBuilder(2300)
                            .txtr({Stored("rock1"), "noterm"})
                            .ohdr({1, 65535, {1, 2.5f, -3}, {100, 0.0001f, 9999999.5f}, {}})
                            .sobj(s)
                            .spcl({{Stored("$gun 1"), Stored(""), {1, 2.5f, -3}, 0.5f}})
                            .gpnt({{0, {1, 2.5f, -3}, {0, 0, 1}}})
                            .pani({{-1, 1, {}}})
                            .rani({{0, 2, {}}})
                            .wbat({{{1, 2, 3, 4, 5, 6, 7, 8, 9, 10}, {4}}})
                            .grnd({{1, {0, -1, 0}, {0, -1, 0}}})
                            .atch({{1, {0, 0, 1}, {0, 0, 1}}})
                            .nath({{1, {0, 1, 0}, {0.5f, 0, 0}}})
                            .pinf("done\n")
                            .bytes();
    const Lines expected = Join(kOpening2300, {"\r\nTXTR found...\r\n",
                                               "\r\nTextures found: 2\r\n",
                                               "rock1\r\n",
                                               "noterm\r\n",
                                               "\r\nOHDR found...\r\n",
                                               "\r\nSub-Objects found: 1\r\n",
                                               "Max Radius: 65535\r\n",
                                               "Min Bounding Box Point: [1,2.5,-3]\r\n",
                                               "Max Bounding Box Point: [100,0.0001,1E+07]\r\n",
                                               "\r\nSOBJ found...\r\n",
                                               "\r\nSub-Object #0\r\n",
                                               "Parent is #-1\r\n",
                                               "Model Vector: [0,0,1]\r\n",
                                               "Model d: -0.5\r\n",
                                               "Model pnt: [0.1,0,0]\r\n",
                                               "atchpos: [1,2.5,-3]\r\n",
                                               "Radius of Sub-Object: 1.234568E+07\r\n",
                                               "SOBJ Tree Offset: 40\r\n",
                                               "SOBJ Data Offset: 80\r\n",
                                               "Geometric Center: [0.0254001,0,1E-05]\r\n",
                                               "Name: engine1\r\n",
                                               "Property Name: \r\n",
                                               "Movement Type: 2\r\n",
                                               "Movement Axis: -1\r\n",
                                               "Number of Verts: 1\r\n",
                                               "Number of faces: 0\r\n",
                                               "\r\nSPCL found...\r\n",
                                               "\r\nNumber of SPCL Points: 1\r\n",
                                               "Special Point #1\r\n",
                                               "Name: $gun1\r\n",
                                               "Property: \r\n",
                                               "Position: [1,2.5,-3]\r\n",
                                               "Radius: 0.5\r\n",
                                               "\r\nGPNT found...\r\n",
                                               "\r\nNumber of Gunpoints: 1\r\n",
                                               "Gunpoint #1 Parent: 0\r\n",
                                               "Gunpoint #1 Location: [1, 2.5, -3]\r\n",
                                               "Gunpoint #1 Direction: [0, 0, 1]\r\n",
                                               "\r\nPANI found...\r\n",
                                               "\r\nNumber of Key Positions for SOBJ#1: 0\r\n",
                                               "Position Track Min: -1\r\n",
                                               "Positions Track Max: 1\r\n",
                                               "\r\nRANI found...\r\n",
                                               "\r\nNumber of Key Angles for SOBJ#1: 0\r\n",
                                               "Rotational Track Min: 0\r\n",
                                               "Rotational Track Max: 2\r\n",
                                               "\r\nWBAT found...\r\n",
                                               "\r\nNumber of Weapons Batteries: 1\r\n",
                                               "Number of Gunpoints on WBAT #1: 10\r\n",
                                               "Gunpoint #1 index: 1\r\n",
                                               "Gunpoint #2 index: 2\r\n",
                                               "Gunpoint #3 index: 3\r\n",
                                               "Gunpoint #4 index: 4\r\n",
                                               "Gunpoint #5 index: 5\r\n",
                                               "Gunpoint #6 index: 6\r\n",
                                               "Gunpoint #7 index: 7\r\n",
                                               "Gunpoint #8 index: 8\r\n",
                                               "Number of Turrets on WBAT #1: 1\r\n",
                                               "Turret #1 index: 4\r\n",
                                               "\r\nGRND found...\r\n",
                                               "\r\nNumber of Ground points: 1\r\n",
                                               "Ground #1 Parent: 1\r\n",
                                               "Ground #1 Location: [0, -1, 0]\r\n",
                                               "Ground #1 Direction: [0, -1, 0]\r\n",
                                               "\r\nATCH found...\r\n",
                                               "\r\nNumber of Attach points: 1\r\n",
                                               "ATCH #1 Parent: 1\r\n",
                                               "ATCH #1 Location: [0, 0, 1]\r\n",
                                               "ATCH #1 Direction: [0, 0, 1]\r\n",
                                               "\r\nNATH found...\r\n",
                                               "\r\nNumber of Attach Normals: 1\r\n",
                                               "NATH #1 Parent: 1\r\n",
                                               "NATH #1 Location: [0, 1, 0]\r\n",
                                               "NATH #1 Direction: [0.5, 0, 0]\r\n",
                                               "\r\nOutput from POFGEN:",
                                               "\r\ndone\r\n\r\n"});
    EXPECT_EQ(Report(bytes), expected);
}

TEST(ModelReport, OldVersionsReportOnlyTheFoundLineOfAnimationAndAZeroCentre) {
    SobjFields s;
    s.name = "";  // a name of length 0 prints empty
    s.propertyName = Stored("$rotate");
    const Bytes bytes = OofBuilder(2100).ohdr({1}).sobj(s).pani({{0, 0, {{}, {}}}}).rani({{0, 0, {{}}}}).bytes();
    const Lines report = Report(bytes);
    ASSERT_GE(report.size(), 8u);
    EXPECT_EQ(
        Lines(report.end() - 8, report.end()),
        (Lines{"Name: \r\n", "Property Name: $rotate\r\n", "Movement Type: 0\r\n", "Movement Axis: 0\r\n",
               "Number of Verts: 0\r\n", "Number of faces: 0\r\n", "\r\nPANI found...\r\n", "\r\nRANI found...\r\n"}));

    // Before version 1806 no centre is stored; the line shows zero.
    const Lines old = Report(OofBuilder(1805).ohdr({1}).sobj(s).bytes());
    ASSERT_GE(old.size(), 7u);
    EXPECT_EQ(old[old.size() - 7], "Geometric Center: [0,0,0]\r\n");
}

TEST(ModelReport, UsesTheGivenDecimalSeparatorInBothVectorForms) {
    const Bytes bytes = OofBuilder(2300).ohdr({1, 0.5f, {1, 2.5f, -3}, {}, {}}).gpnt({{0, {1, 2.5f, -3}, {}}}).bytes();
    const Lines report = Report(bytes, ReportFormat{','});
    ASSERT_EQ(report.size(), 13u);
    EXPECT_EQ(report[5], "Max Radius: 0,5\r\n");
    EXPECT_EQ(report[6], "Min Bounding Box Point: [1,2,5,-3]\r\n");
    EXPECT_EQ(report[11], "Gunpoint #1 Location: [1, 2,5, -3]\r\n");
}

TEST(ModelReport, StoredNamesDropOnlyATrailingZeroByte) {
    EXPECT_EQ(StoredName(std::string("rock1\0", 6)), "rock1");
    EXPECT_EQ(StoredName("noterm"), "noterm");
    EXPECT_EQ(StoredName(""), "");
    EXPECT_EQ(StoredName(std::string("a\0\0", 3)), std::string("a\0", 2));
}

TEST(ModelReport, ClosingMessagesOfAnImport) {
    EXPECT_EQ(FinishedLoadingMessage("ship.oof"), "\r\nFinished loading ship.oof\r\n");
    EXPECT_EQ(ErrorReadingMessage("ship.oof"), "\r\nError reading ship.oof Not a valid OOF!\r\n");
}

}  // namespace
}  // namespace torvale
