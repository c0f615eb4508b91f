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

// input: what it reads on standard input.
inline CliRun Cli(const QStringList& args,
                  const QProcessEnvironment& environment = QProcessEnvironment::systemEnvironment(),
                  const QByteArray& input = {})
{
    QProcess p;
    p.setProcessEnvironment(environment);
    p.start(QStringLiteral(VANTREL_CLI), args);
    p.write(input);
    p.closeWriteChannel();
    p.waitForFinished(120000);
    return {p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1, QString::fromUtf8(p.readAllStandardOutput()),
            QString::fromUtf8(p.readAllStandardError())};
}

// The lines of delimited text as vantrel-cli writes suites, each ended with CR LF.
inline QStringList Lines(const QString& text) { return text.split(QStringLiteral("\r\n"), Qt::SkipEmptyParts); }
