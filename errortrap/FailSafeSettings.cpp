#include "errortrap/FailSafeSettings.h"

#include <QHash>
#include <QSettings>
#include <QStringList>

namespace {

// "section/key" in lower case -> value.
QHash<QString, QString> ReadAll(const QString& iniPath)
{
    QHash<QString, QString> values;
    QSettings ini(iniPath, QSettings::IniFormat);
    for (const QString& key : ini.allKeys()) {
        const QVariant value = ini.value(key);
        // An unquoted comma makes a list of the value; the trap wants the text as written.
        const QString text = value.typeId() == QMetaType::QStringList ? value.toStringList().join(QStringLiteral(", "))
                                                                      : value.toString();
        values.insert(key.toLower(), text);
    }
    return values;
}

bool IsOne(const QString& value) { return value.trimmed() == QLatin1String("1"); }

// A flag that is on when set to anything but "0" or nothing.
bool IsSet(const QString& value)
{
    const QString v = value.trimmed();
    return !v.isEmpty() && v != QLatin1String("0");
}

int PositiveNumber(const QString& value, int fallback)
{
    bool ok = false;
    const int n = value.trimmed().toInt(&ok);
    return ok && n > 0 ? n : fallback;
}

}  // namespace

FailSafeSettings FailSafeSettings::Read(const QString& iniPath)
{
    const QHash<QString, QString> v = ReadAll(iniPath);
    const auto get = [&v](const char* key, const QString& fallback) {
        return v.value(QString::fromLatin1(key).toLower(), fallback);
    };
    FailSafeSettings s;
    s.bCircularLog = IsOne(get("Log File/CircularLog", QStringLiteral("0")));
    s.strCircularFileName = get("CircularLog/FileName", s.strCircularFileName);
    s.lCircularRecordSize = PositiveNumber(get("CircularLog/RecordSize", QStringLiteral("1024")), 1024);
    s.lCircularMaxRecords = PositiveNumber(get("CircularLog/MaxRecords", QStringLiteral("10")), 10);
    s.strForceSystemInfo = get("preferences/Force System Info", {});
    s.strEmailAddress = get("email/Address", {}).trimmed();
    s.strSendmail = get("email/Sendmail", s.strSendmail).trimmed();
    s.bWriteToDisk = IsSet(get("log file/Write To Disk", {}));
    s.bCaptureToDisk = IsSet(get("log file/Capture To Disk", {}));
    s.strLogFile = get("log file/Log File", s.strLogFile).trimmed();
    s.bSilentRun = IsSet(get("preferences/Silent Run", QStringLiteral("0")));
    s.bDisplayMode = IsSet(get("preferences/Display Mode", QStringLiteral("0")));
    s.strResources = get("include/Resources", s.strResources);
    s.strMemory = get("include/Memory", s.strMemory);
    s.strArguments = get("include/Arguments", s.strArguments);
    s.strUser = get("include/User", s.strUser);
    return s;
}

QString FailSafeIniPath(const QString& programFolder)
{
    QString folder = programFolder;
    if (folder.endsWith(QLatin1Char('/')) || folder.endsWith(QLatin1Char('\\')))
        folder.chop(1);
    return folder + QStringLiteral("/FSCLIENT.INI");
}
