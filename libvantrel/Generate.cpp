// The one path from a design to a suite: the evolutions' default, the seeds completed, the
// compaction and the time budget, the engine's messages as the result's error.

#include <vantrel/design.hpp>

#include "libvantrel/DesignImpl.h"

#include "engine/CCalcNWay.h"
#include "engine/EngineFatalError.h"
#include "engine/EngineReporter.h"
#include "engine/RandomStream.h"
#include "engine/SeedCompletion.h"

#include <algorithm>
#include <limits>
#include <optional>

namespace vantrel {

namespace {

// What the engine says, as an error of the library.
Error ErrorOf(const EngineMessage& message)
{
    Error error{Error::Kind::Model, message.text};
    error.helpTopic = message.helpContext;
    if (message.text.rfind("KQ Error", 0) == 0)
        error.kind = Error::Kind::Internal;
    else if (message.text == "Infeasible constraints")
        error.kind = Error::Kind::Infeasible;
    else if (message.icon == EngineIcon::Critical)
        error.kind = Error::Kind::TooLarge;
    else if (message.icon == EngineIcon::Exclamation)
        error.kind = Error::Kind::Rules;
    return error;
}

// The engine's side of a generation: its first message kept as the error, its progress handed
// to the caller's callback, an error of a worker thread to the caller's handler.
class LibraryReporter : public EngineReporter {
public:
    LibraryReporter(const ProgressCallback& progress, const std::function<void(std::exception_ptr)>& workerError,
                    int evolutions)
        : progress_(progress), workerError_(workerError), evolutions_(evolutions)
    {
    }

    EngineAnswer showMessage(const EngineMessage& message) override
    {
        if (!error)
            error = ErrorOf(message);
        return EngineAnswer::Ok;
    }
    void showNWayProgress() override {}
    bool updateNWayProgress(double fraction, int32_t numComplete, int32_t smallest) override
    {
        stopped = stopped || (progress_ && !progress_({phase_, fraction, numComplete, evolutions_, smallest}));
        return stopped;
    }
    void closeNWayProgress() override {}
    void nWayCompactionStarted(int32_t rows) override
    {
        phase_ = Progress::Phase::Compaction;
        updateNWayProgress(0, -1, rows);
    }
    void showStatusProgress() override {}
    bool updateStatusProgress(int, double) override { return false; }
    void setBusyPointer(bool) override {}
    void reportWorkerError(std::exception_ptr thrown) override
    {
        if (workerError_)
            workerError_(thrown);
    }

    std::optional<Error> error;
    bool stopped = false;

private:
    const ProgressCallback& progress_;
    const std::function<void(std::exception_ptr)>& workerError_;
    int evolutions_;
    Progress::Phase phase_ = Progress::Phase::Evolutions;
};

// The seeds completed into valid rows: they join the tables' previous tests and open the suite.
Result<void> AddSeeds(const Design::Impl& design, DesignTables& tables, Suite& suite)
{
    const ConstraintModel& model = *design.constraints;
    std::vector<std::vector<int32_t>> seeds = design.lookup.Codes(design.model.seeds);
    if (seeds.empty())
        return {};
    std::vector<int32_t> weights(size_t(model.NumEntries()), 1);
    for (int32_t f = 0; f < model.NumFactors() && size_t(f) < tables.weights.size(); ++f)
        for (size_t l = 0; l < tables.weights[size_t(f)].size(); ++l)
            weights[size_t(model.LevelOffset()[size_t(f)]) + l] = tables.weights[size_t(f)][l];
    const int32_t broken = CompleteSeedRows(model, design.lookup.Codes(tables.prevRuns), seeds, weights);
    if (broken >= 0)
        return Error{Error::Kind::Rows, "no valid test case holds the levels of this row", 0, 0, broken + 1};
    for (const std::vector<int32_t>& codes : seeds) {
        std::vector<std::string>& plain = tables.prevRuns.emplace_back();
        Row& shown = suite.rows.emplace_back();
        for (int32_t f = 0; f < model.NumFactors(); ++f) {
            plain.push_back(tables.Name(f, codes[size_t(f)] + 1));
            shown.push_back(tables.ShownName(f, codes[size_t(f)] + 1));
        }
    }
    return {};
}

// The search with the options' budget: compaction with a time budget takes what the
// evolutions leave, however many moves.
void SetBudget(CCalcNWay& calc, const Options& options)
{
    if (options.compactSeconds > 0 || options.compactMoves > 0 || options.timeLimit > 0)
        calc.SetCompaction(options.compactMoves > 0 ? options.compactMoves : std::numeric_limits<int64_t>::max(),
                           options.compactSeconds);
    calc.SetSearchMoves(options.searchMoves);
    calc.SetTimeLimit(options.timeLimit);
}

void TellOutcome(const CCalcNWay& calc, int32_t previous, Suite& suite)
{
    const CompactionSearch::Outcome& compaction = calc.Compaction();
    suite.evolutionsRun = calc.EvolutionsFinished();
    suite.evolutionCut = calc.EvolutionCut();
    suite.builtAtOnce = calc.BuiltAtOnce();
    suite.timeUp = calc.EvolutionCut() || compaction.timeUp;
    suite.compactionTimeUp = compaction.timeUp;
    suite.compactionMoves = compaction.moves;
    suite.compactionsRun = calc.CompactionsRun();
    suite.searchMoves = calc.SearchMoves();
    if (compaction.rowsBefore > 0) {
        suite.compactedFrom = compaction.rowsBefore - previous;
        suite.compactedTo = compaction.rowsAfter - previous;
    }
}

}  // namespace

Result<Suite> Design::Generate(const Options& options, const ProgressCallback& progress,
                               const std::function<void(std::exception_ptr)>& workerError) const
{
    const Impl& design = *impl_;
    if (options.strength < 2 || options.strength > 6)
        return Error{Error::Kind::Model, "the strength is a number from 2 to 6"};
    if (options.searchMoves.size() > 1024 ||
        std::any_of(options.searchMoves.begin(), options.searchMoves.end(), [](int64_t moves) { return moves < 0; }))
        return Error{Error::Kind::Model, "the moves of each compaction are a number from 0 on, for at most 1024 of them"};
    Suite suite;
    suite.factors = design.model.FactorNames();
    suite.seed = options.seed ? *options.seed : RandomStream::ClockSeed();
    suite.evolutionsTotal = options.evolutions ? *options.evolutions : DefaultEvolutions(options.strength, options.pairEvolutions);
    DesignTables tables = design.tables;
    const size_t previous = tables.prevRuns.size();
    if (Result<void> seeded = AddSeeds(design, tables, suite); !seeded)
        return seeded.error();
    LibraryReporter reporter(progress, workerError, std::max(suite.evolutionsTotal, 1));
    GeneratedMatrix matrix;
    int32_t numRows = 0;
    try {
        CCalcNWay calc(reporter, suite.evolutionsTotal, suite.seed, options.threads);
        calc.SetConstraints(design.constraints);
        SetBudget(calc, options);
        if (!calc.CalcNWayQXVMatrix(options.strength, tables, matrix, numRows, suite.converged))
            return reporter.error.value_or(Error{Error::Kind::Internal, "the search ended without a result"});
        TellOutcome(calc, int32_t(previous), suite);
    } catch (const EngineFatalError& fatal) {
        return Error{Error::Kind::Internal, fatal.what()};
    }
    suite.stopped = reporter.stopped;
    for (int32_t r = 0; r < numRows; ++r)
        suite.rows.push_back(matrix.names[size_t(r)]);
    // Previous tests (seeds among them) that cover everything leave nothing to generate.
    suite.converged = suite.converged || numRows < 1;
    return suite;
}

}  // namespace vantrel
