#include "app/settings_file.h"

#include <string_view>

#include "app/pofgen_switches.h"
#include "core/atomic_file.h"
#include "core/byte_reader.h"
#include "core/byte_writer.h"

namespace torvale {
namespace {

// A text is stored as one length byte and its characters; the byte cannot count past 255.
void WriteShortText(ByteWriter& writer, const std::string& text) {
    const std::string_view kept = std::string_view(text).substr(0, kSettingsTextLimit);
    writer.writeU8(static_cast<std::uint8_t>(kept.size()));
    writer.writeText(kept);
}

// Each Read* stores into `field` only when the whole field fits, so a file that ends early leaves every field
// it does not hold as the record had it. They return false at the first field that does not fit.
bool ReadFlag(ByteReader& reader, Flag& field) {
    std::int16_t value = 0;
    if (!reader.readI16(value))
        return false;
    field = Flag(value);  // the raw value is kept: any non-zero value reads as true
    return true;
}

bool ReadColour(ByteReader& reader, std::uint32_t& field) {
    std::uint32_t value = 0;
    if (!reader.readU32(value))
        return false;
    field = value;
    return true;
}

// A length byte of 0 keeps what the record holds (the POFGEN path found at start-up, for one).
bool ReadShortText(ByteReader& reader, std::string& field) {
    std::uint8_t length = 0;
    if (!reader.readU8(length))
        return false;
    if (length == 0)
        return true;
    std::string value;
    if (!reader.readText(length, value))
        return false;
    field = std::move(value);
    return true;
}

bool DecodeFields(ByteReader& reader, Settings& settings) {
    float single = 0.0f;
    if (!reader.readF32(single))
        return false;
    settings.scaleFactor = single;
    if (!reader.readF32(single))
        return false;
    settings.errorTolerance = single;
    if (!reader.readU8(settings.shadingMode))
        return false;
    for (std::uint8_t& split : settings.chunkSplits)
        if (!reader.readU8(split))
            return false;
    for (const PofgenSwitch& pofgen : kPofgenSwitches)
        if (!ReadFlag(reader, settings.*pofgen.setting))
            return false;
    if (!ReadFlag(reader, settings.combineSubObjects))
        return false;
    if (!ReadColour(reader, settings.backColor) || !ReadColour(reader, settings.textColor))
        return false;
    if (!ReadShortText(reader, settings.fontName))
        return false;
    std::int32_t size = 0;
    if (!reader.readI32(size))
        return false;
    settings.fontSize = size;
    for (Flag* flag : {&settings.fontBold, &settings.fontItalic, &settings.fontStrikethru, &settings.fontUnderline})
        if (!ReadFlag(reader, *flag))
            return false;
    if (!ReadShortText(reader, settings.pofgenPath))
        return false;
    return ReadFlag(reader, settings.showPofgenOutput);
}

}  // namespace

std::vector<std::uint8_t> EncodeSettings(const Settings& settings) {
    ByteWriter writer;
    writer.reserve(kSettingsFixedSize + 2 * kSettingsTextLimit);
    writer.writeF32(settings.scaleFactor);
    writer.writeF32(settings.errorTolerance);
    writer.writeU8(settings.shadingMode);
    for (std::uint8_t split : settings.chunkSplits)
        writer.writeU8(split);
    for (const PofgenSwitch& pofgen : kPofgenSwitches)
        writer.writeI16((settings.*pofgen.setting).raw());
    writer.writeI16(settings.combineSubObjects.raw());
    writer.writeU32(settings.backColor);  // the background colour comes before the text colour
    writer.writeU32(settings.textColor);
    WriteShortText(writer, settings.fontName);
    writer.writeI32(settings.fontSize);
    for (Flag flag : {settings.fontBold, settings.fontItalic, settings.fontStrikethru, settings.fontUnderline})
        writer.writeI16(flag.raw());
    WriteShortText(writer, settings.pofgenPath);
    writer.writeI16(settings.showPofgenOutput.raw());
    return writer.release();
}

void DecodeSettings(std::span<const std::uint8_t> bytes, Settings& settings) {
    // Nothing in the file can be checked: no magic, no version. Bytes past the last field are ignored.
    ByteReader reader(bytes);
    DecodeFields(reader, settings);
}

bool LoadSettings(const std::string& path, Settings& settings, std::string& error, const AnsiCodec& codec) {
    // The error is the reason alone: the callers' messages name the file themselves.
    std::vector<std::uint8_t> bytes;
    if (!ReadWholeFile(path, bytes, error))
        return false;
    const std::string pathBefore = settings.pofgenPath;
    const std::string fontBefore = settings.fontName;
    DecodeSettings(bytes, settings);
    // The file keeps its texts in the ANSI code page, as the program always stored them; a text the file does not
    // hold keeps the record's own, which is UTF-8 already.
    if (codec.toUtf8 && settings.pofgenPath != pathBefore)
        settings.pofgenPath = codec.toUtf8(settings.pofgenPath);
    if (codec.toUtf8 && settings.fontName != fontBefore)
        settings.fontName = codec.toUtf8(settings.fontName);
    return true;
}

bool SaveSettings(const std::string& path, const Settings& settings, std::string& error, const AnsiCodec& codec) {
    if (!codec.fromUtf8)
        return ReplaceFileAtomically(path, EncodeSettings(settings), error);
    Settings stored = settings;
    stored.pofgenPath = codec.fromUtf8(settings.pofgenPath);
    stored.fontName = codec.fromUtf8(settings.fontName);
    return ReplaceFileAtomically(path, EncodeSettings(stored), error);
}

}  // namespace torvale
