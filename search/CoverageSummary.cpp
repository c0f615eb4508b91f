#include "search/CoverageSummary.h"

#include "engine/LevelLookup.h"
#include "model/DesignText.h"

#include <algorithm>

namespace {

QString TuplesOf(std::int32_t strength)
{
    if (strength == 2)
        return QStringLiteral("pairs");
    if (strength == 3)
        return QStringLiteral("triples");
    return QStringLiteral("combinations of %1 levels").arg(strength);
}

QString Counted(std::int64_t found, std::int64_t total, const QString& what)
{
    return QStringLiteral("%1 of %2 %3").arg(found).arg(total).arg(what);
}

QString GroupName(const CoverageRequirement& group, const DesignText& design)
{
    QStringList factors;
    for (const std::int32_t f : group.factors)
        factors << QLatin1Char('[') + design.factors.at(0, f + 1) + QLatin1Char(']');
    return QStringLiteral("Group { %1 } @ %2").arg(factors.join(QStringLiteral(", "))).arg(group.strength);
}

}  // namespace

CoverageSummary SummarizeCoverage(const CoverageReport& report, bool commandLine)
{
    const QString where = commandLine ? QStringLiteral("--missing") : QStringLiteral("the Coverage view");
    const std::int64_t found = report.Covered() + report.Excluded();
    const std::int64_t missing = report.Missing();
    const QString counted = QStringLiteral("A total of ") + QString::number(found) + QStringLiteral(" combinations out of ") +
                            QString::number(found + missing) +
                            QStringLiteral(" were found in the constraints, previous test, and the test case matrix.");
    if (report.AnySuiteViolation())
        return {counted + QStringLiteral(" The constraints were violated in the QXV Matrix."), 25, false};
    if (missing > 0)
        return {counted + (missing == 1 ? QStringLiteral(" 1 combination that a valid test case can hold is missing; "
                                                         "%1 lists it.")
                                                .arg(where)
                                        : QStringLiteral(" %1 combinations that a valid test case can hold are missing; "
                                                         "%2 lists them.")
                                              .arg(missing)
                                              .arg(where)),
                kCoverageHelpContext, false};
    if (report.AnySuiteProblem())
        return {counted + QStringLiteral(" Some test cases hold a name that is no level of their factor."),
                kCoverageHelpContext, false};
    return {counted, 34, true};
}

QString RequirementName(const CoverageRequirement& requirement, const DesignText& design)
{
    switch (requirement.kind) {
    case CoverageRequirement::Kind::Strength: return QStringLiteral("%1-way").arg(requirement.strength);
    case CoverageRequirement::Kind::InvalidPairs: return QStringLiteral("invalid-level pairs");
    case CoverageRequirement::Kind::Group: break;
    }
    return GroupName(requirement, design);
}

QStringList CoverageByKind(const CoverageReport& report, const DesignText& design)
{
    if (report.requirements.size() < 2)
        return {};
    QStringList lines;
    for (const CoverageRequirement& requirement : report.requirements) {
        switch (requirement.kind) {
        case CoverageRequirement::Kind::Strength:
            lines << Counted(requirement.covered, requirement.required, QStringLiteral("valid ") + TuplesOf(requirement.strength));
            break;
        case CoverageRequirement::Kind::InvalidPairs:
            lines << Counted(requirement.covered, requirement.required, QStringLiteral("invalid-level pairs"));
            break;
        case CoverageRequirement::Kind::Group:
            lines << GroupName(requirement, design) + QStringLiteral(": ") +
                         Counted(requirement.covered, requirement.required, TuplesOf(requirement.strength));
            break;
        }
    }
    return lines;
}

QStringList EntryCells(const DesignText& design, const ConstraintModel& model, std::int32_t entry)
{
    const std::int32_t f = model.LevelFactor()[std::size_t(entry)];
    const int level = entry - model.LevelOffset()[std::size_t(f)] + 1;
    const QString name = design.factors.at(level, f + 1);
    return {design.factors.at(0, f + 1), model.Invalid(entry) ? QLatin1Char('~') + name : name};
}

QString LevelsText(const DesignText& design, const ConstraintModel& model, const std::vector<std::int32_t>& entries)
{
    QStringList parts;
    for (const std::int32_t entry : entries)
        parts << EntryCells(design, model, entry).join(QStringLiteral(" = "));
    return parts.join(QStringLiteral(", "));
}

QString ProblemText(const CoverageProblemRow& row, const ConstraintModel& model, const DesignText& design,
                    std::int32_t firstRuleLine)
{
    if (row.unknownFactor >= 0)
        return QStringLiteral("holds a name that is no level of %1").arg(design.factors.at(0, row.unknownFactor + 1));
    QStringList what;
    if (row.broken.Any())
        what << QStringLiteral("breaks ") +
                    QString::fromStdString(DescribeStatements(row.broken, model, firstRuleLine)).remove(QStringLiteral(" together"));
    if (row.invalidLevels > 1)
        what << QStringLiteral("holds %1 invalid levels").arg(row.invalidLevels);
    return what.join(QStringLiteral(" and "));
}

QString BrokenPreviousTest(const DesignTables& design, const ConstraintModel& model, const DesignText& text,
                           std::int32_t firstRuleLine)
{
    const std::vector<std::vector<std::int32_t>> rows = LevelLookup(design).Codes(design.prevRuns);
    for (std::size_t r = 0; r < rows.size(); ++r) {
        if (std::find(rows[r].begin(), rows[r].end(), -1) != rows[r].end())
            continue;  // its names are the validation's to refuse
        CoverageProblemRow problem;
        problem.row = std::int32_t(r);
        for (std::int32_t f = 0; f < model.NumFactors(); ++f)
            problem.invalidLevels += model.Invalid(model.LevelOffset()[std::size_t(f)] + rows[r][std::size_t(f)]);
        if (problem.invalidLevels <= 1 && model.RowIsValid(rows[r].data()))
            continue;
        problem.broken = model.BrokenBy(rows[r].data());
        return QStringLiteral("Previous test number %1 ").arg(r + 1) + ProblemText(problem, model, text, firstRuleLine) +
               QLatin1Char('.');
    }
    return {};
}

QString NoValidTestCase(const ConstraintModel& model, std::int32_t firstRuleLine, ExclusionReason* reason)
{
    ExclusionExplainer explainer(model);
    const ExclusionReason why = explainer.Explain({});
    if (reason)
        *reason = why;
    const std::string phrase = ReasonPhrase(why, model, firstRuleLine);
    return QStringLiteral("No test case can satisfy every constraint") +
           (phrase.empty() ? QString() : QStringLiteral(": ") + QString::fromStdString(phrase)) + QLatin1Char('.');
}
