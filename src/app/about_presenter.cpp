#include "app/about_presenter.h"

#include <array>
#include <cstdint>

#include "core/number_text.h"

namespace torvale {

std::string VersionLine(int major, int minor, int revision) {
    return "Version " + FormatInteger(major) + "." + FormatInteger(minor) + "." + FormatInteger(revision) + " BETA";
}

std::string ProgramVersionLine() {
    return VersionLine(TORVALE_VERSION_MAJOR, TORVALE_VERSION_MINOR, TORVALE_VERSION_REVISION);
}

KeyValue GetKeyValue(Registry& registry, RegistryRoot root, const std::string& keyName, const std::string& valueName) {
    Registry::Key key = 0;
    long status = registry.OpenKey(root, keyName, kRegistryAllAccess, key);
    // Full access to the machine's keys is refused to an ordinary user; reading needs no more than read access.
    if (status == kRegistryAccessDenied)
        status = registry.OpenKey(root, keyName, kRegistryReadAccess, key);
    if (status != kRegistrySuccess)
        return {};

    KeyValue result;
    std::array<std::uint8_t, kKeyValueBufferSize> buffer{};
    std::uint32_t type = 0;
    std::uint32_t size = kKeyValueBufferSize;
    if (registry.QueryValue(key, valueName, type, buffer.data(), size) == kRegistrySuccess &&
        size <= kKeyValueBufferSize) {
        std::string bytes(buffer.begin(), buffer.begin() + size);
        if (!bytes.empty() && bytes.back() == '\0')
            bytes.pop_back();
        result.found = true;
        if (type == kRegistryString)
            result.text = std::move(bytes);
    }
    registry.CloseKey(key);
    return result;
}

void ViewReadme(Shell& shell, const std::string& appDir) {
    shell.OpenDocument(appDir + "readme.txt");
}

AboutPresenter::AboutPresenter(AboutView& view, const AboutServices& services) : view_(view), services_(services) {}

void AboutPresenter::Load() {
    view_.SetCaption("About " + std::string(kApplicationTitle));
    view_.SetVersionLine(ProgramVersionLine());
}

void AboutPresenter::Ok() {
    view_.Close();
}

void AboutPresenter::StartSysInfo() {
    if (!startSysInfoTool())
        services_.messages.ShowMessage(kSysInfoUnavailable);
}

bool AboutPresenter::startSysInfoTool() {
    // A value that is found but holds no text (not a string, or empty) ends the search: it names no program.
    const KeyValue path = GetKeyValue(services_.registry, RegistryRoot::LocalMachine, std::string(kSysInfoPathKey),
                                      std::string(kSysInfoPathValue));
    if (path.found)
        return !path.text.empty() && services_.starter.Start(path.text);

    const KeyValue directory = GetKeyValue(services_.registry, RegistryRoot::LocalMachine,
                                           std::string(kSysInfoDirectoryKey), std::string(kSysInfoDirectoryValue));
    if (!directory.found)
        return false;
    const std::string tool = directory.text + "\\MSINFO32.EXE";
    return !directory.text.empty() && services_.fileSystem.IsOrdinaryFile(tool) && services_.starter.Start(tool);
}

}  // namespace torvale
