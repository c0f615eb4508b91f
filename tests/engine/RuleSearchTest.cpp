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
