#pragma once
// A sheet on paper: a heading, then its captions and cells as one table, the column captions
// repeated at the top of every page. The table runs to the last row and column holding text.

#include <QString>

class GridCellStore;
class QPrinter;
class QTextDocument;

class SheetPrinter {
public:
    // The printout as a document (the printer's page size decides where pages break).
    static void BuildDocument(const GridCellStore& grid, const QString& title, QTextDocument& document);
    // False when the printer could not print (after no message: the caller tells the user).
    static bool Print(const GridCellStore& grid, const QString& title, QPrinter& printer);
};
