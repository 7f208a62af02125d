#include "app/open_input.h"

#include <cstdint>
#include <filesystem>
#include <vector>

#include "app/check_orf.h"
#include "core/atomic_file.h"
#include "core/file_bytes.h"
#include "core/utf8_path.h"
#include "gltf/gltf_model.h"
#include "model_io/model_summary.h"
#include "model_io/resource_loader.h"
#include "model_io/resource_path.h"
#include "obj/obj_model.h"
#include "oof/oof_reader.h"
#include "oof/oof_scene.h"
#include "orf/orf_reader.h"
#include "orf/room_findings.h"
#include "orf/room_report.h"

namespace torvale {
namespace {

std::string Line(const std::string& text) {
    return std::string(kCrLf) + text + std::string(kCrLf);
}

// Reads the files a model names from the model's own folder or below it, and nowhere else.
ResourceLoader BesideModel(const std::string& modelPath) {
    const std::filesystem::path folder = PathFromUtf8(modelPath).parent_path();
    return [folder](std::string_view name, std::vector<std::uint8_t>& bytes, std::string& error) -> ResourceRead {
        std::string relative;
        std::filesystem::path file;
        if (!CheckInsideFolder(name, relative, error) || !FileInsideFolder(folder, relative, file, error)) {
            error = QuotedName(name) + " " + error;
            return ResourceRead::Refused();
        }
        const std::string path = Utf8FromPath(file);
        if (ReadWholeFile(path, bytes, error))
            return true;
        error = path + ": " + error;
        return false;
    };
}

// A file's bytes as its text readers take them: text that starts with a byte-order mark as UTF-8 (a copy), any
// other file as it is, never copied.
struct Text {
    std::span<const std::uint8_t> bytes;
    std::vector<std::uint8_t> converted;
};

Text TextOf(std::span<const std::uint8_t> bytes) {
    if (!HasByteOrderMark(bytes))
        return {bytes, {}};
    Text text{{}, std::vector<std::uint8_t>(bytes.begin(), bytes.end())};
    TextAsUtf8(text.converted);
    text.bytes = text.converted;
    return text;
}

void OpenOof(FileBytes& file,
             const std::string& title,
             OutputSink& out,
             const OpenRequest& request,
             OpenedInput& opened) {
    ObjectModel fresh;
    ObjectModel& model = request.oofModel ? *request.oofModel : fresh;
    // The reader goes through the file once, so the memory of what it has passed goes back as it reads: a large
    // model and its file are never both held whole.
    const int result =
        ReadOofFile(file.bytes(), title, model, out, request.format, [&](std::size_t passed) { file.release(passed); });
    out.PrintOutput(result == kOofLoaded ? FinishedLoadingMessage(title) : ErrorReadingMessage(title));
    opened.loaded = result == kOofLoaded;
    if (!opened.loaded || !request.sceneWanted)
        return;
    Scene scene;
    // A model read only for this opening is spent as its scene is made.
    std::vector<std::string> notes;
    const bool made = request.oofModel ? SceneFromOof(model, scene, opened.sceneProblem, &notes)
                                       : SceneFromOof(std::move(model), scene, opened.sceneProblem, &notes);
    for (const std::string& note : notes)
        out.PrintOutput("Note: " + note + std::string(kCrLf));
    if (made)
        opened.scene = std::move(scene);
}

bool OpenRoom(std::span<const std::uint8_t> bytes,
              const std::string& title,
              OutputSink& out,
              const OpenRequest& request,
              OpenedInput& opened) {
    Room room;
    std::string error;
    if (!ReadOrfFile(bytes, room, error)) {
        out.PrintOutput(Line(error));
        return false;
    }
    ReportRoom(room, title, out, request.format.gameText);
    std::string name;
    if (request.as == OpenAs::RoomCheck) {
        std::vector<std::string> problems;
        const std::vector<RoomFinding> findings = RoomFindings(room, request.game, request.textures, &problems);
        for (const std::string& problem : problems)
            out.PrintOutput(Line("Note: " + problem));
        PrintRoomFindings(title, findings, out);
        opened.findings = findings.size();
        name = title.substr(0, title.rfind('.'));
    } else {
        name = Utf8FromPath(PathFromUtf8(title).stem());
    }
    opened.scene = SceneFromRoom(room, name.empty() ? title : name);
    opened.room = std::move(room);
    return true;
}

bool OpenExchangeModel(std::span<const std::uint8_t> bytes,
                       const std::string& path,
                       const std::string& title,
                       InputKind kind,
                       OutputSink& out,
                       bool imagesWanted,
                       OpenedInput& opened) {
    Scene scene;
    std::vector<std::string> notes;
    std::string error;
    TextureImages* images = imagesWanted ? &opened.images : nullptr;
    const bool ok = kind == InputKind::Obj
                        ? ReadObjModel(bytes, title, BesideModel(path), scene, notes, error, images)
                        : ReadGltfModel(bytes, title, BesideModel(path), scene, notes, error, images);
    for (const std::string& note : notes)
        out.PrintOutput(note + std::string(kCrLf));
    if (!ok) {
        out.PrintOutput(Line("Error: " + error));
        return false;
    }
    ReportModelSummary(scene, title, out);
    opened.scene = std::move(scene);
    return true;
}

}  // namespace

InputKind KindOfFile(std::span<const std::uint8_t> bytes) {
    return DetectInputKind(TextOf(bytes).bytes);
}

OpenedInput OpenInput(const std::string& path, const std::string& title, OutputSink& out, const OpenRequest& request) {
    if (request.openError)
        request.openError->clear();
    FileBytes file;
    std::string error;
    if (!ReadFileBytes(path, file, error)) {
        if (request.openError)
            *request.openError = error;  // the readers print nothing for a file they never saw
        else
            out.PrintOutput(Line("Error: cannot open " + path + ": " + error));
        if (request.as != OpenAs::RoomCheck)
            out.PrintOutput(ErrorReadingMessage(title));
        return {};
    }
    InputKind kind = request.as == OpenAs::Oof ? InputKind::Oof : InputKind::Orf;
    if (request.as == OpenAs::Detected)
        kind = KindOfFile(file.bytes());
    return OpenInput(path, title, std::move(file), kind, out, request);
}

OpenedInput OpenInput(const std::string& path,
                      const std::string& title,
                      FileBytes file,
                      InputKind kind,
                      OutputSink& out,
                      const OpenRequest& request) {
    OpenedInput opened;
    opened.kind = kind;
    // A file taken as one kind is read as it is.
    const Text text = request.as == OpenAs::Detected ? TextOf(file.bytes()) : Text{file.bytes(), {}};
    const std::span<const std::uint8_t> bytes = text.bytes;
    bool ok = false;
    switch (kind) {
        case InputKind::Unknown:
            out.PrintOutput(
                Line("Error: " + title + " is no kind of file TORVALE reads; it reads " + std::string(kReadableKinds)));
            break;
        case InputKind::Oof:
            OpenOof(file, title, out, request, opened);
            return opened;
        case InputKind::Orf:
            ok = OpenRoom(bytes, title, out, request, opened);
            if (request.as == OpenAs::RoomCheck) {
                opened.loaded = ok;
                return opened;
            }
            break;
        case InputKind::Gltf:
        case InputKind::Glb:
        case InputKind::Obj:
            ok = OpenExchangeModel(bytes, path, title, kind, out, request.imagesWanted, opened);
            break;
    }
    out.PrintOutput(ok ? FinishedLoadingMessage(title) : Line("Error reading " + title));
    opened.loaded = ok;
    return opened;
}

}  // namespace torvale
