#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <set>

#include "app/export_orf.h"
#include "builders/bytes.h"
#include "builders/fake_platform.h"
#include "builders/oof_builder.h"
#include "builders/orf_walker.h"

namespace torvale {
namespace {

using test::MainWindowHarness;

// A harness with the sample model loaded from ship.oof.
struct Loaded : MainWindowHarness {
    Loaded() {
        window.Load();
        importFile("ship.oof", test::SampleOof());
        EXPECT_TRUE(window.exportEnabled());
        afterImport = window.log().text();
    }
    // Runs Export ORF with the save dialog answering `title` in the scratch directory; returns what it logged.
    std::string exportTo(const std::string& title) {
        dialogs.choose(dir / title, title);
        window.ExportOrf();
        return window.log().text().substr(afterImport.size());
    }
    std::set<std::string> files() const {
        std::set<std::string> names;
        for (const auto& entry : std::filesystem::directory_iterator(dir.path()))
            names.insert(entry.path().filename().string());
        return names;
    }
    std::string afterImport;
};

std::size_t Count(const std::string& text, const std::string& part) {
    std::size_t n = 0;
    for (std::size_t at = text.find(part); at != std::string::npos; at = text.find(part, at + 1))
        ++n;
    return n;
}

TEST(ExportOrf, SuggestionReplacesTheLastThreeCharactersOfTheModelPath) {
    EXPECT_EQ(SuggestOrfPath("C:\\m\\Ship.OOF"), "C:\\m\\Ship.orf");
    EXPECT_EQ(SuggestOrfPath("C:\\m\\a.oofx"), "C:\\m\\a.oorf");
    EXPECT_EQ(SuggestOrfPath("ab"), "orf");
}

TEST(ExportOrf, SaveDialogProposesTheModelPathAndNeverAsksOrAddsAnExtension) {
    Loaded h;
    h.dialogs.cancel();
    h.window.ExportOrf();
    ASSERT_EQ(h.dialogs.saved.size(), 1u);
    const FileDialogRequest& request = h.dialogs.saved[0];
    EXPECT_EQ(request.title, "Export ORF file");
    EXPECT_EQ(request.filter, "Outrage Room File(*.ORF)|*.orf");
    EXPECT_EQ(request.initialPath, h.dir / "ship.orf");
    EXPECT_FALSE(request.overwritePrompt);
    EXPECT_EQ(request.defaultExtension, "");
    EXPECT_FALSE(request.fileMustExist);
}

TEST(ExportOrf, CancelLeavesTheLogAndTheDiskAsTheyWere) {
    Loaded h;
    const std::set<std::string> before = h.files();
    h.dialogs.cancel();
    h.window.ExportOrf();
    EXPECT_EQ(h.window.log().text(), h.afterImport);
    EXPECT_EQ(h.files(), before);
    EXPECT_EQ(h.window.exportNames.orfPath, h.dir / "ship.orf");  // the suggestion stays
    EXPECT_EQ(h.view.repaints, 1);                                // only the import's dialog
}

TEST(ExportOrf, DoesNothingWhileNoModelIsLoaded) {
    MainWindowHarness h;
    h.window.Load();
    h.window.ExportOrf();
    h.importFile("bad.oof", test::Bytes{'P', 'S', 'P', 'O'});
    h.window.ExportOrf();
    EXPECT_TRUE(h.dialogs.saved.empty());
}

TEST(ExportOrf, CombinedExportWritesOneRoomAndClosesWithFinished) {
    Loaded h;
    const std::string log = h.exportTo("Ship.ORF");
    EXPECT_EQ(h.view.repaints, 2);
    EXPECT_EQ(h.files(), (std::set<std::string>{"Ship.orf", "ship.oof"}));
    const test::OrfWalk room = test::WalkOrf(test::ReadTestFile(h.dir / "Ship.orf"));
    ASSERT_TRUE(room.ok) << room.problem;
    ASSERT_GE(room.room.names.size(), 3u);
    EXPECT_EQ(room.room.names[1], "metal_plate");

    std::int32_t vertices = 0;
    std::int32_t faces = 0;
    for (std::size_t i = 0; i < 3; ++i) {
        vertices += h.window.oofModel().subObject(i).vertexCount;
        faces += h.window.oofModel().subObject(i).faceCount;
    }
    EXPECT_EQ(room.room.vertexCount, vertices);
    EXPECT_EQ(log, "    \r\nExporting " + (h.dir / "Ship.orf") + "...\r\n" + "    Number of Verts: " +
                       std::to_string(vertices) + "\r\n    Number of Faces: " + std::to_string(faces) + "\r\n" +
                       "    Room check of Ship.orf: no findings\r\n    \r\nFinished converting to ORF!\r\n");
    EXPECT_EQ(h.window.exportNames.orfPath, h.dir / "Ship");
    EXPECT_EQ(h.window.exportNames.orfTitle, "Ship");
}

TEST(ExportOrf, PerSubObjectExportReplacesExistingRoomsAndClosesOnce) {
    Loaded h;
    h.program.settings.combineSubObjects = kFalse;
    ASSERT_TRUE(test::WriteTestFile(h.dir / "ship02.orf", test::Bytes(100000, 0xEE)));
    const std::string log = h.exportTo("ship.orf");
    for (const char* name : {"ship01.orf", "ship02.orf", "ship03.orf"}) {
        const test::OrfWalk room = test::WalkOrf(test::ReadTestFile(h.dir / name));
        EXPECT_TRUE(room.ok) << name << ": " << room.problem;
    }
    EXPECT_EQ(Count(log, "Exporting "), 3u);
    EXPECT_LT(log.find("ship01.orf"), log.find("ship02.orf"));
    EXPECT_EQ(Count(log, "Finished converting to ORF!"), 1u);
    const std::string closing = "    \r\nFinished converting to ORF!\r\n";
    EXPECT_EQ(log.substr(log.size() - closing.size()), closing);
}

TEST(ExportOrf, RoomThatCannotBeWrittenClosesWithTheFailureLine) {
    Loaded h;
    const std::string title = "ship.orf";
    h.dialogs.choose(h.dir.path() + "no such folder" + test::kSeparator + title, title);
    h.window.ExportOrf();
    const std::string log = h.window.log().text().substr(h.afterImport.size());
    EXPECT_EQ(Count(log, "Finished converting"), 0u) << log;
    const std::string closing = "    \r\nExport failed: not every room was written.\r\n";
    ASSERT_GT(log.size(), closing.size());
    EXPECT_EQ(log.substr(log.size() - closing.size()), closing);
}

TEST(ExportOrf, ConfirmedDialogWithoutANameWritesAndReportsNothing) {
    Loaded h;
    const std::set<std::string> before = h.files();
    h.dialogs.choose("", "");
    h.window.ExportOrf();
    EXPECT_EQ(h.window.log().text(), h.afterImport);
    EXPECT_EQ(h.files(), before);
}

TEST(ExportOrf, ClosingLineNamesTheOutcome) {
    EXPECT_EQ(ExportClosingMessage(ExportOutcome::Written), "\r\nFinished converting to ORF!\r\n");
    EXPECT_EQ(ExportClosingMessage(ExportOutcome::Failed), "\r\nExport failed: not every room was written.\r\n");
    EXPECT_EQ(ExportClosingMessage(ExportOutcome::Refused), "\r\nExport failed: not every room was written.\r\n");
    EXPECT_EQ(ExportClosingMessage(ExportOutcome::Skipped), "");
}

// The Scale option reaches both exports of the program, and the loaded model stays as it was read.
TEST(ExportOrf, ScaleOptionScalesRoomsAndModelExportsButNotTheLoadedModel) {
    Loaded h;
    h.program.config.values.roomScale = 10.0;
    const Vector3 first = h.window.oofModel().subObject(0).vertexPositions.at(0);
    const std::string log = h.exportTo("Ship.orf");
    EXPECT_NE(log.find("Scaled by 10\r\n"), std::string::npos) << log;
    const test::OrfWalk room = test::WalkOrf(test::ReadTestFile(h.dir / "Ship.orf"));
    ASSERT_TRUE(room.ok) << room.problem;
    ASSERT_FALSE(room.room.vertices.empty());
    EXPECT_FLOAT_EQ(room.room.vertices[0][1], 10.0f * (first.y + h.window.oofModel().subObject(0).attachOffset.y));

    const std::size_t before = h.window.log().text().size();
    h.dialogs.choose(h.dir / "ship.obj", "ship.obj");
    h.window.ExportModel();
    EXPECT_NE(h.window.log().text().find("Scaled by 10\r\n", before), std::string::npos) << h.window.log().text();
    const std::vector<std::uint8_t> obj = test::ReadTestFile(h.dir / "ship.obj");
    const std::string text(obj.begin(), obj.end());
    const std::size_t v = text.find("\nv ");
    ASSERT_NE(v, std::string::npos) << text;
    float x = 0, y = 0;
    ASSERT_EQ(std::sscanf(text.c_str() + v, "\nv %f %f", &x, &y), 2);
    EXPECT_NEAR(y, 10.0f * (first.y + h.window.oofModel().subObject(0).attachOffset.y), 1e-3f);
    EXPECT_EQ(h.window.oofModel().subObject(0).vertexPositions.at(0).y, first.y);
}

}  // namespace
}  // namespace torvale
