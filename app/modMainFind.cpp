#include "app/modMainFind.h"

#include "app/CommandDesign.h"
#include "app/frmMain.h"
#include "app/modMain.h"
#include "app/modMainGeneration.h"
#include "model/DesignWorkbook.h"
#include "model/GridCellStore.h"
#include "platform/MessageBox.h"
#include "search/CFind.h"
#include "search/CoverageSummary.h"
#include "search/TupleCoverage.h"
#include "search/frmFindInter.h"
#include "sheets/SheetWindow.h"

#include <algorithm>
#include <climits>
#include <string>
#include <vector>

namespace modMain {

namespace {
// A design edited since its test cases were generated is offered a regeneration first.
// False when the command goes no further: the user declined, or the regeneration gave no
// result (its messages have been shown).
bool TestCasesCurrent(const CommandContext& context, bool& regenerated)
{
    regenerated = false;
    if (!gbDesignChanged)
        return true;
    const MsgResult answer = ShowMessage(
        context.messages,
        QStringLiteral("The test cases need to be recomputed before finding a combination. Would you like to generate "
                       "all two-way combinations now?"),
        MsgButtons::YesNoCancel);
    if (answer != MsgResult::Yes)
        return false;
    bool converged = false;
    regenerated = GenerateNWay(context, 2, converged) == GenerationOutcome::Generated;
    return regenerated;
}

bool HasTwoFactorsAtTwoLevels(const CommandContext& context)
{
    return context.design.HasTwoFactorsAtTwoLevels(
        QStringLiteral("You must have at least two factors at two levels to perform this operation."));
}

// A count as the summary takes it.
std::int32_t Clamped(std::int64_t count) { return std::int32_t(std::min<std::int64_t>(count, INT32_MAX)); }

// The summary box; a self-test run shows only one that reports a gap.
void ShowCoverage(const CommandContext& context, std::int64_t found, std::int64_t missing, bool violation)
{
    const CoverageSummary summary = SummarizeCoverage(Clamped(found), Clamped(missing), violation);
    if (summary.complete && gbAutoTest)
        return;
    ShowMessage(context.messages, summary.text, MsgButtons::Ok, MsgIcon::None, summary.helpContext);
}

// The test cases of the Test Cases sheet as level names, one per factor (row 1 holds the names).
std::vector<std::vector<std::string>> TestCaseRows(const GridCellStore& grid, std::int32_t numFactors)
{
    std::vector<std::vector<std::string>> rows;
    for (int r = 2; r <= grid.maxRows(); ++r) {
        std::vector<std::string>& row = rows.emplace_back();
        for (int f = 1; f <= numFactors; ++f)
            row.push_back(grid.text(f, r).toStdString());
    }
    return rows;
}

// Every combination of the levels of In_lNumWays factors that the design asks for (with groups
// or invalid levels, every kind of them), counted over the Test Cases sheet as one.
TupleCoverage TotalCoverage(const CommandContext& context, const CommandDesign& design, std::int32_t In_lNumWays)
{
    const auto rows = TestCaseRows(context.design.TestCasesGrid(), design.text.numFactors);
    const TupleCoverage coverage = CountTupleCoverage(design.tables, *design.constraints, rows, In_lNumWays, false);
    TupleCoverage total = TotalOf(coverage);
    total.violation = coverage.violation;
    return total;
}
}  // namespace

void FindAllCombinations(const CommandContext& context)
{
    bool regenerated = false;
    if (!TestCasesCurrent(context, regenerated))
        return;
    if (regenerated)
        return;  // the generation has just reported the coverage of its matrix
    if (!HasTwoFactorsAtTwoLevels(context))
        return;
    std::int32_t found = 0, missing = 0;
    bool violation = false;
    if (!FindAll2Ways(context, found, missing, violation))
        return;  // the read has said why
    ShowCoverage(context, found, missing, violation);
}

void ReportGeneratedCoverage(const CommandContext& context, std::int32_t In_lNumWays, bool In_bMixed)
{
    if (In_lNumWays <= 2 && !In_bMixed) {
        FindAllCombinations(context);
        return;
    }
    if (!HasTwoFactorsAtTwoLevels(context))
        return;
    CommandDesign design;
    if (!ReadCommandDesign(context, design))
        return;
    const TupleCoverage total = TotalCoverage(context, design, In_lNumWays);
    ShowCoverage(context, total.found, total.missing, total.violation);
}

bool FindAll2Ways(const CommandContext& context, std::int32_t& Ret_lNumFound, std::int32_t& Ret_lNumMissing,
                  bool& Ret_bViolation)
{
    Ret_lNumFound = 0;
    Ret_lNumMissing = 0;
    Ret_bViolation = false;
    CommandDesign design;
    if (!ReadCommandDesign(context, design))
        return false;
    // Counted as its generation reports it: two invalid levels, which no test case may hold,
    // are no pair to find, and a pair of valid levels is one a test case without an invalid
    // level holds.
    if (design.constraints->HasMixedRequirements()) {
        const TupleCoverage total = TotalCoverage(context, design, 2);
        Ret_lNumFound = Clamped(total.found);
        Ret_lNumMissing = Clamped(total.missing);
        Ret_bViolation = total.violation;
        return true;
    }
    const DesignText& t = design.text;
    CFind find(context.design.TestCasesGrid(), gbAutoTest);
    find.LoadData(t.numFactors, t.levelCounts, t.factors, t.numConstraints, t.constraints, t.numPrevRuns,
                  t.prevRuns);
    find.LoadConstraints(design.constraints);
    find.FindAllCombinations(Ret_lNumFound, Ret_lNumMissing, Ret_bViolation);
    return true;
}

void FindInteraction(const CommandContext& context)
{
    bool regenerated = false;
    if (!TestCasesCurrent(context, regenerated))
        return;
    if (!HasTwoFactorsAtTwoLevels(context))
        return;
    CommandDesign design;
    if (!ReadCommandDesign(context, design))
        return;
    const DesignText& t = design.text;

    std::int32_t firstFactor = 0, firstLevel = 0, secondFactor = 0, secondLevel = 0;
    {
        frmFindInter dialog(&context.window);
        dialog.LoadFactorsAndLevels(t.numFactors, t.factors, t.levelCounts);
        dialog.exec();
        if (dialog.bUserCNX)
            return;
        firstFactor = dialog.lFirstFactor;
        firstLevel = dialog.lFirstLevel;
        secondFactor = dialog.lSecondFactor;
        secondLevel = dialog.lSecondLevel;
    }

    CFind find(context.design.TestCasesGrid(), gbAutoTest);
    find.LoadData(t.numFactors, t.levelCounts, t.factors, t.numConstraints, t.constraints, t.numPrevRuns,
                  t.prevRuns);
    find.LoadConstraints(design.constraints);
    LongArray locations, rows;
    std::int32_t count = 0;
    bool violation = false;
    if (find.Find2Way(firstFactor, firstLevel, secondFactor, secondLevel, locations, rows, count, violation))
        ActivateFoundCombination(context, count, locations.at(1), rows.at(1));
    else
        ShowMessage(context.messages, QStringLiteral("The combination was not found."));
}

void ActivateFoundCombination(const CommandContext& context, std::int32_t In_lNumFound, std::int32_t In_lLocation,
                              std::int32_t In_lRow)
{
    frmMain& main = context.window;
    int item = frmMain::ItemTestCases;
    QString place = QStringLiteral("QXV Matrix");
    if (In_lLocation == CFind::InConstraints) {
        item = frmMain::ItemConstraints;
        place = QStringLiteral("Constraints");
    } else if (In_lLocation == CFind::InPrevRuns) {
        item = frmMain::ItemPreviousTest;
        place = QStringLiteral("Previous Tests");
    } else if (In_lLocation == CFind::InRules) {
        item = frmMain::ItemRules;
        place = QStringLiteral("Rules");
    }
    // A rule's row is its line in the rules text.
    if (item == frmMain::ItemRules)
        main.ShowRulesPlace(In_lRow, 1);
    else
        main.SwitchToOutlookItem(item);
    if (SheetWindow* sheet = main.Sheet(item))
        sheet->Grid->setActiveCell(1, In_lRow);
    if (In_lNumFound == 1)
        ShowMessage(context.messages, QStringLiteral("The combination was found in the ") + place +
                                          QStringLiteral(" in the selected row."));
    else
        ShowMessage(context.messages, QStringLiteral("The combination was found a total of ") +
                                          QString::number(In_lNumFound) +
                                          QStringLiteral(" times. The first occurrence was found in the ") + place +
                                          QStringLiteral(" in the selected row."));
}

}  // namespace modMain
