#pragma once

#include <span>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "bitmap/texture_images.h"

namespace torvale {

class GameFiles;
class GameTextures;
struct TexturePage;

// Decodes a texture's image file by its content: a PNG, else the game's TGA/OGF family; an animated texture
// (a name ending in .oaf) gives its first frame. False with one line in `error`.
bool DecodeTextureFile(std::string_view fileName,
                       std::span<const std::uint8_t> bytes,
                       Image& image,
                       std::string& error);

// Where the images of a model's textures come from, searched in this order:
//   1. folders of image files named after texture names (the user's --textures folders, then the program's
//      texture folder): NAME.png, NAME.tga, NAME.ogf, the stem compared without regard to case;
//   2. the game set: the texture page the name finds (as the game finds it, see ResolveTextureName), and the
//      bitmap file that page names, loose or inside an archive of the set.
// What a name found (or that it found nothing) is kept, so each name is looked up and read once.
// Every frame of a texture's image file: one for a still image, each frame of an animated texture (a name
// ending in .oaf). False with one line in `error`.
bool DecodeTextureFrames(std::string_view fileName,
                         std::span<const std::uint8_t> bytes,
                         std::vector<Image>& frames,
                         std::string& error);

class TextureFinder {
public:
    void addFolder(const std::string& folder);
    void setGame(const GameTextures* pages, GameFiles* files);
    // True when there is anywhere to look.
    bool hasSources() const { return !folders_.empty() || (pages_ && files_); }

    // The image of texture `name`; a null image when none was found. A file that was found but could not be
    // read adds a line to `problems` ("<where>: <why>") once, and the search goes on.
    const FoundImage& find(std::string_view name, std::vector<std::string>& problems);

private:
    struct Folder {
        std::string path;
        std::unordered_map<std::string, std::string> byStem;  // folded stem -> file, by extension order
    };
    bool findInFolders(std::string_view name, FoundImage& found, std::vector<std::string>& problems);
    bool findInGame(std::string_view name, FoundImage& found, std::vector<std::string>& problems);

    std::vector<Folder> folders_;
    const GameTextures* pages_ = nullptr;
    GameFiles* files_ = nullptr;
    std::unordered_map<std::string, FoundImage> found_;  // by folded name
};

// What ExtractPageBitmaps did: bitmaps read, files written, one line for each page whose bitmap could not be
// had, and why the files could not be written (nothing was, then).
struct BitmapExtraction {
    std::size_t bitmaps = 0;
    std::size_t files = 0;
    std::vector<std::string> problems;
    std::string writeError;
};

// Writes the bitmap of each page into `folder` (made when missing) as PNG files named after the page (made fit
// for a file name, see FileStemFromName): PAGE.png, or PAGE_00.png, PAGE_01.png, ... for the frames of an
// animated texture. Every file is written, or none is. A page whose bitmap is in none of `files`, or cannot
// be read, is a problem and is left out.
BitmapExtraction ExtractPageBitmaps(std::span<const TexturePage* const> pages,
                                    GameFiles& files,
                                    const std::string& folder);

// The images of a scene's textures (`names`, Scene::textures): the input's own image (`own`, slot for slot)
// where it has one, otherwise what `finder` finds. When the finder has somewhere to look, each name found
// nowhere is one line in `notes` ("no image was found for texture Rock1"), once per name, in order; files
// that could not be read add theirs.
TextureImages FindTextureImages(std::span<const std::string> names,
                                const TextureImages& own,
                                TextureFinder& finder,
                                std::vector<std::string>& notes);

}  // namespace torvale
