#include "app/texture_finder.h"

#include <array>
#include <filesystem>
#include <memory>
#include <system_error>
#include <unordered_set>

#include "bitmap/animated_texture.h"
#include "bitmap/game_bitmap_reader.h"
#include "bitmap/png_image.h"
#include "core/ascii_text.h"
#include "core/atomic_file.h"
#include "core/path_text.h"
#include "core/utf8_path.h"
#include "game/game_files.h"
#include "game/game_textures.h"
#include "game/texture_names.h"

namespace torvale {
namespace {

// The image files a texture folder offers, in the order they are preferred for one stem.
constexpr std::array<std::string_view, 3> kImageExtensions = {".png", ".tga", ".ogf"};

// `name` without one of the image extensions, when it ends in one; otherwise empty.
std::string_view StemOfImageName(std::string_view name) {
    for (std::string_view extension : kImageExtensions) {
        if (name.size() > extension.size() && EndsWithIgnoringAsciiCase(name, extension))
            return name.substr(0, name.size() - extension.size());
    }
    return {};
}

}  // namespace

bool DecodeTextureFile(std::string_view fileName,
                       std::span<const std::uint8_t> bytes,
                       Image& image,
                       std::string& error) {
    if (IsPng(bytes))
        return ReadPngImage(bytes, image, error);
    if (EndsWithIgnoringAsciiCase(fileName, ".oaf")) {
        AnimatedTexture animation;
        if (!ReadAnimatedTexture(bytes, animation, error))
            return false;
        image = std::move(animation.frames.front());  // a texture that was read has at least one frame
        return true;
    }
    return ReadGameBitmap(bytes, image, error);
}

bool DecodeTextureFrames(std::string_view fileName,
                         std::span<const std::uint8_t> bytes,
                         std::vector<Image>& frames,
                         std::string& error) {
    if (EndsWithIgnoringAsciiCase(fileName, ".oaf")) {
        AnimatedTexture animation;
        if (!ReadAnimatedTexture(bytes, animation, error))
            return false;
        frames = std::move(animation.frames);
        return true;
    }
    Image image;
    if (!DecodeTextureFile(fileName, bytes, image, error))
        return false;
    frames.clear();
    frames.push_back(std::move(image));
    return true;
}

void TextureFinder::addFolder(const std::string& folder) {
    Folder indexed{folder, {}};
    for (const std::filesystem::path& file : FolderFilesByName(PathFromUtf8(folder))) {
        const std::string name = Utf8FromPath(file.filename());
        for (std::size_t rank = 0; rank < kImageExtensions.size(); ++rank) {
            const std::string_view extension = kImageExtensions[rank];
            if (name.size() <= extension.size() || !EndsWithIgnoringAsciiCase(name, extension))
                continue;
            const std::string stem = AsciiLowered(std::string_view(name).substr(0, name.size() - extension.size()));
            const auto [it, added] = indexed.byStem.emplace(stem, Utf8FromPath(file));
            if (!added) {
                // Keep the file of the more preferred extension.
                const std::string kept = Utf8FromPath(PathFromUtf8(it->second).filename());
                for (std::size_t keptRank = 0; keptRank < kImageExtensions.size(); ++keptRank) {
                    if (EndsWithIgnoringAsciiCase(kept, kImageExtensions[keptRank])) {
                        if (rank < keptRank)
                            it->second = Utf8FromPath(file);
                        break;
                    }
                }
            }
            break;
        }
    }
    folders_.push_back(std::move(indexed));
    found_.clear();
}

void TextureFinder::setGame(const GameTextures* pages, GameFiles* files) {
    pages_ = pages;
    files_ = files;
    found_.clear();
}

const FoundImage& TextureFinder::find(std::string_view name, std::vector<std::string>& problems) {
    const std::string key = AsciiLowered(name);
    if (const auto it = found_.find(key); it != found_.end())
        return it->second;
    FoundImage found;
    if (!findInFolders(name, found, problems))
        findInGame(name, found, problems);
    return found_.emplace(key, std::move(found)).first->second;
}

bool TextureFinder::findInFolders(std::string_view name, FoundImage& found, std::vector<std::string>& problems) {
    const std::string exact = AsciiLowered(name);
    const std::string stem = AsciiLowered(StemOfImageName(name));
    for (const Folder& folder : folders_) {
        for (const std::string* key : {&exact, &stem}) {
            if (key->empty())
                continue;
            const auto it = folder.byStem.find(*key);
            if (it == folder.byStem.end())
                continue;
            std::vector<std::uint8_t> bytes;
            std::string error;
            auto image = std::make_shared<Image>();
            if (!ReadWholeFile(it->second, bytes, error) ||
                !DecodeTextureFile(Utf8FromPath(PathFromUtf8(it->second).filename()), bytes, *image, error)) {
                problems.push_back(it->second + ": " + error);
                continue;
            }
            found.image = std::move(image);
            found.origin = it->second;
            return true;
        }
    }
    return false;
}

bool TextureFinder::findInGame(std::string_view name, FoundImage& found, std::vector<std::string>& problems) {
    if (!pages_ || !files_)
        return false;
    const ResolvedTexture resolved = ResolveTextureName(name, nullptr, *pages_);
    if (!resolved.page)
        return false;
    std::vector<std::uint8_t> bytes;
    std::string where;
    std::string error;
    if (!files_->read(resolved.page->bitmap, bytes, where, error)) {
        if (!error.empty())
            problems.push_back(error);
        return false;
    }
    auto image = std::make_shared<Image>();
    if (!DecodeTextureFile(resolved.page->bitmap, bytes, *image, error)) {
        problems.push_back(where + ": " + error);
        return false;
    }
    found.image = std::move(image);
    found.origin = where;
    found.pageBitmap = true;
    return true;
}

BitmapExtraction ExtractPageBitmaps(std::span<const TexturePage* const> pages,
                                    GameFiles& files,
                                    const std::string& folder) {
    BitmapExtraction done;
    std::error_code ec;
    std::filesystem::create_directories(PathFromUtf8(folder), ec);
    if (ec) {
        done.writeError = folder + ": the folder cannot be made: " + ec.message();
        return done;
    }
    StagedFiles staged(pages.size());
    std::unordered_set<std::string> taken;  // folded file names already given out
    std::vector<std::uint8_t> bytes;
    for (const TexturePage* page : pages) {
        std::string where;
        std::string error;
        std::vector<Image> frames;
        if (!files.read(page->bitmap, bytes, where, error)) {
            done.problems.push_back(
                "page " + page->name + ": " +
                (error.empty() ? "its bitmap " + page->bitmap + " is in none of the game's files" : error));
            continue;
        }
        if (!DecodeTextureFrames(page->bitmap, bytes, frames, error)) {
            done.problems.push_back(where + ": " + error);
            continue;
        }
        ++done.bitmaps;
        const std::string stem = FileStemFromName(page->name, taken);
        const bool animated = EndsWithIgnoringAsciiCase(page->bitmap, ".oaf");
        for (std::size_t i = 0; i < frames.size(); ++i) {
            std::string name = stem;
            if (animated)
                name += (i < 10 ? "_0" : "_") + std::to_string(i);
            const std::string path = Utf8FromPath(PathFromUtf8(folder) / PathFromUtf8(name + ".png"));
            if (!staged.stage(path, EncodePngImage(frames[i].level), done.writeError))
                return done;
            ++done.files;
        }
    }
    staged.commit(done.writeError);  // on failure the reason is in writeError, and nothing was replaced
    return done;
}

TextureImages FindTextureImages(std::span<const std::string> names,
                                const TextureImages& own,
                                TextureFinder& finder,
                                std::vector<std::string>& notes) {
    TextureImages images(names.size());
    std::unordered_set<std::string> missing;
    for (std::size_t i = 0; i < names.size(); ++i) {
        if (i < own.size() && own[i].image) {
            images[i] = own[i];
            continue;
        }
        if (!finder.hasSources())
            continue;
        images[i] = finder.find(names[i], notes);
        if (!images[i].image && missing.insert(AsciiLowered(names[i])).second)
            notes.push_back("no image was found for texture " + names[i]);
    }
    return images;
}

}  // namespace torvale
