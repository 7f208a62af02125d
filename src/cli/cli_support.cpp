#include "cli/cli_support.h"
#include "core/utf8_path.h"

#include <algorithm>
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

bool WantsHelp(const std::vector<std::string>& args) {
    for (const std::string& arg : args) {
        if (arg == "--")
            return false;
        if (arg == "--help" || arg == "-h")
            return true;
    }
    return false;
}

bool CommandWords::has(std::string_view flag) const {
    return std::find(flags.begin(), flags.end(), flag) != flags.end();
}

std::vector<std::string> CommandWords::all(std::string_view option) const {
    std::vector<std::string> found;
    for (const auto& [name, value] : values) {
        if (name == option)
            found.push_back(value);
    }
    return found;
}

std::string SortCommandWords(const std::vector<std::string>& args,
                             std::initializer_list<std::string_view> flags,
                             std::initializer_list<std::string_view> valued,
                             CommandWords& sorted) {
    const auto known = [](std::initializer_list<std::string_view> list, std::string_view word) {
        return std::find(list.begin(), list.end(), word) != list.end();
    };
    bool optionsEnded = false;
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string& arg = args[i];
        if (optionsEnded || arg.size() < 2 || arg.front() != '-') {
            sorted.words.push_back(arg);
        } else if (arg == "--") {
            optionsEnded = true;
        } else if (known(flags, arg)) {
            sorted.flags.push_back(arg);
        } else if (known(valued, arg)) {
            if (i + 1 >= args.size() || args[i + 1].empty())
                return arg + " needs a value";
            sorted.values.emplace_back(arg, args[++i]);
        } else {
            return "unknown option '" + arg + "'";
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

}  // namespace torvale::cli
