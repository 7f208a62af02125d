#pragma once

#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace torvale {

// The settings that TORVALE.ini's fixed layout has no room for, kept in TORVALE.cfg beside it: a small UTF-8
// text file in INI form that people can read and edit. Other programs read TORVALE.ini, so it never changes.
//
//   [rooms]
//   reverseFaces=1
//   scale=100
//   [view]
//   textures=1
inline constexpr std::string_view kConfigFileName = "TORVALE.cfg";

struct Config {
    bool reverseFaces = false;             // [rooms] reverseFaces: every face turned round, for rooms seen from inside
    double roomScale = 1.0;                // [rooms] scale: every position multiplied by it; a bad value means 1
    std::string gameFolder;                // [game] folder: Descent 3 folders, tables or archives, separated by ';'
    std::vector<std::string> recentFiles;  // [recent] file1.. file4, the newest first
    bool showTextures = true;              // [view] textures: the preview shows the images of textured faces
    std::string textureFolder;             // [textures] folder: where images of textures are looked for
};

inline constexpr std::size_t kRecentFileCount = 4;

// The configuration file as read: its values, plus every section and key this version does not know, which
// a save writes back unchanged.
class ConfigFile {
public:
    ConfigFile();
    ~ConfigFile();

    // Reads `path`. A missing, unreadable or garbled file leaves the defaults (and `problem` says why, for
    // a caller that wants to mention it); start-up never fails because of it.
    void Load(const std::string& path, std::string* problem = nullptr);
    // Writes the values over `path` in one step (temporary file, then rename). False with the reason.
    bool Save(const std::string& path, std::string& error);

    Config values;

    // The INI text a save would write.
    std::string Text();

private:
    struct Document;
    std::unique_ptr<Document> document_;
};

// The game folder setting as paths: split at ';', blanks around each dropped, empty parts left out.
std::vector<std::string> GamePaths(const Config& config);

// `path` put at the front of the recent files (a path already there moves up; compared as written), at most
// kRecentFileCount kept.
void RememberRecentFile(Config& config, const std::string& path);

}  // namespace torvale
