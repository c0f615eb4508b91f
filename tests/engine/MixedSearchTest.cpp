// Random small designs with invalid levels and groups of factors beside their rules, held
// against a plain statement of what a negative test and a group ask: no test case holds two
// invalid levels; the test cases without one cover every combination of valid levels (of the
// design's strength, and of each group's over its factors) that a valid test case without one
// can hold; every invalid level stands with every valid level of every other factor, where a
// valid test case holds them; nothing breaks a rule.

#include "engine/CAllCombinations.h"
#include "engine/CCalcNWay.h"
#include "tests/engine/RandomRules.h"
#include "tests/engine/RecordingReporter.h"

#include <gtest/gtest.h>

namespace {

using namespace RandomRules;

// The combinations of the group's strength over the group's factors.
std::set<std::vector<int>> GroupCombinations(const std::vector<Row>& rows, const Case::Group& group)
{
    std::vector<Row> projected;
    for (const Row& row : rows) {
        Row part;
        for (const int f : group.factors)
            part.push_back(row[static_cast<size_t>(f)]);
        projected.push_back(part);
    }
    std::set<std::vector<int>> held;
    for (std::vector<int> combination : Combinations(projected, group.strength)) {
        for (size_t i = 0; i < combination.size(); i += 2)
            combination[i] = group.factors[static_cast<size_t>(combination[i])];
        held.insert(combination);
    }
    return held;
}

// Pairs of an invalid level with a valid level of another factor: (f, level, g, level).
std::set<std::vector<int>> InvalidPairs(const Case& c, const std::vector<Row>& rows)
{
    std::set<std::vector<int>> held;
    for (const Row& row : rows)
        for (size_t f = 0; f < row.size(); ++f)
            if (c.Invalid(static_cast<int>(f), row[f]))
                for (size_t g = 0; g < row.size(); ++g)
                    if (g != f)
                        held.insert({static_cast<int>(f), row[f], static_cast<int>(g), row[g]});
    return held;
}

bool Includes(const std::set<std::vector<int>>& covered, const std::set<std::vector<int>>& required)
{
    return std::includes(covered.begin(), covered.end(), required.begin(), required.end());
}

// Checks one generated suite against the case.
void ExpectWhatTheCaseAsks(const Case& c, const std::vector<Row>& suite, int strength)
{
    std::vector<Row> validWithoutInvalid, suiteWithoutInvalid;
    for (const Row& row : c.validRows)
        if (c.InvalidLevels(row) == 0)
            validWithoutInvalid.push_back(row);
    for (const Row& row : suite) {
        EXPECT_TRUE(std::count(c.validRows.begin(), c.validRows.end(), row)) << "a test case breaks a rule";
        EXPECT_LE(c.InvalidLevels(row), 1);
        if (c.InvalidLevels(row) == 0)
            suiteWithoutInvalid.push_back(row);
    }
    const int t = std::min(strength, static_cast<int>(c.design.factors.size()));
    EXPECT_TRUE(Includes(Combinations(suiteWithoutInvalid, t), Combinations(validWithoutInvalid, t)));
    for (const Case::Group& group : c.groups)
        EXPECT_TRUE(Includes(GroupCombinations(suiteWithoutInvalid, group), GroupCombinations(validWithoutInvalid, group)))
            << "group of " << group.factors.size() << " at " << group.strength;
    EXPECT_TRUE(Includes(InvalidPairs(c, suite), InvalidPairs(c, c.validRows)));
}

}  // namespace

// The listing leaves out every row that breaks a rule or holds two invalid levels, and
// shows an invalid level with its "~".
void ExpectListingOfValidRows(const Case& c)
{
    RecordingReporter reporter;
    reporter.answers.push_back(EngineAnswer::Yes);  // to a listing of over 1,000 rows
    CAllCombinations all(reporter);
    AllCombinationsMatrix listing;
    std::vector<bool> removed;
    ASSERT_TRUE(all.CalcAllPossible(c.design, listing, removed));
    std::vector<Row> kept;
    for (int32_t r = 0; r < listing.NumRows(); ++r) {
        if (removed[static_cast<size_t>(r)])
            continue;
        Row& row = kept.emplace_back();
        for (int32_t f = 0; f < listing.NumFactors(); ++f) {
            row.push_back(listing.LevelCode(r, f) - 1);
            EXPECT_EQ(listing.LevelName(r, f)[0] == '~', c.Invalid(f, row.back()));
        }
    }
    EXPECT_EQ(kept, c.validRows);
}

TEST(MixedSearch, NegativeTestsAndGroupsGetWhatTheyAskOnRandomDesigns)
{
    std::mt19937_64 rng(241207);
    int generated = 0, withInvalid = 0, withGroups = 0;
    for (int trial = 0; trial < 120; ++trial) {
        const Case c = MakeCase(rng, {trial % 3 != 1, trial % 3 != 0});
        SCOPED_TRACE(c.design.rules);
        for (const int strength : {2, 3}) {
            // Without compaction, with 400 moves of it, and within a budget spent at once: an
            // evolution of tuples builds its rows from one candidate each.
            for (const auto& [moves, seconds] : {std::pair<int64_t, double>{0, 0}, {400, 0}, {0, 1e-9}}) {
                RecordingReporter reporter;
                CCalcNWay calc(reporter, 2, static_cast<uint64_t>(trial), 1);
                calc.SetCompaction(moves);
                calc.SetTimeLimit(seconds);
                GeneratedMatrix matrix;
                int32_t rows = 0;
                bool converged = false;
                const bool ok = calc.CalcNWayQXVMatrix(strength, c.design, matrix, rows, converged);
                if (c.validRows.empty()) {
                    EXPECT_FALSE(ok);
                    continue;
                }
                ASSERT_TRUE(ok) << strength;
                ExpectWhatTheCaseAsks(c, Codes(c.design, matrix, rows), strength);
                if (strength == 2 && moves == 0)
                    ExpectListingOfValidRows(c);
                ++generated;
                withInvalid += !c.design.invalid.empty();
                withGroups += !c.groups.empty();
            }
        }
    }
    EXPECT_GT(generated, 450);
    EXPECT_GT(withInvalid, 100);
    EXPECT_GT(withGroups, 100);
}
