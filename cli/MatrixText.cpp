#include "cli/MatrixText.h"

namespace {
QString CsvCell(const QString& cell)
{
    if (!cell.contains(QLatin1Char(',')) && !cell.contains(QLatin1Char('"')) && !cell.contains(QLatin1Char('\n')) &&
        !cell.contains(QLatin1Char('\r')))
        return cell;
    QString quoted = cell;
    quoted.replace(QLatin1String("\""), QLatin1String("\"\""));
    return QLatin1Char('"') + quoted + QLatin1Char('"');
}
}  // namespace

QString DelimitedLine(const QStringList& cells, TextFormat format)
{
    if (format == TextFormat::Tsv)
        return cells.join(QLatin1Char('\t'));
    QStringList quoted;
    quoted.reserve(cells.size());
    for (const QString& cell : cells)
        quoted << CsvCell(cell);
    return quoted.join(QLatin1Char(','));
}
