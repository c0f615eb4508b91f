#include "engine/MatrixCompaction.h"

#include <algorithm>

MatrixCompaction::MatrixCompaction(const NumericDesign& design, int32_t maxRows)
    : CompactionSearch(design, maxRows, design.numCells, kTabuMoves)
{
    // A row holds one pair of each block: no fewer rows than a block has pairs still
    // required after the previous tests. One row at least, for the moves to work on.
    ResetCounts();
    fewestRows_ = 1;
    for (int32_t f = 0; f < F_ - 1; ++f)
        for (int32_t g = f + 1; g < F_; ++g) {
            const auto first = counts_.begin() + static_cast<std::ptrdiff_t>(design.CellOffset(f, g));
            fewestRows_ = std::max(fewestRows_, static_cast<int32_t>(std::count(first, first + design.NumCombos(f, g), 0)));
        }
}

void MatrixCompaction::ResetCounts()
{
    d_.CountBase(counts_.data());
}

void MatrixCompaction::AddCoverage(int32_t r, int32_t sign)
{
    const int32_t* row = RowAt(r);
    for (int32_t f = 0; f < F_ - 1; ++f)
        for (int32_t g = f + 1; g < F_; ++g) {
            const size_t cell = CellOf(f, row[f], g, row[g]);
            if (sign > 0)
                CountIn(cell);
            else
                CountOut(cell);
        }
}

int32_t MatrixCompaction::UniqueOf(int32_t r) const
{
    const int32_t* row = RowAt(r);
    int32_t alone = 0;
    for (int32_t f = 0; f < F_ - 1; ++f)
        for (int32_t g = f + 1; g < F_; ++g)
            alone += counts_[CellOf(f, row[f], g, row[g])] == 1;
    return alone;
}

void MatrixCompaction::SetCell(int32_t r, int32_t f, int32_t level)
{
    // Excluded cells are never counted, so a row may pass through one between two changes.
    int32_t* row = RowAt(r);
    const int32_t old = row[f];
    for (int32_t g = 0; g < F_; ++g) {
        if (g == f)
            continue;
        CountOut(CellOf(f, old, g, row[g]));
        CountIn(CellOf(f, level, g, row[g]));
    }
    row[f] = level;
    Changed(r, f);
}

int32_t MatrixCompaction::Delta(int32_t r, int32_t f, int32_t level, int32_t& count) const
{
    const int32_t* row = RowAt(r);
    const int32_t old = row[f];
    int32_t delta = 0;
    count = 0;
    for (int32_t g = 0; g < F_; ++g) {
        if (g == f)
            continue;
        const size_t now = CellOf(f, level, g, row[g]);
        if (counts_[now] < 0)
            return kInvalid;
        const size_t before = CellOf(f, old, g, row[g]);
        count += (counts_[before] == 1) - (counts_[now] == 0);
        delta += Lost(before) - Gained(now);
    }
    if (d_.anyWideRule && d_.constraints->BreaksWideRule(row, f, level))
        return kInvalid;
    return delta;
}

void MatrixCompaction::TakeItem(size_t cell)
{
    d_.PairOfCell(cell, f_, a_, g_, b_);
}

bool MatrixCompaction::OneCellAway(const int32_t* row, int32_t& f, int32_t& level) const
{
    if (row[f_] == a_) {
        f = g_;
        level = b_;
        return true;
    }
    if (row[g_] == b_) {
        f = f_;
        level = a_;
        return true;
    }
    return false;
}

void MatrixCompaction::ForceCover(RandomStream& random)
{
    const int32_t f = f_, a = a_, g = g_, b = b_;
    const int32_t r = random.RandomIndex(P_, numRows_ - 1);
    const int32_t* row = RowAt(r);
    bool valid = true;
    for (int32_t h = 0; h < F_ && valid; ++h)
        if (h != f && h != g)
            valid = counts_[CellOf(f, a, h, row[h])] >= 0 && counts_[CellOf(g, b, h, row[h])] >= 0;
    const int32_t factors[2] = {f, g}, levels[2] = {a, b};
    if (valid && !BreaksWideRuleWith(r, factors, levels, 2)) {
        SetCell(r, f, a);
        SetCell(r, g, b);
    } else if (solver_) {
        const int32_t entries[2] = {d_.levelOffset[f] + a, d_.levelOffset[g] + b};
        RemakeRow(r, entries, 2, random);
    }
}
