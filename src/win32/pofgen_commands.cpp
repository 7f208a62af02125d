#include "win32/pofgen_commands.h"

#include "platform/process_runner.h"
#include "platform/short_path.h"
#include "win32/options_dialog.h"

namespace torvale {

PofgenCommands::PofgenCommands(ProgramState& program,
                               MainWindowPresenter& window,
                               MainWindowView& view,
                               FileDialogs& dialogs,
                               MessageBoxes& messages,
                               HINSTANCE instance)
    : program_(program),
      window_(window),
      view_(view),
      instance_(instance),
      output_(instance),
      import_(program, *this, {dialogs, messages, SystemShortPaths(), SystemProcessRunner(), output_, '\\'}) {}

void PofgenCommands::ShowOptions() {
    // A new dialog for each showing, filled from the Settings.
    OptionsDialog dialog(program_);
    dialog.Show(owner_, instance_);
}

}  // namespace torvale
