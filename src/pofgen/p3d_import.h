#pragma once

#include <string>
#include <string_view>

#include "app/import_oof.h"
#include "app/settings.h"
#include "app/startup.h"
#include "platform/file_dialogs.h"
#include "platform/message_boxes.h"
#include "platform/process_runner.h"
#include "platform/short_path.h"

namespace torvale {

// Where a P3D import takes its file from: the open dialog, or the last P3D file again (Reload P3D).
enum class P3dSource { AskUser, LastFile };

inline constexpr std::string_view kFindPofgenQuestion =
    "Please tell me where to find Pofgen!\r\n\r\nOK: Find Pofgen.exe\r\nCancel: Cancel Import";
inline constexpr std::string_view kFilenameZeroLengthMessage = "Filename 0 length!";
inline constexpr std::string_view kErrorRunningPofgenMessage = "Error running POFGEN!";
inline constexpr std::string_view kPofgenHadErrorsMessage = "POFGEN had errors. See Output for details.";
inline constexpr std::string_view kNoFileImportedMessage = "\r\nNo file Imported!\r\n";

// The log line for a P3D path that POFGEN could not open: letters outside the ANSI code page and no short name
// to stand for them (volumes can have short names turned off).
std::string NoAnsiPathMessage(std::string_view path);

// What the P3D import needs of the main window, which owns the file names, the log and the menu.
class P3dImportHost {
public:
    virtual ~P3dImportHost() = default;
    virtual void PrintOutput(std::string_view message) = 0;
    // Paints now what the closed open dialog left uncovered.
    virtual void Repaint() = 0;
    virtual void SetReloadEnabled(bool enabled) = 0;
    // The options dialog, modal.
    virtual void ShowOptionsDialog() = 0;
    virtual void ImportOof(OofSource source) = 0;
    virtual std::string& oofPath() = 0;
    virtual std::string& oofTitle() = 0;
    virtual std::string& lastP3dPath() = 0;
    virtual std::string& lastP3dTitle() = 0;
    // After a compile of `p3dPath` (as the user named it) and the load of the OOF file POFGEN wrote, whether
    // that load succeeded or not.
    virtual void P3dLoaded(const std::string& /*p3dPath*/) {}
};

// The POFGEN Output window frmPOFGEN.
class PofgenOutputView {
public:
    virtual ~PofgenOutputView() = default;
    // Replaces the window's text and shows the window modeless; a window the user closed is created anew.
    virtual void ShowOutput(const std::string& text) = 0;
};

struct P3dImportServices {
    FileDialogs& dialogs;
    MessageBoxes& messages;
    ShortPaths& shortPaths;
    ProcessRunner& runner;
    PofgenOutputView& output;
    char pathSeparator = '\\';
};

// True when POFGEN's output says it failed: it contains "error processing" in any letter case.
bool PofgenReportedErrors(std::string_view output);

// The command line POFGEN is started with: its path (in quotes when it has a blank, so that Windows cannot take
// a prefix of it for the program), one blank, the switch string, and the P3D path.
std::string PofgenProcessCommandLine(const std::string& pofgenPath,
                                     const std::string& switches,
                                     const std::string& p3dPath);

// The main window's Import P3D and Reload P3D commands and the compile behind both: the P3D file goes through
// POFGEN, and the OOF file POFGEN leaves beside it is loaded as Import OOF loads one.
class P3dImport {
public:
    P3dImport(ProgramState& program, P3dImportHost& host, P3dImportServices services);

    // Import P3D: asks for POFGEN while no path is known, then compiles a file the user chooses.
    void ImportP3dCommand();
    // A P3D file given by path (the command line, Explorer, File, Recent): asks for POFGEN while no path is
    // known, as Import P3D does, then compiles `path` without the open dialog.
    void ImportP3dFile(const std::string& path, const std::string& title);
    // Reload P3D: compiles the file of the last run without errors again.
    void ReloadP3d();
    // The compile: asks for the file, or (Reload P3D) takes oofPath and oofTitle as they are.
    void ImportP3d(P3dSource source);

private:
    bool findPofgen();

    ProgramState& program_;
    P3dImportHost& host_;
    P3dImportServices services_;
    bool givenFile_ = false;  // the compile of ImportP3dFile, whose path is the user's, unlike Reload P3D's
};

}  // namespace torvale
