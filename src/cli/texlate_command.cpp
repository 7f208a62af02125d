#include <algorithm>
#include <optional>
#include <ostream>
#include <span>
#include <string_view>

#include "app/open_input.h"
#include "cli/arguments.h"
#include "cli/cli_support.h"
#include "cli/commands.h"
#include "core/atomic_file.h"
#include "core/path_text.h"
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

constexpr CommandUsage kTexlate{"texlate", kTexlateUsage};

// The words after the action.
std::span<const std::string> ActionArguments(const CommandContext& context) {
    return std::span<const std::string>(context.args).subspan(1);
}

int Build(const CommandContext& context) {
    std::vector<std::string> texts;
    std::optional<std::string> tablePath;
    ArgumentParser parser;
    parser.value({"-o", "--output"}, Once(tablePath, "more than one table to write"), " needs the table's file name")
        .operands(texts, 1, "build needs the text file of pairs", 1, "more than one text file");
    if (const auto exit = ParseCommand(context, kTexlate, parser, ActionArguments(context)))
        return *exit;
    const std::string& textPath = texts.front();
    if (!tablePath)
        return UsageError(context, kTexlate, "build needs -o and the table to write");
    if (NamesFolder(*tablePath))
        return UsageError(context, kTexlate, "-o " + *tablePath + " is a folder; name the table to write");
    if (IsSameFile(*tablePath, textPath))
        return UsageError(context, kTexlate, "the table would be written over the text file " + textPath);

    std::vector<std::uint8_t> bytes;
    std::string error;
    if (!ReadWholeFile(textPath, bytes, error))
        return Failed(context, textPath + ": " + error);
    TexlateTextResult parsed;
    const std::string_view text(reinterpret_cast<const char*>(bytes.data()), bytes.size());
    if (!ParseTexlateText(text, parsed, error))
        return Failed(context, textPath + ": " + error);
    for (const std::string& note : parsed.notes)
        context.err << "torvale-cli: " << textPath << ": " << note << '\n';
    if (parsed.pairs.empty())
        return Failed(context, textPath + ": no pairs; a texture table holds at least one pair");

    const std::vector<std::uint8_t> table = EncodeTexturePairs(parsed.pairs);
    if (!ReplaceFileAtomically(*tablePath, table, error))
        return Failed(context, *tablePath + ": " + error);
    const std::size_t count = parsed.pairs.size();
    context.out << "Wrote " << count << (count == 1 ? " pair" : " pairs") << " to " << *tablePath << '\n';
    return kExitOk;
}

int Dump(const CommandContext& context) {
    std::vector<std::string> tables;
    ArgumentParser parser;
    parser.operands(tables, 1, "dump needs the table to print", 1, "more than one table");
    if (const auto exit = ParseCommand(context, kTexlate, parser, ActionArguments(context)))
        return *exit;
    const std::string& tablePath = tables.front();

    std::vector<TexturePair> pairs;
    std::string error;
    if (!ReadTexturePairsFile(tablePath, pairs, error))
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
    std::vector<std::string> models;
    std::vector<std::string> gamePaths;
    ArgumentParser parser;
    parser.repeated("--game", gamePaths).operands(models, 1, "suggest needs at least one model");
    if (const auto exit = ParseCommand(context, kTexlate, parser, ActionArguments(context)))
        return *exit;
    if (gamePaths.empty())
        return UsageError(context, kTexlate, "suggest needs --game and the game's folder, table or archive");

    GameTextures game;
    bool ok = LoadGameTextures(gamePaths, game, context.err);
    std::vector<std::string> names;
    for (const std::string& path : models) {
        ObjectModel model;
        NoReport quiet;
        std::string openError;
        const OpenRequest request{
            .as = OpenAs::Oof, .format = context.format, .openError = &openError, .oofModel = &model};
        if (!OpenInput(path, FileNameOf(path), quiet, request).loaded) {
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
    if (WantsHelp(context.args)) {
        context.out << kTexlateUsage;
        return kExitOk;
    }
    if (context.args.empty())
        return UsageError(context, kTexlate, "build, dump or suggest?");
    const std::string& action = context.args.front();
    if (action == "build")
        return Build(context);
    if (action == "dump")
        return Dump(context);
    if (action == "suggest")
        return Suggest(context);
    return UsageError(context, kTexlate, "unknown action '" + action + "'; use build, dump or suggest");
}

}  // namespace torvale::cli
