// The Export command of CFile: the save dialog of the format, the wait cursor, the Test
// Cases grid written and opened.
#include "files/CFile.h"

#include "files/MatrixExport.h"
#include "settings/modCursor.h"

bool CFile::ExportHandler(ExportKind kind)
{
    const std::optional<QString> path =
        GetSaveFileNameFromUser(QString::fromLatin1(ExportKindInfoOf(kind).extension), ExportFilter(kind));
    if (!path)
        return true;
    modCursor::StartAnimatedCursor(QStringLiteral("hourglas.ani"));
    const bool exported = MatrixExport::ExportTestCases(mTestCasesGrid, kind, *path, nullptr);
    modCursor::RestoreLastCursor();
    return exported;
}
