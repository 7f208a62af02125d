#pragma once

#include <cstddef>
#include <functional>
#include <initializer_list>
#include <limits>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "cli/commands.h"

namespace torvale::cli {

// A command's name as its messages give it ("export") and the text -h or --help prints.
struct CommandUsage {
    std::string_view name;
    std::string_view text;
};

// The words of one command, sorted into options and operands. A word of two or more characters starting with
// '-' is an option until a "--" word, which ends the options; a lone "-" is an operand. Each option and operand
// is handed on as it comes, so the problem told is the first one in the order of the words.
class ArgumentParser {
public:
    // What is wrong with an option's value (or with the option itself), or nothing.
    using Take = std::function<std::string(const std::string& value)>;
    static constexpr std::size_t kAny = std::numeric_limits<std::size_t>::max();

    // An option without a value.
    ArgumentParser& flag(std::initializer_list<std::string_view> names, Take take);
    ArgumentParser& flag(std::string_view name, bool& seen);
    // An option that takes the next word as its value. A value that is absent or empty is refused as the
    // option's name followed by `missing`.
    ArgumentParser& value(std::initializer_list<std::string_view> names,
                          Take take,
                          std::string_view missing = " needs a value");
    // An option that may be given more than once, its values kept in order.
    ArgumentParser& repeated(std::string_view name, std::vector<std::string>& values);
    // The operands, kept in order: at least `least` (else `missing`), at most `most` (else `tooMany`).
    ArgumentParser& operands(std::vector<std::string>& into,
                             std::size_t least,
                             std::string_view missing,
                             std::size_t most = kAny,
                             std::string_view tooMany = {});

    // Empty when the words are sound, otherwise what is wrong ("--game needs a value", "unknown option '-x'").
    std::string parse(std::span<const std::string> args) const;

private:
    struct Option {
        std::vector<std::string> names;
        bool takesValue = false;
        Take take;
        std::string missing;
    };
    const Option* find(std::string_view name) const;

    std::vector<Option> options_;
    std::vector<std::string>* operands_ = nullptr;
    std::size_t least_ = 0;
    std::size_t most_ = kAny;
    std::string missing_;
    std::string tooMany_;
};

// A Take that keeps the one value of an option given at most once; a second one is refused with `problem`.
ArgumentParser::Take Once(std::optional<std::string>& into, std::string problem);

// True when -h or --help comes before any "--".
bool WantsHelp(std::span<const std::string> args);

// Prints "torvale-cli COMMAND: PROBLEM", a blank line and the command's usage on the error stream.
int UsageError(const CommandContext& context, const CommandUsage& usage, std::string_view problem);

// Reads a command's words: with -h or --help its usage is printed (exit status 0), with a problem the usage
// error (exit status 2). Nothing when the words are sound and the command goes on.
std::optional<int> ParseCommand(const CommandContext& context,
                                const CommandUsage& usage,
                                const ArgumentParser& parser,
                                std::span<const std::string> args);

}  // namespace torvale::cli
