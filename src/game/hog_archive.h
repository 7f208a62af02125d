#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "core/file_range.h"

namespace torvale {

// A HOG2 archive (.hog, and missions' .mn3): a 68-byte header ("HOG2", uint32 file count, uint32 offset of the
// first file's data), a table of 48-byte entries (36-byte zero-padded name, uint32 flags, uint32 length,
// uint32 time stamp), then the files' bytes one after another in table order.
inline constexpr std::size_t kHogHeaderBytes = 68;
inline constexpr std::size_t kHogEntryBytes = 48;
inline constexpr std::size_t kHogNameBytes = 36;

struct HogEntry {
    std::string name;  // up to the first zero byte of the 36
    std::uint32_t flags = 0;
    std::uint32_t length = 0;
    std::uint32_t time = 0;
    std::uint64_t offset = 0;  // where the file's bytes begin in the archive
};

// The bytes from the start of an archive up to the end of its file table.
inline std::uint64_t HogTableEnd(std::uint32_t fileCount) {
    return kHogHeaderBytes + static_cast<std::uint64_t>(fileCount) * kHogEntryBytes;
}

// Reads the header and the file table from `headerAndTable`, the first bytes of an archive that is
// `archiveSize` bytes long in all. Entries are numbered from 1 in refusals: "entry 3 at byte 164: ...".
// Refused: a header that is cut short or does not begin with "HOG2", a table running past the bytes given or
// the archive's end, a data offset inside the table, a file running past the archive's end. `entries` is
// replaced on success and unchanged on failure.
bool ReadHogDirectory(std::span<const std::uint8_t> headerAndTable,
                      std::uint64_t archiveSize,
                      std::vector<HogEntry>& entries,
                      std::string& error);

// An archive on disk. Opening reads only its header and file table; each file is then read on its own by
// seeking to it, so an archive of several gigabytes costs no more than its table.
class HogArchive {
public:
    // False with `error` ("the file cannot be opened: ...", "entry 2 at byte 116: ...") when the file cannot be
    // read or is not a sound archive.
    bool open(const std::string& path, std::string& error);

    const std::string& path() const { return path_; }
    const std::vector<HogEntry>& entries() const { return entries_; }
    // The first entry of that name, compared without regard to ASCII case; null when there is none.
    const HogEntry* find(std::string_view name) const;
    // Replaces `bytes` with the bytes of `entry`, one of entries().
    bool read(const HogEntry& entry, std::vector<std::uint8_t>& bytes, std::string& error);

private:
    std::string path_;
    RangeFile file_;
    std::vector<HogEntry> entries_;
};

}  // namespace torvale
