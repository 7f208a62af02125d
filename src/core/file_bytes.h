#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <span>
#include <string>

namespace torvale {

// The largest file this program reads: no model, room or table comes near it, and a larger one is refused
// before a byte of it is read.
inline constexpr std::uint64_t kFileSizeLimit = std::uint64_t{2} << 30;

// A whole file's bytes in memory of exactly the file's size, never filled twice. A reader that goes through
// the bytes once may give back the memory of what it has passed (release), so that a large file and the model
// made from it are not both held whole.
class FileBytes {
public:
    FileBytes() = default;
    FileBytes(FileBytes&& other) noexcept;
    FileBytes& operator=(FileBytes&& other) noexcept;
    FileBytes(const FileBytes&) = delete;
    FileBytes& operator=(const FileBytes&) = delete;
    ~FileBytes();

    std::span<const std::uint8_t> bytes() const { return {data_, size_}; }
    std::size_t size() const { return size_; }

    // The first `count` bytes will not be read again: the whole pages among them go back to the system, a
    // few megabytes at a time. Reading a released byte afterwards is an error.
    void release(std::size_t count);

private:
    friend bool ReadFileBytes(const std::string& path, FileBytes& out, std::string& error);

    std::uint8_t* data_ = nullptr;
    std::size_t size_ = 0;
    std::size_t released_ = 0;  // bytes from the start already given back, a whole number of steps
};

// Reads the file at `path` whole into `out`. Refused at once, before anything is read, when the path is not a
// regular file (a directory, a device, a pipe) or the file is larger than kFileSizeLimit; `error` then says
// why, in words a user understands, and `out` is left as it was.
bool ReadFileBytes(const std::string& path, FileBytes& out, std::string& error);

// The operating-system part of reading (platform/file_read_*.cpp). ReadRegularFile opens `path` for reading
// only and without blocking (a pipe with no writer does not hold it up), refuses anything but a regular file
// of at most kFileSizeLimit bytes, and then reads the file's `size` bytes into `place(size)`. A file that is
// shorter than it said when opened is refused too.
bool ReadRegularFile(const std::string& path,
                     const std::function<std::uint8_t*(std::size_t size)>& place,
                     std::string& error);
// ReadRegularFile into memory that `place` gives, with running out of memory (std::bad_alloc from `place`)
// said in words like every other failure.
bool ReadFileInto(const std::string& path,
                  const std::function<std::uint8_t*(std::size_t size)>& place,
                  std::string& error);
// Memory for FileBytes in whole pages straight from the system; null when there is not enough.
std::uint8_t* AllocatePages(std::size_t size);
// Gives back the pages of [at, at + size), which must start on a page; they are not read again.
void DiscardPages(std::uint8_t* at, std::size_t size);
void FreePages(std::uint8_t* at, std::size_t size);
std::size_t PageSize();

}  // namespace torvale
