#pragma once

#include <ostream>
#include <string>
#include <string_view>
#include <vector>

#include "app/texture_finder.h"
#include "cli/commands.h"
#include "core/output_sink.h"
#include "game/game_files.h"
#include "game/game_textures.h"

namespace torvale::cli {

// Keeps the messages as the output log shows them (four spaces, then the message), without the log's limit
// on its length, and writes them out with the platform's line breaks once a step is done.
class LogText : public OutputSink {
public:
    explicit LogText(std::ostream& out) : out_(out) {}
    void PrintOutput(std::string_view message) override {
        text_.append("    ");
        text_.append(message);
    }
    void flush();
    const std::string& text() const { return text_; }

private:
    std::ostream& out_;
    std::string text_;
};

// Prints "torvale-cli: MESSAGE" on the error stream; returns the exit status of a failed command.
int Failed(const CommandContext& context, const std::string& message);

// True when `target` names a folder rather than a file: a folder that exists, a path ending in a separator, or a
// last part "." or "..".
bool NamesFolder(const std::string& target);

// The first of `outputs` that is the same file as one of `inputs`, or empty when none is.
std::string OutputThatIsInput(const std::vector<std::string>& outputs, const std::vector<std::string>& inputs);

// A whole word read as a decimal number ("100", "2.54", "1e-2", and also "nan" and "inf", which the caller
// judges). False when the word is anything else.
bool ParseDecimal(const std::string& text, double& value);

// Loads the game's texture pages from the --game paths, in order. Each note ("note: <path> holds no table
// file") and each problem goes to `err` as one line; false when there was a problem or no path held a table
// at all (the pages that did load stay in `game`).
bool LoadGameTextures(const std::vector<std::string>& paths, GameTextures& game, std::ostream& err);

// Where a command finds the images of textures: the game set of its --game paths (their pages and files) and
// the image folders of its --textures options. Made in place: the finder points into the rest.
struct TextureSources {
    GameTextures pages;
    GameFiles files;
    TextureFinder finder;
};

// The usage text's lines for --textures, shared by the commands that draw or write textures.
inline constexpr const char* kTexturesOptionUsage =
    "  --textures DIR   a folder of images named after texture names (NAME.png, NAME.tga or NAME.ogf,\n"
    "                   without regard to case), searched before the game's files; may be given more\n"
    "                   than once, the first folder first\n";

// Opens the sources: the --game paths' tables (as LoadGameTextures, when there are any) and files, and the
// --textures folders, each of which must be a folder. Problems go to `err` one line each; false when there was
// one (what did open stays usable).
bool OpenTextureSources(const std::vector<std::string>& gamePaths,
                        const std::vector<std::string>& folders,
                        TextureSources& sources,
                        std::ostream& err);

}  // namespace torvale::cli
