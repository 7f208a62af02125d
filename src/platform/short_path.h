#pragma once

#include <string>

namespace torvale {

// The short forms of paths: on Windows the 8.3 name of every part that has one, elsewhere the path itself.
class ShortPaths {
public:
    virtual ~ShortPaths() = default;
    // The short form of an existing file or directory, whatever its length; empty when the system gives none
    // (the path does not exist, for example).
    virtual std::string ShortPathName(const std::string& path) = 0;
    // True when a program that reads its command line in the ANSI code page (POFGEN) gets this UTF-8 path
    // unchanged: every letter of it has a form there.
    virtual bool FitsAnsiCodePage(const std::string& path) = 0;
};

ShortPaths& SystemShortPaths();

}  // namespace torvale
