#include "platform/user_locale.h"

namespace torvale {

// The program writes numbers with a point wherever the system gives no user locale of its own.
char UserDecimalSeparator() {
    return '.';
}

}  // namespace torvale
