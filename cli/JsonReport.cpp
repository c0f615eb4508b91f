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

namespace {

QJsonObject Counts(const vantrel::Requirement& requirement)
{
    QJsonArray growth;
    for (const std::int64_t covered : requirement.growth)
        growth.append(double(covered));
    return {{QStringLiteral("required"), double(requirement.required)},
            {QStringLiteral("covered"), double(requirement.covered)},
            {QStringLiteral("missing"), double(requirement.Missing())},
            {QStringLiteral("excluded"), double(requirement.excluded)},
            {QStringLiteral("growth"), growth}};
}

}  // namespace

QJsonObject CoverageSummary(const vantrel::Coverage& report, const DesignText& design)
{
    QJsonObject summary;
    QJsonArray groups;
    for (const vantrel::Requirement& requirement : report.requirements) {
        switch (requirement.kind) {
        case vantrel::Requirement::Kind::Strength: summary = Counts(requirement); break;
        case vantrel::Requirement::Kind::InvalidPairs: summary.insert(QStringLiteral("invalidLevelPairs"), Counts(requirement)); break;
        case vantrel::Requirement::Kind::Group: {
            QJsonObject group = Counts(requirement);
            QStringList factors;
            for (const int f : requirement.factors)
                factors << design.factors.at(0, f + 1);
            group.insert(QStringLiteral("factors"), QJsonArray::fromStringList(factors));
            group.insert(QStringLiteral("strength"), requirement.strength);
            groups.append(group);
            break;
        }
        }
    }
    if (!groups.isEmpty())
        summary.insert(QStringLiteral("groups"), groups);
    summary.insert(QStringLiteral("complete"), report.Complete());
    summary.insert(QStringLiteral("violation"), report.AnySuiteViolation());
    return summary;
}

}  // namespace JsonReport
