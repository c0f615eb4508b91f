#include "engine/CompactionSearch.h"

#include <algorithm>
#include <chrono>
#include <stdexcept>

namespace {

constexpr double kProgressSeconds = 0.1;
// Uncovered items whose levels are kept for the moves' scores.
constexpr size_t kKeptUncovered = size_t{1} << 16;

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
    aloneWeight_.resize(cells);
    aloneCount_.resize(cells);
    best_.resize(cells);
    itemState_.resize(2 * items);
    weights_.assign(items, 1);
    uncovered_.Reset(items, kKeptUncovered);
    unique_.resize(static_cast<size_t>(maxRows));
    candidates_.resize(static_cast<size_t>(maxRows));
    entries_.resize(UncoveredItems::kMostEntries);
    matchFactor_.resize(UncoveredItems::kMostEntries);
    matchEntry_.resize(UncoveredItems::kMostEntries);
    numMatches_.resize(UncoveredItems::kMostEntries);
    matches_.resize(UncoveredItems::kMostEntries * std::min(items, kKeptUncovered));
    for (int32_t f = 0; f < F_; ++f)
        for (int32_t level = 0; level < d_.levels[f]; ++level)
            if (InvalidLevel(f, level)) {
                invalidFactors_.push_back(f);
                break;
            }
    if (design.anyConstraint) {
        solver_ = std::make_unique<ConstraintSolver>(*design.constraints);
        assumptions_.resize(static_cast<size_t>(F_));
        order_.resize(static_cast<size_t>(F_));
    }
}

CompactionSearch::~CompactionSearch() = default;

int32_t CompactionSearch::InvalidFactorOf(const int32_t* row) const
{
    for (const int32_t f : invalidFactors_)
        if (InvalidLevel(f, row[f]))
            return f;
    return -1;
}

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
    if (!Load(codes, rows, seconds)) {  // the matrix stays as it came
        outcome.timeUp = true;
        outcome.rowsAfter = rows;
        outcome.seconds = std::chrono::duration<double>(Clock::now() - start).count();
        return outcome;
    }
    SaveBest();

    double lastReport = -kProgressSeconds;
    move_ = 0;
    int64_t nextClock = 1;
    while (move_ < moves) {
        if (uncovered_.Size() == 0) {
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
    if (uncovered_.Size() == 0) {
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

bool CompactionSearch::Load(const std::vector<int32_t>& codes, int32_t rows, double seconds)
{
    const auto start = std::chrono::steady_clock::now();
    numRows_ = rows;
    std::copy(codes.begin(), codes.begin() + static_cast<std::ptrdiff_t>(rows) * F_, rows_.begin());
    std::fill(changedAt_.begin(), changedAt_.end(), int64_t{-tabuMoves_ - 1});
    std::fill(itemState_.begin(), itemState_.end(), 0);
    ResetCounts();
    std::fill(unique_.begin(), unique_.end(), 0);
    std::fill(aloneWeight_.begin(), aloneWeight_.end(), 0);
    std::fill(aloneCount_.begin(), aloneCount_.end(), 0);
    uncovered_.Clear();
    for (int32_t r = P_; r < rows; ++r) {
        // On a design of many factors a row takes a while, and so many rows may pass a budget.
        if (seconds > 0 && std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count() >= seconds)
            return false;
        AddCoverage(r, 1);
    }
    // The matrix is complete: what it leaves uncovered no valid row holds.
    for (size_t item = 0; item < NumItems(); ++item)
        if (Count(item) == 0)
            SetCount(item, kExcluded);
    return true;
}

void CompactionSearch::HoldAlone(size_t item, int32_t r, const int32_t* factors, int32_t t, int32_t sign)
{
    unique_[static_cast<size_t>(r)] += sign;
    const size_t cells = static_cast<size_t>(r) * F_;
    for (int32_t i = 0; i < t; ++i) {
        aloneWeight_[cells + static_cast<size_t>(factors[i])] += sign * weights_[item];
        aloneCount_[cells + static_cast<size_t>(factors[i])] += sign;
    }
}

void CompactionSearch::Uncover(size_t item, const int32_t* row, const int32_t* factors, int32_t t)
{
    int32_t invalid = -1;
    for (int32_t i = 0; i < t; ++i) {
        entries_[static_cast<size_t>(i)] = d_.levelOffset[factors[i]] + row[factors[i]];
        if (InvalidLevel(factors[i], row[factors[i]]))
            invalid = factors[i];
    }
    uncovered_.Add(item, entries_.data(), t, invalid);
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

void CompactionSearch::RemoveRow(int32_t r)
{
    // The last row takes its place (its items counted out and in again under its new number).
    AddCoverage(r, -1);
    const int32_t last = numRows_ - 1;
    if (r != last) {
        AddCoverage(last, -1);
        const auto from = static_cast<std::ptrdiff_t>(last) * F_, to = static_cast<std::ptrdiff_t>(r) * F_;
        std::copy(rows_.begin() + from, rows_.begin() + from + F_, rows_.begin() + to);
        std::copy(changedAt_.begin() + from, changedAt_.begin() + from + F_, changedAt_.begin() + to);
        AddCoverage(r, 1);
    }
    --numRows_;
}

void CompactionSearch::RemoveIdleRows()
{
    // Removing a row only takes items from the others' counts, so a row holding something
    // alone keeps it: one pass from the last row down, where the rows that move were passed.
    for (int32_t r = numRows_ - 1; r >= P_; --r)
        if (unique_[static_cast<size_t>(r)] == 0)
            RemoveRow(r);
}

void CompactionSearch::RemoveFewestUniqueRow(RandomStream& random)
{
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
    const int32_t target = random.RandomIndex(0, uncovered_.Size() - 1);
    TakeItem(static_cast<size_t>(uncovered_.ItemAt(target)));
    const int32_t found = FindCandidates();
    const bool kept = uncovered_.AllKept();
    if (kept)
        MatchUncovered(target);
    RandomMinimum best(kInvalid);
    const Candidate* chosen = nullptr;
    for (int32_t i = 0; i < found; ++i) {
        const Candidate& candidate = candidates_[static_cast<size_t>(i)];
        int32_t count = 0;
        const int32_t delta =
            kept ? KeptDelta(candidate, count) : Delta(candidate.row, candidate.factor, candidate.level, count);
        if (delta > best.value || (Tabu(candidate.row, candidate.factor) && uncovered_.Size() + count > 0) ||
            !Allowed(candidate.row, candidate.factor, candidate.level))
            continue;
        if (best.Offer(delta, random))
            chosen = &candidate;
    }
    // At a place where no move gains, the items still uncovered weigh more.
    if (chosen == nullptr || best.value >= 0)
        for (int32_t k = 0; k < uncovered_.Size(); ++k)
            ++weights_[static_cast<size_t>(uncovered_.ItemAt(k))];
    if (chosen == nullptr)
        ForceCover(random);
    else
        SetCell(chosen->row, chosen->factor, chosen->level);
}

int32_t CompactionSearch::FindCandidates()
{
    int32_t found = 0;
    for (int32_t r = P_; r < numRows_; ++r) {
        Candidate& candidate = candidates_[static_cast<size_t>(found)];
        if (OneCellAway(RowAt(r), candidate.factor, candidate.level)) {
            candidate.row = r;
            ++found;
        }
    }
    return found;
}

void CompactionSearch::MatchUncovered(int32_t target)
{
    const int32_t t = uncovered_.NumEntriesAt(target);
    const int32_t* levels = uncovered_.EntriesAt(target);
    for (int32_t i = 0; i < t; ++i) {
        matchEntry_[static_cast<size_t>(i)] = levels[i];
        matchFactor_[static_cast<size_t>(i)] = d_.levelFactor[static_cast<size_t>(levels[i])];
        numMatches_[static_cast<size_t>(i)] = 0;
    }
    const auto capacity = matches_.size() / UncoveredItems::kMostEntries;
    for (int32_t k = 0; k < uncovered_.Size(); ++k) {
        const int32_t* entries = uncovered_.EntriesAt(k);
        for (int32_t j = uncovered_.NumEntriesAt(k); j-- > 0;)
            for (int32_t i = 0; i < t; ++i)
                if (entries[j] == matchEntry_[static_cast<size_t>(i)])
                    matches_[static_cast<size_t>(i) * capacity + static_cast<size_t>(numMatches_[static_cast<size_t>(i)]++)] = k;
    }
    for (int32_t i = t; i < UncoveredItems::kMostEntries; ++i)
        matchFactor_[static_cast<size_t>(i)] = -1;
}

int32_t CompactionSearch::KeptDelta(const Candidate& candidate, int32_t& count) const
{
    size_t i = 0;
    while (matchFactor_[i] != candidate.factor)
        ++i;
    const int32_t* row = RowAt(candidate.row);
    const int32_t kind = InvalidFactorOf(row);  // a change never changes it
    const auto capacity = matches_.size() / UncoveredItems::kMostEntries;
    int64_t gained = 0;
    int32_t gainedCount = 0;
    for (int32_t m = 0; m < numMatches_[i]; ++m) {
        const int32_t k = matches_[i * capacity + static_cast<size_t>(m)];
        if (uncovered_.InvalidFactorAt(k) != kind)
            continue;
        const int32_t* entries = uncovered_.EntriesAt(k);
        bool holds = true;
        for (int32_t j = uncovered_.NumEntriesAt(k); j-- > 0 && holds;) {
            const int32_t f = d_.levelFactor[static_cast<size_t>(entries[j])];
            holds = f == candidate.factor || row[f] == entries[j] - d_.levelOffset[f];
        }
        if (holds) {
            gained += weights_[static_cast<size_t>(uncovered_.ItemAt(k))];
            ++gainedCount;
        }
    }
    const size_t cell = static_cast<size_t>(candidate.row) * F_ + static_cast<size_t>(candidate.factor);
    count = aloneCount_[cell] - gainedCount;
    return static_cast<int32_t>(std::clamp<int64_t>(aloneWeight_[cell] - gained, -kInvalid + 1, kInvalid - 1));
}
