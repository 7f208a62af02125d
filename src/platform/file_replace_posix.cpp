#include <cerrno>
#include <cstdio>
#include <cstring>

#include "core/atomic_file.h"

namespace torvale {

bool MoveFileReplacing(const std::string& from, const std::string& to, std::string& error) {
    // rename(2) replaces the target in one step.
    if (std::rename(from.c_str(), to.c_str()) == 0)
        return true;
    error = std::strerror(errno);
    return false;
}

}  // namespace torvale
