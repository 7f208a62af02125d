#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

namespace torvale {

// What a loader made of a name: read, not read (false: missing or unreadable), or refused because the name
// leads out of the model's folder, which refuses the whole model.
class ResourceRead {
public:
    ResourceRead(bool read) : state_(read ? State::Read : State::NotRead) {}  // a plain answer: read or not
    static ResourceRead Refused() { return ResourceRead(State::Refused); }
    explicit operator bool() const { return state_ == State::Read; }
    bool refused() const { return state_ == State::Refused; }

private:
    enum class State { Read, NotRead, Refused };
    explicit ResourceRead(State state) : state_(state) {}
    State state_;
};

// Gives the bytes of a file that a model names (a glTF buffer, an OBJ material library): `name` is relative to
// the model's own folder, decoded and checked by the reader (model_io/resource_path.h); a loader that reads
// files checks it again and refuses whatever lies outside that folder. Otherwise `error` says why not.
using ResourceLoader =
    std::function<ResourceRead(std::string_view name, std::vector<std::uint8_t>& bytes, std::string& error)>;

}  // namespace torvale
