#include <gtest/gtest.h>

#include "app/main_window_presenter.h"
#include "builders/bytes.h"
#include "builders/fake_platform.h"
#include "builders/gltf_builder.h"
#include "builders/oof_builder.h"
#include "builders/orf_builder.h"

namespace torvale {
namespace {

using test::MainWindowHarness;

struct OpenCase {
    const char* name;  // the file's name, whose ending counts only for P3D sources
    test::Bytes bytes;
    OpenedKind kind;
    bool loaded;         // a current model afterwards, remembered in File, Recent
    const char* logHas;  // a piece of the log
};

TEST(OpenFile, DecidesByContentAndRemembersWhatLoads) {
    const std::string obj = "# a triangle\nv 0 0 0\nv 1 0 0\nv 0 1 0\nf 1 2 3\n";
    // The same text as Windows Notepad saves "Unicode": UTF-16, little end first, behind its byte-order mark.
    test::Bytes utf16{0xFF, 0xFE};
    for (const char c : obj)
        utf16.insert(utf16.end(), {static_cast<std::uint8_t>(c), 0});
    const OpenCase cases[] = {
        {"ship.oof", test::SampleOof(), OpenedKind::Model, true, "Finished loading ship.oof"},
        {"ship.dat", test::SampleOof(), OpenedKind::Model, true, "Finished loading ship.dat"},
        {"cube.orf", test::CubeRoom(), OpenedKind::Room, true, "cube.orf"},
        {"tri.obj", test::TextBytes(obj), OpenedKind::Model, true, "Finished loading tri.obj"},
        {"notepad.obj", utf16, OpenedKind::Model, true, "Finished loading notepad.obj"},
        // An OBJ is an OBJ whatever it is called.
        {"tri.p3d", test::TextBytes(obj), OpenedKind::Model, true, "Finished loading tri.p3d"},
        {"ship.P3D", test::TextBytes("P3D-TEST\nsome source\n"), OpenedKind::P3d, false, ""},
        {"notes.txt", test::TextBytes("P3D-TEST\nsome source\n"), OpenedKind::Unknown, false,
         "notes.txt: not a model, room or P3D file"},
        {"binary.p3d", test::Bytes{'P', '3', 'D', 0, 1, 2}, OpenedKind::Unknown, false,
         "binary.p3d: not a model, room or P3D file"},
        {"empty.p3d", test::Bytes{}, OpenedKind::Unknown, false, "empty.p3d: not a model, room or P3D file"},
        {"cut.orf", test::Bytes{5, 0, 0, 0, 100, 0, 0, 0}, OpenedKind::Unknown, false, "not a model, room or P3D"},
    };
    for (const OpenCase& c : cases) {
        MainWindowHarness h;
        std::vector<std::string> compiled;
        h.window.compileP3d = [&](const std::string& path, const std::string& title) {
            compiled.push_back(path + "|" + title);
        };
        const std::string path = h.dir / c.name;
        ASSERT_TRUE(test::WriteTestFile(path, c.bytes));
        EXPECT_EQ(h.window.OpenFile(path), c.kind) << c.name;
        EXPECT_EQ(h.window.exportEnabled(), c.loaded) << c.name;
        EXPECT_EQ(h.window.recentFiles(), c.loaded ? std::vector<std::string>{path} : std::vector<std::string>{})
            << c.name;
        EXPECT_NE(h.window.log().text().find(c.logHas), std::string::npos) << c.name << ": " << h.window.log().text();
        EXPECT_EQ(compiled, c.kind == OpenedKind::P3d ? std::vector<std::string>{path + "|" + c.name}
                                                      : std::vector<std::string>{})
            << c.name;
    }
}

TEST(OpenFile, AFileThatCannotBeReadIsOneLineAndChangesNothing) {
    MainWindowHarness h;
    ASSERT_TRUE(test::WriteTestFile(h.dir / "ship.oof", test::SampleOof()));
    h.window.OpenFiles({h.dir / "ship.oof", h.dir / "missing.oof", h.dir.path()});
    const std::string log = h.window.log().text();
    // Both failures follow the good load in the one log; the model stays.
    EXPECT_NE(log.find("Finished loading ship.oof"), std::string::npos) << log;
    EXPECT_NE(log.find("Cannot open " + (h.dir / "missing.oof") + ": "), std::string::npos) << log;
    EXPECT_NE(log.find("Cannot open " + h.dir.path() + ": "), std::string::npos) << log;
    EXPECT_TRUE(h.window.exportEnabled());
    EXPECT_EQ(h.view.caption, "TORVALE Conversion Utility - ship.oof");
    EXPECT_EQ(h.window.recentFiles(), std::vector<std::string>{h.dir / "ship.oof"});
}

TEST(OpenFile, RecentKeepsTheLastFourAndDropsAFileThatHasGone) {
    MainWindowHarness h;
    for (const char* name : {"a.oof", "b.oof", "c.oof", "d.oof", "e.oof"}) {
        ASSERT_TRUE(test::WriteTestFile(h.dir / name, test::SampleOof()));
        h.window.OpenFile(h.dir / name);
    }
    const std::vector<std::string> newestFirst{h.dir / "e.oof", h.dir / "d.oof", h.dir / "c.oof", h.dir / "b.oof"};
    EXPECT_EQ(h.window.recentFiles(), newestFirst);

    // Opening from the list moves the file to the top.
    h.window.OpenRecent(2);
    EXPECT_EQ(h.window.recentFiles().front(), h.dir / "c.oof");
    EXPECT_EQ(h.view.caption, "TORVALE Conversion Utility - c.oof");

    std::remove((h.dir / "d.oof").c_str());
    h.window.OpenRecent(2);  // c, e, d, b: d has gone
    EXPECT_EQ(h.window.recentFiles(), (std::vector<std::string>{h.dir / "c.oof", h.dir / "e.oof", h.dir / "b.oof"}));
    EXPECT_NE(h.window.log().text().find((h.dir / "d.oof") + " is gone"), std::string::npos);
    EXPECT_EQ(h.view.caption, "TORVALE Conversion Utility - c.oof");  // nothing else happened
    h.window.OpenRecent(7);                                           // beyond the list: nothing
    EXPECT_EQ(h.window.recentFiles().size(), 3u);
}

}  // namespace
}  // namespace torvale
