#include "engine/QxvEvolution.h"

#include "engine/DualArrayQuickSort.h"

#include <algorithm>
#include <bit>
#include <cstddef>
#include <cstring>
#include <stdexcept>

namespace {

constexpr int32_t kRandomRowTries = 10000;

}  // namespace

QxvEvolution::QxvEvolution(const NumericDesign& design)
    : d_(design), F_(design.lNumFactors), blocks_(design.numBlocks), W_(design.levelWords)
{
    const auto F = static_cast<size_t>(F_);
    const auto maxLevels = static_cast<size_t>(std::max(design.maxLevels, 1));
    if (design.KeepsStates()) {
        state_.resize(design.numStates + 32);  // room for reading whole lanes past the last run
        blockCompleteness_.resize(static_cast<size_t>(design.numBlocks));
    }
    uncovered_.resize(design.baseUncoveredBits.size());
    fixed_.resize(static_cast<size_t>(W_));
    done_.resize(static_cast<size_t>(design.numBlocks));
    nonZero_.resize(design.baseNonZero.size());
    factorCompleteness_.resize(F);
    factorChanged_.resize(F);
    orderKeys_.resize(F);
    alOrder_.resize(F);
    alNewRow_.resize(F);
    scores_.resize(maxLevels);
    levelFlags_.resize(maxLevels);
    levelIndex_.resize(maxLevels);
    rowsWith_.resize(design.levelFactor.size() * kSetRowWords);
    if (design.CountsCells()) {
        counts_.resize(design.numCells);
        rowSum_.resize(design.numCells);
    }
    ReserveRows(std::min(design.maxRows, design.lNumPrevRuns + 1 + kFirstGreedyRows));
    if (design.anyConstraint) {
        solver_ = std::make_unique<ConstraintSolver>(*design.constraints);
        coveredLog_.resize(F * static_cast<size_t>(W_));
        keptPosition_.resize(F);
        assumptions_.resize(F);
        partialRow_.resize(F);
        open_.resize(static_cast<size_t>(design.constraints->NumRules()));
        watchedSet_.resize((F + 63) / 64);
        int32_t most = 0;
        for (int32_t f = 0; f < F_; ++f)
            most = std::max(most, design.constraints->NumWideRulesOf(f));
        lone_.resize(static_cast<size_t>(most));
    }
}

void QxvEvolution::ReserveRows(int32_t rows)
{
    if (rows <= rowCapacity_)
        return;
    rowCapacity_ = std::min(d_.maxRows, std::max(rows, 2 * rowCapacity_));
    const auto capacity = static_cast<size_t>(rowCapacity_);
    matrix_.resize(capacity * F_);
    columns_.resize(capacity * F_);
    for (auto* perRow : {&rowOrder_, &unique_, &sortKeys_, &sortIndex_})
        perRow->resize(capacity);
}

void QxvEvolution::ResetToBase()
{
    if (!state_.empty())
        std::memcpy(state_.data(), d_.baseState.data(), d_.baseState.size());
    std::copy(d_.baseUncoveredBits.begin(), d_.baseUncoveredBits.end(), uncovered_.begin());
    std::copy(d_.baseDone.begin(), d_.baseDone.end(), done_.begin());
    std::copy(d_.baseNonZero.begin(), d_.baseNonZero.end(), nonZero_.begin());
    incomplete_ = d_.baseIncomplete;
    sumCompleteness_ = 0.0;
    for (int32_t f = 0; f < F_ - 1; ++f)
        for (int32_t g = f + 1; g < F_; ++g) {
            const int32_t b = d_.BlockOf(f, g);
            const double completeness = static_cast<double>(done_[b]) / static_cast<double>(d_.NumCombos(f, g));
            if (!blockCompleteness_.empty())
                blockCompleteness_[b] = completeness;
            sumCompleteness_ += completeness;
        }
    std::fill(factorChanged_.begin(), factorChanged_.end(), uint8_t{1});

    // The matrix starts with the previous tests, in sheet order.
    numRows_ = d_.lNumPrevRuns;
    for (size_t i = 0; i < static_cast<size_t>(numRows_) * F_; ++i)
        matrix_[i] = d_.alPrevRuns[i] - 1;
    for (int32_t r = 0; r < numRows_; ++r)
        rowOrder_[r] = r;
}

QxvEvolution::Outcome QxvEvolution::GenerateQXVMatrix(RandomStream& random)
{
    Outcome outcome;
    ResetToBase();
    repairedRows_ = 0;
    if (rowProgress_)
        rowProgress_(Completeness());

    // The previous tests and the constraints may already settle every pair.
    if (incomplete_ == 0)
        return outcome;

    if (!AddRandomRowToMatrix(random)) {
        outcome.ok = false;
        return outcome;
    }
    outcome.solverFirstRow = solverFirstRow_;

    int32_t iter = 0;
    while (incomplete_ > 0 && iter < d_.maxIterations) {
        ReserveRows(numRows_ + 1);
        EvaluteNWayCompleteness();
        CalcCompletenessOrder(random);
        Select2WayAnchorFactorAndLevel();
        Select2WayLevelForFactor(random);
        ReorderAndAddRowToQXVMatrix();
        ++iter;
        if (rowProgress_)
            rowProgress_(Completeness());
    }

    RowElimination(random);
    outcome.repairedRows = repairedRows_;

    // A matrix completed exactly at the last permitted iteration counts as not converged.
    outcome.convergedTouched = true;
    outcome.converged = iter < d_.maxIterations;
    if (numRows_ == 0) {
        outcome.noTestCases = true;
        outcome.converged = false;
    }
    return outcome;
}

bool QxvEvolution::AddRandomRowToMatrix(RandomStream& random)
{
    const int32_t slot = numRows_;
    int32_t* row = &matrix_[static_cast<size_t>(slot) * F_];
    solverFirstRow_ = false;
    bool accepted = false;
    for (int32_t tries = 0; tries < kRandomRowTries && !accepted; ++tries) {
        DrawRandomRow(random, row);
        accepted = (!d_.anyExcluded || !RowHasExcludedPair(row)) &&
                   (!d_.anyWideRule || !d_.constraints->BreaksAnyWideRule(row));
    }
    // Constraints that leave few valid rows reject every draw; a valid row may still exist.
    if (!accepted && solver_)
        accepted = solverFirstRow_ = RandomValidRow(random, row);
    if (!accepted)
        return false;
    rowOrder_[slot] = slot;
    ++numRows_;
    AddRowCoverage(row);
    return true;
}

void QxvEvolution::DrawRandomRow(RandomStream& random, int32_t* row)
{
    for (int32_t f = 0; f < F_; ++f)
        row[f] = random.RandomIndex(1, d_.levels[f]) - 1;
    if (!d_.anyWideRule)
        return;
    // Wide rules are seldom all kept by chance: a level that breaks one on the levels before
    // it gives way to the next level that keeps them, so that few draws are rejected.
    std::fill(partialRow_.begin(), partialRow_.end(), -1);
    for (int32_t f = 0; f < F_; ++f) {
        const int32_t drawn = row[f];
        for (int32_t k = 0; k < d_.levels[f]; ++k) {
            partialRow_[f] = (drawn + k) % d_.levels[f];
            if (!d_.constraints->BreaksWideRule(partialRow_.data(), f))
                break;
        }
        row[f] = partialRow_[f];
    }
}

bool QxvEvolution::RandomValidRow(RandomStream& random, int32_t* row)
{
    // Factor by factor, the levels from a random one on: the first that a valid row holds
    // together with the levels already taken.
    for (int32_t f = 0; f < F_; ++f) {
        const int32_t levels = d_.levels[f];
        const int32_t start = random.RandomIndex(1, levels) - 1;
        bool found = false;
        for (int32_t k = 0; k < levels && !found; ++k) {
            row[f] = (start + k) % levels;
            assumptions_[f] = d_.levelOffset[f] + row[f];
            found = solver_->Feasible(assumptions_.data(), f + 1);
        }
        if (!found)
            return false;
    }
    return true;
}

bool QxvEvolution::RowHasExcludedPair(const int32_t* row)
{
    // The row's levels as a set; each level's excluded partners against it.
    uint64_t* held = fixed_.data();
    std::fill(fixed_.begin(), fixed_.end(), uint64_t{0});
    for (int32_t f = 0; f < F_; ++f)
        SetBit(held, d_.levelOffset[f] + row[f]);
    for (int32_t f = 0; f < F_; ++f)
        if (d_.ExcludesAnyOf(d_.levelOffset[f] + row[f], held))
            return true;
    return false;
}

void QxvEvolution::AddRowCoverage(const int32_t* row)
{
    for (int32_t f = 0; f < F_ - 1; ++f)
        for (int32_t g = f + 1; g < F_; ++g)
            CoverPair(f, row[f], g, row[g]);
}

void QxvEvolution::EvaluteNWayCompleteness()
{
    // A factor's completeness is the mean completeness of the F - 1 pairs it belongs to,
    // summed in the order of its partners; only factors whose pairs changed are summed again.
    // Four factors are summed side by side: each sum keeps its own order, and the four
    // chains of additions overlap instead of waiting on each other.
    const int32_t partners = F_ - 1;
    int32_t changed[4];
    int32_t waiting = 0;
    auto sumWaiting = [&] {
        int32_t factors[4];
        double sums[4] = {0.0, 0.0, 0.0, 0.0};
        for (int32_t k = 0; k < 4; ++k)
            factors[k] = changed[k < waiting ? k : 0];
        if (blockCompleteness_.empty())
            SumCompleteness<false>(factors, sums);
        else
            SumCompleteness<true>(factors, sums);
        for (int32_t k = 0; k < waiting; ++k)
            factorCompleteness_[changed[k]] = sums[k] / static_cast<double>(partners);
        waiting = 0;
    };
    for (int32_t f = 0; f < F_; ++f) {
        if (!factorChanged_[f])
            continue;
        factorChanged_[f] = 0;
        changed[waiting++] = f;
        if (waiting == 4)
            sumWaiting();
    }
    if (waiting > 0)
        sumWaiting();
}

template <bool Stored>
void QxvEvolution::SumCompleteness(const int32_t* factors, double* sums) const
{
    const int32_t* levels = d_.levels.data();
    for (int32_t j = 0; j < F_ - 1; ++j)
        for (int32_t k = 0; k < 4; ++k) {
            const int32_t f = factors[k];
            const int32_t b = d_.PartnerBlock(f, j);
            if constexpr (Stored)
                sums[k] += blockCompleteness_[b];
            else
                sums[k] += static_cast<double>(done_[b]) / static_cast<double>(levels[f] * levels[j + (j >= f)]);
        }
}

void QxvEvolution::CalcCompletenessOrder(RandomStream& random)
{
    for (int32_t i = 0; i < F_; ++i) {
        alOrder_[i] = i;
        orderKeys_[i] = factorCompleteness_[i];
    }
    DoubleDualArrayQuickSort(alOrder_.data(), orderKeys_.data(), 0, F_ - 1, random);
}

void QxvEvolution::Select2WayAnchorFactorAndLevel()
{
    // The anchor level with the fewest covered or excluded cells; the lowest code wins ties.
    const int32_t anchor = alOrder_[0];
    const int32_t* nonZero = &nonZero_[d_.levelOffset[anchor]];
    int32_t best = 2147483646;
    int32_t level = 0;
    for (int32_t a = 0; a < d_.levels[anchor]; ++a)
        if (nonZero[a] < best) {
            best = nonZero[a];
            level = a;
        }
    alNewRow_[0] = level;
}

void QxvEvolution::Select2WayLevelForFactor(RandomStream& random)
{
    int32_t* scores = scores_.data();
    uint8_t* flags = levelFlags_.data();
    int32_t* index = levelIndex_.data();
    std::fill(fixed_.begin(), fixed_.end(), uint64_t{0});
    SetBit(fixed_.data(), d_.levelOffset[alOrder_[0]] + alNewRow_[0]);
    if (d_.anyWideRule) {
        std::fill(partialRow_.begin(), partialRow_.end(), -1);
        partialRow_[alOrder_[0]] = alNewRow_[0];
        numWatched_ = 0;
        std::fill(watchedSet_.begin(), watchedSet_.end(), uint64_t{0});
        for (size_t r = 0; r < open_.size(); ++r)
            open_[r] = d_.constraints->NumFactorsOf(static_cast<int32_t>(r));
        CountFixed(alOrder_[0]);
    }
    // From the most complete factor towards the anchor; the fixed partners of the factor at
    // position pos are the anchor and the factors at the positions after pos.
    for (int32_t pos = F_ - 1; pos >= 1; --pos) {
        const int32_t f = alOrder_[pos];
        const int32_t levels = d_.levels[f];
        // Both ways give the same scores: the bit sets cost a word per level, the cell runs
        // (where the design keeps them) one run per fixed partner.
        if (state_.empty() || levels * W_ < F_ - pos)
            ScoreLevelsBySets(f, scores, flags);
        else
            ScoreLevels(pos, scores, flags);

        SortLevelsByScore(f, levels, random);

        // Highest score first; the first level that forms no excluded pair with a fixed
        // partner and breaks no wide rule on the levels fixed so far. When none complies the
        // levels chosen so far cannot stand together in a valid row: the row is repaired.
        int32_t k = levels - 1;
        for (; k >= 0; --k) {
            alNewRow_[pos] = index[k];
            if (!(flags[index[k]] & NumericDesign::kExcluded) && (!d_.anyWideRule || KeepsWideRules(f, index[k])))
                break;
        }
        if (k < 0 && solver_) {
            RepairRow(pos, random);
            return;
        }
        // The pairs this level forms with the fixed partners are final: count the ones it
        // covers now (its score tells whether there are any). Nothing later in this row reads them.
        const int32_t level = alNewRow_[pos];
        uint64_t* log = solver_ ? &coveredLog_[static_cast<size_t>(pos) * W_] : nullptr;
        if (scores[k < 0 ? 0 : k] > 0)
            CoverFixedPartners(f, level, log);
        else if (log)
            std::fill(log, log + W_, uint64_t{0});
        SetBit(fixed_.data(), d_.levelOffset[f] + level);
        if (d_.anyWideRule) {
            partialRow_[f] = level;
            WatchLoneFactors(f);
        }
    }
}

bool QxvEvolution::KeepsWideRules(int32_t f, int32_t level)
{
    // The level is held for the question: its rules, and the factors earlier rules left alone
    // open, which must keep a level beside it too.
    numLone_ = 0;
    if (numWatched_ == 0 && d_.constraints->NumWideRulesOf(f) == 0)
        return true;
    const int32_t entry = d_.levelOffset[f] + level;
    partialRow_[f] = level;
    SetBit(fixed_.data(), entry);
    bool keeps = d_.constraints->WideRulesLeaveRoom(partialRow_.data(), f, fixed_.data(), lone_.data(), &numLone_,
                                                    open_.data());
    // Only the watched factors the level may take room from are looked at again.
    const uint64_t* cornered = d_.constraints->CorneredBy(entry);
    for (int32_t w = 0; w < static_cast<int32_t>(watchedSet_.size()) && keeps; ++w)
        for (uint64_t bits = cornered[w] & watchedSet_[w]; bits != 0 && keeps; bits &= bits - 1) {
            const int32_t g = w * 64 + std::countr_zero(bits);
            keeps = g == f || d_.constraints->RoomFor(partialRow_.data(), g, fixed_.data());
        }
    ClearBit(fixed_.data(), entry);
    partialRow_[f] = -1;
    return keeps;
}

void QxvEvolution::CountFixed(int32_t f)
{
    const int32_t* rules = d_.constraints->WideRulesOf(f);
    for (int32_t k = 0; k < d_.constraints->NumWideRulesOf(f); ++k)
        --open_[rules[k]];
}

void QxvEvolution::WatchLoneFactors(int32_t f)
{
    CountFixed(f);
    // f is fixed now: it is watched no longer.
    if (watchedSet_[f >> 6] >> (f & 63) & 1) {
        ClearBit(watchedSet_.data(), f);
        --numWatched_;
    }
    for (int32_t k = 0; k < numLone_; ++k)
        if (!(watchedSet_[lone_[k] >> 6] >> (lone_[k] & 63) & 1)) {
            SetBit(watchedSet_.data(), lone_[k]);
            ++numWatched_;
        }
}

void QxvEvolution::SortLevelsByScore(int32_t f, int32_t levels, RandomStream& random)
{
    // The randomised sort is the tie-break among levels of equal score, after the weights.
    for (int32_t l = 0; l < levels; ++l)
        levelIndex_[l] = l;
    LongDualArrayQuickSort(levelIndex_.data(), scores_.data(), 0, levels - 1, random);
    if (d_.weights.empty())
        return;
    // The best come last: among those of the best score, the heaviest last.
    int32_t first = levels - 1;
    while (first > 0 && scores_[first - 1] == scores_[levels - 1])
        --first;
    const int32_t* weight = &d_.weights[static_cast<size_t>(d_.levelOffset[f])];
    std::stable_sort(levelIndex_.begin() + first, levelIndex_.begin() + levels,
                     [weight](int32_t a, int32_t b) { return weight[a] < weight[b]; });
}

void QxvEvolution::UndoRowCoverage(int32_t pos)
{
    // The pairs the levels at positions after pos covered when they were chosen.
    for (int32_t p = pos + 1; p < F_; ++p) {
        const int32_t f = alOrder_[p];
        const int32_t level = alNewRow_[p];
        const uint64_t* log = &coveredLog_[static_cast<size_t>(p) * W_];
        for (int32_t w = 0; w < W_; ++w)
            for (uint64_t partners = log[w]; partners; partners &= partners - 1) {
                const int32_t bit = w * 64 + std::countr_zero(partners);
                const int32_t g = d_.levelFactor[bit];
                UncoverPair(f, level, g, bit - d_.levelOffset[g]);
            }
    }
}

void QxvEvolution::RepairRow(int32_t pos, RandomStream& random)
{
    ++repairedRows_;
    UndoRowCoverage(pos);

    // Keep the levels chosen so far, the anchor first, each one that a valid row holds
    // together with those kept before it.
    int32_t count = 0;
    std::fill(fixed_.begin(), fixed_.end(), uint64_t{0});
    std::fill(keptPosition_.begin(), keptPosition_.end(), uint8_t{0});
    auto keep = [&](int32_t p) {
        const int32_t entry = d_.levelOffset[alOrder_[p]] + alNewRow_[p];
        assumptions_[count] = entry;
        if (!solver_->Feasible(assumptions_.data(), count + 1))
            return;
        ++count;
        keptPosition_[p] = 1;
        SetBit(fixed_.data(), entry);
    };
    keep(0);
    for (int32_t p = F_ - 1; p > pos; --p)
        keep(p);

    // Every other factor, the anchor first and then as the row goes, takes the level with
    // the most uncovered pairs with the levels fixed so far that a valid row holds with them.
    // One always does: the solver's witness holds one.
    int32_t* scores = scores_.data();
    uint8_t* flags = levelFlags_.data();
    int32_t* index = levelIndex_.data();
    auto choose = [&](int32_t p) {
        const int32_t f = alOrder_[p];
        const int32_t levels = d_.levels[f];
        ScoreLevelsBySets(f, scores, flags);
        SortLevelsByScore(f, levels, random);
        int32_t k = levels - 1;
        for (; k >= 0; --k) {
            assumptions_[count] = d_.levelOffset[f] + index[k];
            if (!(flags[index[k]] & NumericDesign::kExcluded) && solver_->Feasible(assumptions_.data(), count + 1))
                break;
        }
        if (k < 0)
            throw std::logic_error("RepairRow: no level of a factor completes a valid row");
        alNewRow_[p] = index[k];
        SetBit(fixed_.data(), assumptions_[count]);
        ++count;
    };
    if (!keptPosition_[0])
        choose(0);
    for (int32_t p = F_ - 1; p >= 1; --p)
        if (!keptPosition_[p])
            choose(p);

    // The finished row's pairs are counted as covered now.
    int32_t* row = &matrix_[static_cast<size_t>(numRows_) * F_];
    for (int32_t i = 0; i < F_; ++i)
        row[alOrder_[i]] = alNewRow_[i];
    AddRowCoverage(row);
}

void QxvEvolution::CoverFixedPartners(int32_t f, int32_t level, uint64_t* log)
{
    // CoverNewPair for every fixed partner this level forms an uncovered pair with, with
    // what is the same for all of them taken out of the loop.
    const int32_t entry = d_.levelOffset[f] + level;
    const int32_t entryWord = entry >> 6;
    const uint64_t entryBit = uint64_t{1} << (entry & 63);
    const int32_t levels = d_.levels[f];
    uint64_t* uncovered = &uncovered_[static_cast<size_t>(entry) * W_];
    int32_t covered = 0;
    for (int32_t w = 0; w < W_; ++w) {
        uint64_t partners = uncovered[w] & fixed_[w];
        uncovered[w] &= ~partners;
        if (log)
            log[w] = partners;
        for (; partners; ++covered) {
            const int32_t bit = w * 64 + std::countr_zero(partners);
            partners &= partners - 1;
            const int32_t g = d_.levelFactor[bit];
            const int32_t lg = bit - d_.levelOffset[g];
            SetState(f, level, g, lg, NumericDesign::kCovered);
            uncovered_[static_cast<size_t>(bit) * W_ + entryWord] &= ~entryBit;
            CountCoveredCell(d_.BlockOf(f, g), levels * d_.levels[g]);
            ++nonZero_[bit];
            factorChanged_[g] = 1;
        }
    }
    nonZero_[entry] += covered;
    factorChanged_[f] = 1;
}

VANTREL_POPCOUNT_CLONES void QxvEvolution::ScoreLevelsBySets(int32_t f, int32_t* scores, uint8_t* flags) const
{
    const uint64_t* fixed = fixed_.data();
    for (int32_t l = 0; l < d_.levels[f]; ++l) {
        const size_t first = static_cast<size_t>(d_.levelOffset[f] + l) * W_;
        const uint64_t* uncovered = &uncovered_[first];
        int32_t score = 0;
        for (int32_t w = 0; w < W_; ++w)
            score += std::popcount(uncovered[w] & fixed[w]);
        scores[l] = score;
        flags[l] = d_.anyExcluded && d_.ExcludesAnyOf(d_.levelOffset[f] + l, fixed) ? NumericDesign::kExcluded : 0;
    }
}

void QxvEvolution::ScoreLevels(int32_t pos, int32_t* scores, uint8_t* flags) const
{
    // For each level of the factor at pos: the fixed partners with which it forms a pair
    // still uncovered (its score), and whether it forms an excluded pair with any (flags).
    const int32_t f = alOrder_[pos];
    const int32_t levels = d_.levels[f];
    // The runs of partners below f start at one origin, those above at another.
    const uint8_t* below = state_.data() + d_.StateOrigin(f, false);
    const uint8_t* above = state_.data() + d_.StateOrigin(f, true);
    const int32_t* levelOffset = d_.levelOffset.data();
    auto runOf = [&](int32_t g, int32_t lg) {
        return (g < f ? below : above) + static_cast<size_t>(levelOffset[g] + lg) * levels;
    };
    const int32_t anchor = alOrder_[0];
    if (levels <= 32 && F_ <= 256) {
        // Sixteen levels at a time in byte lanes; scores stay below 256 with at most 255
        // partners. The state array is padded so that reading past a short run is safe.
        using Lanes = uint8_t __attribute__((vector_size(16)));
        Lanes score[2] = {};
        Lanes flag[2] = {};
        const Lanes ones = {1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1};
        const int32_t chunks = levels > 16 ? 2 : 1;
        auto addPartner = [&](int32_t g, int32_t lg) {
            const uint8_t* cells = runOf(g, lg);
            for (int32_t c = 0; c < chunks; ++c) {
                Lanes v;
                std::memcpy(&v, cells + 16 * c, sizeof v);
                score[c] += v & ones;
                flag[c] |= v;
            }
        };
        addPartner(anchor, alNewRow_[0]);
        for (int32_t k = pos + 1; k < F_; ++k)
            addPartner(alOrder_[k], alNewRow_[k]);
        for (int32_t l = 0; l < levels; ++l) {
            scores[l] = score[l >> 4][l & 15];
            flags[l] = flag[l >> 4][l & 15];
        }
        return;
    }
    std::fill(scores, scores + levels, 0);
    std::fill(flags, flags + levels, uint8_t{0});
    auto addPartner = [&](int32_t g, int32_t lg) {
        const uint8_t* cells = runOf(g, lg);
        for (int32_t l = 0; l < levels; ++l) {
            scores[l] += cells[l] & NumericDesign::kUncovered;
            flags[l] |= cells[l];
        }
    };
    addPartner(anchor, alNewRow_[0]);
    for (int32_t k = pos + 1; k < F_; ++k)
        addPartner(alOrder_[k], alNewRow_[k]);
}

void QxvEvolution::ReorderAndAddRowToQXVMatrix()
{
    const int32_t slot = numRows_;
    int32_t* row = &matrix_[static_cast<size_t>(slot) * F_];
    for (int32_t i = 0; i < F_; ++i)
        row[alOrder_[i]] = alNewRow_[i];
    rowOrder_[slot] = slot;
    ++numRows_;
}

void QxvEvolution::RowElimination(RandomStream& random)
{
    CalcRowsUniqueInters();

    const int32_t P = d_.lNumPrevRuns;
    for (;;) {
        // Previous tests are never removed, so they keep the first P positions.
        if (numRows_ <= P)
            break;
        int32_t fewest = unique_[rowOrder_[P]];
        for (int32_t k = P + 1; k < numRows_ && fewest > 0; ++k)
            fewest = std::min(fewest, unique_[rowOrder_[k]]);
        // Every generated row covers some pair alone: the search stops here whatever order
        // the sort would give, and the evolution takes no further draw.
        if (fewest > 0)
            break;

        for (int32_t k = 0; k < numRows_; ++k) {
            sortKeys_[k] = unique_[rowOrder_[k]];
            sortIndex_[k] = k;
        }
        LongDualArrayQuickSort(sortIndex_.data(), sortKeys_.data(), 0, numRows_ - 1, random);
        int32_t k = 0;
        while (sortIndex_[k] < P)
            ++k;
        // The first generated row in sort order has the fewest unique pairs, which is 0.
        RemoveRowFromMatrix(sortIndex_[k]);
    }
}

void QxvEvolution::CalcRowsUniqueInters()
{
    std::fill(unique_.begin(), unique_.begin() + numRows_, 0);
    rowWords_ = (numRows_ + 63) / 64;
    switch (rowWords_) {
    case 1: CountUniqueBySets<1>(); break;
    case 2: CountUniqueBySets<2>(); break;
    case 3: CountUniqueBySets<3>(); break;
    case 4: CountUniqueBySets<4>(); break;
    default:
        rowWords_ = 0;
        CountUniqueByCells();
    }
}

template <int32_t Words>
void QxvEvolution::CountUniqueBySets()
{
    // The rows holding each level (previous tests included), then block by block the pairs
    // held by one row only.
    std::fill(rowsWith_.begin(), rowsWith_.begin() + static_cast<std::ptrdiff_t>(d_.levelFactor.size() * Words), uint64_t{0});
    for (int32_t slot = 0; slot < numRows_; ++slot) {
        const int32_t* row = &matrix_[static_cast<size_t>(slot) * F_];
        for (int32_t f = 0; f < F_; ++f)
            rowsWith_[static_cast<size_t>(d_.levelOffset[f] + row[f]) * Words + (slot >> 6)] |= uint64_t{1} << (slot & 63);
    }
    for (int32_t f1 = 0; f1 < F_ - 1; ++f1)
        for (int32_t f2 = f1 + 1; f2 < F_; ++f2) {
            const uint64_t* first = &rowsWith_[static_cast<size_t>(d_.levelOffset[f1]) * Words];
            const uint64_t* second = &rowsWith_[static_cast<size_t>(d_.levelOffset[f2]) * Words];
            for (int32_t l1 = 0; l1 < d_.levels[f1]; ++l1, first += Words)
                for (int32_t l2 = 0; l2 < d_.levels[f2]; ++l2) {
                    const int32_t holder = SoleRow(first, second + l2 * Words, Words);
                    if (holder >= 0 && !d_.ExcludedPair(f1, l1, f2, l2))
                        ++unique_[holder];
                }
        }
}

void QxvEvolution::CountUniqueByCells()
{
    // Counts and slot sums of the whole matrix (the previous tests' come with the design),
    // then the pairs each row holds alone. Block by block, so that a block's cells stay in
    // the cache while every row passes through it; the level codes are read by column.
    const auto stride = static_cast<size_t>(rowCapacity_);
    for (int32_t slot = 0; slot < numRows_; ++slot)
        for (int32_t f = 0; f < F_; ++f)
            columns_[f * stride + slot] = matrix_[static_cast<size_t>(slot) * F_ + f];
    std::copy(d_.baseCounts.begin(), d_.baseCounts.end(), counts_.begin());
    std::copy(d_.baseRowSum.begin(), d_.baseRowSum.end(), rowSum_.begin());
    for (int32_t f1 = 0; f1 < F_ - 1; ++f1)
        for (int32_t f2 = f1 + 1; f2 < F_; ++f2)
            CountBlockUniqueByCells(f1, f2);
}

void QxvEvolution::CountBlockUniqueByCells(int32_t f1, int32_t f2)
{
    const int32_t P = d_.lNumPrevRuns;
    const auto stride = static_cast<size_t>(rowCapacity_);
    const int32_t* first = &columns_[f1 * stride];
    const int32_t* second = &columns_[f2 * stride];
    int32_t* counts = &counts_[d_.CellOffset(f1, f2)];
    uint32_t* rowSum = &rowSum_[d_.CellOffset(f1, f2)];
    const int32_t width = d_.levels[f2];
    for (int32_t slot = P; slot < numRows_; ++slot) {
        const int32_t cell = first[slot] * width + second[slot];
        if (counts[cell] < 0)
            continue;
        ++counts[cell];
        rowSum[cell] += static_cast<uint32_t>(slot);
    }
    for (int32_t cell = 0; cell < d_.NumCombos(f1, f2); ++cell)
        if (counts[cell] == 1)
            ++unique_[rowSum[cell]];
}

void QxvEvolution::RemoveRowFromMatrix(int32_t position)
{
    // A pair the row shared with one other row is now that row's alone.
    const int32_t slot = rowOrder_[position];
    const int32_t* row = &matrix_[static_cast<size_t>(slot) * F_];
    if (rowWords_ > 0) {
        auto rowsOf = [&](int32_t f) { return &rowsWith_[static_cast<size_t>(d_.levelOffset[f] + row[f]) * rowWords_]; };
        for (int32_t f = 0; f < F_; ++f)
            rowsOf(f)[slot >> 6] &= ~(uint64_t{1} << (slot & 63));
        for (int32_t f = 0; f < F_ - 1; ++f)
            for (int32_t g = f + 1; g < F_; ++g) {
                const int32_t holder = SoleRow(rowsOf(f), rowsOf(g), rowWords_);
                if (holder >= 0 && !d_.ExcludedPair(f, row[f], g, row[g]))
                    ++unique_[holder];
            }
    } else {
        for (int32_t f = 0; f < F_ - 1; ++f)
            for (int32_t g = f + 1; g < F_; ++g) {
                const size_t cell = Cell(row, f, g);
                if (counts_[cell] < 0)
                    continue;
                rowSum_[cell] -= static_cast<uint32_t>(slot);
                if (--counts_[cell] == 1)
                    ++unique_[rowSum_[cell]];
            }
    }
    // Later rows move up by one.
    std::copy(rowOrder_.begin() + position + 1, rowOrder_.begin() + numRows_, rowOrder_.begin() + position);
    --numRows_;
}
