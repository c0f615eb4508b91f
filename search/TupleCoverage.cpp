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

}  // namespace

TupleCoverage CountTupleCoverage(const DesignTables& design, const ConstraintModel& constraints,
                                 const std::vector<std::vector<std::string>>& matrix, int32_t strength, bool listMissing)
{
    TupleCoverage coverage;
    const int32_t F = design.NumFactors();
    const int32_t t = std::min(strength, F);
    if (t < 2)
        return coverage;
    const std::vector<int32_t>& levelOffset = constraints.LevelOffset();
    const auto holdsForbidden = [&](const int32_t* factors, const int32_t* levels, int32_t count) {
        for (int32_t i = 0; i < count; ++i)
            for (int32_t j = i + 1; j < count; ++j)
                if (levels[i] >= 0 && levels[j] >= 0 &&
                    constraints.NamesPair(levelOffset[factors[i]] + levels[i], levelOffset[factors[j]] + levels[j]))
                    return true;
        return false;
    };

    const std::vector<std::vector<int32_t>> prevRuns = Codes(design, design.prevRuns);
    const std::vector<std::vector<int32_t>> rows = Codes(design, matrix);
    for (const auto& row : rows) {
        const bool complete = std::find(row.begin(), row.end(), -1) == row.end();
        coverage.violation = coverage.violation || (complete && !constraints.RowIsValid(row.data()));
    }

    // Only a listing of the missing ones with constraints asks whether a valid test case holds one.
    std::unique_ptr<ConstraintSolver> solver;
    if (listMissing && constraints.HasConstraints())
        solver = std::make_unique<ConstraintSolver>(constraints);
    std::vector<int32_t> set(static_cast<size_t>(t)), levels(static_cast<size_t>(t)), entries(static_cast<size_t>(t));
    std::vector<char> seen;
    ForEachColexSet(F, t, set.data(), [&](const int32_t* factors) {
        // The combinations of these factors, the first factor's level changing fastest.
        int64_t combinations = 1;
        for (int32_t i = 0; i < t; ++i)
            combinations *= design.levelCounts[factors[i]];
        seen.assign(static_cast<size_t>(combinations), 0);
        const auto mark = [&](const std::vector<int32_t>& row) {
            int64_t code = 0;
            for (int32_t i = t - 1; i >= 0; --i) {
                if (row[factors[i]] < 0)
                    return;
                code = code * design.levelCounts[factors[i]] + row[factors[i]];
            }
            seen[static_cast<size_t>(code)] = 1;
        };
        for (const auto& row : prevRuns)
            mark(row);
        for (const auto& row : rows)
            mark(row);
        for (int64_t code = 0; code < combinations; ++code) {
            int64_t rest = code;
            for (int32_t i = 0; i < t; ++i) {
                levels[i] = static_cast<int32_t>(rest % design.levelCounts[factors[i]]);
                rest /= design.levelCounts[factors[i]];
            }
            if (seen[static_cast<size_t>(code)] || holdsForbidden(factors, levels.data(), t)) {
                ++coverage.found;
                continue;
            }
            ++coverage.missing;
            if (!listMissing)
                continue;
            TupleCoverage::Missing missing;
            for (int32_t i = 0; i < t; ++i) {
                missing.factors.push_back(factors[i] + 1);
                missing.levels.push_back(levels[i] + 1);
                entries[i] = levelOffset[factors[i]] + levels[i];
            }
            missing.excludedTogether = solver && !solver->Feasible(entries.data(), t);
            coverage.missingCombinations.push_back(std::move(missing));
        }
    });
    return coverage;
}
