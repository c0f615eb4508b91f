#include "files/MatrixExport.h"

#include "files/FileWriter.h"
#include "files/modShell.h"
#include "platform/MessageBox.h"
#include "platform/StatusPanels.h"

#include <QDir>

namespace MatrixExport {

Result<void> WriteMatrix(const GridCellStore& grid, ExportKind kind, QIODevice& device)
{
    return ExportKindInfoOf(kind).write(grid, device);
}

Result<void> ExportMatrixToFile(const GridCellStore& grid, ExportKind kind, const QString& path)
{
    FileWriter file(path);  // an unfinished file goes with it
    if (Result<void> opened = file.open(); !opened)
        return opened;
    if (Result<void> written = WriteMatrix(grid, kind, file.device()); !written)
        return written;
    return file.commit();
}

bool ExportMatrix(const GridCellStore& grid, ExportKind kind, const QString& path)
{
    const Result<void> exported = ExportMatrixToFile(grid, kind, path);
    if (exported)
        return true;
    ShowMessage(QStringLiteral("The matrix could not be exported to\n%1\n\n%2\n\nAny earlier file of that name is "
                               "unchanged.")
                    .arg(QDir::toNativeSeparators(path), exported.error()),
                MsgButtons::Ok, MsgIcon::Critical);
    return false;
}

bool ExportTestCases(const GridCellStore& testCases, ExportKind kind, const QString& path, QObject* owner)
{
    if (!ExportMatrix(testCases, kind, path))
        return false;
    const auto opened = modShell::GShell(path, 10, QString(), QString(), QStringLiteral("open"), owner);
    if (!opened)
        ShowStatusMessage(QStringLiteral("%1 was exported but could not be opened: %2")
                              .arg(QDir::toNativeSeparators(path), opened.error().description));
    return true;
}

}  // namespace MatrixExport
