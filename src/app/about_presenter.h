#pragma once

#include <string>
#include <string_view>

#include "platform/file_system.h"
#include "platform/message_boxes.h"
#include "platform/program_starter.h"
#include "platform/registry.h"
#include "platform/shell.h"

namespace torvale {

inline constexpr std::string_view kSysInfoUnavailable = "System Information Is Unavailable At This Time";

// Where the system information tool is recorded, both under HKEY_LOCAL_MACHINE: its full path, or else the
// directory that holds MSINFO32.EXE.
inline constexpr std::string_view kSysInfoPathKey = "SOFTWARE\\Microsoft\\Shared Tools\\MSINFO";
inline constexpr std::string_view kSysInfoPathValue = "PATH";
inline constexpr std::string_view kSysInfoDirectoryKey = "SOFTWARE\\Microsoft\\Shared Tools Location";
inline constexpr std::string_view kSysInfoDirectoryValue = "MSINFO";

// The value buffer of a registry lookup holds 1024 bytes.
inline constexpr std::uint32_t kKeyValueBufferSize = 1024;

// "Version 1.2.3 BETA".
std::string VersionLine(int major, int minor, int revision);
// The version line of this program.
std::string ProgramVersionLine();

struct KeyValue {
    bool found = false;
    std::string text;  // empty unless found; also empty for a value that is not a string
};

// Reads one value: the key is opened for full access (read-only where full access is refused, since the lookup
// only reads), the value read into 1024 bytes with one trailing zero byte dropped; only a string value gives a
// text. The key is closed whatever happens.
KeyValue GetKeyValue(Registry& registry, RegistryRoot root, const std::string& keyName, const std::string& valueName);

// View Readme: readme.txt beside the program, opened with the program the system associates with it.
void ViewReadme(Shell& shell, const std::string& appDir);

// What the about presenter asks of the real about box.
class AboutView {
public:
    virtual ~AboutView() = default;
    virtual void SetCaption(const std::string& caption) = 0;
    virtual void SetVersionLine(const std::string& line) = 0;
    virtual void Close() = 0;
};

struct AboutServices {
    Registry& registry;
    ProgramStarter& starter;
    FileSystem& fileSystem;
    MessageBoxes& messages;
};

// frmAbout without its controls: the caption and version line it takes on loading, OK, and System Info.
class AboutPresenter {
public:
    AboutPresenter(AboutView& view, const AboutServices& services);

    void Load();
    // OK, Esc or the close box.
    void Ok();
    // "System Info...": starts the system information tool found through the registry; every failure shows
    // the one message, and the about box stays open.
    void StartSysInfo();

private:
    bool startSysInfoTool();

    AboutView& view_;
    AboutServices services_;
};

}  // namespace torvale
