#pragma once

#include <string>

namespace torvale {

// Opens a document with the program the system associates with it.
class Shell {
public:
    virtual ~Shell() = default;
    // Whether it opened is not reported: a missing file or one without an associated program shows nothing.
    virtual void OpenDocument(const std::string& path) = 0;
};

// The system's shell (Windows only). `owner` is the handle of the window asking (an HWND).
class SystemShell final : public Shell {
public:
    void setOwner(void* owner) { owner_ = owner; }
    void OpenDocument(const std::string& path) override;

private:
    void* owner_ = nullptr;
};

}  // namespace torvale
