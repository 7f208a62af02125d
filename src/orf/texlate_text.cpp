#include "orf/texlate_text.h"

#include <unordered_map>

#include "core/ascii_text.h"
#include "core/number_text.h"

namespace torvale {
namespace {

constexpr std::string_view kUtf8Mark = "\xEF\xBB\xBF";

bool IsBlank(char c) {
    return c == ' ' || c == '\t';
}

// Collects one name of a line. Literal blanks at either end are dropped; escaped bytes always stay.
class NameCollector {
public:
    void literal(char c) {
        if (IsBlank(c) && text_.empty())
            return;
        text_ += c;
        if (!IsBlank(c))
            kept_ = text_.size();
    }
    void escaped(char c) {
        text_ += c;
        kept_ = text_.size();
    }
    std::string finish() {
        text_.resize(kept_);
        return std::move(text_);
    }

private:
    std::string text_;
    std::size_t kept_ = 0;
};

std::string LinePrefix(std::size_t line) {
    return "line " + std::to_string(line) + ": ";
}

std::string ControlCharacterError(std::size_t line, char c) {
    return LinePrefix(line) + "control character " + HexEscape(c).substr(2) +
           " (hexadecimal) in the line; write it as " + HexEscape(c);
}

// Reads one line (without its line break). Sets `hasPair` when the line holds a pair, leaves it false for a
// blank or comment line.
bool ParseLine(std::string_view line, std::size_t lineNumber, TexturePair& pair, bool& hasPair, std::string& error) {
    NameCollector names[2];
    std::size_t side = 0;
    bool content = false;
    for (std::size_t i = 0; i < line.size(); ++i) {
        const char c = line[i];
        if (c == '#')
            break;
        if (c == '\\') {
            if (i + 1 == line.size()) {
                error = LinePrefix(lineNumber) + "the line ends in a backslash; write \\\\ for a backslash";
                return false;
            }
            const char next = line[++i];
            if (IsAsciiControl(next)) {
                error = ControlCharacterError(lineNumber, next);
                return false;
            }
            if (next == '\\' || next == '=' || next == '#') {
                names[side].escaped(next);
            } else if (next == 'x' || next == 'X') {
                const int high = i + 1 < line.size() ? HexDigitValue(line[i + 1]) : -1;
                const int low = i + 2 < line.size() ? HexDigitValue(line[i + 2]) : -1;
                if (high < 0 || low < 0) {
                    error = LinePrefix(lineNumber) + "\\x must be followed by two hexadecimal digits";
                    return false;
                }
                names[side].escaped(static_cast<char>(high * 16 + low));
                i += 2;
            } else {
                error = LinePrefix(lineNumber) + "unknown escape \\" + std::string(1, next) +
                        "; the escapes are \\\\, \\=, \\# and \\xHH";
                return false;
            }
            content = true;
            continue;
        }
        if (c == '=') {
            if (side == 1) {
                error = LinePrefix(lineNumber) + "a second '='; write \\= for an equals sign inside a name";
                return false;
            }
            side = 1;
            content = true;
            continue;
        }
        if (IsAsciiControl(c) && c != '\t') {
            error = ControlCharacterError(lineNumber, c);
            return false;
        }
        if (!IsBlank(c))
            content = true;
        names[side].literal(c);
    }
    hasPair = false;
    if (!content)
        return true;
    if (side == 0) {
        error = LinePrefix(lineNumber) + "no '=' between the model name and the room name";
        return false;
    }
    pair.modelName = names[0].finish();
    pair.roomName = names[1].finish();
    if (pair.modelName.empty() || pair.roomName.empty()) {
        error = LinePrefix(lineNumber) + (pair.modelName.empty() ? "the model name" : "the room name") +
                " is empty; a name has at least 1 byte";
        return false;
    }
    hasPair = true;
    return true;
}

}  // namespace

bool ParseTexlateText(std::string_view text, TexlateTextResult& result, std::string& error) {
    result = {};
    if (text.starts_with(kUtf8Mark))
        text.remove_prefix(kUtf8Mark.size());  // as some editors save it
    std::unordered_map<std::string, std::size_t> firstLineOfModel;
    std::size_t lineNumber = 0;
    while (!text.empty()) {
        ++lineNumber;
        const std::size_t end = text.find('\n');
        std::string_view line = text.substr(0, end);
        text.remove_prefix(end == std::string_view::npos ? text.size() : end + 1);
        if (line.ends_with('\r'))
            line.remove_suffix(1);

        TexturePair pair;
        bool hasPair = false;
        if (!ParseLine(line, lineNumber, pair, hasPair, error))
            return false;
        if (!hasPair)
            continue;
        if (result.pairs.size() == kTextureTableSlots) {
            error = LinePrefix(lineNumber) + "pair " + std::to_string(kTextureTableSlots + 1) +
                    "; a texture table holds at most " + std::to_string(kTextureTableSlots) + " pairs";
            return false;
        }
        const auto [first, inserted] = firstLineOfModel.emplace(pair.modelName, lineNumber);
        if (!inserted) {
            result.notes.push_back(LinePrefix(lineNumber) + "the model name " + EscapeTexlateName(pair.modelName) +
                                   " is already mapped on line " + std::to_string(first->second) +
                                   "; the first pair wins and this one is never used");
        }
        result.pairs.push_back(std::move(pair));
        result.lines.push_back(lineNumber);
    }
    return true;
}

std::string EscapeTexlateName(std::string_view name) {
    std::string out;
    out.reserve(name.size());
    for (std::size_t i = 0; i < name.size(); ++i) {
        const char c = name[i];
        const bool endBlank = c == ' ' && (i == 0 || i + 1 == name.size());
        if (c == '\\' || c == '=' || c == '#') {
            out += '\\';
            out += c;
        } else if (IsAsciiControl(c) || endBlank) {
            out += HexEscape(c);
        } else {
            out += c;
        }
    }
    return out;
}

std::string FormatTexlateText(std::span<const TexturePair> pairs) {
    std::string out = "# model texture name = room texture name\n";
    for (const TexturePair& pair : pairs) {
        out += EscapeTexlateName(pair.modelName);
        out += " = ";
        out += EscapeTexlateName(pair.roomName);
        out += '\n';
    }
    return out;
}

}  // namespace torvale
