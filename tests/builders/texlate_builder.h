#pragma once

#include <string>
#include <utility>
#include <vector>

#include "builders/bytes.h"

namespace torvale::test {

// (model name, room name): the order people think in. The file holds the room name first.
using ModelToRoom = std::pair<std::string, std::string>;

// Appends one texlate.rsc pair by hand: int32 length and room name, then int32 length and model name.
void AppendTexlatePair(ByteBuilder& builder, const std::string& modelName, const std::string& roomName);

// A whole texlate.rsc file of these pairs, in this order.
Bytes TexlateFile(const std::vector<ModelToRoom>& pairs);

// `count` pairs "model0" -> "room0", "model1" -> "room1", ...
std::vector<ModelToRoom> NumberedPairs(std::size_t count);

}  // namespace torvale::test
