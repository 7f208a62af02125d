#include "model_io/texture_files.h"

#include <array>
#include <map>
#include <set>

#include "bitmap/png_image.h"
#include "core/ascii_text.h"
#include "core/path_text.h"

namespace torvale {
namespace {

constexpr std::size_t kLongestStem = 200;

// The length of the UTF-8 character starting at text[i], or 0 when the bytes there are not one (a stray
// continuation byte, a cut sequence, an overlong form or a surrogate).
std::size_t Utf8CharLength(std::string_view text, std::size_t i) {
    const auto lead = static_cast<unsigned char>(text[i]);
    if (lead < 0x80)
        return 1;
    std::size_t length = 0;
    std::uint32_t code = 0;
    if ((lead & 0xE0) == 0xC0)
        length = 2, code = lead & 0x1Fu;
    else if ((lead & 0xF0) == 0xE0)
        length = 3, code = lead & 0x0Fu;
    else if ((lead & 0xF8) == 0xF0)
        length = 4, code = lead & 0x07u;
    else
        return 0;
    if (text.size() - i < length)
        return 0;
    for (std::size_t k = 1; k < length; ++k) {
        const auto next = static_cast<unsigned char>(text[i + k]);
        if ((next & 0xC0) != 0x80)
            return 0;
        code = (code << 6) | (next & 0x3Fu);
    }
    constexpr std::array<std::uint32_t, 5> kSmallest = {0, 0, 0x80, 0x800, 0x10000};
    if (code < kSmallest[length] || code > 0x10FFFF || (code >= 0xD800 && code <= 0xDFFF))
        return 0;
    return length;
}

bool IsUnfitInFileName(char c) {
    constexpr std::string_view kUnfit = "<>:\"/\\|?*%# ";
    return IsAsciiControl(c) || kUnfit.find(c) != std::string_view::npos;
}

// CON, PRN, AUX, NUL, COM1-9 and LPT1-9 name devices on Windows, whatever extension follows them.
bool IsReservedDeviceName(std::string_view stem) {
    const std::string base = AsciiLowered(stem.substr(0, stem.find('.')));
    if (base == "con" || base == "prn" || base == "aux" || base == "nul")
        return true;
    return base.size() == 4 && (base.starts_with("com") || base.starts_with("lpt")) && base[3] >= '1' && base[3] <= '9';
}

// An image the PNG encoder takes: a size, and the pixels to fill it.
bool HasPixels(const Image& image) {
    return image.width() > 0 && image.height() > 0 &&
           image.level.rgba.size() == std::size_t{image.width()} * image.height() * 4;
}

}  // namespace

std::string TextureFileStem(std::string_view name, std::size_t slot) {
    for (const std::string_view extension : {".ogf", ".oaf", ".tga", ".png"}) {
        if (name.size() > extension.size() && EndsWithIgnoringAsciiCase(name, extension)) {
            name.remove_suffix(extension.size());
            break;
        }
    }
    std::string stem;
    for (std::size_t i = 0; i < name.size() && stem.size() < kLongestStem;) {
        const std::size_t length = Utf8CharLength(name, i);
        if (length == 0) {
            stem += '_';
            ++i;
            continue;
        }
        if (stem.size() + length > kLongestStem)
            break;
        if (length == 1)
            stem += IsUnfitInFileName(name[i]) ? '_' : name[i];
        else
            stem.append(name.substr(i, length));
        i += length;
    }
    if (stem.empty())
        return "texture_" + std::to_string(slot);
    if (IsReservedDeviceName(stem))
        stem.insert(stem.begin(), '_');
    return stem;
}

TextureFilePlan PlanTextureFiles(const Scene& scene, const TextureImages& images) {
    TextureFilePlan plan;
    plan.fileOfTexture.assign(scene.textures.size(), -1);
    // A name is shown when a face shows one of its slots; any slot of it may hold its image.
    std::set<std::string> shown;
    for (const SceneObject& object : scene.objects) {
        for (const SceneFace& face : object.faces) {
            if (face.texture >= 0 && static_cast<std::size_t>(face.texture) < scene.textures.size())
                shown.insert(scene.textures[static_cast<std::size_t>(face.texture)]);
        }
    }
    // A name's file once a slot of it has an image; a name seen without one waits for a later slot.
    std::map<std::string, int> fileOfName;
    std::set<std::string> taken;  // the file names given, ASCII lowered
    for (std::size_t slot = 0; slot < scene.textures.size(); ++slot) {
        const std::string& name = scene.textures[slot];
        const Image* image = ImageOfTexture(images, static_cast<std::int32_t>(slot));
        if (fileOfName.contains(name) || image == nullptr || !HasPixels(*image) || !shown.contains(name))
            continue;
        const std::string stem = TextureFileStem(name, slot);
        std::string fileName = stem + ".png";
        for (int n = 2; !taken.insert(AsciiLowered(fileName)).second; ++n)
            fileName = stem + "_" + std::to_string(n) + ".png";
        const int index = static_cast<int>(plan.files.size());
        plan.files.push_back({fileName, image, images[slot].origin});
        fileOfName.emplace(name, index);
    }
    // Every slot of a name shares its file, also those before the slot whose image it holds.
    for (std::size_t slot = 0; slot < scene.textures.size(); ++slot) {
        if (const auto found = fileOfName.find(scene.textures[slot]); found != fileOfName.end())
            plan.fileOfTexture[slot] = found->second;
    }
    return plan;
}

std::vector<PngFile> EncodeTextureFiles(const TextureFilePlan& plan, std::vector<std::string>& warnings) {
    std::vector<PngFile> pngs;
    pngs.reserve(plan.files.size());
    for (const TextureFile& file : plan.files) {
        pngs.push_back({file.fileName, EncodePngImage(file.image->level)});
        if (pngs.back().bytes.empty())
            warnings.push_back("texture image " + file.fileName + ": cannot be encoded as PNG; written without it");
    }
    return pngs;
}

std::vector<std::string> TextureFilePaths(const std::string& modelPath, const TextureFilePlan& plan) {
    const std::string folder = modelPath.substr(0, FileNameStart(modelPath));
    std::vector<std::string> paths;
    for (const TextureFile& file : plan.files)
        paths.push_back(folder + file.fileName);
    return paths;
}

std::vector<FileToWrite> PngFilesBeside(const std::string& modelPath, const std::vector<PngFile>& pngs) {
    const std::string folder = modelPath.substr(0, FileNameStart(modelPath));
    std::vector<FileToWrite> files;
    for (const PngFile& png : pngs) {
        if (!png.bytes.empty())
            files.push_back({folder + png.fileName, png.bytes});
    }
    return files;
}

}  // namespace torvale
