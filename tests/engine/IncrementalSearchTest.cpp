// The engine keeps its coverage counts up to date instead of re-analysing the matrix after
// every row. These tests hold it against the plain procedure over full tables: for the same
// design and the same random stream, both must take every decision alike and so build the
// same matrix, row for row.

#include "engine/CCalcNWay.h"
#include "engine/NumericDesign.h"
#include "engine/QxvEvolution.h"
#include "tests/engine/LiteralQxvSearch.h"
#include "tests/engine/RandomDesign.h"
#include "tests/engine/RecordingReporter.h"

#include <gtest/gtest.h>

namespace {

// mostStatesKept 0: the search scores from its bit sets alone, as on the largest designs.
NumericDesign NumericFrom(const DesignTables& design, double mostStatesKept = NumericDesign::kMostStatesKept)
{
    const LiteralQxvSearch literal(design);
    NumericDesign numeric;
    numeric.lNumFactors = design.NumFactors();
    for (int32_t f = 0; f < design.NumFactors(); ++f)
        numeric.atFactors.push_back({design.factors[f][0], design.levelCounts[f]});
    numeric.lNumConstraints = static_cast<int32_t>(design.constraints.size());
    numeric.alConstraints = literal.ConstraintCodes();
    numeric.lNumPrevRuns = static_cast<int32_t>(design.prevRuns.size());
    for (const auto& row : literal.PrevRunCodes())
        numeric.alPrevRuns.insert(numeric.alPrevRuns.end(), row.begin() + 1, row.end());
    numeric.BuildTables(mostStatesKept);
    return numeric;
}

// The design with what its constraints exclude together written as constraints of its own:
// the table the search works on, which the full re-analysis must be given as well.
DesignTables WithImpliedExclusions(const DesignTables& design, const NumericDesign& numeric)
{
    DesignTables widened = design;
    auto exclude = [&](int32_t a, int32_t b) {
        const int32_t fa = numeric.levelFactor[a];
        const int32_t fb = numeric.levelFactor[b];
        widened.constraints.push_back({design.factors[fa][0], design.factors[fa][a - numeric.levelOffset[fa] + 1],
                                       design.factors[fb][0], design.factors[fb][b - numeric.levelOffset[fb] + 1]});
    };
    for (const auto& [a, b] : numeric.constraints->Implied().pairs)
        exclude(a, b);
    for (const int32_t dead : numeric.constraints->Implied().deadLevels)
        for (int32_t other = 0; other < numeric.levelOffset.back(); ++other)
            if (numeric.levelFactor[other] != numeric.levelFactor[dead])
                exclude(dead, other);
    return widened;
}

// Whether a generated row of the evolution's matrix holds a pair the table excludes.
bool GeneratedRowHoldsExcludedPair(const QxvEvolution& evolution, const NumericDesign& numeric)
{
    const int32_t F = numeric.lNumFactors;
    for (int32_t r = numeric.lNumPrevRuns; r < evolution.NumRows(); ++r)
        for (int32_t f = 0; f < F; ++f)
            for (int32_t g = f + 1; g < F; ++g) {
                const int32_t* row = evolution.Row(r);
                if (numeric.ExcludedPair(f, row[f], g, row[g]))
                    return true;
            }
    return false;
}

LiteralQxvSearch::Matrix MatrixOf(const QxvEvolution& evolution, int32_t F)
{
    LiteralQxvSearch::Matrix matrix;
    for (int32_t r = 0; r < evolution.NumRows(); ++r) {
        std::vector<int32_t> row{0};
        for (int32_t f = 0; f < F; ++f)
            row.push_back(evolution.Row(r)[f] + 1);
        matrix.push_back(row);
    }
    return matrix;
}

struct Counts {
    int evolutions = 0;
    int infeasible = 0;
    int settledByPrevRuns = 0;
    // Row elimination takes rows as bit sets of one to four words, counts per cell beyond.
    int under33Rows = 0;
    int over64Rows = 0;
    int over256Rows = 0;
    // Evolutions where a cornered factor brought the solver in, designs whose constraints
    // exclude more together than they name.
    int repaired = 0;
    int withImpliedExclusions = 0;
    int withoutStates = 0;
};

// Gives a factor of a design more levels ("v1".."vN"); the names its constraints and
// previous tests use stay among them.
void Widen(DesignTables& design, size_t factor, int levels)
{
    design.factors[factor].resize(1);
    for (int l = 1; l <= levels; ++l)
        design.factors[factor].push_back(NumberedName("v", l));
    design.levelCounts[factor] = levels;
}

// Runs evolutions 1..evolutions of both searches on every design and compares them.
Counts CompareEvolutions(const RandomDesignLimits& limits, int designs, int evolutions, uint64_t seed,
                         int wideLevels = 0)
{
    Counts counts;
    std::mt19937_64 rng(seed);
    for (int i = 0; i < designs; ++i) {
        DesignTables design = MakeRandomDesign(rng, limits);
        if (wideLevels > 0) {
            // Every other design also gets a second factor of 9 levels: matrices of
            // hundreds of rows.
            Widen(design, 0, wideLevels + i % 8);
            if (i % 2)
                Widen(design, 1, 9);
        }
        // Every third design without the per-factor state runs.
        const NumericDesign numeric = NumericFrom(design, i % 3 == 2 ? 0.0 : NumericDesign::kMostStatesKept);
        counts.withoutStates += numeric.KeepsStates() ? 0 : 1;
        const DesignTables searched = WithImpliedExclusions(design, numeric);
        counts.withImpliedExclusions += searched.constraints.size() > design.constraints.size() ? 1 : 0;
        LiteralQxvSearch literal(searched);
        QxvEvolution incremental(numeric);
        for (int evo = 1; evo <= evolutions; ++evo) {
            RandomStream literalRandom(seed + i, evo);
            RandomStream incrementalRandom(seed + i, evo);
            const auto expected = literal.GenerateQXVMatrix(literalRandom);
            const auto actual = incremental.GenerateQXVMatrix(incrementalRandom);
            SCOPED_TRACE(::testing::Message() << "design " << i << " evolution " << evo);
            ++counts.evolutions;
            // Where the solver acted the matrices part; the sound rule must still hold.
            if (actual.repairedRows > 0 || actual.solverFirstRow) {
                counts.repaired += actual.repairedRows > 0 ? 1 : 0;
                EXPECT_TRUE(actual.ok);
                EXPECT_FALSE(GeneratedRowHoldsExcludedPair(incremental, numeric));
                continue;
            }
            EXPECT_EQ(actual.ok, expected.ok);
            if (!expected.ok) {
                ++counts.infeasible;
                break;
            }
            EXPECT_EQ(actual.convergedTouched, expected.convergedTouched);
            EXPECT_EQ(actual.converged, expected.converged);
            counts.settledByPrevRuns += expected.convergedTouched ? 0 : 1;
            EXPECT_EQ(MatrixOf(incremental, design.NumFactors()), expected.matrix);
            counts.under33Rows += incremental.NumRows() < 33 ? 1 : 0;
            counts.over64Rows += incremental.NumRows() > 64 ? 1 : 0;
            counts.over256Rows += incremental.NumRows() > 256 ? 1 : 0;
            if (::testing::Test::HasFailure())
                return counts;
        }
    }
    return counts;
}

}  // namespace

TEST(IncrementalSearch, BuildsTheSameMatricesAsFullReanalysisOnTypicalDesigns)
{
    const Counts counts = CompareEvolutions(RandomDesignLimits{}, 150, 3, 1001);
    EXPECT_EQ(counts.evolutions, 450);
    EXPECT_EQ(counts.withoutStates, 50);
    EXPECT_GT(counts.over64Rows, 0);
    EXPECT_GT(counts.under33Rows, 0);
}

TEST(IncrementalSearch, BuildsTheSameMatricesWhereConstraintsCornerTheGreedyChoice)
{
    // Few levels and many constraints: pairs and levels the constraints exclude only together,
    // random rows rejected many times, designs with no valid row at all, and rows repaired
    // after a cornered factor (there the matrices part, and no row may hold an excluded pair).
    const RandomDesignLimits limits{.maxFactors = 6, .maxLevels = 3, .maxConstraints = 14, .maxPrevRuns = 4};
    const Counts counts = CompareEvolutions(limits, 250, 3, 2002);
    EXPECT_GT(counts.infeasible, 0);
    EXPECT_GT(counts.repaired, 0);
    EXPECT_GT(counts.withImpliedExclusions, 0);
}

TEST(IncrementalSearch, BuildsTheSameMatricesWhenPreviousTestsCoverMuch)
{
    const RandomDesignLimits limits{.maxFactors = 5, .maxLevels = 3, .maxConstraints = 4, .maxPrevRuns = 40};
    const Counts counts = CompareEvolutions(limits, 200, 2, 3003);
    EXPECT_GT(counts.settledByPrevRuns, 0);
}

TEST(IncrementalSearch, BuildsTheSameMatricesWithWideFactorsAndHundredsOfRows)
{
    const RandomDesignLimits limits{.maxFactors = 4, .maxLevels = 4, .maxConstraints = 3, .maxPrevRuns = 6};
    const Counts counts = CompareEvolutions(limits, 24, 2, 5005, 30);
    EXPECT_EQ(counts.evolutions, 48);
    EXPECT_GT(counts.over256Rows, 0);
}

TEST(IncrementalSearch, KeepsTheSameMatrixOverEvolutionsOnOneThreadOrMany)
{
    std::mt19937_64 rng(4004);
    for (int i = 0; i < 40; ++i) {
        const DesignTables design = MakeRandomDesign(rng, RandomDesignLimits{});
        const uint64_t seed = 77 + i;
        const auto expected = LiteralQxvSearch(WithImpliedExclusions(design, NumericFrom(design))).Run(seed, 6);
        for (unsigned threads : {1u, 2u, 3u}) {
            SCOPED_TRACE(::testing::Message() << "design " << i << " threads " << threads);
            RecordingReporter reporter;
            CCalcNWay calc(reporter, 6, seed, threads);
            GeneratedMatrix matrix;
            int32_t rows = -1;
            bool converge = false;
            ASSERT_TRUE(calc.CalcNWayQXVMatrix(2, design, matrix, rows, converge));
            EXPECT_EQ(calc.BestNumRows(), expected.bestRows);
            EXPECT_EQ(converge, expected.converge);
            const auto P = static_cast<int32_t>(design.prevRuns.size());
            ASSERT_EQ(rows, std::max(expected.bestRows - P, 0));
            for (int32_t r = 0; r < rows; ++r)
                for (int32_t f = 0; f < design.NumFactors(); ++f) {
                    ASSERT_EQ(matrix.Code(r, f), expected.best[r + P][f + 1]);
                    ASSERT_EQ(matrix.names[r][f], design.factors[f][matrix.Code(r, f)]);
                }
        }
    }
}
