// The search as the generation command sees it: messages, progress and Stop, the kept
// matrix and the converged flag; and the random indices its sorts and choices draw. (The
// sorts themselves are held to the plain reference by the incremental search tests.)

#include "engine/CCalcNWay.h"
#include "engine/EngineFatalError.h"
#include "engine/RandomStream.h"
#include "engine/TupleEvolution.h"
#include "tests/engine/LiteralQxvSearch.h"
#include "tests/engine/RandomDesign.h"
#include "tests/engine/RecordingReporter.h"

#include <gtest/gtest.h>

#include <cmath>
#include <optional>
#include <set>

namespace {

struct RunResult {
    bool ok = false;
    GeneratedMatrix matrix;
    int32_t rows = -1;
    bool converge = true;
    int32_t bestRows = 0;
    int32_t finished = 0;
};

RunResult Generate(RecordingReporter& reporter, const DesignTables& design, int32_t evolutions, unsigned threads,
             uint64_t seed = 5, int32_t ways = 2, std::optional<uint64_t> memory = uint64_t{1} << 40)
{
    RunResult run;
    CCalcNWay calc(reporter, evolutions, seed, threads);
    calc.SetAvailableMemory(memory);
    run.ok = calc.CalcNWayQXVMatrix(ways, design, run.matrix, run.rows, run.converge);
    run.bestRows = calc.BestNumRows();
    run.finished = calc.EvolutionsFinished();
    return run;
}

}  // namespace

TEST(CCalcNWay, FindsTheMinimumRowsOfSmallDesigns)
{
    for (unsigned threads : {1u, 2u}) {
        RecordingReporter reporter;
        const RunResult two = Generate(reporter, UniformDesign(2, 2), 10, threads);
        ASSERT_TRUE(two.ok);
        EXPECT_TRUE(two.converge);
        EXPECT_EQ(two.rows, 4);  // every pair is covered: the coverage checker's tests

        const RunResult three = Generate(reporter, UniformDesign(3, 4), 50, threads);
        EXPECT_EQ(three.rows, 9);  // 3^4 has a 9-row covering matrix and the search finds it
        EXPECT_TRUE(reporter.messages.empty());
        EXPECT_EQ(reporter.nwayShown, 2);
        EXPECT_EQ(reporter.nwayClosed, 2);
    }
}

TEST(CCalcNWay, AHeavierLevelWinsTiesWithoutCostingAPair)
{
    // 2 x 10 x 10: the two levels of F1 tie in most rows, where the heavier one is taken.
    DesignTables design = UniformDesign(10, 3);
    design.factors[0] = {"F1", "light", "heavy"};
    design.levelCounts[0] = 2;
    design.weights = {{1, 9}};
    RecordingReporter reporter;
    const RunResult run = Generate(reporter, design, 5, 1);
    ASSERT_TRUE(run.ok);
    int heavy = 0;
    std::set<std::pair<int, int>> pairs;
    for (int32_t r = 0; r < run.rows; ++r) {
        heavy += run.matrix.Code(r, 0) == 2;
        for (int f = 0; f < 3; ++f)
            for (int g = f + 1; g < 3; ++g)
                pairs.insert({f * 100 + run.matrix.Code(r, f), g * 100 + run.matrix.Code(r, g)});
    }
    EXPECT_EQ(pairs.size(), 2u * 10 + 2 * 10 + 10 * 10) << "every pair covered";
    EXPECT_GE(heavy, 3 * (run.rows - heavy)) << "of " << run.rows;
}

TEST(CCalcNWay, LargeDesignsRunAsManyEvolutionsAsThePairBudgetHolds)
{
    EXPECT_EQ(TupleEvolution::PairsOf({2, 2, 2}), 12);
    EXPECT_EQ(TupleEvolution::PairsOf(std::vector<int32_t>(1000, 2)), 1998000);
    const struct {
        int32_t strength, set;
        bool mixed;
        double pairs;
        int32_t evolutions;
    } cases[] = {
        {2, 1000, false, 1e5, 1000},  // up to 100,000 pairs as set
        {2, 1000, false, 1998000, 50},  // 2^1000
        {2, 20, false, 1998000, 20},    // fewer set than the budget holds
        {2, 1000, false, 2e11, 1},      // at least one
        {3, 1000, false, 1e3, 3},       {2, 1000, true, 1e3, 3},
    };
    for (const auto& c : cases)
        EXPECT_EQ(TupleEvolution::EvolutionsFor(c.strength, c.set, c.mixed, c.pairs), c.evolutions) << c.pairs;
}

TEST(CCalcNWay, ReportsInfeasibleConstraintsWhenNoRandomRowAvoidsAnExcludedPair)
{
    // Every pair of levels of F1 and F2 is excluded, while F3's pairs still need covering.
    DesignTables design = UniformDesign(2, 3);
    for (const char* a : {"v1", "v2"})
        for (const char* b : {"v1", "v2"})
            design.constraints.push_back({"F1", a, "F2", b});
    for (unsigned threads : {1u, 2u}) {
        RecordingReporter reporter;
        const RunResult run = Generate(reporter, design, 20, threads);
        EXPECT_FALSE(run.ok);
        EXPECT_EQ(run.rows, -1);  // left without a result
        ExpectOnlyMessage(reporter, "Infeasible constraints", EngineButtons::OkCancel, EngineIcon::Information, 27);
        EXPECT_EQ(reporter.nwayShown, 0);  // told before the search starts
        EXPECT_EQ(reporter.nwayClosed, 0);
    }
}

TEST(CCalcNWay, KeepsConstraintsThatOnlyHoldTogether)
{
    // "F1 = v1 excludes F2 = v1" and "F1 = v1 excludes F2 = v2": no valid row holds F1 = v1.
    DesignTables cornered = UniformDesign(2, 3);
    cornered.constraints = {{"F1", "v1", "F2", "v1"}, {"F1", "v1", "F2", "v2"}};
    // Thirty two-level factors where a factor at v2 excludes the next at v1: 31 valid rows
    // among 2^30, which 10,000 random first rows never meet.
    DesignTables chain = UniformDesign(2, 30);
    for (int f = 1; f < 30; ++f)
        chain.constraints.push_back({"F" + std::to_string(f), "v2", "F" + std::to_string(f + 1), "v1"});
    for (const bool isChain : {false, true})
        for (unsigned threads : {1u, 2u}) {
            const DesignTables& design = isChain ? chain : cornered;
            RecordingReporter reporter;
            const RunResult run = Generate(reporter, design, 10, threads);
            ASSERT_TRUE(run.ok);
            EXPECT_TRUE(run.converge);
            EXPECT_TRUE(reporter.messages.empty());
            std::set<std::tuple<int, int, int, int>> pairs;
            for (int32_t r = 0; r < run.rows; ++r)
                for (int f = 0; f < design.NumFactors(); ++f)
                    for (int g = f + 1; g < design.NumFactors(); ++g) {
                        const int a = run.matrix.Code(r, f), b = run.matrix.Code(r, g);
                        if (!isChain) {
                            EXPECT_NE(a, f == 0 ? 1 : 0);  // no row holds F1 = v1
                        } else {
                            EXPECT_FALSE(a == 2 && b == 1);  // levels never fall back along the chain
                        }
                        pairs.insert({f, a, g, b});
                    }
            // Every pair a valid row can hold: F2 and F3 with F1 = v2 and with each other,
            // or along the chain every pair but (v2, v1).
            EXPECT_EQ(pairs.size(), !isChain ? 2u + 2u + 4u : 29u * 30u / 2u * 3u);
        }
}

TEST(CCalcNWay, RefusesASearchTheMemoryCannotHoldBeforeLayingItOut)
{
    const DesignTables design = UniformDesign(10, 50);
    NumericDesign numeric;
    numeric.lNumFactors = 50;
    numeric.atFactors.assign(50, tNumFactor{"", 10});
    const NumericDesign::MemoryNeed need = numeric.EstimateMemory();
    ASSERT_TRUE(need.offsetsFit);
    const auto oneWorkspace = static_cast<uint64_t>(need.tableBytes + need.workspaceBytes);

    RecordingReporter refused;
    const RunResult none = Generate(refused, design, 3, 2, 5, 2, oneWorkspace - 1);
    EXPECT_FALSE(none.ok);
    EXPECT_EQ(none.rows, -1);
    ExpectOnlyMessage(refused,
                      "The current design would need " + std::to_string((oneWorkspace + (1 << 20) - 1) >> 20) +
                          " MB of memory for the 2-Way search, more than this computer can give. "
                          "Use fewer factors or fewer levels.",
                      EngineButtons::Ok, EngineIcon::Critical, 0);
    EXPECT_EQ(refused.nwayShown, 0);

    // Room for one evolution at a time: the search runs, on fewer threads, to the same matrix.
    RecordingReporter oneAtATime;
    const RunResult narrow = Generate(oneAtATime, design, 3, 2, 5, 2, oneWorkspace);
    RecordingReporter plenty;
    const RunResult wide = Generate(plenty, design, 3, 2);
    ASSERT_TRUE(narrow.ok);
    EXPECT_TRUE(oneAtATime.messages.empty());
    EXPECT_EQ(narrow.matrix.levelCodes, wide.matrix.levelCodes);

    // A compaction of the pairs needs its own workspace once the evolutions are done, here
    // more than an evolution's.
    ASSERT_GT(need.compactionBytes, need.workspaceBytes);
    const auto withCompaction = static_cast<uint64_t>(need.tableBytes + std::max(need.workspaceBytes, need.compactionBytes));
    for (const uint64_t memory : {withCompaction - 1, withCompaction}) {
        RecordingReporter compacting;
        CCalcNWay calc(compacting, 3, 5, 1);
        calc.SetAvailableMemory(memory);
        calc.SetCompaction(100);
        GeneratedMatrix matrix;
        int32_t rows = 0;
        bool converge = false;
        EXPECT_EQ(calc.CalcNWayQXVMatrix(2, design, matrix, rows, converge), memory == withCompaction);
        EXPECT_EQ(compacting.messages.size(), memory == withCompaction ? 0u : 1u);
    }

    // Unknown free memory does not stop a search.
    RecordingReporter unknown;
    EXPECT_TRUE(Generate(unknown, UniformDesign(3, 4), 2, 1, 5, 2, std::nullopt).ok);
}

TEST(CCalcNWay, RefusesADesignWithMoreCellsThanItsOffsetsCanAddress)
{
    // 1,000 factors of 100 levels: about 5 billion pairs of levels.
    RecordingReporter reporter;
    const RunResult run = Generate(reporter, UniformDesign(100, 1000), 1, 1);
    EXPECT_FALSE(run.ok);
    EXPECT_EQ(reporter.texts(), std::vector<std::string>{"The current design has more than 2 billion pairs of levels, too many "
                                                         "for the 2-Way search. Use fewer factors or fewer levels."});
    EXPECT_EQ(reporter.nwayShown, 0);
}

TEST(CCalcNWay, NeverReturnsPreviousTestsAndCountsThemInTheBestSize)
{
    struct Case {
        std::vector<std::vector<std::string>> prevRuns;
        int32_t rows, bestRows;
        bool converge;
    };
    // Previous tests covering every pair leave nothing to generate, and no evolution reaches
    // its greedy loop; the kept matrix is the previous tests.
    const Case cases[] = {{{{"v1", "v1"}, {"v1", "v2"}, {"v2", "v1"}, {"v2", "v2"}}, 0, 4, false},
                          {{{"v1", "v1"}, {"v1", "v1"}}, 3, 5, true}};
    for (const Case& c : cases)
        for (unsigned threads : {1u, 2u}) {
            DesignTables design = UniformDesign(2, 2);
            design.prevRuns = c.prevRuns;
            RecordingReporter reporter;
            const RunResult run = Generate(reporter, design, 5, threads);
            EXPECT_TRUE(run.ok);
            ASSERT_EQ(run.rows, c.rows);
            EXPECT_EQ(run.matrix.numRows, c.rows);
            EXPECT_EQ(run.converge, c.converge);
            EXPECT_EQ(run.bestRows, c.bestRows);
            EXPECT_TRUE(reporter.messages.empty());
            ASSERT_EQ(reporter.evolutionCalls.size(), 5u);
            EXPECT_EQ(reporter.evolutionCalls.back().smallest, c.bestRows);
            for (const auto& row : run.matrix.names)
                EXPECT_FALSE(row[0] == "v1" && row[1] == "v1");
        }
}

TEST(CCalcNWay, ReportsEveryEvolutionInOrderWithTheBestSizeSoFar)
{
    for (unsigned threads : {1u, 2u}) {
        RecordingReporter reporter;
        const RunResult run = Generate(reporter, UniformDesign(3, 13), 30, threads);
        ASSERT_EQ(reporter.evolutionCalls.size(), 30u);
        for (size_t i = 0; i < reporter.evolutionCalls.size(); ++i) {
            EXPECT_EQ(reporter.evolutionCalls[i].numComplete, static_cast<int32_t>(i) + 1);
            EXPECT_EQ(reporter.evolutionCalls[i].fraction, 1.0);
            if (i > 0) {
                EXPECT_LE(reporter.evolutionCalls[i].smallest, reporter.evolutionCalls[i - 1].smallest);
            }
        }
        EXPECT_EQ(reporter.evolutionCalls.back().smallest, run.rows);
        for (const auto& call : reporter.progress)
            if (call.numComplete == -1) {
                EXPECT_EQ(call.smallest, -1);
                EXPECT_GE(call.fraction, 0.0);
                EXPECT_LE(call.fraction, 1.0);
            }
    }
}

TEST(CCalcNWay, StopEndsTheSearchAfterTheRunningEvolutions)
{
    const DesignTables design = UniformDesign(3, 8);
    // On the calling thread the search stops exactly after the evolution whose report
    // answered Stop, with the best of the evolutions so far.
    RecordingReporter one;
    one.stopAtEvolution = 3;
    const RunResult stopped = Generate(one, design, 100, 1, 9);
    EXPECT_TRUE(stopped.ok);
    EXPECT_EQ(stopped.finished, 3);
    EXPECT_EQ(one.evolutionCalls.size(), 3u);
    const auto expected = LiteralQxvSearch(design).Run(9, 3);
    EXPECT_EQ(stopped.bestRows, expected.bestRows);

    // On several threads the evolutions already running finish and compete.
    RecordingReporter many;
    many.stopAtEvolution = 3;
    const RunResult parallel = Generate(many, design, 1000, 2, 9);
    EXPECT_TRUE(parallel.ok);
    EXPECT_GE(parallel.finished, 3);
    EXPECT_LT(parallel.finished, 1000);
    EXPECT_EQ(many.evolutionCalls.size(), 3u);
    EXPECT_LE(parallel.bestRows, many.evolutionCalls.back().smallest);
    EXPECT_EQ(many.nwayClosed, 1);
}

TEST(CCalcNWay, RunsAtLeastOneEvolutionWhateverTheStoredNumber)
{
    for (int32_t stored : {0, -5}) {
        RecordingReporter reporter;
        const RunResult run = Generate(reporter, UniformDesign(2, 3), stored, 2);
        EXPECT_TRUE(run.ok);
        EXPECT_EQ(run.finished, 1);
        EXPECT_GT(run.rows, 0);
    }
}

TEST(CCalcNWay, ShowsFatalMessagesForDesignsThatValidationLetThrough)
{
    // Unknown factors (names match exactly, and a constraint needs two factors), then unknown levels.
    const std::array<std::string, 4> constraints[] = {{"F9", "v1", "F2", "v1"}, {"F1", "v1", "F1", "v2"},
                                                      {"f1", "v1", "F2", "v1"}, {"F1", "v1 ", "F2", "v1"},
                                                      {"F1", "v1", "F2", "v3"}};
    for (size_t i = 0; i < std::size(constraints); ++i) {
        DesignTables design = UniformDesign(2, 3);
        design.constraints.push_back(constraints[i]);
        RecordingReporter reporter;
        EXPECT_THROW(Generate(reporter, design, 5, 1), EngineFatalError);
        EXPECT_EQ(reporter.texts(), std::vector<std::string>{std::string("KQ Error: Error in ConvertConstraintsToNumeric. "
                                                                          "Infeasible ") + (i < 3 ? "Factors." : "Levels.")});
        EXPECT_EQ(reporter.nwayShown, 0);
    }

    for (const int32_t strength : {1, 7}) {
        RecordingReporter ways;
        EXPECT_THROW(Generate(ways, UniformDesign(2, 3), 5, 1, 5, strength), EngineFatalError);
        EXPECT_EQ(ways.texts(), std::vector<std::string>{"KQ Error: Infeasible number of ways in AllocateInteractions"});
    }
}

TEST(CCalcNWay, EndsWithoutAResultOnInvalidPreviousTests)
{
    DesignTables design = UniformDesign(2, 3);
    design.prevRuns = {{"v1", "V1", "v1"}, {"v1", "v1", "v1"}, {"v3", "v1", "x"}};
    RecordingReporter reporter;
    const RunResult run = Generate(reporter, design, 5, 1);
    EXPECT_FALSE(run.ok);
    const std::string invalid = "KQ Error: Error in ConvertPrevRunsToNumeric. Invalid Previous Test.";
    EXPECT_EQ(reporter.texts(), (std::vector<std::string>{invalid, invalid}));  // once per invalid test
    EXPECT_EQ(reporter.nwayShown, 0);
}

TEST(CCalcNWay, HigherStrengthsRepeatOnAnyThreadsAndRefuseWhatTheMemoryCannotHold)
{
    // A strength beyond the number of factors asks for every combination of all of them.
    for (const int32_t strength : {3, 4}) {
        RecordingReporter reporter;
        EXPECT_EQ(Generate(reporter, UniformDesign(2, 3), 2, 1, 5, strength).rows, 8);
    }
    RecordingReporter one, two;
    const RunResult onOne = Generate(one, UniformDesign(3, 6), 4, 1, 9, 3), onTwo = Generate(two, UniformDesign(3, 6), 4, 2, 9, 3);
    ASSERT_TRUE(onOne.ok && onOne.converge);
    EXPECT_EQ(onOne.matrix.levelCodes, onTwo.matrix.levelCodes);

    RecordingReporter refused;
    EXPECT_FALSE(Generate(refused, UniformDesign(10, 40), 1, 1, 5, 4, uint64_t{100} << 20).ok);
    ASSERT_EQ(refused.texts().size(), 1u);
    EXPECT_TRUE(refused.texts()[0].find("MB of memory for the 4-Way search") != std::string::npos) << refused.texts()[0];
    // The compaction's workspace counts too: 10^20 at strength 4 fits 200 MB without it.
    RecordingReporter noRoomToCompact;
    CCalcNWay compacting(noRoomToCompact, 1, 5, 1);
    compacting.SetAvailableMemory(uint64_t{200} << 20);
    compacting.SetCompaction(1000);
    GeneratedMatrix matrix;
    int32_t rows = 0;
    bool converge = false;
    EXPECT_FALSE(compacting.CalcNWayQXVMatrix(4, UniformDesign(10, 20), matrix, rows, converge));
    ASSERT_EQ(noRoomToCompact.texts().size(), 1u);
    EXPECT_NE(noRoomToCompact.texts()[0].find("MB of memory for the 4-Way search"), std::string::npos);
    RecordingReporter beyondCounting;
    EXPECT_FALSE(Generate(beyondCounting, UniformDesign(10, 400), 1, 1, 5, 6).ok);
    EXPECT_EQ(beyondCounting.texts(), std::vector<std::string>{"The current design has too many combinations of levels "
                                                               "for the 6-Way search. Use fewer factors or fewer levels."});
}

TEST(CCalcNWay, MatchesNamesExactlyAndReturnsThemUntouched)
{
    DesignTables design;
    design.factors = {{" os", "Linux ", "linux", "Linux"}, {"db", "A", "a"}, {"Os", "x", "y"}};
    design.levelCounts = {3, 2, 2};
    design.constraints = {{" os", "Linux ", "db", "a"}};
    RecordingReporter reporter;
    const RunResult run = Generate(reporter, design, 20, 1);
    ASSERT_TRUE(run.ok);
    EXPECT_TRUE(run.converge);
    for (int32_t r = 0; r < run.rows; ++r) {
        for (int32_t f = 0; f < 3; ++f)
            EXPECT_EQ(run.matrix.names[r][f], design.factors[f][run.matrix.Code(r, f)]);
        EXPECT_FALSE(run.matrix.names[r][0] == "Linux " && run.matrix.names[r][1] == "a");
    }
}

TEST(CCalcNWay, ACompactionOutOfTimeWhileLoadingLeavesTheSuiteAsItCame)
{
    // Pairs and triples: a compaction given no time at all stops before its first row is
    // loaded, and the evolutions' suite comes back whole.
    for (const int32_t strength : {2, 3}) {
        SCOPED_TRACE(strength);
        const DesignTables design = UniformDesign(3, 12);
        std::vector<GeneratedMatrix> matrices;
        for (const double seconds : {0.0, 1e-9}) {
            RecordingReporter reporter;
            CCalcNWay calc(reporter, 2, 5, 1);
            calc.SetConstructions(false);
            calc.SetCompaction(seconds > 0 ? 1000 : 0, seconds);
            GeneratedMatrix matrix;
            int32_t rows = 0;
            bool converge = false;
            ASSERT_TRUE(calc.CalcNWayQXVMatrix(strength, design, matrix, rows, converge));
            EXPECT_TRUE(converge);
            if (seconds > 0) {
                EXPECT_TRUE(calc.Compaction().timeUp);
                EXPECT_EQ(calc.Compaction().moves, 0);
                EXPECT_EQ(calc.Compaction().rowsAfter, calc.Compaction().rowsBefore);
            }
            matrices.push_back(matrix);
        }
        EXPECT_EQ(matrices[1].levelCodes, matrices[0].levelCodes);
    }
}

TEST(RandomStream, TurnsDrawsIntoIndicesThatStayInTheirRange)
{
    const float highest = 0x1.fffffep-1f;  // the largest draw below 1
    for (int32_t size : {1, 2, 3, 10, 1000, 16777216}) {
        EXPECT_EQ(RandomStream::IndexFromDraw(0.0f, 1, size), 1);
        EXPECT_EQ(RandomStream::IndexFromDraw(highest, 1, size), size);
        EXPECT_EQ(RandomStream::IndexFromDraw(highest, 7, 7 + size - 1), 7 + size - 1);
    }
    // Rounded in single precision, 2 * r + 30 reaches 32 for the highest draw; the index
    // must stay 31. Sort ranges far from the start of their array are exactly this case.
    EXPECT_EQ(std::floor(2.0f * highest + 30.0f), 32.0f);
    EXPECT_EQ(RandomStream::IndexFromDraw(highest, 30, 31), 31);
    for (int32_t lo : {100, 5000, 1 << 20})
        EXPECT_EQ(RandomStream::IndexFromDraw(highest, lo, lo + 4), lo + 4);
    for (int32_t size : {16777217, 100000007})
        EXPECT_LE(RandomStream::IndexFromDraw(highest, 1, size), size);
    EXPECT_EQ(RandomStream::IndexFromDraw(0.5f, 1, 4), 3);

    RandomStream a(42, 1), b(42, 1), c(42, 2);
    int same = 0;
    for (int i = 0; i < 1000; ++i) {
        const float x = a.NextSingle();
        EXPECT_EQ(x, b.NextSingle());
        same += x == c.NextSingle();
        EXPECT_GE(x, 0.0f);
        EXPECT_LT(x, 1.0f);
    }
    EXPECT_LT(same, 5);
}
