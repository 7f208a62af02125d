#include "pofgen/options_presenter.h"

#include <algorithm>
#include <cmath>
#include <cstdint>

#include "core/number_text.h"
#include "pofgen/command_line.h"
#include "pofgen/number_entry.h"
#include "scene/scene_scale.h"

namespace torvale {
namespace {

// The boxes' own ranges, which are also what the Settings can keep.
constexpr double kLargestDecimal = 65535.0;
constexpr double kLargestChunkSplit = 255.0;

constexpr std::array<OptionsBox, 3> kChunkSplitBoxes{OptionsBox::ChunkSplitX, OptionsBox::ChunkSplitY,
                                                     OptionsBox::ChunkSplitZ};

// A stored decimal as its box shows it. A value that is not a number (possible only in a damaged settings
// file) is shown as 0, an infinite one as the nearest end of the box's range.
std::string StoredDecimalText(float stored) {
    double value = static_cast<double>(stored);
    if (std::isnan(value))
        value = 0.0;
    else if (std::isinf(value))
        value = std::clamp(value, 0.0, kLargestDecimal);
    return FormatEightDecimals(value);
}

// The chunk split value a box's text stands for: the number read, rounded, within 0 to 255.
std::uint8_t ChunkSplitValue(const std::string& text) {
    const double rounded = RoundHalfEven(ReadBoxNumber(text));
    return static_cast<std::uint8_t>(std::clamp(rounded, 0.0, kLargestChunkSplit));
}

}  // namespace

std::string& OptionsFields::text(OptionsBox box) {
    switch (box) {
        case OptionsBox::ScaleFactor:
            return scaleFactor;
        case OptionsBox::ErrorTolerance:
            return errorTolerance;
        case OptionsBox::ChunkSplitX:
            return chunkSplits[0];
        case OptionsBox::ChunkSplitY:
            return chunkSplits[1];
        case OptionsBox::ChunkSplitZ:
            return chunkSplits[2];
        case OptionsBox::PathPofgen:
            break;
        case OptionsBox::GameFolder:
            return gameFolder;
        case OptionsBox::RoomScale:
            return roomScale;
        case OptionsBox::TextureFolder:
            return textureFolder;
    }
    return pathPofgen;
}

OptionsPresenter::OptionsPresenter(ProgramState& program,
                                   OptionsView& view,
                                   FileDialogs& dialogs,
                                   MessageBoxes& messages,
                                   FileSystem& fileSystem)
    : program_(program), view_(view), dialogs_(dialogs), messages_(messages), fileSystem_(fileSystem) {}

void OptionsPresenter::Activate() {
    const Settings& settings = program_.settings;
    fields_.scaleFactor = StoredDecimalText(settings.scaleFactor);
    fields_.errorTolerance = StoredDecimalText(settings.errorTolerance);
    // A shading mode above 2 (from a damaged file) has no option: the first stays selected, as at creation.
    if (settings.shadingMode <= 2)
        fields_.shadingMode = settings.shadingMode;
    for (std::size_t i = 0; i < 3; ++i)
        fields_.chunkSplits[i] = FormatInteger(settings.chunkSplits[i]);
    static_cast<PofgenSwitchFlags&>(fields_) = SwitchFlagsOf(settings);
    fields_.combineSubObjects = settings.combineSubObjects.isOn();
    fields_.pathPofgen = settings.pofgenPath;
    fields_.showPofgenOutput = settings.showPofgenOutput.isOn();
    fields_.reverseFaces = program_.config.values.reverseFaces;
    fields_.gameFolder = program_.config.values.gameFolder;
    fields_.roomScale = ScaleText(program_.config.values.roomScale);
    fields_.textureFolder = program_.config.values.textureFolder;
    view_.ShowFields(fields_);
}

void OptionsPresenter::LeaveBox(OptionsBox box) {
    switch (box) {
        case OptionsBox::ScaleFactor:
            leaveDecimalBox(box, false, "Error: Scale Factor <= 0 Illegal!",
                            "Error: Scale Factor > 65535.0000 Illegal!");
            return;
        case OptionsBox::ErrorTolerance:
            leaveDecimalBox(box, true, "Error: Tolerance < 0 Illegal!", "Error: Tolerance > 65535.0000 Illegal!");
            return;
        case OptionsBox::ChunkSplitX:
        case OptionsBox::ChunkSplitY:
        case OptionsBox::ChunkSplitZ:
            leaveChunkSplitBox(box);
            return;
        case OptionsBox::PathPofgen:
            leavePathBox();
            return;
        case OptionsBox::GameFolder:
        case OptionsBox::TextureFolder:
            return;  // any text: folders, tables and archives are looked for when they are next needed
        case OptionsBox::RoomScale:
            leaveRoomScaleBox();
            return;
    }
}

void OptionsPresenter::setBoxText(OptionsBox box, std::string text) {
    fields_.text(box) = std::move(text);
    view_.ShowBoxText(box, fields_.text(box));
}

void OptionsPresenter::refuse(OptionsBox box, std::string_view message, std::string replacement) {
    messages_.ShowMessage(message);
    setBoxText(box, std::move(replacement));
}

// The box is rewritten first, then each test reads it again, so a replacement put in by the first test is
// what the second one sees: one leaving gives at most one message. A number beyond the range of a 64-bit
// float has no eight-decimal form worth showing; its box keeps the text until the test replaces it.
void OptionsPresenter::leaveDecimalBox(OptionsBox box,
                                       bool zeroAllowed,
                                       std::string_view lowMessage,
                                       std::string_view highMessage) {
    const double typed = ReadBoxNumber(fields_.text(box));
    if (std::isfinite(typed))
        setBoxText(box, FormatEightDecimals(typed));
    const double first = ReadBoxNumber(fields_.text(box));
    if (zeroAllowed ? first < 0.0 : first <= 0.0)
        refuse(box, lowMessage, zeroAllowed ? "0.00000000" : "0.02540000");
    if (ReadBoxNumber(fields_.text(box)) > kLargestDecimal)
        refuse(box, highMessage, "65535.0000");
}

void OptionsPresenter::leaveChunkSplitBox(OptionsBox box) {
    const double typed = ReadBoxNumber(fields_.text(box));
    if (std::isfinite(typed))
        setBoxText(box, FormatRoundedInteger(typed));
    const double value = ReadBoxNumber(fields_.text(box));
    if (value < 0.0 || value == 1.0)
        refuse(box, "Error: Chunk Splits < 0 or =1 Illegal!", "0");
    else if (ReadBoxNumber(fields_.text(box)) > kLargestChunkSplit)
        refuse(box, "Error: Chunk Splits > 255 Illegal!", "255");
}

void OptionsPresenter::leavePathBox() {
    const std::string& path = fields_.pathPofgen;
    if (path.empty())
        return;
    if (path.size() > kLongestStoredText) {
        refuse(OptionsBox::PathPofgen, kPathTooLongMessage, "");
        return;
    }
    if (!fileSystem_.IsOrdinaryFile(path) || !NamesPofgen(path)) {
        refuse(OptionsBox::PathPofgen, kPofgenNotFoundMessage, "");
        return;
    }
    program_.settings.pofgenPath = path;
}

// True when the box holds a factor a model can be scaled by, shown in its short form; otherwise the box is
// refused and set back to 1.
bool OptionsPresenter::leaveRoomScaleBox() {
    const double typed = ReadBoxNumber(fields_.roomScale);
    if (!IsScaleFactor(typed)) {
        refuse(OptionsBox::RoomScale, kRoomScaleMessage, ScaleText(kNoScale));
        return false;
    }
    setBoxText(OptionsBox::RoomScale, ScaleText(typed));
    return true;
}

void OptionsPresenter::PathBoxFull() {
    messages_.ShowMessage(kPathTooLongMessage);
}

void OptionsPresenter::Browse() {
    FileDialogRequest request;
    request.title = "POFGEN.EXE Path";
    request.filter = "POFGEN/BSPGEN |pofgen.exe;bspgen.exe";
    request.initialPath = browseFileName_;
    const FileDialogResult chosen = dialogs_.ShowOpen(request);
    // A cancelled dialog keeps its file name: empty at the first Browse, else the name chosen last.
    if (chosen.confirmed)
        browseFileName_ = chosen.path;
    if (NamesPofgen(browseFileName_)) {
        if (browseFileName_.size() > kLongestStoredText)
            messages_.ShowMessage(kPathTooLongMessage);
        else
            program_.settings.pofgenPath = browseFileName_;
    }
    setBoxText(OptionsBox::PathPofgen, program_.settings.pofgenPath);
}

void OptionsPresenter::browseFolder(OptionsBox box, std::string title, std::string initialPath) {
    FileDialogRequest request;
    request.title = std::move(title);
    request.initialPath = std::move(initialPath);
    const FileDialogResult chosen = dialogs_.ShowFolder(request);
    if (chosen.confirmed && !chosen.path.empty())
        setBoxText(box, chosen.path);
}

void OptionsPresenter::BrowseGameFolder() {
    Config typed;
    typed.gameFolder = fields_.gameFolder;
    const std::vector<std::string> paths = GamePaths(typed);
    browseFolder(OptionsBox::GameFolder, "Descent 3 folder", paths.empty() ? std::string() : paths.front());
}

void OptionsPresenter::BrowseTextureFolder() {
    browseFolder(OptionsBox::TextureFolder, "Texture folder", fields_.textureFolder);
}

void OptionsPresenter::ResetToDefaults() {
    OptionsFields defaults;
    defaults.pathPofgen = fields_.pathPofgen;  // places on this computer, not preferences
    defaults.gameFolder = fields_.gameFolder;
    defaults.textureFolder = fields_.textureFolder;
    fields_ = defaults;
    view_.ShowFields(fields_);
    view_.Repaint();
}

// OK can run while a box still holds what was typed into it (Enter pressed before the box was left). A number
// outside its box's range is put back inside here, in the form the box's check would have left, so that the
// switch string and the Settings agree; a number within range keeps its text as typed.
void OptionsPresenter::clampForOk() {
    for (OptionsBox box : {OptionsBox::ScaleFactor, OptionsBox::ErrorTolerance}) {
        const double value = ReadBoxNumber(fields_.text(box));
        if (value > kLargestDecimal)
            setBoxText(box, "65535.0000");
        else if (value < 0.0)
            setBoxText(box, "0.00000000");
    }
    for (OptionsBox box : kChunkSplitBoxes) {
        const double rounded = RoundHalfEven(ReadBoxNumber(fields_.text(box)));
        if (rounded > kLargestChunkSplit)
            setBoxText(box, "255");
        else if (rounded < 0.0)
            setBoxText(box, "0");
    }
}

bool OptionsPresenter::Ok() {
    // The rule is applied to the values that would be stored, so that what is stored always obeys it.
    std::array<std::uint8_t, 3> splits{};
    for (std::size_t i = 0; i < 3; ++i)
        splits[i] = ChunkSplitValue(fields_.chunkSplits[i]);
    const bool anyZero = std::find(splits.begin(), splits.end(), 0) != splits.end();
    const bool anyAbove = std::any_of(splits.begin(), splits.end(), [](std::uint8_t v) { return v > 0; });
    if (anyZero && anyAbove) {
        messages_.ShowMessage(kInvalidChunkSizeMessage);
        const auto first = std::find(splits.begin(), splits.end(), 0) - splits.begin();
        view_.FocusBox(kChunkSplitBoxes[static_cast<std::size_t>(first)]);
        return false;
    }
    if (fields_.pathPofgen.size() > kLongestStoredText) {
        messages_.ShowMessage(kPathTooLongMessage);
        view_.FocusBox(OptionsBox::PathPofgen);
        return false;
    }
    if (!leaveRoomScaleBox()) {
        view_.FocusBox(OptionsBox::RoomScale);
        return false;
    }
    clampForOk();

    PofgenDialogControls controls;
    controls.scaleFactorText = fields_.scaleFactor;
    controls.errorToleranceText = fields_.errorTolerance;
    controls.shadingOption = fields_.shadingMode;
    controls.chunkSplitTexts = fields_.chunkSplits;
    static_cast<PofgenSwitchFlags&>(controls) = fields_;
    program_.pofgenCommandLine = BuildPofgenCommandLineFromDialog(controls);

    Settings& settings = program_.settings;
    settings.scaleFactor = static_cast<float>(ReadBoxNumber(fields_.scaleFactor));
    settings.errorTolerance = static_cast<float>(ReadBoxNumber(fields_.errorTolerance));
    settings.shadingMode =
        static_cast<std::uint8_t>(fields_.shadingMode == 1 || fields_.shadingMode == 2 ? fields_.shadingMode : 0);
    settings.chunkSplits = splits;
    StoreSwitchFlags(fields_, settings);
    settings.combineSubObjects.set(fields_.combineSubObjects);
    settings.pofgenPath = fields_.pathPofgen;
    if (!program_.pofgenCommandLine.empty())
        messages_.ShowMessage(std::string(kCommandLineMessage) + program_.pofgenCommandLine);
    settings.showPofgenOutput.set(fields_.showPofgenOutput);
    program_.config.values.reverseFaces = fields_.reverseFaces;
    program_.config.values.gameFolder = fields_.gameFolder;
    program_.config.values.roomScale = ReadBoxNumber(fields_.roomScale);
    program_.config.values.textureFolder = fields_.textureFolder;
    view_.Close();
    return true;
}

void OptionsPresenter::Cancel() {
    view_.Close();
}

}  // namespace torvale
