#pragma once

#include <windows.h>

#include "app/main_window_presenter.h"
#include "app/startup.h"

namespace torvale {

// The main window's Edit, Window Font/Colors...: the font and colours dialog, modal over `owner`; whichever
// button closed it, the log takes the Settings' style again, without fallback (the dialog stores only values
// that a text area accepts).
void RunColorsCommand(ProgramState& program, MainWindowView& view, HWND owner, HINSTANCE instance);

// Help, View Readme...: readme.txt beside the program, in the program the system opens text files with.
void RunReadmeCommand(const ProgramState& program, HWND owner);

// Help, About TORVALE...: the about box, modal over `owner`.
void RunAboutCommand(HWND owner, HINSTANCE instance);

}  // namespace torvale
