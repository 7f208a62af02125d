#pragma once

#include <cstddef>
#include <functional>
#include <string>
#include <string_view>

#include "core/output_sink.h"

namespace torvale {

// The one-character message that replaces the log by the banner.
inline constexpr std::string_view kResetMessage = "\x01";
// An append whose message would take the log past this many characters empties the log first.
inline constexpr std::size_t kOutputLogLimit = 65535;

// The six banner lines, each ending in CR LF.
const std::string& Banner();

// The output log's text and caret. A view (the Win32 edit control) can follow every change through the
// listener without copying the whole text each time.
class OutputLog : public OutputSink {
public:
    struct Change {
        bool replaced;  // true: the whole text is now `text()`; false: `appended` was added at the end
        std::string_view appended;
    };
    using Listener = std::function<void(const Change&)>;

    void PrintOutput(std::string_view message) override;

    const std::string& text() const { return text_; }
    std::size_t caret() const { return caret_; }
    void setListener(Listener listener) { listener_ = std::move(listener); }
    // Sets the text as it stands before the main window's loading sends the reset message.
    void setInitialText(std::string text);

private:
    std::string text_;
    std::size_t caret_ = 0;
    Listener listener_;
};

}  // namespace torvale
