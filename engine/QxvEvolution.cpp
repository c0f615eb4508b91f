#include "engine/QxvEvolution.h"

#include "engine/DualArrayQuickSort.h"

#include <algorithm>
#include <cstring>

namespace {

constexpr int32_t kRandomRowTries = 10000;

}  // namespace

QxvEvolution::QxvEvolution(const NumericDesign& design)
    : d_(design), F_(design.lNumFactors), blocks_(static_cast<int32_t>(design.atBlocks.size()))
{
    const auto F = static_cast<size_t>(F_);
    const auto maxLevels = static_cast<size_t>(std::max(design.maxLevels, 1));
    const auto maxRows = static_cast<size_t>(design.maxRows);
    state_.resize(design.numStates);
    done_.resize(design.atBlocks.size());
    blockCompleteness_.resize(design.atBlocks.size());
    nonZero_.resize(design.baseNonZero.size());
    factorCompleteness_.resize(F);
    factorChanged_.resize(F);
    orderKeys_.resize(F);
    alOrder_.resize(F);
    alNewRow_.resize(F);
    scores_.resize(maxLevels);
    levelFlags_.resize(maxLevels);
    levelIndex_.resize(maxLevels);
    matrix_.resize(maxRows * F);
    rowOrder_.resize(maxRows);
    counts_.resize(design.numCells);
    rowSum_.resize(design.numCells);
    unique_.resize(maxRows);
    sortKeys_.resize(maxRows);
    sortIndex_.resize(maxRows);
}

void QxvEvolution::ResetToBase()
{
    std::memcpy(state_.data(), d_.baseState.data(), state_.size());
    std::copy(d_.baseDone.begin(), d_.baseDone.end(), done_.begin());
    std::copy(d_.baseNonZero.begin(), d_.baseNonZero.end(), nonZero_.begin());
    incomplete_ = d_.baseIncomplete;
    sumCompleteness_ = 0.0;
    for (int32_t b = 0; b < blocks_; ++b) {
        blockCompleteness_[b] = static_cast<double>(done_[b]) / static_cast<double>(d_.atBlocks[b].lNumCombos);
        sumCompleteness_ += blockCompleteness_[b];
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
    if (rowProgress_)
        rowProgress_(Completeness());

    // The previous tests and the constraints may already settle every pair.
    if (incomplete_ == 0)
        return outcome;

    if (!AddRandomRowToMatrix(random)) {
        outcome.ok = false;
        return outcome;
    }

    int32_t iter = 0;
    while (incomplete_ > 0 && iter < d_.maxIterations) {
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
    for (int32_t tries = 0; tries < kRandomRowTries; ++tries) {
        for (int32_t f = 0; f < F_; ++f)
            row[f] = random.RandomIndex(1, d_.levels[f]) - 1;
        if (!d_.anyExcluded || !RowHasExcludedPair(row)) {
            rowOrder_[slot] = slot;
            ++numRows_;
            AddRowCoverage(row);
            return true;
        }
    }
    return false;
}

bool QxvEvolution::RowHasExcludedPair(const int32_t* row) const
{
    for (int32_t f = 0; f < F_ - 1; ++f)
        for (int32_t g = f + 1; g < F_; ++g)
            if (d_.baseCounts[Cell(row, f, g)] < 0)
                return true;
    return false;
}

void QxvEvolution::AddRowCoverage(const int32_t* row)
{
    const int32_t* levels = d_.levels.data();
    const uint32_t* stateOffset = d_.stateOffset.data();
    const int32_t* blockOf = d_.blockOf.data();
    for (int32_t f = 0; f < F_ - 1; ++f) {
        const int32_t lf = row[f];
        const size_t fRow = static_cast<size_t>(f) * F_;
        for (int32_t g = f + 1; g < F_; ++g) {
            const int32_t lg = row[g];
            uint8_t& fg = state_[stateOffset[fRow + g] + static_cast<size_t>(lg) * levels[f] + lf];
            if (fg != NumericDesign::kUncovered)
                continue;
            fg = NumericDesign::kCovered;
            state_[stateOffset[static_cast<size_t>(g) * F_ + f] + static_cast<size_t>(lf) * levels[g] + lg] = NumericDesign::kCovered;
            const int32_t b = blockOf[fRow + g];
            const int32_t done = ++done_[b];
            const int32_t combos = d_.atBlocks[b].lNumCombos;
            blockCompleteness_[b] = static_cast<double>(done) / static_cast<double>(combos);
            sumCompleteness_ += d_.inverseCombos[b];
            if (done == combos)
                --incomplete_;
            ++nonZero_[d_.levelOffset[f] + lf];
            ++nonZero_[d_.levelOffset[g] + lg];
            factorChanged_[f] = 1;
            factorChanged_[g] = 1;
        }
    }
}

void QxvEvolution::EvaluteNWayCompleteness()
{
    // A factor's completeness is the mean completeness of the F - 1 pairs it belongs to,
    // summed in the order of its partners; only factors whose pairs changed are summed again.
    const int32_t partners = F_ - 1;
    for (int32_t f = 0; f < F_; ++f) {
        if (!factorChanged_[f])
            continue;
        factorChanged_[f] = 0;
        const int32_t* blocks = &d_.factorBlocks[static_cast<size_t>(f) * partners];
        double sum = 0.0;
        for (int32_t j = 0; j < partners; ++j)
            sum += blockCompleteness_[blocks[j]];
        factorCompleteness_[f] = sum / static_cast<double>(partners);
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
    const int32_t anchor = alOrder_[0];
    int32_t* scores = scores_.data();
    uint8_t* flags = levelFlags_.data();
    int32_t* index = levelIndex_.data();
    // From the most complete factor towards the anchor; the fixed partners of the factor at
    // position pos are the anchor and the factors at the positions after pos.
    for (int32_t pos = F_ - 1; pos >= 1; --pos) {
        const int32_t f = alOrder_[pos];
        const int32_t levels = d_.levels[f];
        const size_t fRow = static_cast<size_t>(f) * F_;
        std::fill(scores, scores + levels, 0);
        std::fill(flags, flags + levels, uint8_t{0});
        auto addPartner = [&](int32_t g, int32_t lg) {
            const uint8_t* cells = &state_[d_.stateOffset[fRow + g] + static_cast<size_t>(lg) * levels];
            for (int32_t l = 0; l < levels; ++l) {
                scores[l] += cells[l] & NumericDesign::kUncovered;
                flags[l] |= cells[l];
            }
        };
        addPartner(anchor, alNewRow_[0]);
        for (int32_t k = pos + 1; k < F_; ++k)
            addPartner(alOrder_[k], alNewRow_[k]);

        for (int32_t l = 0; l < levels; ++l)
            index[l] = l;
        LongDualArrayQuickSort(index, scores, 0, levels - 1, random);

        // Highest score first; the first level that forms no excluded pair with a fixed
        // partner. When none complies the last one tried stays.
        for (int32_t k = levels - 1; k >= 0; --k) {
            alNewRow_[pos] = index[k];
            if (!(flags[index[k]] & NumericDesign::kExcluded))
                break;
        }
    }
}

void QxvEvolution::ReorderAndAddRowToQXVMatrix()
{
    const int32_t slot = numRows_;
    int32_t* row = &matrix_[static_cast<size_t>(slot) * F_];
    for (int32_t i = 0; i < F_; ++i)
        row[alOrder_[i]] = alNewRow_[i];
    rowOrder_[slot] = slot;
    ++numRows_;
    AddRowCoverage(row);
}

void QxvEvolution::RowElimination(RandomStream& random)
{
    // Counts and slot sums of the whole matrix: the previous tests' come with the design.
    std::copy(d_.baseCounts.begin(), d_.baseCounts.end(), counts_.begin());
    std::copy(d_.baseRowSum.begin(), d_.baseRowSum.end(), rowSum_.begin());
    for (int32_t slot = d_.lNumPrevRuns; slot < numRows_; ++slot) {
        const int32_t* row = &matrix_[static_cast<size_t>(slot) * F_];
        for (int32_t f = 0; f < F_ - 1; ++f)
            for (int32_t g = f + 1; g < F_; ++g) {
                const size_t cell = Cell(row, f, g);
                if (counts_[cell] < 0)
                    continue;
                ++counts_[cell];
                rowSum_[cell] += static_cast<uint32_t>(slot);
            }
    }
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
    for (int32_t slot = 0; slot < numRows_; ++slot) {
        const int32_t* row = &matrix_[static_cast<size_t>(slot) * F_];
        int32_t alone = 0;
        for (int32_t f = 0; f < F_ - 1; ++f)
            for (int32_t g = f + 1; g < F_; ++g)
                alone += counts_[Cell(row, f, g)] == 1;
        unique_[slot] = alone;
    }
}

void QxvEvolution::RemoveRowFromMatrix(int32_t position)
{
    const int32_t slot = rowOrder_[position];
    const int32_t* row = &matrix_[static_cast<size_t>(slot) * F_];
    for (int32_t f = 0; f < F_ - 1; ++f)
        for (int32_t g = f + 1; g < F_; ++g) {
            const size_t cell = Cell(row, f, g);
            if (counts_[cell] < 0)
                continue;
            rowSum_[cell] -= static_cast<uint32_t>(slot);
            // A pair left in one row makes it that row's alone.
            if (--counts_[cell] == 1)
                ++unique_[rowSum_[cell]];
        }
    // Later rows move up by one.
    std::copy(rowOrder_.begin() + position + 1, rowOrder_.begin() + numRows_, rowOrder_.begin() + position);
    --numRows_;
}
