#include "platform/PrinterSetup.h"

namespace {
PrinterSetup* gSetup = nullptr;
}

void SetPrinterSetup(PrinterSetup* setup) { gSetup = setup; }

bool SetUpPrinter(QPrinter& printer, bool showDialog, QWidget* parent)
{
    return gSetup && gSetup->setUp(printer, showDialog, parent);
}
