#include "files/modShell.h"

#include "platform/ShellOpener.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>

namespace modShell {

namespace {
QString ProgramName()
{
    const QString path = QCoreApplication::instance() ? QCoreApplication::applicationFilePath() : QString();
    const QString name = QFileInfo(path).completeBaseName();
    return name.isEmpty() ? QStringLiteral("vantrel") : name;
}

// The failing shell result for a file that cannot be handed to the desktop at all; 0 when it can.
int FileProblem(const QString& file)
{
    const QFileInfo info(file);
    if (!info.dir().exists())
        return kShellPathNotFound;
    if (!info.exists())
        return kShellFileNotFound;
    if (!info.isReadable())
        return kShellAccessDenied;
    return 0;
}
}  // namespace

ShellError ShellErrorFor(int shellResult)
{
    const auto app = [shellResult](const char* text) {
        return ShellError{kErrorBase + 1048 + shellResult, QString::fromLatin1(text), {}};
    };
    ShellError error;
    switch (shellResult) {
    case 0:
    case 8: error = {7, QStringLiteral("Out of memory"), {}}; break;
    case 2: error = {53, QStringLiteral("File not found"), {}}; break;
    case 3: error = {76, QStringLiteral("Path not found"), {}}; break;
    case 5: error = {75, QStringLiteral("Path/file access error"), {}}; break;
    case 11: error = app("The executable file is invalid or corrupt"); break;
    case 26: error = {75, QStringLiteral("A sharing violation occurred."), {}}; break;
    case 27: error = app("This file type does not have a valid file association."); break;
    case 28:
        error = {286, QStringLiteral("The file could not be opened due to time out.  Please try again in a moment."), {}};
        break;
    case 29:
        error = {285,
                 QStringLiteral("The file could not be opened because the DDE transaction failed.  Please try again "
                                "in a moment."),
                 {}};
        break;
    case 30:
        error = {285,
                 QStringLiteral("The file could not be opened because the target application is busy.  Please try "
                                "again in a moment."),
                 {}};
        break;
    case 31: error = app("No application is associated with this file type."); break;
    case 32: error = {48, QStringLiteral("The specified dynamic-link library was not found."), {}}; break;
    default: error = app("An error occurred occurred whilst trying to open or print the selected file."); break;
    }
    error.source = ProgramName() + QStringLiteral(".GShell");
    return error;
}

Result<void, ShellError> GShell(const QString& file, int show, const QString& parameters, const QString& folder,
                                const QString& verb, QObject* owner)
{
    if (file.toUpper().contains(QLatin1String(".EXE")))
        show = 0;
    ShellOpenRequest request{file, verb, {}, {}, 1, owner};
    if (!parameters.isEmpty() || !folder.isEmpty()) {
        request.parameters = parameters;
        request.folder = folder;
        request.showCommand = show;
    }

    // The desktop says only whether it took the file; when it refuses a file that is there,
    // no application could be found for it.
    int result = FileProblem(file);
    if (result == 0)
        result = OpenWithShell(request) ? kShellOpened : kShellNoAssociation;
    if (result > 32)
        return {};
    return Failure{ShellErrorFor(result)};
}

}  // namespace modShell
