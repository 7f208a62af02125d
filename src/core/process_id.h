#pragma once

#include <cstdint>

namespace torvale {

// Implemented per platform (platform/process_liveness_*.cpp).

// The id of this process.
std::uint64_t CurrentProcessId();

// False only when no process with this id is running any more; a process that exists but that this one may
// not look at counts as running.
bool ProcessIsRunning(std::uint64_t pid);

}  // namespace torvale
