// A stand-in for POFGEN, the game's model compiler, used only by the tests. It behaves as the program relies
// on POFGEN to behave: it takes its switches and then the P3D path as its last argument, writes its messages
// to standard output and standard error in several bursts, says "Error Processing" when it fails, and
// otherwise leaves an OOF file at the P3D path with the last three characters replaced by "OOF".
//
// It compiles a small text format of the tests' own (real P3D files are binary and not known here):
//
//     P3D-TEST                 first line, always
//     # a comment              ignored, like blank lines
//     t rock1                  a texture name; textures are numbered from 0 in order
//     v 0 0 0                  a vertex of the one sub-object: x y z; vertices are numbered from 0
//     f 0 0 1 2                a face: its texture (-1 for none, which gives a grey face) and three or more
//                              vertex numbers, in order around the face
//     noise 4000               writes about that many bytes more, alternating between both outputs
//     fail                     fails with "Error Processing" and writes no OOF file
//
// The OOF file (version 2300) holds TXTR (when there are textures), OHDR, one SOBJ named "standin", and a PINF
// text naming the source and the switches. Anything the format does not allow fails the compile.

#include <chrono>
#include <cmath>
#include <cstdio>
#include <fstream>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include "builders/oof_builder.h"

namespace {

using torvale::Vector3;
using namespace torvale::test;

// One write, flushed at once, so that both outputs arrive in the order they were written.
void Say(std::FILE* stream, const std::string& text) {
    std::fputs(text.c_str(), stream);
    std::fflush(stream);
}

// A pause between bursts, so that the reader finds the pipe empty now and then.
void Pause() {
    std::this_thread::sleep_for(std::chrono::milliseconds(15));
}

int Fail(const std::string& p3dPath, const std::string& why) {
    Say(stderr, "Error Processing " + p3dPath + ": " + why + "\n");
    Say(stdout, "No OOF file written.\n");
    return 1;
}

struct Source {
    std::vector<std::string> textures;
    std::vector<Vector3> vertices;
    std::vector<std::vector<int>> faces;  // texture, then the corners
    bool fail = false;
    long noise = 0;
};

// An empty text on success, else what is wrong and on which line.
std::string Parse(std::istream& in, Source& source) {
    std::string line;
    if (!std::getline(in, line) || line.substr(0, 8) != "P3D-TEST")
        return "not a P3D-TEST file";
    for (int number = 2; std::getline(in, line); ++number) {
        if (!line.empty() && line.back() == '\r')
            line.pop_back();
        std::istringstream words(line);
        std::string kind;
        if (!(words >> kind) || kind[0] == '#')
            continue;
        const std::string where = "line " + std::to_string(number) + ": ";
        if (kind == "t") {
            std::string name;
            if (!(words >> name))
                return where + "texture without a name";
            source.textures.push_back(name);
        } else if (kind == "v") {
            Vector3 v;
            if (!(words >> v.x >> v.y >> v.z))
                return where + "a vertex needs three numbers";
            source.vertices.push_back(v);
        } else if (kind == "f") {
            std::vector<int> face;
            int value = 0;
            while (words >> value)
                face.push_back(value);
            if (face.size() < 4)
                return where + "a face needs a texture and three corners";
            if (face[0] < -1 || face[0] >= static_cast<int>(source.textures.size()))
                return where + "no texture " + std::to_string(face[0]);
            for (std::size_t i = 1; i < face.size(); ++i)
                if (face[i] < 0 || face[i] >= static_cast<int>(source.vertices.size()))
                    return where + "no vertex " + std::to_string(face[i]);
            source.faces.push_back(face);
        } else if (kind == "noise") {
            if (!(words >> source.noise) || source.noise < 0)
                return where + "noise needs a byte count";
        } else if (kind == "fail") {
            source.fail = true;
        } else {
            return where + "unknown line \"" + kind + "\"";
        }
    }
    if (source.vertices.empty() || source.faces.empty())
        return "no vertices or no faces";
    return {};
}

// The unit normal of a polygon by Newell's method.
Vector3 NormalOf(const Source& source, const std::vector<int>& face) {
    double x = 0, y = 0, z = 0;
    for (std::size_t i = 1; i < face.size(); ++i) {
        const Vector3& a = source.vertices[static_cast<std::size_t>(face[i])];
        const Vector3& b = source.vertices[static_cast<std::size_t>(face[i + 1 < face.size() ? i + 1 : 1])];
        x += static_cast<double>((a.y - b.y) * (a.z + b.z));
        y += static_cast<double>((a.z - b.z) * (a.x + b.x));
        z += static_cast<double>((a.x - b.x) * (a.y + b.y));
    }
    const double length = std::sqrt(x * x + y * y + z * z);
    if (length == 0)
        return {0, 0, 1};
    return {static_cast<float>(x / length), static_cast<float>(y / length), static_cast<float>(z / length)};
}

Bytes Compile(const Source& source, const std::string& p3dName, const std::string& switches) {
    Vector3 low = source.vertices[0];
    Vector3 high = low;
    float radius = 0;
    for (const Vector3& v : source.vertices) {
        low = {std::fmin(low.x, v.x), std::fmin(low.y, v.y), std::fmin(low.z, v.z)};
        high = {std::fmax(high.x, v.x), std::fmax(high.y, v.y), std::fmax(high.z, v.z)};
        radius = std::fmax(radius, std::sqrt(v.x * v.x + v.y * v.y + v.z * v.z));
    }
    OofBuilder b(2300);
    if (!source.textures.empty()) {
        std::vector<std::string> names;
        for (const std::string& name : source.textures)
            names.push_back(Stored(name));
        b.txtr(names);
    }
    b.ohdr({1, radius, low, high, {}});
    SobjFields s;
    s.name = Stored("standin");
    s.radius = radius;
    s.positions = source.vertices;
    for (const std::vector<int>& f : source.faces) {
        FaceFields face;
        face.normal = NormalOf(source, f);
        face.textured = f[0] >= 0 ? 1 : 0;
        face.textureIndex = f[0] >= 0 ? f[0] : 0;
        face.red = face.green = face.blue = 128;
        for (std::size_t i = 1; i < f.size(); ++i) {
            const float u = (i == 2 || i == 3) ? 1.0f : 0.0f;
            const float v = i >= 3 ? 1.0f : 0.0f;
            face.corners.push_back({f[i], u, v});
        }
        s.faces.push_back(face);
    }
    b.sobj(s);
    b.pinf("POFGEN stand-in\nsource: " + p3dName + "\nswitches: " + switches + "\n");
    return b.bytes();
}

}  // namespace

int main(int argc, char** argv) {
    std::string switches;
    for (int i = 1; i + 1 < argc; ++i)
        switches += std::string(i > 1 ? " " : "") + argv[i];
    Say(stdout, "POFGEN stand-in, compiling the tests' text P3D format\n");
    Say(stdout, "switches: [" + switches + "]\n");
    if (argc < 2)
        return Fail("(nothing)", "no P3D file named on the command line");
    const std::string p3dPath = argv[argc - 1];
    Say(stdout, "source: [" + p3dPath + "]\n");
    Pause();
    Say(stderr, "note: standard error shares the pipe with standard output; this line came through it\n");
    Pause();

    std::ifstream in(p3dPath, std::ios::binary);
    if (!in)
        return Fail(p3dPath, "cannot open the file");
    Source source;
    const std::string problem = Parse(in, source);
    if (!problem.empty())
        return Fail(p3dPath, problem);
    for (long written = 0, i = 0; written < source.noise; ++i) {
        const std::string line = "noise " + std::to_string(i) + ": " + std::string(60, '.') + "\n";
        Say(i % 2 == 0 ? stdout : stderr, line);
        written += static_cast<long>(line.size());
    }
    Say(stdout, "textures: " + std::to_string(source.textures.size()) + ", vertices: " +
                    std::to_string(source.vertices.size()) + ", faces: " + std::to_string(source.faces.size()) + "\n");
    Pause();
    if (source.fail)
        return Fail(p3dPath, "the file asks this compiler to fail");

    const std::string oofPath = p3dPath.substr(0, p3dPath.size() - (p3dPath.size() < 3 ? p3dPath.size() : 3)) + "OOF";
    const std::size_t slash = p3dPath.find_last_of("\\/");
    const Bytes oof = Compile(source, slash == std::string::npos ? p3dPath : p3dPath.substr(slash + 1), switches);
    std::ofstream out(oofPath, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(oof.data()), static_cast<std::streamsize>(oof.size()));
    out.close();
    if (!out)
        return Fail(p3dPath, "cannot write " + oofPath);
    Say(stdout, "wrote [" + oofPath + "], " + std::to_string(oof.size()) + " bytes\n");
    Say(stderr, "done\n");
    return 0;
}
