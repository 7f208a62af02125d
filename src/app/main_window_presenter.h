#pragma once

#include <functional>
#include <memory>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "app/import_oof.h"
#include "app/open_input.h"
#include "app/output_log.h"
#include "app/output_style.h"
#include "app/startup.h"
#include "app/texture_finder.h"
#include "core/twips_rect.h"
#include "game/game_files.h"
#include "game/game_textures.h"
#include "oof/object_model.h"
#include "oof/oof_reader.h"
#include "orf/room_export.h"
#include "platform/file_dialogs.h"
#include "platform/message_boxes.h"

namespace torvale {

// The menu items whose enabled state changes while the program runs.
enum class MenuItem { FileExport, ReloadP3D, FileExportModel };

// What the main window's presenter asks of the real window.
class MainWindowView {
public:
    virtual ~MainWindowView() = default;
    virtual void SetCaption(const std::string& caption) = 0;
    virtual void SetMenuEnabled(MenuItem item, bool enabled) = 0;
    virtual void ApplyOutputStyle(const OutputStyle& style) = 0;
    virtual void Show() = 0;
    // Paints now whatever a closed dialog left uncovered, before a long command starts.
    virtual void Repaint() = 0;
    // File, Recent shows these paths, the newest first.
    virtual void RecentFilesChanged(const std::vector<std::string>& /*paths*/) {}
};

// Told of every load: the current model and, when it came from a room file, the room as read; both null after
// a load that failed. The pointers stay valid until the next call.
class ModelListener {
public:
    virtual ~ModelListener() = default;
    virtual void ModelChanged(const Scene* scene, const Room* room, const std::string& title) = 0;
    // The images found for the current model's textures, told after ModelChanged (slot k is texture k).
    virtual void TexturesFound(const TextureImages& images) = 0;
};

// A file the program opens by what it holds rather than by the menu item that asked for it.
enum class OpenedKind { Model, Room, P3d, Unknown };

// The layout rule: the text area at (30, 30); each dimension of the client area above 60 gives the text area
// that dimension minus 60, a dimension of 60 or less leaves the text area's as it was.
TwipsRect LayoutOutput(int clientWidth, int clientHeight, const TwipsRect& current);

// Text as a P3D source is: not empty, and no control byte but tab, line feed, form feed and carriage return.
bool LooksLikeText(std::span<const std::uint8_t> bytes);
// A P3D source: text of no other kind TORVALE reads (an OBJ is text too), named *.p3d in any letter case.
bool IsP3dSource(std::span<const std::uint8_t> bytes, const std::string& name);

struct MainWindowOptions {
    char pathSeparator = '\\';
};

// The main window frmMain without its controls: the caption, the two menu states, the loaded model and the
// file names of the current import and export, and the commands of its menus.
class MainWindowPresenter {
public:
    MainWindowPresenter(ProgramState& program,
                        MainWindowView& view,
                        FileDialogs& dialogs,
                        MessageBoxes& messages,
                        MainWindowOptions options = {});

    // Caption, output style with fallback, show, banner.
    void Load();
    // Import OOF: the open dialog (or the given modelPath and modelTitle), then the reader; sets the caption and
    // Export ORF.
    void ImportOof(OofSource source);
    // Import Model: the open dialog for glTF, GLB and OBJ files, then the reader and the model's summary; a
    // model that loads becomes the current model, as Import OOF does.
    void ImportModel();
    // Check ORF: the open dialog for room files, then the room's report and what the room check finds; a room
    // that reads becomes the current model (caption, Export ORF, Export Model), written again by Export ORF.
    void CheckOrf();
    // Export ORF: the save dialog, then the room export with its closing line.
    void ExportOrf();
    // Export Model: the save dialog, whose type list chooses glTF, GLB or OBJ, then the writer.
    void ExportModel();
    // Opens a file from outside (the command line, Explorer, File, Recent) by its content: an OOF, glTF, GLB or
    // OBJ model is imported as Import Model does, a room is checked as Check ORF does, a P3D source goes to
    // compileP3d. An unreadable or unknown file gets one line in the log. `clearLog` false keeps what the log
    // holds (the second and later of several files). A model or room that loads is remembered in File, Recent.
    OpenedKind OpenFile(const std::string& path, bool clearLog = true);
    // Several files, one after another; the log is cleared before the first only.
    void OpenFiles(const std::vector<std::string>& paths);
    // File, Recent's item `index`: opened as OpenFile does; a file that has gone leaves the list with a line
    // in the log.
    void OpenRecent(std::size_t index);
    // Puts `path` at the top of File, Recent.
    void RememberRecent(const std::string& path);
    const std::vector<std::string>& recentFiles() const;
    // TORVALE.cfg's values, which Unload writes back.
    Config& config() { return program_.config.values; }
    void setModelListener(ModelListener* listener) { listener_ = listener; }
    // Compiles a P3D source given by path as Import P3D does; set by the window that owns the POFGEN commands.
    std::function<void(const std::string& path, const std::string& title)> compileP3d;

    // Clear Window: the log shows the banner again.
    void ClearWindow();
    // Unload: writes the Settings and TORVALE.cfg. A failed save is reported in a message box; unloading goes on.
    void Unload();

    OutputLog& log() { return log_; }
    const std::string& caption() const { return caption_; }
    bool exportEnabled() const { return exportEnabled_; }
    bool reloadEnabled() const { return reloadEnabled_; }
    // Reload P3D's menu state, which the P3D import sets.
    void setReloadEnabled(bool enabled) { setMenuEnabled(MenuItem::ReloadP3D, enabled); }
    // The model as the last OOF file read into it left it: what Import OOF reads the next file into.
    const ObjectModel& oofModel() const { return *oofModel_; }
    // The current model, which every export and the preview use; none when nothing is loaded, or when the loaded
    // OOF model is damaged (sceneProblem() then says how).
    const std::optional<Scene>& scene() const { return scene_; }
    const std::string& sceneProblem() const { return sceneProblem_; }
    // The room as read, when the current model came from Check ORF.
    const std::optional<Room>& room() const { return room_; }
    // The game's texture pages from TORVALE.cfg's game folder, loaded when the setting is new (its problems
    // go to the log then, once); null without a folder.
    const GameTextures* gameTextures();
    // Where the images of textures are found: TORVALE.cfg's texture folder, then the game folder's pages and
    // bitmaps; made again when either setting is new. Null when neither is set.
    TextureFinder* textureFinder();
    // The images of the current model's textures, found when it was loaded.
    const TextureImages& textureImages() const { return images_; }
    // The loaded model as every export writes it: scaled by the Scale option into `scaled` (the log says so),
    // or the model itself at a scale of 1. Null, with the reason in `problem`, when there is no model to export
    // (a damaged OOF model, or one that the scale takes beyond single precision).
    const Scene* ModelToExport(Scene& scaled, std::string& problem);

    // The current model's file, whatever its kind, and its name as the caption shows it.
    std::string modelPath;
    std::string modelTitle;
    ExportNames exportNames;  // orfPath, orfTitle, orfDirectory
    std::string lastP3dPath;
    std::string lastP3dTitle;

private:
    void setCaption(std::string caption);
    void setMenuEnabled(MenuItem item, bool enabled);
    // A load's outcome: the current model's caption and menu states, or none after a failure.
    // `own` are the images that came with the model's file.
    void modelLoaded(bool loaded, const std::string& title, const TextureImages& own = {});
    // Opens the file (its kind told by `kind`, or by its content when none is given) as `as` asks, and makes it
    // the current model when it loads.
    bool open(const std::string& path,
              const std::string& title,
              OpenAs as,
              std::optional<std::pair<FileBytes, InputKind>> read = std::nullopt);

    ProgramState& program_;
    MainWindowView& view_;
    FileDialogs& dialogs_;
    MessageBoxes& messages_;
    MainWindowOptions options_;
    OutputLog log_;
    std::unique_ptr<ObjectModel> oofModel_;
    std::optional<Scene> scene_;
    std::string sceneProblem_;
    std::optional<Room> room_;
    std::unique_ptr<GameTextures> game_;
    std::string gameFolder_;  // the setting game_ was loaded from
    std::unique_ptr<GameFiles> gameFiles_;
    std::unique_ptr<TextureFinder> finder_;
    std::string finderFolders_;  // the game and texture folder settings finder_ was made from
    TextureImages images_;
    std::string caption_ = "TORVALE v1.0";  // the design caption, replaced at load
    bool exportEnabled_ = false;
    bool reloadEnabled_ = false;
    ModelListener* listener_ = nullptr;
};

}  // namespace torvale
