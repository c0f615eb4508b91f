#include "sheets/SheetPrinter.h"

#include "model/GridCellStore.h"

#include <QAbstractTextDocumentLayout>
#include <QApplication>
#include <QFontDatabase>
#include <QFontMetricsF>
#include <QPainter>
#include <QPrinter>
#include <QTextBlockFormat>
#include <QTextCursor>
#include <QTextDocument>

#include <algorithm>
#include <vector>

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

// The table's measures on one device: captions bold, texts on as many lines as they hold.
struct TableMeasures {
    int lastRow = 0, lastCol = 0;
    qreal padding = 0;
    std::vector<qreal> widths;   // columns 0..lastCol
    std::vector<qreal> heights;  // rows 0..lastRow

    TableMeasures(const GridCellStore& grid, const QFont& font, QPaintDevice* device)
    {
        UsedExtent(grid, lastRow, lastCol);
        QFont bold = font;
        bold.setBold(true);
        const QFontMetricsF plain(font, device), strong(bold, device);
        padding = plain.height() * 0.3;
        widths.assign(std::size_t(lastCol) + 1, 0);
        heights.assign(std::size_t(lastRow) + 1, 0);
        for (int r = 0; r <= lastRow; ++r)
            for (int c = 0; c <= lastCol; ++c) {
                const QFontMetricsF& m = r == 0 || c == 0 ? strong : plain;
                const QStringList lines = grid.shownText(c, r).split(QLatin1Char('\n'));
                for (const QString& line : lines)
                    widths[std::size_t(c)] = std::max(widths[std::size_t(c)], m.horizontalAdvance(line) + 2 * padding);
                heights[std::size_t(r)] =
                    std::max(heights[std::size_t(r)], qreal(lines.size()) * m.lineSpacing() + 2 * padding);
            }
    }
};

QFont PrintFont()
{
    QFont font = QApplication::font();
    font.setPointSizeF(9);
    return font;
}

QFont HeadingFont()
{
    QFont heading = PrintFont();
    heading.setBold(true);
    heading.setPointSizeF(12);
    return heading;
}

// The lines of the text numbered, laid out for the printer, each with a hanging indent after
// its number.
void NumberedLines(const QString& text, QPrinter& printer, QTextDocument& document)
{
    QFont font = QFontDatabase::systemFont(QFontDatabase::FixedFont);
    font.setPointSizeF(9);
    document.documentLayout()->setPaintDevice(&printer);
    document.setDefaultFont(font);
    document.setDocumentMargin(0);
    QTextOption wrapping;
    wrapping.setWrapMode(QTextOption::WrapAtWordBoundaryOrAnywhere);
    document.setDefaultTextOption(wrapping);
    const QStringList lines = text.split(QLatin1Char('\n'));
    const int digits = int(QString::number(lines.size()).size());
    const qreal indent = QFontMetricsF(font, &printer).horizontalAdvance(QString(digits + 2, QLatin1Char('0')));
    QTextBlockFormat hanging;
    hanging.setLeftMargin(indent);
    hanging.setTextIndent(-indent);
    QTextCursor cursor(&document);
    for (int i = 0; i < lines.size(); ++i) {
        if (i > 0)
            cursor.insertBlock();
        cursor.setBlockFormat(hanging);
        cursor.insertText(QStringLiteral("%1  ").arg(i + 1, digits) + lines[i]);
    }
}
}  // namespace

bool SheetPrinter::WiderThanTall(const GridCellStore& grid, const QFont& font)
{
    const TableMeasures t(grid, font, nullptr);
    qreal width = 0, height = 0;
    for (const qreal w : t.widths)
        width += w;
    for (const qreal h : t.heights)
        height += h;
    return width > height;
}

bool SheetPrinter::Print(const GridCellStore& grid, const QString& title, QPrinter& printer)
{
    QPainter painter;
    if (!painter.begin(&printer))
        return false;
    const QFont font = PrintFont();
    QFont bold = font;
    bold.setBold(true);
    const QFont heading = HeadingFont();
    TableMeasures t(grid, font, &printer);
    const QRectF page(QPointF(0, 0), printer.pageLayout().paintRectPixels(printer.resolution()).size());
    const qreal headingHeight = QFontMetricsF(heading, &printer).lineSpacing() * 1.5;

    // Columns that fit beside the row captions, band by band; a column wider than the rest of
    // the page is cut to it.
    const qreal room = std::max(page.width() - t.widths[0], page.width() / 4);
    std::vector<std::pair<int, int>> bands;
    for (int first = 1; first <= t.lastCol;) {
        qreal used = 0;
        int last = first;
        for (; last <= t.lastCol; ++last) {
            const qreal w = std::min(t.widths[std::size_t(last)], room);
            if (used + w > room && last > first)
                break;
            t.widths[std::size_t(last)] = w;
            used += w;
        }
        bands.emplace_back(first, last - 1);
        first = last;
    }

    bool firstPage = true;
    const auto drawRow = [&](int r, qreal y, const std::pair<int, int>& band) {
        qreal x = 0;
        const auto drawCell = [&](int c) {
            const QRectF cell(x, y, t.widths[std::size_t(c)], t.heights[std::size_t(r)]);
            painter.setFont(r == 0 || c == 0 ? bold : font);
            painter.drawRect(cell);
            painter.drawText(cell.adjusted(t.padding, t.padding, -t.padding, -t.padding),
                             Qt::AlignLeft | Qt::AlignVCenter, grid.shownText(c, r));
            x += cell.width();
        };
        drawCell(0);
        for (int c = band.first; c <= band.second; ++c)
            drawCell(c);
    };
    const auto startPage = [&](const std::pair<int, int>& band) {
        if (!firstPage && !printer.newPage())
            return false;
        firstPage = false;
        painter.setFont(heading);
        painter.drawText(QRectF(0, 0, page.width(), headingHeight), Qt::AlignLeft | Qt::AlignTop, title);
        painter.setPen(QPen(Qt::black, 0));
        drawRow(0, headingHeight, band);
        return true;
    };
    for (const auto& band : bands) {
        if (!startPage(band))
            return false;
        qreal y = headingHeight + t.heights[0];
        for (int r = 1; r <= t.lastRow; ++r) {
            if (y + t.heights[std::size_t(r)] > page.height() && y > headingHeight + t.heights[0]) {
                if (!startPage(band))
                    return false;
                y = headingHeight + t.heights[0];
            }
            drawRow(r, y, band);
            y += t.heights[std::size_t(r)];
        }
    }
    painter.end();
    return printer.printerState() != QPrinter::Error;
}

bool SheetPrinter::PrintText(const QString& text, const QString& title, QPrinter& printer)
{
    QPainter painter;
    if (!painter.begin(&printer))
        return false;
    const QFont heading = HeadingFont();
    const QRectF page(QPointF(0, 0), printer.pageLayout().paintRectPixels(printer.resolution()).size());
    const qreal headingHeight = QFontMetricsF(heading, &printer).lineSpacing() * 1.5;
    QTextDocument document;
    NumberedLines(text, printer, document);
    // The document breaks its pages between lines, below the heading.
    const QSizeF body(page.width(), page.height() - headingHeight);
    document.setPageSize(body);
    for (int p = 0; p < document.pageCount(); ++p) {
        if (p > 0 && !printer.newPage())
            return false;
        painter.setFont(heading);
        painter.drawText(QRectF(0, 0, page.width(), headingHeight), Qt::AlignLeft | Qt::AlignTop, title);
        painter.save();
        painter.translate(0, headingHeight - p * body.height());
        document.drawContents(&painter, QRectF(QPointF(0, p * body.height()), body));
        painter.restore();
    }
    painter.end();
    return printer.printerState() != QPrinter::Error;
}
