#include "app/main_window_presenter.h"

#include "app/export_orf.h"
#include "app/import_oof.h"
#include "app/settings_file.h"

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

}  // namespace

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
      model_(std::make_unique<ObjectModel>()) {}

void MainWindowPresenter::Load() {
    setCaption(std::string(kApplicationTitle));
    setMenuEnabled(MenuItem::FileExport, false);
    setMenuEnabled(MenuItem::ReloadP3D, false);
    view_.ApplyOutputStyle(ApplyWithFallback(program_.settings));
    view_.Show();
    log_.PrintOutput(kResetMessage);
}

void MainWindowPresenter::ImportOof(OofSource source) {
    log_.PrintOutput(kResetMessage);
    if (source == OofSource::AskUser) {
        const FileDialogResult chosen = dialogs_.ShowOpen(ImportOofDialog());
        if (!chosen.confirmed)
            return;  // cancelled: model, names, caption and menu stay as they were
        oofPath = chosen.path;
        oofTitle = chosen.title;
        view_.Repaint();
        if (oofPath.empty() || oofTitle.empty())
            return;
    }
    const int result = LoadOofFile(oofPath, oofTitle, *model_, log_, ReportFormat{program_.decimalSeparator});
    if (result == kOofInvalid) {
        setMenuEnabled(MenuItem::FileExport, false);
        oofPath.clear();
        oofTitle.clear();
        setCaption(std::string(kApplicationTitle));
        return;
    }
    setMenuEnabled(MenuItem::FileExport, true);
    setCaption(std::string(kApplicationTitle) + " - " + oofTitle);
}

void MainWindowPresenter::ExportOrf() {
    if (!exportEnabled_)
        return;  // only a loaded model can be exported, whoever sends the command
    exportNames.orfPath = SuggestOrfPath(oofPath);
    const FileDialogResult chosen = dialogs_.ShowSave(ExportOrfDialog(exportNames.orfPath));
    if (!chosen.confirmed)
        return;  // cancelled: nothing written, nothing reported
    exportNames.orfPath = chosen.path;
    exportNames.orfTitle = chosen.title;
    view_.Repaint();

    RoomExportOptions roomOptions;
    roomOptions.combineSubObjects = program_.settings.combineSubObjects.isOn();
    roomOptions.pathSeparator = options_.pathSeparator;
    const ExportOutcome outcome = WriteRooms(*model_, program_.textureTable, roomOptions, exportNames, log_);
    const std::string closing = ExportClosingMessage(outcome);
    if (!closing.empty())
        log_.PrintOutput(closing);
}

void MainWindowPresenter::ClearWindow() {
    log_.PrintOutput(kResetMessage);
}

void MainWindowPresenter::Unload() {
    std::string error;
    if (!SaveSettings(program_.settingsPath, program_.settings, error))
        messages_.ShowMessage(SettingsNotSavedMessage(program_.settingsPath, error));
    if (!program_.config.Save(program_.configPath, error))
        messages_.ShowMessage(SettingsNotSavedMessage(program_.configPath, error));
}

void MainWindowPresenter::setCaption(std::string caption) {
    caption_ = std::move(caption);
    view_.SetCaption(caption_);
}

void MainWindowPresenter::setMenuEnabled(MenuItem item, bool enabled) {
    (item == MenuItem::FileExport ? exportEnabled_ : reloadEnabled_) = enabled;
    view_.SetMenuEnabled(item, enabled);
}

}  // namespace torvale
