#include <gtest/gtest.h>

#include <cerrno>
#include <cstring>
#include <filesystem>
#include <functional>
#include <string>

#ifdef _WIN32
#include <windows.h>
#else
#include <signal.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>
#endif

#include "app/import_oof.h"
#include "builders/fake_platform.h"
#include "builders/model_builder.h"
#include "builders/oof_builder.h"
#include "core/atomic_file.h"
#include "core/file_bytes.h"
#include "core/process_id.h"
#include "oof/model_report.h"
#include "oof/oof_reader.h"

namespace torvale {
namespace {

using test::Bytes;
using test::ScratchDirectory;

struct NotAFile {
    const char* name;
    std::function<std::string(const ScratchDirectory&)> make;  // returns the path
    const char* says;
};

class FileRead : public ::testing::TestWithParam<NotAFile> {};

// Both reads refuse at once with the reason, and leave what they were given as it was.
TEST_P(FileRead, RefusesWhatIsNotARegularFileBeforeReadingIt) {
    ScratchDirectory dir("read");
    const std::string path = GetParam().make(dir);
    std::vector<std::uint8_t> bytes{1, 2, 3};
    std::string error;
    EXPECT_FALSE(ReadWholeFile(path, bytes, error));
    EXPECT_EQ(error, GetParam().says);
    EXPECT_EQ(bytes, (std::vector<std::uint8_t>{1, 2, 3}));

    FileBytes file;
    error.clear();
    EXPECT_FALSE(ReadFileBytes(path, file, error));
    EXPECT_EQ(error, GetParam().says);
    EXPECT_EQ(file.size(), 0u);
}

const NotAFile kNotFiles[] = {
    {"Folder", [](const ScratchDirectory& d) { return d.path(); }, "it is a folder, not a file"},
    {"OverTwoGiB",
     [](const ScratchDirectory& d) {
         // Sparse where the file system allows it; nothing of it is ever read.
         const std::string path = d / "huge.oof";
         test::WriteTestFile(path, {});
         std::filesystem::resize_file(path, kFileSizeLimit + 1);
         return path;
     },
     "it is 2147483649 bytes, more than the 2 GiB this program reads"},
#ifndef _WIN32
    // A pipe nobody writes to would block an ordinary open for ever.
    {"Pipe",
     [](const ScratchDirectory& d) {
         const std::string path = d / "pipe";
         EXPECT_EQ(mkfifo(path.c_str(), 0600), 0);
         return path;
     },
     "it is a pipe, not a file"},
    {"EndlessDevice", [](const ScratchDirectory&) { return std::string("/dev/zero"); }, "it is a device, not a file"},
#else
    {"ConsoleDevice", [](const ScratchDirectory&) { return std::string("NUL"); }, "it is a device, not a file"},
#endif
};
INSTANTIATE_TEST_SUITE_P(NotAFile, FileRead, ::testing::ValuesIn(kNotFiles), [](const auto& info) {
    return std::string(info.param.name);
});

TEST(FileBytes, HoldsTheWholeFileAndAnEmptyFileAsNoBytes) {
    ScratchDirectory dir("bytes");
    const Bytes content = test::SampleOof();
    ASSERT_TRUE(test::WriteTestFile(dir / "a.oof", content));
    ASSERT_TRUE(test::WriteTestFile(dir / "empty", {}));
    FileBytes file;
    std::string error;
    ASSERT_TRUE(ReadFileBytes(dir / "a.oof", file, error)) << error;
    EXPECT_EQ(Bytes(file.bytes().begin(), file.bytes().end()), content);
    ASSERT_TRUE(ReadFileBytes(dir / "empty", file, error)) << error;
    EXPECT_EQ(file.size(), 0u);
}

// Loading from the file gives the memory of the passed chunks back as it goes; every chunk must still read
// as it does from bytes that stay whole. Sixteen sub-objects of some 600 kB make a file of many release steps.
TEST(FileBytes, ModelLoadedWhileItsFileIsGivenBackMatchesTheWholeRead) {
    test::OofBuilder oof;
    constexpr int kSubObjects = 16;
    test::OhdrFields header;
    header.subObjects = kSubObjects;
    oof.txtr({test::Stored("rock")}).ohdr(header);
    for (int s = 0; s < kSubObjects; ++s) {
        test::SobjFields sub;
        sub.number = s;
        for (int v = 0; v < 8000; ++v)
            sub.positions.push_back({static_cast<float>(v), static_cast<float>(s), 1.0f});
        for (int f = 0; f < 6000; ++f)
            sub.faces.push_back({.corners = {{f % 8000, 0.5f, 0.25f}, {(f + 1) % 8000}, {(f + 2) % 8000}}});
        oof.sobj(sub);
    }
    oof.gpnt({{}}).pinf("made by hand\n");
    ScratchDirectory dir("release");
    ASSERT_TRUE(test::WriteTestFile(dir / "big.oof", oof.bytes()));

    ObjectModel fromFile;
    test::RecordingSink fileLog;
    ASSERT_EQ(test::ImportOof(dir / "big.oof", "big.oof", fromFile, fileLog, {}, nullptr), kOofLoaded);
    ObjectModel whole;
    test::RecordingSink wholeLog;
    const Bytes bytes = oof.bytes();
    ASSERT_EQ(ReadOofFile(bytes, "big.oof", whole, wholeLog), kOofLoaded);
    wholeLog.PrintOutput(FinishedLoadingMessage("big.oof"));

    EXPECT_EQ(fileLog.text(), wholeLog.text());
    ASSERT_EQ(fromFile.subObjects.size(), static_cast<std::size_t>(kSubObjects));
    EXPECT_EQ(fromFile.subObjects.back().vertexPositions, whole.subObjects.back().vertexPositions);
    EXPECT_EQ(fromFile.subObjects.back().faceVertices, whole.subObjects.back().faceVertices);
    EXPECT_EQ(fromFile.pofgenInfoText, whole.pofgenInfoText);
}

// A process of our own that stays alive, doing nothing, until end() stops it; after that its id names an
// ended process. (A suspended copy of this program on Windows; a child waiting for a signal elsewhere.)
class IdleChild {
public:
    IdleChild() {
#ifdef _WIN32
        char self[MAX_PATH] = {};
        GetModuleFileNameA(nullptr, self, MAX_PATH);
        STARTUPINFOA startup{};
        startup.cb = sizeof startup;
        std::string line = std::string("\"") + self + "\"";
        if (CreateProcessA(self, line.data(), nullptr, nullptr, FALSE, CREATE_SUSPENDED, nullptr, nullptr, &startup,
                           &info_)) {
            pid_ = info_.dwProcessId;
        } else {
            why_ = "CreateProcess failed with error " + std::to_string(GetLastError());
        }
#else
        const pid_t child = fork();
        if (child == 0) {
            pause();
            _exit(0);
        }
        pid_ = child > 0 ? static_cast<std::uint64_t>(child) : 0;
        if (child < 0)
            why_ = std::string("fork failed: ") + std::strerror(errno);
#endif
    }
    ~IdleChild() {
        end();
    }
    IdleChild(const IdleChild&) = delete;
    IdleChild& operator=(const IdleChild&) = delete;

    std::uint64_t pid() const {
        return pid_;
    }
    // Why there is no child, when there is none.
    const std::string& why() const {
        return why_;
    }
    void end() {
        if (ended_ || pid_ == 0)
            return;
        ended_ = true;
#ifdef _WIN32
        TerminateProcess(info_.hProcess, 0);
        WaitForSingleObject(info_.hProcess, INFINITE);
        CloseHandle(info_.hThread);
        CloseHandle(info_.hProcess);
#else
        kill(static_cast<pid_t>(pid_), SIGKILL);
        waitpid(static_cast<pid_t>(pid_), nullptr, 0);
#endif
    }

private:
    std::uint64_t pid_ = 0;
    bool ended_ = false;
    std::string why_;
#ifdef _WIN32
    PROCESS_INFORMATION info_{};
#endif
};

std::string TemporaryOf(const ScratchDirectory& dir, const std::string& file, std::uint64_t pid) {
    return dir / ("." + file + ".torvale-" + std::to_string(pid) + ".tmp");
}

TEST(AtomicFile, TemporaryIsNamedForTheFileAndThisProcess) {
    ScratchDirectory dir("temporary");
    EXPECT_EQ(TemporaryPathFor(dir / "big73.orf"), TemporaryOf(dir, "big73.orf", CurrentProcessId()));
    EXPECT_EQ(TemporaryPathFor("big73.orf"), ".big73.orf.torvale-" + std::to_string(CurrentProcessId()) + ".tmp");
}

TEST(AtomicFile, WriteRemovesOnlyTheTemporariesOfItsFileLeftByEndedProcesses) {
    ScratchDirectory dir("leftovers");
    IdleChild running;
    IdleChild ended;
    ASSERT_NE(running.pid(), 0u) << running.why();
    ASSERT_NE(ended.pid(), 0u) << ended.why();
    ended.end();
    const std::string endedTemporary = TemporaryOf(dir, "room.orf", ended.pid());
    const std::string runningTemporary = TemporaryOf(dir, "room.orf", running.pid());
    const std::string otherFile = TemporaryOf(dir, "room2.orf", ended.pid());
    const std::string notOurs = dir / ".room.orf.torvale-12x.tmp";
    for (const std::string& path : {endedTemporary, runningTemporary, otherFile, notOurs})
        ASSERT_TRUE(test::WriteTestFile(path, {7}));

    std::string error;
    const Bytes room{1, 2, 3, 4};
    ASSERT_TRUE(ReplaceFileAtomically(dir / "room.orf", room, error)) << error;
    EXPECT_EQ(test::ReadTestFile(dir / "room.orf"), room);
    EXPECT_FALSE(std::filesystem::exists(endedTemporary));
    EXPECT_TRUE(std::filesystem::exists(runningTemporary));
    EXPECT_TRUE(std::filesystem::exists(otherFile));
    EXPECT_TRUE(std::filesystem::exists(notOurs));
    EXPECT_FALSE(std::filesystem::exists(TemporaryPathFor(dir / "room.orf")));
}

// A name too long for its whole self in the temporary's name is still found as the temporary of its file.
TEST(AtomicFile, WriteRemovesTheAbandonedTemporaryOfALongName) {
    ScratchDirectory dir("leftovers_long");
    IdleChild ended;
    ASSERT_NE(ended.pid(), 0u);
    ended.end();
    const std::string name(250, 'r');
    const std::string ours = TemporaryPathFor(dir / name);
    const std::string mark = ".torvale-" + std::to_string(CurrentProcessId()) + ".tmp";
    ASSERT_TRUE(ours.ends_with(mark));
    const std::string abandoned =
        ours.substr(0, ours.size() - mark.size()) + ".torvale-" + std::to_string(ended.pid()) + ".tmp";
    ASSERT_TRUE(test::WriteTestFile(abandoned, {7}));

    std::string error;
    ASSERT_TRUE(ReplaceFileAtomically(dir / name, Bytes{1}, error)) << error;
    EXPECT_FALSE(std::filesystem::exists(abandoned));
    EXPECT_EQ(test::ReadTestFile(dir / name), Bytes{1});
}

TEST(ProcessLiveness, TellsEndedProcessesFromRunningOnes) {
    IdleChild child;
    ASSERT_NE(child.pid(), 0u);
    EXPECT_TRUE(ProcessIsRunning(CurrentProcessId()));
    EXPECT_TRUE(ProcessIsRunning(child.pid()));
    child.end();
    EXPECT_FALSE(ProcessIsRunning(child.pid()));
}

}  // namespace
}  // namespace torvale
