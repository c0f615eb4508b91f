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
