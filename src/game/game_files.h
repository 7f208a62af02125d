#pragma once

#include <cstdint>
#include <filesystem>
#include <memory>
#include <span>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

namespace torvale {

class HogArchive;

// The regular files of `folder`, sorted by name without regard to ASCII case (names equal but for case in the
// order of their bytes). Empty when the folder cannot be read.
std::vector<std::filesystem::path> FolderFilesByName(const std::filesystem::path& folder);

// The files of a game set, looked up by name without regard to case: the loose files and archives of the
// places a user names, as the game finds a texture page's bitmap file. Only file names are read when the set
// is opened; a file's bytes are read when asked for.
class GameFiles {
public:
    GameFiles();
    GameFiles(GameFiles&&) noexcept;
    GameFiles& operator=(GameFiles&&) noexcept;
    ~GameFiles();

    // Indexes each path in turn:
    //   a folder: its loose files, then the files of its .hog archives in the order of their names;
    //   a .hog or .mn3 archive: its files;
    //   a .gam table: the loose files of the folder it is in.
    // A later path's file of a name replaces an earlier one's (a mission's files stand before the game's), and
    // within one folder a loose file stands before the archives' files. Returns one line for each archive that
    // cannot be read ("<path>: <why>"); paths that are none of the three add nothing.
    std::vector<std::string> open(std::span<const std::string> paths);

    // Reads the file named `name` (no folder part) into `bytes`, with `where` saying where it was found
    // ("<folder>/<file>" or "<archive>: <entry>"). False when no file of that name is in the set (`error`
    // empty) or when reading it fails (`error` says why, beginning with where).
    bool read(std::string_view name, std::vector<std::uint8_t>& bytes, std::string& where, std::string& error);

    bool empty() const { return index_.empty(); }

private:
    struct Place {
        std::string path;      // the loose file, or the archive
        std::int32_t archive;  // into archives_, or -1 for a loose file
        std::size_t entry;     // into the archive's entries
    };
    using Index = std::unordered_map<std::string, Place>;  // folded file name -> where it is
    void addFolder(const std::string& folder, bool withArchives, Index& files, std::vector<std::string>& problems);
    void addArchive(const std::string& path, Index& files, std::vector<std::string>& problems);

    std::vector<std::unique_ptr<HogArchive>> archives_;
    Index index_;
};

}  // namespace torvale
