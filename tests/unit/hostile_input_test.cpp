// Hostile models through the command-line tool: every command refuses them with one line, reads nothing outside
// the model's folder and writes or replaces nothing.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <filesystem>
#include <map>
#include <random>
#include <sstream>

#include "builders/bytes.h"
#include "builders/gltf_builder.h"
#include "builders/texlate_builder.h"
#include "cli/commands.h"

namespace torvale {
namespace {

namespace fs = std::filesystem;
using test::Bytes;

// The secret lies beside the model's folder. Read as a buffer its vertices would be (4321, 4321, 4321); read as
// a material library it would name the texture SECRETTEXTURE.
constexpr float kSecretCoordinate = 4321.0f;
constexpr const char* kSecretTexture = "SECRETTEXTURE";

test::GltfBuilder SecretModel() {
    test::GltfBuilder b;
    test::GltfMeshFields mesh;
    mesh.positions = {{kSecretCoordinate, kSecretCoordinate, kSecretCoordinate}, {1, 0, 0}, {0, 1, 0}};
    b.rootNodes({b.node({"hull", b.mesh(mesh), std::nullopt, std::nullopt, std::nullopt, {}})});
    return b;
}

struct Hostile {
    const char* what;
    const char* file;  // in the model's folder
    Bytes bytes;
    const char* refusal;         // a piece of the one refusal line
    const char* link = nullptr;  // a link in the model's folder to the secret, if any
};

// What an absolute path in a model is refused as: on Windows it begins with a drive.
#ifdef _WIN32
constexpr const char* kAbsoluteBuffer = "names a drive";
constexpr const char* kAbsoluteLibrary = "names a drive";
#else
constexpr const char* kAbsoluteBuffer = "absolute";
constexpr const char* kAbsoluteLibrary = "is an absolute path";
#endif

class HostileInput : public ::testing::Test {
protected:
    void SetUp() override {
        root_ = fs::temp_directory_path() / ("torvale_hostile_input-" + std::to_string(std::random_device{}()));
        fs::remove_all(root_);
        fs::create_directories(root_ / "model");
        secret_ = SecretModel().buffer();
        ASSERT_TRUE(test::WriteTestFile((root_ / "secret.bin").string(), secret_));
        const std::string mtl = std::string("newmtl plank\nmap_Kd ") + kSecretTexture + ".png\n";
        ASSERT_TRUE(test::WriteTestFile((root_ / "secret.mtl").string(), test::TextBytes(mtl)));
        ASSERT_TRUE(test::WriteTestFile(path("texlate.rsc"), test::TexlateFile({{"plank", "FLOOR"}})));
    }
    void TearDown() override { fs::remove_all(root_); }

    std::string path(const std::string& name) const { return (root_ / "model" / name).string(); }
    std::string secretPath(const char* name) const { return (root_ / name).generic_string(); }

    std::string run(int (*command)(const cli::CommandContext&), std::vector<std::string> args, int& status) const {
        std::ostringstream out, err;
        const cli::CommandContext context{
            std::move(args), (root_ / "model").string() + static_cast<char>(fs::path::preferred_separator), out, err};
        status = command(context);
        return out.str() + err.str();
    }

    std::map<std::string, Bytes> folder() const {
        std::map<std::string, Bytes> files;
        for (const auto& entry : fs::recursive_directory_iterator(root_))
            if (entry.is_regular_file() && !entry.is_symlink())
                files[entry.path().string()] = test::ReadTestFile(entry.path().string());
        return files;
    }

    // No bytes of the secret: neither its distinctive coordinate, as text or as a float, nor its texture name.
    static void ExpectNoSecret(const std::string& what, const std::string& where, const Bytes& bytes) {
        std::uint8_t raw[4];
        std::memcpy(raw, &kSecretCoordinate, 4);
        const std::string text(bytes.begin(), bytes.end());
        EXPECT_EQ(text.find("4321"), std::string::npos) << what << " in " << where;
        EXPECT_EQ(text.find(kSecretTexture), std::string::npos) << what << " in " << where;
        EXPECT_EQ(std::search(bytes.begin(), bytes.end(), raw, raw + 4), bytes.end()) << what << " in " << where;
    }

    fs::path root_;
    Bytes secret_;
};

TEST_F(HostileInput, EveryCommandRefusesWithOneLineAndReadsAndWritesNothing) {
    const test::GltfBuilder model = SecretModel();
    const std::string faces = "v 0 0 0\nv 1 0 0\nv 0 1 0\nusemtl plank\nf 1 2 3\n";
    const Hostile cases[] = {
        {"buffer in the parent", "up.gltf", test::TextBytes(model.json("../secret.bin")), "reaches above"},
        {"escaped buffer in the parent", "esc.gltf", test::TextBytes(model.json("%2e%2e/secret.bin")), "reaches above"},
        {"absolute buffer", "abs.gltf", test::TextBytes(model.json(secretPath("secret.bin"))), kAbsoluteBuffer},
        {"buffer through a link", "link.gltf", test::TextBytes(model.json("hull.bin")), "through a link", "hull.bin"},
        {"material library in the parent", "up.obj", test::TextBytes("mtllib ../secret.mtl\n" + faces),
         "material library \"../secret.mtl\" reaches above"},
        {"absolute material library", "abs.obj", test::TextBytes("mtllib " + secretPath("secret.mtl") + "\n" + faces),
         kAbsoluteLibrary},
        {"material library through a link", "link.obj", test::TextBytes("mtllib room.mtl\n" + faces), "through a link",
         "room.mtl"},
        {"JSON nested 20000 deep", "deep.gltf", test::TextBytes(test::DeeplyNestedGltf(20000)), "deeper than 64"},
        {"GLB nested 20000 deep", "deep.glb", test::GlbFromJson(test::DeeplyNestedGltf(20000), {}), "deeper than 64"},
        {"instances past the budget", "many.glb", test::SharedMeshGltf(10000, 2000).glb(), "50000000 corners"},
        {"index past 32 bits", "wrap.obj", test::TextBytes("v 0 0 0\nv 1 0 0\nv 0 1 0\nf 1 2 4294967299\n"),
         "line 4: corner 3 names vertex 4294967299"},
        {"line past the limit", "long.obj", test::TextBytes(test::ObjWithLongFace(40000)), "line 4: longer than"},
    };
    for (const Hostile& c : cases) {
        ASSERT_TRUE(test::WriteTestFile(path(c.file), c.bytes));
        std::error_code error;
        if (c.link)
            fs::create_symlink(root_ / (std::string(c.file).ends_with(".obj") ? "secret.mtl" : "secret.bin"),
                               path(c.link), error);
        if (error)
            continue;  // no symbolic links on this system
        const std::vector<std::string> targets = {"old.orf", "old.gltf", "old.glb", "old.obj"};
        for (const std::string& target : targets)
            ASSERT_TRUE(test::WriteTestFile(path(target), test::TextBytes("old " + target)));
        ASSERT_TRUE(test::WriteTestFile(path("old.png"), test::TextBytes("old png")));
        const std::map<std::string, Bytes> before = folder();

        std::vector<std::pair<std::string, std::vector<std::string>>> runs = {{"report", {path(c.file)}}};
        for (const std::string& target : targets)
            runs.push_back({"export " + target, {path(c.file), "-o", path(target)}});
        runs.push_back({"render", {path(c.file), "-o", path("old.png"), "--size", "32x32"}});
        for (const auto& [name, args] : runs) {
            const std::string what = std::string(c.what) + ", " + name;
            int status = 0;
            const std::string text = run(name == "report"   ? cli::RunReport
                                         : name == "render" ? cli::RunRender
                                                            : cli::RunExport,
                                         args, status);
            EXPECT_EQ(status, cli::kExitFailed) << what << "\n" << text;
            std::size_t refusals = 0;
            std::istringstream lines(text);
            for (std::string line; std::getline(lines, line);)
                if (line.find(c.refusal) != std::string::npos) {
                    ++refusals;
                    EXPECT_EQ(line.rfind("Error: " + std::string(c.file) + ": ", 0), 0u) << what << ": " << line;
                }
            EXPECT_EQ(refusals, 1u) << what << "\n" << text;
            ExpectNoSecret(what, "the output", test::TextBytes(text));
        }
        const std::map<std::string, Bytes> after = folder();
        EXPECT_EQ(after, before) << c.what;  // nothing written, nothing replaced
        for (const std::string& target : targets)
            ExpectNoSecret(c.what, target, test::ReadTestFile(path(target)));
        if (c.link)
            fs::remove(path(c.link));
    }
}

}  // namespace
}  // namespace torvale
