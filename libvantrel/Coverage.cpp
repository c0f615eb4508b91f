#include <vantrel/design.hpp>

#include "libvantrel/DesignImpl.h"
#include "libvantrel/Phrases.h"

#include "engine/CoverageReport.h"

#include <algorithm>

namespace vantrel {

namespace {

std::string TuplesOf(int strength)
{
    return strength == 2 ? "pairs" : strength == 3 ? "triples" : "combinations of " + std::to_string(strength) + " levels";
}

std::string NameOf(const CoverageRequirement& requirement, const DesignTables& tables)
{
    switch (requirement.kind) {
    case CoverageRequirement::Kind::Strength: return std::to_string(requirement.strength) + "-way";
    case CoverageRequirement::Kind::InvalidPairs: return "invalid-level pairs";
    case CoverageRequirement::Kind::Group: break;
    }
    std::string factors;
    for (const int32_t f : requirement.factors)
        factors += (factors.empty() ? "[" : ", [") + tables.Name(f, 0) + "]";
    return "Group { " + factors + " } @ " + std::to_string(requirement.strength);
}

Requirement Told(const CoverageRequirement& counted, const DesignTables& tables)
{
    Requirement requirement;
    requirement.kind = Requirement::Kind(int(counted.kind));
    requirement.strength = counted.strength;
    requirement.factors.assign(counted.factors.begin(), counted.factors.end());
    requirement.name = NameOf(counted, tables);
    requirement.required = counted.required;
    requirement.covered = counted.covered;
    requirement.excluded = counted.excluded;
    requirement.coveredByPrevious = counted.coveredByPrevious;
    requirement.growth = counted.growth;
    return requirement;
}

std::vector<Combination> Told(const std::vector<CoverageCombination>& combinations, const Design::Impl& design)
{
    std::vector<Combination> told;
    told.reserve(combinations.size());
    for (const CoverageCombination& combination : combinations) {
        Combination& one = told.emplace_back();
        one.requirement = combination.requirement;
        for (const int32_t entry : combination.entries)
            one.levels.push_back(design.RefOf(entry));
    }
    return told;
}

int64_t Sum(const std::vector<Requirement>& requirements, int64_t Requirement::*count)
{
    int64_t sum = 0;
    for (const Requirement& requirement : requirements)
        sum += requirement.*count;
    return sum;
}

}  // namespace

Coverage Design::CoverageOf(const std::vector<Row>& suite, const CoverageQuestion& question) const
{
    const Impl& design = *impl_;
    const CoverageReport report = ReportCoverage(*design.constraints, design.lookup.Codes(design.tables.prevRuns),
                                                 design.lookup.Codes(suite),
                                                 {question.strength, question.list, question.factorPairs});
    Coverage coverage;
    for (const CoverageRequirement& requirement : report.requirements)
        coverage.requirements.push_back(Told(requirement, design.tables));
    coverage.missing = Told(report.missing, design);
    coverage.excluded = Told(report.excluded, design);
    for (const CoverageProblemRow& row : report.problemRows)
        coverage.problems.push_back({row.previous, row.row, row.unknownFactor, row.invalidLevels,
                                     design.StatementsOf(row.broken), ProblemPhrase(design, row)});
    coverage.suiteRows = report.suiteRows;
    for (const CoverageReport::Counts& counts : report.factorPairs)
        coverage.factorPairs.push_back({counts.required, counts.covered});
    return coverage;
}

int64_t Coverage::Required() const { return Sum(requirements, &Requirement::required); }
int64_t Coverage::Covered() const { return Sum(requirements, &Requirement::covered); }
int64_t Coverage::Excluded() const { return Sum(requirements, &Requirement::excluded); }

bool Coverage::AnySuiteProblem() const
{
    return std::any_of(problems.begin(), problems.end(), [](const ProblemRow& row) { return !row.previous; });
}

bool Coverage::AnySuiteViolation() const
{
    return std::any_of(problems.begin(), problems.end(),
                       [](const ProblemRow& row) { return !row.previous && row.unknownFactor < 0; });
}

std::string Coverage::Summary(const std::string& where) const
{
    const int64_t found = Covered() + Excluded(), missing = Missing();
    const std::string counted = "A total of " + std::to_string(found) + " combinations out of " +
                                std::to_string(found + missing) +
                                " were found in the constraints, previous test, and the test case matrix.";
    if (AnySuiteViolation())
        return counted + " The constraints were violated in the QXV Matrix.";
    if (missing == 1)
        return counted + " 1 combination that a valid test case can hold is missing; " + where + " lists it.";
    if (missing > 1)
        return counted + " " + std::to_string(missing) + " combinations that a valid test case can hold are missing; " +
               where + " lists them.";
    if (AnySuiteProblem())
        return counted + " Some test cases hold a name that is no level of their factor.";
    return counted;
}

std::vector<std::string> Coverage::ByKind() const
{
    if (requirements.size() < 2)
        return {};
    std::vector<std::string> lines;
    for (const Requirement& requirement : requirements) {
        const std::string counted = std::to_string(requirement.covered) + " of " + std::to_string(requirement.required) + " ";
        switch (requirement.kind) {
        case Requirement::Kind::Strength: lines.push_back(counted + "valid " + TuplesOf(requirement.strength)); break;
        case Requirement::Kind::InvalidPairs: lines.push_back(counted + "invalid-level pairs"); break;
        case Requirement::Kind::Group:
            lines.push_back(requirement.name + ": " + counted + TuplesOf(requirement.strength));
            break;
        }
    }
    return lines;
}

}  // namespace vantrel
