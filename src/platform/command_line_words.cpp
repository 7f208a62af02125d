#include "platform/process_runner.h"

namespace torvale {
namespace {

bool IsBlank(char c) {
    return c == ' ' || c == '\t';
}

}  // namespace

std::vector<std::string> SplitCommandLine(std::string_view line) {
    std::vector<std::string> words;
    std::size_t at = 0;
    while (at < line.size() && IsBlank(line[at]))
        ++at;
    if (at == line.size())
        return words;

    // The program: quoted up to the closing quote, else up to the first blank.
    std::string program;
    if (line[at] == '"') {
        ++at;
        while (at < line.size() && line[at] != '"')
            program += line[at++];
        if (at < line.size())
            ++at;
    } else {
        while (at < line.size() && !IsBlank(line[at]))
            program += line[at++];
    }
    words.push_back(program);

    for (;;) {
        while (at < line.size() && IsBlank(line[at]))
            ++at;
        if (at == line.size())
            return words;
        std::string word;
        bool quoted = false;
        while (at < line.size() && (quoted || !IsBlank(line[at]))) {
            if (line[at] == '\\') {
                std::size_t slashes = 0;
                while (at < line.size() && line[at] == '\\') {
                    ++slashes;
                    ++at;
                }
                if (at < line.size() && line[at] == '"') {
                    word.append(slashes / 2, '\\');
                    if (slashes % 2 == 1) {
                        word += '"';
                        ++at;
                    }
                } else {
                    word.append(slashes, '\\');
                }
            } else if (line[at] == '"') {
                if (quoted && at + 1 < line.size() && line[at + 1] == '"') {
                    word += '"';
                    at += 2;
                } else {
                    quoted = !quoted;
                    ++at;
                }
            } else {
                word += line[at++];
            }
        }
        words.push_back(word);
    }
}

}  // namespace torvale
