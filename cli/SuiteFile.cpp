#include "cli/SuiteFile.h"

#include "files/DelimitedLine.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

#include <string>
#include <unordered_map>

namespace {

struct Cells {
    int headerLine = 0;  // in a JSON document 0
    QStringList header;
    std::vector<QStringList> rows;
    std::vector<int> lines;
    std::vector<std::vector<int>> columns;  // of each cell, header first
};

struct Stop {
    SuiteFileError error;
};

[[noreturn]] void Fail(int line, int column, const QString& message) { throw Stop{{line, column, message}}; }

// Where each cell of a delimited line starts (1-based), quotes respected.
std::vector<int> CellColumns(const QString& line, QChar delimiter)
{
    std::vector<int> columns{1};
    bool quoted = false;
    for (int i = 0; i < line.size(); ++i) {
        if (line[i] == QLatin1Char('"'))
            quoted = !quoted;
        else if (line[i] == delimiter && !quoted)
            columns.push_back(i + 2);
    }
    return columns;
}

Cells DelimitedCells(const QString& text)
{
    const TextFormat format = text.section(QLatin1Char('\n'), 0, 0).contains(QLatin1Char('\t')) ? TextFormat::Tsv : TextFormat::Csv;
    const QChar delimiter = format == TextFormat::Tsv ? QLatin1Char('\t') : QLatin1Char(',');
    Cells cells;
    const QStringList lines = text.split(QLatin1Char('\n'));
    for (int k = 0; k < lines.size(); ++k) {
        QString line = lines[k];
        if (line.endsWith(QLatin1Char('\r')))
            line.chop(1);
        if (line.trimmed().isEmpty())
            continue;
        const QList<QStringList> parsed = ParseDelimitedText(line, format);
        const QStringList row = parsed.isEmpty() ? QStringList() : parsed.first();
        if (cells.headerLine == 0) {
            cells.headerLine = k + 1;
            cells.header = row;
        } else {
            cells.rows.push_back(row);
            cells.lines.push_back(k + 1);
        }
        cells.columns.push_back(CellColumns(line, delimiter));
    }
    return cells;
}

QStringList Strings(const QJsonArray& array, int row)
{
    QStringList strings;
    for (qsizetype k = 0; k < array.size(); ++k) {
        if (!array[k].isString())
            Fail(row, int(k) + 1, QStringLiteral("expected the name of a level as a JSON string"));
        strings << array[k].toString();
    }
    return strings;
}

Cells JsonCells(const QByteArray& bytes)
{
    QJsonParseError parse{};
    const QJsonDocument document = QJsonDocument::fromJson(bytes, &parse);
    if (parse.error != QJsonParseError::NoError)
        Fail(0, 0, QStringLiteral("not JSON: %1 at character %2").arg(parse.errorString()).arg(parse.offset + 1));
    const QJsonObject object = document.object();
    if (!object.value(QLatin1String("factors")).isArray() || !object.value(QLatin1String("rows")).isArray())
        Fail(0, 0, QStringLiteral("a JSON suite is an object with \"factors\" and \"rows\" arrays"));
    Cells cells;
    cells.header = Strings(object.value(QLatin1String("factors")).toArray(), 0);
    const QJsonArray rows = object.value(QLatin1String("rows")).toArray();
    cells.columns.emplace_back();
    for (qsizetype r = 0; r < rows.size(); ++r) {
        cells.rows.push_back(Strings(rows[r].toArray(), int(r) + 1));
        cells.lines.push_back(int(r) + 1);
        std::vector<int>& columns = cells.columns.emplace_back();
        for (qsizetype k = 0; k < cells.rows.back().size(); ++k)
            columns.push_back(int(k) + 1);
    }
    for (qsizetype k = 0; k < cells.header.size(); ++k)
        cells.columns.front().push_back(int(k) + 1);
    return cells;
}

int ColumnOf(const Cells& cells, std::size_t row, qsizetype cell)
{
    const std::vector<int>& columns = cells.columns[row];
    return std::size_t(cell) < columns.size() ? columns[std::size_t(cell)] : 1;
}

// The design factor of each column.
std::vector<int32_t> HeaderFactors(const Cells& cells, const vantrel::Design& design, bool wholeRows)
{
    const int headerLine = cells.headerLine;
    const std::vector<std::string> names = design.model().FactorNames();
    const auto numFactors = int32_t(names.size());
    std::unordered_map<std::string, int32_t> byName;  // the last factor of a name, as a search from the first keeps
    for (int32_t f = 0; f < numFactors; ++f)
        byName[names[std::size_t(f)]] = f;
    std::vector<int32_t> factors;
    std::vector<bool> seen(names.size());
    for (qsizetype k = 0; k < cells.header.size(); ++k) {
        const auto found = byName.find(cells.header[k].toStdString());
        if (found == byName.end())
            Fail(headerLine, ColumnOf(cells, 0, k), QStringLiteral("unknown factor [%1]").arg(cells.header[k]));
        if (seen[std::size_t(found->second)])
            Fail(headerLine, ColumnOf(cells, 0, k), QStringLiteral("factor [%1] has two columns").arg(cells.header[k]));
        seen[std::size_t(found->second)] = true;
        factors.push_back(found->second);
    }
    for (int32_t f = 0; wholeRows && f < numFactors; ++f)
        if (!seen[std::size_t(f)])
            Fail(headerLine, 1, QStringLiteral("no column for factor [%1]").arg(QString::fromStdString(names[std::size_t(f)])));
    return factors;
}

SuiteRows Resolve(const Cells& cells, const vantrel::Design& design, bool wholeRows)
{
    const std::vector<int32_t> factors = HeaderFactors(cells, design, wholeRows);
    SuiteRows rows;
    for (std::size_t r = 0; r < cells.rows.size(); ++r) {
        std::vector<int32_t>& codes = rows.codes.emplace_back(design.model().factors.size(), -1);
        rows.lines.push_back(cells.lines[r]);
        const QStringList& row = cells.rows[r];
        if (row.size() > cells.header.size())
            Fail(cells.lines[r], ColumnOf(cells, r + 1, cells.header.size()), QStringLiteral("more cells than factors"));
        for (qsizetype k = 0; k < cells.header.size(); ++k) {
            const QString text = k < row.size() ? row[k] : QString();
            const std::string name = text.toStdString();
            const int32_t f = factors[std::size_t(k)];
            if (text.isEmpty()) {
                if (wholeRows)
                    Fail(cells.lines[r], ColumnOf(cells, r + 1, k),
                         QStringLiteral("no level for factor [%1]").arg(cells.header[k]));
                continue;
            }
            const int32_t level = design.LevelOf(f, name);
            if (level < 0)
                Fail(cells.lines[r], ColumnOf(cells, r + 1, k),
                     QStringLiteral("factor [%1] has no level \"%2\"").arg(cells.header[k], text));
            codes[std::size_t(f)] = level;
        }
    }
    return rows;
}

}  // namespace

bool ReadSuiteFile(const QByteArray& bytes, const vantrel::Design& design, bool wholeRows, SuiteRows& rows,
                   SuiteFileError& error)
{
    try {
        const QByteArray trimmed = bytes.trimmed();
        const Cells cells = trimmed.startsWith('{') ? JsonCells(bytes) : DelimitedCells(QString::fromUtf8(bytes));
        if (cells.header.isEmpty())
            Fail(1, 1, QStringLiteral("the first line names no factor"));
        rows = Resolve(cells, design, wholeRows);
        return true;
    } catch (const Stop& stop) {
        error = stop.error;
        return false;
    }
}
