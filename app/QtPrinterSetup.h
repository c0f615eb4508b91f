#pragma once
// The print dialog and the system's printers. Without a printer on the system, a printout
// goes to a PDF file in the documents folder, named after the document and never replacing
// a file; a message says where.

#include "app/PrinterSetup.h"

class QtPrinterSetup : public PrinterSetup {
public:
    bool setUp(QPrinter& printer, bool showDialog, QWidget* parent) override;
};
