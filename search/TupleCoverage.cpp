#include "search/TupleCoverage.h"

#include "engine/ConstraintSolver.h"
#include "engine/TupleTable.h"

#include <algorithm>
#include <map>
#include <memory>
#include <set>
#include <utility>

namespace {

// Level codes (0-based, -1 for a name that is no level) of each row, the levels as test cases
// show them; the first matching level wins, a plain name before a shown one.
std::vector<std::vector<int32_t>> Codes(const DesignTables& design, const std::vector<std::vector<std::string>>& rows)
{
    const int32_t F = design.NumFactors();
    std::vector<std::map<std::string, int32_t>> byName(static_cast<size_t>(F));
    for (int32_t f = 0; f < F; ++f) {
        for (int32_t l = design.levelCounts[f]; l >= 1; --l)
            byName[f][design.ShownName(f, l)] = l - 1;
        for (int32_t l = design.levelCounts[f]; l >= 1; --l)
            byName[f][design.Name(f, l)] = l - 1;
    }
    std::vector<std::vector<int32_t>> codes;
    for (const auto& row : rows) {
        std::vector<int32_t> coded(static_cast<size_t>(F), -1);
        for (int32_t f = 0; f < F && static_cast<size_t>(f) < row.size(); ++f) {
            const auto found = byName[f].find(row[f]);
            coded[f] = found == byName[f].end() ? -1 : found->second;
        }
        codes.push_back(std::move(coded));
    }
    return codes;
}

// Counts the combinations of a kind over some factors against the rows, previous tests first.
class CoverageCounter {
public:
    CoverageCounter(const DesignTables& design, const ConstraintModel& constraints,
                    const std::vector<std::vector<std::string>>& matrix, bool listMissing)
        : design_(design), constraints_(constraints), listMissing_(listMissing)
    {
        rows_ = Codes(design, design.prevRuns);
        const std::vector<std::vector<int32_t>> generated = Codes(design, matrix);
        for (const auto& row : generated) {
            const bool complete = std::find(row.begin(), row.end(), -1) == row.end();
            violation_ = violation_ || (complete && !constraints.RowIsValid(row.data()));
        }
        rows_.insert(rows_.end(), generated.begin(), generated.end());
        // Only a listing of the missing ones with constraints asks whether a valid test case holds one.
        if (listMissing && constraints.HasConstraints())
            solver_ = std::make_unique<ConstraintSolver>(constraints);
    }

    bool Violation() const { return violation_; }

    // The combinations of `invalid` invalid levels (0: of valid levels; 1: the invalid-level
    // pairs) of every t of the factors, found in the rows that hold as many invalid levels.
    void Count(const std::vector<int32_t>& factors, int32_t t, int32_t invalid, int64_t& found, int64_t& missing,
               std::vector<TupleCoverage::Missing>* missingList);

private:
    int32_t InvalidIn(const std::vector<int32_t>& row) const
    {
        int32_t count = 0;
        for (size_t f = 0; constraints_.HasInvalidLevels() && f < row.size(); ++f)
            count += row[f] >= 0 && constraints_.Invalid(constraints_.LevelOffset()[f] + row[f]);
        return count;
    }
    bool HoldsNamedPair(const int32_t* factors, const int32_t* levels, int32_t count) const
    {
        const std::vector<int32_t>& offset = constraints_.LevelOffset();
        for (int32_t i = 0; i < count; ++i)
            for (int32_t j = i + 1; j < count; ++j)
                if (constraints_.NamesPair(offset[factors[i]] + levels[i], offset[factors[j]] + levels[j]))
                    return true;
        return false;
    }
    void CountSet(const int32_t* factors, int32_t t, int32_t invalid, int64_t& found, int64_t& missing,
                  std::vector<TupleCoverage::Missing>* missingList);

    const DesignTables& design_;
    const ConstraintModel& constraints_;
    bool listMissing_;
    std::vector<std::vector<int32_t>> rows_;
    bool violation_ = false;
    std::unique_ptr<ConstraintSolver> solver_;
    std::vector<char> seen_;
};

void CoverageCounter::Count(const std::vector<int32_t>& factors, int32_t t, int32_t invalid, int64_t& found,
                            int64_t& missing, std::vector<TupleCoverage::Missing>* missingList)
{
    std::vector<int32_t> local(static_cast<size_t>(t)), set(static_cast<size_t>(t));
    ForEachColexSet(static_cast<int32_t>(factors.size()), t, local.data(), [&](const int32_t* chosen) {
        for (int32_t i = 0; i < t; ++i)
            set[static_cast<size_t>(i)] = factors[static_cast<size_t>(chosen[i])];
        CountSet(set.data(), t, invalid, found, missing, missingList);
    });
}

void CoverageCounter::CountSet(const int32_t* factors, int32_t t, int32_t invalid, int64_t& found, int64_t& missing,
                               std::vector<TupleCoverage::Missing>* missingList)
{
    // The combinations of these factors, the first factor's level changing fastest.
    int64_t combinations = 1;
    for (int32_t i = 0; i < t; ++i)
        combinations *= design_.levelCounts[factors[i]];
    seen_.assign(static_cast<size_t>(combinations), 0);
    for (const auto& row : rows_) {
        if (InvalidIn(row) != invalid)
            continue;
        int64_t code = 0;
        bool held = true;
        for (int32_t i = t - 1; i >= 0 && held; --i) {
            held = row[factors[i]] >= 0;
            code = code * design_.levelCounts[factors[i]] + row[factors[i]];
        }
        if (held)
            seen_[static_cast<size_t>(code)] = 1;
    }
    std::vector<int32_t> levels(static_cast<size_t>(t)), entries(static_cast<size_t>(t)), combination(design_.levelCounts.size(), -1);
    for (int64_t code = 0; code < combinations; ++code) {
        int64_t rest = code;
        for (int32_t i = 0; i < t; ++i) {
            levels[i] = static_cast<int32_t>(rest % design_.levelCounts[factors[i]]);
            rest /= design_.levelCounts[factors[i]];
            entries[i] = constraints_.LevelOffset()[factors[i]] + levels[i];
            combination[factors[i]] = levels[i];
        }
        const int32_t invalidHere = InvalidIn(combination);
        for (int32_t i = 0; i < t; ++i)
            combination[factors[i]] = -1;
        if (invalidHere != invalid)
            continue;  // not a combination of this kind
        if (seen_[static_cast<size_t>(code)] || HoldsNamedPair(factors, levels.data(), t)) {
            ++found;
            continue;
        }
        ++missing;
        if (!listMissing_ || !missingList)
            continue;
        TupleCoverage::Missing entry;
        for (int32_t i = 0; i < t; ++i) {
            entry.factors.push_back(factors[i] + 1);
            entry.levels.push_back(levels[i] + 1);
        }
        entry.excludedTogether =
            !constraints_.AnyValidRow() || (solver_ && !solver_->Feasible(entries.data(), t, invalid == 0));
        missingList->push_back(std::move(entry));
    }
}

}  // namespace

TupleCoverage CountTupleCoverage(const DesignTables& design, const ConstraintModel& constraints,
                                 const std::vector<std::vector<std::string>>& matrix, int32_t strength, bool listMissing)
{
    TupleCoverage coverage;
    const int32_t F = design.NumFactors();
    const int32_t t = std::min(strength, F);
    if (t < 2)
        return coverage;
    CoverageCounter counter(design, constraints, matrix, listMissing);
    coverage.violation = counter.Violation();
    std::vector<int32_t> all(static_cast<size_t>(F));
    for (int32_t f = 0; f < F; ++f)
        all[static_cast<size_t>(f)] = f;
    counter.Count(all, t, 0, coverage.found, coverage.missing, &coverage.missingCombinations);
    if (constraints.HasInvalidLevels())
        counter.Count(all, 2, 1, coverage.invalidFound, coverage.invalidMissing, &coverage.missingCombinations);
    for (const CompiledGroup& group : constraints.Groups()) {
        TupleCoverage::Group& counted = coverage.groups.emplace_back();
        counted.statement = group.statement;
        counted.strength = group.strength;
        for (const int32_t f : group.factors)
            counted.factors.push_back(f + 1);
        counter.Count(group.factors, group.strength, 0, counted.found, counted.missing, nullptr);
    }
    return coverage;
}
