#pragma once

#include <cstdint>
#include <cstdio>
#include <memory>
#include <string>
#include <vector>

namespace torvale {

// A file opened for reading pieces of it at 64-bit offsets, so that a few bytes can be taken from an archive
// of several gigabytes without reading the rest. Errors are in words a user understands.
class RangeFile {
public:
    // Opens `path` for reading only and learns its size. False with `error` when it cannot.
    bool open(const std::string& path, std::string& error);
    bool isOpen() const { return file_ != nullptr; }
    std::uint64_t size() const { return size_; }

    // Replaces `bytes` with the `count` bytes at `offset`. False with `error`, `bytes` unchanged, when the range
    // runs past the end of the file, memory runs out or the system refuses the read.
    bool read(std::uint64_t offset, std::uint64_t count, std::vector<std::uint8_t>& bytes, std::string& error);

private:
    struct Closer {
        void operator()(std::FILE* file) const { std::fclose(file); }
    };
    std::unique_ptr<std::FILE, Closer> file_;
    std::uint64_t size_ = 0;
};

// Reads `count` bytes at `offset` of the file at `path`: RangeFile::open, then RangeFile::read.
bool ReadFileRange(const std::string& path,
                   std::uint64_t offset,
                   std::uint64_t count,
                   std::vector<std::uint8_t>& bytes,
                   std::string& error);

}  // namespace torvale
