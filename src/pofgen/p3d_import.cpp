#include "pofgen/p3d_import.h"

#include <algorithm>
#include <cctype>

#include "app/output_log.h"
#include "core/ascii_text.h"

namespace torvale {
namespace {

FileDialogRequest ImportP3dDialog() {
    FileDialogRequest request;
    request.title = "Import P3D file";
    request.filter = "Parallax 3D Format(*.P3D)|*.p3d";
    request.fileMustExist = true;  // flags 0x1000
    return request;
}

// All but the last three characters, and "OOF": whatever the name ended with, normally "p3d" in any case.
std::string WithOofEnding(const std::string& name) {
    return name.substr(0, name.size() - std::min<std::size_t>(3, name.size())) + "OOF";
}

}  // namespace

std::string NoAnsiPathMessage(std::string_view path) {
    return "\r\nPOFGEN cannot open " + std::string(path) +
           ": its name has letters outside this system's code page and the drive gives it no short name. "
           "Rename the file or its folders, or move it.\r\n";
}

bool PofgenReportedErrors(std::string_view output) {
    return FindIgnoringAsciiCase(output, "error processing") != std::string_view::npos;
}

std::string PofgenProcessCommandLine(const std::string& pofgenPath,
                                     const std::string& switches,
                                     const std::string& p3dPath) {
    const bool quote = pofgenPath.find(' ') != std::string::npos;
    std::string line = quote ? "\"" + pofgenPath + "\"" : pofgenPath;
    // A non-empty switch string ends with a blank, so the file always follows a single blank.
    line += ' ';
    line += switches;
    line += p3dPath;
    return line;
}

P3dImport::P3dImport(ProgramState& program, P3dImportHost& host, P3dImportServices services)
    : program_(program), host_(host), services_(services) {}

bool P3dImport::findPofgen() {
    while (program_.settings.pofgenPath.empty()) {
        if (services_.messages.ShowMessage(kFindPofgenQuestion, MessageButtons::OkCancel) != MessageAnswer::Ok)
            return false;
        host_.ShowOptionsDialog();
    }
    return true;
}

void P3dImport::ImportP3dCommand() {
    if (findPofgen())
        ImportP3d(P3dSource::AskUser);
}

void P3dImport::ImportP3dFile(const std::string& path, const std::string& title) {
    if (!findPofgen())
        return;
    host_.oofPath() = path;
    host_.oofTitle() = title;
    givenFile_ = true;
    ImportP3d(P3dSource::LastFile);
    givenFile_ = false;
}

void P3dImport::ReloadP3d() {
    if (!host_.lastP3dPath().empty() && !host_.lastP3dTitle().empty()) {
        host_.oofPath() = host_.lastP3dPath();
        host_.oofTitle() = host_.lastP3dTitle();
        ImportP3d(P3dSource::LastFile);
        return;
    }
    host_.PrintOutput(kNoFileImportedMessage);
    host_.SetReloadEnabled(false);
}

void P3dImport::ImportP3d(P3dSource source) {
    host_.PrintOutput(kResetMessage);
    std::string& oofPath = host_.oofPath();
    std::string& oofTitle = host_.oofTitle();
    if (source == P3dSource::AskUser) {
        const FileDialogResult chosen = services_.dialogs.ShowOpen(ImportP3dDialog());
        if (!chosen.confirmed)
            return;  // cancelled: the log already shows the banner, nothing else happens
        oofPath = chosen.path;
        oofTitle = chosen.title;
        host_.Repaint();
    }
    if (oofPath.empty() || oofTitle.empty())
        return;
    // As the user named it, before it is shortened; Reload P3D's path is already short.
    const std::string namedPath = source == P3dSource::AskUser || givenFile_ ? oofPath : std::string();

    // The short form keeps blanks out of the path POFGEN gets (it is not quoted).
    const std::string chosenPath = oofPath;
    const std::string chosenTitle = oofTitle;
    const std::string shortPath = services_.shortPaths.ShortPathName(oofPath);
    if (shortPath.empty()) {
        services_.messages.ShowMessage(kFilenameZeroLengthMessage);
        return;
    }
    oofPath = shortPath;
    const std::size_t separator = oofPath.rfind(services_.pathSeparator);
    const std::size_t nameStart = separator == std::string::npos ? 0 : separator + 1;
    // POFGEN reads its command line in the ANSI code page, so a name with letters outside it is shortened too.
    if (oofTitle.find(' ') != std::string::npos || !services_.shortPaths.FitsAnsiCodePage(oofTitle)) {
        // A name with a blank is shortened too. Its short form is the name part of the short path, which
        // does not depend on the current directory (the open dialog leaves that where it was).
        const std::string shortTitle = oofPath.substr(nameStart);
        if (shortTitle.empty()) {
            services_.messages.ShowMessage(kFilenameZeroLengthMessage);
            return;
        }
        oofTitle = shortTitle;
    } else {
        // The folder part short, the name as the user knows it.
        oofPath = oofPath.substr(0, nameStart) + oofTitle;
    }

    if (!services_.shortPaths.FitsAnsiCodePage(oofPath)) {
        host_.PrintOutput(NoAnsiPathMessage(chosenPath));
        oofPath = chosenPath;
        oofTitle = chosenTitle;
        return;
    }

    const ProcessCapture run = services_.runner.Run(
        PofgenProcessCommandLine(program_.settings.pofgenPath, program_.pofgenCommandLine, oofPath));
    if (!run.started) {
        services_.messages.ShowMessage(kErrorRunningPofgenMessage);
        return;
    }
    if (PofgenReportedErrors(run.output)) {
        services_.messages.ShowMessage(kPofgenHadErrorsMessage);
        services_.output.ShowOutput(run.output);
        return;
    }
    if (program_.settings.showPofgenOutput.isOn())
        services_.output.ShowOutput(run.output);

    host_.lastP3dPath() = oofPath;
    host_.lastP3dTitle() = oofTitle;
    host_.SetReloadEnabled(true);

    oofPath = WithOofEnding(oofPath);
    oofTitle = WithOofEnding(oofTitle);
    host_.ImportOof(OofSource::GivenFile);
    if (!namedPath.empty())
        host_.P3dLoaded(namedPath);
}

}  // namespace torvale
