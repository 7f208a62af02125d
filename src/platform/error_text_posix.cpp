#include "core/error_text.h"

namespace torvale {

std::string ErrorText(const std::error_code& error) {
    return error.message();
}

}  // namespace torvale
