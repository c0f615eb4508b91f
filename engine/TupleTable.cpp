#include "engine/TupleTable.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <functional>
#include <limits>
#include <stdexcept>

namespace {

// Sums over every t-set of factors of the product of their level counts (the elementary
// symmetric polynomial), in doubles so that no size overflows; also the number of t-sets.
void CountTuples(const std::vector<int32_t>& levels, int32_t t, double& tuples, double& sets)
{
    std::vector<double> byProduct(static_cast<size_t>(t) + 1, 0.0), bySize(static_cast<size_t>(t) + 1, 0.0);
    byProduct[0] = bySize[0] = 1.0;
    for (const int32_t level : levels)
        for (int32_t k = t; k >= 1; --k) {
            byProduct[k] += byProduct[k - 1] * level;
            bySize[k] += bySize[k - 1];
        }
    tuples = byProduct[t];
    sets = bySize[t];
}

}  // namespace

TupleTable::MemoryNeed TupleTable::EstimateMemory(const std::vector<int32_t>& levels, int32_t t)
{
    double tuples = 0, sets = 0;
    CountTuples(levels, t, tuples, sets);
    if (tuples >= 0x1.0p32 || sets >= 0x1.0p32)
        return {std::numeric_limits<double>::infinity(), std::numeric_limits<double>::infinity(),
                std::numeric_limits<double>::infinity()};
    // The table: base bits, block offsets and counts. An evolution: its bits, a row count per
    // tuple for row elimination, its block counts. A compaction: a row count, the sum of the
    // rows holding it, a place in the uncovered list, the list itself and a weight per tuple
    // (32 bits each, so signed tuple numbers).
    const double compaction = tuples > INT32_MAX ? std::numeric_limits<double>::infinity() : tuples * 20;
    return {tuples / 8 + sets * 12, tuples / 8 + tuples + sets * 4, compaction};
}

void TupleTable::Unrank(uint64_t rank, int32_t* a) const
{
    int32_t n = F;
    for (int32_t k = t; k >= 1; --k) {
        int32_t x = k - 1;
        while (x + 1 < n && Binomial(x + 1, k) <= rank)
            ++x;
        a[k - 1] = x;
        rank -= Binomial(x, k);
        n = x;
    }
}

void TupleTable::Build(const DesignCodes& design, int32_t strength)
{
    if (strength < kMinStrength || strength > kMaxStrength || strength > design.lNumFactors)
        throw std::invalid_argument("TupleTable: strength out of range");
    std::vector<int32_t> all(static_cast<size_t>(design.lNumFactors));
    for (int32_t f = 0; f < design.lNumFactors; ++f)
        all[static_cast<size_t>(f)] = f;
    Build(design, strength, all, Kind::Valid);
}

void TupleTable::Build(const DesignCodes& design, int32_t strength, const std::vector<int32_t>& universe, Kind tuples)
{
    if (strength < 2 || strength > kMaxStrength || strength > static_cast<int32_t>(universe.size()))
        throw std::invalid_argument("TupleTable: strength out of range");
    t = strength;
    F = static_cast<int32_t>(universe.size());
    kind = tuples;
    factors = universe;
    levels.clear();
    for (const int32_t f : universe)
        levels.push_back(design.levels[static_cast<size_t>(f)]);
    binomial.assign(static_cast<size_t>(F + 1) * (t + 1), 0);
    for (int32_t n = 0; n <= F; ++n) {
        binomial[static_cast<size_t>(n) * (t + 1)] = 1;
        for (int32_t k = 1; k <= t && k <= n; ++k)
            binomial[static_cast<size_t>(n) * (t + 1) + k] = Binomial(n - 1, k - 1) + (k <= n - 1 ? Binomial(n - 1, k) : 0);
    }
    LayOutBlocks();
    MarkRequired(design);
    CountPreviousTests(design);
}

void TupleTable::LayOutBlocks()
{
    std::vector<int32_t> a(static_cast<size_t>(t));
    blockOffset.clear();
    blockOffset.reserve(Binomial(F, t) + 1);
    numTuples = 0;
    ForEachColexSet(F, t, a.data(), [&](const int32_t* set) {
        blockOffset.push_back(static_cast<uint32_t>(numTuples));
        uint64_t product = 1;
        for (int32_t i = 0; i < t; ++i)
            product *= static_cast<uint64_t>(levels[set[i]]);
        numTuples += product;
    });
    if (numTuples > UINT32_MAX)
        throw std::length_error("TupleTable: more tuples than 32-bit offsets address");
    blockOffset.push_back(static_cast<uint32_t>(numTuples));
    uniformBlockSize = 0;
    if (std::adjacent_find(levels.begin(), levels.end(), std::not_equal_to<>()) == levels.end() && NumBlocks() > 0)
        uniformBlockSize = blockOffset[1];
}

void TupleTable::MarkRequired(const DesignCodes& design)
{
    // Every tuple of its kind that holds no excluded pair is required. A block of factors no
    // two of which exclude anything together, none with an invalid level, is required whole:
    // on a design of many factors and few constraints that is nearly every block.
    baseUncovered.assign((numTuples + 63) / 64, 0);
    baseBlockUncovered.assign(NumBlocks(), 0);
    const ConstraintModel& model = *design.constraints;
    std::vector<uint8_t> plainPair(static_cast<size_t>(F) * F, 1), plainFactor(static_cast<size_t>(F), 1);
    for (int32_t x = 0; x < F; ++x) {
        const int32_t fx = factors[static_cast<size_t>(x)];
        for (int32_t v = 0; v < levels[static_cast<size_t>(x)] && model.HasInvalidLevels(); ++v)
            plainFactor[static_cast<size_t>(x)] &= !model.Invalid(design.levelOffset[fx] + v);
        for (int32_t y = 0; y < x && design.anyExcluded; ++y) {
            const int32_t fy = factors[static_cast<size_t>(y)];
            bool any = false;
            for (int32_t v = 0; v < levels[static_cast<size_t>(x)] && !any; ++v)
                for (int32_t w = 0; w < levels[static_cast<size_t>(y)] && !any; ++w)
                    any = design.Excluded(design.levelOffset[fx] + v, design.levelOffset[fy] + w);
            plainPair[static_cast<size_t>(x) * F + y] = plainPair[static_cast<size_t>(y) * F + x] = !any;
        }
    }
    std::vector<int32_t> a(static_cast<size_t>(t)), l(static_cast<size_t>(t));
    uint64_t block = 0;
    ForEachColexSet(F, t, a.data(), [&](const int32_t* set) {
        bool plain = kind == Kind::Valid;
        for (int32_t i = 0; i < t && plain; ++i) {
            plain = plainFactor[static_cast<size_t>(set[i])] != 0;
            for (int32_t j = 0; j < i && plain; ++j)
                plain = plainPair[static_cast<size_t>(set[i]) * F + set[j]] != 0;
        }
        const uint64_t first = blockOffset[block], size = blockOffset[block + 1] - first;
        for (uint64_t code = 0; code < size; ++code) {
            if (plain || TupleRequired(design, set, code, l.data())) {
                baseUncovered[(first + code) / 64] |= uint64_t{1} << ((first + code) % 64);
                ++baseBlockUncovered[block];
            }
        }
        ++block;
    });
}

bool TupleTable::TupleRequired(const DesignCodes& design, const int32_t* set, uint64_t code, int32_t* l) const
{
    const ConstraintModel& model = *design.constraints;
    const auto entry = [&](int32_t i) { return design.levelOffset[factors[static_cast<size_t>(set[i])]] + l[i]; };
    LevelsOf(set, code, l);
    int32_t invalid = 0;
    bool required = true;
    for (int32_t i = 0; i < t && required; ++i) {
        invalid += model.HasInvalidLevels() && model.Invalid(entry(i));
        for (int32_t j = i + 1; j < t && required; ++j)
            required = !(design.anyExcluded && design.Excluded(entry(i), entry(j)));
    }
    return required && invalid == (kind == Kind::InvalidPairs ? 1 : 0);
}

bool TupleTable::Covers(const DesignCodes& design, const int32_t* row) const
{
    const ConstraintModel& model = *design.constraints;
    if (!model.HasInvalidLevels())
        return kind == Kind::Valid;
    int32_t invalid = 0;
    for (int32_t f = 0; f < design.lNumFactors; ++f)
        invalid += model.Invalid(design.levelOffset[static_cast<size_t>(f)] + row[f]);
    return invalid == (kind == Kind::InvalidPairs ? 1 : 0);
}

void TupleTable::CountPreviousTests(const DesignCodes& design)
{
    // The previous tests cover theirs.
    std::vector<int32_t> run(static_cast<size_t>(design.lNumFactors)), local(static_cast<size_t>(F));
    for (int32_t p = 0; p < design.lNumPrevRuns; ++p) {
        for (int32_t f = 0; f < design.lNumFactors; ++f)
            run[static_cast<size_t>(f)] = design.alPrevRuns[static_cast<size_t>(p) * design.lNumFactors + f] - 1;
        if (!Covers(design, run.data()))
            continue;
        for (int32_t x = 0; x < F; ++x)
            local[static_cast<size_t>(x)] = run[static_cast<size_t>(factors[static_cast<size_t>(x)])];
        ForEachTupleOfRow(local.data(), [&](uint64_t block, uint64_t bit) {
            uint64_t& word = baseUncovered[bit / 64];
            if ((word >> (bit % 64)) & 1) {
                word &= ~(uint64_t{1} << (bit % 64));
                --baseBlockUncovered[block];
            }
        });
    }
    baseRemaining = 0;
    for (const uint32_t count : baseBlockUncovered)
        baseRemaining += count;
}
