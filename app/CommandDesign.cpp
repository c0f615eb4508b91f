#include "app/CommandDesign.h"

#include "model/EngineDesign.h"
#include "app/frmMain.h"
#include "app/modMain.h"
#include "model/DesignWorkbook.h"
#include "platform/MessageBox.h"

namespace modMain {

bool ReadCommandDesign(CommandDesign& design)
{
    if (!Workbook().Read(true, design.text))
        return false;
    design.tables = ToEngineDesign(design.text);
    RuleError error;
    design.constraints = CompileConstraints(design.tables, error);
    if (!design.constraints)
        ShowRulesProblem(error);
    return design.constraints != nullptr;
}

void ShowRulesProblem(const RuleError& error)
{
    // Its Help button opens the help on the rule language.
    constexpr int kRulesHelpContext = 37;
    ShowMessage(QString::fromStdString(error.Described()), MsgButtons::Ok, MsgIcon::Exclamation, kRulesHelpContext);
    frmMain* main = frmMain::Instance();
    if (main && error.at.line >= 1)
        main->ShowRulesPlace(error.at.line, error.at.column);
}

}  // namespace modMain
