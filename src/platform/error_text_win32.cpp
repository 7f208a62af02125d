#include "core/error_text.h"
#include "platform/win32_error.h"

namespace torvale {

std::string ErrorText(const std::error_code& error) {
    // The C++ library's own text of a system error goes through the ANSI code page; the wide one does not.
    if (error.category() == std::system_category())
        return DescribeWin32Error(static_cast<unsigned long>(error.value()));
    return error.message();
}

}  // namespace torvale
