#include "game/hog_archive.h"

#include "core/ascii_text.h"
#include "core/field_reader.h"

namespace torvale {
namespace {

constexpr std::string_view kHogMagic = "HOG2";

// Refusals name the entry of the file table: "entry 3 at byte 1089: ...".
constexpr RefusalWording kHogWording{"", ": ", ""};

}  // namespace

bool ReadHogDirectory(std::span<const std::uint8_t> headerAndTable,
                      std::uint64_t archiveSize,
                      std::vector<HogEntry>& entries,
                      std::string& error) {
    FieldReader in(headerAndTable, kHogWording);
    std::string magic;
    std::uint32_t count = 0;
    std::uint32_t dataOffset = 0;
    if (in.remaining() < kHogHeaderBytes) {
        error = "the archive header is cut short: " + std::to_string(in.remaining()) + " of its " +
                std::to_string(kHogHeaderBytes) + " bytes are there";
        return false;
    }
    if (!in.readText(kHogMagic.size(), magic) || magic != kHogMagic) {
        error = in.refusal(0, ": not a HOG2 archive (it does not begin with \"HOG2\")");
        return false;
    }
    if (!in.readU32(count) || !in.readU32(dataOffset) || !in.skip(kHogHeaderBytes - 12))
        return false;  // not reached: the header's size was checked
    const std::uint64_t tableEnd = HogTableEnd(count);
    if (tableEnd > archiveSize) {
        error = in.refusal(4, ": the file table of " + std::to_string(count) + " entries would end at byte " +
                                  std::to_string(tableEnd) + ", past the archive's end at byte " +
                                  std::to_string(archiveSize));
        return false;
    }
    if (count > 0 && dataOffset < tableEnd) {
        error = in.refusal(8, ": the files' data begins at byte " + std::to_string(dataOffset) +
                                  ", inside the file table, which ends at byte " + std::to_string(tableEnd));
        return false;
    }
    std::vector<HogEntry> read;
    read.reserve(in.canHold(count, kHogEntryBytes) ? count : 0);
    std::uint64_t offset = dataOffset;
    for (std::size_t number = 1; number <= count; ++number) {
        in.enterChunk("entry " + std::to_string(number), in.position());
        std::span<const std::uint8_t> name;
        HogEntry entry;
        if (!in.readBytes(kHogNameBytes, name) || !in.readU32(entry.flags) || !in.readU32(entry.length) ||
            !in.readU32(entry.time)) {
            in.refuseChunk(": only " + std::to_string(headerAndTable.size()) +
                           " bytes of the archive were given; the file table needs " + std::to_string(tableEnd));
            error = in.error();
            return false;
        }
        std::size_t nameLength = 0;
        while (nameLength < name.size() && name[nameLength] != 0)
            ++nameLength;
        entry.name.assign(reinterpret_cast<const char*>(name.data()), nameLength);
        entry.offset = offset;
        offset += entry.length;
        if (offset > archiveSize) {
            in.refuseChunk(": the file " + entry.name + " runs from byte " + std::to_string(entry.offset) +
                           " to byte " + std::to_string(offset) + ", past the archive's end at byte " +
                           std::to_string(archiveSize));
            error = in.error();
            return false;
        }
        read.push_back(std::move(entry));
    }
    entries = std::move(read);
    return true;
}

bool HogArchive::open(const std::string& path, std::string& error) {
    path_ = path;
    entries_.clear();
    std::vector<std::uint8_t> bytes;
    if (!file_.open(path, error))
        return false;
    const std::uint64_t size = file_.size();
    if (size < kHogHeaderBytes) {
        error = "the archive header is cut short: " + std::to_string(size) + " of its " +
                std::to_string(kHogHeaderBytes) + " bytes are there";
        return false;
    }
    if (!file_.read(0, kHogHeaderBytes, bytes, error))
        return false;
    // The count is read here only to learn how much table to read; ReadHogDirectory checks it.
    const std::uint32_t count = static_cast<std::uint32_t>(bytes[4]) | (static_cast<std::uint32_t>(bytes[5]) << 8) |
                                (static_cast<std::uint32_t>(bytes[6]) << 16) |
                                (static_cast<std::uint32_t>(bytes[7]) << 24);
    const std::uint64_t tableEnd = HogTableEnd(count);
    if (tableEnd <= size && !file_.read(0, tableEnd, bytes, error))
        return false;
    return ReadHogDirectory(bytes, size, entries_, error);
}

const HogEntry* HogArchive::find(std::string_view name) const {
    for (const HogEntry& entry : entries_)
        if (EqualsIgnoringAsciiCase(entry.name, name))
            return &entry;
    return nullptr;
}

bool HogArchive::read(const HogEntry& entry, std::vector<std::uint8_t>& bytes, std::string& error) {
    if (!file_.read(entry.offset, entry.length, bytes, error)) {
        error = entry.name + ": " + error;
        return false;
    }
    return true;
}

}  // namespace torvale
