#pragma once
// The program's settings store in the test profile: emptied before each test, and made
// unwritable by putting a folder where the store's file goes (which stops root as well).
// Each test process that includes this keeps its store in a home folder of its own, set up
// before main, so that tests running at the same time never share one.

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSettings>
#include <QString>
#include <QTemporaryDir>

inline QString SettingsFileName() { return QSettings(QStringLiteral("Corvantis"), QStringLiteral("Vantrel")).fileName(); }

// Must exist before the first settings object of the process: the store's folder is fixed
// then.
class PrivateSettingsHome {
public:
    PrivateSettingsHome() { qputenv("HOME", mHome.path().toLocal8Bit()); }
    // False when a settings object came first and the store stayed in the shared folder.
    bool holdsTheStore() const
    {
        return mHome.isValid() && SettingsFileName().startsWith(mHome.path() + QLatin1Char('/'));
    }

private:
    QTemporaryDir mHome;
};

inline PrivateSettingsHome gSettingsHome;

inline void ClearSettings()
{
    QDir().rmdir(SettingsFileName());
    QSettings settings(QStringLiteral("Corvantis"), QStringLiteral("Vantrel"));
    settings.clear();
    settings.sync();
}

// Stores values the way an earlier run (or the user) left them; `values` maps the store's
// keys ("lMaxNumEvolutions", "frmMain/Left") to what is stored.
inline void StoreSettings(std::initializer_list<std::pair<QString, QVariant>> values)
{
    QSettings settings(QStringLiteral("Corvantis"), QStringLiteral("Vantrel"));
    for (const auto& [key, value] : values)
        settings.setValue(key, value);
    settings.sync();
}

inline QVariant StoredSetting(const QString& key)
{
    return QSettings(QStringLiteral("Corvantis"), QStringLiteral("Vantrel")).value(key);
}

inline bool ObstructSettings()
{
    const QString file = SettingsFileName();
    QFile::remove(file);
    return QDir().mkpath(file);
}
