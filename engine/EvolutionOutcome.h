#pragma once
// What one evolution of the search reports besides its matrix, whatever the strength.

#include <cstdint>

struct EvolutionOutcome {
    bool ok = true;                 // false: no random first row satisfied the constraints
    bool convergedTouched = false;  // false when the previous tests already settle everything
    bool converged = false;
    bool noTestCases = false;       // row elimination left an empty matrix
    bool solverFirstRow = false;    // every random first row was rejected; the solver gave one
    int32_t repairedRows = 0;       // rows repaired after a cornered factor
    int64_t unreachableTuples = 0;  // strength 3 and more: required tuples no valid row holds
    bool hurried = false;           // a time budget cut the candidates of its later rows to one
};
