#include "win32/dialog_commands.h"

#include "app/about_presenter.h"
#include "app/output_style.h"
#include "platform/file_system.h"
#include "platform/program_starter.h"
#include "platform/registry.h"
#include "platform/shell.h"
#include "win32/about_box.h"
#include "win32/colors_dialog.h"

namespace torvale {

void RunColorsCommand(ProgramState& program, MainWindowView& view, HWND owner, HINSTANCE instance) {
    {
        ColorsDialog dialog(program.settings, program.decimalSeparator);
        dialog.Show(owner, instance);
    }
    view.ApplyOutputStyle(StyleFromSettings(program.settings));
}

void RunReadmeCommand(const ProgramState& program, HWND owner) {
    SystemShell shell;
    shell.setOwner(owner);
    ViewReadme(shell, program.appDir);
}

void RunAboutCommand(HWND owner, HINSTANCE instance) {
    AboutBox about(SystemRegistry(), SystemProgramStarter(), SystemFileSystem());
    about.Show(owner, instance);
}

}  // namespace torvale
