#include "builders/texlate_builder.h"

namespace torvale::test {

void AppendTexlatePair(ByteBuilder& builder, const std::string& modelName, const std::string& roomName) {
    builder.i32(static_cast<std::int64_t>(roomName.size())).text(roomName);
    builder.i32(static_cast<std::int64_t>(modelName.size())).text(modelName);
}

Bytes TexlateFile(const std::vector<ModelToRoom>& pairs) {
    ByteBuilder builder;
    for (const auto& [model, room] : pairs)
        AppendTexlatePair(builder, model, room);
    return builder.take();
}

std::vector<ModelToRoom> NumberedPairs(std::size_t count) {
    std::vector<ModelToRoom> pairs;
    for (std::size_t i = 0; i < count; ++i)
        pairs.emplace_back("model" + std::to_string(i), "room" + std::to_string(i));
    return pairs;
}

}  // namespace torvale::test
