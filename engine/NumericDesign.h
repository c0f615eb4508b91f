#pragma once
// The pair search's view of a design: its level codes with what the constraints exclude, and
// the interaction table of its pairs beside them. Tables of other strengths (TupleTable) sit
// beside it and read the codes alone.

#include "engine/DesignCodes.h"
#include "engine/PairTable.h"

struct NumericDesign : PairTable {
    // What a search of this design takes, from the level counts and the number of previous
    // tests alone, before anything is laid out: the bytes of the shared tables, the bytes of
    // the workspace of one evolution (one per thread), and whether the cell offsets fit the
    // 32 bits they are kept in.
    struct MemoryNeed {
        double tableBytes = 0;
        double workspaceBytes = 0;
        double compactionBytes = 0;  // the pair compaction's workspace, when it runs
        bool offsetsFit = true;
    };
    MemoryNeed EstimateMemory() const;

    // Prepares the codes and lays out the pair table.
    void BuildTables(double mostStatesKept = kMostStatesKept);
};
