#include <ostream>

#include "cli/commands.h"

namespace torvale::cli {

// Placeholder until the command is built.
int RunTexlate(const CommandContext& context) {
    context.err << "torvale-cli: 'texlate' is not available yet\n";
    return kExitFailed;
}

}  // namespace torvale::cli
