#pragma once
// The print dialog and the system's printers. Without a printer on the system, a printout
// goes to a PDF file in the documents folder, named after the document and never replacing
// a file; a message says where.

#include "platform/PrinterSetup.h"

#include <QString>

#include <utility>

class QtPrinterSetup : public PrinterSetup {
public:
    // documentsFolder ends with a separator: where the PDF files go.
    explicit QtPrinterSetup(QString documentsFolder) : mDocumentsFolder(std::move(documentsFolder)) {}
    bool setUp(QPrinter& printer, bool showDialog, QWidget* parent) override;

private:
    QString mDocumentsFolder;
};
