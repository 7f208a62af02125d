// The one file that includes tiny_obj_loader.h: it turns the library's statements into our model.
#include "obj/obj_model.h"

#include <algorithm>
#include <cctype>
#include <cmath>
#include <cstdlib>
#include <map>
#include <sstream>

#include "model_io/handedness.h"
#include "model_io/model_assembly.h"

#define TINYOBJLOADER_IMPLEMENTATION
#include <tiny_obj_loader.h>

namespace torvale {
namespace {

struct RawCorner {
    int vertex;
    int uv;  // 0: none
};

struct RawFace {
    std::size_t group;  // index into ObjReading::groups
    int material;       // index into ObjReading::materialNames, -1 for none
    std::size_t firstCorner;
    std::size_t cornerCount;
};

// What the statements say, gathered as the library reads them; turned into a model once it is done.
struct ObjReading {
    std::istringstream* stream = nullptr;
    std::vector<std::size_t> lineStarts;
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
    std::size_t currentObject = 0, currentGroup = 0;  // the latest `o` and `g`, 0 before any
    bool anyObject = false;
    std::vector<std::size_t> faceObject, faceGroup;

    std::vector<std::string> materialNames;  // usemtl names
    std::map<std::string, int, std::less<>> materialByName;
    int currentMaterial = -1;
    std::vector<tinyobj::material_t> library;

    // The line the library has just read: the stream stands at the start of the next one.
    std::size_t currentLine() const {
        const auto at = stream->tellg();
        const std::size_t position = at < 0 ? lineStarts.back() + 1 : static_cast<std::size_t>(at);
        const auto next = std::lower_bound(lineStarts.begin(), lineStarts.end(), position);
        return static_cast<std::size_t>(next - lineStarts.begin());
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
            std::string lower(word.substr(0, 3));
            std::transform(lower.begin(), lower.end(), lower.begin(),
                           [](char c) { return static_cast<char>(std::tolower(static_cast<unsigned char>(c))); });
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
    RawFace face{0, r.currentMaterial, r.corners.size(), static_cast<std::size_t>(count)};
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
    r.faceObject.push_back(r.currentObject);
    r.faceGroup.push_back(r.currentGroup);
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
    r.currentGroup = r.groups.size() - 1;
}

void OnObject(void* user, const char* name) {
    auto& r = *static_cast<ObjReading*>(user);
    r.groups.push_back({Trimmed(name), true});
    r.currentObject = r.groups.size() - 1;
    r.anyObject = true;
}

// Material libraries come through the caller's loader, never from the file system directly.
class LoaderMaterialReader : public tinyobj::MaterialReader {
public:
    LoaderMaterialReader(const ResourceLoader& loader, std::vector<std::string>& notes, std::string_view title)
        : loader_(loader), notes_(notes), title_(title) {}
    bool operator()(const std::string& name,
                    std::vector<tinyobj::material_t>* materials,
                    std::map<std::string, int>* byName,
                    std::string* warn,
                    std::string* err) override {
        std::vector<std::uint8_t> bytes;
        std::string why = "no way to read files beside this model";
        if (!loader_ || !loader_(name, bytes, why)) {
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
    std::string_view title_;
};

std::string FileStem(std::string_view path) {
    const std::size_t slash = path.find_last_of("/\\");
    if (slash != std::string_view::npos)
        path.remove_prefix(slash + 1);
    const std::size_t dot = path.rfind('.');
    if (dot != std::string_view::npos && dot > 0)
        path = path.substr(0, dot);
    return std::string(path);
}

std::uint8_t ColorByte(tinyobj::real_t value) {
    return static_cast<std::uint8_t>(std::lround(std::clamp(static_cast<double>(value), 0.0, 1.0) * 255.0));
}

bool IsColorName(std::string_view name) {
    return name.size() == 10 && name.substr(0, 4) == "rgb_" &&
           name.find_first_not_of("0123456789abcdefABCDEF", 4) == std::string_view::npos;
}

ObjectModel Assemble(const ObjReading& r, std::string_view title) {
    ModelAssembler assembler;
    // Texture index (or -1 and a colour) per usemtl name.
    std::vector<std::pair<std::int32_t, FaceColor>> looks;
    for (const std::string& name : r.materialNames) {
        const auto m = std::find_if(r.library.begin(), r.library.end(),
                                    [&](const tinyobj::material_t& mt) { return mt.name == name; });
        FaceColor color{255, 255, 255};
        if (m != r.library.end())
            color = {ColorByte(m->diffuse[0]), ColorByte(m->diffuse[1]), ColorByte(m->diffuse[2])};
        if (m != r.library.end() && !m->diffuse_texname.empty())
            looks.emplace_back(assembler.texture(FileStem(m->diffuse_texname)), FaceColor{});
        else if (IsColorName(name) || name.empty())
            looks.emplace_back(-1, color);
        else
            looks.emplace_back(assembler.texture(name), FaceColor{});
    }
    const std::vector<std::size_t>& owner = r.anyObject ? r.faceObject : r.faceGroup;
    std::vector<std::int32_t> localVertex(r.positions.size(), -1);
    std::vector<std::size_t> touched;
    std::vector<FaceVertex> corners;
    std::size_t currentOwner = static_cast<std::size_t>(-1);
    for (std::size_t f = 0; f < r.faces.size(); ++f) {
        if (owner[f] != currentOwner) {
            currentOwner = owner[f];
            for (std::size_t v : touched)
                localVertex[v] = -1;
            touched.clear();
            std::string name = r.groups[currentOwner].name;
            if (name.empty())
                name = FileStem(title);
            assembler.subObject(name, -1, {});
        }
        const RawFace& face = r.faces[f];
        corners.clear();
        for (std::size_t k = 0; k < face.cornerCount; ++k) {
            const RawCorner& c = r.corners[face.firstCorner + k];
            const auto v = static_cast<std::size_t>(c.vertex);
            if (localVertex[v] < 0) {
                localVertex[v] = assembler.vertex(r.positions[v]);
                touched.push_back(v);
            }
            FaceVertex corner{localVertex[v], 0.0f, 0.0f};
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
    ObjectModel model = assembler.finish();
    SwitchHandedness(model);
    return model;
}

}  // namespace

bool ReadObjModel(std::span<const std::uint8_t> bytes,
                  std::string_view title,
                  const ResourceLoader& loader,
                  ObjectModel& model,
                  std::vector<std::string>& notes,
                  std::string& error) {
    try {
        if (const std::string words = FindNumberWords(bytes); !words.empty()) {
            error = std::string(title) + ": " + words;
            return false;
        }
        std::istringstream stream(std::string(bytes.begin(), bytes.end()));
        ObjReading reading;
        reading.stream = &stream;
        reading.lineStarts.push_back(0);
        for (std::size_t i = 0; i < bytes.size(); ++i) {
            // Lines end in LF, CR LF or a lone CR, as the library takes them.
            if (bytes[i] == '\n' || (bytes[i] == '\r' && (i + 1 == bytes.size() || bytes[i + 1] != '\n')))
                reading.lineStarts.push_back(i + 1);
        }
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
        LoaderMaterialReader materials(loader, found, title);
        std::string warn, err;
        tinyobj::LoadObjWithCallback(stream, callbacks, &reading, &materials, &warn, &err);
        if (!reading.error.empty()) {
            error = std::string(title) + ": " + reading.error;
            return false;
        }
        if (reading.faces.empty()) {
            error = std::string(title) + ": no face statements; not an OBJ model with faces";
            return false;
        }
        model = Assemble(reading, title);
        notes.insert(notes.end(), found.begin(), found.end());
        return true;
    } catch (const std::bad_alloc&) {
        error = std::string(title) + ": more data than this computer's memory holds";
    }
    return false;
}

}  // namespace torvale
