#include "engine/ImpliedExclusions.h"

#include "engine/ConstraintModel.h"
#include "engine/ConstraintSolver.h"

#include <algorithm>

namespace {

// Bit sets of level entries, one per level entry.
class EntrySets {
public:
    explicit EntrySets(int32_t entries) : words_((entries + 63) / 64), bits_(static_cast<size_t>(entries) * words_, 0) {}
    uint64_t* Of(int32_t entry) { return &bits_[static_cast<size_t>(entry) * words_]; }
    bool Has(int32_t entry, int32_t other) const
    {
        return (bits_[static_cast<size_t>(entry) * words_ + (other >> 6)] >> (other & 63)) & 1;
    }
    void Add(int32_t entry, int32_t other) { Of(entry)[other >> 6] |= uint64_t{1} << (other & 63); }
    int32_t Words() const { return words_; }

private:
    int32_t words_;
    std::vector<uint64_t> bits_;
};

}  // namespace

ImpliedExclusions FindImpliedExclusions(const ConstraintModel& model)
{
    const std::vector<int32_t>& levelOffset = model.LevelOffset();
    ImpliedExclusions found;
    found.levelOffset = levelOffset;
    const int32_t entries = levelOffset.back();
    ConstraintSolver solver(model);
    if (!solver.Feasible(nullptr, 0)) {
        found.anyValidRow = false;
        found.solverCalls = solver.SolverCalls();
        return found;
    }

    std::vector<int32_t> factorOf(static_cast<size_t>(entries));
    for (size_t f = 0; f + 1 < levelOffset.size(); ++f)
        std::fill(factorOf.begin() + levelOffset[f], factorOf.begin() + levelOffset[f + 1], static_cast<int32_t>(f));

    // Every pair of levels a witness holds is held by a valid row: only the pairs no witness
    // holds need a question of their own.
    EntrySets witnessed(entries);
    std::vector<uint8_t> live(static_cast<size_t>(entries), 0);
    std::vector<uint64_t> held(static_cast<size_t>(witnessed.Words()));
    std::vector<int32_t> heldEntries;
    auto absorbWitness = [&] {
        std::fill(held.begin(), held.end(), uint64_t{0});
        heldEntries.clear();
        for (int32_t e = 0; e < entries; ++e)
            if (solver.Holds(e)) {
                held[static_cast<size_t>(e >> 6)] |= uint64_t{1} << (e & 63);
                heldEntries.push_back(e);
                live[static_cast<size_t>(e)] = 1;
            }
        for (int32_t e : heldEntries) {
            uint64_t* set = witnessed.Of(e);
            for (int32_t w = 0; w < witnessed.Words(); ++w)
                set[w] |= held[static_cast<size_t>(w)];
        }
    };
    absorbWitness();

    for (int32_t e = 0; e < entries; ++e) {
        if (live[static_cast<size_t>(e)])
            continue;
        if (solver.Feasible(&e, 1))
            absorbWitness();
        else
            found.deadLevels.push_back(e);
    }

    for (int32_t a = 0; a < entries; ++a) {
        if (!live[static_cast<size_t>(a)])
            continue;
        for (int32_t b = levelOffset[static_cast<size_t>(factorOf[static_cast<size_t>(a)]) + 1]; b < entries; ++b) {
            if (!live[static_cast<size_t>(b)] || witnessed.Has(a, b) || model.Excluded(a, b))
                continue;
            const int32_t pair[2] = {a, b};
            if (solver.Feasible(pair, 2))
                absorbWitness();
            else
                found.pairs.emplace_back(a, b);
        }
    }
    found.solverCalls = solver.SolverCalls();
    return found;
}
