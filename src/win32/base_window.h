#pragma once

#include <windows.h>

#include <exception>

namespace torvale {

// Shows "Unexpected error: WHAT" over `owner` (null: no owner), titled with the program's name.
void ShowUnexpectedError(HWND owner, const char* what) noexcept;

// The one guard between the program's code and USER32: no exception ever crosses into the system. `body`
// runs; an exception becomes the unexpected-error message box, `failed` is the answer, and the program goes on.
template <typename Result, typename Body>
Result Guarded(HWND owner, Result failed, Body&& body) noexcept {
    try {
        return body();
    } catch (const std::exception& error) {
        ShowUnexpectedError(owner, error.what());
    } catch (...) {
        ShowUnexpectedError(owner, "unknown error");
    }
    return failed;
}

// A window as a class. Register the window class with `&Derived::WindowProc` and pass `this` as the creation
// parameter: it is kept at WM_NCCREATE, and from then on every message reaches
// `LRESULT Derived::HandleMessage(UINT, WPARAM, LPARAM)`, behind the guard. After WM_NCDESTROY has been
// handled, handle() is null again, so the object can make a new window.
template <typename Derived>
class BaseWindow {
public:
    BaseWindow(const BaseWindow&) = delete;
    BaseWindow& operator=(const BaseWindow&) = delete;

    HWND handle() const { return window_; }

    static LRESULT CALLBACK WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
        BaseWindow* self = nullptr;
        if (message == WM_NCCREATE) {
            self = static_cast<Derived*>(reinterpret_cast<CREATESTRUCTW*>(lParam)->lpCreateParams);
            if (self) {
                self->window_ = window;
                SetWindowLongPtrW(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(self));
            }
        } else {
            self = reinterpret_cast<BaseWindow*>(GetWindowLongPtrW(window, GWLP_USERDATA));
        }
        if (!self)
            return DefaultFor(window, message, wParam, lParam);
        const LRESULT result = Guarded<LRESULT>(
            window, 0, [&] { return static_cast<Derived*>(self)->HandleMessage(message, wParam, lParam); });
        if (message == WM_NCDESTROY) {
            SetWindowLongPtrW(window, GWLP_USERDATA, 0);
            self->window_ = nullptr;
        }
        return result;
    }

protected:
    BaseWindow() = default;
    ~BaseWindow() = default;

    // What a message the window does not handle itself gets.
    LRESULT DefaultHandling(UINT message, WPARAM wParam, LPARAM lParam) {
        return DefaultFor(window_, message, wParam, lParam);
    }

private:
    // Every window class of the program is registered wide, so that captions and texts keep every letter.
    static LRESULT DefaultFor(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
        return DefWindowProcW(window, message, wParam, lParam);
    }

    HWND window_ = nullptr;
};

}  // namespace torvale
