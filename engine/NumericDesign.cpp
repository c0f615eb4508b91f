#include "engine/NumericDesign.h"

#include <algorithm>
#include <cmath>
#include <limits>

NumericDesign::MemoryNeed NumericDesign::EstimateMemory() const
{
    // In doubles: a design too large to search must not overflow the sums that say so.
    const double F = lNumFactors;
    double sumLevels = 0;
    double sumSquares = 0;
    int32_t widest = 0;
    for (const tNumFactor& factor : atFactors) {
        sumLevels += factor.lNumLevels;
        sumSquares += static_cast<double>(factor.lNumLevels) * factor.lNumLevels;
        widest = std::max(widest, factor.lNumLevels);
    }
    const double cells = (sumLevels * sumLevels - sumSquares) / 2;
    const double blocks = F * (F - 1) / 2;
    const double bitSet = std::ceil(sumLevels / 64) * 8 * sumLevels;
    const double maxRows = lNumPrevRuns + 1.0 + MaxIterationsFor(widest);
    // An evolution's matrix grows with its rows, by doubling (QxvEvolution): each greedy row
    // covers a pair still required, so an evolution adds at most a row per pair, within its
    // iteration limit.
    const double rows = std::min(maxRows, lNumPrevRuns + 1.0 + 2 * std::min<double>(MaxIterationsFor(widest), cells));

    MemoryNeed need;
    need.offsetsFit = 2 * cells + 32 <= std::numeric_limits<uint32_t>::max();
    // States twice per cell where kept, counts and slot sums where rows may pass the row
    // sets, cells done per block, the bit set of the uncovered pairs, the previous tests.
    const bool countsCells = CountsCellsFor(static_cast<int32_t>(std::min(maxRows, 1e9)));
    const double states = KeepsStatesFor(2 * cells) ? 2 * cells : 0;
    const double counts = countsCells ? 8 * cells : 0;
    need.tableBytes = states + counts + 4 * blocks + bitSet + 4 * lNumPrevRuns * F + 24 * F;
    // The excluded pairs are few words per level (LevelExclusions); finding what the
    // constraints exclude together takes a bit per pair of levels of two factors for a while;
    // each evolution keeps the pairs each level of a row covered, to undo them.
    const double rowLog = lNumConstraints > 0 ? F * std::ceil(sumLevels / 64) * 8 : 0;
    if (lNumConstraints > 0)
        need.tableBytes += cells / 8 + 8 * sumLevels;
    // The states, one bit set and the counts again where kept, the matrix and its columns
    // and the kept copy, per-block and per-level bookkeeping.
    // A compaction of pairs: a row count, the sum of the rows holding it, a weight, a place
    // in the uncovered list and the list itself per cell.
    need.compactionBytes = 20 * cells;
    need.workspaceBytes = states + bitSet + counts + 12 * rows * F + 20 * rows + 4 * blocks + 16 * sumLevels + rowLog;
    return need;
}

void NumericDesign::BuildTables(double mostStatesKept)
{
    PrepareCodes();
    BuildPairs(mostStatesKept);
}
