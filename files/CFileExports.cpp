// The Export commands of CFile: the save dialog of the format, the wait cursor, the Test
// Cases grid written and opened.
#include "files/CFile.h"

#include "files/MatrixExport.h"
#include "settings/modCursor.h"

bool CFile::ExportAsExcel() { return ExportHandler(ExportKind::Excel); }
bool CFile::ExportAsXML() { return ExportHandler(ExportKind::Xml); }
bool CFile::ExportAsHTML() { return ExportHandler(ExportKind::Html); }
bool CFile::ExportAsTabDelim() { return ExportHandler(ExportKind::TabDelimited); }
bool CFile::ExportAsCommaDelim() { return ExportHandler(ExportKind::CommaDelimited); }

bool CFile::ExportHandler(ExportKind kind)
{
    QString path;
    if (!GetSaveFileNameFromUser(QString::fromLatin1(ExportKindInfoOf(kind).extension), ExportFilter(kind), path))
        return true;
    modCursor::StartAnimatedCursor(QStringLiteral("hourglas.ani"));
    const bool exported = MatrixExport::ExportTestCases(mTestCasesGrid, kind, path, nullptr);
    modCursor::RestoreLastCursor();
    return exported;
}
