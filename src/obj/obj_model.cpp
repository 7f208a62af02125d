// The one file that includes tiny_obj_loader.h: it turns the library's statements into our model.
#include "obj/obj_model.h"
#include "core/ascii_text.h"
#include "core/path_text.h"

#include <algorithm>
#include <cctype>
#include <climits>
#include <cmath>
#include <cstdlib>
#include <istream>
#include <map>
#include <sstream>
#include <streambuf>

#include "model_io/copy_suffix.h"
#include "model_io/handedness.h"
#include "model_io/model_images.h"
#include "model_io/resource_path.h"
#include "scene/scene_builder.h"

#define TINYOBJLOADER_IMPLEMENTATION
#include <tiny_obj_loader.h>

namespace torvale {
namespace {

// The longest line read. Real files keep a face to a few hundred bytes; the limit keeps one huge line from
// costing the parser many times its size.
constexpr std::size_t kLongestLine = 65536;

struct RawCorner {
    int vertex;
    int uv;  // 0: none
};

struct RawFace {
    std::uint32_t object;  // the latest `o` and `g`, as indices into ObjReading::groups
    std::uint32_t group;
    std::int32_t material;  // index into ObjReading::materialNames, -1 for none
    std::uint32_t cornerCount;
    std::size_t firstCorner;
};

// The file's bytes as a stream for the library, without a copy.
class SpanStreamBuf : public std::streambuf {
public:
    explicit SpanStreamBuf(std::span<const std::uint8_t> bytes) {
        char* begin = const_cast<char*>(reinterpret_cast<const char*>(bytes.data()));
        setg(begin, begin, begin + bytes.size());
    }

protected:
    pos_type seekoff(off_type offset, std::ios_base::seekdir dir, std::ios_base::openmode which) override {
        if (!(which & std::ios_base::in) || offset != 0 || dir != std::ios_base::cur)
            return pos_type(off_type(-1));
        return pos_type(gptr() - eback());
    }
};

// The number of the line that byte `position` lies on; lines end in LF, CR LF or a lone CR, as the library
// takes them.
std::size_t LineAt(std::span<const std::uint8_t> bytes, std::size_t position) {
    std::size_t line = 1;
    for (std::size_t i = 0; i < position && i < bytes.size(); ++i)
        if (bytes[i] == '\n' || (bytes[i] == '\r' && (i + 1 == bytes.size() || bytes[i + 1] != '\n')))
            ++line;
    return line;
}

// How many of each statement the file holds, to reserve room for them once.
struct ObjCounts {
    std::size_t vertices = 0, uvs = 0, faces = 0, corners = 0;
};

bool IsBlank(char c) {
    return c == ' ' || c == '\t';
}

// Checks one corner of a face statement ("7", "7/2", "7//3", "-1/-1/-1"): every index a whole number that an
// int holds and that is not zero; a missing texture coordinate or normal stays empty. The library reads indices
// with atoi, which wraps what does not fit, so nothing reaches it unchecked.
bool CheckCorner(std::string_view corner, std::size_t number, std::string& why) {
    std::size_t start = 0;
    for (int part = 0; start <= corner.size(); ++part) {
        const std::size_t slash = std::min(corner.find('/', start), corner.size());
        const std::string_view index = corner.substr(start, slash - start);
        start = slash + 1;
        if (index.empty() && part > 0)
            continue;
        const std::size_t digits = !index.empty() && (index[0] == '-' || index[0] == '+') ? 1 : 0;
        long long value = 0;
        bool ok = index.size() > digits && part < 3;
        for (std::size_t i = digits; ok && i < index.size(); ++i) {
            ok = index[i] >= '0' && index[i] <= '9';
            value = std::min(value * 10 + (index[i] - '0'), static_cast<long long>(INT_MAX) + 1);
        }
        if (!ok) {
            why = "corner " + std::to_string(number) + ", " + QuotedName(corner) + ", is no vertex index";
            return false;
        }
        if (value == 0 || value > INT_MAX) {
            why = "corner " + std::to_string(number) + " names " + (part == 0 ? "vertex " : "index ") +
                  std::string(index) + (value == 0 ? ", which no vertex has" : ", more than any file holds");
            return false;
        }
    }
    return true;
}

// One pass over the text before the library reads it: every line within kLongestLine, every index of a face
// exact, and the counts of what the file holds.
bool ScanObj(std::span<const std::uint8_t> bytes, ObjCounts& counts, std::string& error) {
    const std::string_view text(reinterpret_cast<const char*>(bytes.data()), bytes.size());
    std::size_t line = 0;
    for (std::size_t start = 0; start < text.size();) {
        ++line;
        std::size_t end = start;
        while (end < text.size() && text[end] != '\n' && text[end] != '\r')
            ++end;
        if (end - start > kLongestLine) {
            error = "line " + std::to_string(line) + ": longer than " + std::to_string(kLongestLine) + " bytes";
            return false;
        }
        std::string_view statement = text.substr(start, end - start);
        start = end + (text.compare(end, 2, "\r\n") == 0 ? 2 : 1);
        while (!statement.empty() && IsBlank(statement.front()))
            statement.remove_prefix(1);
        if (statement.size() < 2 || !IsBlank(statement[1])) {
            if (statement.rfind("vt", 0) == 0 && statement.size() > 2 && IsBlank(statement[2]))
                ++counts.uvs;
            continue;
        }
        if (statement[0] == 'v')
            ++counts.vertices;
        if (statement[0] != 'f')
            continue;
        ++counts.faces;
        // The library reads a face up to a NUL, as C strings end.
        statement = statement.substr(0, statement.find('\0'));
        std::size_t at = 1, number = 0;
        while (true) {
            while (at < statement.size() && (IsBlank(statement[at]) || statement[at] == '\r'))
                ++at;
            if (at == statement.size())
                break;
            std::size_t after = at;
            while (after < statement.size() && !IsBlank(statement[after]) && statement[after] != '\r')
                ++after;
            std::string why;
            if (!CheckCorner(statement.substr(at, after - at), ++number, why)) {
                error = "line " + std::to_string(line) + ": " + why;
                return false;
            }
            at = after;
        }
        counts.corners += number;
    }
    return true;
}

// What the statements say, gathered as the library reads them; turned into a model once it is done.
struct ObjReading {
    std::span<const std::uint8_t> bytes;
    std::istream* stream = nullptr;
    std::string error;

    std::vector<Vector3> positions;
    std::vector<std::pair<float, float>> uvs;
    std::vector<RawCorner> corners;
    std::vector<RawFace> faces;

    // Every `o` and every `g` statement, in order; a group counts only when the file has no `o`.
    struct Group {
        std::string name;
        bool object;
    };
    std::vector<Group> groups{{"", false}};
    std::uint32_t currentObject = 0, currentGroup = 0;  // the latest `o` and `g`, 0 before any
    bool anyObject = false;

    std::vector<std::string> materialNames;  // usemtl names
    std::map<std::string, int, std::less<>> materialByName;
    int currentMaterial = -1;
    std::vector<tinyobj::material_t> library;

    // The line the library has just read: the stream stands at the start of the next one.
    std::size_t currentLine() const {
        const auto at = stream->tellg();
        const std::size_t next = at < 0 ? bytes.size() : static_cast<std::size_t>(at);
        return LineAt(bytes, next == 0 ? 0 : next - 1);
    }
    void fail(const std::string& why) {
        if (error.empty())
            error = "line " + std::to_string(currentLine()) + ": " + why;
    }
};

// Resolves an OBJ index: 1-based from the start, or negative from the latest; 0 or out of range is -1.
int Resolve(int index, std::size_t defined) {
    const auto n = static_cast<long long>(defined);
    const long long resolved = index > 0 ? index - 1LL : n + index;
    return index != 0 && resolved >= 0 && resolved < n ? static_cast<int>(resolved) : -1;
}

// Numbers too large for a float (1e999) come from the library as infinities.
bool Finite(ObjReading& r, const char* what, std::initializer_list<tinyobj::real_t> values) {
    if (std::all_of(values.begin(), values.end(), [](tinyobj::real_t v) { return std::isfinite(v); }))
        return true;
    r.fail(std::string(what) + " with a number that is not finite");
    return false;
}

void OnVertex(void* user, tinyobj::real_t x, tinyobj::real_t y, tinyobj::real_t z, tinyobj::real_t w) {
    auto& r = *static_cast<ObjReading*>(user);
    if (Finite(r, "a vertex", {x, y, z, w}))
        r.positions.push_back({x, y, z});
}

void OnNormal(void* user, tinyobj::real_t x, tinyobj::real_t y, tinyobj::real_t z) {
    Finite(*static_cast<ObjReading*>(user), "a normal", {x, y, z});
}

void OnTexcoord(void* user, tinyobj::real_t u, tinyobj::real_t v, tinyobj::real_t w) {
    auto& r = *static_cast<ObjReading*>(user);
    if (Finite(r, "a texture coordinate", {u, v, w}))
        r.uvs.emplace_back(u, v);
}

// The library reads the words inf and nan in a number's place as 0: the first such word of a v, vt or vn
// statement, as "line 7: ..."; empty when there is none.
std::string FindNumberWords(std::span<const std::uint8_t> bytes) {
    std::size_t line = 1;
    for (std::size_t at = 0; at < bytes.size();) {
        std::size_t end = at;
        while (end < bytes.size() && bytes[end] != '\n' && bytes[end] != '\r')
            ++end;
        std::string_view text(reinterpret_cast<const char*>(bytes.data() + at), end - at);
        const std::size_t first = text.find_first_not_of(" \t");
        text.remove_prefix(first == std::string_view::npos ? text.size() : first);
        const bool numbers =
            text.size() > 1 && text[0] == 'v' &&
            (text[1] == ' ' || text[1] == '\t' ||
             ((text[1] == 't' || text[1] == 'n') && text.size() > 2 && (text[2] == ' ' || text[2] == '\t')));
        while (numbers && !text.empty()) {
            const std::size_t start = text.find_first_of(" \t");
            if (start == std::string_view::npos)
                break;
            text.remove_prefix(start);
            text.remove_prefix(std::min(text.find_first_not_of(" \t"), text.size()));
            std::string_view word = text.substr(0, text.find_first_of(" \t"));
            if (!word.empty() && (word[0] == '+' || word[0] == '-'))
                word.remove_prefix(1);
            const std::string lower = AsciiLowered(word.substr(0, 3));
            if (lower == "inf" || lower == "nan")
                return "line " + std::to_string(line) + ": '" + std::string(text.substr(0, text.find_first_of(" \t"))) +
                       "' is not a finite number";
        }
        // A line ends in LF, CR LF or a lone CR.
        at = end + (end + 1 < bytes.size() && bytes[end] == '\r' && bytes[end + 1] == '\n' ? 2 : 1);
        ++line;
    }
    return {};
}

void OnFace(void* user, tinyobj::index_t* indices, int count) {
    auto& r = *static_cast<ObjReading*>(user);
    if (!r.error.empty())
        return;
    if (count < 3) {
        r.fail("a face of " + std::to_string(count) + " corners; a face needs at least 3");
        return;
    }
    RawFace face{r.currentObject, r.currentGroup, r.currentMaterial, static_cast<std::uint32_t>(count),
                 r.corners.size()};
    for (int k = 0; k < count; ++k) {
        const int vertex = Resolve(indices[k].vertex_index, r.positions.size());
        if (vertex < 0) {
            r.fail("corner " + std::to_string(k + 1) + " names vertex " + std::to_string(indices[k].vertex_index) +
                   ", but " + std::to_string(r.positions.size()) + " vertices come before it");
            r.corners.resize(face.firstCorner);
            return;
        }
        int uv = 0;
        if (indices[k].texcoord_index != 0) {
            uv = Resolve(indices[k].texcoord_index, r.uvs.size()) + 1;
            if (uv == 0) {
                r.fail("corner " + std::to_string(k + 1) + " names texture coordinate " +
                       std::to_string(indices[k].texcoord_index) + ", but " + std::to_string(r.uvs.size()) +
                       " come before it");
                r.corners.resize(face.firstCorner);
                return;
            }
        }
        r.corners.push_back({vertex, uv});
    }
    r.faces.push_back(face);
}

void OnUseMaterial(void* user, const char* name, int) {
    auto& r = *static_cast<ObjReading*>(user);
    const auto [found, added] = r.materialByName.emplace(name, static_cast<int>(r.materialNames.size()));
    if (added)
        r.materialNames.emplace_back(name);
    r.currentMaterial = found->second;
}

void OnMaterialLibrary(void* user, const tinyobj::material_t* materials, int count) {
    auto& r = *static_cast<ObjReading*>(user);
    r.library.assign(materials, materials + count);
}

std::string Trimmed(std::string_view text) {
    const std::size_t first = text.find_first_not_of(" \t\r\n");
    if (first == std::string_view::npos)
        return {};
    const std::size_t last = text.find_last_not_of(" \t\r\n");
    return std::string(text.substr(first, last - first + 1));
}

void OnGroup(void* user, const char** names, int count) {
    auto& r = *static_cast<ObjReading*>(user);
    std::string name;
    for (int i = 0; i < count; ++i)
        name += (i > 0 ? " " : "") + std::string(names[i]);
    r.groups.push_back({name, false});
    r.currentGroup = static_cast<std::uint32_t>(r.groups.size() - 1);
}

void OnObject(void* user, const char* name) {
    auto& r = *static_cast<ObjReading*>(user);
    r.groups.push_back({Trimmed(name), true});
    r.currentObject = static_cast<std::uint32_t>(r.groups.size() - 1);
    r.anyObject = true;
}

// Material libraries come through the caller's loader, never from the file system directly.
class LoaderMaterialReader : public tinyobj::MaterialReader {
public:
    LoaderMaterialReader(const ResourceLoader& loader,
                         std::vector<std::string>& notes,
                         std::string& refusal,
                         std::string_view title)
        : loader_(loader), notes_(notes), refusal_(refusal), title_(title) {}
    bool operator()(const std::string& name,
                    std::vector<tinyobj::material_t>* materials,
                    std::map<std::string, int>* byName,
                    std::string* warn,
                    std::string* err) override {
        std::vector<std::uint8_t> bytes;
        std::string relative, why;
        if (!ResolveModelUri(name, relative, why)) {
            if (refusal_.empty())
                refusal_ = "material library " + QuotedName(name) + " " + why;
            return false;
        }
        why = "no way to read files beside this model";
        const ResourceRead read = loader_ ? loader_(relative, bytes, why) : ResourceRead(false);
        if (read.refused()) {
            if (refusal_.empty())
                refusal_ = "material library " + why;
            return false;
        }
        if (!read) {
            notes_.push_back(std::string(title_) + ": material library " + name + " not read (" + why +
                             "); its material names are used as they are");
            return false;
        }
        std::istringstream stream(std::string(bytes.begin(), bytes.end()));
        tinyobj::LoadMtl(byName, materials, &stream, warn, err);
        return true;
    }

private:
    const ResourceLoader& loader_;
    std::vector<std::string>& notes_;
    std::string& refusal_;
    std::string_view title_;
};

std::uint8_t ColorByte(tinyobj::real_t value) {
    return static_cast<std::uint8_t>(std::lround(std::clamp(static_cast<double>(value), 0.0, 1.0) * 255.0));
}

bool IsColorName(std::string_view name) {
    return name.size() == 10 && name.substr(0, 4) == "rgb_" &&
           name.find_first_not_of("0123456789abcdefABCDEF", 4) == std::string_view::npos;
}

// Whether the file uses or its libraries define a material called `name`.
bool MaterialNamed(const ObjReading& r, std::string_view name) {
    return std::find(r.materialNames.begin(), r.materialNames.end(), name) != r.materialNames.end() ||
           std::any_of(r.library.begin(), r.library.end(),
                       [&](const tinyobj::material_t& m) { return m.name == name; });
}

// The scene of what was read, or false with the reason it is not a valid one in `error`. `mapFiles` gets, per
// texture of the scene, the map_Kd file it was named from (empty: named from a material).
bool Assemble(const ObjReading& r,
              std::string_view title,
              Scene& scene,
              std::vector<std::string>& mapFiles,
              std::string& error) {
    SceneBuilder assembler;
    // Texture index (or -1 and a colour) per usemtl name.
    std::vector<std::pair<std::int32_t, FaceColor>> looks;
    for (const std::string& name : r.materialNames) {
        const auto m = std::find_if(r.library.begin(), r.library.end(),
                                    [&](const tinyobj::material_t& mt) { return mt.name == name; });
        FaceColor color{255, 255, 255};
        if (m != r.library.end())
            color = {ColorByte(m->diffuse[0]), ColorByte(m->diffuse[1]), ColorByte(m->diffuse[2])};
        if (m != r.library.end() && !m->diffuse_texname.empty()) {
            const std::int32_t slot = assembler.texture(FileStemOf(m->diffuse_texname, PathSeparators::Any));
            const auto index = static_cast<std::size_t>(slot);
            if (mapFiles.size() <= index)
                mapFiles.resize(index + 1);
            // Two files of one name are one texture: the first one met stands for it.
            if (mapFiles[index].empty())
                mapFiles[index] = m->diffuse_texname;
            looks.emplace_back(slot, FaceColor{});
        } else if (IsColorName(name) || name.empty())
            looks.emplace_back(-1, color);
        else
            looks.emplace_back(assembler.texture(WithoutCopySuffix(
                                   name, [&](std::string_view base) { return MaterialNamed(r, base); })),
                               FaceColor{});
    }
    constexpr std::uint32_t kNotYet = static_cast<std::uint32_t>(-1);
    std::vector<std::uint32_t> localVertex(r.positions.size(), kNotYet);
    std::vector<std::size_t> touched;
    std::vector<SceneCorner> corners;
    std::size_t currentOwner = static_cast<std::size_t>(-1);
    for (std::size_t f = 0; f < r.faces.size(); ++f) {
        const std::size_t owner = r.anyObject ? r.faces[f].object : r.faces[f].group;
        if (owner != currentOwner) {
            currentOwner = owner;
            for (std::size_t v : touched)
                localVertex[v] = kNotYet;
            touched.clear();
            std::string name = r.groups[currentOwner].name;
            if (name.empty())
                name = FileStemOf(title, PathSeparators::Any);
            assembler.subObject(name, -1, {});
        }
        const RawFace& face = r.faces[f];
        corners.clear();
        for (std::size_t k = 0; k < face.cornerCount; ++k) {
            const RawCorner& c = r.corners[face.firstCorner + k];
            const auto v = static_cast<std::size_t>(c.vertex);
            if (localVertex[v] == kNotYet) {
                localVertex[v] = assembler.vertex(r.positions[v]);
                touched.push_back(v);
            }
            SceneCorner corner{localVertex[v], 0.0f, 0.0f};
            if (c.uv > 0) {
                const auto& [u, v2] = r.uvs[static_cast<std::size_t>(c.uv - 1)];
                corner.u = u;
                corner.v = 1.0f - v2;  // OBJ's v runs up from the bottom, the game's down from the top
            }
            corners.push_back(corner);
        }
        const auto& look = face.material >= 0 ? looks[static_cast<std::size_t>(face.material)]
                                              : std::pair<std::int32_t, FaceColor>{-1, {255, 255, 255}};
        assembler.face(corners, look.first, look.second);
    }
    std::string invalid;
    if (!assembler.finish(scene, invalid)) {
        error = std::string(title) + ": " + invalid;
        return false;
    }
    SwitchHandedness(scene);
    return true;
}

}  // namespace

bool ReadObjModel(std::span<const std::uint8_t> bytes,
                  std::string_view title,
                  const ResourceLoader& loader,
                  Scene& scene,
                  std::vector<std::string>& notes,
                  std::string& error,
                  TextureImages* images) {
    try {
        ObjCounts counts;
        std::string why;
        if (!ScanObj(bytes, counts, why)) {
            error = std::string(title) + ": " + why;
            return false;
        }
        if (const std::string words = FindNumberWords(bytes); !words.empty()) {
            error = std::string(title) + ": " + words;
            return false;
        }
        SpanStreamBuf buffer(bytes);
        std::istream stream(&buffer);
        ObjReading reading;
        reading.bytes = bytes;
        reading.stream = &stream;
        reading.positions.reserve(counts.vertices);
        reading.uvs.reserve(counts.uvs);
        reading.faces.reserve(counts.faces);
        reading.corners.reserve(counts.corners);
        tinyobj::callback_t callbacks;
        callbacks.vertex_cb = &OnVertex;
        callbacks.texcoord_cb = &OnTexcoord;
        callbacks.normal_cb = &OnNormal;
        callbacks.index_cb = &OnFace;
        callbacks.usemtl_cb = &OnUseMaterial;
        callbacks.mtllib_cb = &OnMaterialLibrary;
        callbacks.group_cb = &OnGroup;
        callbacks.object_cb = &OnObject;
        std::vector<std::string> found;
        std::string refusal;
        LoaderMaterialReader materials(loader, found, refusal, title);
        std::string warn, err;
        tinyobj::LoadObjWithCallback(stream, callbacks, &reading, &materials, &warn, &err);
        // Texture files are read only when asked for; one outside the model's folder is refused all the same.
        for (const tinyobj::material_t& m : reading.library) {
            std::string relative;
            if (refusal.empty() && !m.diffuse_texname.empty() && !ResolveModelUri(m.diffuse_texname, relative, why))
                refusal = "material " + QuotedName(m.name) + ": map_Kd " + QuotedName(m.diffuse_texname) + " " + why;
        }
        if (!refusal.empty() || !reading.error.empty()) {
            error = std::string(title) + ": " + (refusal.empty() ? reading.error : refusal);
            return false;
        }
        if (reading.faces.empty()) {
            error = std::string(title) + ": no face statements; not an OBJ model with faces";
            return false;
        }
        Scene read;
        std::vector<std::string> mapFiles;
        if (!Assemble(reading, title, read, mapFiles, error))
            return false;
        TextureImages pictures;
        if (images) {
            mapFiles.resize(read.textures.size());
            pictures.resize(mapFiles.size());
            for (std::size_t t = 0; t < mapFiles.size() && refusal.empty(); ++t)
                if (!mapFiles[t].empty())
                    pictures[t] = ReadModelImage(mapFiles[t], loader, title, found, refusal);
            if (!refusal.empty()) {
                error = std::string(title) + ": map_Kd " + refusal;
                return false;
            }
        }
        scene = std::move(read);
        notes.insert(notes.end(), found.begin(), found.end());
        if (images)
            *images = std::move(pictures);
        return true;
    } catch (const std::bad_alloc&) {
        error = std::string(title) + ": more data than this computer's memory holds";
    }
    return false;
}

}  // namespace torvale
