#include "app/CommandDesign.h"

#include "model/EngineDesign.h"
#include "app/frmMain.h"
#include "app/modMain.h"
#include "model/DesignWorkbook.h"
#include "platform/MessageBox.h"
#include "search/CoverageSummary.h"
#include "sheets/GridView.h"
#include "sheets/SheetWindow.h"

namespace modMain {

bool ReadCommandDesign(const CommandContext& context, CommandDesign& design)
{
    if (!context.design.Read(true, design.text))
        return false;
    design.tables = ToEngineDesign(design.text);
    RuleError error;
    design.constraints = CompileConstraints(design.tables, error);
    if (!design.constraints) {
        ShowRulesProblem(context, error);
        return false;
    }
    // A test already run that breaks the constraints is refused as a misnamed one is.
    const QString broken = BrokenPreviousTest(design.tables, *design.constraints, design.text, 1);
    if (broken.isEmpty())
        return true;
    ShowMessage(context.messages, broken, MsgButtons::Ok, MsgIcon::Exclamation);
    context.window.SwitchToOutlookItem(frmMain::ItemPreviousTest);
    return false;
}

bool AnyValidTestCase(const CommandContext& context, const CommandDesign& design)
{
    if (design.constraints->AnyValidRow())
        return true;
    ExclusionReason reason;
    ShowMessage(context.messages, NoValidTestCase(*design.constraints, 1, &reason), MsgButtons::Ok, MsgIcon::Exclamation);
    const ConstraintModel::Statements& blamed = reason.statements;
    if (!blamed.rules.empty()) {
        context.window.ShowRulesPlace(design.constraints->RuleLine(blamed.rules.front()), 1);
    } else if (!blamed.constraintRows.empty()) {
        context.window.SwitchToOutlookItem(frmMain::ItemConstraints);
        context.window.Sheet(frmMain::ItemConstraints)->Grid->setActiveCell(1, blamed.constraintRows.front());
    }
    return false;
}

void ShowRulesProblem(const CommandContext& context, const RuleError& error)
{
    // Its Help button opens the help on the rule language.
    constexpr int kRulesHelpContext = 37;
    ShowMessage(context.messages, QString::fromStdString(error.Described()), MsgButtons::Ok, MsgIcon::Exclamation,
                kRulesHelpContext);
    if (error.at.line >= 1)
        context.window.ShowRulesPlace(error.at.line, error.at.column);
}

}  // namespace modMain
