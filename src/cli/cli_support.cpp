#include "cli/cli_support.h"
#include "core/utf8_path.h"

#include <charconv>
#include <filesystem>

#include "cli/commands.h"
#include "core/atomic_file.h"
#include "core/path_text.h"
#include "game/game_textures.h"

namespace torvale::cli {

void LogText::flush() {
    out_ << ToPlatformLineBreaks(text_) << std::flush;
    text_.clear();
}

int Failed(const CommandContext& context, const std::string& message) {
    context.err << "torvale-cli: " << message << '\n';
    return kExitFailed;
}

bool NamesFolder(const std::string& target) {
    std::error_code ignored;
    if (target.empty() || std::filesystem::is_directory(PathFromUtf8(target), ignored))
        return true;
    const std::string name = target.substr(FileNameStart(target));
    return name.empty() || name == "." || name == "..";
}

std::string OutputThatIsInput(const std::vector<std::string>& outputs, const std::vector<std::string>& inputs) {
    for (const std::string& output : outputs) {
        for (const std::string& input : inputs) {
            if (IsSameFile(output, input))
                return output;
        }
    }
    return {};
}

bool ParseDecimal(const std::string& text, double& value) {
    const char* end = text.data() + text.size();
    const auto parsed = std::from_chars(text.data(), end, value);
    return !text.empty() && parsed.ec == std::errc{} && parsed.ptr == end;
}

bool LoadGameTextures(const std::vector<std::string>& paths, GameTextures& game, std::ostream& err) {
    const GameTextures::Report report = game.load(paths);
    for (const std::string& note : report.notes)
        err << "note: " << note << '\n';
    for (const std::string& problem : report.problems)
        err << "torvale-cli: " << problem << '\n';
    // A set of nothing but table-less missions would judge every texture unknown.
    if (report.problems.empty() && game.tablesRead().empty()) {
        err << "torvale-cli: no table file in any --game path\n";
        return false;
    }
    return report.problems.empty();
}

bool OpenTextureSources(const std::vector<std::string>& gamePaths,
                        const std::vector<std::string>& folders,
                        TextureSources& sources,
                        std::ostream& err) {
    bool ok = true;
    for (const std::string& folder : folders) {
        std::error_code ec;
        if (!std::filesystem::is_directory(PathFromUtf8(folder), ec)) {
            err << "torvale-cli: --textures " << folder << ": no such folder\n";
            ok = false;
            continue;
        }
        sources.finder.addFolder(folder);
    }
    if (gamePaths.empty())
        return ok;
    const bool tables = LoadGameTextures(gamePaths, sources.pages, err);
    const std::vector<std::string> problems = sources.files.open(gamePaths);
    // A damaged archive the tables were looked for in has been named already.
    for (const std::string& problem : tables ? problems : std::vector<std::string>{})
        err << "torvale-cli: " << problem << '\n';
    ok = ok && tables && problems.empty();
    sources.finder.setGame(&sources.pages, &sources.files);
    return ok;
}

}  // namespace torvale::cli
