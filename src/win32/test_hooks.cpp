#include "win32/test_hooks.h"

#include "platform/utf16_win32.h"
#include "win32/resource.h"

namespace torvale {
namespace {

constexpr UINT kQueryReplyTimeoutMs = 5000;

void AppendMenuLines(HMENU menu, int depth, std::string& out) {
    const int count = GetMenuItemCount(menu);
    for (int position = 0; position < count; ++position) {
        MENUITEMINFOW info{};
        info.cbSize = sizeof info;
        info.fMask = MIIM_FTYPE | MIIM_STATE | MIIM_ID | MIIM_SUBMENU;
        if (!GetMenuItemInfoW(menu, static_cast<UINT>(position), TRUE, &info))
            continue;

        std::string caption = "-";
        UINT id = 0;
        if ((info.fType & MFT_SEPARATOR) == 0) {
            // Wide, and UTF-8 in the dump: a recent file's path keeps every letter.
            wchar_t text[512] = {};
            const int length = GetMenuStringW(menu, static_cast<UINT>(position), text, 512, MF_BYPOSITION);
            caption = WideToUtf8(std::wstring_view(text, length > 0 ? static_cast<std::size_t>(length) : 0));
            if (info.hSubMenu == nullptr)
                id = info.wID;
        }
        // A separator can never be chosen: it counts as disabled whatever its state bits say (Wine and Windows
        // differ there). MFS_DISABLED and MFS_GRAYED share their bits with MF_GRAYED | MF_DISABLED.
        const bool enabled = (info.fType & MFT_SEPARATOR) == 0 && (info.fState & MFS_DISABLED) == 0;

        if (!out.empty())
            out += '\n';
        out += std::to_string(depth) + '|' + std::to_string(id) + '|' + caption + '|' + (enabled ? '1' : '0');
        if (info.hSubMenu != nullptr)
            AppendMenuLines(info.hSubMenu, depth + 1, out);
    }
}

}  // namespace

std::string MenuDump(HMENU menu) {
    std::string out;
    if (menu != nullptr)
        AppendMenuLines(menu, 0, out);
    return out;
}

bool HandleTestQuery(HWND mainWindow, WPARAM wParam, LPARAM /*lParam*/) {
    const HWND asker = reinterpret_cast<HWND>(wParam);
    if (asker == nullptr || !IsWindow(asker))
        return false;

    std::string dump = MenuDump(GetMenu(mainWindow));
    COPYDATASTRUCT data{};
    data.dwData = TORVALE_MENU_DUMP_TAG;
    data.cbData = static_cast<DWORD>(dump.size());
    data.lpData = dump.data();
    DWORD_PTR ignored = 0;
    SendMessageTimeoutW(asker, WM_COPYDATA, reinterpret_cast<WPARAM>(mainWindow), reinterpret_cast<LPARAM>(&data),
                        SMTO_ABORTIFHUNG, kQueryReplyTimeoutMs, &ignored);
    return true;
}

}  // namespace torvale
