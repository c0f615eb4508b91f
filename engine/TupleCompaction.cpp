#include "engine/TupleCompaction.h"

#include <algorithm>
#include <cstdint>
#include <stdexcept>

TupleCompaction::TupleCompaction(const NumericDesign& design, const TupleTable& table, int32_t maxRows)
    : CompactionSearch(design, maxRows, table.numTuples), table_(table), t_(table.t)
{
    if (table.numTuples > static_cast<uint64_t>(INT32_MAX))
        throw std::length_error("TupleCompaction: more tuples than its lists address");
    set_.resize(static_cast<size_t>(t_));
    others_.resize(static_cast<size_t>(t_ - 1));
    tupleFactors_.resize(static_cast<size_t>(t_));
    tupleLevels_.resize(static_cast<size_t>(t_));
    entries_.resize(static_cast<size_t>(t_));
    // A row holds one tuple of each block: no fewer rows than a block has tuples still
    // required after the previous tests.
    fewestRows_ = 1;
    for (const uint32_t uncovered : table.baseBlockUncovered)
        fewestRows_ = std::max(fewestRows_, static_cast<int32_t>(uncovered));
}

template <typename Visit>
void TupleCompaction::ForEachTupleOf(const int32_t* row, Visit visit) const
{
    uint64_t block = 0;
    ForEachColexSet(F_, t_, set_.data(), [&](const int32_t* set) {
        uint64_t code = 0;
        for (int32_t i = t_ - 1; i >= 0; --i)
            code = code * static_cast<uint64_t>(d_.levels[set[i]]) + static_cast<uint64_t>(row[set[i]]);
        visit(static_cast<size_t>(table_.blockOffset[block] + code));
        ++block;
    });
}

template <typename Visit>
void TupleCompaction::ForEachSetWith(const int32_t* row, int32_t f, Visit visit) const
{
    // The (t - 1)-sets of the other factors, f put in its place: the block number grows by
    // C(x, i + 1) for the factor x at place i, the code by its level times the levels before.
    ForEachColexSet(F_ - 1, t_ - 1, others_.data(), [&](const int32_t* others) {
        uint64_t rank = 0, code = 0, multiplier = 1, stride = 0;
        int32_t place = 0;
        const auto take = [&](int32_t x) {
            rank += table_.Binomial(x, ++place);
            if (x == f)
                stride = multiplier;
            else
                code += static_cast<uint64_t>(row[x]) * multiplier;
            multiplier *= static_cast<uint64_t>(d_.levels[x]);
        };
        bool placed = false;
        for (int32_t i = 0; i < t_ - 1; ++i) {
            const int32_t x = others[i] < f ? others[i] : others[i] + 1;
            if (!placed && f < x) {
                take(f);
                placed = true;
            }
            take(x);
        }
        if (!placed)
            take(f);
        visit(static_cast<size_t>(table_.blockOffset[rank] + code), static_cast<size_t>(stride));
    });
}

void TupleCompaction::ResetCounts()
{
    // The required tuples the previous tests leave uncovered; the ones they cover stay covered
    // whatever the generated rows do, so they need no count.
    std::fill(counts_.begin(), counts_.end(), -1);
    for (size_t word = 0; word < table_.baseUncovered.size(); ++word)
        for (uint64_t bits = table_.baseUncovered[word]; bits != 0; bits &= bits - 1)
            counts_[word * 64 + static_cast<size_t>(__builtin_ctzll(bits))] = 0;
}

bool TupleCompaction::ExcludedPair(int32_t f, int32_t lf, int32_t g, int32_t lg) const
{
    return d_.anyExcluded && d_.Excluded(d_.levelOffset[f] + lf, d_.levelOffset[g] + lg);
}

bool TupleCompaction::Clashes(const int32_t* row, int32_t f, int32_t level, int32_t skip) const
{
    if (!d_.anyExcluded)
        return false;
    for (int32_t g = 0; g < F_; ++g) {
        if (g == f || std::find(tupleFactors_.begin(), tupleFactors_.begin() + skip, g) != tupleFactors_.begin() + skip)
            continue;
        if (ExcludedPair(f, level, g, row[g]))
            return true;
    }
    return false;
}

void TupleCompaction::AddCoverage(int32_t r, int32_t sign)
{
    if (sign > 0)
        ForEachTupleOf(RowAt(r), [&](size_t tuple) { CountIn(tuple); });
    else
        ForEachTupleOf(RowAt(r), [&](size_t tuple) { CountOut(tuple); });
}

int32_t TupleCompaction::UniqueOf(int32_t r) const
{
    int32_t alone = 0;
    ForEachTupleOf(RowAt(r), [&](size_t tuple) { alone += counts_[tuple] == 1; });
    return alone;
}

void TupleCompaction::SetCell(int32_t r, int32_t f, int32_t level)
{
    // Tuples that are not required are never counted, so a row may pass through one.
    int32_t* row = RowAt(r);
    const auto old = static_cast<size_t>(row[f]);
    ForEachSetWith(row, f, [&](size_t first, size_t stride) {
        CountOut(first + old * stride);
        CountIn(first + static_cast<size_t>(level) * stride);
    });
    row[f] = level;
    Changed(r, f);
}

int32_t TupleCompaction::Delta(int32_t r, int32_t f, int32_t level) const
{
    const int32_t* row = RowAt(r);
    if (Clashes(row, f, level, 0) || (d_.anyWideRule && d_.constraints->BreaksWideRule(row, f, level)))
        return kInvalid;
    const auto old = static_cast<size_t>(row[f]);
    int32_t delta = 0;
    ForEachSetWith(row, f, [&](size_t first, size_t stride) {
        delta += (counts_[first + old * stride] == 1) - (counts_[first + static_cast<size_t>(level) * stride] == 0);
    });
    return delta;
}

void TupleCompaction::TakeItem(size_t item)
{
    const auto tuple = static_cast<uint32_t>(item);
    const auto block = static_cast<uint64_t>(
        std::upper_bound(table_.blockOffset.begin(), table_.blockOffset.end(), tuple) - table_.blockOffset.begin() - 1);
    table_.Unrank(block, tupleFactors_.data());
    table_.LevelsOf(tupleFactors_.data(), tuple - table_.blockOffset[block], tupleLevels_.data());
}

bool TupleCompaction::OneCellAway(const int32_t* row, int32_t& f, int32_t& level) const
{
    // The tuple is uncovered, so no row holds all of it.
    f = -1;
    for (int32_t i = 0; i < t_; ++i) {
        if (row[tupleFactors_[i]] == tupleLevels_[i])
            continue;
        if (f >= 0)
            return false;
        f = tupleFactors_[i];
        level = tupleLevels_[i];
    }
    return f >= 0;
}

void TupleCompaction::ForceCover(RandomStream& random)
{
    const int32_t r = random.RandomIndex(P_, numRows_ - 1);
    const int32_t* row = RowAt(r);
    bool valid = true;
    for (int32_t i = 0; i < t_ && valid; ++i)
        valid = !Clashes(row, tupleFactors_[i], tupleLevels_[i], t_);
    if (valid && !BreaksWideRuleWith(r, tupleFactors_.data(), tupleLevels_.data(), t_)) {
        for (int32_t i = 0; i < t_; ++i)
            if (row[tupleFactors_[i]] != tupleLevels_[i])
                SetCell(r, tupleFactors_[i], tupleLevels_[i]);
    } else if (solver_) {
        for (int32_t i = 0; i < t_; ++i)
            entries_[static_cast<size_t>(i)] = d_.levelOffset[tupleFactors_[i]] + tupleLevels_[i];
        RemakeRow(r, entries_.data(), t_, random);
    }
}
