#include "engine/TupleCompaction.h"

#include <algorithm>
#include <stdexcept>

namespace {

size_t TotalItems(const std::vector<TupleTable>& tables)
{
    size_t items = 0;
    for (const TupleTable& table : tables)
        items += table.numTuples;
    if (items > static_cast<size_t>(INT32_MAX))
        throw std::length_error("TupleCompaction: more tuples than its lists address");
    return items;
}

}  // namespace

TupleCompaction::TupleCompaction(const NumericDesign& design, const std::vector<TupleTable>& tables, int32_t maxRows)
    : CompactionSearch(design, maxRows, TotalItems(tables), kTabuMoves), tables_(tables)
{
    firstItem_.push_back(0);
    fewestRows_ = 1;
    for (const TupleTable& table : tables) {
        firstItem_.push_back(firstItem_.back() + table.numTuples);
        // A row holds one tuple of each block of a table it counts for.
        for (const uint32_t uncovered : table.baseBlockUncovered)
            fewestRows_ = std::max(fewestRows_, static_cast<int32_t>(uncovered));
    }
    set_.resize(static_cast<size_t>(TupleTable::kMaxStrength));
    others_.resize(static_cast<size_t>(TupleTable::kMaxStrength));
    visitedFactors_.resize(static_cast<size_t>(TupleTable::kMaxStrength));
    itemFactors_.resize(static_cast<size_t>(TupleTable::kMaxStrength));
    itemLevels_.resize(static_cast<size_t>(TupleTable::kMaxStrength));
    entries_.resize(static_cast<size_t>(TupleTable::kMaxStrength));
}

bool TupleCompaction::Clashes(const int32_t* row, int32_t f, int32_t level, int32_t skip) const
{
    if (!d_.anyExcluded)
        return false;
    const int32_t entry = d_.levelOffset[f] + level;
    for (int32_t g = 0; g < F_; ++g) {
        if (g == f || std::find(itemFactors_.begin(), itemFactors_.begin() + skip, g) != itemFactors_.begin() + skip)
            continue;
        if (d_.Excluded(entry, d_.levelOffset[g] + row[g]))
            return true;
    }
    return false;
}

template <typename Visit>
void TupleCompaction::ForEachItemOf(const int32_t* row, Visit visit) const
{
    const int32_t invalid = InvalidFactorOf(row);
    for (size_t k = 0; k < tables_.size(); ++k) {
        const TupleTable& table = tables_[k];
        if ((table.kind == TupleTable::Kind::Valid) != (invalid < 0))
            continue;
        if (table.kind == TupleTable::Kind::InvalidPairs) {
            // Over every factor: its factors are the design's. Only the invalid level's pairs count.
            for (int32_t g = 0; g < F_; ++g) {
                if (g == invalid)
                    continue;
                const int32_t pair[2] = {std::min(invalid, g), std::max(invalid, g)};
                const int32_t levels[2] = {row[pair[0]], row[pair[1]]};
                visit(firstItem_[k] + table.Bit(pair, levels), pair, 2);
            }
            continue;
        }
        uint64_t block = 0;
        int32_t* factors = visitedFactors_.data();
        ForEachColexSet(table.F, table.t, set_.data(), [&](const int32_t* set) {
            uint64_t code = 0;
            for (int32_t i = table.t - 1; i >= 0; --i) {
                factors[i] = table.factors[static_cast<size_t>(set[i])];
                code = code * static_cast<uint64_t>(table.levels[set[i]]) + static_cast<uint64_t>(row[factors[i]]);
            }
            visit(firstItem_[k] + table.Offset(block) + code, static_cast<const int32_t*>(factors), table.t);
            ++block;
        });
    }
}

template <typename Visit>
void TupleCompaction::ForEachItemWith(const int32_t* row, int32_t f, Visit visit) const
{
    const int32_t invalid = InvalidFactorOf(row);
    for (size_t k = 0; k < tables_.size(); ++k) {
        const TupleTable& table = tables_[k];
        if ((table.kind == TupleTable::Kind::Valid) != (invalid < 0))
            continue;
        if (table.kind == TupleTable::Kind::InvalidPairs) {
            // The pairs of the invalid level with f, or all of them when f is its factor.
            for (int32_t g = 0; g < F_; ++g) {
                if (g == invalid || (f != invalid && g != f))
                    continue;
                const int32_t a = std::min(invalid, g), b = std::max(invalid, g);
                const int32_t pair[2] = {a, b};
                const uint64_t first = firstItem_[k] + table.Offset(table.Binomial(a, 1) + table.Binomial(b, 2));
                const uint64_t width = static_cast<uint64_t>(table.levels[a]);
                if (f == a)
                    visit(first + static_cast<uint64_t>(row[b]) * width, uint64_t{1}, pair, 2);
                else
                    visit(first + static_cast<uint64_t>(row[a]), width, pair, 2);
            }
            continue;
        }
        const auto at = std::lower_bound(table.factors.begin(), table.factors.end(), f);
        if (at == table.factors.end() || *at != f)
            continue;
        const auto fl = static_cast<int32_t>(at - table.factors.begin());
        // The (t - 1)-sets of the table's other factors, f put in its place: the block number
        // grows by C(x, i + 1) for the factor x at place i, the code by its level times the levels before.
        int32_t* factors = visitedFactors_.data();
        ForEachColexSet(table.F - 1, table.t - 1, others_.data(), [&](const int32_t* others) {
            uint64_t rank = 0, code = 0, multiplier = 1, stride = 0;
            int32_t place = 0;
            const auto take = [&](int32_t x) {
                factors[place] = table.factors[static_cast<size_t>(x)];
                rank += table.Binomial(x, ++place);
                if (x == fl)
                    stride = multiplier;
                else
                    code += static_cast<uint64_t>(row[table.factors[static_cast<size_t>(x)]]) * multiplier;
                multiplier *= static_cast<uint64_t>(table.levels[static_cast<size_t>(x)]);
            };
            bool placed = false;
            for (int32_t i = 0; i < table.t - 1; ++i) {
                const int32_t x = others[i] < fl ? others[i] : others[i] + 1;
                if (!placed && fl < x) {
                    take(fl);
                    placed = true;
                }
                take(x);
            }
            if (!placed)
                take(fl);
            visit(firstItem_[k] + table.Offset(rank) + code, stride, static_cast<const int32_t*>(factors), table.t);
        });
    }
}

void TupleCompaction::ResetCounts()
{
    // The required tuples the previous tests leave uncovered; the ones they cover need no count.
    for (size_t item = 0; item < NumItems(); ++item)
        SetCount(item, kSettled);
    for (size_t k = 0; k < tables_.size(); ++k) {
        const std::vector<uint64_t>& bits = tables_[k].baseUncovered;
        for (size_t word = 0; word < bits.size(); ++word)
            for (uint64_t set = bits[word]; set != 0; set &= set - 1)
                SetCount(firstItem_[k] + word * 64 + static_cast<size_t>(__builtin_ctzll(set)), 0);
    }
}

void TupleCompaction::AddCoverage(int32_t r, int32_t sign)
{
    if (sign > 0)
        ForEachItemOf(RowAt(r), [&](size_t item, const int32_t* factors, int32_t t) { CountIn(item, r, factors, t); });
    else
        ForEachItemOf(RowAt(r), [&](size_t item, const int32_t* factors, int32_t t) { CountOut(item, r, factors, t); });
}

void TupleCompaction::TakeItem(size_t item)
{
    table_ = static_cast<size_t>(std::upper_bound(firstItem_.begin(), firstItem_.end(), item) - firstItem_.begin() - 1);
    const TupleTable& table = tables_[table_];
    const auto tuple = static_cast<uint32_t>(item - firstItem_[table_]);
    const auto block = static_cast<uint64_t>(
        std::upper_bound(table.blockOffset.begin(), table.blockOffset.end(), tuple) - table.blockOffset.begin() - 1);
    t_ = table.t;
    table.Unrank(block, set_.data());
    table.LevelsOf(set_.data(), tuple - table.Offset(block), itemLevels_.data());
    for (int32_t i = 0; i < t_; ++i) {
        itemFactors_[static_cast<size_t>(i)] = table.factors[static_cast<size_t>(set_[static_cast<size_t>(i)])];
        entries_[static_cast<size_t>(i)] = d_.levelOffset[itemFactors_[static_cast<size_t>(i)]] + itemLevels_[static_cast<size_t>(i)];
    }
}

bool TupleCompaction::OneCellAway(const int32_t* row, int32_t& f, int32_t& level) const
{
    // Only a row of the kind that counts for the tuple: without an invalid level for one of
    // valid levels, with the tuple's invalid level's factor for an invalid-level pair.
    int32_t needed = -1;
    for (int32_t i = 0; i < t_; ++i)
        if (InvalidLevel(itemFactors_[static_cast<size_t>(i)], itemLevels_[static_cast<size_t>(i)]))
            needed = itemFactors_[static_cast<size_t>(i)];
    if (InvalidFactorOf(row) != needed)
        return false;
    f = -1;
    for (int32_t i = 0; i < t_; ++i) {
        if (row[itemFactors_[static_cast<size_t>(i)]] == itemLevels_[static_cast<size_t>(i)])
            continue;
        if (f >= 0)
            return false;
        f = itemFactors_[static_cast<size_t>(i)];
        level = itemLevels_[static_cast<size_t>(i)];
    }
    return f >= 0;
}

bool TupleCompaction::Allowed(int32_t r, int32_t f, int32_t level) const
{
    const int32_t* row = RowAt(r);
    return InvalidLevel(f, row[f]) == InvalidLevel(f, level) && !Clashes(row, f, level, 0) &&
           !(d_.anyWideRule && d_.constraints->BreaksWideRule(row, f, level));
}

int32_t TupleCompaction::Delta(int32_t r, int32_t f, int32_t level, int32_t& count) const
{
    const int32_t* row = RowAt(r);
    const int32_t old = row[f];
    int32_t delta = 0;
    count = 0;
    ForEachItemWith(row, f, [&](size_t first, size_t stride, const int32_t*, int32_t) {
        const size_t before = first + static_cast<size_t>(old) * stride, now = first + static_cast<size_t>(level) * stride;
        count += (Count(before) == 1) - (Count(now) == 0);
        delta += Lost(before) - Gained(now);
    });
    return delta;
}

void TupleCompaction::SetCell(int32_t r, int32_t f, int32_t level)
{
    int32_t* row = RowAt(r);
    const int32_t old = row[f];
    if (InvalidLevel(f, old) != InvalidLevel(f, level)) {
        // The row changes kind: it counts for other tables now.
        AddCoverage(r, -1);
        row[f] = level;
        AddCoverage(r, 1);
    } else {
        ForEachItemWith(row, f, [&](size_t first, size_t stride, const int32_t* factors, int32_t t) {
            CountOut(first + static_cast<size_t>(old) * stride, r, factors, t);
            CountIn(first + static_cast<size_t>(level) * stride, r, factors, t);
        });
        row[f] = level;
    }
    Changed(r, f);
}

void TupleCompaction::ForceCover(RandomStream& random)
{
    const int32_t r = random.RandomIndex(P_, numRows_ - 1);
    const int32_t* row = RowAt(r);
    int32_t needed = -1;  // the tuple's invalid level's factor
    for (int32_t i = 0; i < t_; ++i)
        if (InvalidLevel(itemFactors_[static_cast<size_t>(i)], itemLevels_[static_cast<size_t>(i)]))
            needed = itemFactors_[static_cast<size_t>(i)];
    // The row's own invalid level must go with the change unless it is the tuple's: a second
    // one is an excluded pair, and a tuple of valid levels counts only in a row without one.
    const int32_t invalid = InvalidFactorOf(row);
    bool simple = invalid < 0 || invalid == needed ||
                  std::find(itemFactors_.begin(), itemFactors_.begin() + t_, invalid) != itemFactors_.begin() + t_;
    for (int32_t i = 0; i < t_ && simple; ++i)
        simple = !Clashes(row, itemFactors_[static_cast<size_t>(i)], itemLevels_[static_cast<size_t>(i)], t_);
    if (simple && !BreaksWideRuleWith(r, itemFactors_.data(), itemLevels_.data(), t_)) {
        for (int32_t i = 0; i < t_; ++i)
            if (row[itemFactors_[static_cast<size_t>(i)]] != itemLevels_[static_cast<size_t>(i)])
                SetCell(r, itemFactors_[static_cast<size_t>(i)], itemLevels_[static_cast<size_t>(i)]);
    } else if (solver_) {
        RemakeRow(r, entries_.data(), t_, random, needed < 0);
    }
}
