#include "search/CoverageSummary.h"

#include "model/DesignText.h"
#include "search/TupleCoverage.h"

CoverageSummary SummarizeCoverage(std::int32_t found, std::int32_t missing, bool violation)
{
    const QString counted = QStringLiteral("A total of ") + QString::number(found) + QStringLiteral(" combinations out of ") +
                            QString::number(std::int64_t(found) + missing) +
                            QStringLiteral(" were found in the constraints, previous test, and the test case matrix.");
    if (violation)
        return {counted + QStringLiteral(" The constraints were violated in the QXV Matrix."), 25, false};
    if (missing > 0)
        return {counted + QStringLiteral(" There are nested constraints in the design."), 26, false};
    return {counted, 34, true};
}

TupleCoverage TotalOf(const TupleCoverage& coverage)
{
    TupleCoverage total;
    total.found = coverage.found + coverage.invalidFound;
    total.missing = coverage.missing + coverage.invalidMissing;
    for (const TupleCoverage::Group& group : coverage.groups) {
        total.found += group.found;
        total.missing += group.missing;
    }
    return total;
}

namespace {

QString TuplesOf(std::int32_t strength)
{
    if (strength == 2)
        return QStringLiteral("pairs");
    if (strength == 3)
        return QStringLiteral("triples");
    return QStringLiteral("combinations of %1 levels").arg(strength);
}

QString Counted(std::int64_t found, std::int64_t missing, const QString& what)
{
    return QStringLiteral("%1 of %2 %3").arg(found).arg(found + missing).arg(what);
}

}  // namespace

QStringList CoverageByKind(const TupleCoverage& coverage, const DesignText& design, std::int32_t strength)
{
    const bool invalid = coverage.invalidFound + coverage.invalidMissing > 0;
    if (!invalid && coverage.groups.empty())
        return {};
    QStringList lines{Counted(coverage.found, coverage.missing, QStringLiteral("valid ") + TuplesOf(strength))};
    if (invalid)
        lines << Counted(coverage.invalidFound, coverage.invalidMissing, QStringLiteral("invalid-level pairs"));
    for (const TupleCoverage::Group& group : coverage.groups) {
        QStringList factors;
        for (const std::int32_t f : group.factors)
            factors << QLatin1Char('[') + design.factors.at(0, f) + QLatin1Char(']');
        lines << QStringLiteral("Group { %1 } @ %2: ").arg(factors.join(QStringLiteral(", "))).arg(group.strength) +
                     Counted(group.found, group.missing, TuplesOf(group.strength));
    }
    return lines;
}
