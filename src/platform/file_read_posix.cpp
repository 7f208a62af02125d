#include <fcntl.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

#include "core/file_bytes.h"
#include "core/number_text.h"

namespace torvale {
namespace {

class Descriptor {
public:
    explicit Descriptor(int fd) : fd_(fd) {}
    Descriptor(const Descriptor&) = delete;
    Descriptor& operator=(const Descriptor&) = delete;
    ~Descriptor() {
        if (fd_ >= 0)
            close(fd_);
    }
    int get() const { return fd_; }

private:
    int fd_;
};

std::string WhatItIs(mode_t mode) {
    if (S_ISDIR(mode))
        return "it is a folder, not a file";
    if (S_ISFIFO(mode))
        return "it is a pipe, not a file";
    if (S_ISCHR(mode) || S_ISBLK(mode))
        return "it is a device, not a file";
    if (S_ISSOCK(mode))
        return "it is a socket, not a file";
    return "it is not a regular file";
}

}  // namespace

bool ReadRegularFile(const std::string& path,
                     const std::function<std::uint8_t*(std::size_t size)>& place,
                     std::string& error) {
    // O_NONBLOCK: opening a pipe that nobody writes to returns at once instead of waiting for a writer.
    const Descriptor file(open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC | O_NOCTTY));
    if (file.get() < 0) {
        error = std::strerror(errno);
        return false;
    }
    struct stat info {};
    if (fstat(file.get(), &info) != 0) {
        error = std::strerror(errno);
        return false;
    }
    if (!S_ISREG(info.st_mode)) {
        error = WhatItIs(info.st_mode);
        return false;
    }
    const auto size = static_cast<std::uint64_t>(info.st_size);
    if (size > kFileSizeLimit) {
        error = "it is " + FormatInteger(static_cast<std::int64_t>(size)) +
                " bytes, more than the 2 GiB this program reads";
        return false;
    }
    std::uint8_t* at = place(static_cast<std::size_t>(size));
    std::size_t done = 0;
    while (done < size) {
        const ssize_t got = read(file.get(), at + done, static_cast<std::size_t>(size) - done);
        if (got < 0 && errno == EINTR)
            continue;
        if (got < 0) {
            error = std::strerror(errno);
            return false;
        }
        if (got == 0) {
            error = "the file became shorter while it was read";
            return false;
        }
        done += static_cast<std::size_t>(got);
    }
    return true;
}

std::uint8_t* AllocatePages(std::size_t size) {
    void* at = mmap(nullptr, size, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
    if (at == MAP_FAILED)
        return nullptr;
#ifdef MADV_HUGEPAGE
    // Large pages where the system offers them: a file of hundreds of megabytes then takes hundreds of page
    // faults instead of tens of thousands.
    (void)madvise(at, size, MADV_HUGEPAGE);
#endif
    return static_cast<std::uint8_t*>(at);
}

void DiscardPages(std::uint8_t* at, std::size_t size) {
    // Private anonymous pages given back with MADV_DONTNEED leave the process's memory at once.
    (void)madvise(at, size, MADV_DONTNEED);
}

void FreePages(std::uint8_t* at, std::size_t size) {
    (void)munmap(at, size);
}

std::size_t PageSize() {
    static const auto size = static_cast<std::size_t>(sysconf(_SC_PAGESIZE));
    return size;
}

}  // namespace torvale
