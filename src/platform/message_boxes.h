#pragma once

#include <string_view>

namespace torvale {

// Every message box of the program carries this title.
inline constexpr std::string_view kApplicationTitle = "TORVALE Conversion Utility";

enum class MessageButtons { Ok, OkCancel };
enum class MessageAnswer { Ok, Cancel };

class MessageBoxes {
public:
    virtual ~MessageBoxes() = default;
    // Shows `text` modally, titled kApplicationTitle, and returns the button that closed it.
    MessageAnswer ShowMessage(std::string_view text, MessageButtons buttons = MessageButtons::Ok) {
        return Present(text, buttons);
    }

protected:
    virtual MessageAnswer Present(std::string_view text, MessageButtons buttons) = 0;
};

}  // namespace torvale
