#pragma once
// The error trap's settings file "FSCLIENT.INI" in the program's folder. Section and key names
// are matched whatever their letter case; a missing key takes its default.

#include <QString>

struct FailSafeSettings {
    bool bCircularLog = false;
    QString strCircularFileName = QStringLiteral("circ0001.log");
    int lCircularRecordSize = 1024;
    int lCircularMaxRecords = 10;
    QString strForceSystemInfo;
    QString strEmailAddress;
    QString strSendmail = QStringLiteral("/usr/sbin/sendmail");  // the mail transfer program
    bool bWriteToDisk = false;
    bool bCaptureToDisk = false;
    QString strLogFile = QStringLiteral("error.log");
    bool bSilentRun = false;
    bool bDisplayMode = false;
    QString strResources = QStringLiteral("1");
    QString strMemory = QStringLiteral("1");
    QString strArguments = QStringLiteral("1");
    QString strUser = QStringLiteral("1");

    // The settings of the file; the defaults when it does not exist.
    static FailSafeSettings Read(const QString& iniPath);
};

// "FSCLIENT.INI" in the folder; one trailing separator of the folder is dropped first.
QString FailSafeIniPath(const QString& programFolder);
