#include "game/game_files.h"

#include <algorithm>
#include <filesystem>
#include <system_error>

#include "core/ascii_text.h"
#include "core/atomic_file.h"
#include "core/utf8_path.h"
#include "game/hog_archive.h"

namespace torvale {
namespace fs = std::filesystem;

std::vector<fs::path> FolderFilesByName(const fs::path& folder) {
    std::vector<fs::path> files;
    std::error_code ec;
    for (fs::directory_iterator it(folder, ec), end; !ec && it != end; it.increment(ec)) {
        std::error_code typeError;
        if (it->is_regular_file(typeError))
            files.push_back(it->path());
    }
    std::sort(files.begin(), files.end(), [](const fs::path& a, const fs::path& b) {
        const std::string fa = AsciiLowered(Utf8FromPath(a.filename()));
        const std::string fb = AsciiLowered(Utf8FromPath(b.filename()));
        return fa != fb ? fa < fb : Utf8FromPath(a.filename()) < Utf8FromPath(b.filename());
    });
    return files;
}

GameFiles::GameFiles() = default;
GameFiles::GameFiles(GameFiles&&) noexcept = default;
GameFiles& GameFiles::operator=(GameFiles&&) noexcept = default;
GameFiles::~GameFiles() = default;

std::vector<std::string> GameFiles::open(std::span<const std::string> paths) {
    std::vector<std::string> problems;
    for (const std::string& path : paths) {
        Index files;
        std::error_code ec;
        const fs::path native = PathFromUtf8(path);
        const std::string extension = AsciiLowered(Utf8FromPath(native.extension()));
        if (fs::is_directory(native, ec))
            addFolder(path, true, files, problems);
        else if (extension == ".hog" || extension == ".mn3")
            addArchive(path, files, problems);
        else if (extension == ".gam")
            addFolder(Utf8FromPath(native.parent_path().empty() ? fs::path(".") : native.parent_path()), false, files,
                      problems);
        for (auto& [name, place] : files)
            index_.insert_or_assign(name, std::move(place));
    }
    return problems;
}

void GameFiles::addFolder(const std::string& folder,
                          bool withArchives,
                          Index& files,
                          std::vector<std::string>& problems) {
    const std::vector<fs::path> sorted = FolderFilesByName(PathFromUtf8(folder));
    for (const fs::path& file : sorted) {
        const std::string name = Utf8FromPath(file.filename());
        files.emplace(AsciiLowered(name), Place{Utf8FromPath(file), -1, 0});
    }
    if (!withArchives)
        return;
    for (const fs::path& file : sorted) {
        if (EndsWithIgnoringAsciiCase(Utf8FromPath(file.filename()), ".hog"))
            addArchive(Utf8FromPath(file), files, problems);
    }
}

void GameFiles::addArchive(const std::string& path, Index& files, std::vector<std::string>& problems) {
    auto archive = std::make_unique<HogArchive>();
    std::string error;
    if (!archive->open(path, error)) {
        problems.push_back(path + ": " + error);
        return;
    }
    const auto number = static_cast<std::int32_t>(archives_.size());
    const std::vector<HogEntry>& entries = archive->entries();
    for (std::size_t i = 0; i < entries.size(); ++i)
        files.emplace(AsciiLowered(entries[i].name), Place{path, number, i});
    archives_.push_back(std::move(archive));
}

bool GameFiles::read(std::string_view name, std::vector<std::uint8_t>& bytes, std::string& where, std::string& error) {
    error.clear();
    const auto it = index_.find(AsciiLowered(name));
    if (it == index_.end())
        return false;
    const Place& place = it->second;
    if (place.archive < 0) {
        where = place.path;
        if (!ReadWholeFile(place.path, bytes, error)) {
            error = where + ": " + error;
            return false;
        }
        return true;
    }
    HogArchive& archive = *archives_[static_cast<std::size_t>(place.archive)];
    const HogEntry& entry = archive.entries()[place.entry];
    where = place.path + ": " + entry.name;
    if (!archive.read(entry, bytes, error)) {
        error = place.path + ": " + error;
        return false;
    }
    return true;
}

}  // namespace torvale
