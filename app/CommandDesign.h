#pragma once
// What every generation and search command does before it runs: the check that the Factors
// and Levels sheet holds at least two factors at two levels, and the read of the three design
// tables from the sheets through the model.

#include "model/DesignText.h"

#include <QString>

namespace CommandDesign {
// True when the sheet has at least two factor columns and two level rows; otherwise shows the
// refusal (OK only) and returns False.
bool HasTwoFactorsAtTwoLevels(const QString& refusal);

// Reads the factor table, then the constraint table, then the previous-test table, each
// validated against the factors when asked, into the design (it gets no matrix). Stops at the
// first read that fails (it has shown its own message) and returns False.
bool Read(bool validate, DesignText& design);
}  // namespace CommandDesign
