#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace torvale {

// Reads a whole file into memory, opened for reading only (a missing file is never created). A path that
// is not a regular file, or a file larger than 2 GiB, is refused before anything is read (see ReadFileBytes).
// On failure `error` says why, in words a user understands, and `bytes` is left as it was.
bool ReadWholeFile(const std::string& path, std::vector<std::uint8_t>& bytes, std::string& error);

// Writes `bytes` to a temporary file beside `path` and then moves it over `path` in one step, so that a
// failure at any point leaves the old file exactly as it was and no partial file behind. The temporary is
// named by TemporaryPathFor. Temporaries of the same file that an earlier run left behind (its process was
// killed) are removed first, once their writer is known to be gone; those of a running process stay.
bool ReplaceFileAtomically(const std::string& path, std::span<const std::uint8_t> bytes, std::string& error);

// One file of an output of several files: where it goes and its whole content (held by the caller).
struct FileToWrite {
    std::string path;
    std::span<const std::uint8_t> bytes;
};

// Replaces all of `files` or none: every file is written to its temporary first, and only when all of them are
// written are they moved over their targets, in order. A failure before the first move (a full disk, a missing
// folder, a target that is a folder) leaves every old file as it was and no temporary behind; `error` names the
// file and why. Should a move fail after others were done, `error` names the files already replaced and those
// left as they were.
bool ReplaceFilesAtomically(std::span<const FileToWrite> files, std::string& error);

// ReplaceFilesAtomically for an output whose files are made one after another: each file's bytes go to its
// temporary as soon as they are staged (and the caller may drop them), and commit() moves them all over their
// targets, in the order staged. A failure leaves every old file as it was and no temporary behind, with `error`
// worded as ReplaceFilesAtomically words it; temporaries that were never committed are removed when the set
// goes.
class StagedFiles {
public:
    // `total`: how many files the output has, for the wording of a failure.
    explicit StagedFiles(std::size_t total) : total_(total) {}
    StagedFiles(const StagedFiles&) = delete;
    StagedFiles& operator=(const StagedFiles&) = delete;
    ~StagedFiles();

    bool stage(const std::string& path, std::span<const std::uint8_t> bytes, std::string& error);
    bool commit(std::string& error);

private:
    void discard(std::size_t from);

    std::size_t total_;
    std::vector<std::string> paths_;
    std::vector<std::string> temporaries_;
    std::size_t committed_ = 0;
};

// The temporary beside `path` that this process writes: a dot, the file's name, ".torvale-", this process's
// id and ".tmp" ("rooms/.big73.orf.torvale-4711.tmp"). A name too long to leave room for the rest is cut at a
// character boundary and ends in "~" and a hash of the whole name, so that the temporary's name never passes
// 255 bytes (the longest file name of the common file systems) and two names never share a temporary.
std::string TemporaryPathFor(const std::string& path);

// True when `a` and `b` name one file: the same path once both are made absolute and normal, or, when both
// exist, the same file on disk (another spelling, a link).
bool IsSameFile(const std::string& a, const std::string& b);
// The one operating-system step of the replacement: move `from` over `to`, replacing `to` if it exists.
// Implemented per platform (platform/file_replace_*.cpp).
bool MoveFileReplacing(const std::string& from, const std::string& to, std::string& error);

}  // namespace torvale
