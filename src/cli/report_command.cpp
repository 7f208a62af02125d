#include <ostream>

#include "cli/commands.h"

namespace torvale::cli {

// Placeholder until the command is built.
int RunReport(const CommandContext& context) {
    context.err << "torvale-cli: 'report' is not available yet\n";
    return kExitFailed;
}

}  // namespace torvale::cli
