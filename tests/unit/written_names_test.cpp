// Every name TORVALE writes into an OBJ or a glTF file comes back through our readers, from the files on disk,
// as itself or as the documented replacement: in OBJ statements white space, control characters, '#' and '\'
// become '_', and a material library takes the OBJ's name with the same replacements; the side files (.mtl,
// .bin) have '%' and ':' replaced too, since the readers take their references as percent-escaped names.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "app/export_model.h"
#include "app/open_input.h"
#include "builders/bytes.h"
#include "builders/fake_platform.h"
#include "builders/model_builder.h"
#include "core/utf8_path.h"

namespace torvale {
namespace {

namespace fs = std::filesystem;
using test::ScratchDirectory;

class RecordingSink : public OutputSink {
public:
    void PrintOutput(std::string_view message) override { text += message; }
    std::string text;
};

std::string WithoutZero(std::string name) {
    if (!name.empty() && name.back() == '\0')
        name.pop_back();
    return name;
}

std::string ObjForm(std::string name) {
    for (char& c : name) {
        if (static_cast<unsigned char>(c) < 0x20 || c == 0x7F || c == ' ' || c == '#' || c == '\\')
            c = '_';
    }
    return name;
}

// A side file's name (.bin): '\\', ':', '%' and control characters as '_'.
std::string SideFileForm(std::string name) {
    for (char& c : name) {
        if (static_cast<unsigned char>(c) < 0x20 || c == 0x7F || c == '\\' || c == '%' || c == ':')
            c = '_';
    }
    return name;
}

struct AwkwardName {
    const char* label;
    std::string name;
    bool fileName;  // also tried as the name of the written file
};

const AwkwardName kNames[] = {
    {"Blank", "sp ace", true},
    {"Percent", "100%25 %", true},
    {"Plus", "a+b", true},
#ifndef _WIN32
    {"Backslash", "back\\slash", true},  // no separator on POSIX
    {"Colon", "a:b", true},
#endif
    {"Hash", "hash#tag", true},
    {"Newline", "line\nbreak", false},
    {"CarriageReturn", "cr\rhere", false},
    {"Tab", "tab\there", false},
    {"NonAscii", "caf\xC3\xA9 \xE6\x97\xA5\xE6\x9C\xAC", true},
    {"VeryLong", std::string(120, 'n') + " " + std::string(120, 'm'), true},
};

class WrittenNames : public ::testing::TestWithParam<AwkwardName> {
protected:
    // One sub-object and one texture, both of the name under test.
    static Scene Model(const std::string& name) {
        test::ModelBuilder b;
        b.texture(name).subObject().vertex(0, 0, 0).vertex(1, 0, 0).vertex(0, 1, 0);
        b.face(0, {{0}, {1}, {2}});
        Scene model = b.scene();
        model.objects[0].name = name;
        return model;
    }

    // Writes the model under `fileName` with `extension` and loads it back from disk.
    static Scene RoundTrip(const ScratchDirectory& dir,
                           const std::string& fileName,
                           const char* extension,
                           const std::string& name,
                           std::string& log) {
        const std::string path = dir / (fileName + extension);
        RecordingSink out;
        const ModelTarget target = TargetOf(path);
        EXPECT_TRUE(WriteExchangeModel(Model(name), path, target, out)) << out.text;
        for (const std::string& file : ExchangeModelFiles(path, target))
            EXPECT_TRUE(fs::exists(PathFromUtf8(file))) << file;
        RecordingSink readLog;
        OpenedInput opened = OpenInput(path, fileName + extension, readLog);
        EXPECT_TRUE(opened.loaded) << readLog.text;
        EXPECT_EQ(readLog.text.find(" not read"), std::string::npos) << readLog.text;  // the .mtl and .bin load
        log = out.text;
        return opened.scene.value_or(Scene{});
    }
};

TEST_P(WrittenNames, ReadBackAsWrittenOrAsTheDocumentedReplacement) {
    const AwkwardName& c = GetParam();
    ScratchDirectory dir("names");
    const std::string fileName = c.fileName ? c.name : std::string("plain");
    const bool hasControl =
        ObjForm(c.name) != c.name && c.name.find_first_of(std::string("\n\r\x01", 3)) != std::string::npos;
    for (const char* extension : {".obj", ".gltf", ".glb"}) {
        SCOPED_TRACE(extension);
        std::string log;
        const Scene back = RoundTrip(dir, fileName, extension, c.name, log);
        const bool obj = std::string(extension) == ".obj";
        const std::string expected = obj ? ObjForm(c.name) : c.name;
        ASSERT_EQ(back.objects.size(), 1u);
        EXPECT_EQ(WithoutZero(back.objects[0].name), expected);
        ASSERT_EQ(back.textures.size(), 1u);
        EXPECT_EQ(WithoutZero(back.textures[0]), expected);
        const bool noted = log.find("Note: names with line breaks") != std::string::npos;
        EXPECT_EQ(noted, obj && hasControl) << log;
    }
    if (c.fileName) {
        // The material library is named as the OBJ's names are.
        EXPECT_TRUE(fs::exists(PathFromUtf8(dir / (SideFileForm(ObjForm(c.name)) + ".mtl"))));
        EXPECT_TRUE(fs::exists(PathFromUtf8(dir / (SideFileForm(c.name) + ".bin"))));
    }
}

INSTANTIATE_TEST_SUITE_P(Names, WrittenNames, ::testing::ValuesIn(kNames), [](const auto& info) {
    return std::string(info.param.label);
});

}  // namespace
}  // namespace torvale
