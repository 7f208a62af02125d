#include <charconv>
#include <cmath>
#include <optional>
#include <ostream>
#include <sstream>
#include <string>
#include <vector>

#include "app/model_findings.h"
#include "app/open_input.h"
#include "cli/arguments.h"
#include "cli/cli_support.h"
#include "cli/commands.h"
#include "core/atomic_file.h"
#include "core/path_text.h"
#include "render/png_file.h"
#include "render/renderer.h"
#include "render/scene.h"

namespace torvale::cli {
namespace {

constexpr const char* kRenderUsage =
    "Usage: torvale-cli render INPUT -o PICTURE.png [--size WxH] [--yaw DEG] [--pitch DEG] [--wireframe]\n"
    "                          [--findings] [--game PATH]... [--textures DIR]...\n"
    "\n"
    "Draws a model or a room (OOF, ORF, glTF, GLB or OBJ, told apart by content) as the preview window\n"
    "shows it and writes the picture as a PNG file: faces with their textures where an image of them is\n"
    "found (the model's own images, --textures, --game), the others in a colour per texture, gun points\n"
    "and attach points as small squares.\n"
    "\n"
    "Options:\n"
    "  -o PICTURE.png  the picture to write (replaced if it exists)\n"
    "  --size WxH      the picture's size in pixels, 1 to 8192 each (default 800x600)\n"
    "  --yaw DEG       turn the viewer round the model to its right (default 30)\n"
    "  --pitch DEG     raise the viewer over the model (default 20)\n"
    "  --wireframe     draw the faces' edges over them\n"
    "  --findings      the faces the level editor's room check finds fault with, in red\n"
    "  --game PATH     a Descent 3 folder, a .gam table or a .hog or .mn3 archive whose texture pages and\n"
    "                  bitmaps give the textures' images; may be given more than once\n"
    "  --textures DIR  a folder of images named after texture names (NAME.png, NAME.tga or NAME.ogf,\n"
    "                  without regard to case), searched before the game's files; may be given more than\n"
    "                  once\n"
    "  -h, --help      show this text\n"
    "\n"
    "Exit status: 0 the picture was written, 1 the input could not be read or the picture not written,\n"
    "2 usage error.\n";

constexpr int kLargestSide = 8192;

constexpr CommandUsage kRender{"render", kRenderUsage};

bool ParseSize(const std::string& text, int& width, int& height) {
    const std::size_t x = text.find_first_of("xX");
    if (x == std::string::npos)
        return false;
    const char* begin = text.data();
    const char* end = text.data() + text.size();
    const auto w = std::from_chars(begin, begin + x, width);
    const auto h = std::from_chars(begin + x + 1, end, height);
    return w.ec == std::errc{} && w.ptr == begin + x && h.ec == std::errc{} && h.ptr == end && width >= 1 &&
           height >= 1 && width <= kLargestSide && height <= kLargestSide;
}

bool ParseDegrees(const std::string& text, float& degrees) {
    const char* end = text.data() + text.size();
    const auto parsed = std::from_chars(text.data(), end, degrees);
    return parsed.ec == std::errc{} && parsed.ptr == end && std::isfinite(degrees);
}

}  // namespace

int RunRender(const CommandContext& context) {
    std::vector<std::string> inputs;
    std::optional<std::string> picture;
    int width = 800;
    int height = 600;
    View view{30.0f, 20.0f, 1.0f};
    RenderOptions options;
    options.markers = true;
    std::vector<std::string> gamePaths;
    std::vector<std::string> textureFolders;
    const auto degrees = [](std::string name, float& into) {
        return [name, &into](const std::string& given) {
            return ParseDegrees(given, into) ? std::string() : name + " takes a number of degrees";
        };
    };
    ArgumentParser parser;
    parser
        .value({"-o"},
               [&picture](const std::string& given) {
                   picture = given;  // the last one given counts
                   return std::string();
               })
        .value({"--size"},
               [&width, &height](const std::string& given) {
                   return ParseSize(given, width, height) ? std::string()
                                                          : "--size takes WxH, each 1 to 8192, such as 800x600";
               })
        .value({"--yaw"}, degrees("--yaw", view.yawDegrees))
        .value({"--pitch"}, degrees("--pitch", view.pitchDegrees))
        .flag("--wireframe", options.wireframe)
        .flag("--findings", options.findings)
        .repeated("--game", gamePaths)
        .repeated("--textures", textureFolders)
        .operands(inputs, 1, "INPUT is missing", 1, "only one INPUT may be given");
    if (const auto exit = ParseCommand(context, kRender, parser, context.args))
        return *exit;
    const std::string& input = inputs.front();
    if (!picture)
        return UsageError(context, kRender, "-o PICTURE.png is missing");
    if (NamesFolder(*picture))
        return UsageError(context, kRender, "-o " + *picture + " is a folder; name the picture to write");
    if (IsSameFile(*picture, input))
        return UsageError(context, kRender, "the picture would be written over INPUT " + input);

    TextureSources sources;
    if (!OpenTextureSources(gamePaths, textureFolders, sources, context.err))
        return kExitFailed;

    // The log's report is of no use beside a picture; only a refusal is shown, on the error stream.
    std::ostringstream discarded;
    LogText log(discarded);
    std::string openError;
    const OpenedInput loaded =
        OpenInput(input, FileNameOf(input), log, {.format = context.format, .openError = &openError});
    if (!loaded.loaded) {
        if (!openError.empty())
            context.err << "torvale-cli: cannot read " << input << ": " << openError << '\n';
        else
            context.err << ToPlatformLineBreaks(log.text());
        return kExitFailed;
    }
    if (!loaded.scene) {
        context.err << "torvale-cli: " << input << ": " << loaded.sceneProblem << '\n';
        return kExitFailed;
    }
    const std::vector<std::size_t> flagged = !options.findings ? std::vector<std::size_t>{}
                                             : loaded.room     ? FlaggedFacesOf(*loaded.room)
                                                               : FlaggedFacesOf(*loaded.scene);
    std::vector<std::string> notes;
    const TextureImages images = FindTextureImages(loaded.scene->textures, {}, sources.finder, notes);
    for (const std::string& note : notes)
        context.err << "note: " << note << '\n';
    options.textures = true;
    FrameStore frame(width, height);
    Render(BuildPreviewScene(*loaded.scene, flagged), view, options, frame.frame(), images);
    std::string error;
    if (!WritePng(*picture, frame.frame(), error)) {
        context.err << "torvale-cli: cannot write " << *picture << ": " << error << '\n';
        return kExitFailed;
    }
    return kExitOk;
}

}  // namespace torvale::cli
