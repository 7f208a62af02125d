#include <algorithm>
#include <optional>
#include <ostream>
#include <string_view>

#include "app/open_input.h"
#include "cli/cli_support.h"
#include "cli/commands.h"
#include "core/atomic_file.h"
#include "game/game_textures.h"
#include "game/texture_names.h"
#include "orf/texlate_text.h"
#include "orf/texture_table.h"

namespace torvale::cli {
namespace {

constexpr const char* kTexlateUsage =
    "Usage: torvale-cli texlate build TEXT -o TABLE\n"
    "       torvale-cli texlate dump TABLE\n"
    "       torvale-cli texlate suggest MODEL... --game PATH...\n"
    "\n"
    "A texture translation table (texlate.rsc) maps the texture names of a model to the texture names\n"
    "its rooms get on export.\n"
    "\n"
    "  build TEXT -o TABLE  make the table TABLE from the pairs in the text file TEXT\n"
    "                       (-o may also be written --output)\n"
    "  dump TABLE           print the pairs of the table TABLE in the text form\n"
    "  suggest MODEL... --game PATH\n"
    "                       print, in the text form, a pair for every texture of the models whose page in\n"
    "                       the game's tables (see 'torvale-cli textures') has another name, and a '#'\n"
    "                       comment line for every texture no page answers\n"
    "\n"
    "The text form: one pair a line, 'model name = room name'. Blanks around a name are dropped, blanks\n"
    "inside it stay; '#' starts a comment; blank lines are skipped. Escapes: \\\\ \\= \\# and \\xHH (any\n"
    "byte, such as \\x00, or \\x20 for a blank at the start or end of a name). A table holds 1 to 2086\n"
    "pairs; when a model name has two pairs, the first one is used. Matching is case-sensitive.\n"
    "\n"
    "Exit status: 0 success, 1 bad input or a file that cannot be read or written, 2 usage error.\n";

int UsageError(const CommandContext& context, const std::string& message) {
    context.err << "torvale-cli texlate: " << message << "\n\n" << kTexlateUsage;
    return kExitUsage;
}

int Failed(const CommandContext& context, const std::string& message) {
    context.err << "torvale-cli: " << message << '\n';
    return kExitFailed;
}

bool IsHelp(std::string_view arg) {
    return arg == "--help" || arg == "-h";
}

int Build(const CommandContext& context) {
    std::optional<std::string> textPath;
    std::optional<std::string> tablePath;
    for (std::size_t i = 1; i < context.args.size(); ++i) {
        const std::string& arg = context.args[i];
        if (arg == "-o" || arg == "--output") {
            if (i + 1 == context.args.size())
                return UsageError(context, arg + " needs the table's file name");
            if (tablePath)
                return UsageError(context, "more than one table to write");
            tablePath = context.args[++i];
        } else if (arg.size() > 1 && arg.front() == '-') {
            return UsageError(context, "unknown option '" + arg + "'");
        } else {
            if (textPath)
                return UsageError(context, "more than one text file");
            textPath = arg;
        }
    }
    if (!textPath)
        return UsageError(context, "build needs the text file of pairs");
    if (!tablePath)
        return UsageError(context, "build needs -o and the table to write");
    if (NamesFolder(*tablePath))
        return UsageError(context, "-o " + *tablePath + " is a folder; name the table to write");
    if (IsSameFile(*tablePath, *textPath))
        return UsageError(context, "the table would be written over the text file " + *textPath);

    std::vector<std::uint8_t> bytes;
    std::string error;
    if (!ReadWholeFile(*textPath, bytes, error))
        return Failed(context, *textPath + ": " + error);
    TexlateTextResult parsed;
    const std::string_view text(reinterpret_cast<const char*>(bytes.data()), bytes.size());
    if (!ParseTexlateText(text, parsed, error))
        return Failed(context, *textPath + ": " + error);
    for (const std::string& note : parsed.notes)
        context.err << "torvale-cli: " << *textPath << ": " << note << '\n';
    if (parsed.pairs.empty())
        return Failed(context, *textPath + ": no pairs; a texture table holds at least one pair");

    const std::vector<std::uint8_t> table = EncodeTexturePairs(parsed.pairs);
    if (!ReplaceFileAtomically(*tablePath, table, error))
        return Failed(context, *tablePath + ": " + error);
    const std::size_t count = parsed.pairs.size();
    context.out << "Wrote " << count << (count == 1 ? " pair" : " pairs") << " to " << *tablePath << '\n';
    return kExitOk;
}

int Dump(const CommandContext& context) {
    std::optional<std::string> tablePath;
    for (std::size_t i = 1; i < context.args.size(); ++i) {
        const std::string& arg = context.args[i];
        if (arg.size() > 1 && arg.front() == '-')
            return UsageError(context, "unknown option '" + arg + "'");
        if (tablePath)
            return UsageError(context, "more than one table");
        tablePath = arg;
    }
    if (!tablePath)
        return UsageError(context, "dump needs the table to print");

    std::vector<TexturePair> pairs;
    std::string error;
    if (!ReadTexturePairsFile(*tablePath, pairs, error))
        return Failed(context, error);
    context.out << FormatTexlateText(pairs);
    return kExitOk;
}

// Discards what the model reader reports: suggest prints only the table's text.
class NoReport : public OutputSink {
public:
    void PrintOutput(std::string_view) override {}
};

int Suggest(const CommandContext& context) {
    CommandWords sorted;
    const std::string problem =
        SortCommandWords({context.args.begin() + 1, context.args.end()}, {}, {"--game"}, sorted);
    if (!problem.empty())
        return UsageError(context, problem);
    const std::vector<std::string>& models = sorted.words;
    const std::vector<std::string> gamePaths = sorted.all("--game");
    if (models.empty())
        return UsageError(context, "suggest needs at least one model");
    if (gamePaths.empty())
        return UsageError(context, "suggest needs --game and the game's folder, table or archive");

    GameTextures game;
    bool ok = LoadGameTextures(gamePaths, game, context.err);
    std::vector<std::string> names;
    for (const std::string& path : models) {
        ObjectModel model;
        NoReport quiet;
        std::string openError;
        const OpenRequest request{
            .as = OpenAs::Oof, .format = context.format, .openError = &openError, .oofModel = &model};
        if (!OpenInput(path, FileNamePart(path), quiet, request).loaded) {
            context.err << "torvale-cli: " << path << ": "
                        << (openError.empty() ? "not a model TORVALE can read" : openError) << '\n';
            ok = false;
            continue;
        }
        for (std::size_t k = 0; k < static_cast<std::size_t>(model.textureCount); ++k) {
            const std::string& stored = model.textureNames[k];
            std::string name = stored.substr(0, stored.find('\0'));
            if (std::find(names.begin(), names.end(), name) == names.end())
                names.push_back(std::move(name));
        }
    }
    context.out << SuggestTexlateText(names, game);
    return ok ? kExitOk : kExitFailed;
}

}  // namespace

int RunTexlate(const CommandContext& context) {
    for (const std::string& arg : context.args) {
        if (IsHelp(arg)) {
            context.out << kTexlateUsage;
            return kExitOk;
        }
    }
    if (context.args.empty())
        return UsageError(context, "build, dump or suggest?");
    const std::string& action = context.args.front();
    if (action == "build")
        return Build(context);
    if (action == "dump")
        return Dump(context);
    if (action == "suggest")
        return Suggest(context);
    return UsageError(context, "unknown action '" + action + "'; use build, dump or suggest");
}

}  // namespace torvale::cli
