#include "app/startup.h"

#include <algorithm>
#include <cctype>

#include "app/settings_file.h"
#include "core/ascii_text.h"

namespace torvale {
namespace {

constexpr std::string_view kCrLf2 = "\r\n\r\n";

void LoadOrCreateSettings(ProgramState& program, const StartupEnvironment& environment) {
    std::string error;
    if (environment.fileSystem.IsOrdinaryFile(program.settingsPath)) {
        if (!LoadSettings(program.settingsPath, program.settings, error, program.ansi))
            environment.messages.ShowMessage("The settings file " + program.settingsPath + " could not be read: " +
                                             error + std::string(kCrLf2) + "TORVALE starts with its default settings.");
        return;
    }
    if (!SaveSettings(program.settingsPath, program.settings, error, program.ansi))
        environment.messages.ShowMessage(SettingsNotSavedMessage(program.settingsPath, error));
}

bool LoadTable(ProgramState& program, const StartupEnvironment& environment) {
    std::string error;
    if (LoadTextureTableFile(program.texlatePath, program.textureTable, error))
        return true;
    const std::string closing = std::string(kCrLf2) + "TORVALE cannot start without its texture translation table.";
    if (!environment.fileSystem.Exists(program.texlatePath))
        environment.messages.ShowMessage("File not found: " + program.texlatePath + closing);
    else
        environment.messages.ShowMessage("The texture translation table " + program.texlatePath +
                                         " cannot be used: " + error + closing);
    return false;
}

}  // namespace

std::string AppDirFrom(std::string directory, char separator) {
    if (directory.empty() || directory.back() != separator)
        directory.push_back(separator);
    return directory;
}

std::string FindPofgen(const std::string& appDir, FileSystem& fileSystem) {
    const std::string candidates[] = {
        appDir + "pofgen.exe",
        appDir + "bspgen.exe",
        "c:\\games\\descent3\\pofgen.exe",
        "c:\\games\\descent3\\bspgen.exe",
    };
    for (const std::string& candidate : candidates)
        if (fileSystem.IsOrdinaryFile(candidate))
            return candidate;
    return {};
}

bool NamesPofgen(std::string_view path) {
    return FindIgnoringAsciiCase(path, "pofgen.exe") != std::string_view::npos ||
           FindIgnoringAsciiCase(path, "bspgen.exe") != std::string_view::npos;
}

bool RunStartup(ProgramState& program, const StartupEnvironment& environment) {
    // The line break is CR LF throughout (kCrLf); the command line of the program is not read.
    program.appDir = AppDirFrom(environment.fileSystem.ExecutableDirectory(), environment.pathSeparator);
    program.settingsPath = program.appDir + std::string(kSettingsFileName);
    program.texlatePath = program.appDir + std::string(kTexlateFileName);
    program.configPath = program.appDir + std::string(kConfigFileName);
    program.decimalSeparator = environment.decimalSeparator;
    program.settings = Settings{};
    program.settings.pofgenPath = FindPofgen(program.appDir, environment.fileSystem);

    LoadOrCreateSettings(program, environment);
    // A stored path that names one of the two compilers stays, even when that file is gone.
    if (!NamesPofgen(program.settings.pofgenPath))
        program.settings.pofgenPath = FindPofgen(program.appDir, environment.fileSystem);
    program.config.Load(program.configPath);

    return LoadTable(program, environment);
}

std::string SettingsNotSavedMessage(const std::string& path, const std::string& reason) {
    return "The settings could not be saved to " + path + ": " + reason;
}

}  // namespace torvale
