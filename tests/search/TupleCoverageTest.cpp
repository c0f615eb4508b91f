// The coverage count on its edges: no matrix, previous tests, pairs a constraint names, a
// combination no valid row holds, rows that break a rule, names that are no level, invalid
// levels and groups counted apart.
#include "search/TupleCoverage.h"

#include <gtest/gtest.h>

namespace {

// A(a1, a2) x B(b1, b2) x C(c1, c2, ~c3 when invalid): 12 pairs of valid levels.
DesignTables Design(const std::string& rules, std::vector<std::vector<std::string>> previous = {}, bool invalid = false)
{
    DesignTables design;
    design.factors = {{"A", "a1", "a2"}, {"B", "b1", "b2"}, {"C", "c1", "c2"}};
    design.levelCounts = {2, 2, 2};
    if (invalid) {
        design.factors[2].push_back("c3");
        design.levelCounts[2] = 3;
        design.invalid = {{}, {}, {0, 0, 1}};
    }
    design.rules = rules;
    design.prevRuns = std::move(previous);
    return design;
}

using Matrix = std::vector<std::vector<std::string>>;

TEST(TupleCoverage, CountsEachEdgeAsTheSummaryTellsIt)
{
    const struct {
        const char* what;
        DesignTables design;
        Matrix matrix;
        int32_t strength;
        int64_t found, missing;
        bool violation;
        int excludedTogether;  // of the missing ones, listed
    } cases[] = {
        {"no matrix", Design(""), {}, 2, 0, 12, false, 0},
        {"a previous test", Design("", {{"a1", "b1", "c1"}}), {}, 2, 3, 9, false, 0},
        {"previous test and matrix", Design("", {{"a1", "b1", "c1"}}), {{"a2", "b2", "c2"}}, 2, 6, 6, false, 0},
        {"a named pair counts as found", Design("IF [A] = \"a1\" THEN [B] <> \"b1\";"), {}, 2, 1, 11, false, 0},
        // a1 with b1 forces c2: (a1, b1) stays possible, (a1, c1, b1) is no valid row's.
        {"a triple no valid row holds", Design("IF [A] = \"a1\" AND [B] = \"b1\" THEN [C] = \"c2\";"),
         {{"a1", "b1", "c2"}}, 3, 1, 7, false, 1},
        {"a row that breaks a rule", Design("IF [A] = \"a1\" THEN [B] <> \"b1\";"), {{"a1", "b1", "c1"}}, 2, 3, 9, true, 0},
        {"names that are no level hold nothing", Design(""), {{"a1", "x", "c1"}, {"", "b1", "c2"}}, 2, 2, 10, false, 0},
        {"the whole suite", Design(""), {{"a1", "b1", "c1"}, {"a1", "b2", "c2"}, {"a2", "b1", "c2"}, {"a2", "b2", "c1"}},
         2, 12, 0, false, 0},
        {"strength above the factors", Design(""), {{"a1", "b1", "c1"}}, 6, 1, 7, false, 0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        const ConstraintCompile compiled = ConstraintModel::Compile(c.design);
        ASSERT_TRUE(compiled.model);
        const TupleCoverage coverage = CountTupleCoverage(c.design, *compiled.model, c.matrix, c.strength, true);
        EXPECT_EQ(coverage.found, c.found);
        EXPECT_EQ(coverage.missing, c.missing);
        EXPECT_EQ(coverage.violation, c.violation);
        EXPECT_EQ(coverage.missingCombinations.size(), size_t(c.missing));
        int excluded = 0;
        for (const TupleCoverage::Missing& m : coverage.missingCombinations)
            excluded += m.excludedTogether;
        EXPECT_EQ(excluded, c.excludedTogether);
    }
}

TEST(TupleCoverage, InvalidLevelsAndGroupsAreCountedApart)
{
    const DesignTables design = Design("{ [A], [B], [C] } @ 3;", {}, true);
    const ConstraintCompile compiled = ConstraintModel::Compile(design);
    ASSERT_TRUE(compiled.model);
    // A row with ~c3 covers invalid-level pairs only; the valid pairs need rows without it.
    const Matrix matrix{{"a1", "b1", "~c3"}, {"a2", "b2", "c1"}};
    const TupleCoverage coverage = CountTupleCoverage(design, *compiled.model, matrix, 2, false);
    EXPECT_EQ(coverage.found, 3);
    EXPECT_EQ(coverage.missing, 9);
    EXPECT_EQ(coverage.invalidFound, 2);    // (a1, c3), (b1, c3)
    EXPECT_EQ(coverage.invalidMissing, 2);  // (a2, c3), (b2, c3)
    ASSERT_EQ(coverage.groups.size(), 1u);
    EXPECT_EQ(coverage.groups[0].strength, 3);
    EXPECT_EQ(coverage.groups[0].factors, (std::vector<int32_t>{1, 2, 3}));
    EXPECT_EQ(coverage.groups[0].found, 1);
    EXPECT_EQ(coverage.groups[0].missing, 7);
}

}  // namespace
