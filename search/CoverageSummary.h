#pragma once
// The one-line report of a whole-design pair count, in the three wordings the program uses,
// with the help topic that explains each.

#include <QString>
#include <QStringList>

#include <cstdint>

struct CoverageSummary {
    QString text;
    int helpContext = 0;
    bool complete = false;  // every pair found and no constraint violated
};

// found: pairs found in the constraints, the previous tests or the matrix; missing: pairs found
// nowhere; violation: the matrix holds a pair that a constraint forbids.
CoverageSummary SummarizeCoverage(std::int32_t found, std::int32_t missing, bool violation);

struct TupleCoverage;
struct DesignText;

// Every combination a design with invalid levels or groups asks for, of valid levels, of
// invalid-level pairs and of each group, counted as one (found and missing only).
TupleCoverage TotalOf(const TupleCoverage& coverage);
// A line for each kind apart, when there is more than one: "12 of 12 valid pairs",
// "8 of 8 invalid-level pairs", "Group { [A], [B], [C] } @ 3: 27 of 27 triples".
QStringList CoverageByKind(const TupleCoverage& coverage, const DesignText& design, std::int32_t strength);
