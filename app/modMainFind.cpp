#include "app/modMainFind.h"

#include "app/CommandDesign.h"
#include "app/frmMain.h"
#include "app/modMain.h"
#include "app/modMainGeneration.h"
#include "model/DesignWorkbook.h"
#include "platform/MessageBox.h"
#include "search/CFind.h"
#include "search/CoverageSummary.h"
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

// A count as the self-test takes it.
std::int32_t Clamped(std::int64_t count) { return std::int32_t(std::min<std::int64_t>(count, INT32_MAX)); }

// What the Test Cases sheet covers of what the design requires at the strength given; false
// when a read failed (it has shown its message).
bool ReadCoverage(const CommandContext& context, std::int32_t strength, vantrel::Coverage& report)
{
    CommandDesign design;
    if (!ReadCommandDesign(context, design))
        return false;
    report = design.design->CoverageOf(context.design.TestCaseNames(design.text.numFactors), {strength, false, false});
    return true;
}

// The summary box, after a box for test cases that break a constraint, with what else there
// is to say after its count; a self-test run shows only a summary that reports a gap.
void ShowCoverage(const CommandContext& context, const vantrel::Coverage& report, const QString& ending = {})
{
    if (report.AnySuiteViolation() && !gbAutoTest)
        ShowMessage(context.messages, QStringLiteral("Violated constraints"));
    const CoverageSummary summary = SummarizeCoverage(report);
    if (summary.complete && gbAutoTest)
        return;
    ShowMessage(context.messages, ending.isEmpty() ? summary.text : summary.text + QStringLiteral("\n\n") + ending,
                MsgButtons::Ok, MsgIcon::None, summary.helpContext);
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
    vantrel::Coverage report;
    if (ReadCoverage(context, 2, report))
        ShowCoverage(context, report);
}

void ReportGeneratedCoverage(const CommandContext& context, std::int32_t In_lNumWays, const QString& ending)
{
    if (!HasTwoFactorsAtTwoLevels(context))
        return;
    vantrel::Coverage report;
    if (ReadCoverage(context, In_lNumWays, report))
        ShowCoverage(context, report, ending);
}

bool FindAll2Ways(const CommandContext& context, std::int32_t& Ret_lNumFound, std::int32_t& Ret_lNumMissing,
                  bool& Ret_bViolation)
{
    vantrel::Coverage report;
    const bool read = ReadCoverage(context, 2, report);
    Ret_lNumFound = Clamped(report.Covered() + report.Excluded());
    Ret_lNumMissing = Clamped(report.Missing());
    Ret_bViolation = report.AnySuiteViolation();
    return read;
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
        dialog.LoadFactorsAndLevels(t.numFactors, t.factors, t.levelCounts, t.invalidLevels);
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
    find.LoadConstraints(*design.design);
    LongArray locations, rows;
    std::int32_t count = 0;
    bool violation = false;
    if (find.Find2Way(firstFactor, firstLevel, secondFactor, secondLevel, locations, rows, count, violation)) {
        ActivateFoundCombination(context, count, locations.at(1), rows.at(1));
        return;
    }
    // Not found: a combination no valid test case can hold says why.
    const vantrel::LevelRef a{firstFactor - 1, firstLevel - 1}, b{secondFactor - 1, secondLevel - 1};
    const vantrel::Reason reason = design.design->Explain({a, b}, !design.design->Invalid(a) && !design.design->Invalid(b));
    ShowMessage(context.messages, reason.CanOccur() ? QStringLiteral("The combination was not found.")
                                                    : QString::fromStdString(reason.Sentence("The combination")));
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
