#include <windows.h>

#include "core/process_id.h"

namespace torvale {

std::uint64_t CurrentProcessId() {
    return GetCurrentProcessId();
}

bool ProcessIsRunning(std::uint64_t pid) {
    if (pid == 0 || pid > 0xFFFFFFFFu)
        return true;
    HANDLE process = OpenProcess(PROCESS_QUERY_LIMITED_INFORMATION, FALSE, static_cast<DWORD>(pid));
    if (!process) {
        // No such process is ERROR_INVALID_PARAMETER; anything else (access denied) means it is there.
        return GetLastError() != ERROR_INVALID_PARAMETER;
    }
    DWORD code = 0;
    const BOOL asked = GetExitCodeProcess(process, &code);
    CloseHandle(process);
    return !asked || code == STILL_ACTIVE;
}

}  // namespace torvale
