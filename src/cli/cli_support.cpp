#include "cli/cli_support.h"
#include "core/utf8_path.h"

#include <filesystem>

#include "cli/commands.h"
#include "game/game_textures.h"

namespace torvale::cli {

void LogText::flush() {
    out_ << ToPlatformLineBreaks(text_) << std::flush;
    text_.clear();
}

std::string FileNamePart(const std::string& path) {
    return Utf8FromPath(PathFromUtf8(path).filename());
}

bool WantsHelp(const std::vector<std::string>& args) {
    for (const std::string& arg : args) {
        if (arg == "--")
            return false;
        if (arg == "--help" || arg == "-h")
            return true;
    }
    return false;
}

bool LoadGameTextures(const std::vector<std::string>& paths, GameTextures& game, std::ostream& err) {
    const std::vector<std::string> problems = game.load(paths);
    for (const std::string& problem : problems)
        err << "torvale-cli: " << problem << '\n';
    return problems.empty();
}

}  // namespace torvale::cli
