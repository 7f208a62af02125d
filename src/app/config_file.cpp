#include "app/config_file.h"

#include <algorithm>
#include <charconv>
#include <cstdint>

#include "core/atomic_file.h"
#include "scene/scene_scale.h"

// SimpleIni works on bytes here: UTF-8 goes in and comes out as it is. Its template bodies are compiled here.
#define SI_NO_CONVERSION
#define SI_IMPLEMENTATION
#include <SimpleIni.h>

namespace torvale {
namespace {

constexpr const char* kRooms = "rooms";
constexpr const char* kGame = "game";
constexpr const char* kRecent = "recent";
constexpr const char* kView = "view";
constexpr const char* kTextures = "textures";

// The scale as written, when it is a factor a model can be scaled by; otherwise none.
double ReadScale(const char* text) {
    const std::string_view word(text);
    double value = 0.0;
    const auto parsed = std::from_chars(word.data(), word.data() + word.size(), value);
    return parsed.ec == std::errc{} && parsed.ptr == word.data() + word.size() && IsScaleFactor(value) ? value
                                                                                                       : kNoScale;
}

std::string RecentKey(std::size_t k) {
    return "file" + std::to_string(k + 1);
}

}  // namespace

struct ConfigFile::Document {
    Document() { ini.SetSpaces(false); }  // "key=value", as people write it by hand
    CSimpleIniA ini{true, false, false};  // UTF-8, one value per key, no multi-line values
};

ConfigFile::ConfigFile() : document_(std::make_unique<Document>()) {}
ConfigFile::~ConfigFile() = default;

void ConfigFile::Load(const std::string& path, std::string* problem) {
    values = Config{};
    document_->ini.Reset();
    std::vector<std::uint8_t> bytes;
    std::string error;
    if (!ReadWholeFile(path, bytes, error)) {
        if (problem)
            *problem = error;
        return;
    }
    if (document_->ini.LoadData(reinterpret_cast<const char*>(bytes.data()), bytes.size()) < 0) {
        document_->ini.Reset();
        if (problem)
            *problem = "the file is not in INI form";
        return;
    }
    CSimpleIniA& ini = document_->ini;
    values.reverseFaces = ini.GetBoolValue(kRooms, "reverseFaces", false);
    values.roomScale = ReadScale(ini.GetValue(kRooms, "scale", "1"));
    values.gameFolder = ini.GetValue(kGame, "folder", "");
    values.showTextures = ini.GetBoolValue(kView, "textures", true);
    values.textureFolder = ini.GetValue(kTextures, "folder", "");
    for (std::size_t k = 0; k < kRecentFileCount; ++k) {
        const std::string file = ini.GetValue(kRecent, RecentKey(k).c_str(), "");
        if (!file.empty())
            values.recentFiles.push_back(file);
    }
}

std::string ConfigFile::Text() {
    CSimpleIniA& ini = document_->ini;
    ini.SetValue(kRooms, "reverseFaces", values.reverseFaces ? "1" : "0");
    ini.SetValue(kRooms, "scale", ScaleText(values.roomScale).c_str());
    ini.SetValue(kGame, "folder", values.gameFolder.c_str());
    ini.SetValue(kView, "textures", values.showTextures ? "1" : "0");
    ini.SetValue(kTextures, "folder", values.textureFolder.c_str());
    for (std::size_t k = 0; k < kRecentFileCount; ++k) {
        const std::string key = RecentKey(k);
        if (k < values.recentFiles.size())
            ini.SetValue(kRecent, key.c_str(), values.recentFiles[k].c_str());
        else
            ini.Delete(kRecent, key.c_str());
    }
    std::string text;
    ini.Save(text);
    return text;
}

bool ConfigFile::Save(const std::string& path, std::string& error) {
    const std::string text = Text();
    return ReplaceFileAtomically(path, {reinterpret_cast<const std::uint8_t*>(text.data()), text.size()}, error);
}

std::vector<std::string> GamePaths(const Config& config) {
    std::vector<std::string> paths;
    std::string_view rest = config.gameFolder;
    while (!rest.empty()) {
        const std::size_t end = std::min(rest.find(';'), rest.size());
        std::string_view part = rest.substr(0, end);
        rest.remove_prefix(std::min(end + 1, rest.size()));
        while (!part.empty() && (part.front() == ' ' || part.front() == '\t'))
            part.remove_prefix(1);
        while (!part.empty() && (part.back() == ' ' || part.back() == '\t'))
            part.remove_suffix(1);
        if (!part.empty())
            paths.emplace_back(part);
    }
    return paths;
}

void RememberRecentFile(Config& config, const std::string& path) {
    std::vector<std::string> files{path};
    for (std::string& file : config.recentFiles) {
        if (file != path && files.size() < kRecentFileCount)
            files.push_back(std::move(file));
    }
    config.recentFiles = std::move(files);
}

}  // namespace torvale
