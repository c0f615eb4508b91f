#pragma once
// Where a printout goes. The sheets hand a printer to SetUpPrinter, which readies it (with the
// print dialog when asked) and says whether to print. The Qt face prints to the default
// printer, or to a PDF file when the system has none; tests print to a PDF file of their own.

class QPrinter;
class QWidget;

class PrinterSetup {
public:
    virtual ~PrinterSetup() = default;
    // Readies the printer; False when the user cancelled the print dialog.
    virtual bool setUp(QPrinter& printer, bool showDialog, QWidget* parent) = 0;
};

void SetPrinterSetup(PrinterSetup* setup);  // nullptr: nothing is printed
bool SetUpPrinter(QPrinter& printer, bool showDialog, QWidget* parent);
