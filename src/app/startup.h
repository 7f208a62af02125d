#pragma once

#include <string>
#include <string_view>

#include "app/config_file.h"
#include "app/settings.h"
#include "app/settings_file.h"
#include "orf/texture_table.h"
#include "platform/file_system.h"
#include "platform/message_boxes.h"

namespace torvale {

// The program-wide values that start-up fixes once, alive until the program ends.
struct ProgramState {
    std::string appDir;  // the executable's directory, ending with exactly one separator
    std::string settingsPath;
    std::string texlatePath;
    std::string configPath;
    Settings settings;
    ConfigFile config;              // TORVALE.cfg: the settings TORVALE.ini has no room for
    std::string pofgenCommandLine;  // built from the Settings once start-up has loaded them
    TextureTable textureTable;
    char decimalSeparator = '.';
    // Between the user's ANSI code page and UTF-8: the model's names on their way into the log, the POFGEN path
    // in and out of the settings file. None on systems that keep UTF-8.
    AnsiCodec ansi;
};

struct StartupEnvironment {
    FileSystem& fileSystem;
    MessageBoxes& messages;
    char decimalSeparator = '.';  // the user's, for the POFGEN switch string
    char pathSeparator = '\\';
};

inline constexpr std::string_view kSettingsFileName = "TORVALE.ini";
inline constexpr std::string_view kTexlateFileName = "texlate.rsc";

// `directory` with one separator appended unless it already ends with one (as a drive root does).
std::string AppDirFrom(std::string directory, char separator = '\\');

// The first POFGEN candidate that exists as an ordinary file: appDir pofgen.exe, appDir bspgen.exe,
// c:\games\descent3\pofgen.exe, c:\games\descent3\bspgen.exe; the empty string when there is none.
std::string FindPofgen(const std::string& appDir, FileSystem& fileSystem);

// True when `path` contains "pofgen.exe" or "bspgen.exe", whatever the letter case.
bool NamesPofgen(std::string_view path);

// Everything start-up does before the main window is loaded: paths, Settings defaults, the POFGEN search,
// the settings file (loaded, or created on the first run), TORVALE.cfg (defaults when it is missing or
// cannot be read) and the texture translation table. The POFGEN
// switch string is built from the loaded Settings afterwards (BuildPofgenCommandLine). False when the program must end:
// the table is missing or cannot be used, and a message box naming the file has said so.
bool RunStartup(ProgramState& program, const StartupEnvironment& environment);

// The message shown when the settings file cannot be written (at the first run or at exit).
std::string SettingsNotSavedMessage(const std::string& path, const std::string& reason);

}  // namespace torvale
