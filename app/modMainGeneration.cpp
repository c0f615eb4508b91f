#include "app/modMainGeneration.h"

#include "app/CommandDesign.h"
#include "app/CommandRun.h"
#include "app/GenerationReporter.h"
#include "app/frmMain.h"
#include "app/frmStatus.h"
#include "app/frmStrength.h"
#include "app/modMain.h"
#include "model/DesignWorkbook.h"
#include "app/modMainFind.h"
#include "model/GridCellStore.h"
#include "platform/MessageBox.h"
#include "platform/StatusPanels.h"
#include "settings/CDefaults.h"
#include "sheets/DesignHistory.h"
#include "sheets/frmGenerate.h"

#include <QApplication>
#include <QGuiApplication>
#include <QLocale>

#include <algorithm>
#include <limits>
#include <functional>
#include <optional>

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

// Puts the listing on the Test Cases sheet: one shared text per level name, so that the
// sheet's cells hold references, not copies.
void PutListing(const CommandContext& context, const CommandDesign& design, GenerationReporter& reporter,
                const vantrel::Listing& listing)
{
    std::vector<std::vector<QString>> names{std::size_t(listing.Factors())};
    for (int f = 0; f < listing.Factors(); ++f)
        for (int l = 0; l < listing.LevelCount(f); ++l)
            names[std::size_t(f)].push_back(QString::fromStdString(listing.Shown(f, l)));
    std::vector<bool> removal(std::size_t(listing.Rows()));
    for (std::int64_t r = 0; r < listing.Rows(); ++r)
        removal[std::size_t(r)] = listing.Removed(r);
    const auto cell = [&](int i, int c) {
        if (c == 1 && (i & 0xFFFF) == 0)
            QCoreApplication::processEvents();  // a long listing keeps the windows painted
        return names[std::size_t(c - 1)][std::size_t(listing.Level(i - 1, c - 1))];
    };
    frmMain& main = context.window;
    if (PutGeneration(main, QStringLiteral("Generate All Combinations"), QString(), [&] {
            return LoadIntoTestCases(main, reporter, design.text, int(listing.Rows()), cell, removal);
        }))
        main.SwitchToOutlookItem(frmMain::ItemTestCases);
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
// Why the search runs another number of evolutions than Options holds.
QString EvolutionNote(std::int32_t evolutions, std::int32_t set)
{
    if (evolutions == set)
        return {};
    if (evolutions == 3 && set > 3)
        return QStringLiteral("3 evolutions, not the %1 of Options: a search of combinations of three or more levels, "
                              "or with groups or invalid levels, weighs 50 candidates for every test case.")
            .arg(set);
    return QStringLiteral("%1 evolutions, not the %2 of Options: a design of so many pairs of levels runs as many as a "
                          "fixed amount of work holds.")
        .arg(evolutions)
        .arg(set);
}

// What ended the search besides covering everything, and what compaction took away.
QString SearchEnding(const vantrel::Suite& suite, const GenerationReporter& reporter, const CDefaults& settings)
{
    QStringList said;
    if (reporter.StopPressed())
        said << QStringLiteral("Stop ended the search.");
    else if (settings.bTimeLimit && suite.timeUp)
        said << QStringLiteral("The time limit of %1 seconds ended the search.").arg(settings.lTimeLimitSeconds);
    if (suite.compactedFrom > 0)
        said << QStringLiteral("Compaction removed %1 of %2 test cases.")
                    .arg(suite.compactedFrom - suite.compactedTo)
                    .arg(suite.compactedFrom);
    return said.join(QLatin1Char(' '));
}

// The search with the settings' budget; an error of the library is shown (an internal one
// ends the program), and nothing is given.
std::optional<vantrel::Suite> SearchMatrix(const CommandContext& context, const CommandDesign& design,
                                           std::int32_t strength, GenerationReporter& reporter)
{
    const CDefaults& settings = context.settings;
    vantrel::Options options;
    options.strength = strength;
    options.pairEvolutions = settings.lMaxNumEvolutions;
    if (settings.bCompactTestCases)
        options.compactMoves = std::int64_t{settings.lCompactEffort} * 1000;
    if (settings.bTimeLimit)
        options.timeLimit = settings.lTimeLimitSeconds;
    vantrel::Result<vantrel::Suite> suite = design.design->Generate(
        options, [&reporter](const vantrel::Progress& progress) { return reporter.SearchProgress(progress); },
        [&reporter](std::exception_ptr error) { reporter.ReportWorkerError(error); });
    reporter.CloseSearchProgress();
    if (suite)
        return std::move(suite).value();
    ShowLibraryError(context, suite.error());
    if (suite.error().kind == vantrel::Error::Kind::Internal)
        EndProgram(context.window);
    return std::nullopt;
}

// Puts the search's matrix on the Test Cases sheet as a step of the history; false when the
// user cancelled the filling.
bool PutSearched(const CommandContext& context, const CommandDesign& design, GenerationReporter& reporter,
                 const vantrel::Suite& suite, const QString& strength)
{
    frmMain& main = context.window;
    if (suite.rows.empty()) {
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
    const auto cell = [&suite](int i, int c) {
        return QString::fromStdString(suite.rows[std::size_t(i - 1)][std::size_t(c - 1)]);
    };
    return PutGeneration(main, QStringLiteral("Generate ") + strength, strength, [&] {
        return LoadIntoTestCases(main, reporter, design.text, int(suite.rows.size()), cell, {});
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

    const std::int32_t evolutions = design.design->DefaultEvolutions(In_lNumWays, context.settings.lMaxNumEvolutions);
    GenerationReporter reporter(&context.window);
    reporter.setEvolutionTotal(std::max<std::int32_t>(evolutions, 1),  // as the search counts them
                               EvolutionNote(evolutions, context.settings.lMaxNumEvolutions));
    reporter.setTimeLimit(context.settings.bTimeLimit ? context.settings.lTimeLimitSeconds : 0);
    RunningSearch running(reporter);
    CommandRun run(context.window, [&reporter] { reporter.RequestStop(); });
    const std::optional<vantrel::Suite> suite = SearchMatrix(context, design, In_lNumWays, reporter);
    if (!suite)
        return GenerationOutcome::Failed;
    // Previous tests that already cover every pair leave nothing to generate: coverage is complete.
    Ret_bConverge = suite->converged;
    if (!PutSearched(context, design, reporter, *suite, QStringLiteral("%1-Way").arg(In_lNumWays)))
        return GenerationOutcome::Cancelled;
    context.window.SwitchToOutlookItem(frmMain::ItemTestCases);

    if (!Ret_bConverge && !gbAutoTest)
        ShowMessage(context.messages,
                    QStringLiteral("Failed to converge; this is usually caused by a nested constraint."),
                    MsgButtons::Ok, MsgIcon::None, 26);
    ReportGeneratedCoverage(context, In_lNumWays, SearchEnding(*suite, reporter, context.settings));
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
    frmMain& main = context.window;
    GenerationReporter reporter(&main);
    CommandRun run(main, nullptr);
    // The sheet's cell for every combination; the rows go straight from the listing into it.
    const vantrel::ListingOptions options{GridCellStore::kBytesPerCell, QLocale().groupSeparator().toStdString()};
    const auto confirm = [&context](const std::string& question, int helpTopic) {
        return ShowMessage(context.messages, QString::fromStdString(question), MsgButtons::YesNo, MsgIcon::None,
                           helpTopic) == MsgResult::Yes;
    };
    QGuiApplication::setOverrideCursor(Qt::WaitCursor);
    vantrel::Result<vantrel::Listing> listed = design.design->AllCombinations(
        options, confirm, [&reporter](int step, double fraction) { return reporter.ListingProgress(step, fraction); });
    QGuiApplication::restoreOverrideCursor();
    if (!listed) {
        ShowLibraryError(context, listed.error());  // declined or cancelled: the sheet is as it was
        return;
    }
    PutListing(context, design, reporter, listed.value());
}

}  // namespace modMain
