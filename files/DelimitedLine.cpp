#include "files/DelimitedLine.h"

namespace {
QString QuotedWhereNeeded(const QString& cell, QChar delimiter)
{
    if (!cell.contains(delimiter) && !cell.contains(QLatin1Char('"')) && !cell.contains(QLatin1Char('\n')) &&
        !cell.contains(QLatin1Char('\r')))
        return cell;
    QString quoted = cell;
    quoted.replace(QLatin1String("\""), QLatin1String("\"\""));
    return QLatin1Char('"') + quoted + QLatin1Char('"');
}
}  // namespace

QString DelimitedLine(const QStringList& cells, TextFormat format)
{
    const QChar delimiter = format == TextFormat::Csv ? QLatin1Char(',') : QLatin1Char('\t');
    QStringList quoted;
    quoted.reserve(cells.size());
    for (const QString& cell : cells)
        quoted << QuotedWhereNeeded(cell, delimiter);
    return quoted.join(delimiter);
}

QList<QStringList> ParseDelimitedText(const QString& text, TextFormat format)
{
    const QChar delimiter = format == TextFormat::Csv ? QLatin1Char(',') : QLatin1Char('\t');
    QList<QStringList> rows;
    QStringList row;
    QString cell;
    qsizetype i = 0;
    const qsizetype n = text.size();
    auto endRow = [&] {
        row << cell;
        rows << row;
        row.clear();
        cell.clear();
    };
    while (i < n) {
        if (cell.isEmpty() && text[i] == QLatin1Char('"')) {
            // A quoted cell; text after its closing quote, up to the delimiter, is kept as typed.
            for (++i; i < n; ++i) {
                if (text[i] != QLatin1Char('"')) {
                    cell += text[i];
                } else if (i + 1 < n && text[i + 1] == QLatin1Char('"')) {
                    cell += QLatin1Char('"');
                    ++i;
                } else {
                    ++i;
                    break;
                }
            }
            continue;
        }
        const QChar ch = text[i++];
        if (ch == delimiter) {
            row << cell;
            cell.clear();
        } else if (ch == QLatin1Char('\n')) {
            endRow();
        } else if (ch == QLatin1Char('\r') && i < n && text[i] == QLatin1Char('\n')) {
            ++i;
            endRow();
        } else {
            cell += ch;
        }
    }
    if (!cell.isEmpty() || !row.isEmpty())
        endRow();
    return rows;
}
