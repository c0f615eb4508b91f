#include "engine/CompactionSearch.h"

#include <algorithm>
#include <chrono>
#include <stdexcept>

namespace {

constexpr double kProgressSeconds = 0.1;

// Moves until the next look at the clock: about every 2 ms of moves (so that the time limit
// is kept as closely on a design whose moves are slow), every 1,024 at most.
int64_t ClockInterval(double secondsPerMove)
{
    constexpr int64_t kMostMoves = 1024;
    if (!(secondsPerMove > 0))
        return kMostMoves;
    return std::clamp<int64_t>(static_cast<int64_t>(0.002 / secondsPerMove), 1, kMostMoves);
}

}  // namespace

CompactionSearch::CompactionSearch(const NumericDesign& design, int32_t maxRows, size_t items, int64_t tabuMoves)
    : d_(design), F_(design.lNumFactors), P_(design.lNumPrevRuns), tabuMoves_(tabuMoves)
{
    const auto cells = static_cast<size_t>(maxRows) * static_cast<size_t>(F_);
    rows_.resize(cells);
    changedAt_.resize(cells);
    best_.resize(cells);
    counts_.resize(items);
    weights_.assign(items, 1);
    uncovered_.resize(items);
    uncoveredAt_.resize(items);
    unique_.resize(static_cast<size_t>(maxRows));
    if (design.anyConstraint) {
        solver_ = std::make_unique<ConstraintSolver>(*design.constraints);
        assumptions_.resize(static_cast<size_t>(F_));
        order_.resize(static_cast<size_t>(F_));
    }
}

CompactionSearch::~CompactionSearch() = default;

bool CompactionSearch::BreaksWideRuleWith(int32_t r, const int32_t* f, const int32_t* l, int32_t count)
{
    if (!d_.anyWideRule)
        return false;
    // The row is changed for the question and given its levels back.
    int32_t* row = RowAt(r);
    int32_t kept[8];
    for (int32_t i = 0; i < count; ++i) {
        kept[i] = row[f[i]];
        row[f[i]] = l[i];
    }
    const bool breaks = d_.constraints->BreaksAnyWideRule(row);
    for (int32_t i = count; i-- > 0;)
        row[f[i]] = kept[i];
    return breaks;
}

CompactionSearch::Outcome CompactionSearch::Compact(std::vector<int32_t>& codes, int32_t& rows, int64_t moves,
                                                    double seconds, RandomStream& random, const Progress& progress)
{
    if (static_cast<size_t>(rows) * F_ > rows_.size() || rows < P_)
        throw std::invalid_argument("CompactionSearch: more rows than the workspace holds");
    // Loading the matrix counts against the time too.
    using Clock = std::chrono::steady_clock;
    const Clock::time_point start = Clock::now();
    Outcome outcome;
    outcome.rowsBefore = rows;
    Load(codes, rows);
    SaveBest();

    double lastReport = -kProgressSeconds;
    move_ = 0;
    int64_t nextClock = 1;
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
        if (++move_ < nextClock)
            continue;
        const double elapsed = std::chrono::duration<double>(Clock::now() - start).count();
        nextClock = move_ + ClockInterval(elapsed / static_cast<double>(move_));
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

void CompactionSearch::Load(const std::vector<int32_t>& codes, int32_t rows)
{
    numRows_ = rows;
    std::copy(codes.begin(), codes.begin() + static_cast<std::ptrdiff_t>(rows) * F_, rows_.begin());
    std::fill(changedAt_.begin(), changedAt_.end(), int64_t{-tabuMoves_ - 1});
    ResetCounts();
    std::fill(uncoveredAt_.begin(), uncoveredAt_.end(), -1);
    numUncovered_ = 0;
    for (size_t item = 0; item < counts_.size(); ++item)
        if (counts_[item] == 0)
            Uncover(item);
    for (int32_t r = P_; r < rows; ++r)
        AddCoverage(r, 1);
    // The matrix is complete: what it leaves uncovered no valid row holds.
    while (numUncovered_ > 0) {
        const auto item = static_cast<size_t>(uncovered_[static_cast<size_t>(numUncovered_ - 1)]);
        Cover(item);
        counts_[item] = -1;
    }
}

void CompactionSearch::Uncover(size_t item)
{
    uncoveredAt_[item] = numUncovered_;
    uncovered_[static_cast<size_t>(numUncovered_++)] = static_cast<int32_t>(item);
}

void CompactionSearch::Cover(size_t item)
{
    // The last uncovered item takes its place.
    const int32_t at = uncoveredAt_[item];
    const int32_t last = uncovered_[static_cast<size_t>(--numUncovered_)];
    uncovered_[static_cast<size_t>(at)] = last;
    uncoveredAt_[static_cast<size_t>(last)] = at;
    uncoveredAt_[item] = -1;
}

void CompactionSearch::RemakeRow(int32_t r, const int32_t* entries, int32_t count, RandomStream& random, bool validOnly)
{
    // The given levels first, then the other factors in a random order, each keeping its level
    // where a valid row still holds it with those taken before, else taking the first that
    // does from a random one on. One always does: the levels taken so far stand in a valid row.
    int32_t* row = RowAt(r);
    for (int32_t h = 0; h < F_; ++h)
        order_[static_cast<size_t>(h)] = h;
    for (int32_t k = F_ - 1; k > 0; --k)
        std::swap(order_[static_cast<size_t>(k)], order_[static_cast<size_t>(random.RandomIndex(0, k))]);
    AddCoverage(r, -1);
    for (int32_t i = 0; i < count; ++i) {
        assumptions_[static_cast<size_t>(i)] = entries[i];
        const int32_t f = d_.levelFactor[static_cast<size_t>(entries[i])];
        row[f] = entries[i] - d_.levelOffset[f];
    }
    const auto given = [&](int32_t h) {
        for (int32_t i = 0; i < count; ++i)
            if (d_.levelFactor[static_cast<size_t>(entries[i])] == h)
                return true;
        return false;
    };
    int32_t taken = count;
    for (const int32_t h : order_) {
        if (given(h))
            continue;
        const int32_t levels = d_.levels[h];
        const int32_t start = random.RandomIndex(0, levels - 1);
        bool found = false;
        for (int32_t k = -1; k < levels && !found; ++k) {
            const int32_t level = k < 0 ? row[h] : (start + k) % levels;
            assumptions_[static_cast<size_t>(taken)] = d_.levelOffset[h] + level;
            found = solver_->Feasible(assumptions_.data(), taken + 1, validOnly);
            if (found)
                row[h] = level;
        }
        if (!found)
            throw std::logic_error("CompactionSearch: no level of a factor completes a valid row");
        ++taken;
    }
    AddCoverage(r, 1);
    std::fill(changedAt_.begin() + static_cast<std::ptrdiff_t>(r) * F_, changedAt_.begin() + static_cast<std::ptrdiff_t>(r + 1) * F_,
              move_);
}

void CompactionSearch::CountUnique()
{
    for (int32_t r = P_; r < numRows_; ++r)
        unique_[static_cast<size_t>(r)] = UniqueOf(r);
}

void CompactionSearch::RemoveRow(int32_t r)
{
    // Later rows move up by one, so the matrix keeps its order.
    AddCoverage(r, -1);
    const auto from = static_cast<std::ptrdiff_t>(r + 1) * F_;
    const auto end = static_cast<std::ptrdiff_t>(numRows_) * F_;
    std::copy(rows_.begin() + from, rows_.begin() + end, rows_.begin() + from - F_);
    std::copy(changedAt_.begin() + from, changedAt_.begin() + end, changedAt_.begin() + from - F_);
    --numRows_;
}

void CompactionSearch::RemoveIdleRows()
{
    // Removing a row that covers nothing alone may leave another one an item of its own, so
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

void CompactionSearch::RemoveFewestUniqueRow(RandomStream& random)
{
    CountUnique();
    RandomMinimum fewest(kInvalid);
    int32_t chosen = P_;
    for (int32_t r = P_; r < numRows_; ++r)
        if (fewest.Offer(unique_[static_cast<size_t>(r)], random))
            chosen = r;
    RemoveRow(chosen);
}

void CompactionSearch::SaveBest()
{
    std::copy(rows_.begin(), rows_.begin() + static_cast<std::ptrdiff_t>(numRows_) * F_, best_.begin());
    bestRows_ = numRows_;
}

void CompactionSearch::Move(RandomStream& random)
{
    TakeItem(static_cast<size_t>(uncovered_[static_cast<size_t>(random.RandomIndex(0, numUncovered_ - 1))]));
    RandomMinimum best(kInvalid);
    int32_t chosenRow = -1;
    int32_t chosenFactor = 0;
    int32_t chosenLevel = 0;
    for (int32_t r = P_; r < numRows_; ++r) {
        int32_t f = 0;
        int32_t level = 0;
        if (!OneCellAway(RowAt(r), f, level))
            continue;
        int32_t count = 0;
        const int32_t delta = Delta(r, f, level, count);
        if (delta == kInvalid || delta > best.value)
            continue;
        if (Tabu(r, f) && numUncovered_ + count > 0)
            continue;
        if (!best.Offer(delta, random))
            continue;
        chosenRow = r;
        chosenFactor = f;
        chosenLevel = level;
    }
    // At a place where no move gains, the items still uncovered weigh more.
    if (chosenRow < 0 || best.value >= 0)
        for (int32_t k = 0; k < numUncovered_; ++k)
            ++weights_[static_cast<size_t>(uncovered_[static_cast<size_t>(k)])];
    if (chosenRow < 0)
        ForceCover(random);
    else
        SetCell(chosenRow, chosenFactor, chosenLevel);
}
