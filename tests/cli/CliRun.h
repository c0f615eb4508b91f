#pragma once
// vantrel-cli run as a script runs it: its exit status, standard output and messages.

#include <QProcess>
#include <QString>
#include <QStringList>

struct CliRun {
    int exitCode;  // -1 when it did not end normally
    QString out;
    QString err;
};

inline CliRun Cli(const QStringList& args,
                  const QProcessEnvironment& environment = QProcessEnvironment::systemEnvironment())
{
    QProcess p;
    p.setProcessEnvironment(environment);
    p.start(QStringLiteral(VANTREL_CLI), args);
    p.waitForFinished(120000);
    return {p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1, QString::fromUtf8(p.readAllStandardOutput()),
            QString::fromUtf8(p.readAllStandardError())};
}
