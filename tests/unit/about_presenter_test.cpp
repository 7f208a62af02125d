#include <gtest/gtest.h>

#include <cstring>
#include <map>
#include <set>
#include <string>
#include <utility>
#include <vector>

#include "app/about_presenter.h"
#include "builders/fake_platform.h"

namespace torvale {
namespace {

// A registry of keys and values held in memory, which records how it is called.
class FakeRegistry final : public Registry {
public:
    struct Value {
        std::uint32_t type = kRegistryString;
        std::string bytes;
    };

    // A string value as the system stores it, with its terminating zero.
    void setString(const std::string& key, const std::string& name, const std::string& text) {
        keys[key][name] = {kRegistryString, text + std::string(1, '\0')};
    }

    long OpenKey(RegistryRoot root, const std::string& subKey, std::uint32_t access, Key& key) override {
        opens.push_back({subKey, access});
        EXPECT_EQ(root, RegistryRoot::LocalMachine);
        if (deniedAccess.count(access))
            return kRegistryAccessDenied;
        const auto found = keys.find(subKey);
        if (found == keys.end())
            return kRegistryFileNotFound;
        key = ++lastKey;
        openKeys[key] = subKey;
        return kRegistrySuccess;
    }

    long QueryValue(Key key,
                    const std::string& valueName,
                    std::uint32_t& type,
                    std::uint8_t* data,
                    std::uint32_t& size) override {
        bufferSizes.push_back(size);
        const auto& values = keys.at(openKeys.at(key));
        const auto found = values.find(valueName);
        if (found == values.end())
            return kRegistryFileNotFound;
        const Value& value = found->second;
        type = value.type;
        const auto needed = static_cast<std::uint32_t>(value.bytes.size());
        if (needed > size) {
            size = needed;
            return kRegistryMoreData;
        }
        std::memcpy(data, value.bytes.data(), value.bytes.size());
        size = needed;
        return kRegistrySuccess;
    }

    long CloseKey(Key key) override {
        EXPECT_EQ(openKeys.erase(key), 1u) << "closing a key that is not open";
        ++closes;
        return kRegistrySuccess;
    }

    std::map<std::string, std::map<std::string, Value>> keys;
    std::set<std::uint32_t> deniedAccess;
    std::vector<std::pair<std::string, std::uint32_t>> opens;
    std::vector<std::uint32_t> bufferSizes;
    std::map<Key, std::string> openKeys;
    int closes = 0;
    Key lastKey = 0x100;
};

class FakeProgramStarter final : public ProgramStarter {
public:
    bool Start(const std::string& path) override {
        started.push_back(path);
        return succeeds;
    }
    std::vector<std::string> started;
    bool succeeds = true;
};

class FakeShell final : public Shell {
public:
    void OpenDocument(const std::string& path) override { opened.push_back(path); }
    std::vector<std::string> opened;
};

class FakeAboutView final : public AboutView {
public:
    void SetCaption(const std::string& text) override { caption = text; }
    void SetVersionLine(const std::string& line) override { versionLine = line; }
    void Close() override { ++closes; }
    std::string caption;
    std::string versionLine;
    int closes = 0;
};

const std::string kPathKey(kSysInfoPathKey);
const std::string kDirectoryKey(kSysInfoDirectoryKey);

struct AboutHarness {
    FakeRegistry registry;
    FakeProgramStarter starter;
    test::FakeFileSystem files;
    test::FakeMessageBoxes messages;
    FakeAboutView view;
    AboutPresenter about{view, {registry, starter, files, messages}};
};

TEST(AboutPresenter, LoadingSetsTheCaptionAndTheVersionLine) {
    AboutHarness h;
    h.about.Load();
    EXPECT_EQ(h.view.caption, "About TORVALE Conversion Utility");
    EXPECT_EQ(h.view.versionLine, "Version 1.2.3 BETA");
    EXPECT_EQ(VersionLine(2, 10, 0), "Version 2.10.0 BETA");
    h.about.Ok();
    EXPECT_EQ(h.view.closes, 1);
}

TEST(AboutPresenter, SysInfoStartsTheRecordedPathEvenIfNoFileIsThere) {
    AboutHarness h;
    h.registry.setString(kPathKey, "PATH", "C:\\Tools\\msinfo32.exe");
    h.registry.setString(kDirectoryKey, "MSINFO", "C:\\Other");
    h.about.StartSysInfo();

    EXPECT_EQ(h.starter.started, std::vector<std::string>{"C:\\Tools\\msinfo32.exe"});
    EXPECT_TRUE(h.messages.shown.empty());
    EXPECT_EQ(h.view.closes, 0);

    AboutHarness failing;
    failing.registry.setString(kPathKey, "PATH", "C:\\Gone\\msinfo32.exe");
    failing.starter.succeeds = false;
    failing.about.StartSysInfo();
    EXPECT_EQ(failing.messages.shown, std::vector<std::string>{std::string(kSysInfoUnavailable)});
}

TEST(AboutPresenter, SysInfoFallsBackToMsinfo32InTheRecordedDirectory) {
    AboutHarness h;
    h.registry.keys[kPathKey] = {};  // the key without its value
    h.registry.setString(kDirectoryKey, "MSINFO", "C:\\Program Files\\Shared\\MSInfo");
    h.files.ordinaryFiles.insert("C:\\Program Files\\Shared\\MSInfo\\MSINFO32.EXE");
    h.about.StartSysInfo();

    EXPECT_EQ(h.starter.started, std::vector<std::string>{"C:\\Program Files\\Shared\\MSInfo\\MSINFO32.EXE"});
    EXPECT_TRUE(h.messages.shown.empty());
}

TEST(AboutPresenter, SysInfoWithoutTheToolShowsTheOneMessageAndStaysOpen) {
    AboutHarness nothing;
    nothing.about.StartSysInfo();

    AboutHarness noFile;
    noFile.registry.setString(kDirectoryKey, "MSINFO", "C:\\MSInfo");
    noFile.files.otherEntries.insert("C:\\MSInfo\\MSINFO32.EXE");  // a directory of that name does not count
    noFile.about.StartSysInfo();

    AboutHarness notString;
    notString.registry.keys[kPathKey]["PATH"] = {4, std::string("\x01\x00\x00\x00", 4)};  // REG_DWORD
    notString.registry.setString(kDirectoryKey, "MSINFO", "C:\\MSInfo");
    notString.files.ordinaryFiles.insert("C:\\MSInfo\\MSINFO32.EXE");
    notString.about.StartSysInfo();

    for (AboutHarness* h : {&nothing, &noFile, &notString}) {
        EXPECT_TRUE(h->starter.started.empty());
        EXPECT_EQ(h->messages.shown, std::vector<std::string>{std::string(kSysInfoUnavailable)});
        EXPECT_EQ(h->view.closes, 0);
        EXPECT_TRUE(h->registry.openKeys.empty()) << "every key opened is closed";
    }
    // Without the first value the second location is looked up; a non-string first value ends the search.
    EXPECT_EQ(nothing.registry.opens.size(), 2u);
    EXPECT_EQ(noFile.registry.opens.size(), 2u);
    EXPECT_EQ(notString.registry.opens.size(), 1u);
}

TEST(GetKeyValue, OpensWithFullAccessReadsIntoAThousandTwentyFourBytesAndClosesTheKey) {
    FakeRegistry registry;
    registry.setString("K", "V", "C:\\tool.exe");
    const KeyValue value = GetKeyValue(registry, RegistryRoot::LocalMachine, "K", "V");

    EXPECT_TRUE(value.found);
    EXPECT_EQ(value.text, "C:\\tool.exe");
    ASSERT_EQ(registry.opens.size(), 1u);
    EXPECT_EQ(registry.opens[0].second, 0x2003Fu);
    EXPECT_EQ(registry.bufferSizes, std::vector<std::uint32_t>{1024});
    EXPECT_EQ(registry.closes, 1);
    EXPECT_TRUE(registry.openKeys.empty());
}

TEST(GetKeyValue, DropsOnlyOneTrailingZeroByte) {
    FakeRegistry registry;
    registry.keys["K"]["two zeros"] = {kRegistryString, std::string("abc\0\0", 5)};
    registry.keys["K"]["no zero"] = {kRegistryString, "abc"};
    registry.keys["K"]["empty"] = {kRegistryString, ""};
    EXPECT_EQ(GetKeyValue(registry, RegistryRoot::LocalMachine, "K", "two zeros").text, std::string("abc\0", 4));
    EXPECT_EQ(GetKeyValue(registry, RegistryRoot::LocalMachine, "K", "no zero").text, "abc");
    const KeyValue empty = GetKeyValue(registry, RegistryRoot::LocalMachine, "K", "empty");
    EXPECT_TRUE(empty.found);
    EXPECT_EQ(empty.text, "");
    EXPECT_EQ(registry.closes, 3);
}

TEST(GetKeyValue, FailsAndClosesTheKeyWhenTheValueIsMissingOrTooLong) {
    FakeRegistry registry;
    registry.keys["K"]["fits"] = {kRegistryString, std::string(1023, 'a') + std::string(1, '\0')};
    registry.keys["K"]["long"] = {kRegistryString, std::string(1024, 'a') + std::string(1, '\0')};
    EXPECT_EQ(GetKeyValue(registry, RegistryRoot::LocalMachine, "K", "fits").text, std::string(1023, 'a'));
    const KeyValue tooLong = GetKeyValue(registry, RegistryRoot::LocalMachine, "K", "long");
    EXPECT_FALSE(tooLong.found);
    EXPECT_EQ(tooLong.text, "");
    const KeyValue missing = GetKeyValue(registry, RegistryRoot::LocalMachine, "K", "none");
    EXPECT_FALSE(missing.found);
    EXPECT_EQ(registry.closes, 3);

    const KeyValue noKey = GetKeyValue(registry, RegistryRoot::LocalMachine, "absent", "V");
    EXPECT_FALSE(noKey.found);
    EXPECT_EQ(registry.closes, 3);  // nothing was opened, so nothing is closed
}

TEST(GetKeyValue, NonStringValueGivesNoText) {
    FakeRegistry registry;
    registry.keys["K"]["expand"] = {2, std::string("%SystemRoot%\\x.exe\0", 19)};  // REG_EXPAND_SZ
    const KeyValue value = GetKeyValue(registry, RegistryRoot::LocalMachine, "K", "expand");
    EXPECT_TRUE(value.found);
    EXPECT_EQ(value.text, "");
}

TEST(GetKeyValue, RefusedFullAccessFallsBackToReadAccess) {
    FakeRegistry registry;
    registry.deniedAccess.insert(kRegistryAllAccess);
    registry.setString("K", "V", "C:\\tool.exe");
    const KeyValue value = GetKeyValue(registry, RegistryRoot::LocalMachine, "K", "V");

    EXPECT_EQ(value.text, "C:\\tool.exe");
    ASSERT_EQ(registry.opens.size(), 2u);
    EXPECT_EQ(registry.opens[0].second, 0x2003Fu);
    EXPECT_EQ(registry.opens[1].second, 0x20019u);
    EXPECT_EQ(registry.closes, 1);

    // A key that is simply missing is not tried again.
    FakeRegistry missing;
    EXPECT_FALSE(GetKeyValue(missing, RegistryRoot::LocalMachine, "K", "V").found);
    EXPECT_EQ(missing.opens.size(), 1u);
}

TEST(ViewReadme, OpensReadmeBesideTheProgram) {
    FakeShell shell;
    ViewReadme(shell, "C:\\Games\\TORVALE\\");
    EXPECT_EQ(shell.opened, std::vector<std::string>{"C:\\Games\\TORVALE\\readme.txt"});
}

}  // namespace
}  // namespace torvale
