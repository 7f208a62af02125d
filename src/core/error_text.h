#pragma once

#include <string>
#include <system_error>

namespace torvale {

// An operating system's error as text for the log and the messages, in UTF-8: on Windows the system's own words
// in the user's language (whatever the ANSI code page spells), elsewhere the C library's.
// Implemented per platform (platform/error_text_*.cpp).
std::string ErrorText(const std::error_code& error);

}  // namespace torvale
