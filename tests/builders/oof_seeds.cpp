#include "builders/seeds.h"

namespace torvale::test {

// Placeholder until the oof builder supplies its seeds.
Seeds OofSeeds() { return {}; }

}  // namespace torvale::test
