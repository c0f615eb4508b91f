#pragma once
// The t-tuples of a design for strength t (3 to 6): one block per set of t factors, one bit per
// combination of their levels. Blocks stand in colex order of their factor sets (the block of
// factors a0 < a1 < ... is C(a0, 1) + C(a1, 2) + ...), so enumerating the t-sets of a row in
// colex order visits the blocks one after the other. Within a block the first factor's level
// changes fastest.
//
// A tuple is required unless no valid row can hold it because it holds an excluded pair (one a
// constraint names or one the constraints imply, a pair of a dead level among them). The base
// is the required tuples the previous tests leave uncovered: where every evolution starts.
// Built once per generation and shared, read-only, by the evolutions of all threads.
//
// A table may cover some factors only (a group's): its factors are numbered 0.. in the table,
// `factors` maps them to the design's. Its tuples are of valid levels, covered by rows without
// an invalid level; or they are the invalid-level pairs, an invalid level with a valid one,
// covered by the rows that hold that invalid level.

#include "engine/DesignCodes.h"

#include <cstdint>
#include <type_traits>
#include <vector>

struct TupleTable {
    static constexpr int32_t kMinStrength = 3;
    static constexpr int32_t kMaxStrength = 6;

    // What a search of strength t takes before anything is laid out, from the level counts
    // alone: the shared table's bytes and one evolution's workspace. Tuples beyond what the
    // 32-bit block offsets address make them infinite.
    struct MemoryNeed {
        double tableBytes = 0;
        double workspaceBytes = 0;
        double compactionBytes = 0;  // the compaction's workspace, when it runs
    };
    static MemoryNeed EstimateMemory(const std::vector<int32_t>& levels, int32_t t);

    enum class Kind { Valid, InvalidPairs };

    // Lays out the table for the design (whose tables are built) and computes the base: every
    // factor, strength 3 to 6.
    void Build(const DesignCodes& design, int32_t strength);
    // The same over the given factors (ascending), strength 2 to 6, tuples of the kind given.
    void Build(const DesignCodes& design, int32_t strength, const std::vector<int32_t>& universe, Kind tuples);
    // Whether a row of the design (level codes by the design's factors) covers this table's
    // tuples: Valid tables, rows without an invalid level; invalid-level pairs, rows with one.
    bool Covers(const DesignCodes& design, const int32_t* row) const;

    uint64_t Binomial(int32_t n, int32_t k) const { return binomial[static_cast<size_t>(n) * (t + 1) + k]; }
    uint64_t NumBlocks() const { return blockOffset.size() - 1; }
    // The first bit of a block: with every factor of one level count, a product rather than a
    // look into blockOffset, which a walk over the blocks of one factor reads a stride apart.
    uint64_t Offset(uint64_t block) const { return uniformBlockSize != 0 ? block * uniformBlockSize : blockOffset[block]; }
    // The block of the factors a[0] < ... < a[t - 1].
    uint64_t Rank(const int32_t* a) const
    {
        uint64_t rank = 0;
        for (int32_t i = 0; i < t; ++i)
            rank += Binomial(a[i], i + 1);
        return rank;
    }
    // The factors of a block, ascending.
    void Unrank(uint64_t rank, int32_t* a) const;
    // The bit of the tuple of factors a at levels l (0-based), and the reverse within a block.
    uint64_t Bit(const int32_t* a, const int32_t* l) const
    {
        uint64_t code = 0;
        for (int32_t i = t - 1; i >= 0; --i)
            code = code * static_cast<uint64_t>(levels[a[i]]) + static_cast<uint64_t>(l[i]);
        return Offset(Rank(a)) + code;
    }
    void LevelsOf(const int32_t* a, uint64_t code, int32_t* l) const
    {
        for (int32_t i = 0; i < t; ++i) {
            l[i] = static_cast<int32_t>(code % static_cast<uint64_t>(levels[a[i]]));
            code /= static_cast<uint64_t>(levels[a[i]]);
        }
    }

    // Calls visit(block, bit) for the tuple of every t-set the levels `row` (by the table's
    // factors) hold, block after block; a visit that returns a bool ends the walk by returning
    // false. The code is built from the largest factor down (Horner's rule), one step per
    // factor picked, rather than from scratch for every set.
    template <typename Visit>
    void ForEachTupleOfRow(const int32_t* row, Visit visit) const
    {
        if (t > F)
            return;
        uint64_t block = 0;
        WalkSets(t - 1, F, 0, row, block, visit);
    }

    int32_t t = 0;
    int32_t F = 0;                     // factors of the table
    Kind kind = Kind::Valid;
    std::vector<int32_t> factors;      // the design's factor of each of the table's
    std::vector<int32_t> levels;       // L(f)
    std::vector<uint64_t> binomial;    // C(n, k) for n <= F, k <= t
    // First bit of each block, the number of tuples at the end (32 bits: the workspace of four
    // billion tuples would not fit in memory anyway).
    std::vector<uint32_t> blockOffset;
    uint64_t uniformBlockSize = 0;  // the tuples of every block when all level counts are one, else 0
    uint64_t numTuples = 0;
    std::vector<uint64_t> baseUncovered;        // one bit per tuple
    std::vector<uint32_t> baseBlockUncovered;   // per block
    uint64_t baseRemaining = 0;

private:
    // Returns false when a visit ended the walk.
    template <typename Visit>
    bool WalkSets(int32_t depth, int32_t below, uint64_t code, const int32_t* row, uint64_t& block, Visit& visit) const
    {
        for (int32_t x = depth; x < below; ++x) {
            const uint64_t c = static_cast<uint64_t>(row[x]) + static_cast<uint64_t>(levels[static_cast<size_t>(x)]) * code;
            if (depth > 0) {
                if (!WalkSets(depth - 1, x, c, row, block, visit))
                    return false;
            } else if constexpr (std::is_same_v<decltype(visit(block, c)), bool>) {
                if (!visit(block, Offset(block) + c))
                    return false;
                ++block;
            } else {
                visit(block, Offset(block) + c);
                ++block;
            }
        }
        return true;
    }
    void LayOutBlocks();
    void MarkRequired(const DesignCodes& design);
    // Whether the tuple `code` of the factors `set` is one a row of this table's kind may hold
    // (l: scratch for its levels).
    bool TupleRequired(const DesignCodes& design, const int32_t* set, uint64_t code, int32_t* l) const;
    void CountPreviousTests(const DesignCodes& design);
};

// The number of t-sets of n, as a double: gates weigh it before any of them is laid out, and it
// may pass every integer type.
inline double SetsOf(int32_t n, int32_t t)
{
    double sets = 1;
    for (int32_t i = 0; i < t; ++i)
        sets = sets * (n - i) / (i + 1);
    return sets;
}

// Calls visit(a) for every t-set a[0] < ... < a[t - 1] of 0..n-1 in colex order, the order of
// their blocks. a is a scratch array of t entries.
template <typename Visit>
void ForEachColexSet(int32_t n, int32_t t, int32_t* a, Visit visit)
{
    if (t > n)
        return;
    for (int32_t i = 0; i < t; ++i)
        a[i] = i;
    for (;;) {
        visit(static_cast<const int32_t*>(a));
        // The next set: raise the lowest entry that can rise, reset the ones below it.
        int32_t i = 0;
        while (i < t && a[i] + 1 == (i + 1 < t ? a[i + 1] : n))
            ++i;
        if (i == t)
            return;
        ++a[i];
        for (int32_t j = 0; j < i; ++j)
            a[j] = j;
    }
}
