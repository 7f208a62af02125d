#include <windows.h>

#include "core/atomic_file.h"
#include "platform/utf16_win32.h"
#include "platform/win32_error.h"

namespace torvale {

bool MoveFileReplacing(const std::string& from, const std::string& to, std::string& error) {
    if (MoveFileExW(Utf8ToWide(from).c_str(), Utf8ToWide(to).c_str(),
                    MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH))
        return true;
    error = DescribeWin32Error(GetLastError());
    return false;
}

}  // namespace torvale
