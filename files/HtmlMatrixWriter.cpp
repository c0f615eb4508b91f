#include "files/HtmlMatrixWriter.h"

#include "files/ExportOutput.h"
#include "model/GridCellStore.h"

namespace {
const char* const kHead =
    "<!DOCTYPE html>\r\n"
    "<html>\r\n"
    "<head>\r\n"
    "<meta charset=\"utf-8\"/>\r\n"
    "<title>QXV Matrix</title>\r\n"
    "<style>table { border-collapse: collapse; } th, td { border: 1px solid #888; padding: 2px 6px; "
    "white-space: pre-wrap; text-align: left; vertical-align: top; }</style>\r\n"
    "</head>\r\n"
    "<body>\r\n"
    "<table>\r\n";
const char* const kTail =
    "</table>\r\n"
    "</body>\r\n"
    "</html>\r\n";

// A carriage return is written as a reference; a parser would turn a bare one into a line feed.
QString Escaped(const QString& text)
{
    return text.toHtmlEscaped().replace(QLatin1Char('\r'), QLatin1String("&#13;"));
}
}  // namespace

Result<void> HtmlMatrixWriter::write(const GridCellStore& grid, QIODevice& device)
{
    if (Result<void> head = WriteToDevice(device, kHead); !head)
        return head;
    for (int r = 1; r <= grid.maxRows(); ++r) {
        const QLatin1String cell(r == 1 ? "th" : "td");
        QString line = QStringLiteral("<tr>");
        for (int c = 1; c <= grid.maxCols(); ++c)
            line += QLatin1Char('<') + cell + QLatin1Char('>') + Escaped(grid.text(c, r)) + QLatin1String("</") + cell +
                    QLatin1Char('>');
        line += QLatin1String("</tr>\r\n");
        if (Result<void> row = WriteToDevice(device, line.toUtf8()); !row)
            return row;
    }
    return WriteToDevice(device, kTail);
}
