#include <windows.h>

#include "core/file_bytes.h"
#include "core/number_text.h"
#include "platform/utf16_win32.h"
#include "platform/win32_error.h"

namespace torvale {
namespace {

class Handle {
public:
    explicit Handle(HANDLE handle) : handle_(handle) {}
    Handle(const Handle&) = delete;
    Handle& operator=(const Handle&) = delete;
    ~Handle() {
        if (handle_ != INVALID_HANDLE_VALUE)
            CloseHandle(handle_);
    }
    HANDLE get() const { return handle_; }

private:
    HANDLE handle_;
};

}  // namespace

bool ReadRegularFile(const std::string& path,
                     const std::function<std::uint8_t*(std::size_t size)>& place,
                     std::string& error) {
    // FILE_FLAG_BACKUP_SEMANTICS lets a folder open too, so that it is refused by what it is rather than with
    // "access denied". Others may go on reading and writing the file, as with the C library's fopen.
    const Handle file(CreateFileW(Utf8ToWide(path).c_str(), GENERIC_READ,
                                  FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr, OPEN_EXISTING,
                                  FILE_FLAG_BACKUP_SEMANTICS | FILE_FLAG_SEQUENTIAL_SCAN, nullptr));
    if (file.get() == INVALID_HANDLE_VALUE) {
        error = DescribeWin32Error(GetLastError());
        return false;
    }
    const DWORD type = GetFileType(file.get());
    if (type == FILE_TYPE_PIPE) {
        error = "it is a pipe, not a file";
        return false;
    }
    if (type != FILE_TYPE_DISK) {
        error = "it is a device, not a file";
        return false;
    }
    BY_HANDLE_FILE_INFORMATION info{};
    if (!GetFileInformationByHandle(file.get(), &info)) {
        error = DescribeWin32Error(GetLastError());
        return false;
    }
    if (info.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
        error = "it is a folder, not a file";
        return false;
    }
    const std::uint64_t size = (static_cast<std::uint64_t>(info.nFileSizeHigh) << 32) | info.nFileSizeLow;
    if (size > kFileSizeLimit) {
        error = "it is " + FormatInteger(static_cast<std::int64_t>(size)) +
                " bytes, more than the 2 GiB this program reads";
        return false;
    }
    std::uint8_t* at = place(static_cast<std::size_t>(size));
    std::uint64_t done = 0;
    while (done < size) {
        const auto want = static_cast<DWORD>(size - done < (1u << 30) ? size - done : (1u << 30));
        DWORD got = 0;
        if (!ReadFile(file.get(), at + done, want, &got, nullptr)) {
            error = DescribeWin32Error(GetLastError());
            return false;
        }
        if (got == 0) {
            error = "the file became shorter while it was read";
            return false;
        }
        done += got;
    }
    return true;
}

std::uint8_t* AllocatePages(std::size_t size) {
    return static_cast<std::uint8_t*>(VirtualAlloc(nullptr, size, MEM_RESERVE | MEM_COMMIT, PAGE_READWRITE));
}

void DiscardPages(std::uint8_t* at, std::size_t size) {
    // Decommitted pages leave the process's memory; the range stays reserved until FreePages.
    (void)VirtualFree(at, size, MEM_DECOMMIT);
}

void FreePages(std::uint8_t* at, std::size_t) {
    (void)VirtualFree(at, 0, MEM_RELEASE);
}

std::size_t PageSize() {
    static const std::size_t size = [] {
        SYSTEM_INFO info{};
        GetSystemInfo(&info);
        return static_cast<std::size_t>(info.dwPageSize);
    }();
    return size;
}

}  // namespace torvale
