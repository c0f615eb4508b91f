#include "settings/cRegistry.h"

#include "settings/RegistryError.h"

#include <QCoreApplication>
#include <QFileInfo>
#include <QSettings>
#include <QStringList>

#include <memory>
#include <optional>

namespace {
// Where a section lives: the application's store and the group in it ("" for its root).
struct Location {
    QString organisation;
    QString application;
    QString group;
};

// ".Default\Software\<organisation>\<application>[\<group>...]"; anything else cannot be
// opened.
std::optional<Location> Locate(const QString& section)
{
    const QStringList parts = section.split(QLatin1Char('\\'));
    if (parts.size() < 4 || parts.contains(QString()))
        return std::nullopt;
    if (parts[0].compare(QLatin1String(".Default"), Qt::CaseInsensitive) != 0
        || parts[1].compare(QLatin1String("Software"), Qt::CaseInsensitive) != 0)
        return std::nullopt;
    return Location{parts[2], parts[3], parts.mid(4).join(QLatin1Char('/'))};
}

// The store of the section, positioned on its group; nothing when it cannot be read.
std::unique_ptr<QSettings> Open(const Location& where)
{
    auto settings = std::make_unique<QSettings>(where.organisation, where.application);
    if (settings->status() != QSettings::NoError)
        return nullptr;
    if (!where.group.isEmpty())
        settings->beginGroup(where.group);
    return settings;
}

QString ErrorSource()
{
    QString program = QStringLiteral("vantrel");
    if (QCoreApplication::instance())
        program = QFileInfo(QCoreApplication::applicationFilePath()).completeBaseName();
    return program + QStringLiteral(".cRegistry");
}
}  // namespace

QVariant cRegistry::Value() const
{
    const std::optional<Location> where = Locate(SectionKey);
    if (!where || ValueKey.isEmpty())
        return Default;
    const std::unique_ptr<QSettings> settings = Open(*where);
    if (!settings || !settings->contains(ValueKey))
        return Default;
    return settings->value(ValueKey);
}

void cRegistry::setValue(const QVariant& value)
{
    const std::optional<Location> where = Locate(SectionKey);
    if (!where || ValueKey.isEmpty())
        RaiseSetValueFailed(value);
    QVariant stored = value;
    if (ValueType == REG_SZ) {
        stored = value.toString();
    } else if (ValueType == REG_DWORD) {
        bool ok = false;
        stored = value.toInt(&ok);
        if (!ok)
            RaiseSetValueFailed(value);
    }
    const std::unique_ptr<QSettings> settings = Open(*where);
    if (!settings)
        RaiseSetValueFailed(value);
    settings->setValue(ValueKey, stored);
    settings->sync();
    if (settings->status() != QSettings::NoError)
        RaiseSetValueFailed(value);
}

bool cRegistry::KeyExists() const
{
    const std::optional<Location> where = Locate(SectionKey);
    if (!where)
        return false;
    const std::unique_ptr<QSettings> settings = Open(*where);
    return settings && !settings->allKeys().isEmpty();
}

bool cRegistry::CreateKey()
{
    const std::optional<Location> where = Locate(SectionKey);
    if (!where)
        RaiseCreateKeyFailed();
    const std::unique_ptr<QSettings> settings = Open(*where);
    if (!settings || !settings->isWritable())
        RaiseCreateKeyFailed();
    return true;
}

void cRegistry::RaiseSetValueFailed(const QVariant& value) const
{
    throw RegistryError(ErrorSource(),
                        QStringLiteral("Failed to set registry value Key: '") + QString::number(HKEY_USERS)
                            + QStringLiteral("',Section: '") + SectionKey + QStringLiteral("',Key: '")
                            + ValueKey + QStringLiteral("' to value: '") + value.toString()
                            + QStringLiteral("'"));
}

void cRegistry::RaiseCreateKeyFailed() const
{
    throw RegistryError(ErrorSource(), QStringLiteral("Failed to create registry Key: '") + SectionKey);
}
