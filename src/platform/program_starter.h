#pragma once

#include <string>

namespace torvale {

// Starts a program by its path in a normal, focused window, without waiting for it.
class ProgramStarter {
public:
    virtual ~ProgramStarter() = default;
    // False when the program could not be started.
    virtual bool Start(const std::string& path) = 0;
};

// Starting programs on the machine the program runs on (Windows only).
ProgramStarter& SystemProgramStarter();

}  // namespace torvale
