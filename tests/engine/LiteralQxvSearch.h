#pragma once
// The covering-matrix search as a plain procedure over full tables: after every row it
// re-analyses the whole matrix from the base table. Slow, obvious, and the reference the
// engine's incremental search must match decision for decision.

#include "engine/DesignTables.h"
#include "engine/RandomStream.h"

#include <cstdint>
#include <vector>

class LiteralQxvSearch {
public:
    explicit LiteralQxvSearch(const DesignTables& design);  // the design must be valid

    using Matrix = std::vector<std::vector<int32_t>>;  // rows of 1-based level codes, [r][f] with f 1-based

    struct Evolution {
        bool ok = true;
        bool convergedTouched = false;
        bool converged = false;
        Matrix matrix;  // previous tests first
    };
    Evolution GenerateQXVMatrix(RandomStream& random);

    struct Result {
        bool ok = true;
        bool converge = false;
        int32_t bestRows = 0;  // previous tests included
        Matrix best;
    };
    // Evolutions 1..numEvolutions, each on the stream (seed, its number).
    Result Run(uint64_t seed, int32_t numEvolutions);

    const std::vector<int32_t>& ConstraintCodes() const { return constraints_; }  // C x 4, flat
    const Matrix& PrevRunCodes() const { return prevRuns_; }

private:
    struct Block {
        std::vector<int16_t> aiCount;  // (l1 - 1) * L(f2) + (l2 - 1)
        int32_t lNumCombos = 0;
        int32_t lNumDone = 0;
        double dCompleteness = 0.0;
    };
    using Table = std::vector<std::vector<Block>>;  // [f1][f2], 1-based, used for f1 < f2

    int16_t& CellOf(Table& table, int32_t f1, int32_t l1, int32_t f2, int32_t l2) const;
    Table AllocateInteractions() const;
    void Add2WayConstraintsToInters(Table& table) const;
    bool AnalyzeMatrixFor2Ways(const Matrix& matrix, Table& table, double& completeness) const;
    std::vector<double> Evalute2WayCompleteness(const Table& table) const;
    static int32_t RandomIndex(RandomStream& random, int32_t a, int32_t b);
    template <typename Key>
    static void QuickSort(std::vector<int32_t>& index, std::vector<Key>& keys, int32_t lMin, int32_t lMax, RandomStream& random);
    bool AddRandomRowToMatrix(Table& working, double& completeness, Matrix& matrix, RandomStream& random) const;
    std::vector<int32_t> NextRow(Table& working, RandomStream& random) const;
    void RowElimination(const Table& base, Matrix& matrix, RandomStream& random) const;

    int32_t F_ = 0;
    int32_t P_ = 0;
    std::vector<int32_t> levels_;  // 1-based
    std::vector<int32_t> constraints_;
    Matrix prevRuns_;
};
