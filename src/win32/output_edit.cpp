#include "win32/output_edit.h"

#include <algorithm>
#include <string>
#include <utility>

#include "platform/utf16_win32.h"
#include "win32/fonts.h"
#include "win32/resource.h"

namespace torvale {
namespace {

// The log holds 65535 characters and, past that, one whole message: far more than an edit control's default
// 32767 allows.
constexpr WPARAM kTextLimit = 0x7FFFFFFE;

// 0x80000000 plus an index refers to a system colour; anything else is 0x00BBGGRR already.
COLORREF Resolve(std::uint32_t color) {
    if (color & 0x80000000u)
        return GetSysColor(static_cast<int>(color & 0xFFu));
    return static_cast<COLORREF>(color);
}

}  // namespace

bool OutputEdit::Create(HWND parent, HINSTANCE instance, const Twips& twips, const TwipsRect& placement) {
    twips_ = &twips;
    placement_ = placement;
    const DWORD style = WS_CHILD | WS_VISIBLE | WS_VSCROLL | ES_MULTILINE | ES_READONLY | ES_AUTOVSCROLL;
    // A wide edit control: the log is UTF-8 and shows every letter of a path, whatever the code page.
    edit_ = CreateWindowExW(WS_EX_CLIENTEDGE, L"EDIT", L"", style, twips.toPixelsX(placement.left),
                            twips.toPixelsY(placement.top), twips.toPixelsX(placement.width),
                            twips.toPixelsY(placement.height), parent,
                            reinterpret_cast<HMENU>(static_cast<INT_PTR>(IDC_TXTOUTPUT)), instance, nullptr);
    if (!edit_)
        return false;
    SendMessageW(edit_, EM_SETLIMITTEXT, kTextLimit, 0);
    return true;
}

void OutputEdit::Follow(OutputLog& log) {
    log.setListener([this, &log](const OutputLog::Change& change) { ShowChange(log, change); });
}

void OutputEdit::ShowChange(const OutputLog& log, const OutputLog::Change& change) {
    if (change.replaced) {
        SetWindowTextW(edit_, Utf8ToWide(log.text()).c_str());
    } else {
        const std::wstring appended = Utf8ToWide(change.appended);
        const auto end = static_cast<WPARAM>(GetWindowTextLengthW(edit_));
        SendMessageW(edit_, EM_SETSEL, end, static_cast<LPARAM>(end));
        SendMessageW(edit_, EM_REPLACESEL, FALSE, reinterpret_cast<LPARAM>(appended.c_str()));
    }
    // The caret stands where the log says: at the start after a reset, at the end after an append. The log
    // counts UTF-8 bytes, the control UTF-16 units.
    const std::string_view text = log.text();
    const std::size_t at = std::min(log.caret(), text.size());
    const auto caret = static_cast<WPARAM>(at == text.size() ? static_cast<std::size_t>(GetWindowTextLengthW(edit_))
                                                             : Utf8ToWide(text.substr(0, at)).size());
    SendMessageW(edit_, EM_SETSEL, caret, static_cast<LPARAM>(caret));
    SendMessageW(edit_, EM_SCROLLCARET, 0, 0);
}

void OutputEdit::Place(const TwipsRect& placement) {
    placement_ = placement;
    MoveWindow(edit_, twips_->toPixelsX(placement.left), twips_->toPixelsY(placement.top),
               twips_->toPixelsX(placement.width), twips_->toPixelsY(placement.height), TRUE);
}

int OutputEdit::fontHeight() const {
    LOGFONTW font{};
    return font_ && GetObjectW(font_.get(), sizeof font, &font) ? static_cast<int>(font.lfHeight) : 0;
}

void OutputEdit::ApplyStyle(const OutputStyle& style) {
    style_ = style;
    if (UniqueFont font = MakeStyleFont(*twips_, style)) {
        // The control lets go of the old font before it is deleted.
        SendMessageW(edit_, WM_SETFONT, reinterpret_cast<WPARAM>(font.get()), TRUE);
        font_ = std::move(font);
    }
    RefreshColors();
}

void OutputEdit::RefreshColors() {
    textColor_ = Resolve(style_.textColor);
    backColor_ = Resolve(style_.backColor);
    if (UniqueBrush brush{CreateSolidBrush(backColor_)})
        brush_ = std::move(brush);
    InvalidateRect(edit_, nullptr, TRUE);
}

HBRUSH OutputEdit::Colorize(HDC dc) const {
    SetTextColor(dc, textColor_);
    SetBkColor(dc, backColor_);
    return brush_.get();
}

}  // namespace torvale
