#include "app/modMainGeneration.h"

#include "app/CommandDesign.h"
#include "app/CommandRun.h"
#include "model/EngineDesign.h"
#include "app/GenerationReporter.h"
#include "app/frmMain.h"
#include "app/frmStatus.h"
#include "app/frmStrength.h"
#include "app/modMain.h"
#include "model/DesignWorkbook.h"
#include "app/modMainFind.h"
#include "engine/CAllCombinations.h"
#include "engine/CCalcNWay.h"
#include "engine/EngineFatalError.h"
#include "engine/RandomStream.h"
#include "engine/TupleEvolution.h"
#include "model/GridCellStore.h"
#include "platform/MessageBox.h"
#include "platform/StatusPanels.h"
#include "settings/CDefaults.h"
#include "engine/CompactionSearch.h"
#include "sheets/DesignHistory.h"
#include "sheets/frmGenerate.h"

#include <QApplication>
#include <QLocale>

#include <algorithm>
#include <limits>
#include <functional>

namespace modMain {

namespace {
GenerationReporter* gReporter = nullptr;  // the running covering-matrix search's

const char* const kTooSmall = "You must have at least two factors at two levels before generating the combinations.";

// An internal impossibility the engine has reported: the program ends without the save prompt.
void EndProgram(frmMain& main)
{
    gbDirty = false;
    main.hide();
    QCoreApplication::exit(EXIT_FAILURE);
}

// Fills the Test Cases sheet, with the status window's fourth bar for a long matrix. False when
// the user cancelled it there.
bool LoadIntoTestCases(frmMain& main, GenerationReporter& reporter, const DesignText& t, int numCases,
                       const frmGenerate::CaseCell& cell, const std::vector<bool>& removal)
{
    frmGenerate& sheet = *main.TestCasesSheet();
    sheet.setProgress(&reporter.Status());
    const bool loaded = sheet.LoadCasesIntoGrid(t.numFactors, t.factors, numCases, cell, removal);
    sheet.setProgress(nullptr);
    reporter.Status().Close();
    return loaded;
}

// Puts a generation's result on the Test Cases sheet as one step of the design's history,
// named `what`: Undo puts back the sheet as it was, with the stale flag and the strength panel,
// Redo the generated one, fresh, with `strength` in the panel. A fill the user cancelled leaves
// the sheet and the flags as they were, and no step: False.
bool PutGeneration(frmMain& main, const QString& what, const QString& strength, const std::function<bool()>& fill)
{
    const bool staleBefore = gbDesignChanged;
    const QString strengthBefore = main.PanelText(kPanelStrength);
    frmMain* window = &main;                     // lives as long as the history
    frmGenerate* sheet = main.TestCasesSheet();  // likewise
    const auto shown = [window, sheet, staleBefore, strengthBefore, strength](bool generated) {
        gbDirty = true;  // the file holds the sheet
        gbDesignChanged = generated ? false : staleBefore;
        window->setPanelText(kPanelStrength, generated ? strength : strengthBefore);
        for (int c = 0; c <= sheet->Grid->store()->maxCols(); ++c)
            sheet->Grid->fitColToText(c);
    };
    const bool filled = DesignHistory::RecordGeneration(what, fill, shown);
    if (filled) {
        gbDirty = true;
        gbDesignChanged = false;
        main.setPanelText(kPanelStrength, strength);
    }
    return filled;
}

// Keeps a pointer to the running search's reporter for Stop.
class RunningSearch {
public:
    explicit RunningSearch(GenerationReporter& reporter) { gReporter = &reporter; }
    ~RunningSearch() { gReporter = nullptr; }
    RunningSearch(const RunningSearch&) = delete;
    RunningSearch& operator=(const RunningSearch&) = delete;
};
}  // namespace

void StopGeneration()
{
    if (gReporter)
        gReporter->RequestStop();
}

void Generate2Way(const CommandContext& context)
{
    bool converged = false;
    GenerateNWay(context, 2, converged);
}

void GenerateNWayAsked(const CommandContext& context)
{
    if (gReporter)
        return;
    std::int32_t strength = context.settings.lStrength;
    {
        frmStrength dialog(strength, context.help, &context.window);
        if (dialog.exec() != QDialog::Accepted)
            return;
        strength = dialog.Strength();
    }
    context.settings.lStrength = strength;
    bool converged = false;
    GenerateNWay(context, strength, converged);
}

namespace {
// What a search left for the command: the matrix, whether it converged, and what ended it.
struct SearchResult {
    GeneratedMatrix matrix;
    std::int32_t numRows = 0;
    bool converged = false;
    QString ending;  // the time limit or Stop, and what compaction removed; empty when neither
};

// Why the search runs another number of evolutions than Options holds.
QString EvolutionNote(std::int32_t evolutions, std::int32_t set, std::int32_t strength, bool mixed)
{
    if (evolutions == set)
        return {};
    if (strength > 2 || mixed)
        return QStringLiteral("%1 evolutions, not the %2 of Options: a search of combinations of three or more levels, "
                              "or with groups or invalid levels, weighs 50 candidates for every test case.")
            .arg(evolutions)
            .arg(set);
    return QStringLiteral("%1 evolutions, not the %2 of Options: a design of so many pairs of levels runs as many as a "
                          "fixed amount of work holds.")
        .arg(evolutions)
        .arg(set);
}

// What ended the search besides covering everything, and what compaction took away.
// previous: the previous tests, which the matrix's counts include.
QString SearchEnding(const CCalcNWay& calc, const GenerationReporter& reporter, const CDefaults& settings,
                     std::int32_t previous)
{
    QStringList said;
    if (reporter.StopPressed())
        said << QStringLiteral("Stop ended the search.");
    else if (settings.bTimeLimit && (calc.EvolutionCut() || calc.Compaction().timeUp))
        said << QStringLiteral("The time limit of %1 seconds ended the search.").arg(settings.lTimeLimitSeconds);
    const CompactionSearch::Outcome& compaction = calc.Compaction();
    if (compaction.rowsBefore > 0)
        said << QStringLiteral("Compaction removed %1 of %2 test cases.")
                    .arg(compaction.rowsBefore - compaction.rowsAfter)
                    .arg(compaction.rowsBefore - previous);
    return said.join(QLatin1Char(' '));
}

// Runs the covering-matrix search with the settings' budget; Failed after the engine's message.
GenerationOutcome SearchMatrix(const CommandContext& context, const CommandDesign& design, std::int32_t strength,
                               GenerationReporter& reporter, std::int32_t evolutions, SearchResult& result)
{
    try {
        CCalcNWay calc(reporter, evolutions, RandomStream::ClockSeed());
        calc.SetConstraints(design.constraints);
        // Within a time limit compaction takes what the evolutions leave, unless an effort is set.
        const CDefaults& settings = context.settings;
        if (settings.bCompactTestCases)
            calc.SetCompaction(std::int64_t{settings.lCompactEffort} * 1000);
        else if (settings.bTimeLimit)
            calc.SetCompaction(std::numeric_limits<std::int64_t>::max());
        if (settings.bTimeLimit)
            calc.SetTimeLimit(settings.lTimeLimitSeconds);
        if (!calc.CalcNWayQXVMatrix(strength, design.tables, result.matrix, result.numRows, result.converged))
            return GenerationOutcome::Failed;
        result.ending = SearchEnding(calc, reporter, settings, std::int32_t(design.tables.prevRuns.size()));
    } catch (const EngineFatalError&) {
        EndProgram(context.window);
        return GenerationOutcome::Failed;
    }
    return GenerationOutcome::Generated;
}

// Puts the search's matrix on the Test Cases sheet as a step of the history; false when the
// user cancelled the filling.
bool PutSearched(const CommandContext& context, const CommandDesign& design, GenerationReporter& reporter,
                 const SearchResult& result, const QString& strength)
{
    frmMain& main = context.window;
    if (result.numRows < 1) {
        // The sheet must not go on showing a matrix of an earlier design as this one's.
        PutGeneration(main, QStringLiteral("Generate ") + strength, QString(), [&main] {
            main.TestCasesSheet()->SetupGrid();
            return true;
        });
        if (!gbAutoTest)
            ShowMessage(context.messages, QStringLiteral("The Previous Tests contain all the combinations."),
                        MsgButtons::OkCancel, MsgIcon::Information);
        return true;
    }
    const auto cell = [&result](int i, int c) {
        return QString::fromStdString(result.matrix.names[std::size_t(i - 1)][std::size_t(c - 1)]);
    };
    return PutGeneration(main, QStringLiteral("Generate ") + strength, strength, [&] {
        return LoadIntoTestCases(main, reporter, design.text, result.numRows, cell, {});
    });
}
}  // namespace

GenerationOutcome GenerateNWay(const CommandContext& context, std::int32_t In_lNumWays, bool& Ret_bConverge)
{
    Ret_bConverge = false;
    if (gReporter)
        return GenerationOutcome::Refused;
    if (!context.design.HasTwoFactorsAtTwoLevels(QString::fromLatin1(kTooSmall)))
        return GenerationOutcome::Refused;
    CommandDesign design;
    if (!ReadCommandDesign(context, design) || !AnyValidTestCase(context, design))
        return GenerationOutcome::Refused;

    const bool mixed = design.constraints->HasMixedRequirements();
    const std::int32_t evolutions = TupleEvolution::EvolutionsFor(In_lNumWays, context.settings.lMaxNumEvolutions, mixed,
                                                                  TupleEvolution::PairsOf(design.tables.levelCounts));
    GenerationReporter reporter(&context.window);
    reporter.setEvolutionTotal(std::max<std::int32_t>(evolutions, 1),  // as the search counts them
                               EvolutionNote(evolutions, context.settings.lMaxNumEvolutions, In_lNumWays, mixed));
    reporter.setTimeLimit(context.settings.bTimeLimit ? context.settings.lTimeLimitSeconds : 0);
    RunningSearch running(reporter);
    CommandRun run(context.window, [&reporter] { reporter.RequestStop(); });
    SearchResult result;
    if (const GenerationOutcome searched = SearchMatrix(context, design, In_lNumWays, reporter, evolutions, result);
        searched != GenerationOutcome::Generated)
        return searched;
    // Previous tests that already cover every pair leave nothing to generate: coverage is complete.
    Ret_bConverge = result.converged || result.numRows < 1;
    if (!PutSearched(context, design, reporter, result, QStringLiteral("%1-Way").arg(In_lNumWays)))
        return GenerationOutcome::Cancelled;
    context.window.SwitchToOutlookItem(frmMain::ItemTestCases);

    if (!Ret_bConverge && !gbAutoTest)
        ShowMessage(context.messages,
                    QStringLiteral("Failed to converge; this is usually caused by a nested constraint."),
                    MsgButtons::Ok, MsgIcon::None, 26);
    ReportGeneratedCoverage(context, In_lNumWays, result.ending);
    return GenerationOutcome::Generated;
}

void ValidateDesgin(const CommandContext& context)
{
    CommandDesign design;
    if (!ReadCommandDesign(context, design))
        return;
    // A design no test case can satisfy is not valid, whatever its tables say.
    if (AnyValidTestCase(context, design))
        ShowMessage(context.messages, QStringLiteral("The design is valid."), MsgButtons::Ok, MsgIcon::Information);
}

void GenerateAllPossible(const CommandContext& context)
{
    if (CommandRun::Active())
        return;
    if (!context.design.HasTwoFactorsAtTwoLevels(QString::fromLatin1(kTooSmall)))
        return;
    CommandDesign design;
    if (!ReadCommandDesign(context, design) || !AnyValidTestCase(context, design))
        return;
    const DesignText& t = design.text;

    frmMain& main = context.window;
    GenerationReporter reporter(&main);
    CommandRun run(main, nullptr);
    CAllCombinations all(reporter);
    // The sheet's cell for every combination; the rows go straight from the listing into it.
    all.SetBytesPerShownCell(GridCellStore::kBytesPerCell);
    all.SetThousandsSeparator(QLocale().groupSeparator().toStdString());
    AllCombinationsMatrix listing;
    std::vector<bool> removal;
    if (!all.CalcAllPossible(design.tables, *design.constraints, listing, removal))
        return;  // declined, refused or cancelled: the sheet is as it was

    // One shared text per level name: the sheet's cells hold references, not copies.
    const int numFactors = listing.NumFactors();
    std::vector<std::vector<QString>> names{std::size_t(numFactors)};
    for (int f = 0; f < numFactors; ++f)
        for (int l = 0; l <= listing.LevelCount(f); ++l)
            names[std::size_t(f)].push_back(QString::fromStdString(listing.Name(f, l)));
    const auto cell = [&](int i, int c) {
        if (c == 1 && (i & 0xFFFF) == 0)
            QCoreApplication::processEvents();  // a long listing keeps the windows painted
        return names[std::size_t(c - 1)][std::size_t(listing.LevelCode(i - 1, c - 1))];
    };
    if (PutGeneration(main, QStringLiteral("Generate All Combinations"), QString(),
                      [&] { return LoadIntoTestCases(main, reporter, t, listing.NumRows(), cell, removal); }))
        main.SwitchToOutlookItem(frmMain::ItemTestCases);
}

}  // namespace modMain
