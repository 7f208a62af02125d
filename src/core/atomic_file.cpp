#include "core/atomic_file.h"

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <map>
#include <mutex>
#include <set>
#include <system_error>

#include "core/file_bytes.h"
#include "core/number_text.h"
#include "core/path_text.h"
#include "core/process_id.h"
#include "core/utf8_path.h"

namespace torvale {
namespace {

std::string DescribeErrno(int code) {
    return code != 0 ? std::strerror(code) : "unknown error";
}

// A temporary beside the file is ".<name>.torvale-<pid>.tmp": hidden from a plain listing on POSIX, plainly
// ours, and naming the process writing it, so that a later write can tell an abandoned one from a live one.
constexpr std::string_view kTemporaryTag = ".torvale-";
constexpr std::string_view kTemporaryEnd = ".tmp";

// A file name of at most this many bytes keeps its whole name in its temporary's: with the dot, the tag, a
// process id of up to 20 digits, ".tmp" and a cut name's "~" and hash, the temporary stays within 255 bytes.
// On Windows the limit counts UTF-16 units, never more than the UTF-8 bytes, so bytes serve both.
constexpr std::size_t kLongestKeptName = 204;
constexpr std::size_t kHashDigits = 16;

// FNV-1a, 64 bits: enough that two long names in one folder never meet.
std::uint64_t NameHash(std::string_view name) {
    std::uint64_t hash = 14695981039346656037ull;
    for (const char c : name) {
        hash ^= static_cast<unsigned char>(c);
        hash *= 1099511628211ull;
    }
    return hash;
}

// The part of the temporary's name that stands for the file: the name itself when it is short enough;
// otherwise its first bytes (cut before a UTF-8 character, never inside one), "~" and a hash of the whole
// name. A cut name is always longer than a kept one, so the two forms never meet.
std::string TemporaryStem(std::string_view fileName) {
    if (fileName.size() <= kLongestKeptName)
        return std::string(fileName);
    std::size_t cut = kLongestKeptName;
    for (int back = 0; back < 3 && (static_cast<unsigned char>(fileName[cut]) & 0xC0) == 0x80; ++back)
        --cut;
    std::string stem(fileName.substr(0, cut));
    stem += '~';
    std::uint64_t hash = NameHash(fileName);
    std::string digits(kHashDigits, '0');
    for (std::size_t i = kHashDigits; i-- > 0; hash >>= 4)
        digits[i] = "0123456789abcdef"[hash & 0xF];
    return stem + digits;
}

std::string TemporaryName(std::string_view fileName, std::uint64_t pid) {
    std::string name = ".";
    name += TemporaryStem(fileName);
    name += kTemporaryTag;
    name += FormatInteger(static_cast<std::int64_t>(pid));
    name += kTemporaryEnd;
    return name;
}

// Splits a temporary's name into the stem of the file it was written for (see TemporaryStem) and the writer's
// pid; false for any other name.
bool ParseTemporaryName(std::string_view name, std::string& fileName, std::uint64_t& pid) {
    if (name.size() < 2 || name.front() != '.' || !name.ends_with(kTemporaryEnd))
        return false;
    name = name.substr(1, name.size() - 1 - kTemporaryEnd.size());
    const std::size_t tag = name.rfind(kTemporaryTag);
    if (tag == std::string_view::npos || tag == 0)
        return false;
    const std::string_view digits = name.substr(tag + kTemporaryTag.size());
    if (digits.empty() || digits.size() > 20)
        return false;
    pid = 0;
    for (const char c : digits) {
        if (c < '0' || c > '9')
            return false;
        pid = pid * 10 + static_cast<std::uint64_t>(c - '0');
    }
    fileName = std::string(name.substr(0, tag));
    return true;
}

// The temporaries found in a folder. A listing serves the writes into that folder for a few seconds, so that an
// export of many rooms reads the folder once rather than once per room; a later export lists it afresh.
class LeftoverTemporaries {
public:
    // The temporaries of the file of stem `stem` in `folder` written by other processes, taken off the list.
    std::vector<std::string> takeFor(const std::string& folder, const std::string& stem) {
        constexpr auto kListingLife = std::chrono::seconds(2);
        const auto now = std::chrono::steady_clock::now();
        std::lock_guard lock(mutex_);
        Listing& listing = folders_[folder];
        if (!listing.listed || now - listing.made > kListingLife) {
            listing.listed = true;
            listing.byFile = list(folder);
            listing.made = now;
        }
        std::vector<std::string> found;
        auto& byFile = listing.byFile;
        const auto range = byFile.equal_range(stem);
        for (auto it = range.first; it != range.second; ++it)
            found.push_back(it->second);
        byFile.erase(range.first, range.second);
        return found;
    }

private:
    static std::multimap<std::string, std::string> list(const std::string& folder) {
        std::multimap<std::string, std::string> byFile;
        std::error_code ignored;
        const std::filesystem::path where = folder.empty() ? std::filesystem::path(".") : PathFromUtf8(folder);
        std::filesystem::directory_iterator entries(where, ignored);
        const std::uint64_t self = CurrentProcessId();
        for (; !ignored && entries != std::filesystem::directory_iterator(); entries.increment(ignored)) {
            try {
                const std::string name = Utf8FromPath(entries->path().filename());
                std::string fileName;
                std::uint64_t pid = 0;
                if (ParseTemporaryName(name, fileName, pid) && pid != self)
                    byFile.emplace(fileName, name);
            } catch (const std::exception&) {
                // A name with no UTF-8 form is none of ours.
            }
        }
        return byFile;
    }

    struct Listing {
        bool listed = false;
        std::chrono::steady_clock::time_point made;
        std::multimap<std::string, std::string> byFile;  // file's stem -> temporary's name
    };
    std::mutex mutex_;
    std::map<std::string, Listing> folders_;
};

// Removes the temporaries left beside `path` by writers of it that are no longer running; one that a running
// process may still be writing stays.
void RemoveAbandonedTemporaries(const std::string& folder, const std::string& fileName) {
    static LeftoverTemporaries leftovers;
    for (const std::string& name : leftovers.takeFor(folder, TemporaryStem(fileName))) {
        std::string ofFile;
        std::uint64_t pid = 0;
        if (ParseTemporaryName(name, ofFile, pid) && !ProcessIsRunning(pid))
            RemoveFileUtf8(folder + name);
    }
}

}  // namespace

std::string TemporaryPathFor(const std::string& path) {
    const std::size_t start = FileNameStart(path);
    return path.substr(0, start) + TemporaryName(std::string_view(path).substr(start), CurrentProcessId());
}

bool IsSameFile(const std::string& a, const std::string& b) {
    std::error_code failed;
    if (std::filesystem::equivalent(PathFromUtf8(a), PathFromUtf8(b), failed))
        return true;
    const auto normal = [](const std::string& path) {
        std::error_code ignored;
        const std::filesystem::path absolute = std::filesystem::absolute(PathFromUtf8(path), ignored);
        return (absolute.empty() ? PathFromUtf8(path) : absolute).lexically_normal();
    };
    return normal(a) == normal(b);
}

bool ReadWholeFile(const std::string& path, std::vector<std::uint8_t>& bytes, std::string& error) {
    std::vector<std::uint8_t> read;
    const auto place = [&](std::size_t size) {
        read.resize(size);
        return read.data();
    };
    if (!ReadFileInto(path, place, error))
        return false;
    bytes = std::move(read);
    return true;
}

namespace {

// Writes the temporary of `path` (after removing those its earlier writers abandoned); its path in
// `temporary`. On failure nothing is left behind.
bool WriteTemporary(const std::string& path,
                    std::span<const std::uint8_t> bytes,
                    std::string& temporary,
                    std::string& error) {
    const std::size_t start = FileNameStart(path);
    const std::string folder = path.substr(0, start);
    const std::string fileName = path.substr(start);
    RemoveAbandonedTemporaries(folder, fileName);
    temporary = folder + TemporaryName(fileName, CurrentProcessId());
    errno = 0;
    std::FILE* raw = OpenFileUtf8(temporary, "wb");
    if (!raw) {
        error = DescribeErrno(errno);
        return false;
    }
    bool written = bytes.empty() || std::fwrite(bytes.data(), 1, bytes.size(), raw) == bytes.size();
    const int writeErrno = errno;
    written = (std::fflush(raw) == 0) && written;
    written = (std::fclose(raw) == 0) && written;
    if (!written) {
        error = DescribeErrno(writeErrno != 0 ? writeErrno : errno);
        RemoveFileUtf8(temporary);
        return false;
    }
    return true;
}

std::string ListOf(std::span<const std::string> paths) {
    std::string list;
    for (std::size_t i = 0; i < paths.size(); ++i) {
        if (i > 0)
            list += i + 1 == paths.size() ? " and " : ", ";
        list += paths[i];
    }
    return list;
}

}  // namespace

bool ReplaceFileAtomically(const std::string& path, std::span<const std::uint8_t> bytes, std::string& error) {
    std::string temporary;
    if (!WriteTemporary(path, bytes, temporary, error))
        return false;
    if (!MoveFileReplacing(temporary, path, error)) {
        RemoveFileUtf8(temporary);
        return false;
    }
    return true;
}

StagedFiles::~StagedFiles() {
    discard(committed_);
}

void StagedFiles::discard(std::size_t from) {
    for (std::size_t i = from; i < temporaries_.size(); ++i)
        RemoveFileUtf8(temporaries_[i]);
    temporaries_.resize(std::min(from, temporaries_.size()));
    paths_.resize(temporaries_.size());
}

bool StagedFiles::stage(const std::string& path, std::span<const std::uint8_t> bytes, std::string& error) {
    // A folder in the way would fail its move after others were made: found before anything moves.
    std::error_code ignored;
    if (std::filesystem::is_directory(PathFromUtf8(path), ignored)) {
        discard(0);
        error = path + ": is a folder; no file was replaced";
        return false;
    }
    std::string temporary, why;
    if (!WriteTemporary(path, bytes, temporary, why)) {
        discard(0);
        error = path + ": " + why + (total_ > 1 ? "; no file was replaced" : "");
        return false;
    }
    paths_.push_back(path);
    temporaries_.push_back(std::move(temporary));
    return true;
}

bool StagedFiles::commit(std::string& error) {
    for (std::size_t i = 0; i < paths_.size(); ++i) {
        std::string why;
        if (!MoveFileReplacing(temporaries_[i], paths_[i], why)) {
            const std::span<const std::string> paths(paths_);
            error = paths_[i] + ": " + why;
            if (i > 0)
                error += "; new: " + ListOf(paths.first(i)) + "; as they were: " + ListOf(paths.subspan(i));
            else if (paths_.size() > 1)
                error += "; no file was replaced";
            discard(i);
            committed_ = i;
            return false;
        }
        committed_ = i + 1;
    }
    return true;
}

bool ReplaceFilesAtomically(std::span<const FileToWrite> files, std::string& error) {
    StagedFiles staged(files.size());
    for (const FileToWrite& file : files)
        if (!staged.stage(file.path, file.bytes, error))
            return false;
    return staged.commit(error);
}

}  // namespace torvale
