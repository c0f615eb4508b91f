#include "engine/MatrixCompaction.h"

#include <algorithm>
#include <chrono>
#include <stdexcept>

namespace {

// Moves during which a changed cell stays put unless changing it completes the matrix.
constexpr int64_t kTabuMoves = 2;

// The smallest of the values offered one by one, each of equal ones taken with equal chance
// (the k-th equal one replaces the one kept with chance 1/k).
struct RandomMinimum {
    explicit RandomMinimum(int32_t start) : value(start) {}
    // Whether the value offered is now the one kept.
    bool Offer(int32_t offered, RandomStream& random)
    {
        if (offered > value)
            return false;
        if (offered < value) {
            value = offered;
            ties = 0;
            return true;
        }
        return random.RandomIndex(0, ++ties) == 0;
    }
    int32_t value;
    int32_t ties = 0;
};
// Moves between two looks at the clock.
constexpr int64_t kClockMoves = 1024;
constexpr double kProgressSeconds = 0.1;

}  // namespace

MatrixCompaction::MatrixCompaction(const NumericDesign& design, int32_t maxRows)
    : d_(design), F_(design.lNumFactors), P_(design.lNumPrevRuns)
{
    const auto cells = static_cast<size_t>(maxRows) * static_cast<size_t>(F_);
    rows_.resize(cells);
    changedAt_.resize(cells);
    best_.resize(cells);
    counts_.resize(design.numCells);
    uncovered_.resize(design.numCells);
    uncoveredAt_.resize(design.numCells);
    cellEntry_.resize(design.numCells * 2);
    for (const tInterBlock& block : design.atBlocks)
        for (int32_t l1 = 0; l1 < design.levels[block.f1]; ++l1)
            for (int32_t l2 = 0; l2 < design.levels[block.f2]; ++l2) {
                const size_t cell = block.cellOffset + static_cast<size_t>(l1) * design.levels[block.f2] + l2;
                cellEntry_[2 * cell] = design.levelOffset[block.f1] + l1;
                cellEntry_[2 * cell + 1] = design.levelOffset[block.f2] + l2;
            }
    unique_.resize(static_cast<size_t>(maxRows));
    // A row holds one pair of each block: no fewer rows than a block has pairs still
    // required after the previous tests. One row at least, for the moves to work on.
    fewestRows_ = 1;
    for (const tInterBlock& block : design.atBlocks)
        fewestRows_ = std::max<int32_t>(fewestRows_, static_cast<int32_t>(std::count(
            design.baseCounts.begin() + block.cellOffset, design.baseCounts.begin() + block.cellOffset + block.lNumCombos, 0)));
    if (design.anyExcluded) {
        solver_ = std::make_unique<ConstraintSolver>(design.levelOffset, design.excludedPairs);
        assumptions_.resize(static_cast<size_t>(F_));
        order_.resize(static_cast<size_t>(F_));
    }
}

MatrixCompaction::~MatrixCompaction() = default;

MatrixCompaction::Outcome MatrixCompaction::Compact(std::vector<int32_t>& codes, int32_t& rows, int64_t moves,
                                                    double seconds, RandomStream& random, const Progress& progress)
{
    if (static_cast<size_t>(rows) * F_ > rows_.size() || rows < P_)
        throw std::invalid_argument("MatrixCompaction: more rows than the workspace holds");
    Outcome outcome;
    outcome.rowsBefore = rows;
    Load(codes, rows);
    SaveBest();

    using Clock = std::chrono::steady_clock;
    const Clock::time_point start = Clock::now();
    double lastReport = -kProgressSeconds;
    move_ = 0;
    while (move_ < moves) {
        if (numUncovered_ == 0) {
            RemoveIdleRows();
            SaveBest();
            if (numRows_ - P_ <= fewestRows_)
                break;
            RemoveFewestUniqueRow(random);
            continue;
        }
        Move(random);
        if (++move_ % kClockMoves != 0 && move_ != 1)
            continue;
        const double elapsed = std::chrono::duration<double>(Clock::now() - start).count();
        if (seconds > 0 && elapsed >= seconds) {
            outcome.timeUp = true;
            break;
        }
        if (progress && elapsed - lastReport >= kProgressSeconds) {
            lastReport = elapsed;
            double fraction = static_cast<double>(move_) / static_cast<double>(moves);
            if (seconds > 0)
                fraction = std::max(fraction, elapsed / seconds);
            if (progress(std::min(fraction, 1.0), bestRows_)) {
                outcome.stopped = true;
                break;
            }
        }
    }
    if (numUncovered_ == 0) {
        RemoveIdleRows();
        SaveBest();
    }
    outcome.moves = move_;
    outcome.seconds = std::chrono::duration<double>(Clock::now() - start).count();
    outcome.rowsAfter = bestRows_;
    rows = bestRows_;
    codes.assign(best_.begin(), best_.begin() + static_cast<std::ptrdiff_t>(bestRows_) * F_);
    return outcome;
}

void MatrixCompaction::Load(const std::vector<int32_t>& codes, int32_t rows)
{
    numRows_ = rows;
    std::copy(codes.begin(), codes.begin() + static_cast<std::ptrdiff_t>(rows) * F_, rows_.begin());
    std::fill(changedAt_.begin(), changedAt_.end(), int64_t{-kTabuMoves - 1});
    // The previous tests' counts come with the design.
    std::copy(d_.baseCounts.begin(), d_.baseCounts.end(), counts_.begin());
    std::fill(uncoveredAt_.begin(), uncoveredAt_.end(), -1);
    numUncovered_ = 0;
    for (size_t cell = 0; cell < d_.numCells; ++cell)
        if (counts_[cell] == 0)
            Uncover(cell);
    for (int32_t r = P_; r < rows; ++r)
        AddCoverage(r, 1);
}

void MatrixCompaction::Uncover(size_t cell)
{
    uncoveredAt_[cell] = numUncovered_;
    uncovered_[static_cast<size_t>(numUncovered_++)] = static_cast<int32_t>(cell);
}

void MatrixCompaction::Cover(size_t cell)
{
    // The last uncovered cell takes its place.
    const int32_t at = uncoveredAt_[cell];
    const int32_t last = uncovered_[static_cast<size_t>(--numUncovered_)];
    uncovered_[static_cast<size_t>(at)] = last;
    uncoveredAt_[static_cast<size_t>(last)] = at;
    uncoveredAt_[cell] = -1;
}

void MatrixCompaction::AddCoverage(int32_t r, int32_t sign)
{
    const int32_t* row = RowAt(r);
    for (int32_t f = 0; f < F_ - 1; ++f)
        for (int32_t g = f + 1; g < F_; ++g) {
            const size_t cell = CellOf(f, row[f], g, row[g]);
            int32_t& count = counts_[cell];
            if (count < 0)
                continue;
            if (sign > 0 && count++ == 0)
                Cover(cell);
            else if (sign < 0 && --count == 0)
                Uncover(cell);
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
        const size_t was = CellOf(f, old, g, row[g]);
        if (counts_[was] >= 0 && --counts_[was] == 0)
            Uncover(was);
        const size_t now = CellOf(f, level, g, row[g]);
        if (counts_[now] >= 0 && counts_[now]++ == 0)
            Cover(now);
    }
    row[f] = level;
    changedAt_[static_cast<size_t>(r) * F_ + f] = move_;
}

int32_t MatrixCompaction::Delta(int32_t r, int32_t f, int32_t level) const
{
    const int32_t* row = RowAt(r);
    const int32_t old = row[f];
    int32_t delta = 0;
    for (int32_t g = 0; g < F_; ++g) {
        if (g == f)
            continue;
        const int32_t now = counts_[CellOf(f, level, g, row[g])];
        if (now < 0)
            return kInvalid;
        delta += (counts_[CellOf(f, old, g, row[g])] == 1) - (now == 0);
    }
    return delta;
}

void MatrixCompaction::Move(RandomStream& random)
{
    const size_t cell = static_cast<size_t>(uncovered_[static_cast<size_t>(random.RandomIndex(0, numUncovered_ - 1))]);
    const int32_t ea = cellEntry_[2 * cell];
    const int32_t eb = cellEntry_[2 * cell + 1];
    const int32_t f = d_.levelFactor[static_cast<size_t>(ea)];
    const int32_t g = d_.levelFactor[static_cast<size_t>(eb)];
    const int32_t a = ea - d_.levelOffset[f];
    const int32_t b = eb - d_.levelOffset[g];

    // The rows one cell away from holding the pair.
    RandomMinimum best(kInvalid);
    int32_t chosenRow = -1;
    int32_t chosenFactor = 0;
    int32_t chosenLevel = 0;
    for (int32_t r = P_; r < numRows_; ++r) {
        const int32_t* row = RowAt(r);
        int32_t cf = 0;
        int32_t level = 0;
        if (row[f] == a) {
            cf = g;
            level = b;
        } else if (row[g] == b) {
            cf = f;
            level = a;
        } else {
            continue;
        }
        const int32_t delta = Delta(r, cf, level);
        if (delta == kInvalid || delta > best.value)
            continue;
        const bool tabu = move_ - changedAt_[static_cast<size_t>(r) * F_ + cf] <= kTabuMoves;
        if (tabu && numUncovered_ + delta > 0)
            continue;
        if (!best.Offer(delta, random))
            continue;
        chosenRow = r;
        chosenFactor = cf;
        chosenLevel = level;
    }
    if (chosenRow < 0)
        ForceCover(f, a, g, b, random);
    else
        SetCell(chosenRow, chosenFactor, chosenLevel);
}

void MatrixCompaction::ForceCover(int32_t f, int32_t a, int32_t g, int32_t b, RandomStream& random)
{
    const int32_t r = random.RandomIndex(P_, numRows_ - 1);
    const int32_t* row = RowAt(r);
    bool valid = true;
    for (int32_t h = 0; h < F_ && valid; ++h)
        if (h != f && h != g)
            valid = counts_[CellOf(f, a, h, row[h])] >= 0 && counts_[CellOf(g, b, h, row[h])] >= 0;
    if (valid) {
        SetCell(r, f, a);
        SetCell(r, g, b);
    } else if (solver_) {
        RemakeRow(r, d_.levelOffset[f] + a, d_.levelOffset[g] + b, random);
    }
}

void MatrixCompaction::RemakeRow(int32_t r, int32_t ea, int32_t eb, RandomStream& random)
{
    // The pair first, then the other factors in a random order, each keeping its level where
    // a valid row still holds it with those taken before, else taking the first that does
    // from a random one on. One always does: the levels taken so far stand in a valid row.
    const int32_t fa = d_.levelFactor[static_cast<size_t>(ea)];
    const int32_t fb = d_.levelFactor[static_cast<size_t>(eb)];
    int32_t* row = RowAt(r);
    for (int32_t h = 0; h < F_; ++h)
        order_[static_cast<size_t>(h)] = h;
    for (int32_t k = F_ - 1; k > 0; --k)
        std::swap(order_[static_cast<size_t>(k)], order_[static_cast<size_t>(random.RandomIndex(0, k))]);
    assumptions_[0] = ea;
    assumptions_[1] = eb;
    int32_t count = 2;
    AddCoverage(r, -1);
    row[fa] = ea - d_.levelOffset[fa];
    row[fb] = eb - d_.levelOffset[fb];
    for (const int32_t h : order_) {
        if (h == fa || h == fb)
            continue;
        const int32_t levels = d_.levels[h];
        const int32_t start = random.RandomIndex(0, levels - 1);
        bool found = false;
        for (int32_t k = -1; k < levels && !found; ++k) {
            const int32_t level = k < 0 ? row[h] : (start + k) % levels;
            assumptions_[static_cast<size_t>(count)] = d_.levelOffset[h] + level;
            found = solver_->Feasible(assumptions_.data(), count + 1);
            if (found)
                row[h] = level;
        }
        if (!found)
            throw std::logic_error("MatrixCompaction: no level of a factor completes a valid row");
        ++count;
    }
    AddCoverage(r, 1);
    std::fill(changedAt_.begin() + static_cast<std::ptrdiff_t>(r) * F_, changedAt_.begin() + static_cast<std::ptrdiff_t>(r + 1) * F_,
              move_);
}

void MatrixCompaction::CountUnique()
{
    for (int32_t r = P_; r < numRows_; ++r) {
        const int32_t* row = RowAt(r);
        int32_t alone = 0;
        for (int32_t f = 0; f < F_ - 1; ++f)
            for (int32_t g = f + 1; g < F_; ++g)
                alone += counts_[CellOf(f, row[f], g, row[g])] == 1;
        unique_[static_cast<size_t>(r)] = alone;
    }
}

void MatrixCompaction::RemoveRow(int32_t r)
{
    // Later rows move up by one, so the matrix keeps its order.
    AddCoverage(r, -1);
    const auto from = static_cast<std::ptrdiff_t>(r + 1) * F_;
    const auto end = static_cast<std::ptrdiff_t>(numRows_) * F_;
    std::copy(rows_.begin() + from, rows_.begin() + end, rows_.begin() + from - F_);
    std::copy(changedAt_.begin() + from, changedAt_.begin() + end, changedAt_.begin() + from - F_);
    --numRows_;
}

void MatrixCompaction::RemoveIdleRows()
{
    // Removing a row that covers nothing alone may leave another one a pair of its own, so
    // the counts are taken again after each.
    for (;;) {
        CountUnique();
        int32_t idle = -1;
        for (int32_t r = numRows_ - 1; r >= P_ && idle < 0; --r)
            if (unique_[static_cast<size_t>(r)] == 0)
                idle = r;
        if (idle < 0)
            return;
        RemoveRow(idle);
    }
}

void MatrixCompaction::RemoveFewestUniqueRow(RandomStream& random)
{
    CountUnique();
    RandomMinimum fewest(kInvalid);
    int32_t chosen = P_;
    for (int32_t r = P_; r < numRows_; ++r)
        if (fewest.Offer(unique_[static_cast<size_t>(r)], random))
            chosen = r;
    RemoveRow(chosen);
}

void MatrixCompaction::SaveBest()
{
    std::copy(rows_.begin(), rows_.begin() + static_cast<std::ptrdiff_t>(numRows_) * F_, best_.begin());
    bestRows_ = numRows_;
}
