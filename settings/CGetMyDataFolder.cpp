#include "settings/CGetMyDataFolder.h"

#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>

QString CGetMyDataFolder::GetMyDocumentsFolderPath()
{
    const QString documents = fGetSpecialFolder(kDocumentsFolder);
    if (!documents.isEmpty())
        return documents;
    const QString home = QDir::homePath();
    return home.endsWith(QLatin1Char('/')) ? home : home + QLatin1Char('/');
}

QString CGetMyDataFolder::GetWindowsDir() { return QStringLiteral("/usr"); }

QString CGetMyDataFolder::fGetSpecialFolder(std::int32_t lFolderId)
{
    if (lFolderId != kDocumentsFolder)
        return QString();
    const QString path = TrimNull(QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation));
    if (path.isEmpty() || !QFileInfo(path).isDir())
        return QString();
    return path.endsWith(QLatin1Char('/')) ? path : path + QLatin1Char('/');
}

QString CGetMyDataFolder::TrimNull(const QString& s)
{
    const qsizetype nul = s.indexOf(QChar(u'\0'));
    return nul < 0 ? s : s.left(nul);
}
