#pragma once

#include <string>

namespace torvale {

class FileSystem {
public:
    virtual ~FileSystem() = default;
    // True for an ordinary file only: a directory, or a file marked hidden or system, does not count.
    virtual bool IsOrdinaryFile(const std::string& path) = 0;
    // True when anything at all (file of any kind, directory) has this name.
    virtual bool Exists(const std::string& path) = 0;
    // The directory of the running executable as the system names it: no trailing separator, except at a
    // drive root ("C:\").
    virtual std::string ExecutableDirectory() = 0;
};

// The file system of the machine the program runs on.
FileSystem& SystemFileSystem();

}  // namespace torvale
