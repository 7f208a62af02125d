#include "builders/seeds.h"

namespace torvale::test {

// Placeholder until the settings builder supplies its seeds.
Seeds SettingsSeeds() { return {}; }

}  // namespace torvale::test
