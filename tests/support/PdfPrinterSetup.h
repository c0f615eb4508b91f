#pragma once
// Test double of the printer seam: every printout goes to one PDF file, without a dialog;
// it records whether the print dialog was asked for. PdfText reads the printout back.

#include "platform/PrinterSetup.h"

#include <QList>
#include <QPrinter>
#include <QProcess>
#include <QRegularExpression>
#include <QString>

class PdfPrinterSetup : public PrinterSetup {
public:
    explicit PdfPrinterSetup(QString pdfPath) : mPath(std::move(pdfPath)) { SetPrinterSetup(this); }
    ~PdfPrinterSetup() override { SetPrinterSetup(nullptr); }

    bool setUp(QPrinter& printer, bool showDialog, QWidget*) override
    {
        mDialogAsked.append(showDialog);
        printer.setOutputFormat(QPrinter::PdfFormat);
        printer.setOutputFileName(mPath);
        return true;
    }
    // One entry per printout: whether it asked for the print dialog.
    const QList<bool>& dialogAsked() const { return mDialogAsked; }

private:
    QString mPath;
    QList<bool> mDialogAsked;
};

// The text of a PDF file as pdftotext lays it out, pages ending in a form feed.
inline QString PdfText(const QString& pdf)
{
    QProcess p;
    p.start(QStringLiteral("pdftotext"), {QStringLiteral("-layout"), pdf, QStringLiteral("-")});
    p.waitForFinished(60000);
    return QString::fromUtf8(p.readAllStandardOutput());
}

// Whether the PDF's first page is wider than tall, as pdfinfo reports its size.
inline bool PdfIsLandscape(const QString& pdf)
{
    QProcess p;
    p.start(QStringLiteral("pdfinfo"), {pdf});
    p.waitForFinished(60000);
    const QRegularExpressionMatch m = QRegularExpression(QStringLiteral("Page size:\\s+([\\d.]+) x ([\\d.]+)"))
                                          .match(QString::fromUtf8(p.readAllStandardOutput()));
    return m.hasMatch() && m.captured(1).toDouble() > m.captured(2).toDouble();
}
