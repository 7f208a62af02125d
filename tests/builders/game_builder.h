#pragma once

#include <string>
#include <utility>
#include <vector>

#include "builders/bytes.h"

namespace torvale::test {

// Table files (.gam) assembled page by page: a type byte, an int32 length counting from the length field to
// the page's end, then the body.
class GamBuilder {
public:
    // A texture page of version 7: the three zero-ended texts, then `tail` bytes standing for the colours,
    // flags and sounds that follow them in real pages.
    GamBuilder& texture(const std::string& name,
                        const std::string& bitmap,
                        const std::string& destroyed = "",
                        std::size_t tail = 20);
    // A page of another type with a body of `bodySize` bytes.
    GamBuilder& other(unsigned type, std::size_t bodySize);
    // A page with this exact type and body (for damaged pages).
    GamBuilder& page(unsigned type, const Bytes& body);
    // A type byte and a length that may disagree with what follows.
    GamBuilder& raw(unsigned type, std::int64_t length, const Bytes& body);

    std::size_t size() const { return out_.size(); }
    Bytes take() { return out_.take(); }

private:
    ByteBuilder out_;
};

// A table holding a page of every type, texture pages among them.
Bytes EveryPageTypeTable();

using HogFiles = std::vector<std::pair<std::string, Bytes>>;

// A HOG2 archive of these files: header (count, data offset = end of the table), 48-byte entries with
// zero-padded names, then the files' bytes in order.
Bytes HogFile(const HogFiles& files);

}  // namespace torvale::test
