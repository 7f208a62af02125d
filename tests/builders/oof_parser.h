#pragma once

// A strict reader of version-2300 OOF files for checking what the program writes, written from the file layout
// alone (it shares no code with the program's reader): every known chunk's length must equal the bytes its
// fields take, the file must end at the last chunk's last byte, and every text must carry its zero byte.

#include <string>
#include <vector>

#include "builders/bytes.h"
#include "builders/oof_builder.h"

namespace torvale::test {

struct ParsedOof {
    bool ok = false;
    std::string problem;              // what broke the parse, with the byte offset
    std::vector<std::string> chunks;  // the tags in file order
    std::int32_t version = 0;
    OhdrFields header;
    std::int32_t detailCount = 0;
    std::vector<std::string> textures;  // without their zero bytes
    std::vector<SobjFields> objects;    // in file order; names and properties without their zero bytes
    std::vector<std::vector<SpecialPointFields>> specialPoints;  // per SOBJ, in file order
    std::vector<PointFields> gunpoints;
    std::vector<BatteryFields> batteries;
    std::vector<RotationTrackFields> rotation;  // one per sub-object when RANI is present
    std::vector<PositionTrackFields> position;
    std::vector<PointFields> groundPoints;
    std::vector<PointFields> attachPoints;
    std::vector<PointFields> attachUps;
};

ParsedOof ParseOofForTest(const Bytes& file);

}  // namespace torvale::test
