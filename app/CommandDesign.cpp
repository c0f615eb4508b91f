#include "app/CommandDesign.h"

#include "model/EngineDesign.h"
#include "app/frmMain.h"
#include "app/modMain.h"
#include "model/DesignWorkbook.h"
#include "platform/MessageBox.h"

namespace modMain {

bool ReadCommandDesign(const CommandContext& context, CommandDesign& design)
{
    if (!context.design.Read(true, design.text))
        return false;
    design.tables = ToEngineDesign(design.text);
    RuleError error;
    design.constraints = CompileConstraints(design.tables, error);
    if (!design.constraints)
        ShowRulesProblem(context, error);
    return design.constraints != nullptr;
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
