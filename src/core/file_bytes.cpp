#include "core/file_bytes.h"

#include <new>
#include <utility>

namespace torvale {
namespace {

// Memory goes back in whole steps of this much from the start, so that a reader passing many small chunks does
// not ask the system for every page on its own, and large pages (2 MB) are given back whole.
constexpr std::size_t kReleaseStep = std::size_t{4} << 20;

}  // namespace

FileBytes::FileBytes(FileBytes&& other) noexcept
    : data_(std::exchange(other.data_, nullptr)),
      size_(std::exchange(other.size_, 0)),
      released_(std::exchange(other.released_, 0)) {}

FileBytes& FileBytes::operator=(FileBytes&& other) noexcept {
    if (this != &other) {
        FileBytes old(std::move(*this));
        data_ = std::exchange(other.data_, nullptr);
        size_ = std::exchange(other.size_, 0);
        released_ = std::exchange(other.released_, 0);
    }
    return *this;
}

FileBytes::~FileBytes() {
    if (data_)
        FreePages(data_, size_);
}

void FileBytes::release(std::size_t count) {
    if (count > size_)
        count = size_;
    const std::size_t upTo = count / kReleaseStep * kReleaseStep;
    if (upTo <= released_)
        return;
    DiscardPages(data_ + released_, upTo - released_);
    released_ = upTo;
}

bool ReadFileBytes(const std::string& path, FileBytes& out, std::string& error) {
    FileBytes read;
    const auto place = [&](std::size_t size) -> std::uint8_t* {
        if (size == 0)
            return nullptr;
        read.data_ = AllocatePages(size);
        if (!read.data_)
            throw std::bad_alloc();
        read.size_ = size;
        return read.data_;
    };
    if (!ReadFileInto(path, place, error))
        return false;
    out = std::move(read);
    return true;
}

bool ReadFileInto(const std::string& path,
                  const std::function<std::uint8_t*(std::size_t size)>& place,
                  std::string& error) {
    try {
        return ReadRegularFile(path, place, error);
    } catch (const std::bad_alloc&) {
        error = "there is not enough memory to read the file";
        return false;
    }
}

}  // namespace torvale
