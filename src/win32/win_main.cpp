#include <windows.h>

#include <memory>

#include "app/startup.h"
#include "platform/file_system.h"
#include "platform/process_runner.h"
#include "platform/system_ui.h"
#include "platform/text_encoding.h"
#include "platform/user_locale.h"
#include "platform/utf16_win32.h"
#include "pofgen/command_line.h"
#include "win32/base_window.h"
#include "win32/main_window.h"

namespace {

int Run(HINSTANCE instance, int showCommand) {
    using namespace torvale;
    // The texture table is large; the program-wide state lives on the heap for the whole run.
    auto program = std::make_unique<ProgramState>();
    SystemMessageBoxes messages;
    program->ansi = {GameTextToUtf8, Utf8ToGameText};
    if (!RunStartup(*program, {SystemFileSystem(), messages, UserDecimalSeparator(), '\\'}))
        return 1;
    program->pofgenCommandLine = BuildPofgenCommandLine(program->settings, UserDecimalSeparator());

    MainWindow window(*program, instance, showCommand);
    if (!window.Create()) {
        messages.ShowMessage("The main window could not be created.");
        return 1;
    }
    // torvale.exe FILE...: each file opened as if dropped on the window. The wide command line keeps every
    // letter of a path (Explorer passes "Модели Zoë\ship.oof" whole), split as UTF-8.
    std::vector<std::string> files = SplitCommandLine(WideToUtf8(GetCommandLineW()));
    if (!files.empty()) {
        files.erase(files.begin());  // the program itself
        if (!files.empty())
            window.OpenFiles(files);
    }
    MSG message;
    while (GetMessageW(&message, nullptr, 0, 0) > 0) {
        TranslateMessage(&message);
        DispatchMessageW(&message);
    }
    return 0;
}

}  // namespace

// The wide entry point (linked with -municode): the start-up code reads the wide command line and start-up info.
int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, LPWSTR, int showCommand) {
    return torvale::Guarded(nullptr, 1, [&] { return Run(instance, showCommand); });
}
