#pragma once

// Queries that the end-to-end tests send to the main window. Under Wine one process cannot read another's
// menu, so the program describes its own menu bar on request (TORVALE_WM_DUMP_MENU in resource.h).

#include <windows.h>

#include <string>

namespace torvale {

// The main window's answer to TORVALE_WM_DUMP_MENU: wParam is a window of the asking process, which receives
// WM_COPYDATA (dwData TORVALE_MENU_DUMP_TAG) holding MenuDump(GetMenu(mainWindow)). Returns true when the
// query was answered, false when wParam names no window.
bool HandleTestQuery(HWND mainWindow, WPARAM wParam, LPARAM lParam);

// The menu as text, one line per item in menu order, "<depth>|<id>|<caption>|<enabled 1/0>", lines separated
// by "\n". A separator has id 0, caption "-" and enabled 0; a menu that opens a submenu has id 0 and is
// followed by the lines of its items, one level deeper.
std::string MenuDump(HMENU menu);

}  // namespace torvale
