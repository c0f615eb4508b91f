#include "platform/qt/QtPrinterSetup.h"

#include "platform/MessageBox.h"

#include <QDir>
#include <QFileInfo>
#include <QPrintDialog>
#include <QPrinter>
#include <QPrinterInfo>

namespace {
// "<documents>/<name>.pdf", or "<name> (2).pdf" and so on when that file exists.
QString UnusedPdfPath(const QString& folder, const QString& name)
{
    const QString base = name.isEmpty() ? QStringLiteral("Vantrel") : name;
    QString path = folder + base + QStringLiteral(".pdf");
    for (int i = 2; QFileInfo::exists(path); ++i)
        path = folder + QStringLiteral("%1 (%2).pdf").arg(base).arg(i);
    return path;
}
}  // namespace

bool QtPrinterSetup::setUp(QPrinter& printer, bool showDialog, QWidget* parent)
{
    if (showDialog) {
        QPrintDialog dialog(&printer, parent);
        return dialog.exec() == QDialog::Accepted;
    }
    if (!QPrinterInfo::defaultPrinter().isNull())
        return true;
    const QList<QPrinterInfo> printers = QPrinterInfo::availablePrinters();
    if (!printers.isEmpty()) {
        printer.setPrinterName(printers.first().printerName());
        return true;
    }
    const QString path = UnusedPdfPath(mDocumentsFolder, printer.docName());
    printer.setOutputFormat(QPrinter::PdfFormat);
    printer.setOutputFileName(path);
    ShowMessage(QStringLiteral("There is no printer on this system. The sheet is printed to the file\n%1")
                    .arg(QDir::toNativeSeparators(path)),
                MsgButtons::Ok, MsgIcon::Information);
    return true;
}
