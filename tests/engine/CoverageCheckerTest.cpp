// An independent check of what the search promises, on names only: for random designs with
// constraints and previous tests, a converged matrix covers every pair that no constraint
// excludes, no generated row holds an excluded pair, no previous test comes back, and every
// returned row covers some pair that no other row covers.

#include "engine/CCalcNWay.h"
#include "tests/engine/RandomDesign.h"
#include "tests/engine/RecordingReporter.h"

#include <gtest/gtest.h>

#include <functional>
#include <map>
#include <set>

namespace {

using Row = std::vector<std::string>;
using Pair = std::tuple<int, std::string, int, std::string>;  // factor, level, later factor, level

std::set<Pair> ExcludedPairs(const DesignTables& design)
{
    std::map<std::string, int> column;
    for (int f = 0; f < design.NumFactors(); ++f)
        column[design.factors[f][0]] = f;
    std::set<Pair> excluded;
    for (const auto& c : design.constraints) {
        int a = column.at(c[0]), b = column.at(c[2]);
        std::string la = c[1], lb = c[3];
        if (a > b) {
            std::swap(a, b);
            std::swap(la, lb);
        }
        excluded.insert({a, la, b, lb});
    }
    return excluded;
}

std::vector<Pair> PairsOf(const Row& row)
{
    std::vector<Pair> pairs;
    for (int a = 0; a < static_cast<int>(row.size()); ++a)
        for (int b = a + 1; b < static_cast<int>(row.size()); ++b)
            pairs.emplace_back(a, row[a], b, row[b]);
    return pairs;
}

// Whether some choice of levels for the other factors leaves one factor with no level free
// of an excluded pair: the only way a greedy row can be forced to hold one.
bool ConstraintsCanCornerAFactor(const DesignTables& design, const std::set<Pair>& excluded)
{
    for (int f = 0; f < design.NumFactors(); ++f) {
        // For every level of f, the (factor, level) partners that exclude it.
        std::vector<std::vector<std::pair<int, std::string>>> blockers;
        for (int l = 1; l <= design.levelCounts[f]; ++l) {
            std::vector<std::pair<int, std::string>> partners;
            for (const auto& [a, la, b, lb] : excluded) {
                if (a == f && la == design.factors[f][l])
                    partners.emplace_back(b, lb);
                if (b == f && lb == design.factors[f][l])
                    partners.emplace_back(a, la);
            }
            blockers.push_back(partners);
        }
        // Pick one blocker per level without giving any factor two different levels.
        std::map<int, std::string> chosen;
        std::function<bool(size_t)> pick = [&](size_t level) {
            if (level == blockers.size())
                return true;
            for (const auto& [g, lg] : blockers[level]) {
                const auto it = chosen.find(g);
                if (it != chosen.end() && it->second != lg)
                    continue;
                const bool added = it == chosen.end();
                if (added)
                    chosen[g] = lg;
                if (pick(level + 1))
                    return true;
                if (added)
                    chosen.erase(g);
            }
            return false;
        };
        if (pick(0))
            return true;
    }
    return false;
}

}  // namespace

TEST(CoverageChecker, GeneratedMatricesKeepTheirPromisesOnRandomDesigns)
{
    std::mt19937_64 rng(20240601);
    int converged = 0;
    int cornered = 0;
    const int designs = 1200;
    for (int i = 0; i < designs; ++i) {
        const DesignTables design = MakeRandomDesign(rng, RandomDesignLimits{});
        SCOPED_TRACE(::testing::Message() << "design " << i);
        RecordingReporter reporter;
        CCalcNWay calc(reporter, 3, 1000 + i, 0);
        GeneratedMatrix matrix;
        int32_t rows = 0;
        bool converge = false;
        ASSERT_TRUE(calc.CalcNWayQXVMatrix(2, design, matrix, rows, converge));
        ASSERT_EQ(rows, matrix.numRows);

        const std::set<Pair> excluded = ExcludedPairs(design);
        const bool canCorner = ConstraintsCanCornerAFactor(design, excluded);
        cornered += canCorner ? 1 : 0;
        std::map<Pair, int> holders;  // rows holding each pair, previous tests included
        for (const Row& test : design.prevRuns)
            for (const Pair& pair : PairsOf(test))
                ++holders[pair];
        for (const Row& row : matrix.names)
            for (const Pair& pair : PairsOf(row))
                ++holders[pair];

        for (const Row& row : matrix.names) {
            for (const Row& test : design.prevRuns)
                EXPECT_NE(row, test) << "a previous test came back";
            bool alone = false;
            for (const Pair& pair : PairsOf(row)) {
                const bool isExcluded = excluded.count(pair) != 0;
                if (!canCorner) {
                    EXPECT_FALSE(isExcluded) << "a generated row holds an excluded pair";
                }
                alone = alone || (!isExcluded && holders[pair] == 1);
            }
            EXPECT_TRUE(alone) << "a row covers no pair alone";
        }

        if (converge) {
            ++converged;
            for (int a = 0; a < design.NumFactors(); ++a)
                for (int b = a + 1; b < design.NumFactors(); ++b)
                    for (int la = 1; la <= design.levelCounts[a]; ++la)
                        for (int lb = 1; lb <= design.levelCounts[b]; ++lb) {
                            const Pair pair{a, design.factors[a][la], b, design.factors[b][lb]};
                            if (!excluded.count(pair)) {
                                EXPECT_GT(holders[pair], 0) << "a required pair is missing";
                            }
                        }
        }
        if (HasFailure())
            return;
    }
    // Nearly every design converges; few random designs let the constraints corner a factor.
    EXPECT_GT(converged, designs * 95 / 100);
    EXPECT_LT(cornered, designs / 20);
}
