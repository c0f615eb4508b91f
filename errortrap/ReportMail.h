#pragma once
// Mailing an error report: a MIME message with the report's log attached, handed to the
// system's sendmail interface ("sendmail -t" reads the recipients from the message).

#include <QByteArray>
#include <QString>

#include <cstdint>

struct ReportMailMessage {
    QString address;
    QString executable;  // the program's executable name
    std::int32_t number = 0;
    QString description;
    QByteArray attachment;  // the log block, attached as "fserror.log"
};

// The message as sendmail reads it.
QByteArray ComposeReportMail(const ReportMailMessage& message);

// Runs the mail program with "-t" and the message on its input; true when it took the
// message (exit status 0). Gives up after the timeout.
bool SendReportMail(const QString& sendmail, const QByteArray& mime, int timeoutMs = 30000);
