#include <filesystem>
#include <iostream>
#include <string>
#include <vector>

#include "cli/commands.h"
#include "core/utf8_path.h"
#include "platform/file_system.h"
#include "platform/text_encoding.h"

namespace {

constexpr const char* kUsage =
    "Usage: torvale-cli COMMAND [ARGUMENTS]\n"
    "\n"
    "Descent 3 model conversion from the command line (TORVALE Conversion Utility).\n"
    "\n"
    "Commands:\n"
    "  report FILE            print the chunk-by-chunk report of an OOF model (of a bitmap for .ogf, .oaf)\n"
    "  export FILE [-o TARGET] [--combined | --per-subobject] [--texlate TABLE]\n"
    "                         convert an OOF model into ORF room files\n"
    "  check ROOM.orf... [--game PATH]... [--strict]\n"
    "                         report room files and what the level editor's room check finds\n"
    "  texlate build TEXT -o TABLE\n"
    "                         make a texture translation table from a text file of pairs\n"
    "  texlate dump TABLE     print a texture translation table as text\n"
    "  texlate suggest MODEL... --game PATH\n"
    "                         print a translation table that the game's own tables suggest\n"
    "  textures --game PATH [NAME...]\n"
    "                         list the game's texture pages, or tell how names resolve\n"
    "  texture convert IN OUT [--format 1555|4444] [--mips N]\n"
    "                         convert a bitmap between PNG, TGA and the game's OGF (from an OAF)\n"
    "  render INPUT -o PICTURE.png [--size WxH] [--yaw DEG] [--pitch DEG] [--wireframe] [--findings]\n"
    "                         draw a model or a room as a PNG picture\n"
    "  help                   show this text (also --help, -h)\n"
    "  version                show the version (also --version)\n"
    "\n"
    "Run 'torvale-cli COMMAND --help' for the options of one command.\n"
    "Exit status: 0 success, 1 the model or a file could not be processed, 2 usage error.\n";

std::string ExecutableDir(const char* argv0) {
#ifdef _WIN32
    // The system's own answer: argv[0] is in the ANSI code page and may have lost letters.
    (void)argv0;
    std::string dir = torvale::SystemFileSystem().ExecutableDirectory();
#else
    std::error_code ignored;
    std::filesystem::path self = std::filesystem::absolute(argv0, ignored);
    const auto proc = std::filesystem::read_symlink("/proc/self/exe", ignored);
    if (!proc.empty())
        self = proc;
    std::string dir = torvale::Utf8FromPath(self.parent_path());
#endif
    const char separator = static_cast<char>(std::filesystem::path::preferred_separator);
    if (dir.empty() || dir.back() != separator)
        dir += separator;
    return dir;
}

}  // namespace

int main(int argc, char** argv) {
    using namespace torvale::cli;
    torvale::UseUtf8Output();
    std::vector<std::string> args = torvale::ProgramArguments(argc, argv);
    if (args.empty()) {
        std::cerr << kUsage;
        return kExitUsage;
    }
    const std::string command = args.front();
    args.erase(args.begin());
    if (command == "help" || command == "--help" || command == "-h") {
        std::cout << kUsage;
        return kExitOk;
    }
    if (command == "version" || command == "--version") {
        std::cout << "torvale-cli " << TORVALE_VERSION_MAJOR << '.' << TORVALE_VERSION_MINOR << '.'
                  << TORVALE_VERSION_REVISION << '\n';
        return kExitOk;
    }
    CommandContext context{args, ExecutableDir(argc > 0 ? argv[0] : "torvale-cli"), std::cout, std::cerr,
                           torvale::ReportFormat{'.', torvale::GameTextToUtf8}};
    if (command == "report")
        return RunReport(context);
    if (command == "export")
        return RunExport(context);
    if (command == "texlate")
        return RunTexlate(context);
    if (command == "textures")
        return RunTextures(context);
    if (command == "check")
        return RunCheck(context);
    if (command == "texture")
        return RunTexture(context);
    if (command == "render")
        return RunRender(context);
    std::cerr << "torvale-cli: unknown command '" << command << "'\n\n" << kUsage;
    return kExitUsage;
}
