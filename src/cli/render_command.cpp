#include <charconv>
#include <cmath>
#include <optional>
#include <ostream>
#include <sstream>
#include <string>
#include <vector>

#include "app/model_findings.h"
#include "app/open_input.h"
#include "cli/cli_support.h"
#include "cli/commands.h"
#include "core/atomic_file.h"
#include "render/png_file.h"
#include "render/renderer.h"
#include "render/scene.h"

namespace torvale::cli {
namespace {

constexpr const char* kRenderUsage =
    "Usage: torvale-cli render INPUT -o PICTURE.png [--size WxH] [--yaw DEG] [--pitch DEG] [--wireframe]\n"
    "                          [--findings]\n"
    "\n"
    "Draws a model or a room (OOF, ORF, glTF, GLB or OBJ, told apart by content) as the preview window\n"
    "shows it and writes the picture as a PNG file: faces in a colour per texture, gun points and attach\n"
    "points as small squares.\n"
    "\n"
    "Options:\n"
    "  -o PICTURE.png  the picture to write (replaced if it exists)\n"
    "  --size WxH      the picture's size in pixels, 1 to 8192 each (default 800x600)\n"
    "  --yaw DEG       turn the viewer round the model to its right (default 30)\n"
    "  --pitch DEG     raise the viewer over the model (default 20)\n"
    "  --wireframe     draw the faces' edges over them\n"
    "  --findings      the faces the level editor's room check finds fault with, in red\n"
    "  -h, --help      show this text\n"
    "\n"
    "Exit status: 0 the picture was written, 1 the input could not be read or the picture not written,\n"
    "2 usage error.\n";

constexpr int kLargestSide = 8192;

int UsageError(const CommandContext& context, const std::string& problem) {
    context.err << "torvale-cli render: " << problem << "\n\n" << kRenderUsage;
    return kExitUsage;
}

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
    if (WantsHelp(context.args)) {
        context.out << kRenderUsage;
        return kExitOk;
    }
    std::string input;
    std::optional<std::string> picture;
    int width = 800;
    int height = 600;
    View view{30.0f, 20.0f, 1.0f};
    RenderOptions options;
    options.markers = true;
    const std::vector<std::string>& args = context.args;
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string& arg = args[i];
        const bool takesValue = arg == "-o" || arg == "--size" || arg == "--yaw" || arg == "--pitch";
        if (takesValue && (i + 1 >= args.size() || args[i + 1].empty()))
            return UsageError(context, arg + " needs a value");
        if (arg == "-o") {
            picture = args[++i];
        } else if (arg == "--size") {
            if (!ParseSize(args[++i], width, height))
                return UsageError(context, "--size takes WxH, each 1 to 8192, such as 800x600");
        } else if (arg == "--yaw" || arg == "--pitch") {
            if (!ParseDegrees(args[++i], arg == "--yaw" ? view.yawDegrees : view.pitchDegrees))
                return UsageError(context, arg + " takes a number of degrees");
        } else if (arg == "--wireframe") {
            options.wireframe = true;
        } else if (arg == "--findings") {
            options.findings = true;
        } else if (arg.size() > 1 && arg.front() == '-') {
            return UsageError(context, "unknown option '" + arg + "'");
        } else if (!input.empty()) {
            return UsageError(context, "only one INPUT may be given");
        } else {
            input = arg;
        }
    }
    if (input.empty())
        return UsageError(context, "INPUT is missing");
    if (!picture)
        return UsageError(context, "-o PICTURE.png is missing");
    if (NamesFolder(*picture))
        return UsageError(context, "-o " + *picture + " is a folder; name the picture to write");
    if (IsSameFile(*picture, input))
        return UsageError(context, "the picture would be written over INPUT " + input);

    // The log's report is of no use beside a picture; only a refusal is shown, on the error stream.
    std::ostringstream discarded;
    LogText log(discarded);
    std::string openError;
    const OpenedInput loaded =
        OpenInput(input, FileNamePart(input), log, {.format = context.format, .openError = &openError});
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
    FrameStore frame(width, height);
    Render(BuildPreviewScene(*loaded.scene, flagged), view, options, frame.frame());
    std::string error;
    if (!WritePng(*picture, frame.frame(), error)) {
        context.err << "torvale-cli: cannot write " << *picture << ": " << error << '\n';
        return kExitFailed;
    }
    return kExitOk;
}

}  // namespace torvale::cli
