#include "search/CoverageSummary.h"

CoverageSummary SummarizeCoverage(const vantrel::Coverage& coverage, bool commandLine)
{
    const QString text = QString::fromStdString(coverage.Summary(commandLine ? "--missing" : "the Coverage view"));
    if (coverage.AnySuiteViolation())
        return {text, 25, false};
    if (!coverage.Complete())
        return {text, kCoverageHelpContext, false};
    return {text, 34, true};
}

QStringList ToStrings(const std::vector<std::string>& texts)
{
    QStringList strings;
    for (const std::string& text : texts)
        strings << QString::fromStdString(text);
    return strings;
}

QStringList LevelCells(const vantrel::Design& design, vantrel::LevelRef level)
{
    return {QString::fromStdString(design.model().factors[std::size_t(level.factor)].name),
            QString::fromStdString(design.Shown(level))};
}

QStringList LevelCells(const vantrel::Design& design, const std::vector<vantrel::LevelRef>& levels)
{
    QStringList cells;
    for (const vantrel::LevelRef& level : levels)
        cells << LevelCells(design, level);
    return cells;
}

QString LevelsText(const vantrel::Design& design, const std::vector<vantrel::LevelRef>& levels)
{
    QStringList parts;
    for (const vantrel::LevelRef& level : levels)
        parts << LevelCells(design, level).join(QStringLiteral(" = "));
    return parts.join(QStringLiteral(", "));
}

std::vector<vantrel::LevelRef> RowLevels(const std::vector<int>& levels)
{
    std::vector<vantrel::LevelRef> row;
    for (std::size_t f = 0; f < levels.size(); ++f)
        row.push_back({int(f), levels[f]});
    return row;
}
