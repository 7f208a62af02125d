// libFuzzer harness for the room reader: any bytes are read or refused with one line, never out of bounds, and
// every room it accepts can be checked as it is and with its faces reversed.
#include <cstddef>
#include <cstdint>
#include <span>
#include <string>

#include "orf/orf_reader.h"
#include "orf/room_check.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    torvale::Room room;
    std::string error;
    if (!torvale::ReadOrfFile(std::span<const std::uint8_t>(data, size), room, error)) {
        if (error.rfind("Error: ", 0) != 0 || error.find('\n') != std::string::npos)
            __builtin_trap();
        return 0;
    }
    if (!error.empty())
        __builtin_trap();
    (void)torvale::CheckRoom(room);
    torvale::ReverseFaces(room);
    (void)torvale::CheckRoom(room);
    return 0;
}
