#pragma once

#include <string>

namespace torvale {

// The system's own text for a Win32 error code, without the trailing line break.
std::string DescribeWin32Error(unsigned long code);

}  // namespace torvale
