#pragma once

#include <span>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "game/table_file.h"

namespace torvale {

// The game's texture pages, loaded from the places a user names (the game's folder, a table file, an archive
// or a mission), in order. A later table's page replaces an earlier page of the same name, compared without
// regard to case, and keeps its place.
class GameTextures {
public:
    // What loading met, one line each, beginning with the path. Problems make the set untrustworthy; notes
    // do not (most missions carry no table of their own).
    struct Report {
        std::vector<std::string> problems;
        std::vector<std::string> notes;
    };
    // Loads each path in turn:
    //   a folder: Table.gam, then extra.gam, each a loose file in the folder or else taken from the first of the
    //     folder's .hog archives (in alphabetical order, ignoring case) that holds it;
    //   a .gam file: that table;
    //   a .hog or .mn3 archive: every .gam inside it, in the archive's order;
    //   anything else, or a path that does not exist: a problem.
    // A folder or archive holding no table adds nothing and is a note ("<path> holds no table file"). A damaged
    // table or archive is a problem and adds none of its pages; the rest still load.
    Report load(std::span<const std::string> paths);

    // Adds the pages of one table, as load does for each table it reads.
    void addTable(std::vector<TexturePage> pages);

    bool empty() const { return pages_.empty(); }
    // Every page, in the order the tables first gave their names.
    const std::vector<TexturePage>& pages() const { return pages_; }
    // The tables read, in order, as "<path>" or "<archive path>: <table>".
    const std::vector<std::string>& tablesRead() const { return tablesRead_; }

    // The first page whose bitmap file name is `bitmap`, ignoring case; null when none.
    const TexturePage* findByBitmap(std::string_view bitmap) const;
    // The page named `name`, ignoring case; null when none.
    const TexturePage* findByName(std::string_view name) const;
    // True when a page with an animation (.oaf) for its bitmap could have `name` for one of its frames: its
    // bitmap's name without ".oaf", or its page name, followed by nothing but digits and the separators
    // '_', '-', '.' and ' ', ignoring case.
    bool mayBeAnimationFrame(std::string_view name) const;

private:
    void loadFolder(const std::string& path, Report& report);
    void loadTableFile(const std::string& path, std::vector<std::string>& problems);
    void loadArchive(const std::string& path, Report& report);
    void reindexBitmaps();

    std::vector<TexturePage> pages_;
    std::vector<std::string> tablesRead_;
    std::unordered_map<std::string, std::size_t> byName_;    // folded page name -> index in pages_
    std::unordered_map<std::string, std::size_t> byBitmap_;  // folded bitmap name -> first index in pages_
    std::vector<std::string> animationStems_;                // folded, of every .oaf page: name and bitmap stem
};

// The listing of every page, sorted by page name ignoring case: page name, bitmap file and table in aligned
// columns, one line each, after a heading line.
std::vector<std::string> TexturePageListing(const GameTextures& textures);

}  // namespace torvale
