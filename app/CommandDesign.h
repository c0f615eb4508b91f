#pragma once
// What every generation and search command does before it runs: the check that the Factors
// and Levels sheet holds at least two factors at two levels, and the read of the three design
// tables from the sheets through the model.

#include "model/TextTable.h"

#include <QString>

#include <cstdint>

// The design tables after a read, validated or not.
struct ReadTables {
    TextTable factors;
    LongArray levelCounts;
    TextTable constraints;
    std::int32_t numConstraints = 0;
    TextTable prevRuns;
    std::int32_t numPrevRuns = 0;
    std::int32_t numFactors() const { return factors.isDimensioned() ? factors.colUpper() : 0; }
};

namespace CommandDesign {
// True when the sheet has at least two factor columns and two level rows; otherwise shows the
// refusal (OK only) and returns False.
bool HasTwoFactorsAtTwoLevels(const QString& refusal);

// Reads the factor table, then the constraint table, then the previous-test table, each
// validated against the factors when asked. Stops at the first read that fails (it has shown
// its own message) and returns False.
bool Read(bool validate, ReadTables& tables);
}  // namespace CommandDesign
