#include "builders/seeds.h"

namespace torvale::test {

// Entries for the options dialog's boxes: numbers in every form the reading knows, and the awkward ones.
Seeds BoxEntrySeeds() {
    Seeds seeds;
    const char* const entries[] = {"0.03",    "0",
                                   "-5",      "1",
                                   "300",     "2.5",
                                   "abc",     "1 2",
                                   " -1.5e3", "25D-1",
                                   "1e999",   "-1e999",
                                   ".",       "65535.00000001",
                                   "9e9",     "0.5",
                                   "1.2.3",   "\t7\n",
                                   "+.5E+2x", "\"C:\\Program Files\\pofgen.exe\" -p"};
    int n = 0;
    for (const char* entry : entries) {
        const std::string text(entry);
        seeds.emplace_back("entry_" + std::to_string(n++), Bytes(text.begin(), text.end()));
    }
    return seeds;
}

}  // namespace torvale::test
