#include "cli/arguments.h"

#include <algorithm>
#include <ostream>

namespace torvale::cli {

ArgumentParser& ArgumentParser::flag(std::initializer_list<std::string_view> names, Take take) {
    options_.push_back({{names.begin(), names.end()}, false, std::move(take), {}});
    return *this;
}

ArgumentParser& ArgumentParser::flag(std::string_view name, bool& seen) {
    return flag({name}, [&seen](const std::string&) {
        seen = true;
        return std::string();
    });
}

ArgumentParser& ArgumentParser::value(std::initializer_list<std::string_view> names,
                                      Take take,
                                      std::string_view missing) {
    options_.push_back({{names.begin(), names.end()}, true, std::move(take), std::string(missing)});
    return *this;
}

ArgumentParser& ArgumentParser::repeated(std::string_view name, std::vector<std::string>& values) {
    return value({name}, [&values](const std::string& given) {
        values.push_back(given);
        return std::string();
    });
}

ArgumentParser& ArgumentParser::operands(std::vector<std::string>& into,
                                         std::size_t least,
                                         std::string_view missing,
                                         std::size_t most,
                                         std::string_view tooMany) {
    operands_ = &into;
    least_ = least;
    most_ = most;
    missing_ = missing;
    tooMany_ = tooMany;
    return *this;
}

const ArgumentParser::Option* ArgumentParser::find(std::string_view name) const {
    for (const Option& option : options_) {
        if (std::find(option.names.begin(), option.names.end(), name) != option.names.end())
            return &option;
    }
    return nullptr;
}

std::string ArgumentParser::parse(std::span<const std::string> args) const {
    bool optionsEnded = false;
    std::size_t count = 0;
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string& arg = args[i];
        if (!optionsEnded && arg == "--") {
            optionsEnded = true;
            continue;
        }
        if (optionsEnded || arg.size() < 2 || arg.front() != '-') {
            if (count == most_)
                return tooMany_;
            ++count;
            if (operands_)
                operands_->push_back(arg);
            continue;
        }
        const Option* option = find(arg);
        if (!option)
            return "unknown option '" + arg + "'";
        std::string problem;
        if (!option->takesValue) {
            problem = option->take({});
        } else if (i + 1 >= args.size() || args[i + 1].empty()) {
            return arg + option->missing;
        } else {
            problem = option->take(args[++i]);
        }
        if (!problem.empty())
            return problem;
    }
    if (count < least_)
        return missing_;
    return {};
}

ArgumentParser::Take Once(std::optional<std::string>& into, std::string problem) {
    return [&into, problem = std::move(problem)](const std::string& given) {
        if (into)
            return problem;
        into = given;
        return std::string();
    };
}

bool WantsHelp(std::span<const std::string> args) {
    for (const std::string& arg : args) {
        if (arg == "--")
            return false;
        if (arg == "--help" || arg == "-h")
            return true;
    }
    return false;
}

int UsageError(const CommandContext& context, const CommandUsage& usage, std::string_view problem) {
    context.err << "torvale-cli " << usage.name << ": " << problem << "\n\n" << usage.text;
    return kExitUsage;
}

std::optional<int> ParseCommand(const CommandContext& context,
                                const CommandUsage& usage,
                                const ArgumentParser& parser,
                                std::span<const std::string> args) {
    if (WantsHelp(args)) {
        context.out << usage.text;
        return kExitOk;
    }
    const std::string problem = parser.parse(args);
    if (!problem.empty())
        return UsageError(context, usage, problem);
    return std::nullopt;
}

}  // namespace torvale::cli
