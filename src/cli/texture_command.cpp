#include <optional>
#include <ostream>
#include <span>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "bitmap/animated_texture.h"
#include "bitmap/bitmap_report.h"
#include "bitmap/game_bitmap_reader.h"
#include "bitmap/ogf_writer.h"
#include "bitmap/png_image.h"
#include "cli/arguments.h"
#include "cli/cli_support.h"
#include "cli/commands.h"
#include "core/ascii_text.h"
#include "core/atomic_file.h"
#include "core/path_text.h"

namespace torvale::cli {
namespace {

constexpr const char* kTextureUsage =
    "Usage: torvale-cli texture convert IN OUT [--format 1555|4444] [--mips N]\n"
    "\n"
    "Converts a bitmap. IN is a PNG, a TGA (types 2 and 10, 24 or 32 bits) or a Descent 3 OGF, told apart by\n"
    "their content, or a Descent 3 animated texture (IN ending in .oaf), of which the first frame is taken. OUT's "
    "extension chooses what is written: .png a PNG (8-bit RGBA, the full-size image),\n"
    ".ogf an OGF as the game writes it, named inside after OUT's file name (at most 33 characters).\n"
    "\n"
    "Options (OGF only):\n"
    "  --format 1555|4444  the pixel layout; by default 4444 when some pixel's alpha is neither 0 nor 255,\n"
    "                      otherwise 1555 (alpha 0 transparent, any other alpha opaque)\n"
    "  --mips N            write N levels, each below the first made from the one above by a 2 x 2 box\n"
    "                      filter as the game makes them (default 1; textures of the game carry 1 or 5)\n"
    "  -h, --help          show this text\n"
    "\n"
    "OUT is replaced in one step; it is never IN or a folder.\n"
    "\n"
    "Exit status: 0 OUT was written, 1 IN could not be read or converted or OUT not written, 2 usage error.\n";

constexpr CommandUsage kTexture{"texture", kTextureUsage};

constexpr std::size_t kMostMipsAsked = 127;

std::string ExtensionOf(const std::string& path) {
    const std::string name = FileNameOf(path);
    const std::size_t dot = name.rfind('.');
    return dot == std::string::npos ? std::string() : AsciiLowered(std::string_view(name).substr(dot));
}

struct ConvertArguments {
    std::vector<std::string> files;
    std::optional<std::string> format;
    std::optional<std::string> mips;
    OgfOptions ogf;
};

ArgumentParser ConvertParser(ConvertArguments& arguments) {
    ArgumentParser parser;
    parser
        .value(
            {"--format"},
            [&arguments, once = Once(arguments.format, "--format may be given only once")](const std::string& given) {
                std::string problem = once(given);
                if (problem.empty() && given != "1555" && given != "4444")
                    problem = "--format is 1555 or 4444, not '" + given + "'";
                arguments.ogf.pixels = given == "4444" ? OgfPixels::Argb4444 : OgfPixels::Argb1555;
                return problem;
            })
        .value({"--mips"},
               [&arguments, once = Once(arguments.mips, "--mips may be given only once")](const std::string& given) {
                   std::string problem = once(given);
                   std::size_t levels = 0;
                   for (const char c : given) {
                       if (c < '0' || c > '9' || levels > kMostMipsAsked) {
                           levels = 0;
                           break;
                       }
                       levels = levels * 10 + static_cast<std::size_t>(c - '0');
                   }
                   if (problem.empty() && (levels < 1 || levels > kMostMipsAsked))
                       problem = "--mips is a whole number from 1 to 127, not '" + given + "'";
                   arguments.ogf.levels = levels;
                   return problem;
               })
        .operands(arguments.files, 2, "convert needs IN and OUT", 2, "convert takes only IN and OUT");
    return parser;
}

bool IsAnimatedTextureFile(const std::string& path) {
    return ExtensionOf(path) == ".oaf";
}

// The first frame of an animated texture, with the notes about the whole file.
bool ReadFirstFrame(const std::vector<std::uint8_t>& bytes, Image& image, std::string& error) {
    AnimatedTexture texture;
    if (!ReadAnimatedTexture(bytes, texture, error))
        return false;
    image = std::move(texture.frames.front());
    image.notes = std::move(texture.notes);
    return true;
}

// An animated texture by its name, as the game tells it; PNGs by their signature; everything else goes to the
// game's one TGA/OGF reader, whose type byte decides.
bool ReadBitmapFile(const std::string& path, Image& image, std::string& error) {
    std::vector<std::uint8_t> bytes;
    if (!ReadWholeFile(path, bytes, error))
        return false;
    if (IsAnimatedTextureFile(path))
        return ReadFirstFrame(bytes, image, error);
    return IsPng(bytes) ? ReadPngImage(bytes, image, error) : ReadGameBitmap(bytes, image, error);
}

int Convert(const CommandContext& context) {
    ConvertArguments arguments;
    const ArgumentParser parser = ConvertParser(arguments);
    if (const auto exit =
            ParseCommand(context, kTexture, parser, std::span<const std::string>(context.args).subspan(1)))
        return *exit;
    const std::string& in = arguments.files[0];
    const std::string& out = arguments.files[1];
    const std::string extension = ExtensionOf(out);
    if (extension != ".png" && extension != ".ogf")
        return UsageError(context, kTexture, "OUT " + out + " ends neither in .png nor in .ogf");
    if (extension == ".png" && (arguments.format || arguments.mips))
        return UsageError(context, kTexture, "--format and --mips are for an OGF, and OUT " + out + " is a PNG");
    if (NamesFolder(out))
        return UsageError(context, kTexture, "OUT " + out + " is a folder; name the file to write");
    if (IsSameFile(out, in))
        return UsageError(context, kTexture, "OUT would be written over IN " + in);

    Image image;
    std::string error;
    if (!ReadBitmapFile(in, image, error))
        return Failed(context, "cannot read " + in + ": " + error);
    for (const std::string& note : image.notes)
        context.err << "torvale-cli: " << in << ": note: " << note << '\n';

    std::vector<std::uint8_t> bytes;
    if (extension == ".png") {
        bytes = EncodePngImage(image.level);
        if (bytes.empty())
            return Failed(context, out + ": the image cannot be made a PNG");
    } else {
        arguments.ogf.name = FileNameOf(out);
        if (!EncodeOgf(image.level, arguments.ogf, bytes, error))
            return Failed(context, out + ": " + error);
    }
    if (!ReplaceFileAtomically(out, bytes, error))
        return Failed(context, out + ": " + error);
    context.out << "Wrote " << out << " (" << image.width() << " x " << image.height() << ")\n";
    return kExitOk;
}

}  // namespace

bool IsBitmapReportFile(const std::string& path) {
    return ExtensionOf(path) == ".ogf" || IsAnimatedTextureFile(path);
}

int ReportBitmap(const CommandContext& context, const std::string& path) {
    std::string error;
    if (IsAnimatedTextureFile(path)) {
        std::vector<std::uint8_t> bytes;
        AnimatedTexture texture;
        if (!ReadWholeFile(path, bytes, error) || !ReadAnimatedTexture(bytes, texture, error))
            return Failed(context, "cannot read " + path + ": " + error);
        context.out << AnimatedTextureReport(texture, FileNameOf(path));
        return kExitOk;
    }
    Image image;
    if (!ReadBitmapFile(path, image, error))
        return Failed(context, "cannot read " + path + ": " + error);
    context.out << BitmapReport(image);
    return kExitOk;
}

int RunTexture(const CommandContext& context) {
    if (WantsHelp(context.args)) {
        context.out << kTextureUsage;
        return kExitOk;
    }
    if (context.args.empty())
        return UsageError(context, kTexture, "convert?");
    if (context.args.front() == "convert")
        return Convert(context);
    return UsageError(context, kTexture, "unknown action '" + context.args.front() + "'; use convert");
}

}  // namespace torvale::cli
