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
            const size_t first = design.CellOffset(f, g);
            int32_t required = 0;
            for (size_t cell = first; cell < first + static_cast<size_t>(design.NumCombos(f, g)); ++cell)
                required += Count(cell) == 0;
            fewestRows_ = std::max(fewestRows_, required);
        }
}

void MatrixCompaction::ResetCounts()
{
    // A pair a previous test holds is never a generated row's alone.
    for (int32_t f = 0; f < F_ - 1; ++f)
        for (int32_t g = f + 1; g < F_; ++g)
            for (int32_t lf = 0; lf < d_.levels[f]; ++lf)
                for (int32_t lg = 0; lg < d_.levels[g]; ++lg)
                    SetCount(CellOf(f, lf, g, lg), d_.ExcludedPair(f, lf, g, lg) ? kExcluded : 0);
    for (int32_t p = 0; p < P_; ++p) {
        const int32_t* test = &d_.alPrevRuns[static_cast<size_t>(p) * F_];
        for (int32_t f = 0; f < F_ - 1; ++f)
            for (int32_t g = f + 1; g < F_; ++g)
                if (!d_.ExcludedPair(f, test[f] - 1, g, test[g] - 1))
                    SetCount(CellOf(f, test[f] - 1, g, test[g] - 1), kSettled);
    }
}

void MatrixCompaction::AddCoverage(int32_t r, int32_t sign)
{
    const int32_t* row = RowAt(r);
    for (int32_t f = 0; f < F_ - 1; ++f)
        for (int32_t g = f + 1; g < F_; ++g) {
            const size_t cell = CellOf(f, row[f], g, row[g]);
            const int32_t pair[2] = {f, g};
            if (sign > 0)
                CountIn(cell, r, pair, 2);
            else
                CountOut(cell, r, pair, 2);
        }
}

void MatrixCompaction::SetCell(int32_t r, int32_t f, int32_t level)
{
    // Excluded cells are never counted, so a row may pass through one between two changes.
    int32_t* row = RowAt(r);
    const int32_t old = row[f];
    for (int32_t g = 0; g < F_; ++g) {
        if (g == f)
            continue;
        const int32_t pair[2] = {f, g};
        CountOut(CellOf(f, old, g, row[g]), r, pair, 2);
        CountIn(CellOf(f, level, g, row[g]), r, pair, 2);
    }
    row[f] = level;
    Changed(r, f);
}

bool MatrixCompaction::Allowed(int32_t r, int32_t f, int32_t level) const
{
    if (!d_.anyConstraint)
        return true;
    // Excluded pairs are those the constraints name or imply and those the loaded matrix
    // showed no valid row holds.
    const int32_t* row = RowAt(r);
    for (int32_t g = 0; g < F_; ++g)
        if (g != f && Count(CellOf(f, level, g, row[g])) == kExcluded)
            return false;
    return !(d_.anyWideRule && d_.constraints->BreaksWideRule(row, f, level));
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
        const size_t before = CellOf(f, old, g, row[g]);
        count += (Count(before) == 1) - (Count(now) == 0);
        delta += Lost(before) - Gained(now);
    }
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
            valid = Count(CellOf(f, a, h, row[h])) != kExcluded && Count(CellOf(g, b, h, row[h])) != kExcluded;
    const int32_t factors[2] = {f, g}, levels[2] = {a, b};
    if (valid && !BreaksWideRuleWith(r, factors, levels, 2)) {
        SetCell(r, f, a);
        SetCell(r, g, b);
    } else if (solver_) {
        const int32_t entries[2] = {d_.levelOffset[f] + a, d_.levelOffset[g] + b};
        RemakeRow(r, entries, 2, random);
    }
}
