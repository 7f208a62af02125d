#include "app/main_window_presenter.h"

#include <filesystem>

#include "app/check_orf.h"
#include "app/export_model.h"
#include "app/export_orf.h"
#include "app/import_oof.h"
#include "app/settings_file.h"
#include "core/ascii_text.h"
#include "core/file_bytes.h"
#include "core/utf8_path.h"
#include "model_io/input_kind.h"
#include "orf/room_report.h"
#include "scene/scene_scale.h"

namespace torvale {
namespace {

constexpr int kMargin = 30;  // twips on every side of the text area

FileDialogRequest ImportOofDialog() {
    FileDialogRequest request;
    request.title = "Import OOF file";
    request.filter = "Outrage Object Format(*.OOF)|*.oof";
    request.fileMustExist = true;  // flags 4096
    return request;
}

FileDialogRequest OpenDialog(const char* title, const char* filter) {
    FileDialogRequest request;
    request.title = title;
    request.filter = filter;
    request.fileMustExist = true;
    return request;
}

std::string Line(const std::string& text) {
    return std::string(kCrLf) + text + std::string(kCrLf);
}

// The file's name after its folder, whichever separator the path uses.
std::string FileTitle(const std::string& path) {
    const std::size_t separator = path.find_last_of("\\/");
    return separator == std::string::npos ? path : path.substr(separator + 1);
}

bool EndsWithP3d(const std::string& name) {
    return EndsWithIgnoringAsciiCase(name, ".p3d");
}

}  // namespace

bool LooksLikeText(std::span<const std::uint8_t> bytes) {
    if (bytes.empty())
        return false;
    for (const std::uint8_t byte : bytes) {
        // Tab, line feed, form feed and carriage return; every other control byte (a zero above all) is binary.
        if (IsAsciiControl(byte) && byte != '\t' && byte != '\n' && byte != '\f' && byte != '\r')
            return false;
    }
    return true;
}

bool IsP3dSource(std::span<const std::uint8_t> bytes, const std::string& name) {
    return KindOfFile(bytes) == InputKind::Unknown && LooksLikeText(bytes) && EndsWithP3d(name);
}

TwipsRect LayoutOutput(int clientWidth, int clientHeight, const TwipsRect& current) {
    TwipsRect placed = current;
    placed.left = kMargin;
    placed.top = kMargin;
    if (clientWidth > 2 * kMargin)
        placed.width = clientWidth - 2 * kMargin;
    if (clientHeight > 2 * kMargin)
        placed.height = clientHeight - 2 * kMargin;
    return placed;
}

MainWindowPresenter::MainWindowPresenter(ProgramState& program,
                                         MainWindowView& view,
                                         FileDialogs& dialogs,
                                         MessageBoxes& messages,
                                         MainWindowOptions options)
    : program_(program),
      view_(view),
      dialogs_(dialogs),
      messages_(messages),
      options_(options),
      oofModel_(std::make_unique<ObjectModel>()) {}

void MainWindowPresenter::Load() {
    setCaption(std::string(kApplicationTitle));
    setMenuEnabled(MenuItem::FileExport, false);
    setMenuEnabled(MenuItem::ReloadP3D, false);
    view_.ApplyOutputStyle(ApplyWithFallback(program_.settings));
    view_.Show();
    log_.PrintOutput(kResetMessage);
    view_.RecentFilesChanged(program_.config.values.recentFiles);
}

void MainWindowPresenter::ImportOof(OofSource source) {
    log_.PrintOutput(kResetMessage);
    if (source == OofSource::AskUser) {
        const FileDialogResult chosen = dialogs_.ShowOpen(ImportOofDialog());
        if (!chosen.confirmed)
            return;  // cancelled: model, names, caption and menu stay as they were
        modelPath = chosen.path;
        modelTitle = chosen.title;
        view_.Repaint();
        if (modelPath.empty() || modelTitle.empty())
            return;
    }
    const bool loaded = open(modelPath, modelTitle, OpenAs::Oof);
    // A model that POFGEN compiled is remembered by its P3D source, by the P3D import.
    if (loaded && source == OofSource::AskUser)
        RememberRecent(modelPath);
}

void MainWindowPresenter::ImportModel() {
    const FileDialogResult chosen = dialogs_.ShowOpen(
        OpenDialog("Import Model", "glTF, GLB and OBJ models (*.gltf;*.glb;*.obj)|*.gltf;*.glb;*.obj|All files|*.*"));
    if (!chosen.confirmed || chosen.path.empty() || chosen.title.empty())
        return;
    log_.PrintOutput(kResetMessage);
    view_.Repaint();
    if (open(chosen.path, chosen.title, OpenAs::Detected))
        RememberRecent(chosen.path);
}

bool MainWindowPresenter::open(const std::string& path,
                               const std::string& title,
                               OpenAs as,
                               std::optional<std::pair<FileBytes, InputKind>> read) {
    modelPath = path;
    modelTitle = title;
    OpenRequest request;
    request.as = as;
    request.format = ReportFormat{program_.decimalSeparator, program_.ansi.toUtf8};
    request.oofModel = oofModel_.get();
    if (as == OpenAs::RoomCheck) {
        request.game = gameTextures();
        request.textures = textureFinder();
    }
    // The images a glTF or OBJ brings are drawn in the preview and carried on by Export Model.
    request.imagesWanted = true;
    OpenedInput opened = read ? OpenInput(modelPath, modelTitle, std::move(read->first), read->second, log_, request)
                              : OpenInput(modelPath, modelTitle, log_, request);
    scene_ = std::move(opened.scene);
    sceneProblem_ = std::move(opened.sceneProblem);
    room_ = std::move(opened.room);
    modelLoaded(opened.loaded, modelTitle, opened.images);
    return opened.loaded;
}

void MainWindowPresenter::CheckOrf() {
    const FileDialogResult chosen = dialogs_.ShowOpen(OpenDialog("Check ORF file", "Outrage Room Format(*.ORF)|*.orf"));
    if (!chosen.confirmed || chosen.path.empty() || chosen.title.empty())
        return;
    log_.PrintOutput(kResetMessage);
    view_.Repaint();
    if (open(chosen.path, chosen.title, OpenAs::RoomCheck))
        RememberRecent(chosen.path);
}

OpenedKind MainWindowPresenter::OpenFile(const std::string& path, bool clearLog) {
    if (clearLog)
        log_.PrintOutput(kResetMessage);
    const std::string title = FileTitle(path);
    FileBytes bytes;
    std::string error;
    if (path.empty() || title.empty() || !ReadFileBytes(path, bytes, error)) {
        log_.PrintOutput(Line("Cannot open " + path + ": " + (error.empty() ? "no file name" : error)));
        return OpenedKind::Unknown;
    }
    const InputKind kind = KindOfFile(bytes.bytes());
    const bool p3d = IsP3dSource(bytes.bytes(), title);
    switch (kind) {
        case InputKind::Orf:
            if (open(path, title, OpenAs::RoomCheck, std::pair{std::move(bytes), kind}))
                RememberRecent(path);
            return OpenedKind::Room;
        case InputKind::Oof:
        case InputKind::Glb:
        case InputKind::Gltf:
        case InputKind::Obj:
            if (open(path, title, OpenAs::Detected, std::pair{std::move(bytes), kind}))
                RememberRecent(path);
            return OpenedKind::Model;
        case InputKind::Unknown:
            break;
    }
    if (p3d && compileP3d) {
        compileP3d(path, title);
        return OpenedKind::P3d;
    }
    log_.PrintOutput(Line("Cannot open " + path + ": not a model, room or P3D file"));
    return OpenedKind::Unknown;
}

void MainWindowPresenter::OpenFiles(const std::vector<std::string>& paths) {
    for (std::size_t i = 0; i < paths.size(); ++i)
        OpenFile(paths[i], i == 0);
}

void MainWindowPresenter::OpenRecent(std::size_t index) {
    std::vector<std::string>& recent = program_.config.values.recentFiles;
    if (index >= recent.size())
        return;
    const std::string path = recent[index];
    std::error_code error;
    if (!std::filesystem::exists(PathFromUtf8(path), error)) {
        recent.erase(recent.begin() + static_cast<std::ptrdiff_t>(index));
        view_.RecentFilesChanged(recent);
        log_.PrintOutput(Line(path + " is gone; removed from File, Recent."));
        return;
    }
    OpenFile(path);
}

void MainWindowPresenter::RememberRecent(const std::string& path) {
    RememberRecentFile(program_.config.values, path);
    view_.RecentFilesChanged(program_.config.values.recentFiles);
}

const std::vector<std::string>& MainWindowPresenter::recentFiles() const {
    return program_.config.values.recentFiles;
}

void MainWindowPresenter::modelLoaded(bool loaded, const std::string& title, const TextureImages& own) {
    setMenuEnabled(MenuItem::FileExport, loaded);
    setMenuEnabled(MenuItem::FileExportModel, loaded);
    images_.clear();
    if (loaded && scene_) {
        TextureFinder none;
        TextureFinder* finder = textureFinder();
        std::vector<std::string> notes;
        images_ = FindTextureImages(scene_->textures, own, finder ? *finder : none, notes);
        for (const std::string& note : notes)
            log_.PrintOutput("Note: " + note + std::string(kCrLf));
    }
    if (listener_) {
        listener_->ModelChanged(loaded && scene_ ? &*scene_ : nullptr, loaded && room_ ? &*room_ : nullptr, title);
        listener_->TexturesFound(images_);
    }
    if (!loaded) {
        modelPath.clear();
        modelTitle.clear();
        setCaption(std::string(kApplicationTitle));
        return;
    }
    setCaption(std::string(kApplicationTitle) + " - " + title);
}

const GameTextures* MainWindowPresenter::gameTextures() {
    const std::string& folder = program_.config.values.gameFolder;
    if (folder.empty())
        return nullptr;
    if (!game_ || gameFolder_ != folder) {
        game_ = std::make_unique<GameTextures>();
        gameFolder_ = folder;
        const GameTextures::Report report = game_->load(GamePaths(program_.config.values));
        for (const std::string& note : report.notes)
            log_.PrintOutput(std::string(kCrLf) + "Note: " + note + std::string(kCrLf));
        for (const std::string& problem : report.problems)
            log_.PrintOutput(std::string(kCrLf) + "Warning: " + problem + std::string(kCrLf));
    }
    return game_.get();
}

TextureFinder* MainWindowPresenter::textureFinder() {
    const Config& config = program_.config.values;
    if (config.gameFolder.empty() && config.textureFolder.empty())
        return nullptr;
    const std::string settings = config.gameFolder + '\n' + config.textureFolder;
    if (!finder_ || finderFolders_ != settings) {
        finder_ = std::make_unique<TextureFinder>();
        finderFolders_ = settings;
        if (!config.textureFolder.empty())
            finder_->addFolder(config.textureFolder);
        if (const GameTextures* pages = gameTextures()) {
            gameFiles_ = std::make_unique<GameFiles>();
            // The tables' loading has told the archives' problems already.
            gameFiles_->open(GamePaths(config));
            finder_->setGame(pages, gameFiles_.get());
        }
    }
    return finder_.get();
}

void MainWindowPresenter::ExportOrf() {
    if (!exportEnabled_)
        return;  // only a loaded model can be exported, whoever sends the command
    exportNames.orfPath = SuggestOrfPath(modelPath);
    const FileDialogResult chosen = dialogs_.ShowSave(ExportOrfDialog(exportNames.orfPath));
    if (!chosen.confirmed)
        return;  // cancelled: nothing written, nothing reported
    exportNames.orfPath = chosen.path;
    exportNames.orfTitle = chosen.title;
    view_.Repaint();

    Scene scaled;
    std::string problem;
    ExportOutcome outcome = ExportOutcome::Refused;
    if (const Scene* scene = ModelToExport(scaled, problem)) {
        RoomTextureNaming naming = NameRoomTextures(*scene, program_.textureTable, gameTextures(), log_);
        RoomExportChoices choices;
        choices.combineSubObjects = program_.settings.combineSubObjects.isOn();
        choices.reverseFaces = program_.config.values.reverseFaces;
        choices.pathSeparator = options_.pathSeparator;
        choices.inputs = {modelPath};
        const RoomExportOptions roomOptions = RoomExportOptionsFrom(choices, naming);
        outcome = WriteRooms(*scene, program_.textureTable, roomOptions, exportNames, log_);
    } else {
        outcome = RefuseRoomExport(problem, log_);
    }
    const std::string closing = ExportClosingMessage(outcome);
    if (!closing.empty())
        log_.PrintOutput(closing);
}

void MainWindowPresenter::ExportModel() {
    if (!exportEnabled_)
        return;
    std::string suggested = modelPath;
    const std::size_t dot = suggested.rfind('.');
    if (dot != std::string::npos && suggested.find_first_of("\\/", dot) == std::string::npos)
        suggested.resize(dot);
    const FileDialogResult chosen = dialogs_.ShowSave(ExportModelDialog(suggested + ".gltf"));
    if (!chosen.confirmed || chosen.path.empty())
        return;
    view_.Repaint();
    ModelTarget target = ModelTarget::Gltf;
    const std::string path = ExportModelPath(chosen, target);
    Scene scaled;
    std::string problem;
    if (const Scene* scene = ModelToExport(scaled, problem))
        WriteExchangeModel(*scene, path, target, log_, {modelPath}, images_);
    else
        log_.PrintOutput(Line("Error: " + problem + "; nothing was written"));
}

const Scene* MainWindowPresenter::ModelToExport(Scene& scaled, std::string& problem) {
    if (!scene_) {
        problem = sceneProblem_;
        return nullptr;
    }
    // The scale comes before anything else looks at the model; the loaded model itself stays as read.
    const double scale = program_.config.values.roomScale;
    if (!IsScaleFactor(scale) || scale == kNoScale)
        return &*scene_;
    scaled = *scene_;
    problem = ScaleScene(scaled, scale);
    log_.PrintOutput(std::string(kCrLf) + "Scaled by " + ScaleText(scale) + std::string(kCrLf));
    return problem.empty() ? &scaled : nullptr;
}

void MainWindowPresenter::ClearWindow() {
    log_.PrintOutput(kResetMessage);
}

void MainWindowPresenter::Unload() {
    std::string error;
    if (!SaveSettings(program_.settingsPath, program_.settings, error, program_.ansi))
        messages_.ShowMessage(SettingsNotSavedMessage(program_.settingsPath, error));
    if (!program_.config.Save(program_.configPath, error))
        messages_.ShowMessage(SettingsNotSavedMessage(program_.configPath, error));
}

void MainWindowPresenter::setCaption(std::string caption) {
    caption_ = std::move(caption);
    view_.SetCaption(caption_);
}

void MainWindowPresenter::setMenuEnabled(MenuItem item, bool enabled) {
    if (item == MenuItem::FileExport)
        exportEnabled_ = enabled;
    else if (item == MenuItem::ReloadP3D)
        reloadEnabled_ = enabled;
    view_.SetMenuEnabled(item, enabled);
}

}  // namespace torvale
