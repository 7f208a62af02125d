#pragma once

#include <string_view>

namespace torvale {

// Where reports go. Everything the program tells the user in the log passes through PrintOutput;
// callers put their own CR LF before and after a message.
class OutputSink {
public:
    virtual ~OutputSink() = default;
    virtual void PrintOutput(std::string_view message) = 0;
};

// The log's line break, whatever system the program runs on.
inline constexpr std::string_view kCrLf = "\r\n";

}  // namespace torvale
