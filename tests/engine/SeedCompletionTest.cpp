// Seeds of random designs with random rules, completed against the valid rows listed by a plain
// evaluation of the rules: a seed is refused exactly when no valid row extends it, and every
// completion is a valid row that keeps the seed's levels.

#include "engine/ConstraintModel.h"
#include "engine/SeedCompletion.h"
#include "tests/engine/RandomRules.h"

#include <gtest/gtest.h>

#include <random>

using namespace RandomRules;

namespace {

bool Extends(const Row& row, const std::vector<int32_t>& seed)
{
    for (size_t f = 0; f < row.size(); ++f)
        if (seed[f] >= 0 && seed[f] != row[f])
            return false;
    return true;
}

}  // namespace

TEST(SeedCompletion, CompletesExactlyTheSeedsAValidRowExtends)
{
    std::mt19937_64 rng(42);
    int refused = 0, completed = 0;
    for (int trial = 0; trial < 200; ++trial) {
        const Case c = MakeCase(rng, {trial % 2 == 0, false});
        const ConstraintCompile compiled = ConstraintModel::Compile(c.design);
        ASSERT_TRUE(compiled.model) << c.design.rules;
        std::vector<std::vector<int32_t>> seeds;
        for (int s = 0; s < 4; ++s) {
            std::vector<int32_t>& seed = seeds.emplace_back();
            for (size_t f = 0; f < c.design.factors.size(); ++f)
                seed.push_back(std::uniform_int_distribution<int>(0, 2)(rng) == 0
                                   ? std::uniform_int_distribution<int>(0, c.design.levelCounts[f] - 1)(rng)
                                   : -1);
        }
        std::vector<std::vector<int32_t>> rows = seeds;
        const int32_t broken = CompleteSeedRows(*compiled.model, {}, rows, {});
        const auto extendable = [&](const std::vector<int32_t>& seed) {
            return std::any_of(c.validRows.begin(), c.validRows.end(), [&](const Row& row) { return Extends(row, seed); });
        };
        const int32_t done = broken < 0 ? static_cast<int32_t>(rows.size()) : broken;
        for (int32_t r = 0; r < done; ++r) {
            const Row row(rows[static_cast<size_t>(r)].begin(), rows[static_cast<size_t>(r)].end());
            EXPECT_NE(std::find(c.validRows.begin(), c.validRows.end(), row), c.validRows.end()) << c.design.rules;
            EXPECT_TRUE(Extends(row, seeds[static_cast<size_t>(r)]));
            EXPECT_TRUE(extendable(seeds[static_cast<size_t>(r)]));
            ++completed;
        }
        if (broken >= 0) {
            EXPECT_FALSE(extendable(seeds[static_cast<size_t>(broken)])) << c.design.rules;
            EXPECT_EQ(rows[static_cast<size_t>(broken)], seeds[static_cast<size_t>(broken)]);
            ++refused;
        }
    }
    EXPECT_GT(refused, 10);
    EXPECT_GT(completed, 300);
}

TEST(SeedCompletion, PrefersNewPairsThenHeavierLevels)
{
    DesignTables design;
    design.factors = {{"A", "a1", "a2"}, {"B", "b1", "b2", "b3"}};
    design.levelCounts = {2, 3};
    const ConstraintCompile compiled = ConstraintModel::Compile(design);
    // b1 is held with a1 already: a1 takes b2, the first new pair; with b3 heavier, b3.
    std::vector<std::vector<int32_t>> rows{{0, -1}};
    EXPECT_EQ(CompleteSeedRows(*compiled.model, {{0, 0}}, rows, {}), -1);
    EXPECT_EQ(rows[0], (std::vector<int32_t>{0, 1}));
    rows = {{0, -1}};
    EXPECT_EQ(CompleteSeedRows(*compiled.model, {{0, 0}}, rows, {1, 1, 1, 1, 7}), -1);
    EXPECT_EQ(rows[0], (std::vector<int32_t>{0, 2}));
}
