#include "errortrap/ReportMail.h"

#include <QDateTime>
#include <QLocale>
#include <QProcess>
#include <QUuid>

namespace {
// A header value in plain ASCII, or encoded as RFC 2047 words when it needs more.
QByteArray HeaderText(const QString& text)
{
    bool ascii = true;
    for (QChar c : text)
        ascii = ascii && c.unicode() >= 0x20 && c.unicode() < 0x7f;
    if (ascii)
        return text.toLatin1();
    return "=?UTF-8?B?" + text.toUtf8().toBase64() + "?=";
}
}  // namespace

QByteArray ComposeReportMail(const ReportMailMessage& m)
{
    const QByteArray boundary = "=_fserror_" + QUuid::createUuid().toByteArray(QUuid::Id128);
    const QString subject = QStringLiteral("Remote Error Report From ") + m.executable;
    const QString body = QStringLiteral("Error %1 (%2) occurred in %3. The attached log file has complete details.")
                             .arg(m.number)
                             .arg(m.description, m.executable);

    QByteArray mime;
    mime += "To: " + m.address.toUtf8() + "\r\n";
    mime += "Subject: " + HeaderText(subject) + "\r\n";
    mime +=
        "Date: " +
        QLocale::c().toString(QDateTime::currentDateTime(), QStringLiteral("ddd, dd MMM yyyy hh:mm:ss t")).toLatin1() +
        "\r\n";
    mime += "MIME-Version: 1.0\r\n";
    mime += "Content-Type: multipart/mixed; boundary=\"" + boundary + "\"\r\n\r\n";
    mime += "--" + boundary + "\r\n";
    mime += "Content-Type: text/plain; charset=UTF-8\r\n";
    mime += "Content-Transfer-Encoding: 8bit\r\n\r\n";
    mime += body.toUtf8() + "\r\n\r\n";
    mime += "--" + boundary + "\r\n";
    mime += "Content-Type: text/plain; charset=UTF-8; name=\"fserror.log\"\r\n";
    mime += "Content-Disposition: attachment; filename=\"fserror.log\"\r\n";
    mime += "Content-Transfer-Encoding: base64\r\n\r\n";
    const QByteArray encoded = m.attachment.toBase64();
    for (qsizetype i = 0; i < encoded.size(); i += 76)
        mime += encoded.mid(i, 76) + "\r\n";
    mime += "--" + boundary + "--\r\n";
    return mime;
}

bool SendReportMail(const QString& sendmail, const QByteArray& mime, int timeoutMs)
{
    if (sendmail.isEmpty())
        return false;
    QProcess process;
    process.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    process.setStandardOutputFile(QProcess::nullDevice());
    process.start(sendmail, {QStringLiteral("-t")});
    if (!process.waitForStarted(timeoutMs))
        return false;
    process.write(mime);
    process.closeWriteChannel();
    if (!process.waitForFinished(timeoutMs)) {
        process.kill();
        process.waitForFinished(1000);
        return false;
    }
    return process.exitStatus() == QProcess::NormalExit && process.exitCode() == 0;
}
