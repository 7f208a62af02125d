#include "builders/seeds.h"

namespace torvale::test {

// Placeholder until the texlate builder supplies its seeds.
Seeds TexlateSeeds() { return {}; }

}  // namespace torvale::test
