#include "cli/JsonReport.h"

#include "model/DesignText.h"

#include <QJsonArray>
#include <QJsonDocument>

#include <algorithm>

namespace JsonReport {

QStringList FactorNames(const DesignText& design)
{
    QStringList names;
    for (int f = 1; f <= design.numFactors; ++f)
        names << design.factors.at(0, f);
    return names;
}

QByteArray Document(const DesignText& design, const std::vector<std::vector<QString>>& rows, const QJsonObject& summary)
{
    QByteArray text = Opening(design);
    for (std::size_t r = 0; r < rows.size(); ++r)
        text += Row(QStringList(rows[r].begin(), rows[r].end()), r == 0);
    return text + Closing(summary);
}

QByteArray Opening(const DesignText& design)
{
    const QJsonArray factors = QJsonArray::fromStringList(FactorNames(design));
    return "{\n\"factors\": " + QJsonDocument(factors).toJson(QJsonDocument::Compact) + ",\n\"rows\": [";
}

QByteArray Row(const QStringList& cells, bool first)
{
    return (first ? "\n" : ",\n") + QJsonDocument(QJsonArray::fromStringList(cells)).toJson(QJsonDocument::Compact);
}

QByteArray Closing(const QJsonObject& summary)
{
    return "\n],\n\"summary\": " + QJsonDocument(summary).toJson(QJsonDocument::Compact) + "\n}\n";
}

QJsonObject CoverageSummary(const TupleCoverage& coverage, const DesignText& design)
{
    // What no valid test case can hold counts as covered, as a forbidden pair does: a complete
    // suite covers what it requires.
    const auto excludedTogether = std::count_if(coverage.missingCombinations.begin(), coverage.missingCombinations.end(),
                                                [](const TupleCoverage::Missing& m) { return m.excludedTogether; });
    QJsonObject summary{{QStringLiteral("covered"), double(coverage.found + excludedTogether)},
                        {QStringLiteral("required"), double(coverage.found + coverage.missing)},
                        {QStringLiteral("excludedTogether"), double(excludedTogether)},
                        {QStringLiteral("violation"), coverage.violation}};
    if (!design.invalidLevels.empty())
        summary.insert(QStringLiteral("invalidLevelPairs"),
                       QJsonObject{{QStringLiteral("covered"), double(coverage.invalidFound)},
                                   {QStringLiteral("required"), double(coverage.invalidFound + coverage.invalidMissing)}});
    QJsonArray groups;
    for (const TupleCoverage::Group& group : coverage.groups) {
        QStringList factors;
        for (const int f : group.factors)
            factors << design.factors.at(0, f);
        groups.append(QJsonObject{{QStringLiteral("factors"), QJsonArray::fromStringList(factors)},
                                  {QStringLiteral("strength"), group.strength},
                                  {QStringLiteral("covered"), double(group.found)},
                                  {QStringLiteral("required"), double(group.found + group.missing)}});
    }
    if (!groups.isEmpty())
        summary.insert(QStringLiteral("groups"), groups);
    return summary;
}

}  // namespace JsonReport
