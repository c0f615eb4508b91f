#include "engine/TupleEvolution.h"

#include <algorithm>
#include <stdexcept>

TupleEvolution::TupleEvolution(const DesignCodes& design, const TupleTable& table)
    : d_(design), table_(table), F_(design.lNumFactors), t_(table.t)
{
    if (d_.anyConstraint)
        solver_ = std::make_unique<ConstraintSolver>(*d_.constraints);
    uncovered_.resize(table_.baseUncovered.size());
    blockUncovered_.resize(table_.baseBlockUncovered.size());
    counts_.resize(table_.numTuples);
    fixed_.reserve(static_cast<size_t>(F_));
    order_.reserve(static_cast<size_t>(F_));
    scores_.resize(static_cast<size_t>(d_.maxLevels));
    merged_.reserve(static_cast<size_t>(F_));
    set_.resize(static_cast<size_t>(t_));
    setLevels_.resize(static_cast<size_t>(t_));
    entries_.reserve(static_cast<size_t>(F_));
    candidate_.resize(static_cast<size_t>(F_));
    uses_.resize(static_cast<size_t>(d_.levelOffset[F_]));
}

void TupleEvolution::Cover(uint64_t block, uint64_t bit)
{
    uncovered_[bit / 64] &= ~(uint64_t{1} << (bit % 64));
    --blockUncovered_[block];
    --remaining_;
}

TupleEvolution::Outcome TupleEvolution::GenerateQXVMatrix(RandomStream& random)
{
    Outcome outcome;
    std::copy(table_.baseUncovered.begin(), table_.baseUncovered.end(), uncovered_.begin());
    std::copy(table_.baseBlockUncovered.begin(), table_.baseBlockUncovered.end(), blockUncovered_.begin());
    remaining_ = table_.baseRemaining;
    numRows_ = d_.lNumPrevRuns;
    rows_.resize(static_cast<size_t>(numRows_) * F_);
    std::fill(uses_.begin(), uses_.end(), 0);
    for (size_t i = 0; i < rows_.size(); ++i) {
        rows_[i] = d_.alPrevRuns[i] - 1;
        ++uses_[static_cast<size_t>(d_.levelOffset[static_cast<int32_t>(i % F_)] + rows_[i])];
    }
    if (remaining_ == 0) {
        outcome.noTestCases = numRows_ == 0;
        return outcome;
    }
    outcome.convergedTouched = outcome.converged = true;

    const double required = static_cast<double>(remaining_);
    while (remaining_ > 0) {
        rows_.resize(static_cast<size_t>(numRows_ + 1) * F_);
        int32_t* row = &rows_[static_cast<size_t>(numRows_) * F_];
        int64_t bestGain = -1;
        mostUncovered_ = *std::max_element(blockUncovered_.begin(), blockUncovered_.end());
        for (int32_t c = 0; c < kCandidates && remaining_ > 0; ++c) {
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
    EliminateRows();
    return outcome;
}

bool TupleEvolution::PlaceAnchor(RandomStream& random, int32_t* row)
{
    // A block with the most uncovered tuples: the first from a drawn start.
    const auto blocks = static_cast<int64_t>(table_.NumBlocks());
    const int64_t start = blocks > 1 ? random.RandomIndex(0, static_cast<int32_t>(std::min<int64_t>(blocks, INT32_MAX) - 1)) : 0;
    const uint32_t most = mostUncovered_;
    uint64_t block = 0;
    for (int64_t i = 0; i < blocks; ++i) {
        block = static_cast<uint64_t>((start + i) % blocks);
        if (blockUncovered_[block] == most)
            break;
    }
    // A drawn one of its uncovered tuples.
    int32_t k = random.RandomIndex(0, static_cast<int32_t>(most) - 1);
    const uint64_t first = table_.blockOffset[block];
    uint64_t bit = first;
    for (;; ++bit)
        if (Uncovered(bit) && k-- == 0)
            break;
    table_.Unrank(block, set_.data());
    table_.LevelsOf(set_.data(), bit - first, setLevels_.data());

    if (solver_) {
        entries_.clear();
        for (int32_t i = 0; i < t_; ++i)
            entries_.push_back(d_.levelOffset[set_[i]] + setLevels_[i]);
        if (!solver_->Feasible(entries_.data(), t_)) {
            Cover(block, bit);  // no valid row holds it: it is required no longer
            mostUncovered_ = *std::max_element(blockUncovered_.begin(), blockUncovered_.end());
            return false;
        }
    }
    fixed_.clear();
    for (int32_t i = 0; i < t_; ++i) {
        row[set_[i]] = setLevels_[i];
        fixed_.push_back(set_[i]);
    }
    return true;
}

int64_t TupleEvolution::FillRow(RandomStream& random, int32_t* row)
{
    int64_t gain = 0;
    order_.clear();
    for (int32_t f = 0; f < F_; ++f)
        if (row[f] < 0)
            order_.push_back(f);
    for (int32_t i = static_cast<int32_t>(order_.size()) - 1; i > 0; --i)
        std::swap(order_[i], order_[random.RandomIndex(0, i)]);

    for (const int32_t f : order_) {
        ScoreLevels(f, row);
        const int32_t L = d_.levels[f];
        for (;;) {
            // The best score; among equals the level the matrix holds least often, which keeps
            // the columns balanced; among those a drawn one.
            const int32_t* uses = &uses_[static_cast<size_t>(d_.levelOffset[f])];
            int64_t best = -1;
            int32_t fewest = 0, ties = 0;
            for (int32_t v = 0; v < L; ++v) {
                if (scores_[v] < 0)
                    continue;
                if (scores_[v] > best || (scores_[v] == best && uses[v] < fewest)) {
                    best = scores_[v];
                    fewest = uses[v];
                    ties = 1;
                } else if (scores_[v] == best && uses[v] == fewest) {
                    ++ties;
                }
            }
            if (best < 0)
                throw std::logic_error("TupleEvolution: no level keeps the row valid");
            int32_t pick = ties > 1 ? random.RandomIndex(0, ties - 1) : 0;
            int32_t level = 0;
            while (scores_[level] != best || uses[level] != fewest || pick-- > 0)
                ++level;
            row[f] = level;
            const bool breaksRule = d_.anyWideRule && !d_.constraints->WideRulesLeaveRoom(row, f, nullptr);
            row[f] = -1;
            if (!solver_ || (!breaksRule && Completable(row, f, level))) {
                row[f] = level;
                gain += best;
                break;
            }
            scores_[level] = -1;
        }
        fixed_.insert(std::upper_bound(fixed_.begin(), fixed_.end(), f), f);
    }
    return gain;
}

bool TupleEvolution::Completable(const int32_t* row, int32_t f, int32_t level)
{
    entries_.clear();
    for (const int32_t g : fixed_)
        entries_.push_back(d_.levelOffset[g] + row[g]);
    entries_.push_back(d_.levelOffset[f] + level);
    return solver_->Feasible(entries_.data(), static_cast<int32_t>(entries_.size()));
}

void TupleEvolution::ScoreLevels(int32_t f, const int32_t* row)
{
    const int32_t L = d_.levels[f];
    // A level that forms an excluded pair with a fixed one is not allowed.
    for (int32_t v = 0; v < L; ++v) {
        bool allowed = true;
        if (d_.anyExcluded) {
            const uint64_t* excluded = d_.ExcludedWith(d_.levelOffset[f] + v);
            for (const int32_t g : fixed_) {
                const int32_t other = d_.levelOffset[g] + row[g];
                if ((excluded[other / 64] >> (other % 64)) & 1) {
                    allowed = false;
                    break;
                }
            }
        }
        scores_[v] = allowed ? 0 : -1;
    }

    // Every (t - 1)-set of fixed factors with f makes a t-set; its tuples differ in f's level
    // alone, one stride apart. The sets are walked in the order of the fixed factors with f
    // among them, carrying the block number and the code of the levels as they grow.
    if (static_cast<int32_t>(fixed_.size()) < t_ - 1)
        return;
    merged_.clear();
    fPos_ = -1;
    for (const int32_t g : fixed_) {
        if (fPos_ < 0 && f < g) {
            fPos_ = static_cast<int32_t>(merged_.size());
            merged_.push_back(f);
        }
        merged_.push_back(g);
    }
    if (fPos_ < 0) {
        fPos_ = static_cast<int32_t>(merged_.size());
        merged_.push_back(f);
    }
    scoredFactor_ = f;
    scoredRow_ = row;
    ScoreSets(0, 0, 0, 0, 1, 0, false);
}

void TupleEvolution::ScoreSets(int32_t depth, int32_t from, uint64_t rank, uint64_t code, uint64_t multiplier,
                               uint64_t stride, bool holdsF)
{
    const auto n = static_cast<int32_t>(merged_.size());
    const int32_t L = d_.levels[scoredFactor_];
    // Room is left for the deeper positions, and f is never passed without being taken: the
    // last position takes f when nothing before did.
    int32_t last = n - (t_ - depth);
    int32_t m = from;
    if (!holdsF) {
        last = std::min(last, fPos_);
        if (depth + 1 == t_)
            m = fPos_;
    }
    for (; m <= last; ++m) {
        const int32_t x = merged_[m];
        const bool isF = x == scoredFactor_;
        const uint64_t r = rank + table_.Binomial(x, depth + 1);
        const uint64_t c = isF ? code : code + static_cast<uint64_t>(scoredRow_[x]) * multiplier;
        const uint64_t st = isF ? multiplier : stride;
        if (depth + 1 == t_) {
            const uint64_t base = table_.blockOffset[r] + c;
            for (int32_t v = 0; v < L; ++v)
                if (scores_[v] >= 0 && Uncovered(base + static_cast<uint64_t>(v) * st))
                    ++scores_[v];
        } else {
            ScoreSets(depth + 1, m + 1, r, c, multiplier * static_cast<uint64_t>(d_.levels[x]), st, holdsF || isF);
        }
    }
}

void TupleEvolution::CoverRow(const int32_t* row)
{
    ForEachTupleOf(row, [&](uint64_t block, uint64_t bit) {
        if (Uncovered(bit))
            Cover(block, bit);
    });
}

void TupleEvolution::EliminateRows()
{
    // Rows holding each tuple, counted up to 255 and down for every row that goes, so a count
    // is never above the truth; a generated row whose tuples all stand in another row as
    // well covers nothing alone and goes.
    std::fill(counts_.begin(), counts_.end(), 0);
    for (int32_t r = 0; r < numRows_; ++r)
        ForEachTupleOf(Row(r), [&](uint64_t, uint64_t bit) {
            if (counts_[bit] < 255)
                ++counts_[bit];
        });
    int32_t kept = d_.lNumPrevRuns;
    for (int32_t r = d_.lNumPrevRuns; r < numRows_; ++r) {
        bool alone = false;
        ForEachTupleOf(Row(r), [&](uint64_t, uint64_t bit) { alone = alone || counts_[bit] < 2; });
        if (!alone) {
            ForEachTupleOf(Row(r), [&](uint64_t, uint64_t bit) { --counts_[bit]; });
            continue;
        }
        if (kept != r)
            std::copy(Row(r), Row(r) + F_, &rows_[static_cast<size_t>(kept) * F_]);
        ++kept;
    }
    numRows_ = kept;
    rows_.resize(static_cast<size_t>(numRows_) * F_);
}
