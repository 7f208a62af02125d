#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

namespace torvale {

// What a console program wrote before it closed its output.
struct ProcessCapture {
    bool started = false;  // false: the program could not be started, and nothing was read
    std::string output;    // standard output and standard error as they arrived, interleaved in one pipe
};

// The size of each read from the pipe.
inline constexpr std::size_t kPipeReadSize = 256;

// Starts console programs without a window and captures what they write.
class ProcessRunner {
public:
    virtual ~ProcessRunner() = default;
    // Starts `commandLine` (the program's path first, then its arguments, as Windows takes a command line)
    // with its standard output and standard error both on the write end of one pipe and no standard input,
    // and reads the pipe in reads of kPipeReadSize bytes until it reports its end. The program's exit code
    // is not looked at, and there is no wait on the process beyond the end of its output.
    virtual ProcessCapture Run(const std::string& commandLine) = 0;
};

// The words a Windows program finds in its command line, by the C runtime's rules: blanks and tabs separate
// words except between double quotes; 2n backslashes before a quote give n backslashes and the quote opens or
// closes quoting, 2n+1 give n backslashes and a quote character; "" inside quotes is one quote character;
// other backslashes stand for themselves. The first word, the program, ends at its closing quote or at the
// first blank, with no backslash rules. The POSIX runner starts programs with these words, so that the
// programs see the arguments they would see under Windows.
std::vector<std::string> SplitCommandLine(std::string_view commandLine);

// The runner of the system the program runs on.
ProcessRunner& SystemProcessRunner();

}  // namespace torvale
