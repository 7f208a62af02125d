#include <ostream>

#include "cli/commands.h"

namespace torvale::cli {

// Placeholder until the command is built.
int RunExport(const CommandContext& context) {
    context.err << "torvale-cli: 'export' is not available yet\n";
    return kExitFailed;
}

}  // namespace torvale::cli
