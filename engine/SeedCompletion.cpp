#include "engine/SeedCompletion.h"

#include "engine/ConstraintModel.h"
#include "engine/ConstraintSolver.h"

namespace {

// The pairs of level entries the rows so far hold; not kept for designs too large for a
// table of every pair, whose seeds then take the first level that fits.
class HeldPairs {
public:
    explicit HeldPairs(int32_t entries) : entries_(entries <= kMaxEntries ? entries : 0)
    {
        held_.assign(static_cast<size_t>(entries_) * static_cast<size_t>(entries_), 0);
    }
    void Add(const std::vector<int32_t>& entries)
    {
        for (size_t i = 0; entries_ > 0 && i < entries.size(); ++i)
            for (size_t j = 0; j < entries.size(); ++j)
                held_[static_cast<size_t>(entries[i]) * static_cast<size_t>(entries_) + static_cast<size_t>(entries[j])] = 1;
    }
    // The pairs the entry makes with the chosen ones that no row holds yet.
    int32_t New(int32_t entry, const std::vector<int32_t>& chosen) const
    {
        int32_t count = 0;
        for (size_t i = 0; entries_ > 0 && i < chosen.size(); ++i)
            count += held_[static_cast<size_t>(entry) * static_cast<size_t>(entries_) + static_cast<size_t>(chosen[i])] ? 0 : 1;
        return count;
    }

private:
    static constexpr int32_t kMaxEntries = 4096;
    int32_t entries_;
    std::vector<uint8_t> held_;
};

std::vector<int32_t> EntriesOf(const ConstraintModel& model, const std::vector<int32_t>& row)
{
    std::vector<int32_t> entries;
    for (int32_t f = 0; f < model.NumFactors(); ++f)
        if (row[static_cast<size_t>(f)] >= 0)
            entries.push_back(model.LevelOffset()[static_cast<size_t>(f)] + row[static_cast<size_t>(f)]);
    return entries;
}

// The best level of free factor f for the row whose fixed entries are given, or -1 when no
// level leaves it completable. Invalid levels only when no valid one fits.
int32_t BestLevel(const ConstraintModel& model, ConstraintSolver& solver, const HeldPairs& held,
                  const std::vector<int32_t>& weights, int32_t f, std::vector<int32_t>& entries)
{
    const int32_t first = model.LevelOffset()[static_cast<size_t>(f)];
    for (const bool allowInvalid : {false, true}) {
        int32_t best = -1, bestNew = -1, bestWeight = 0;
        for (int32_t l = 0; l < model.Levels()[static_cast<size_t>(f)]; ++l) {
            const int32_t entry = first + l;
            if (model.Invalid(entry) != allowInvalid)
                continue;
            const int32_t fresh = held.New(entry, entries);
            const int32_t weight = weights.empty() ? 1 : weights[static_cast<size_t>(entry)];
            if (fresh < bestNew || (fresh == bestNew && weight <= bestWeight))
                continue;
            entries.push_back(entry);
            if (solver.Feasible(entries.data(), static_cast<int32_t>(entries.size())))
                best = l, bestNew = fresh, bestWeight = weight;
            entries.pop_back();
        }
        if (best >= 0)
            return best;
    }
    return -1;
}

}  // namespace

int32_t CompleteSeedRows(const ConstraintModel& model, const std::vector<std::vector<int32_t>>& previous,
                         std::vector<std::vector<int32_t>>& rows, const std::vector<int32_t>& weights)
{
    ConstraintSolver solver(model);
    HeldPairs held(model.NumEntries());
    for (const std::vector<int32_t>& row : previous)
        held.Add(EntriesOf(model, row));
    for (size_t r = 0; r < rows.size(); ++r) {
        std::vector<int32_t> row = rows[r];
        std::vector<int32_t> entries = EntriesOf(model, row);
        if (!solver.Feasible(entries.data(), static_cast<int32_t>(entries.size())))
            return static_cast<int32_t>(r);
        for (int32_t f = 0; f < model.NumFactors(); ++f) {
            if (row[static_cast<size_t>(f)] >= 0)
                continue;
            const int32_t level = BestLevel(model, solver, held, weights, f, entries);
            if (level < 0)
                return static_cast<int32_t>(r);
            row[static_cast<size_t>(f)] = level;
            entries.push_back(model.LevelOffset()[static_cast<size_t>(f)] + level);
        }
        if (!model.RowIsValid(row.data()))
            return static_cast<int32_t>(r);
        held.Add(entries);
        rows[r] = std::move(row);
    }
    return -1;
}
