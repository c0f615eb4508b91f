// Random small designs with random rules, held against a plain evaluation of the rules written
// here: the listing keeps exactly the valid rows, and every generated suite, at strength 2 and
// 3, with and without compaction, holds only valid rows and covers every combination a valid
// row holds; "Infeasible constraints" exactly when no row is valid.

#include "engine/CAllCombinations.h"
#include "engine/CCalcNWay.h"
#include "tests/engine/RandomRules.h"
#include "tests/engine/RecordingReporter.h"

#include <gtest/gtest.h>

#include <functional>
#include <random>
#include <set>
#include <string>
#include <vector>

using namespace RandomRules;

TEST(RuleSearch, ListingsAndSuitesKeepTheRulesOfRandomDesigns)
{
    std::mt19937_64 rng(20261207);
    int infeasible = 0, generated = 0;
    for (int trial = 0; trial < 150; ++trial) {
        const Case c = MakeCase(rng);
        SCOPED_TRACE(c.design.rules);
        const std::set<Row> valid(c.validRows.begin(), c.validRows.end());

        RecordingReporter listingReporter;
        listingReporter.answers.push_back(EngineAnswer::Yes);  // to a listing of over 1,000 rows
        CAllCombinations all(listingReporter);
        AllCombinationsMatrix listing;
        std::vector<bool> removed;
        const bool listed = all.CalcAllPossible(c.design, listing, removed);
        if (valid.empty()) {
            EXPECT_FALSE(listed);
            EXPECT_EQ(listingReporter.texts(), std::vector<std::string>{"Infeasible constraints"});
        } else {
            ASSERT_TRUE(listed) << listingReporter.texts().front();
        }
        std::set<Row> kept;
        for (int32_t r = 0; r < listing.NumRows(); ++r)
            if (!removed[static_cast<size_t>(r)]) {
                Row row;
                for (int32_t f = 0; f < listing.NumFactors(); ++f)
                    row.push_back(listing.LevelCode(r, f) - 1);
                kept.insert(row);
            }
        EXPECT_EQ(kept, valid);

        for (const int strength : {2, 3})
            for (const int64_t moves : {int64_t{0}, int64_t{300}}) {
                RecordingReporter reporter;
                CCalcNWay calc(reporter, 3, static_cast<uint64_t>(trial), 1);
                calc.SetCompaction(moves);
                GeneratedMatrix matrix;
                int32_t rows = 0;
                bool converged = false;
                const bool ok = calc.CalcNWayQXVMatrix(strength, c.design, matrix, rows, converged);
                if (valid.empty()) {
                    EXPECT_FALSE(ok);
                    EXPECT_EQ(reporter.texts(), std::vector<std::string>{"Infeasible constraints"});
                    infeasible += strength == 2 && moves == 0;
                    continue;
                }
                ASSERT_TRUE(ok) << strength;
                generated += 1;
                const std::vector<Row> suite = Codes(c.design, matrix, rows);
                for (const Row& row : suite)
                    EXPECT_TRUE(valid.count(row)) << "a generated row breaks a rule, strength " << strength;
                const std::set<std::vector<int>> required = Combinations(c.validRows, strength);
                const std::set<std::vector<int>> covered = Combinations(suite, strength);
                EXPECT_TRUE(std::includes(covered.begin(), covered.end(), required.begin(), required.end()))
                    << "strength " << strength << " moves " << moves;
            }
    }
    // The random rules give both kinds of design.
    EXPECT_GT(infeasible, 5);
    EXPECT_GT(generated, 200);
}

TEST(RuleSearch, ComparisonsOfFactorsOfManyLevelsKeepTheirRules)
{
    // Two factors of 70 numeric levels (A 1..70, B 31..100) and one of three: a comparison of A
    // and B is stated to the solver over their levels in order, not pair by pair; optionally
    // with 40 invalid levels on each, of which a row holds one at most.
    struct Case {
        std::string rules;
        std::function<bool(int, int, int)> holds;  // A's and B's numbers, C's code
        bool invalidLevels;
    };
    const std::vector<Case> cases{
        {"[A] = [B];", [](int a, int b, int) { return a == b; }, false},
        {"[A] < [B] OR [C] = \"x1\";", [](int a, int b, int c) { return a < b || c == 0; }, false},
        {"IF [C] = \"x2\" THEN [A] <> [B] ELSE [A] >= [B];", [](int a, int b, int c) { return c == 1 ? a != b : a >= b; }, false},
        {"[A] <= [B];", [](int a, int b, int) { return a <= b; }, true},
        {"", [](int, int, int) { return true; }, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.rules);
        DesignTables design;
        design.factors = {{"A"}, {"B"}, {"C", "x1", "x2", "x3"}};
        for (int l = 1; l <= 70; ++l) {
            design.factors[0].push_back(std::to_string(l));
            design.factors[1].push_back(std::to_string(l + 30));
        }
        design.levelCounts = {70, 70, 3};
        design.rules = c.rules;
        if (c.invalidLevels)
            design.invalid = {std::vector<uint8_t>(70, 0), std::vector<uint8_t>(70, 0), {0, 0, 0}};
        for (int l = 10; c.invalidLevels && l < 50; ++l)
            design.invalid[0][static_cast<size_t>(l)] = design.invalid[1][static_cast<size_t>(l + 5)] = 1;
        std::vector<Row> valid;
        for (int a = 0; a < 70; ++a)
            for (int b = 0; b < 70; ++b)
                for (int x = 0; x < 3; ++x)
                    if (c.holds(a + 1, b + 31, x) && design.Invalid(0, a + 1) + design.Invalid(1, b + 1) <= 1)
                        valid.push_back({a, b, x});
        RecordingReporter reporter;
        CCalcNWay calc(reporter, 1, 7, 1);
        GeneratedMatrix matrix;
        int32_t rows = 0;
        bool converged = false;
        ASSERT_TRUE(calc.CalcNWayQXVMatrix(2, design, matrix, rows, converged));
        const std::vector<Row> suite = Codes(design, matrix, rows);
        const std::set<Row> validSet(valid.begin(), valid.end());
        for (const Row& row : suite)
            EXPECT_TRUE(validSet.count(row)) << row[0] + 1 << " " << row[1] + 31 << " " << row[2];
        const std::set<std::vector<int>> required = Combinations(valid, 2), covered = Combinations(suite, 2);
        EXPECT_TRUE(std::includes(covered.begin(), covered.end(), required.begin(), required.end()));
    }
}
