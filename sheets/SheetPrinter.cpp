#include "sheets/SheetPrinter.h"

#include "model/GridCellStore.h"

#include <QPrinter>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextTable>

#include <algorithm>

namespace {
// The last row and column of data cells that hold text; at least 1 when the sheet has any.
void UsedExtent(const GridCellStore& grid, int& lastRow, int& lastCol)
{
    lastRow = 0;
    lastCol = 0;
    for (int r = 1; r <= grid.maxRows(); ++r)
        for (int c = 1; c <= grid.maxCols(); ++c)
            if (!grid.text(c, r).isEmpty()) {
                lastRow = std::max(lastRow, r);
                lastCol = std::max(lastCol, c);
            }
    lastRow = std::max(lastRow, std::min(1, grid.maxRows()));
    lastCol = std::max(lastCol, std::min(1, grid.maxCols()));
}
}  // namespace

void SheetPrinter::BuildDocument(const GridCellStore& grid, const QString& title, QTextDocument& document)
{
    document.clear();
    document.setDocumentMargin(0);
    QTextCursor cursor(&document);
    QTextCharFormat heading;
    heading.setFontWeight(QFont::Bold);
    heading.setFontPointSize(12);
    cursor.insertText(title, heading);
    cursor.insertBlock();

    int lastRow = 0, lastCol = 0;
    UsedExtent(grid, lastRow, lastCol);
    QTextTableFormat format;
    format.setHeaderRowCount(1);
    format.setCellPadding(2);
    format.setCellSpacing(0);
    format.setBorder(0.5);
    format.setBorderCollapse(true);
    QTextTable* table = cursor.insertTable(lastRow + 1, lastCol + 1, format);

    QTextCharFormat caption;
    caption.setFontWeight(QFont::Bold);
    const QTextCharFormat cell;
    for (int r = 0; r <= lastRow; ++r)
        for (int c = 0; c <= lastCol; ++c)
            table->cellAt(r, c).firstCursorPosition().insertText(grid.text(c, r), r == 0 || c == 0 ? caption : cell);
}

bool SheetPrinter::Print(const GridCellStore& grid, const QString& title, QPrinter& printer)
{
    QTextDocument document;
    BuildDocument(grid, title, document);
    document.print(&printer);
    return printer.printerState() != QPrinter::Error;
}
