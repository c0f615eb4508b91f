#include "engine/ImpliedExclusions.h"

#include "engine/ConstraintModel.h"
#include "engine/ConstraintSolver.h"

#include <algorithm>
#include <bit>

namespace {

// Which pairs of levels some witness held: per level entry, a bit set over the entries of the
// factors after its own, from the word that holds the first of them on. Their size grows with
// the pairs of levels of two factors, not with the square of all levels.
class WitnessedPairs {
public:
    explicit WitnessedPairs(const ConstraintModel& model)
        : words_(model.LevelWords()), start_(static_cast<size_t>(model.NumEntries())), first_(start_.size() + 1, 0)
    {
        const std::vector<int32_t>& offset = model.LevelOffset();
        for (int32_t e = 0; e < model.NumEntries(); ++e) {
            const int32_t after = offset[static_cast<size_t>(model.LevelFactor()[static_cast<size_t>(e)]) + 1];
            start_[static_cast<size_t>(e)] = std::min(after >> 6, words_);
            first_[static_cast<size_t>(e) + 1] = first_[static_cast<size_t>(e)] + static_cast<size_t>(words_ - start_[static_cast<size_t>(e)]);
        }
        bits_.assign(first_.back(), 0);
    }
    // The first word of the entry's set, over all entries, and the word w (from it on).
    int32_t StartWord(int32_t entry) const { return start_[static_cast<size_t>(entry)]; }
    uint64_t& Word(int32_t entry, int32_t w)
    {
        return bits_[first_[static_cast<size_t>(entry)] + static_cast<size_t>(w - StartWord(entry))];
    }

private:
    int32_t words_;
    std::vector<int32_t> start_;
    std::vector<size_t> first_;
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

    // Every pair of levels a witness holds is held by a valid row: only the pairs no witness
    // holds need a question of their own.
    const int32_t words = model.LevelWords();
    WitnessedPairs witnessed(model);
    std::vector<uint64_t> live(static_cast<size_t>(words), 0);
    std::vector<uint64_t> held(static_cast<size_t>(words));
    std::vector<int32_t> heldEntries;
    auto absorbWitness = [&] {
        std::fill(held.begin(), held.end(), uint64_t{0});
        heldEntries.clear();
        for (int32_t e = 0; e < entries; ++e)
            if (solver.Holds(e)) {
                held[static_cast<size_t>(e >> 6)] |= uint64_t{1} << (e & 63);
                heldEntries.push_back(e);
            }
        for (int32_t w = 0; w < words; ++w)
            live[static_cast<size_t>(w)] |= held[static_cast<size_t>(w)];
        for (const int32_t e : heldEntries)
            for (int32_t w = witnessed.StartWord(e); w < words; ++w)
                witnessed.Word(e, w) |= held[static_cast<size_t>(w)];
    };
    absorbWitness();
    const auto isLive = [&](int32_t e) { return (live[static_cast<size_t>(e >> 6)] >> (e & 63)) & 1; };

    for (int32_t e = 0; e < entries; ++e) {
        if (isLive(e))
            continue;
        if (solver.Feasible(&e, 1))
            absorbWitness();
        else
            found.deadLevels.push_back(e);
    }

    // The pairs of a live level with a live level of a later factor that neither a witness
    // holds nor the constraints exclude, word by word.
    std::vector<uint64_t> excluded(static_cast<size_t>(words), 0);
    for (int32_t a = 0; a < entries; ++a) {
        if (!isLive(a))
            continue;
        const int32_t after = levelOffset[static_cast<size_t>(model.LevelFactor()[static_cast<size_t>(a)]) + 1];
        model.Exclusions().ForEachWord(a, [&](int32_t w, uint64_t bits) { excluded[static_cast<size_t>(w)] = bits; });
        for (int32_t w = witnessed.StartWord(a); w < words; ++w) {
            uint64_t open = live[static_cast<size_t>(w)] & ~excluded[static_cast<size_t>(w)] & ~witnessed.Word(a, w);
            if (w == after >> 6)
                open &= ~((uint64_t{1} << (after & 63)) - 1);  // the levels of the later factors only
            for (; open != 0; open &= open - 1) {
                const int32_t pair[2] = {a, w * 64 + std::countr_zero(open)};
                // A witness found on the way may hold the pairs still to come.
                if ((witnessed.Word(a, w) >> (pair[1] & 63)) & 1)
                    continue;
                if (solver.Feasible(pair, 2))
                    absorbWitness();
                else
                    found.pairs.emplace_back(pair[0], pair[1]);
            }
        }
        model.Exclusions().ForEachWord(a, [&](int32_t w, uint64_t) { excluded[static_cast<size_t>(w)] = 0; });
    }
    found.solverCalls = solver.SolverCalls();
    return found;
}
