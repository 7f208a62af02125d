#pragma once

// Owning wrappers for the Windows handles the program creates: each closes or deletes its handle exactly once,
// on every way out of the scope that made it. Included only by Windows code (src/win32 and *_win32.cpp).

#include <windows.h>

#include <utility>

namespace torvale {

// A kernel handle: a pipe end, a process, a thread. Null and INVALID_HANDLE_VALUE both mean "none".
class UniqueHandle {
public:
    UniqueHandle() = default;
    explicit UniqueHandle(HANDLE handle) : handle_(handle) {}
    UniqueHandle(UniqueHandle&& other) noexcept : handle_(other.release()) {}
    UniqueHandle& operator=(UniqueHandle&& other) noexcept {
        reset(other.release());
        return *this;
    }
    ~UniqueHandle() { reset(); }

    HANDLE get() const { return handle_; }
    explicit operator bool() const { return handle_ != nullptr && handle_ != INVALID_HANDLE_VALUE; }
    HANDLE release() { return std::exchange(handle_, nullptr); }
    void reset(HANDLE handle = nullptr) {
        if (*this)
            CloseHandle(handle_);
        handle_ = handle;
    }
    // For functions that hand a new handle back through a pointer: the old one is closed first.
    HANDLE* put() {
        reset();
        return &handle_;
    }

private:
    HANDLE handle_ = nullptr;
};

// A GDI object: a font, a brush, a pen. It must no longer be selected into a device context when it goes.
template <typename Object>
class GdiObject {
public:
    GdiObject() = default;
    explicit GdiObject(Object object) : object_(object) {}
    GdiObject(GdiObject&& other) noexcept : object_(std::exchange(other.object_, nullptr)) {}
    GdiObject& operator=(GdiObject&& other) noexcept {
        reset(std::exchange(other.object_, nullptr));
        return *this;
    }
    ~GdiObject() { reset(); }

    Object get() const { return object_; }
    explicit operator bool() const { return object_ != nullptr; }
    void reset(Object object = nullptr) {
        if (object_)
            DeleteObject(object_);
        object_ = object;
    }

private:
    Object object_ = nullptr;
};

using UniqueFont = GdiObject<HFONT>;
using UniqueBrush = GdiObject<HBRUSH>;
using UniquePen = GdiObject<HPEN>;

}  // namespace torvale
