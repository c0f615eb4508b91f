#pragma once
// The one-line report of a whole-design pair count, in the three wordings the program uses,
// with the help topic that explains each.

#include <QString>

#include <cstdint>

struct CoverageSummary {
    QString text;
    int helpContext = 0;
    bool complete = false;  // every pair found and no constraint violated
};

// found: pairs found in the constraints, the previous tests or the matrix; missing: pairs found
// nowhere; violation: the matrix holds a pair that a constraint forbids.
CoverageSummary SummarizeCoverage(std::int32_t found, std::int32_t missing, bool violation);
