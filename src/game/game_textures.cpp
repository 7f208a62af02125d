#include "game/game_textures.h"
#include "core/ascii_text.h"
#include "core/utf8_path.h"

#include <algorithm>
#include <filesystem>
#include <system_error>

#include "core/atomic_file.h"
#include "game/game_files.h"
#include "game/hog_archive.h"

namespace torvale {
namespace {

namespace fs = std::filesystem;

// The tables the game loads from its folder, in the order it loads them.
constexpr std::string_view kFolderTables[] = {"Table.gam", "extra.gam"};
constexpr std::string_view kAnimationSuffix = ".oaf";

bool IsFrameTail(std::string_view tail) {
    return std::all_of(tail.begin(), tail.end(),
                       [](char c) { return (c >= '0' && c <= '9') || c == '_' || c == '-' || c == '.' || c == ' '; });
}

std::string NoTableNote(const std::string& path) {
    return path + " holds no table file";
}

}  // namespace

GameTextures::Report GameTextures::load(std::span<const std::string> paths) {
    Report report;
    std::vector<std::string>& problems = report.problems;
    for (const std::string& path : paths) {
        std::error_code ec;
        const fs::file_status status = fs::status(PathFromUtf8(path), ec);
        const std::string extension = AsciiLowered(Utf8FromPath(PathFromUtf8(path).extension()));
        if (ec || !fs::exists(status))
            problems.push_back(path + ": not found");
        else if (fs::is_directory(status))
            loadFolder(path, report);
        else if (extension == ".gam")
            loadTableFile(path, problems);
        else if (extension == ".hog" || extension == ".mn3")
            loadArchive(path, report);
        else
            problems.push_back(path + ": neither a folder, a .gam table nor a .hog or .mn3 archive");
    }
    return report;
}

void GameTextures::addTable(std::vector<TexturePage> pages) {
    for (TexturePage& page : pages) {
        const auto [it, added] = byName_.emplace(AsciiLowered(page.name), pages_.size());
        if (added)
            pages_.push_back(std::move(page));
        else
            pages_[it->second] = std::move(page);
    }
    reindexBitmaps();
}

void GameTextures::loadFolder(const std::string& path, Report& report) {
    std::vector<std::string>& problems = report.problems;
    const std::vector<fs::path> files = FolderFilesByName(PathFromUtf8(path));
    std::vector<HogArchive> archives;  // opened when first needed, in name order
    bool archivesOpened = false;
    bool found = false;
    for (std::string_view table : kFolderTables) {
        const auto loose = std::find_if(files.begin(), files.end(), [&](const fs::path& file) {
            return EqualsIgnoringAsciiCase(Utf8FromPath(file.filename()), table);
        });
        if (loose != files.end()) {
            found = true;
            loadTableFile(Utf8FromPath(*loose), problems);
            continue;
        }
        if (!archivesOpened) {
            archivesOpened = true;
            for (const fs::path& file : files) {
                if (!EndsWithIgnoringAsciiCase(Utf8FromPath(file.filename()), ".hog"))
                    continue;
                HogArchive archive;
                std::string error;
                if (archive.open(Utf8FromPath(file), error))
                    archives.push_back(std::move(archive));
                else
                    problems.push_back(Utf8FromPath(file) + ": " + error);
            }
        }
        for (HogArchive& archive : archives) {
            const HogEntry* entry = archive.find(table);
            if (!entry)
                continue;
            found = true;
            std::vector<std::uint8_t> bytes;
            std::vector<TexturePage> pages;
            std::string error;
            const std::string where = archive.path() + ": " + entry->name;
            if (!archive.read(*entry, bytes, error))
                problems.push_back(archive.path() + ": " + error);
            else if (!ReadTableFile(bytes, entry->name, pages, error))
                problems.push_back(where + ": " + error);
            else {
                tablesRead_.push_back(where);
                addTable(std::move(pages));
            }
            break;
        }
    }
    if (!found)
        report.notes.push_back(NoTableNote(path));
}

void GameTextures::loadTableFile(const std::string& path, std::vector<std::string>& problems) {
    std::vector<std::uint8_t> bytes;
    std::vector<TexturePage> pages;
    std::string error;
    if (!ReadWholeFile(path, bytes, error) ||
        !ReadTableFile(bytes, Utf8FromPath(PathFromUtf8(path).filename()), pages, error)) {
        problems.push_back(path + ": " + error);
        return;
    }
    tablesRead_.push_back(path);
    addTable(std::move(pages));
}

void GameTextures::loadArchive(const std::string& path, Report& report) {
    std::vector<std::string>& problems = report.problems;
    HogArchive archive;
    std::string error;
    if (!archive.open(path, error)) {
        problems.push_back(path + ": " + error);
        return;
    }
    bool found = false;
    for (const HogEntry& entry : archive.entries()) {
        if (!EndsWithIgnoringAsciiCase(entry.name, ".gam"))
            continue;
        found = true;
        std::vector<std::uint8_t> bytes;
        std::vector<TexturePage> pages;
        const std::string where = path + ": " + entry.name;
        if (!archive.read(entry, bytes, error))
            problems.push_back(path + ": " + error);
        else if (!ReadTableFile(bytes, entry.name, pages, error))
            problems.push_back(where + ": " + error);
        else {
            tablesRead_.push_back(where);
            addTable(std::move(pages));
        }
    }
    if (!found)
        report.notes.push_back(NoTableNote(path));
}

void GameTextures::reindexBitmaps() {
    byBitmap_.clear();
    animationStems_.clear();
    for (std::size_t i = 0; i < pages_.size(); ++i) {
        const TexturePage& page = pages_[i];
        byBitmap_.emplace(AsciiLowered(page.bitmap), i);
        if (EndsWithIgnoringAsciiCase(page.bitmap, kAnimationSuffix)) {
            const std::string_view stem = std::string_view(page.bitmap).substr(0, page.bitmap.size() - 4);
            animationStems_.push_back(AsciiLowered(stem));
            animationStems_.push_back(AsciiLowered(page.name));
        }
    }
}

const TexturePage* GameTextures::findByBitmap(std::string_view bitmap) const {
    const auto it = byBitmap_.find(AsciiLowered(bitmap));
    return it == byBitmap_.end() ? nullptr : &pages_[it->second];
}

const TexturePage* GameTextures::findByName(std::string_view name) const {
    const auto it = byName_.find(AsciiLowered(name));
    return it == byName_.end() ? nullptr : &pages_[it->second];
}

bool GameTextures::mayBeAnimationFrame(std::string_view name) const {
    const std::string folded = AsciiLowered(name);
    return std::any_of(animationStems_.begin(), animationStems_.end(), [&](const std::string& stem) {
        return !stem.empty() && folded.starts_with(stem) && IsFrameTail(std::string_view(folded).substr(stem.size()));
    });
}

std::vector<std::string> TexturePageListing(const GameTextures& textures) {
    std::vector<const TexturePage*> sorted;
    std::size_t nameWidth = 4;    // "Page"
    std::size_t bitmapWidth = 6;  // "Bitmap"
    for (const TexturePage& page : textures.pages()) {
        sorted.push_back(&page);
        nameWidth = std::max(nameWidth, page.name.size());
        bitmapWidth = std::max(bitmapWidth, page.bitmap.size());
    }
    std::sort(sorted.begin(), sorted.end(), [](const TexturePage* a, const TexturePage* b) {
        const std::string fa = AsciiLowered(a->name);
        const std::string fb = AsciiLowered(b->name);
        return fa != fb ? fa < fb : a->name < b->name;
    });
    const auto line = [&](std::string_view name, std::string_view bitmap, std::string_view table) {
        std::string out(name);
        out.append(nameWidth - name.size() + 2, ' ');
        out += bitmap;
        out.append(bitmapWidth - bitmap.size() + 2, ' ');
        out += table;
        return out;
    };
    std::vector<std::string> lines{line("Page", "Bitmap", "Table")};
    for (const TexturePage* page : sorted)
        lines.push_back(line(page->name, page->bitmap, page->table));
    return lines;
}

}  // namespace torvale
