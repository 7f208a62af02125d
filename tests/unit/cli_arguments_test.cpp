#include <gtest/gtest.h>

#include <optional>
#include <sstream>
#include <string>
#include <vector>

#include "cli/arguments.h"
#include "cli/commands.h"

namespace torvale::cli {
namespace {

// A command of every kind of word: a flag, a value given at most once with its own text for a missing value,
// a repeatable option, and one or two operands.
struct Sorted {
    bool strict = false;
    std::optional<std::string> table;
    std::vector<std::string> games;
    std::vector<std::string> operands;
};

std::string Parse(const std::vector<std::string>& args, Sorted& sorted) {
    ArgumentParser parser;
    parser.flag("--strict", sorted.strict)
        .value({"-o", "--output"}, Once(sorted.table, "more than one table"), " needs the table's name")
        .repeated("--game", sorted.games)
        .operands(sorted.operands, 1, "FILE is missing", 2, "at most two FILEs");
    return parser.parse(args);
}

struct ParseCase {
    std::vector<std::string> args;
    std::string problem;
    std::vector<std::string> operands;
};

TEST(ArgumentParser, SortsWordsOrTellsTheFirstProblem) {
    const ParseCase cases[] = {
        {{"a"}, "", {"a"}},
        {{"a", "b"}, "", {"a", "b"}},
        {{"-", "b"}, "", {"-", "b"}},  // a lone dash is an operand (standard input, to some)
        {{"--", "-x", "--strict"}, "", {"-x", "--strict"}},
        {{"a", "--", "--"}, "", {"a", "--"}},  // only the first "--" ends the options
        {{}, "FILE is missing", {}},
        {{"--strict"}, "FILE is missing", {}},
        {{"--"}, "FILE is missing", {}},
        {{"a", "b", "c"}, "at most two FILEs", {"a", "b"}},
        {{"a", "-x"}, "unknown option '-x'", {"a"}},
        {{"--bogus", "a", "b", "c"}, "unknown option '--bogus'", {}},
        {{"a", "b", "c", "--bogus"}, "at most two FILEs", {"a", "b"}},  // the first problem in word order
        {{"--strict=1", "a"}, "unknown option '--strict=1'", {}},
        {{"a", "-o"}, "-o needs the table's name", {"a"}},
        {{"a", "--output", ""}, "--output needs the table's name", {"a"}},
        {{"a", "--game"}, "--game needs a value", {"a"}},
        {{"a", "--game", ""}, "--game needs a value", {"a"}},
        {{"a", "-o", "t", "--output", "u"}, "more than one table", {"a"}},
        {{"-o", "--strict", "a"}, "", {"a"}},  // a value may look like an option
        {{"-o", "--", "a"}, "", {"a"}},
    };
    for (const ParseCase& c : cases) {
        SCOPED_TRACE(::testing::PrintToString(c.args));
        Sorted sorted;
        EXPECT_EQ(Parse(c.args, sorted), c.problem);
        EXPECT_EQ(sorted.operands, c.operands);
    }
}

TEST(ArgumentParser, KeepsValuesFlagsAndRepeatsInOrder) {
    Sorted sorted;
    ASSERT_EQ(Parse({"--game", "g1", "x", "--strict", "--output", "t.rsc", "--game", "g2"}, sorted), "");
    EXPECT_TRUE(sorted.strict);
    EXPECT_EQ(sorted.table, "t.rsc");
    EXPECT_EQ(sorted.games, (std::vector<std::string>{"g1", "g2"}));
    EXPECT_EQ(sorted.operands, std::vector<std::string>{"x"});
}

struct Outcome {
    int status;
    std::string out;
    std::string err;
};

Outcome RunCommand(int (*command)(const CommandContext&), std::vector<std::string> args) {
    std::ostringstream out;
    std::ostringstream err;
    CommandContext context{std::move(args), "", out, err, {}};
    const int status = command(context);
    return {status, out.str(), err.str()};
}

// Each command's usage errors: one line naming the command and the problem, a blank line, the command's usage
// on the error stream, nothing on standard output, exit status 2. None of them gets as far as reading a file.
struct UsageCase {
    const char* command;
    int (*run)(const CommandContext&);
    std::vector<std::string> args;
    std::string problem;
};

TEST(CliUsageErrors, NameTheCommandAndTheProblemThenShowTheUsage) {
    const UsageCase cases[] = {
        {"report", RunReport, {}, "FILE is missing"},
        {"report", RunReport, {"--bogus"}, "unknown option '--bogus'"},
        {"report", RunReport, {"a", "b"}, "only one FILE may be given"},
        {"export", RunExport, {}, "FILE is missing"},
        {"export", RunExport, {"a", "b"}, "only one FILE may be given"},
        {"export", RunExport, {"a", "-o"}, "-o needs a value"},
        {"export", RunExport, {"a", "-o", "x", "-o", "y"}, "-o may be given only once"},
        {"export", RunExport, {"a", "--texlate", "t", "--texlate", "u"}, "--texlate may be given only once"},
        {"export", RunExport, {"a", "--scale", "abc"}, "--scale needs a finite number above 0, not 'abc'"},
        {"export", RunExport, {"a", "--merge-angle", "5"}, "--merge-angle goes with --merge-faces"},
        {"export",
         RunExport,
         {"a", "--merge-faces", "--merge-angle", "95"},
         "--merge-angle needs a number of degrees from 0 to below 90, not '95'"},
        {"export", RunExport, {"a", "--combined", "--per-subobject"}, "choose either --combined or --per-subobject"},
        {"export", RunExport, {"a", "--bogus", "b"}, "unknown option '--bogus'"},
        {"export",
         RunExport,
         {"a", "-o", "x.glb", "--reverse-faces"},
         "--reverse-faces is for room files; TARGET x.glb is a model file"},
        {"export",
         RunExport,
         {"a", "--strict", "-o", "x.obj"},
         "--strict is for room files; TARGET x.obj is a model file"},
        {"check", RunCheck, {"--strict"}, "ROOM.orf or MODEL.oof is missing"},
        {"check", RunCheck, {"a", "--game"}, "--game needs a value"},
        {"check", RunCheck, {"a", "--bogus"}, "unknown option '--bogus'"},
        {"render", RunRender, {}, "INPUT is missing"},
        {"render", RunRender, {"a"}, "-o PICTURE.png is missing"},
        {"render", RunRender, {"a", "b", "-o", "p.png"}, "only one INPUT may be given"},
        {"render", RunRender, {"a", "-o", ""}, "-o needs a value"},
        {"render", RunRender, {"--size", "10", "--bogus"}, "--size takes WxH, each 1 to 8192, such as 800x600"},
        {"render", RunRender, {"a", "-o", "p.png", "--pitch", "up"}, "--pitch takes a number of degrees"},
        {"render", RunRender, {"a", "-o", "p.png", "--yaw"}, "--yaw needs a value"},
        {"texlate", RunTexlate, {}, "build, dump or suggest?"},
        {"texlate", RunTexlate, {"merge"}, "unknown action 'merge'; use build, dump or suggest"},
        {"texlate", RunTexlate, {"build"}, "build needs the text file of pairs"},
        {"texlate", RunTexlate, {"build", "a"}, "build needs -o and the table to write"},
        {"texlate", RunTexlate, {"build", "a", "--output"}, "--output needs the table's file name"},
        {"texlate", RunTexlate, {"build", "a", "-o", "x", "-o", "y"}, "more than one table to write"},
        {"texlate", RunTexlate, {"build", "a", "b", "-o", "x"}, "more than one text file"},
        {"texlate", RunTexlate, {"dump"}, "dump needs the table to print"},
        {"texlate", RunTexlate, {"dump", "a", "b"}, "more than one table"},
        {"texlate", RunTexlate, {"dump", "-x"}, "unknown option '-x'"},
        {"texlate", RunTexlate, {"suggest", "--game", "g"}, "suggest needs at least one model"},
        {"texlate", RunTexlate, {"suggest", "a"}, "suggest needs --game and the game's folder, table or archive"},
        {"textures", RunTextures, {"a"}, "--game PATH is missing"},
        {"textures", RunTextures, {"--game"}, "--game needs a value"},
        {"texture", RunTexture, {}, "convert?"},
        {"texture", RunTexture, {"shrink"}, "unknown action 'shrink'; use convert"},
        {"texture", RunTexture, {"convert", "a"}, "convert needs IN and OUT"},
        {"texture", RunTexture, {"convert", "a", "b.ogf", "c"}, "convert takes only IN and OUT"},
        {"texture", RunTexture, {"convert", "a", "b.bmp"}, "OUT b.bmp ends neither in .png nor in .ogf"},
        {"texture", RunTexture, {"convert", "a", "b"}, "OUT b ends neither in .png nor in .ogf"},
        {"texture", RunTexture, {"convert", "a", "b.ogf", "--format", "565"}, "--format is 1555 or 4444, not '565'"},
        {"texture",
         RunTexture,
         {"convert", "a", "b.ogf", "--format", "1555", "--format", "4444"},
         "--format may be given only once"},
        {"texture", RunTexture, {"convert", "a", "b.ogf", "--mips"}, "--mips needs a value"},
        {"texture",
         RunTexture,
         {"convert", "a", "b.ogf", "--mips", "0"},
         "--mips is a whole number from 1 to 127, not '0'"},
        {"texture",
         RunTexture,
         {"convert", "a", "b.ogf", "--mips", "128"},
         "--mips is a whole number from 1 to 127, not '128'"},
        {"texture",
         RunTexture,
         {"convert", "a", "b.ogf", "--mips", "99999999999999999999999"},
         "--mips is a whole number from 1 to 127, not '99999999999999999999999'"},
        {"texture",
         RunTexture,
         {"convert", "a", "b.ogf", "--mips", "-3"},
         "--mips is a whole number from 1 to 127, not '-3'"},
        {"texture",
         RunTexture,
         {"convert", "a", "b.PNG", "--mips", "2"},
         "--format and --mips are for an OGF, and OUT b.PNG is a PNG"},
        {"texture", RunTexture, {"convert", "a.ogf", "a.ogf"}, "OUT would be written over IN a.ogf"},
    };
    for (const UsageCase& c : cases) {
        SCOPED_TRACE(std::string(c.command) + " " + ::testing::PrintToString(c.args));
        const Outcome run = RunCommand(c.run, c.args);
        EXPECT_EQ(run.status, kExitUsage);
        EXPECT_EQ(run.out, "");
        const std::string head = "torvale-cli " + std::string(c.command) + ": " + c.problem + "\n\n";
        EXPECT_EQ(run.err.substr(0, head.size()), head);
        EXPECT_EQ(run.err.substr(head.size()).rfind("Usage: torvale-cli " + std::string(c.command) + " ", 0), 0u)
            << run.err;
    }
}

// -h and --help before any "--" show the usage on standard output, whatever else is wrong with the words.
TEST(CliUsageErrors, HelpBeforeDoubleDashShowsTheUsageWhateverElseIsWrong) {
    const std::pair<int (*)(const CommandContext&), std::vector<std::string>> helped[] = {
        {RunReport, {"--bogus", "-h"}},
        {RunExport, {"a", "b", "--help"}},
        {RunCheck, {"--game", "-h"}},
        {RunRender, {"-h", "--size", "0"}},
        {RunTextures, {"--help"}},
        {RunTexture, {"convert", "a", "--help"}},
        {RunTexlate, {"dump", "a", "b", "-h"}},
    };
    for (const auto& [command, args] : helped) {
        SCOPED_TRACE(::testing::PrintToString(args));
        const Outcome run = RunCommand(command, args);
        EXPECT_EQ(run.status, kExitOk);
        EXPECT_EQ(run.out.rfind("Usage: torvale-cli ", 0), 0u) << run.out;
        EXPECT_EQ(run.err, "");
    }
    // After "--" it is an operand like any other.
    const Outcome afterDashes = RunCommand(RunReport, {"a", "--", "-h"});
    EXPECT_EQ(afterDashes.status, kExitUsage);
    EXPECT_EQ(afterDashes.err.rfind("torvale-cli report: only one FILE may be given\n", 0), 0u) << afterDashes.err;
}

}  // namespace
}  // namespace torvale::cli
