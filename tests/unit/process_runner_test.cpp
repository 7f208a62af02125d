// The real process runner of the system the tests run on, against the POFGEN stand-in
// (tests/pofgen_standin/standin.cpp, which documents its text P3D format).

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "app/output_log.h"
#include "builders/bytes.h"
#include "builders/fake_platform.h"
#include "platform/process_runner.h"
#include "platform/short_path.h"
#include "pofgen/p3d_import.h"

namespace torvale {
namespace {

using test::kSeparator;
using test::MainWindowHarness;
using test::ScratchDirectory;

// A pyramid over a square base: five vertices, five faces, two textures and one untextured face.
const std::string kPyramid =
    "P3D-TEST\n"
    "t rock1\n"
    "t metal_plate\n"
    "v 0 0 0\nv 2 0 0\nv 2 2 0\nv 0 2 0\nv 1 1 2\n"
    "f 0 0 3 2 1\n"
    "f 1 0 1 4\n"
    "f 1 1 2 4\n"
    "f -1 2 3 4\n"
    "f 0 3 0 4\n";

test::Bytes AsBytes(const std::string& text) {
    return test::Bytes(text.begin(), text.end());
}

// The stand-in, copied into a folder whose name has a blank, so that every run also proves the quoting of a
// program path with a blank.
std::string StandInIn(const ScratchDirectory& dir) {
    namespace fs = std::filesystem;
    const fs::path folder = fs::path(dir.path()) / "pofgen folder";
    fs::create_directories(folder);
    const fs::path copy = folder / "pofgen.exe";
    fs::copy_file(TORVALE_POFGEN_STANDIN, copy, fs::copy_options::overwrite_existing);
    return copy.string();
}

std::string Quoted(const std::string& path) {
    return "\"" + path + "\"";
}

TEST(CommandLineWords, SplitLikeTheWindowsCRuntime) {
    using Words = std::vector<std::string>;
    EXPECT_EQ(SplitCommandLine(""), Words{});
    EXPECT_EQ(SplitCommandLine("  a.exe  -s0.03\t-p  x.p3d "), (Words{"a.exe", "-s0.03", "-p", "x.p3d"}));
    EXPECT_EQ(SplitCommandLine("\"C:\\Program Files\\pofgen.exe\" -p"), (Words{"C:\\Program Files\\pofgen.exe", "-p"}));
    EXPECT_EQ(SplitCommandLine("C:\\Program Files\\pofgen.exe -p"), (Words{"C:\\Program", "Files\\pofgen.exe", "-p"}));
    EXPECT_EQ(SplitCommandLine("p \"a b\" c\"d e\"f"), (Words{"p", "a b", "cd ef"}));
    EXPECT_EQ(SplitCommandLine("p a\\\\b \\\"x \\\\\"y z\" \"\"\"\""), (Words{"p", "a\\\\b", "\"x", "\\y z", "\""}));
    EXPECT_EQ(SplitCommandLine("p \"\""), (Words{"p", ""}));
    EXPECT_EQ(SplitCommandLine("\"a\\\"b c"), (Words{"a\\", "b", "c"}));  // the program has no backslash rules
}

TEST(ProcessRunner, CapturesBothOutputsInTheOrderWritten) {
    ScratchDirectory dir("runner");
    const std::string pofgen = StandInIn(dir);
    const std::string p3d = dir / "ship.p3d";
    ASSERT_TRUE(test::WriteTestFile(p3d, AsBytes(kPyramid)));

    const ProcessCapture run = SystemProcessRunner().Run(Quoted(pofgen) + " -s0.03 -p " + p3d);
    ASSERT_TRUE(run.started);
    const std::size_t switches = run.output.find("switches: [-s0.03 -p]");
    const std::size_t source = run.output.find("source: [" + p3d + "]");
    const std::size_t fromStderr = run.output.find("this line came through it");
    const std::size_t counts = run.output.find("textures: 2, vertices: 5, faces: 5");
    const std::size_t done = run.output.find("done");
    EXPECT_LT(switches, source);
    EXPECT_LT(source, fromStderr);
    EXPECT_LT(fromStderr, counts);
    EXPECT_LT(counts, done);
    EXPECT_NE(done, std::string::npos);
    EXPECT_TRUE(std::filesystem::is_regular_file(dir / "ship.OOF"));
}

TEST(ProcessRunner, ReadsLargeOutputToTheEndWithoutStalling) {
    ScratchDirectory dir("runner");
    const std::string pofgen = StandInIn(dir);
    const std::string p3d = dir / "noisy.p3d";
    ASSERT_TRUE(test::WriteTestFile(p3d, AsBytes(kPyramid + "noise 200000\n")));
    const ProcessCapture run = SystemProcessRunner().Run(Quoted(pofgen) + " " + p3d);
    ASSERT_TRUE(run.started);
    EXPECT_GT(run.output.size(), 200000u);
    // Every noise line arrived whole and in order, whichever of the two outputs it was written to.
    std::vector<std::string> noise;
    for (std::size_t at = 0; at < run.output.size();) {
        std::size_t end = run.output.find('\n', at);
        if (end == std::string::npos)
            end = run.output.size();
        std::string line = run.output.substr(at, end - at);
        if (!line.empty() && line.back() == '\r')
            line.pop_back();
        if (line.rfind("noise ", 0) == 0)
            noise.push_back(line);
        at = end + 1;
    }
    ASSERT_GT(noise.size(), 2700u);
    for (std::size_t i = 0; i < noise.size(); ++i)
        ASSERT_EQ(noise[i], "noise " + std::to_string(i) + ": " + std::string(60, '.'));
    EXPECT_NE(run.output.find("done"), std::string::npos);
}

TEST(ProcessRunner, AMissingProgramDoesNotStart) {
    ScratchDirectory dir("runner");
    const ProcessCapture run = SystemProcessRunner().Run(Quoted(dir / "no such folder" + kSeparator + "pofgen.exe"));
    EXPECT_FALSE(run.started);
    EXPECT_TRUE(run.output.empty());
    EXPECT_FALSE(SystemProcessRunner().Run("").started);
}

TEST(ShortPaths, AnExistingPathHasAShortFormAndAMissingOneNone) {
    ScratchDirectory dir("short");
    ASSERT_TRUE(test::WriteTestFile(dir / "ship.p3d", AsBytes(kPyramid)));
    const std::string shortForm = SystemShortPaths().ShortPathName(dir / "ship.p3d");
    EXPECT_FALSE(shortForm.empty());
    EXPECT_TRUE(std::filesystem::is_regular_file(shortForm));
    EXPECT_EQ(SystemShortPaths().ShortPathName(dir / "missing.p3d"), "");
}

// The main window presenter as the P3D import's host; it keeps the Reload P3D state on its own side.
class WindowHost final : public P3dImportHost {
public:
    explicit WindowHost(MainWindowPresenter& window) : window_(window) {}
    void PrintOutput(std::string_view message) override { window_.log().PrintOutput(message); }
    void Repaint() override {}
    void SetReloadEnabled(bool enabled) override { reloadEnabled = enabled; }
    void ShowOptionsDialog() override {}
    void ImportOof(OofSource source) override { window_.ImportOof(source); }
    std::string& oofPath() override { return window_.modelPath; }
    std::string& oofTitle() override { return window_.modelTitle; }
    std::string& lastP3dPath() override { return window_.lastP3dPath; }
    std::string& lastP3dTitle() override { return window_.lastP3dTitle; }
    bool reloadEnabled = false;

private:
    MainWindowPresenter& window_;
};

class RecordingOutputWindow final : public PofgenOutputView {
public:
    void ShowOutput(const std::string& text) override { shown.push_back(text); }
    std::vector<std::string> shown;
};

// Compile through the real pipe, import, report and export: the whole chain behind File, Import P3D.
class P3dChain : public ::testing::Test {
protected:
    P3dChain() {
        program().settings.pofgenPath = StandInIn(h.dir);
        program().settings.showPofgenOutput = kFalse;
        program().pofgenCommandLine = "-s0.03 -p ";
        h.window.Load();
    }
    ProgramState& program() { return h.program; }

    MainWindowHarness h;
    WindowHost host{h.window};
    RecordingOutputWindow output;
    P3dImport import{h.program,
                     host,
                     {h.dialogs, h.messages, SystemShortPaths(), SystemProcessRunner(), output, kSeparator}};
};

TEST_F(P3dChain, CompilesImportsReportsAndExports) {
    ASSERT_TRUE(test::WriteTestFile(h.dir / "ship.p3d", AsBytes(kPyramid)));
    h.dialogs.choose(h.dir / "ship.p3d", "ship.p3d");
    import.ImportP3dCommand();

    EXPECT_TRUE(h.messages.shown.empty());
    EXPECT_TRUE(output.shown.empty());
    EXPECT_TRUE(host.reloadEnabled);
    EXPECT_EQ(h.window.lastP3dTitle, "ship.p3d");
    EXPECT_EQ(h.window.modelTitle, "ship.OOF");
    EXPECT_TRUE(h.window.exportEnabled());
    EXPECT_EQ(h.window.caption(), "TORVALE Conversion Utility - ship.OOF");
    const std::string& log = h.window.log().text();
    EXPECT_NE(log.find("Sub-Objects found: 1"), std::string::npos);
    EXPECT_NE(log.find("Number of Verts: 5"), std::string::npos);
    EXPECT_NE(log.find("switches: -s0.03 -p"), std::string::npos);  // POFGEN's text inside the OOF file
    EXPECT_NE(log.find("Finished loading ship.OOF"), std::string::npos);
    EXPECT_EQ(h.window.oofModel().subObjectCount, 1);

    h.dialogs.choose(h.dir / "ship.orf", "ship.orf");
    h.window.ExportOrf();
    EXPECT_NE(h.window.log().text().find("Finished converting to ORF!"), std::string::npos);
    EXPECT_TRUE(std::filesystem::is_regular_file(h.dir / "ship.orf"));
}

TEST_F(P3dChain, AFailingCompileShowsTheWholeOutputAndLoadsNothing) {
    program().settings.showPofgenOutput = kFalse;
    ASSERT_TRUE(test::WriteTestFile(h.dir / "bad.p3d", AsBytes(kPyramid + "fail\n")));
    h.dialogs.choose(h.dir / "bad.p3d", "bad.p3d");
    import.ImportP3dCommand();
    EXPECT_EQ(h.messages.shown, std::vector<std::string>{"POFGEN had errors. See Output for details."});
    ASSERT_EQ(output.shown.size(), 1u);
    EXPECT_NE(output.shown[0].find("POFGEN stand-in"), std::string::npos);
    EXPECT_NE(output.shown[0].find("Error Processing"), std::string::npos);
    EXPECT_FALSE(host.reloadEnabled);
    EXPECT_FALSE(h.window.exportEnabled());
    EXPECT_EQ(h.window.log().text(), Banner());
    EXPECT_FALSE(std::filesystem::exists(h.dir / "bad.OOF"));
}

TEST_F(P3dChain, ReloadCompilesTheChangedSourceAgain) {
    program().settings.showPofgenOutput = kTrue;
    ASSERT_TRUE(test::WriteTestFile(h.dir / "ship.p3d", AsBytes(kPyramid)));
    h.dialogs.choose(h.dir / "ship.p3d", "ship.p3d");
    import.ImportP3dCommand();
    ASSERT_EQ(output.shown.size(), 1u);
    EXPECT_NE(output.shown[0].find("vertices: 5"), std::string::npos);

    ASSERT_TRUE(test::WriteTestFile(h.dir / "ship.p3d", AsBytes(kPyramid + "v 5 5 5\n")));
    import.ReloadP3d();
    ASSERT_EQ(output.shown.size(), 2u);
    EXPECT_NE(output.shown[1].find("vertices: 6"), std::string::npos);
    EXPECT_NE(h.window.log().text().find("Number of Verts: 6"), std::string::npos);
    EXPECT_EQ(h.dialogs.opened.size(), 1u);
}

TEST_F(P3dChain, APofgenPathThatDoesNotExistCannotRun) {
    program().settings.pofgenPath = h.dir / "missing" + kSeparator + "pofgen.exe";
    ASSERT_TRUE(test::WriteTestFile(h.dir / "ship.p3d", AsBytes(kPyramid)));
    h.dialogs.choose(h.dir / "ship.p3d", "ship.p3d");
    import.ImportP3dCommand();
    EXPECT_EQ(h.messages.shown, std::vector<std::string>{"Error running POFGEN!"});
    EXPECT_FALSE(host.reloadEnabled);
}

#ifdef _WIN32
// Only Windows has short names: a name with a blank, in a folder with blanks, reaches POFGEN in its short form.
TEST_F(P3dChain, ANameWithABlankInAFolderWithBlanksCompilesThroughItsShortForm) {
    const std::string folder = h.dir / "My Models";
    std::filesystem::create_directories(folder);
    const std::string p3d = folder + "\\big ship.p3d";
    ASSERT_TRUE(test::WriteTestFile(p3d, AsBytes(kPyramid)));
    h.dialogs.choose(p3d, "big ship.p3d");
    import.ImportP3dCommand();
    const std::string shortPath = SystemShortPaths().ShortPathName(p3d);
    EXPECT_EQ(shortPath.find(' '), std::string::npos);
    EXPECT_EQ(h.window.lastP3dPath, shortPath);
    EXPECT_EQ(h.window.modelTitle, h.window.lastP3dTitle.substr(0, h.window.lastP3dTitle.size() - 3) + "OOF");
    EXPECT_TRUE(h.window.exportEnabled());
}
#endif

}  // namespace
}  // namespace torvale
