#include "settings/RecentFiles.h"

#include <QSettings>

namespace {
const char* const kKey = "RecentFiles";

QSettings Store() { return QSettings(QStringLiteral("Corvantis"), QStringLiteral("Vantrel")); }
}  // namespace

QStringList RecentFiles::Paths() const
{
    QStringList paths = Store().value(QString::fromLatin1(kKey)).toStringList();
    paths.removeAll(QString());
    return paths.mid(0, kMaxFiles);
}

void RecentFiles::Add(const QString& path)
{
    if (path.isEmpty())
        return;
    QStringList paths = Paths();
    paths.removeAll(path);
    paths.prepend(path);
    QSettings store = Store();
    store.setValue(QString::fromLatin1(kKey), paths.mid(0, kMaxFiles));
}
