#include <signal.h>
#include <unistd.h>

#include <cerrno>
#include <limits>

#include "core/process_id.h"

namespace torvale {

std::uint64_t CurrentProcessId() {
    return static_cast<std::uint64_t>(getpid());
}

bool ProcessIsRunning(std::uint64_t pid) {
    // Ids beyond pid_t, and 0 (which kill takes as the whole process group), name no single process we could ask
    // about; they are taken as running so that nothing of theirs is touched.
    if (pid == 0 || pid > static_cast<std::uint64_t>(std::numeric_limits<pid_t>::max()))
        return true;
    // Signal 0 checks only that the process exists: ESRCH means it is gone, EPERM that it runs as another user.
    return kill(static_cast<pid_t>(pid), 0) == 0 || errno != ESRCH;
}

}  // namespace torvale
