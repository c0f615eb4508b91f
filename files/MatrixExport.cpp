#include "files/MatrixExport.h"

#include "files/FileWriter.h"
#include "files/modShell.h"
#include "platform/MessageBox.h"
#include "platform/StatusPanels.h"

#include <QDir>

namespace MatrixExport {

bool WriteMatrix(const GridCellStore& grid, ExportKind kind, QIODevice& device, QString* Ret_strReason)
{
    return ExportKindInfoOf(kind).write(grid, device, Ret_strReason);
}

bool ExportMatrixToFile(const GridCellStore& grid, ExportKind kind, const QString& path, QString* Ret_strReason)
{
    FileWriter file(path);
    QString reason;
    const bool written = file.open() && WriteMatrix(grid, kind, file.device(), &reason) && file.commit();
    if (!written && Ret_strReason)
        *Ret_strReason = reason.isEmpty() ? file.reason() : reason;
    return written;  // an unfinished file goes with `file`
}

bool ExportMatrix(const GridCellStore& grid, ExportKind kind, const QString& path)
{
    QString reason;
    if (ExportMatrixToFile(grid, kind, path, &reason))
        return true;
    ShowMessage(QStringLiteral("The matrix could not be exported to\n%1\n\n%2\n\nAny earlier file of that name is "
                               "unchanged.")
                    .arg(QDir::toNativeSeparators(path), reason),
                MsgButtons::Ok, MsgIcon::Critical);
    return false;
}

bool ExportTestCases(const GridCellStore& testCases, ExportKind kind, const QString& path, QObject* owner)
{
    if (!ExportMatrix(testCases, kind, path))
        return false;
    modShell::ShellError error;
    if (!modShell::GShell(path, 10, QString(), QString(), QStringLiteral("open"), owner, &error))
        ShowStatusMessage(QStringLiteral("%1 was exported but could not be opened: %2")
                              .arg(QDir::toNativeSeparators(path), error.description));
    return true;
}

}  // namespace MatrixExport
