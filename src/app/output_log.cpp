#include "app/output_log.h"

namespace torvale {

const std::string& Banner() {
    static const std::string banner =
        "-- Descent 3 TORVALE Conversion Utility --\r\n"
        "Written and maintained by the TORVALE developers.\r\n"
        "\r\n"
        "Home page, updates and questions:\r\n"
        "https://torvale.example.org\r\n"
        "--------------------------------------------------------------------\r\n";
    return banner;
}

void OutputLog::setInitialText(std::string text) {
    text_ = std::move(text);
    caret_ = 0;
    if (listener_)
        listener_({true, {}});
}

void OutputLog::PrintOutput(std::string_view message) {
    bool replaced = false;
    // The four spaces the append adds are not counted; a sum of exactly the limit does not clear.
    if (text_.size() + message.size() > kOutputLogLimit) {
        text_.clear();
        replaced = true;
    }
    if (message == kResetMessage) {
        // The caret is not moved: after the text is replaced it stands at the start.
        text_ = Banner();
        caret_ = 0;
        if (listener_)
            listener_({true, {}});
        return;
    }
    const std::size_t before = text_.size();
    text_.reserve(before + 4 + message.size());
    text_.append("    ");
    text_.append(message);
    caret_ = text_.size();
    if (listener_) {
        if (replaced)
            listener_({true, {}});
        else
            listener_({false, std::string_view(text_).substr(before)});
    }
}

}  // namespace torvale
