#pragma once

#include <array>
#include <string>
#include <string_view>

#include "app/startup.h"
#include "platform/file_dialogs.h"
#include "platform/file_system.h"
#include "platform/message_boxes.h"
#include "pofgen/command_line.h"

namespace torvale {

// The options dialog's text boxes.
enum class OptionsBox {
    ScaleFactor,
    ErrorTolerance,
    ChunkSplitX,
    ChunkSplitY,
    ChunkSplitZ,
    PathPofgen,
    GameFolder,
    RoomScale,
    TextureFolder
};

// Everything the options dialog's controls hold, as they stand when the dialog is created: the seven switch
// check boxes (the base) and the rest.
struct OptionsFields : PofgenSwitchFlags {
    std::string scaleFactor = "0.02540000";                 // txtScaleFactor
    std::string errorTolerance = "0.00000000";              // txtErrorTolerance
    int shadingMode = 0;                                    // the selected optShadingMode: 0, 1 or 2
    std::array<std::string, 3> chunkSplits{"0", "0", "0"};  // txtChunkSplits X, Y, Z
    bool combineSubObjects = true;                          // optOOFORF 0 selected (else option 1)
    std::string pathPofgen;                                 // txtPathPofgen
    bool showPofgenOutput = true;                           // chkPOFGENOutput
    bool reverseFaces = false;                              // chkReverseFaces (TORVALE.cfg)
    std::string gameFolder;                                 // txtGameFolder (TORVALE.cfg)
    std::string roomScale = "1";                            // txtRoomScale (TORVALE.cfg)
    std::string textureFolder;                              // txtTextureFolder (TORVALE.cfg)

    std::string& text(OptionsBox box);
    const std::string& text(OptionsBox box) const { return const_cast<OptionsFields&>(*this).text(box); }
    friend bool operator==(const OptionsFields&, const OptionsFields&) = default;
};

// The longest text the settings file can keep.
inline constexpr std::size_t kLongestStoredText = 255;

inline constexpr std::string_view kPofgenNotFoundMessage =
    "Pofgen.exe not found or named incorrectly. Name must be pofgen.exe or bspgen.exe!";
inline constexpr std::string_view kPathTooLongMessage =
    "The POFGEN path can have at most 255 characters: the settings file cannot keep a longer one.";
inline constexpr std::string_view kInvalidChunkSizeMessage = "Invalid Chunk Size! Must be all 0's or all above 0!";
inline constexpr std::string_view kRoomScaleMessage = "Error: Scale must be a finite number above 0!";
inline constexpr std::string_view kCommandLineMessage = "Command line to send to POFGEN.EXE: ";

// What the options presenter asks of the real dialog.
class OptionsView {
public:
    virtual ~OptionsView() = default;
    // Puts every field into its control.
    virtual void ShowFields(const OptionsFields& fields) = 0;
    // Puts one box's text into its control (before a message box, so that the box shows it meanwhile).
    virtual void ShowBoxText(OptionsBox box, const std::string& text) = 0;
    virtual void FocusBox(OptionsBox box) = 0;
    virtual void Repaint() = 0;
    // Closes and discards the dialog.
    virtual void Close() = 0;
};

// The options dialog frmOptions without its controls: the fields, the checks when a box is left, Browse,
// Reset To Defaults, OK and Cancel. The real dialog writes every change the user makes into fields() and
// calls the operation of each event; one presenter serves one showing.
class OptionsPresenter {
public:
    OptionsPresenter(ProgramState& program,
                     OptionsView& view,
                     FileDialogs& dialogs,
                     MessageBoxes& messages,
                     FileSystem& fileSystem);

    OptionsFields& fields() { return fields_; }

    // Activation: the fields from the Settings.
    void Activate();
    // The check of a box that loses the focus.
    void LeaveBox(OptionsBox box);
    // The path box refused a character because it is full.
    void PathBoxFull();
    void Browse();
    // The Browse button beside "Descent 3 folder": the shell's folder dialog; the chosen folder replaces the
    // box's text (several paths separated by ';' may also be typed there).
    void BrowseGameFolder();
    // The Browse button beside "Texture folder": the same folder dialog, starting at the box's folder.
    void BrowseTextureFolder();
    void ResetToDefaults();
    // True when the dialog closed; false when the chunk splits, the room scale (or an overlong path) kept it open.
    bool Ok();
    void Cancel();

private:
    void setBoxText(OptionsBox box, std::string text);
    void browseFolder(OptionsBox box, std::string title, std::string initialPath);
    void refuse(OptionsBox box, std::string_view message, std::string replacement);
    void leaveDecimalBox(OptionsBox box, bool zeroAllowed, std::string_view lowMessage, std::string_view highMessage);
    void leaveChunkSplitBox(OptionsBox box);
    void leavePathBox();
    bool leaveRoomScaleBox();
    void clampForOk();

    ProgramState& program_;
    OptionsView& view_;
    FileDialogs& dialogs_;
    MessageBoxes& messages_;
    FileSystem& fileSystem_;
    OptionsFields fields_;
    std::string browseFileName_;  // the Browse dialog's file name, kept between Browses of one showing
};

}  // namespace torvale
