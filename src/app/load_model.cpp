#include "app/load_model.h"
#include "core/utf8_path.h"

#include <cstdint>
#include <filesystem>
#include <vector>

#include "app/import_oof.h"
#include "core/atomic_file.h"
#include "core/file_bytes.h"
#include "gltf/gltf_model.h"
#include "model_io/model_summary.h"
#include "model_io/resource_loader.h"
#include "model_io/resource_path.h"
#include "obj/obj_model.h"
#include "oof/oof_reader.h"
#include "orf/orf_reader.h"
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

// The room file as the level editor reads it, reported and made into a model.
bool LoadRoom(std::span<const std::uint8_t> bytes,
              const std::string& title,
              ObjectModel& model,
              LoadedInput& loaded,
              OutputSink& out,
              const ReportFormat& format) {
    Room room;
    std::string error;
    if (!ReadOrfFile(bytes, room, error)) {
        out.PrintOutput(Line(error));
        return false;
    }
    ReportRoom(room, title, out, format.gameText);
    const std::string name = Utf8FromPath(PathFromUtf8(title).stem());
    model = ModelFromRoom(room, name.empty() ? title : name);
    loaded.room = std::move(room);
    return true;
}

bool LoadExchangeModel(std::span<const std::uint8_t> bytes,
                       const std::string& path,
                       const std::string& title,
                       InputKind kind,
                       ObjectModel& model,
                       OutputSink& out) {
    ObjectModel read;
    std::vector<std::string> notes;
    std::string error;
    const bool ok = kind == InputKind::Obj ? ReadObjModel(bytes, title, BesideModel(path), read, notes, error)
                                           : ReadGltfModel(bytes, title, BesideModel(path), read, notes, error);
    for (const std::string& note : notes)
        out.PrintOutput(note + std::string(kCrLf));
    if (!ok) {
        out.PrintOutput(Line("Error: " + error));
        return false;
    }
    ReportModelSummary(read, title, out);
    model = std::move(read);
    return true;
}

}  // namespace

int LoadModelFile(const std::string& path,
                  const std::string& title,
                  ObjectModel& model,
                  LoadedInput& loaded,
                  OutputSink& out,
                  const ReportFormat& format,
                  std::string* openError) {
    loaded = LoadedInput{};
    FileBytes file;
    std::string error;
    if (!ReadFileBytes(path, file, error)) {
        if (openError)
            *openError = error;
        else
            out.PrintOutput(Line("Error: cannot open " + path + ": " + error));
        out.PrintOutput(ErrorReadingMessage(title));
        return kOofInvalid;
    }
    if (DetectInputKind(file.bytes()) == InputKind::Oof) {
        // As Import OOF has always read: into the model in place, giving back the file's memory as the reader
        // passes it, so that a large model and its file are never both held whole.
        loaded.kind = InputKind::Oof;
        const int result =
            ReadOofFile(file.bytes(), title, model, out, format, [&](std::size_t passed) { file.release(passed); });
        out.PrintOutput(result == kOofLoaded ? FinishedLoadingMessage(title) : ErrorReadingMessage(title));
        return result;
    }
    std::vector<std::uint8_t> bytes(file.bytes().begin(), file.bytes().end());
    file = FileBytes();
    TextAsUtf8(bytes);
    loaded.kind = DetectInputKind(bytes);
    bool ok = false;
    switch (loaded.kind) {
        case InputKind::Unknown:
            out.PrintOutput(
                Line("Error: " + title + " is no kind of file TORVALE reads; it reads " + std::string(kReadableKinds)));
            break;
        case InputKind::Oof:
            break;  // read above; a text's byte-order mark never comes before "PSPO"
        case InputKind::Orf:
            ok = LoadRoom(bytes, title, model, loaded, out, format);
            break;
        case InputKind::Gltf:
        case InputKind::Glb:
        case InputKind::Obj:
            ok = LoadExchangeModel(bytes, path, title, loaded.kind, model, out);
            break;
    }
    out.PrintOutput(ok ? FinishedLoadingMessage(title) : Line("Error reading " + title));
    return ok ? kOofLoaded : kOofInvalid;
}

}  // namespace torvale
