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
    const DesignText& t = design.text;

    const std::int32_t evolutions =
        TupleEvolution::EvolutionsFor(In_lNumWays, context.settings.lMaxNumEvolutions,
                                      design.constraints->HasMixedRequirements(),
                                      TupleEvolution::PairsOf(design.tables.levelCounts));
    frmMain& main = context.window;
    GenerationReporter reporter(&main);
    reporter.setEvolutionTotal(std::max<std::int32_t>(evolutions, 1));  // as the search counts them
    RunningSearch running(reporter);
    CommandRun run(main, [&reporter] { reporter.RequestStop(); });

    GeneratedMatrix matrix;
    std::int32_t numRows = 0;
    bool converged = false;
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
        if (!calc.CalcNWayQXVMatrix(In_lNumWays, design.tables, matrix, numRows, converged))
            return GenerationOutcome::Failed;
    } catch (const EngineFatalError&) {
        EndProgram(main);
        return GenerationOutcome::Failed;
    }
    // Previous tests that already cover every pair leave nothing to generate: coverage is complete.
    Ret_bConverge = converged || numRows < 1;

    const QString strength = QStringLiteral("%1-Way").arg(In_lNumWays);
    if (numRows < 1) {
        // The sheet must not go on showing a matrix of an earlier design as this one's.
        PutGeneration(main, QStringLiteral("Generate ") + strength, QString(), [&main] {
            main.TestCasesSheet()->SetupGrid();
            return true;
        });
        if (!gbAutoTest)
            ShowMessage(context.messages, QStringLiteral("The Previous Tests contain all the combinations."),
                        MsgButtons::OkCancel, MsgIcon::Information);
    } else {
        const auto cell = [&matrix](int i, int c) {
            return QString::fromStdString(matrix.names[std::size_t(i - 1)][std::size_t(c - 1)]);
        };
        if (!PutGeneration(main, QStringLiteral("Generate ") + strength, strength,
                           [&] { return LoadIntoTestCases(main, reporter, t, numRows, cell, {}); }))
            return GenerationOutcome::Cancelled;
    }
    main.SwitchToOutlookItem(frmMain::ItemTestCases);

    if (!Ret_bConverge && !gbAutoTest)
        ShowMessage(context.messages,
                    QStringLiteral("Failed to converge; this is usually caused by a nested constraint."),
                    MsgButtons::Ok, MsgIcon::None, 26);
    ReportGeneratedCoverage(context, In_lNumWays);
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
