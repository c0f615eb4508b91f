#include "engine/TupleEvolution.h"

#include <algorithm>
#include <bit>
#include <chrono>
#include <stdexcept>

TupleEvolution::TupleEvolution(const DesignCodes& design, const std::vector<TupleTable>& tables)
    : d_(design), F_(design.lNumFactors)
{
    if (d_.anyConstraint)
        solver_ = std::make_unique<ConstraintSolver>(*d_.constraints);
    for (const TupleTable& tuples : tables) {
        Table& table = tables_.emplace_back();
        table.tuples = &tuples;
        table.uncovered.resize(tuples.baseUncovered.size());
        table.blockUncovered.resize(tuples.baseBlockUncovered.size());
        table.counts.resize(tuples.numTuples);
        table.localOf.assign(static_cast<size_t>(F_), -1);
        for (int32_t i = 0; i < tuples.F; ++i)
            table.localOf[static_cast<size_t>(tuples.factors[static_cast<size_t>(i)])] = i;
    }
    firstBlock_.push_back(0);
    for (const Table& table : tables_)
        firstBlock_.push_back(firstBlock_.back() + table.blockUncovered.size());
    candidate_.resize(static_cast<size_t>(F_));
    fixed_.reserve(static_cast<size_t>(F_));
    order_.reserve(static_cast<size_t>(F_));
    scores_.resize(static_cast<size_t>(std::max(d_.maxLevels, 1)));
    merged_.reserve(static_cast<size_t>(F_));
    mergedCounts_.reserve(static_cast<size_t>(F_));
    mergedLevels_.reserve(static_cast<size_t>(F_));
    local_.resize(static_cast<size_t>(F_));
    tally_.resize(scores_.size());
    set_.resize(static_cast<size_t>(TupleTable::kMaxStrength));
    setLevels_.resize(static_cast<size_t>(TupleTable::kMaxStrength));
    entries_.reserve(static_cast<size_t>(F_));
    uses_.resize(static_cast<size_t>(d_.levelOffset[F_]));
}

void TupleEvolution::Table::CountChunks()
{
    chunkUncovered.assign((uncovered.size() + kChunkWords - 1) / kChunkWords, 0);
    for (size_t w = 0; w < uncovered.size(); ++w)
        chunkUncovered[w / kChunkWords] += static_cast<uint32_t>(std::popcount(uncovered[w]));
}

uint64_t TupleEvolution::Table::NthUncovered(uint64_t from, int32_t n) const
{
    // Word by word to the end of from's chunk, then chunk by chunk, then word by word again.
    uint64_t w = from / 64;
    uint64_t bits = uncovered[w] & (~uint64_t{0} << (from % 64));
    for (;;) {
        const int32_t here = std::popcount(bits);
        if (here > n)
            break;
        n -= here;
        if (++w % kChunkWords == 0) {
            for (; static_cast<int32_t>(chunkUncovered[w / kChunkWords]) <= n; w += kChunkWords)
                n -= static_cast<int32_t>(chunkUncovered[w / kChunkWords]);
        }
        bits = uncovered[w];
    }
    for (; n > 0; --n)
        bits &= bits - 1;
    return w * 64 + static_cast<uint64_t>(std::countr_zero(bits));
}

void TupleEvolution::Reset()
{
    remaining_ = 0;
    for (Table& table : tables_) {
        std::copy(table.tuples->baseUncovered.begin(), table.tuples->baseUncovered.end(), table.uncovered.begin());
        table.CountChunks();
        std::copy(table.tuples->baseBlockUncovered.begin(), table.tuples->baseBlockUncovered.end(),
                  table.blockUncovered.begin());
        table.remaining = table.tuples->baseRemaining;
        remaining_ += table.remaining;
    }
    numRows_ = d_.lNumPrevRuns;
    rows_.resize(static_cast<size_t>(numRows_) * F_);
    std::fill(uses_.begin(), uses_.end(), 0);
    for (size_t i = 0; i < rows_.size(); ++i) {
        rows_[i] = d_.alPrevRuns[i] - 1;
        ++uses_[static_cast<size_t>(d_.levelOffset[static_cast<int32_t>(i % F_)] + rows_[i])];
    }
    for (Table& table : tables_) {
        std::fill(table.counts.begin(), table.counts.end(), 0);
        for (int32_t r = 0; r < numRows_; ++r)
            ForEachTupleOf(table, Row(r), [&](uint64_t, uint64_t bit) {
                if (table.counts[bit] < 255)
                    ++table.counts[bit];
            });
    }
    hurried_ = false;
}

TupleEvolution::Outcome TupleEvolution::GenerateQXVMatrix(RandomStream& random)
{
    Outcome outcome;
    Reset();
    if (remaining_ == 0) {
        outcome.noTestCases = numRows_ == 0;
        return outcome;
    }
    outcome.convergedTouched = outcome.converged = true;
    const double required = static_cast<double>(remaining_);
    int32_t candidates = kCandidates;
    while (remaining_ > 0) {
        if (giveUp_ && giveUp_()) {
            outcome.converged = false;
            outcome.hurried = true;
            break;
        }
        Hurry(candidates, outcome, 0);
        rows_.resize(static_cast<size_t>(numRows_ + 1) * F_);
        int32_t* row = &rows_[static_cast<size_t>(numRows_) * F_];
        int64_t bestGain = -1;
        FindMostUncovered();
        for (int32_t c = 0; c < candidates && remaining_ > 0; ++c) {
            const auto started = std::chrono::steady_clock::now();
            std::fill(candidate_.begin(), candidate_.end(), -1);
            if (!PlaceAnchor(random, candidate_.data())) {
                ++outcome.unreachableTuples;
                --c;
                continue;
            }
            const int64_t gain = 1 + FillRow(random, candidate_.data());
            if (gain > bestGain) {
                bestGain = gain;
                std::copy(candidate_.begin(), candidate_.end(), row);
            }
            // A row of many factors takes long: the budget may run out among its candidates.
            const std::chrono::duration<double> took = std::chrono::steady_clock::now() - started;
            Hurry(candidates, outcome, took.count() * (candidates - c - 1));
        }
        if (bestGain < 0)
            break;  // the last required tuples were dropped
        CoverRow(row);
        for (int32_t f = 0; f < F_; ++f)
            ++uses_[static_cast<size_t>(d_.levelOffset[f] + row[f])];
        ++numRows_;
        if (rowProgress_)
            rowProgress_(1.0 - static_cast<double>(remaining_) / required);
    }
    rows_.resize(static_cast<size_t>(numRows_) * F_);
    if (!outcome.hurried)
        EliminateRows();
    return outcome;
}

void TupleEvolution::Hurry(int32_t& candidates, Outcome& outcome, double secondsAhead)
{
    if (candidates > 1 && hurry_ && hurry_(secondsAhead)) {
        candidates = 1;
        outcome.hurried = hurried_ = true;
    }
}

void TupleEvolution::FindMostUncovered()
{
    mostUncovered_ = 0;
    for (const Table& table : tables_)
        if (!table.blockUncovered.empty())
            mostUncovered_ = std::max(mostUncovered_, *std::max_element(table.blockUncovered.begin(), table.blockUncovered.end()));
}

bool TupleEvolution::PlaceAnchor(RandomStream& random, int32_t* row)
{
    // A block with the most uncovered tuples in any table: the first from a drawn start over the
    // blocks of all tables one after the other.
    const uint64_t blocks = firstBlock_.back();
    const auto start =
        blocks > 1 ? static_cast<uint64_t>(random.RandomIndex(0, static_cast<int32_t>(std::min<uint64_t>(blocks, INT32_MAX) - 1))) : 0;
    size_t k = static_cast<size_t>(std::upper_bound(firstBlock_.begin(), firstBlock_.end(), start) - firstBlock_.begin() - 1);
    uint64_t at = start;
    if (tables_.size() == 1) {
        const std::vector<uint32_t>& uncovered = tables_[0].blockUncovered;
        for (uint64_t i = 0; i < blocks && uncovered[at] != mostUncovered_; ++i)
            at = at + 1 == blocks ? 0 : at + 1;
    }
    for (uint64_t i = 0; i < blocks && tables_.size() > 1; ++i) {
        if (tables_[k].blockUncovered[at - firstBlock_[k]] == mostUncovered_)
            break;
        if (++at == blocks) {
            at = 0;
            k = 0;
        }
        while (at == firstBlock_[k + 1])
            ++k;
    }
    Table& table = tables_[k];
    const uint64_t block = at - firstBlock_[k];
    const TupleTable& tuples = *table.tuples;
    int32_t pick = random.RandomIndex(0, static_cast<int32_t>(mostUncovered_) - 1);
    const uint64_t first = tuples.Offset(block);
    const uint64_t bit = table.NthUncovered(first, pick);
    tuples.Unrank(block, set_.data());
    tuples.LevelsOf(set_.data(), bit - first, setLevels_.data());

    entries_.clear();
    invalidFactor_ = -1;
    for (int32_t i = 0; i < tuples.t; ++i) {
        const int32_t f = tuples.factors[static_cast<size_t>(set_[static_cast<size_t>(i)])];
        const int32_t entry = d_.levelOffset[f] + setLevels_[static_cast<size_t>(i)];
        entries_.push_back(entry);
        if (d_.constraints->HasInvalidLevels() && d_.constraints->Invalid(entry))
            invalidFactor_ = f;
    }
    if (solver_ && !solver_->Feasible(entries_.data(), tuples.t, invalidFactor_ < 0)) {
        // No valid row of its kind holds it: it is required no longer.
        table.Cover(bit);
        --table.blockUncovered[block];
        --table.remaining;
        --remaining_;
        FindMostUncovered();
        return false;
    }
    fixed_.clear();
    for (int32_t i = 0; i < tuples.t; ++i) {
        const int32_t f = tuples.factors[static_cast<size_t>(set_[static_cast<size_t>(i)])];
        row[f] = setLevels_[static_cast<size_t>(i)];
        fixed_.push_back(f);
    }
    std::sort(fixed_.begin(), fixed_.end());
    return true;
}

int64_t TupleEvolution::FillRow(RandomStream& random, int32_t* row)
{
    int64_t gain = 0;
    order_.clear();
    for (int32_t f = 0; f < F_; ++f)
        if (row[f] < 0)
            order_.push_back(f);
    // In a hurry the factors are filled in their own order: the sets of each with the factors
    // before it are then one run of blocks, read one after the other.
    for (int32_t i = static_cast<int32_t>(order_.size()) - 1; i > 0 && !hurried_; --i)
        std::swap(order_[i], order_[random.RandomIndex(0, i)]);

    for (const int32_t f : order_) {
        ScoreLevels(f, row);
        for (;;) {
            int64_t best = -1;
            const int32_t level = PickLevel(f, random, best);
            if (level < 0)
                throw std::logic_error("TupleEvolution: no level keeps the row valid");
            row[f] = level;
            const bool keepsRules = !d_.anyWideRule || d_.constraints->WideRulesLeaveRoom(row, f, nullptr);
            row[f] = -1;
            if (!solver_ || (keepsRules && Completable(row, f, level))) {
                row[f] = level;
                gain += best;
                break;
            }
            scores_[static_cast<size_t>(level)] = -1;
        }
        fixed_.insert(std::upper_bound(fixed_.begin(), fixed_.end(), f), f);
    }
    return gain;
}

int32_t TupleEvolution::PickLevel(int32_t f, RandomStream& random, int64_t& best)
{
    // The best score; among equals the level the matrix holds least often, which keeps the
    // columns balanced; among those a drawn one. -1 when no level is allowed.
    const int32_t L = d_.levels[f];
    const int32_t* uses = &uses_[static_cast<size_t>(d_.levelOffset[f])];
    int32_t fewest = 0, ties = 0;
    best = -1;
    for (int32_t v = 0; v < L; ++v) {
        const int64_t score = scores_[static_cast<size_t>(v)];
        if (score < 0)
            continue;
        if (score > best || (score == best && uses[v] < fewest)) {
            best = score;
            fewest = uses[v];
            ties = 1;
        } else if (score == best && uses[v] == fewest) {
            ++ties;
        }
    }
    if (best < 0)
        return -1;
    int32_t pick = ties > 1 ? random.RandomIndex(0, ties - 1) : 0;
    int32_t level = 0;
    while (scores_[static_cast<size_t>(level)] != best || uses[level] != fewest || pick-- > 0)
        ++level;
    return level;
}

bool TupleEvolution::Completable(const int32_t* row, int32_t f, int32_t level)
{
    entries_.clear();
    for (const int32_t g : fixed_)
        entries_.push_back(d_.levelOffset[g] + row[g]);
    entries_.push_back(d_.levelOffset[f] + level);
    return solver_->Feasible(entries_.data(), static_cast<int32_t>(entries_.size()), invalidFactor_ < 0);
}

void TupleEvolution::ScoreLevels(int32_t f, const int32_t* row)
{
    // A level is allowed when it forms no excluded pair with a fixed one and, in a row of
    // valid levels, is valid; a row with an invalid level takes no second one either, as those
    // pairs are excluded.
    const int32_t L = d_.levels[f];
    const bool validRow = invalidFactor_ < 0;
    for (int32_t v = 0; v < L; ++v) {
        const int32_t entry = d_.levelOffset[f] + v;
        bool allowed = !(validRow && d_.constraints->HasInvalidLevels() && d_.constraints->Invalid(entry));
        for (size_t k = 0; allowed && d_.anyExcluded && k < fixed_.size(); ++k)
            allowed = !d_.Excluded(entry, d_.levelOffset[fixed_[k]] + row[fixed_[k]]);
        scores_[static_cast<size_t>(v)] = allowed ? 0 : -1;
    }
    for (const Table& table : tables_) {
        if (table.localOf[static_cast<size_t>(f)] < 0 || (table.tuples->kind == TupleTable::Kind::Valid) != validRow)
            continue;
        if (!validRow) {
            // The pairs of the row's invalid level with f's levels.
            const int32_t a = table.localOf[static_cast<size_t>(invalidFactor_)], b = table.localOf[static_cast<size_t>(f)];
            int32_t pair[2] = {std::min(a, b), std::max(a, b)};
            int32_t levels[2];
            for (int32_t v = 0; v < L; ++v) {
                levels[a < b ? 0 : 1] = row[invalidFactor_];
                levels[a < b ? 1 : 0] = v;
                if (scores_[static_cast<size_t>(v)] >= 0 && table.Uncovered(table.tuples->Bit(pair, levels)))
                    ++scores_[static_cast<size_t>(v)];
            }
            continue;
        }
        ScoreTable(table, f, row);
    }
}

void TupleEvolution::ScoreTable(const Table& table, int32_t f, const int32_t* row)
{
    // Every (t - 1)-set of the table's fixed factors with f makes a t-set; its tuples differ in
    // f's level alone, one stride apart. The sets are walked in the order of the table's fixed
    // factors with f among them, carrying the block number and the code of the levels.
    const TupleTable& tuples = *table.tuples;
    const int32_t local = table.localOf[static_cast<size_t>(f)];
    merged_.clear();
    fPos_ = -1;
    int32_t fixedHere = 0;
    for (const int32_t g : fixed_) {
        const int32_t x = table.localOf[static_cast<size_t>(g)];
        if (x < 0)
            continue;
        if (fPos_ < 0 && local < x) {
            fPos_ = static_cast<int32_t>(merged_.size());
            merged_.push_back(local);
        }
        merged_.push_back(x);
        ++fixedHere;
    }
    if (fixedHere < tuples.t - 1)
        return;
    if (fPos_ < 0) {
        fPos_ = static_cast<int32_t>(merged_.size());
        merged_.push_back(local);
    }
    // Each place's level count and the row's level there (f's taken as 0), for the walk.
    mergedCounts_.clear();
    mergedLevels_.clear();
    for (const int32_t x : merged_) {
        mergedCounts_.push_back(tuples.levels[static_cast<size_t>(x)]);
        mergedLevels_.push_back(x == local ? 0 : row[tuples.factors[static_cast<size_t>(x)]]);
    }
    const int32_t L = tuples.levels[static_cast<size_t>(local)];
    scoredLevels_ = static_cast<size_t>(L);
    std::fill_n(tally_.begin(), L, 0);
    ScoreSets(table, tuples.t - 1, static_cast<int32_t>(merged_.size()), 0, 0, 0, false);
    for (int32_t v = 0; v < L; ++v)
        if (scores_[static_cast<size_t>(v)] >= 0)
            scores_[static_cast<size_t>(v)] += tally_[static_cast<size_t>(v)];
}

void TupleEvolution::ScoreSets(const Table& table, int32_t depth, int32_t below, uint64_t rank, uint64_t code,
                               uint64_t stride, bool holdsF)
{
    // The sets are walked in colex order, their largest factor outermost, so that the blocks
    // (and their tuples) are read one after the other rather than a stride apart: on a design
    // of many factors this is what the scoring waits for. The code of the row's levels (f's
    // taken as 0) and f's stride grow by Horner's rule, one step per factor picked. f is never
    // passed without being taken.
    const TupleTable& tuples = *table.tuples;
    int32_t first = depth;
    if (!holdsF)
        first = std::max(first, fPos_);
    const int32_t last = !holdsF && depth == 0 ? std::min(fPos_, below - 1) : below - 1;
    if (depth == 0) {
        switch (scoredLevels_) {
        case 2: return TallyRun<2>(table, first, last, rank, code, stride);
        case 3: return TallyRun<3>(table, first, last, rank, code, stride);
        case 4: return TallyRun<4>(table, first, last, rank, code, stride);
        default: return TallyRun<0>(table, first, last, rank, code, stride);
        }
    }
    for (int32_t m = first; m <= last; ++m) {
        const auto count = static_cast<uint64_t>(mergedCounts_[static_cast<size_t>(m)]);
        const uint64_t c = static_cast<uint64_t>(mergedLevels_[static_cast<size_t>(m)]) + count * code;
        const uint64_t st = (m == fPos_ ? 1 : 0) + count * stride;
        ScoreSets(table, depth - 1, m, rank + tuples.Binomial(merged_[static_cast<size_t>(m)], depth + 1), c, st,
                  holdsF || m == fPos_);
    }
}

template <int32_t kLevels>
void TupleEvolution::TallyRun(const Table& table, int32_t first, int32_t last, uint64_t rank, uint64_t code,
                              uint64_t stride)
{
    // The last factor of each set: the uncovered tuples per level of f, counted whether or not
    // the level is allowed (no branch to mispredict), in registers where the level count is
    // known here; ScoreTable adds the counts of the allowed ones.
    const TupleTable& tuples = *table.tuples;
    const size_t L = kLevels > 0 ? static_cast<size_t>(kLevels) : scoredLevels_;
    int64_t counts[kLevels > 0 ? kLevels : 1] = {};
    for (int32_t m = first; m <= last; ++m) {
        const auto count = static_cast<uint64_t>(mergedCounts_[static_cast<size_t>(m)]);
        const uint64_t base = tuples.Offset(rank + static_cast<uint64_t>(merged_[static_cast<size_t>(m)])) +
                              static_cast<uint64_t>(mergedLevels_[static_cast<size_t>(m)]) + count * code;
        const uint64_t st = (m == fPos_ ? 1 : 0) + count * stride;
        for (size_t v = 0; v < L; ++v) {
            if constexpr (kLevels > 0)
                counts[v] += table.Uncovered(base + v * st);
            else
                tally_[v] += table.Uncovered(base + v * st);
        }
    }
    for (size_t v = 0; v < static_cast<size_t>(kLevels); ++v)
        tally_[v] += counts[v];
}

int32_t TupleEvolution::InvalidFactorOf(const int32_t* row) const
{
    if (!d_.constraints->HasInvalidLevels())
        return -1;
    for (int32_t f = 0; f < F_; ++f)
        if (d_.constraints->Invalid(d_.levelOffset[f] + row[f]))
            return f;
    return -1;
}

template <typename Visit>
void TupleEvolution::ForEachTupleOf(const Table& table, const int32_t* row, Visit visit)
{
    const TupleTable& tuples = *table.tuples;
    if (!tuples.Covers(d_, row))
        return;
    if (tuples.kind == TupleTable::Kind::InvalidPairs) {
        // Only the pairs of the row's one invalid level can be required.
        const int32_t invalid = InvalidFactorOf(row);
        const int32_t a = table.localOf[static_cast<size_t>(invalid)];
        for (int32_t g = 0; g < tuples.F; ++g) {
            if (g == a)
                continue;
            const int32_t pair[2] = {std::min(a, g), std::max(a, g)};
            const int32_t levels[2] = {row[tuples.factors[static_cast<size_t>(pair[0])]],
                                       row[tuples.factors[static_cast<size_t>(pair[1])]]};
            visit(tuples.Rank(pair), tuples.Bit(pair, levels));
        }
        return;
    }
    for (int32_t x = 0; x < tuples.F; ++x)
        local_[static_cast<size_t>(x)] = row[tuples.factors[static_cast<size_t>(x)]];
    tuples.ForEachTupleOfRow(local_.data(), visit);
}

void TupleEvolution::CoverRow(const int32_t* row)
{
    // The rows holding each tuple are counted as they come, for the elimination at the end;
    // not in a hurry, which has no time for it (the counts are what covering a row waits for).
    for (Table& table : tables_)
        ForEachTupleOf(table, row, [&](uint64_t block, uint64_t bit) {
            if (!hurried_ && table.counts[bit] < 255)
                ++table.counts[bit];
            if (table.Uncovered(bit)) {
                table.Cover(bit);
                --table.blockUncovered[block];
                --table.remaining;
                --remaining_;
            }
        });
}

void TupleEvolution::EliminateRows()
{
    // Rows holding each tuple (counted up to 255 as rows were covered), counted down for every
    // row that goes; a generated row whose tuples of every table all stand in another row as
    // well covers nothing alone.
    int32_t kept = d_.lNumPrevRuns;
    for (int32_t r = d_.lNumPrevRuns; r < numRows_; ++r) {
        bool alone = false;
        for (Table& table : tables_)
            ForEachTupleOf(table, Row(r), [&](uint64_t, uint64_t bit) { return !(alone = alone || table.counts[bit] < 2); });
        if (!alone) {
            for (Table& table : tables_)
                ForEachTupleOf(table, Row(r), [&](uint64_t, uint64_t bit) { --table.counts[bit]; });
            continue;
        }
        if (kept != r)
            std::copy(Row(r), Row(r) + F_, &rows_[static_cast<size_t>(kept) * F_]);
        ++kept;
    }
    numRows_ = kept;
    rows_.resize(static_cast<size_t>(numRows_) * F_);
}
