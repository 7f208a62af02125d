#include "model_io/model_images.h"

#include <memory>
#include <utility>

#include "bitmap/image_file.h"
#include "model_io/resource_path.h"

namespace torvale {
namespace {

// `shown`: the image as the note names it.
void NoteUnread(std::string_view title,
                const std::string& shown,
                const std::string& why,
                std::vector<std::string>& notes) {
    notes.push_back(std::string(title) + ": image " + shown + " not read (" + why + "); its texture has no image");
}

FoundImage Decode(std::span<const std::uint8_t> bytes,
                  const std::string& origin,
                  const std::string& shown,
                  std::string_view title,
                  std::vector<std::string>& notes) {
    auto image = std::make_shared<Image>();
    std::string why;
    if (!ReadImageFile(bytes, *image, why)) {
        NoteUnread(title, shown, why, notes);
        return {};
    }
    return {std::move(image), origin};
}

}  // namespace

FoundImage DecodeModelImage(std::span<const std::uint8_t> bytes,
                            const std::string& origin,
                            std::string_view title,
                            std::vector<std::string>& notes) {
    return Decode(bytes, origin, origin, title, notes);
}

FoundImage ReadModelImage(std::string_view uri,
                          const ResourceLoader& loader,
                          std::string_view title,
                          std::vector<std::string>& notes,
                          std::string& refusal) {
    std::string relative, why;
    if (!ResolveModelUri(uri, relative, why)) {
        refusal = "image URI " + QuotedName(uri) + " " + why;
        return {};
    }
    std::vector<std::uint8_t> bytes;
    why = "no way to read files beside this model";
    const ResourceRead read = loader ? loader(relative, bytes, why) : ResourceRead(false);
    if (read.refused()) {
        refusal = "image URI " + why;
        return {};
    }
    if (!read) {
        NoteUnread(title, QuotedName(relative), why, notes);
        return {};
    }
    return Decode(bytes, relative, QuotedName(relative), title, notes);
}

}  // namespace torvale
