#pragma once

#include <ostream>
#include <string>
#include <string_view>
#include <vector>

#include "core/output_sink.h"

namespace torvale {
class GameTextures;
}

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

// The last part of a path, as the log names files.
std::string FileNamePart(const std::string& path);

// True when -h or --help comes before any "--".
bool WantsHelp(const std::vector<std::string>& args);

// Loads the game's texture pages from the --game paths, in order. Each problem goes to `err` as one line;
// false when there was one (the pages that did load stay in `game`).
bool LoadGameTextures(const std::vector<std::string>& paths, GameTextures& game, std::ostream& err);

}  // namespace torvale::cli
