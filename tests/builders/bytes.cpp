#include "builders/bytes.h"

#include <fstream>
#include <iterator>

#include "core/utf8_path.h"

namespace torvale::test {

// Paths are UTF-8, as the program's own: on Windows they reach the file system wide.
bool WriteTestFile(const std::string& path, const Bytes& bytes) {
    std::ofstream f(PathFromUtf8(path), std::ios::binary | std::ios::trunc);
    if (!f)
        return false;
    f.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
    f.close();
    return !f.fail();
}

Bytes ReadTestFile(const std::string& path) {
    std::ifstream f(PathFromUtf8(path), std::ios::binary);
    if (!f)
        return {};
    return Bytes(std::istreambuf_iterator<char>(f), std::istreambuf_iterator<char>());
}

}  // namespace torvale::test
