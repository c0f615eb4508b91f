#pragma once
// The covering-matrix search. One object serves one generation.
//
//     CCalcNWay calc(reporter, settings.lMaxNumEvolutions, RandomStream::ClockSeed());
//     GeneratedMatrix matrix; int32_t rows = 0; bool converged = false;
//     if (calc.CalcNWayQXVMatrix(2, design, matrix, rows, converged)) { ... }
//
// The design is converted to level codes, then the evolutions run: each builds a complete
// covering matrix from the previous tests, a random admissible row and greedy rows, and
// removes the rows that cover nothing alone. At strength 3 to 6 (every combination of the
// levels of every t factors), and for a design with groups or invalid levels at any strength,
// a TupleEvolution over tables of every kind of requirement takes the place of the pair
// search's. The smallest matrix is kept (ties to the lowest evolution number) and returned as
// level names, without the previous tests.
//
// Evolutions run on several threads at once. Each takes its draws from its own stream,
// derived from the seed and its number, so one seed gives the same matrix on any number of
// threads. The reporter is only ever called on the calling thread: it shows the progress
// window, gets the completeness of the running search from time to time and the evolution
// count with the best size after every finished evolution, in evolution order. When a
// progress call answers Stop, no further evolution starts; the running ones finish and
// compete for the result, which is returned as a normal result.
//
// Optionally the kept matrix, when complete, is then compacted (MatrixCompaction for pairs,
// TupleCompaction for tables of tuples): one search per thread, each with a stream of its own,
// the smallest result kept, so the result depends on the seed, the thread count and the effort
// alone (a time budget may end the searches at other moves from run to run). A design of level
// counts alone may start its pairwise compaction from an array built from finite fields. The
// progress window shows the rows of the first search's best matrix so far; Stop keeps it.

#include "engine/DesignTables.h"
#include "engine/EngineReporter.h"
#include "engine/GeneratedMatrix.h"
#include "engine/MatrixCompaction.h"
#include "engine/NumericDesign.h"
#include "engine/TupleTable.h"

#include <algorithm>
#include <chrono>
#include <cstdint>
#include <optional>
#include <vector>

class CCalcNWay {
public:
    // lMaxNumEvolutions: the settings' number of evolutions; at least one always runs.
    // threads: evolutions run at once; 0 takes every core, 1 runs them on the calling thread.
    CCalcNWay(EngineReporter& reporter, int32_t lMaxNumEvolutions, uint64_t seed, unsigned threads = 0);

    // In_lNumWays: the strength, 2 to 6; beyond the number of factors, every combination.
    // Fills the matrix of generated test cases (level names and codes), its row count (0 when
    // the previous tests already cover every required pair) and whether any evolution
    // reached full coverage within its iteration limit. Returns false, with nothing filled,
    // when a design's constraints left no admissible random row ("Infeasible constraints"),
    // the design could not be converted or its search would not fit in memory; the message
    // has been shown.
    // Throws EngineFatalError after a "KQ Error: ..." message that ends the program.
    bool CalcNWayQXVMatrix(int32_t In_lNumWays, const DesignTables& In_design, GeneratedMatrix& Ret_vaMatrix,
                           int32_t& Ret_lNumRowsInMatrix, bool& Ret_bConverge);

    // What the constraints of the design exclude together beyond the pairs they name: levels
    // and pairs of levels that no valid row holds. Throws EngineFatalError, after its message,
    // for a constraint that names no factor or level of the design.
    ImpliedExclusions FindImpliedExclusions(const DesignTables& design);

    // After a call: rows of the kept matrix including the previous tests, and the number of
    // evolutions that finished.
    int32_t BestNumRows() const { return lBestNumRows_; }
    int32_t EvolutionsFinished() const { return evolutionsFinished_; }
    // Whether a time budget cut an evolution short (its later rows built from one candidate
    // each): the evolutions finished then repeat the result only within the same budget.
    bool EvolutionCut() const { return evolutionCut_; }
    // Whether an array made at once under a time budget took the evolutions' place (smaller, or
    // they could not finish): it too repeats only within the same budget.
    bool BuiltAtOnce() const { return builtAtOnce_; }
    // Compactions the last call ran at once (one per thread, as the memory held).
    unsigned CompactionsRun() const { return compactionsRun_; }

    // Compaction after the evolutions: at most `moves` moves (0: no compaction, the default)
    // and at most `seconds` (0: no time limit).
    void SetCompaction(int64_t moves, double seconds = 0)
    {
        compactMoves_ = moves;
        compactSeconds_ = seconds;
    }
    // One compaction per entry, all at once from the kept matrix, each for its own number of
    // moves, 0 included (the effort SetCompaction sets is then the largest): with the
    // SearchMoves of a budget's run on several threads, what repeats its suite without it.
    void SetSearchMoves(std::vector<int64_t> moves)
    {
        searchMoves_ = std::move(moves);
        if (!searchMoves_.empty())
            compactMoves_ = std::max<int64_t>(1, *std::max_element(searchMoves_.begin(), searchMoves_.end()));
    }
    // The moves each compaction of the last call made, in the order of their streams.
    const std::vector<int64_t>& SearchMoves() const { return movesRun_; }
    // One budget of wall time for the whole generation (0: none). The evolutions start while
    // half of it lasts (the first always runs, however long it takes), then the kept matrix is
    // compacted for what is left (for at most the moves set, unlimited if none were). The
    // evolutions finished and the compaction's moves repeat the result without a budget.
    void SetTimeLimit(double seconds) { timeLimit_ = seconds; }

    // What the last compaction did; its row counts include the previous tests. rowsBefore
    // is 0 when none ran.
    const CompactionSearch::Outcome& Compaction() const { return compaction_; }

    // The design's constraints as the command compiled them (ConstraintModel::Compile of the
    // same design); without, the engine compiles them itself.
    void SetConstraints(std::shared_ptr<const ConstraintModel> constraints) { givenConstraints_ = std::move(constraints); }

    // Whether a compaction may start from an array built from finite fields or from smaller
    // searched ones (by default it may).
    void SetConstructions(bool allowed) { constructions_ = allowed; }

    // The memory free for the search; by default what the machine reports when asked.
    void SetAvailableMemory(std::optional<uint64_t> bytes) { availableMemory_ = bytes; }

private:
    struct Kept;
    struct SharedRun;

    void ConvertFactorsToNumeric(const DesignTables& design);
    bool ConvertConstraintsToNumeric(const DesignTables& design);
    bool ConvertPrevRunsToNumeric(const DesignTables& design);
    [[noreturn]] void EndProgram(const std::string& text);
    // make() gives an evolution's workspace (one per thread).
    template <typename Make>
    bool RunEvolutionsHere(int32_t numEvolutions, const Make& make, Kept& kept, bool& converge);
    template <typename Make>
    bool RunEvolutionsOnThreads(int32_t numEvolutions, unsigned threads, const Make& make, Kept& kept, bool& converge);
    // The parts of a run on threads: one worker of the pool, the in-order reporting on the
    // calling thread, the final pick among the workers' kept matrices.
    template <typename Make>
    void RunWorker(SharedRun& run, const Make& make, Kept& mine);
    template <typename Evolution>
    void HurryUnderBudget(Evolution& evolution) const;
    int32_t ReportInOrder(SharedRun& run, bool& converge);
    static void PickKept(std::vector<Kept>& workerKept, Kept& kept);
    unsigned ThreadsThatFit(unsigned threads, int32_t strength);
    void BuildTupleTables(int32_t strength);
    bool RunSearch(int32_t numEvolutions, unsigned threads, Kept& kept, bool& converge);
    void ShowInfeasibleConstraints();
    void ShowNoTestCases();
    void StartFromConstruction(Kept& kept, int32_t strength) const;
    static constexpr double kSearchedArraySeconds = 10;
    // The starters' searches leave the compaction at least this, and twice its start's reckoning.
    static constexpr double kStarterReserveSeconds = 5;
    static constexpr double kStarterReservePerStart = 2;
    static constexpr double kStarterLookSeconds = 0.1;
    void Compact(Kept& kept, int64_t moves);
    // Of the time limit, from the start of the generation.
    double SecondsLeft() const;
    void ConvertFromNumericToActual(const DesignTables& design, const Kept& kept, GeneratedMatrix& matrix,
                                    int32_t& numRows) const;

    EngineReporter& reporter_;
    int32_t lMaxNumEvolutions_;
    uint64_t seed_;
    unsigned threads_;
    NumericDesign design_;
    // From strength 3, or with groups or invalid levels: the tables of every kind of requirement.
    std::vector<TupleTable> tupleTables_;
    int32_t lBestNumRows_ = 0;
    int32_t evolutionsFinished_ = 0;
    bool evolutionCut_ = false;
    bool builtAtOnce_ = false;
    unsigned compactions_ = 1;  // compactions run at once: one per thread, as the memory holds
    unsigned compactionsRun_ = 0;
    bool constructions_ = true;
    std::optional<uint64_t> availableMemory_;
    std::shared_ptr<const ConstraintModel> givenConstraints_;
    int64_t compactMoves_ = 0;
    std::vector<int64_t> searchMoves_;
    std::vector<int64_t> movesRun_;
    double compactSeconds_ = 0;
    double timeLimit_ = 0;
    std::chrono::steady_clock::time_point start_;
    // Under a time budget, whether what is left of it can pay for a compaction's start, and
    // what that start takes, from the seconds an evolution took.
    bool CompactionFitsBudget() const;
    double CompactionStartSeconds() const;
    double secondsPerEvolution_ = 0;
    // Whether the evolutions' half of the time budget is spent; whether an evolution still
    // running should hurry (with secondsAhead of work in view), leaving the compaction most
    // of the budget.
    bool EvolutionTimeUp() const { return timeLimit_ > 0 && SecondsSpent() >= timeLimit_ / 2; }
    bool EvolutionLate(double secondsAhead = 0) const
    {
        return timeLimit_ > 0 && SecondsSpent() + secondsAhead >= timeLimit_ * kHurryShare;
    }
    static constexpr double kHurryShare = 0.25;
    // Under a time budget, a design of level counts alone with this many combinations or more
    // gets an array made at once (engine/HashedArray.h) before the evolutions; an evolution still
    // running when this share of the budget is spent gives up, and the array takes its place.
    static constexpr double kBudgetArrayTuples = 1e6;
    static constexpr double kGiveUpShare = 0.9;
    std::vector<int32_t> budgetArray_;
    // Whether the constructions may stand in for the search: allowed, and a design of level
    // counts alone.
    bool ConstructionsFit() const;
    void BuildBudgetArray(int32_t strength);
    void TakeBudgetArray(Kept& kept, bool& converge);
    double SecondsSpent() const { return std::chrono::duration<double>(std::chrono::steady_clock::now() - start_).count(); }
    CompactionSearch::Outcome compaction_;
};
