// An independent check of what the search promises, on names only: no generated row holds an
// excluded pair, a converged matrix covers every pair (every combination of t levels at
// strength t) that some valid row holds, no previous test comes back, every returned row
// covers some combination that no other row covers, and "Infeasible constraints" comes
// exactly when no valid row exists; and all of it again after the compaction, stopped or not.

#include "engine/CCalcNWay.h"
#include "tests/engine/RandomDesign.h"
#include "tests/engine/RecordingReporter.h"
#include "tests/engine/ValidRows.h"

#include <gtest/gtest.h>

namespace {

struct Tally {
    int designs = 0;
    int converged = 0;
    int infeasible = 0;
    int withUnreachablePairs = 0;
    int shrunk = 0;   // compacted to fewer rows
    int stopped = 0;  // compaction ended by Stop
};

struct Run {
    int strength = 2;
    int64_t moves = 0;  // compaction moves, 0: none
    unsigned threads = 0;
    int32_t stopAtCall = 0;
    double timeLimit = 0;  // seconds, 0: none
};

// Generates a matrix for the design and checks every promise; counts into the tally.
GeneratedMatrix CheckPromises(const DesignTables& design, uint64_t seed, int32_t evolutions, Tally& tally,
                              const Run& run = {})
{
    ++tally.designs;
    const std::set<Pair> excluded = ExcludedPairs(design);
    RecordingReporter reporter;
    reporter.stopAtCompactionCall = run.stopAtCall;
    CCalcNWay calc(reporter, evolutions, seed, run.threads);
    calc.SetCompaction(run.moves);
    calc.SetTimeLimit(run.timeLimit);
    GeneratedMatrix matrix;
    int32_t rows = 0;
    bool converge = false;
    const bool ok = calc.CalcNWayQXVMatrix(run.strength, design, matrix, rows, converge);
    const bool anyValidRow = ValidRowHolds(design, excluded, {});
    if (!ok) {
        ++tally.infeasible;
        EXPECT_FALSE(anyValidRow) << "Infeasible constraints although a valid row exists";
        EXPECT_EQ(reporter.texts(), std::vector<std::string>{"Infeasible constraints"});
        return matrix;
    }
    EXPECT_EQ(rows, matrix.numRows);
    tally.shrunk += calc.Compaction().rowsAfter < calc.Compaction().rowsBefore;
    tally.stopped += calc.Compaction().stopped;

    const int t = std::min(run.strength, design.NumFactors());
    std::map<Combination, int> holders;  // rows holding each combination, previous tests included
    for (const Row& test : design.prevRuns)
        for (const Combination& c : CombinationsOf(test, t))
            ++holders[c];
    for (const Row& row : matrix.names)
        for (const Combination& c : CombinationsOf(row, t))
            ++holders[c];

    for (const Row& row : matrix.names) {
        EXPECT_FALSE(HoldsExcludedPair(row, excluded)) << "a generated row holds an excluded pair";
        for (const Row& test : design.prevRuns)
            EXPECT_NE(row, test) << "a previous test came back";
        bool alone = false;
        for (const Combination& c : CombinationsOf(row, t))
            alone = alone || holders[c] == 1;
        // A search out of time keeps the rows it built.
        EXPECT_TRUE(alone || run.timeLimit > 0) << "a row covers no combination alone";
    }

    const std::vector<CombinationReach> all = AllCombinations(design, excluded, t);
    bool unreachable = false;
    for (const CombinationReach& c : all)
        unreachable = unreachable || (!c.holdsExcludedPair && !c.reachable);
    tally.withUnreachablePairs += unreachable ? 1 : 0;
    // Previous tests that settle everything leave nothing to generate, and count as converged.
    if (converge || rows == 0) {
        ++tally.converged;
        for (const CombinationReach& c : all)
            EXPECT_TRUE(!c.reachable || holders[c.levels] > 0) << "a combination some valid row holds is missing";
    }
    return matrix;
}

// Dense exclusions between few factors of few levels: chains of exclusions, factors whose
// every level one level of another excludes, factors cornered by three levels together,
// designs with no valid row at all.
DesignTables NestedDesign(std::mt19937_64& rng, int shape)
{
    const RandomDesignLimits limits{.minFactors = 4, .maxFactors = 7, .maxLevels = 3, .maxConstraints = 0, .maxPrevRuns = 3};
    DesignTables design = MakeRandomDesign(rng, limits);
    auto pick = [&](int lo, int hi) { return std::uniform_int_distribution<int>(lo, hi)(rng); };
    const int F = design.NumFactors();
    auto exclude = [&](int a, int la, int b, int lb) {
        design.constraints.push_back({design.factors[a][0], design.factors[a][la], design.factors[b][0], design.factors[b][lb]});
    };
    switch (shape) {
    case 0:  // one level of F1 excludes every level of F2
        for (int l = 1; l <= design.levelCounts[1]; ++l)
            exclude(0, 1, 1, l);
        break;
    case 1:  // each level of the last factor excluded by a level of another factor: levels
             // that stand two by two but not all together
        for (int l = 1; l <= design.levelCounts[F - 1]; ++l)
            exclude((l - 1) % (F - 1), pick(1, 2), F - 1, l);
        break;
    case 2:  // a chain: each level of a factor excludes all but one level of the next
        for (int f = 0; f + 1 < F; ++f)
            for (int l = 2; l <= design.levelCounts[f + 1]; ++l)
                exclude(f, pick(1, design.levelCounts[f]), f + 1, l);
        break;
    default:  // many random exclusions among the first three factors
        for (int c = pick(4, 12); c > 0; --c) {
            const int a = pick(0, 1);
            const int b = pick(a + 1, 2);
            exclude(a, pick(1, design.levelCounts[a]), b, pick(1, design.levelCounts[b]));
        }
    }
    return design;
}

// Checks `count` designs from `make`, each on its own seed from `firstSeed`, until a failure.
template <typename Make>
Tally CheckDesigns(int count, uint64_t firstSeed, int32_t evolutions, Make make, const Run& run = {})
{
    Tally tally;
    for (int i = 0; i < count && !::testing::Test::HasFailure(); ++i) {
        const DesignTables design = make(i);
        SCOPED_TRACE(::testing::Message() << "design " << i);
        CheckPromises(design, firstSeed + i, evolutions, tally, run);
    }
    return tally;
}

// Two threads run two compactions, the first the one a single thread runs: never more rows,
// and one matrix for one seed, thread count and effort.
void ExpectTwoSearchesRepeatAndNeverLose(const DesignTables& design, uint64_t seed, Run run, const GeneratedMatrix& one)
{
    Tally tally;
    run.threads = 2;
    const GeneratedMatrix two = CheckPromises(design, seed, 2, tally, run);
    EXPECT_LE(two.numRows, one.numRows);
    EXPECT_EQ(CheckPromises(design, seed, 2, tally, run).levelCodes, two.levelCodes);
}

}  // namespace

TEST(CoverageChecker, GeneratedMatricesKeepTheirPromisesOnRandomDesigns)
{
    std::mt19937_64 rng(20240601);
    const Tally tally = CheckDesigns(1200, 1000, 3, [&](int) { return MakeRandomDesign(rng, RandomDesignLimits{}); });
    EXPECT_GT(tally.converged, tally.designs * 99 / 100);
}

TEST(CoverageChecker, NestedConstraintsNeverLeaveAnExcludedPairOrAReachablePairBehind)
{
    std::mt19937_64 rng(7);
    const Tally tally = CheckDesigns(800, 50, 4, [&](int i) { return NestedDesign(rng, i % 4); });
    // Every design with a valid row converges; the shapes make every case happen.
    EXPECT_EQ(tally.converged + tally.infeasible, tally.designs);
    EXPECT_GT(tally.infeasible, 10);
    EXPECT_GT(tally.withUnreachablePairs, 100);
}

TEST(CoverageChecker, HigherStrengthsKeepThePromisesWithConstraintsAndPreviousTests)
{
    std::mt19937_64 rng(31);
    const RandomDesignLimits limits{.minFactors = 3, .maxFactors = 7, .maxLevels = 4, .maxConstraints = 4, .maxPrevRuns = 6};
    for (const int strength : {3, 4}) {
        SCOPED_TRACE(strength);
        const Tally random =
            CheckDesigns(150, 300, 2, [&](int) { return MakeRandomDesign(rng, limits); }, {.strength = strength});
        EXPECT_EQ(random.converged + random.infeasible, random.designs);
        const Tally nested = CheckDesigns(300, 900, 2, [&](int i) { return NestedDesign(rng, i % 4); }, {.strength = strength});
        EXPECT_EQ(nested.converged + nested.infeasible, nested.designs);
        EXPECT_GT(nested.infeasible, 0);
        EXPECT_GT(nested.withUnreachablePairs, 10);
    }
}

TEST(CoverageChecker, ASearchOutOfTimeStillKeepsThePromises)
{
    // A budget spent before the first row: every row of the tuples' search is built in a hurry
    // (one candidate, the factors in their own order), and the suite is still complete.
    std::mt19937_64 rng(17);
    const RandomDesignLimits limits{.minFactors = 3, .maxFactors = 8, .maxLevels = 4, .maxConstraints = 4, .maxPrevRuns = 6};
    for (const int strength : {3, 4}) {
        SCOPED_TRACE(strength);
        const Tally random = CheckDesigns(
            60, 500, 3, [&](int i) { return i % 2 ? MakeRandomDesign(rng, limits) : NestedDesign(rng, i % 4); },
            {.strength = strength, .timeLimit = 1e-9});
        EXPECT_EQ(random.converged + random.infeasible, random.designs);
    }
}

TEST(CoverageChecker, CompactionKeepsThePromisesAndOneSeedThreadCountAndEffortGiveOneMatrix)
{
    std::mt19937_64 rng(31);
    const RandomDesignLimits limits{.minFactors = 4, .maxConstraints = 8};
    Tally tally;
    for (int i = 0; i < 240 && !::testing::Test::HasFailure(); ++i) {
        const DesignTables design = i % 3 ? MakeRandomDesign(rng, limits) : NestedDesign(rng, i % 4);
        SCOPED_TRACE(::testing::Message() << "design " << i);
        const GeneratedMatrix one = CheckPromises(design, 300 + i, 2, tally, {.moves = 4000, .threads = 1});
        if (i % 4 == 0)
            ExpectTwoSearchesRepeatAndNeverLose(design, 300 + i, {.moves = 4000}, one);
    }
    EXPECT_GT(tally.shrunk, tally.designs / 3);
}

TEST(CoverageChecker, CompactionBeyondPairsKeepsThePromisesOnOneAndTwoThreads)
{
    std::mt19937_64 rng(43);
    const RandomDesignLimits limits{.minFactors = 4, .maxFactors = 7, .maxLevels = 4, .maxConstraints = 6, .maxPrevRuns = 6};
    for (const int strength : {3, 4}) {
        SCOPED_TRACE(strength);
        Tally tally;
        for (int i = 0; i < 90 && !::testing::Test::HasFailure(); ++i) {
            const DesignTables design = i % 3 ? MakeRandomDesign(rng, limits) : NestedDesign(rng, i % 4);
            SCOPED_TRACE(::testing::Message() << "design " << i);
            const GeneratedMatrix one = CheckPromises(design, 700 + i, 2, tally, {.strength = strength, .moves = 3000, .threads = 1});
            if (i % 3 == 0)
                ExpectTwoSearchesRepeatAndNeverLose(design, 700 + i, {.strength = strength, .moves = 3000}, one);
        }
        EXPECT_GT(tally.shrunk, tally.designs / 4);
    }
}

TEST(CoverageChecker, StopDuringCompactionKeepsAValidMatrix)
{
    std::mt19937_64 rng(5);
    const DesignTables design = MakeRandomDesign(
        rng, {.minFactors = 12, .maxFactors = 12, .minLevels = 6, .maxLevels = 6, .maxConstraints = 6, .maxPrevRuns = 4});
    Tally tally;
    CheckPromises(design, 8, 2, tally, {.moves = int64_t{1} << 40, .threads = 1, .stopAtCall = 3});
    EXPECT_EQ(tally.stopped, 1);
    EXPECT_EQ(tally.shrunk, 1);
}
