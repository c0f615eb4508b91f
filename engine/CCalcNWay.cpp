#include "engine/CCalcNWay.h"

#include "engine/AvailableMemory.h"
#include "engine/EngineFatalError.h"
#include "engine/HashedArray.h"
#include "engine/PairArrayConstruction.h"
#include "engine/SearchedProduct.h"
#include "engine/StarterArray.h"
#include "engine/TripleArrayConstruction.h"
#include "engine/QxvEvolution.h"
#include "engine/RandomStream.h"
#include "engine/TupleCompaction.h"
#include "engine/TupleEvolution.h"

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cmath>
#include <condition_variable>
#include <limits>
#include <memory>
#include <mutex>
#include <stdexcept>
#include <thread>

namespace {

// Whether an evolution covered every required pair: those the previous tests settle from
// the start count as complete.
bool Complete(const EvolutionOutcome& outcome)
{
    return !outcome.convergedTouched || outcome.converged;
}

// A complete matrix beats an incomplete one, whatever their sizes; otherwise the smaller one wins.
bool Beats(int32_t rows, bool complete, int32_t otherRows, bool otherComplete)
{
    return complete != otherComplete ? complete : rows < otherRows;
}

}  // namespace

// The kept matrix: rows including the previous tests, the evolution that found it.
struct CCalcNWay::Kept {
    int32_t rows = 0;
    int32_t evolution = 0;
    bool complete = false;
    std::vector<int32_t> codes;  // 0-based level codes, rows x F

    bool BeatenBy(int32_t otherRows, bool otherComplete) const
    {
        return evolution == 0 || Beats(otherRows, otherComplete, rows, complete);
    }

    // The rows built (rows x F codes, complete) after the previous tests, P rows.
    void Replace(const std::vector<int32_t>& built, int32_t P, int32_t F)
    {
        codes.resize(static_cast<size_t>(P) * F);
        codes.insert(codes.end(), built.begin(), built.end());
        rows = P + static_cast<int32_t>(built.size()) / F;
        complete = true;
    }

    template <typename Evolution>
    void Take(const Evolution& evolution, int32_t number, bool isComplete, int32_t F)
    {
        rows = evolution.NumRows();
        this->evolution = number;
        complete = isComplete;
        codes.resize(static_cast<size_t>(rows) * F);
        for (int32_t r = 0; r < rows; ++r)
            std::copy(evolution.Row(r), evolution.Row(r) + F, codes.begin() + static_cast<ptrdiff_t>(r) * F);
    }
};

CCalcNWay::CCalcNWay(EngineReporter& reporter, int32_t lMaxNumEvolutions, uint64_t seed, unsigned threads)
    : reporter_(reporter), lMaxNumEvolutions_(lMaxNumEvolutions), seed_(seed), threads_(threads)
{
}

bool CCalcNWay::CalcNWayQXVMatrix(int32_t In_lNumWays, const DesignTables& In_design, GeneratedMatrix& Ret_vaMatrix,
                                  int32_t& Ret_lNumRowsInMatrix, bool& Ret_bConverge)
{
    if (In_design.levelCounts.size() != In_design.factors.size())
        throw std::invalid_argument("CalcNWayQXVMatrix: one level count per factor");

    // The stored number of evolutions may be anything; at least one runs.
    start_ = std::chrono::steady_clock::now();
    const int32_t numEvolutions = std::max(lMaxNumEvolutions_, 1);
    Ret_bConverge = false;
    lBestNumRows_ = 0;
    evolutionsFinished_ = 0;
    evolutionCut_ = false;
    builtAtOnce_ = false;
    compactionsRun_ = 0;
    compaction_ = CompactionSearch::Outcome{};

    ConvertFactorsToNumeric(In_design);
    if (!ConvertConstraintsToNumeric(In_design) || !ConvertPrevRunsToNumeric(In_design))
        return false;

    if (In_lNumWays < 2 || In_lNumWays > TupleTable::kMaxStrength)
        EndProgram("KQ Error: Infeasible number of ways in AllocateInteractions");
    // Sets of more factors than the design has: every combination of all of them.
    const int32_t strength = std::min(In_lNumWays, std::max(design_.lNumFactors, 2));
    unsigned threads = threads_ != 0 ? threads_ : std::max(1u, std::thread::hardware_concurrency());
    compactions_ = searchMoves_.empty() ? threads : static_cast<unsigned>(searchMoves_.size());
    movesRun_.clear();
    threads = ThreadsThatFit(static_cast<unsigned>(std::min<int64_t>(threads, numEvolutions)), strength);
    if (threads == 0)
        return false;
    design_.BuildTables();
    // Constraints that no row can keep are told first, whatever else the design holds.
    if (!design_.constraints->AnyValidRow()) {
        ShowInfeasibleConstraints();
        return false;
    }
    tupleTables_.clear();
    if (strength > 2 || design_.constraints->HasMixedRequirements())
        BuildTupleTables(strength);
    BuildBudgetArray(strength);

    reporter_.showNWayProgress();
    Kept kept;
    bool converge = false;
    const bool ok = RunSearch(numEvolutions, threads, kept, converge);
    if (ok)
        TakeBudgetArray(kept, converge);
    Ret_bConverge = converge;
    if (!ok) {
        ShowInfeasibleConstraints();
        reporter_.closeNWayProgress();
        return false;
    }
    // Under a time budget the compaction takes what the evolutions left, however many moves.
    const int64_t moves = timeLimit_ > 0 && compactMoves_ == 0 ? std::numeric_limits<int64_t>::max() : compactMoves_;
    secondsPerEvolution_ = SecondsSpent() / std::max(evolutionsFinished_, 1);
    if (moves > 0 && CompactionFitsBudget() && kept.complete && kept.rows > design_.lNumPrevRuns) {
        StartFromConstruction(kept, strength);
        if (CompactionFitsBudget())
            Compact(kept, moves);
    }
    lBestNumRows_ = kept.rows;
    ConvertFromNumericToActual(In_design, kept, Ret_vaMatrix, Ret_lNumRowsInMatrix);
    reporter_.closeNWayProgress();
    return true;
}

void CCalcNWay::BuildTupleTables(int32_t strength)
{
    // The design's strength over every factor, each group at its own, the invalid-level pairs.
    std::vector<int32_t> all(static_cast<size_t>(design_.lNumFactors));
    for (int32_t f = 0; f < design_.lNumFactors; ++f)
        all[static_cast<size_t>(f)] = f;
    tupleTables_.emplace_back().Build(design_, strength, all, TupleTable::Kind::Valid);
    for (const CompiledGroup& group : design_.constraints->Groups())
        tupleTables_.emplace_back().Build(design_, group.strength, group.factors, TupleTable::Kind::Valid);
    if (design_.constraints->HasInvalidLevels())
        tupleTables_.emplace_back().Build(design_, 2, all, TupleTable::Kind::InvalidPairs);
}

bool CCalcNWay::RunSearch(int32_t numEvolutions, unsigned threads, Kept& kept, bool& converge)
{
    const auto run = [&](const auto& make) {
        return threads <= 1 ? RunEvolutionsHere(numEvolutions, make, kept, converge)
                            : RunEvolutionsOnThreads(numEvolutions, threads, make, kept, converge);
    };
    if (!tupleTables_.empty())
        return run([this] { return std::make_unique<TupleEvolution>(design_, tupleTables_); });
    return run([this] { return std::make_unique<QxvEvolution>(design_); });
}

ImpliedExclusions CCalcNWay::FindImpliedExclusions(const DesignTables& design)
{
    ConvertFactorsToNumeric(design);
    if (!ConvertConstraintsToNumeric(design))
        return {};
    design_.PrepareCodes();
    ImpliedExclusions implied = design_.constraints->Implied();
    implied.levelOffset = design_.levelOffset;  // also when nothing is excluded
    return implied;
}

void CCalcNWay::ConvertFactorsToNumeric(const DesignTables& design)
{
    const int32_t F = design.NumFactors();
    design_ = NumericDesign{};
    design_.lNumFactors = F;
    design_.atFactors.resize(static_cast<size_t>(F));
    for (int32_t f = 0; f < F; ++f) {
        design_.atFactors[f].strName = design.Name(f, 0);
        design_.atFactors[f].lNumLevels = design.levelCounts[f];
    }
    if (design.weights.empty())
        return;
    for (int32_t f = 0; f < F; ++f)
        for (int32_t l = 0; l < design.levelCounts[f]; ++l) {
            const auto& weights = static_cast<size_t>(f) < design.weights.size() ? design.weights[f] : std::vector<int32_t>{};
            design_.weights.push_back(static_cast<size_t>(l) < weights.size() ? weights[l] : 1);
        }
}

bool CCalcNWay::ConvertConstraintsToNumeric(const DesignTables& design)
{
    std::shared_ptr<const ConstraintModel> model = givenConstraints_;
    if (!model) {
        const ConstraintCompile compiled = ConstraintModel::Compile(design);
        switch (compiled.problem) {
        case ConstraintCompile::Problem::RowFactors:
            EndProgram("KQ Error: Error in ConvertConstraintsToNumeric. Infeasible Factors.");
        case ConstraintCompile::Problem::RowLevels:
            EndProgram("KQ Error: Error in ConvertConstraintsToNumeric. Infeasible Levels.");
        case ConstraintCompile::Problem::Rules:
            reporter_.showMessage({compiled.ruleError.Described(), EngineButtons::Ok, EngineIcon::Exclamation, 0});
            return false;
        case ConstraintCompile::Problem::None: break;
        }
        model = compiled.model;
    }
    design_.constraints = model;
    design_.lNumConstraints = model->NumConstraintRows();
    design_.alConstraints.clear();
    for (const auto& codes : model->RowCodes())
        design_.alConstraints.insert(design_.alConstraints.end(), codes.begin(), codes.end());
    return true;
}

bool CCalcNWay::ConvertPrevRunsToNumeric(const DesignTables& design)
{
    const int32_t F = design.NumFactors();
    design_.lNumPrevRuns = static_cast<int32_t>(design.prevRuns.size());
    design_.alPrevRuns.assign(design.prevRuns.size() * static_cast<size_t>(F), 0);
    bool allValid = true;
    for (size_t p = 0; p < design.prevRuns.size(); ++p) {
        const auto& test = design.prevRuns[p];
        bool valid = true;
        for (int32_t f = 0; f < F; ++f) {
            static const std::string empty;
            const std::string& name = static_cast<size_t>(f) < test.size() ? test[f] : empty;
            int32_t code = 0;
            for (int32_t l = 1; l <= design.levelCounts[f] && code == 0; ++l)
                if (design.Name(f, l) == name)
                    code = l;
            design_.alPrevRuns[p * F + f] = code;
            valid = valid && code != 0;
        }
        if (!valid) {
            reporter_.showMessage({"KQ Error: Error in ConvertPrevRunsToNumeric. Invalid Previous Test.",
                                   EngineButtons::Ok, EngineIcon::None, 0});
            allValid = false;
        }
    }
    // A test with a factor left without a level cannot be searched with; every invalid test
    // has been reported, and the generation ends without a result.
    return allValid;
}

void CCalcNWay::EndProgram(const std::string& text)
{
    reporter_.showMessage({text, EngineButtons::Ok, EngineIcon::None, 0});
    throw EngineFatalError(text);
}

unsigned CCalcNWay::ThreadsThatFit(unsigned threads, int32_t strength)
{
    NumericDesign::MemoryNeed need = design_.EstimateMemory();
    if (!need.offsetsFit) {
        reporter_.showMessage({"The current design has more than 2 billion pairs of levels, too many for the 2-Way search. "
                               "Use fewer factors or fewer levels.",
                               EngineButtons::Ok, EngineIcon::Critical, 0});
        return 0;
    }
    // The pair tables are laid out for every strength; the tuple tables beside them. The
    // compaction runs once the evolutions are done, in one workspace of its own.
    double compactionBytes = 0;
    const auto addTable = [&](const std::vector<int32_t>& levels, int32_t t) {
        const TupleTable::MemoryNeed tuples = TupleTable::EstimateMemory(levels, t);
        need.tableBytes += tuples.tableBytes;
        need.workspaceBytes += tuples.workspaceBytes;
        if (compactMoves_ > 0 || timeLimit_ > 0)
            compactionBytes += tuples.compactionBytes;
    };
    // The tables of tuples BuildTupleTables lays out.
    const ConstraintModel& constraints = *design_.constraints;
    if (strength == 2 && !constraints.HasMixedRequirements() && (compactMoves_ > 0 || timeLimit_ > 0))
        compactionBytes = need.compactionBytes;
    if (strength > 2 || constraints.HasMixedRequirements()) {
        std::vector<int32_t> levels;
        for (const tNumFactor& factor : design_.atFactors)
            levels.push_back(factor.lNumLevels);
        addTable(levels, strength);
        for (const CompiledGroup& group : constraints.Groups()) {
            std::vector<int32_t> groupLevels;
            for (const int32_t f : group.factors)
                groupLevels.push_back(levels[static_cast<size_t>(f)]);
            addTable(groupLevels, group.strength);
        }
        if (constraints.HasInvalidLevels())
            addTable(levels, 2);
    }
    const std::string search = std::to_string(strength) + "-Way search";
    const std::optional<uint64_t> available = availableMemory_ ? availableMemory_ : AvailableMemoryBytes();
    if (!available && std::isfinite(need.tableBytes + compactionBytes))
        return threads;
    const double room = available ? static_cast<double>(*available) : 0.0;
    // Fewer evolutions at once when the machine cannot hold a workspace for each.
    while (threads > 1 && need.tableBytes + threads * need.workspaceBytes > room)
        --threads;
    const double needed = need.tableBytes + std::max(need.workspaceBytes, compactionBytes);
    // As many compactions at once as the threads, while the machine holds a workspace for each.
    while (compactions_ > 1 && need.tableBytes + compactions_ * compactionBytes > room)
        --compactions_;
    if (needed <= room)
        return threads;
    if (!std::isfinite(needed)) {
        reporter_.showMessage({"The current design has too many combinations of levels for the " + search +
                                   ". Use fewer factors or fewer levels.",
                               EngineButtons::Ok, EngineIcon::Critical, 0});
        return 0;
    }
    const auto megabytes = static_cast<uint64_t>(std::ceil(needed / (1024.0 * 1024.0)));
    reporter_.showMessage({"The current design would need " + std::to_string(megabytes) + " MB of memory for the " +
                               search + ", more than this computer can give. Use fewer factors or fewer levels.",
                           EngineButtons::Ok, EngineIcon::Critical, 0});
    return 0;
}

void CCalcNWay::ShowInfeasibleConstraints()
{
    reporter_.showMessage({"Infeasible constraints", EngineButtons::OkCancel, EngineIcon::Information, 27});
}

void CCalcNWay::ShowNoTestCases()
{
    reporter_.showMessage({"There are no test cases required for this model. This is usually caused by invalid constraints.",
                           EngineButtons::Ok, EngineIcon::None, 24});
}

template <typename Make>
bool CCalcNWay::RunEvolutionsHere(int32_t numEvolutions, const Make& make, Kept& kept, bool& converge)
{
    const int32_t F = design_.lNumFactors;
    const auto workspace = make();
    auto& evolution = *workspace;
    bool stop = false;
    evolution.SetRowProgress([&](double completeness) {
        if (reporter_.updateNWayProgress(completeness, -1, -1))
            stop = true;
    });
    HurryUnderBudget(evolution);
    bool convergedFlag = false;  // shared by the evolutions; one that is settled from the start leaves it
    for (int32_t evo = 1; evo <= numEvolutions; ++evo) {
        RandomStream random(seed_, static_cast<uint64_t>(evo));
        const EvolutionOutcome outcome = evolution.GenerateQXVMatrix(random);
        if (!outcome.ok)
            return false;
        ++evolutionsFinished_;
        evolutionCut_ = evolutionCut_ || outcome.hurried;
        if (outcome.noTestCases)
            ShowNoTestCases();
        if (outcome.convergedTouched)
            convergedFlag = outcome.converged;
        converge = converge || convergedFlag;
        const int32_t rows = evolution.NumRows();
        // An empty first matrix is kept and never beaten.
        const bool complete = Complete(outcome);
        if (rows > 0 && (evo == 1 || (kept.evolution != 0 && kept.BeatenBy(rows, complete))))
            kept.Take(evolution, evo, complete, F);
        // An evolution that had to hurry leaves no time for another.
        if (reporter_.updateNWayProgress(1.0, evo, kept.rows) || EvolutionTimeUp() || outcome.hurried)
            stop = true;
        if (stop)
            break;
    }
    return true;
}

// Under a time budget, an evolution of tuples still running when a quarter of the budget is
// spent, or whose candidates still to come in a row would take it past that, builds its
// remaining rows from one candidate each, leaving the compaction the rest: the first evolution
// of a large design would overrun the whole budget otherwise. Where an array made at once
// stands by, one still running near the end of the budget gives up for it.
template <typename Evolution>
void CCalcNWay::HurryUnderBudget(Evolution& evolution) const
{
    if constexpr (requires { evolution.SetHurry([](double) { return false; }); }) {
        if (timeLimit_ > 0)
            evolution.SetHurry([this](double secondsAhead) { return EvolutionLate(secondsAhead); });
        if (!budgetArray_.empty())
            evolution.SetGiveUp([this] { return SecondsSpent() >= timeLimit_ * kGiveUpShare; });
    }
}

// What the workers and the reporting thread share while evolutions run on several threads.
struct CCalcNWay::SharedRun {
    struct Record {
        std::atomic<bool> finished{false};
        EvolutionOutcome outcome;
        int32_t rows = 0;
        bool complete = false;
    };

    SharedRun(int32_t numEvolutions, unsigned threads)
        : numEvolutions(numEvolutions), records(static_cast<size_t>(numEvolutions) + 1), running(threads)
    {
    }
    bool Finished(int32_t evo) const { return records[evo].finished.load(std::memory_order_acquire); }
    void Notify()
    {
        std::lock_guard<std::mutex> lock(mutex);
        wake.notify_one();
    }

    const int32_t numEvolutions;
    std::vector<Record> records;  // by evolution number, from 1
    std::atomic<int32_t> nextEvolution{1};
    std::atomic<bool> stop{false};
    std::atomic<bool> failed{false};
    std::atomic<unsigned> running;
    std::atomic<double> latestCompleteness{0.0};
    std::mutex mutex;
    std::condition_variable wake;
    std::vector<std::exception_ptr> workerErrors;  // guarded by mutex
};

template <typename Make>
bool CCalcNWay::RunEvolutionsOnThreads(int32_t numEvolutions, unsigned threads, const Make& make, Kept& kept,
                                       bool& converge)
{
    SharedRun run(numEvolutions, threads);
    std::vector<Kept> workerKept(threads);
    std::vector<std::thread> pool;
    pool.reserve(threads);
    for (unsigned w = 0; w < threads; ++w)
        pool.emplace_back([&, w] { RunWorker(run, make, workerKept[w]); });
    const int32_t reported = ReportInOrder(run, converge);
    for (std::thread& thread : pool)
        thread.join();
    for (const std::exception_ptr& error : run.workerErrors)
        reporter_.reportWorkerError(error);
    if (run.failed.load())
        return false;

    // Every finished evolution competes, those that finished after a Stop included.
    bool convergedFlag = converge;
    for (int32_t evo = reported + 1; evo <= numEvolutions; ++evo) {
        const SharedRun::Record& record = run.records[evo];
        if (!record.finished.load())
            continue;
        if (record.outcome.convergedTouched)
            convergedFlag = record.outcome.converged;
        converge = converge || convergedFlag;
    }
    for (int32_t evo = 1; evo <= numEvolutions; ++evo) {
        evolutionsFinished_ += run.records[evo].finished.load() ? 1 : 0;
        evolutionCut_ = evolutionCut_ || (run.records[evo].finished.load() && run.records[evo].outcome.hurried);
    }

    // An empty first matrix is kept and never beaten.
    if (!(run.records[1].finished.load() && run.records[1].rows == 0))
        PickKept(workerKept, kept);
    return true;
}

template <typename Make>
void CCalcNWay::RunWorker(SharedRun& run, const Make& make, Kept& mine)
{
    const int32_t F = design_.lNumFactors;
    const auto workspace = make();
    auto& evolution = *workspace;
    evolution.SetRowProgress(
        [&run](double completeness) { run.latestCompleteness.store(completeness, std::memory_order_relaxed); });
    HurryUnderBudget(evolution);
    while (!run.stop.load() && !run.failed.load()) {
        const int32_t evo = run.nextEvolution.fetch_add(1);
        if (evo > run.numEvolutions)
            break;
        RandomStream random(seed_, static_cast<uint64_t>(evo));
        SharedRun::Record& record = run.records[evo];
        try {
            record.outcome = evolution.GenerateQXVMatrix(random);
        } catch (...) {
            // The evolution ends without a result, and so does this worker: an error
            // here (memory, mostly) would meet the next evolution too.
            record.rows = 0;
            {
                std::lock_guard<std::mutex> lock(run.mutex);
                run.workerErrors.push_back(std::current_exception());
            }
            record.finished.store(true, std::memory_order_release);
            break;
        }
        if (!record.outcome.ok) {
            run.failed.store(true);
            break;
        }
        record.rows = evolution.NumRows();
        record.complete = Complete(record.outcome);
        // Each worker takes its evolutions in rising order, so a strictly better
        // matrix is the only one that beats its kept one.
        if (record.rows > 0 && mine.BeatenBy(record.rows, record.complete))
            mine.Take(evolution, evo, record.complete, F);
        record.finished.store(true, std::memory_order_release);
        run.Notify();
    }
    run.running.fetch_sub(1);
    run.Notify();
}

// The calling thread reports: finished evolutions in their order, and the completeness of the
// running search while nothing finishes. Returns the evolutions reported.
int32_t CCalcNWay::ReportInOrder(SharedRun& run, bool& converge)
{
    int32_t reported = 0;
    int32_t bestSoFar = 0;
    bool bestComplete = false;
    bool convergedFlag = false;
    for (;;) {
        bool allDone = false;
        {
            std::unique_lock<std::mutex> lock(run.mutex);
            run.wake.wait_for(lock, std::chrono::milliseconds(100), [&] {
                return run.running.load() == 0 || run.failed.load() ||
                       (reported < run.numEvolutions && run.Finished(reported + 1));
            });
            allDone = run.running.load() == 0;
        }
        if (run.failed.load())
            break;
        bool progressed = false;
        while (!run.stop.load() && reported < run.numEvolutions && run.Finished(reported + 1)) {
            const int32_t evo = ++reported;
            const SharedRun::Record& record = run.records[evo];
            progressed = true;
            if (record.outcome.noTestCases)
                ShowNoTestCases();
            if (record.outcome.convergedTouched)
                convergedFlag = record.outcome.converged;
            converge = converge || convergedFlag;
            if (record.rows > 0 &&
                (evo == 1 || (bestSoFar > 0 && Beats(record.rows, record.complete, bestSoFar, bestComplete)))) {
                bestSoFar = record.rows;
                bestComplete = record.complete;
            }
            if (reporter_.updateNWayProgress(1.0, evo, bestSoFar) || EvolutionTimeUp() || record.outcome.hurried)
                run.stop.store(true);
        }
        if (allDone)
            break;
        if (!progressed && !run.stop.load() &&
            (reporter_.updateNWayProgress(run.latestCompleteness.load(), -1, -1) || (reported > 0 && EvolutionTimeUp())))
            run.stop.store(true);
    }
    return reported;
}

// The smallest non-empty matrix the workers kept, ties to the lowest evolution number.
void CCalcNWay::PickKept(std::vector<Kept>& workerKept, Kept& kept)
{
    for (Kept& candidate : workerKept) {
        if (candidate.evolution == 0)
            continue;
        if (kept.BeatenBy(candidate.rows, candidate.complete) ||
            (candidate.rows == kept.rows && candidate.complete == kept.complete && candidate.evolution < kept.evolution))
            kept = std::move(candidate);
    }
}

void CCalcNWay::StartFromConstruction(Kept& kept, int32_t strength) const
{
    // A design of level counts alone: an array built from finite fields (strength two or
    // three), when it has fewer rows than the evolutions' matrix, is what the compaction starts
    // from; then the product of searched arrays (strength two) and the starters' arrays, which
    // take a second or more each: not from a budget too short for them.
    if (!ConstructionsFit())
        return;
    const int32_t F = design_.lNumFactors;
    const int32_t P = design_.lNumPrevRuns;
    std::vector<int32_t> built = strength == 2   ? BuildPairArray(design_.levels, kept.rows - P)
                                 : strength == 3 ? BuildTripleArray(design_.levels, kept.rows - P)
                                                 : std::vector<int32_t>{};
    const auto bound = [&] { return built.empty() ? kept.rows - P : static_cast<int32_t>(built.size()) / F; };
    if (timeLimit_ <= 0 || SecondsLeft() >= kSearchedArraySeconds) {
        std::vector<int32_t> smaller = strength == 2 ? BuildSearchedProduct(design_.levels, bound(), seed_) : std::vector<int32_t>{};
        if (!smaller.empty())
            built = std::move(smaller);
        // The starters' searches end where the compaction would be left too little, or for a
        // Stop, which the progress window is asked about as often as the compaction asks it (no
        // evolution is running: its share of the bar is none).
        double lastLook = -kStarterLookSeconds;
        bool stopped = false;
        smaller = BuildStarterArray(design_.levels, strength, bound(), seed_, [&] {
            if (!stopped && SecondsSpent() - lastLook >= kStarterLookSeconds) {
                lastLook = SecondsSpent();
                stopped = reporter_.updateNWayProgress(0.0, -1, -1);
            }
            return stopped || (timeLimit_ > 0 && SecondsLeft() < std::max(kStarterReserveSeconds, kStarterReservePerStart * CompactionStartSeconds()));
        });
        if (!smaller.empty())
            built = std::move(smaller);
    }
    if (!built.empty())
        kept.Replace(built, P, F);
}

void CCalcNWay::BuildBudgetArray(int32_t strength)
{
    budgetArray_.clear();
    if (timeLimit_ <= 0 || !ConstructionsFit() || strength < 3 || tupleTables_.empty() ||
        static_cast<double>(tupleTables_[0].numTuples) < kBudgetArrayTuples)
        return;
    budgetArray_ = BuildHashedArray(design_.levels, strength, seed_);
}

void CCalcNWay::TakeBudgetArray(Kept& kept, bool& converge)
{
    const int32_t F = design_.lNumFactors;
    const int32_t P = design_.lNumPrevRuns;
    const std::vector<int32_t> array = std::move(budgetArray_);  // not held past this call
    budgetArray_.clear();
    if (array.empty() || (kept.complete && static_cast<size_t>(kept.rows - P) * F <= array.size()))
        return;
    kept.Replace(array, P, F);
    converge = true;
    builtAtOnce_ = evolutionCut_ = true;
}

bool CCalcNWay::ConstructionsFit() const
{
    // A design of level counts alone: no constraint ties its factors, and no group or invalid
    // level asks for more than its strength.
    return constructions_ && !design_.anyConstraint && !design_.constraints->HasMixedRequirements();
}

double CCalcNWay::SecondsLeft() const
{
    return timeLimit_ - SecondsSpent();
}

double CCalcNWay::CompactionStartSeconds() const
{
    // Laying out the compaction's tables and loading the matrix go over every combination once
    // per row, as an evolution does, but at random places rather than block after block: about
    // an evolution's time, up to twice or three times (10^50 at strength 3: 16 s against 9; the
    // loading stops where the budget ends, the matrix kept as it was).
    return secondsPerEvolution_;
}

bool CCalcNWay::CompactionFitsBudget() const
{
    // With less of the budget left than the compaction's start would take, the suite so far is
    // kept.
    return timeLimit_ <= 0 || SecondsLeft() > CompactionStartSeconds();
}

void CCalcNWay::Compact(Kept& kept, int64_t moves)
{
    // One search per thread from the same matrix, each with a stream of its own (the first
    // the one a single search takes), all with the same effort: the smallest result is kept,
    // ties to the lowest number, so a seed and a thread count give one matrix. Only the first
    // search, on the calling thread, reports; a Stop reaches the others at their next look.
    const unsigned searches = std::max(1u, compactions_);
    std::vector<std::unique_ptr<CompactionSearch>> compactions;
    for (unsigned s = 0; s < searches; ++s) {
        if (!tupleTables_.empty())
            compactions.push_back(std::make_unique<TupleCompaction>(design_, tupleTables_, kept.rows));
        else
            compactions.push_back(std::make_unique<MatrixCompaction>(design_, kept.rows));
    }
    // Under a time budget, what is left of it once the compaction's tables are laid out (a
    // moment at least: no time at all would mean no limit).
    double seconds = compactSeconds_;
    if (timeLimit_ > 0)
        seconds = std::max(seconds > 0 ? std::min(seconds, SecondsLeft()) : SecondsLeft(), 1e-9);
    reporter_.nWayCompactionStarted(kept.rows);
    std::vector<std::vector<int32_t>> codes(searches, kept.codes);
    std::vector<int32_t> rows(searches, kept.rows);
    std::vector<CompactionSearch::Outcome> outcomes(searches);
    std::atomic<bool> stop{false};
    const auto run = [&](unsigned s) {
        RandomStream random(seed_, s == 0 ? 0 : ~uint64_t{0} - s);  // the evolutions take the streams from 1 on
        const int64_t effort = s < searchMoves_.size() ? searchMoves_[s] : moves;
        outcomes[s] = compactions[s]->Compact(codes[s], rows[s], effort, seconds, random, [&](double fraction, int32_t best) {
            if (s == 0 && reporter_.updateNWayProgress(fraction, -1, best))
                stop.store(true);
            return stop.load();
        });
    };
    // An error in another search ends that search only (its matrix, a complete one, stays
    // where it was loaded); it is handed to the reporter on this thread.
    std::vector<std::exception_ptr> errors(searches);
    std::vector<std::thread> others;
    for (unsigned s = 1; s < searches; ++s)
        others.emplace_back([&, s] {
            try {
                run(s);
            } catch (...) {
                errors[s] = std::current_exception();
            }
        });
    try {
        run(0);
    } catch (...) {
        // The others stop at their next look and are waited for before the error goes on.
        stop.store(true);
        for (std::thread& thread : others)
            thread.join();
        throw;
    }
    for (std::thread& thread : others)
        thread.join();
    unsigned chosen = 0;
    for (unsigned s = 1; s < searches; ++s) {
        if (errors[s])
            reporter_.reportWorkerError(errors[s]);
        else
            chosen = rows[s] < rows[chosen] ? s : chosen;
    }
    compaction_ = outcomes[chosen];
    compactionsRun_ = searches;
    for (const CompactionSearch::Outcome& outcome : outcomes)
        movesRun_.push_back(outcome.moves);
    kept.codes = std::move(codes[chosen]);
    kept.rows = rows[chosen];
}

void CCalcNWay::ConvertFromNumericToActual(const DesignTables& design, const Kept& kept, GeneratedMatrix& matrix,
                                           int32_t& numRows) const
{
    const int32_t F = design_.lNumFactors;
    const int32_t P = design_.lNumPrevRuns;
    matrix = GeneratedMatrix{};
    matrix.numFactors = F;
    numRows = 0;
    if (kept.rows <= P)
        return;
    numRows = kept.rows - P;
    matrix.numRows = numRows;
    matrix.levelCodes.resize(static_cast<size_t>(numRows) * F);
    matrix.names.resize(static_cast<size_t>(numRows));
    for (int32_t r = 0; r < numRows; ++r) {
        matrix.names[r].resize(static_cast<size_t>(F));
        for (int32_t f = 0; f < F; ++f) {
            const int32_t code = kept.codes[static_cast<size_t>(r + P) * F + f] + 1;
            matrix.levelCodes[static_cast<size_t>(r) * F + f] = code;
            matrix.names[r][f] = design.ShownName(f, code);
        }
    }
}
