#include "app/CommandDesign.h"

#include "app/frmMain.h"
#include "app/modMain.h"
#include "model/DesignModel.h"
#include "model/DesignWorkbook.h"
#include "platform/MessageBox.h"
#include "sheets/GridView.h"
#include "sheets/SheetWindow.h"

namespace modMain {

bool ReadCommandDesign(const CommandContext& context, CommandDesign& design)
{
    if (!context.design.Read(true, design.text))
        return false;
    vantrel::Result<vantrel::Design> compiled = vantrel::Design::Compile(ToModel(design.text));
    if (compiled) {
        design.design = std::move(compiled).value();
        return true;
    }
    ShowLibraryError(context, compiled.error());
    return false;
}

bool AnyValidTestCase(const CommandContext& context, const CommandDesign& design)
{
    if (design.design->AnyValidTestCase())
        return true;
    ShowMessage(context.messages, QString::fromStdString(design.design->WhyNoValidTestCase()), MsgButtons::Ok,
                MsgIcon::Exclamation);
    ShowStatements(context, design.design->Explain({}).statements);
    return false;
}

void ShowStatements(const CommandContext& context, const vantrel::Statements& statements)
{
    if (!statements.ruleLines.empty()) {
        context.window.ShowRulesPlace(statements.ruleLines.front(), 1);
    } else if (!statements.constraintRows.empty()) {
        context.window.SwitchToOutlookItem(frmMain::ItemConstraints);
        context.window.Sheet(frmMain::ItemConstraints)->Grid->setActiveCell(1, statements.constraintRows.front());
    }
}

void ShowLibraryError(const CommandContext& context, const vantrel::Error& error)
{
    const QString message = QString::fromStdString(error.message);
    switch (error.kind) {
    case vantrel::Error::Kind::Rules:
        ShowMessage(context.messages, QStringLiteral("Rules, line %1, column %2: %3").arg(error.line).arg(error.column).arg(message),
                    MsgButtons::Ok, MsgIcon::Exclamation, error.helpTopic);
        if (error.line >= 1)
            context.window.ShowRulesPlace(error.line, error.column);
        return;
    case vantrel::Error::Kind::Rows:
        // A test already run that breaks the constraints is refused as a misnamed one is.
        ShowMessage(context.messages, message + QLatin1Char('.'), MsgButtons::Ok, MsgIcon::Exclamation);
        context.window.SwitchToOutlookItem(frmMain::ItemPreviousTest);
        return;
    case vantrel::Error::Kind::Infeasible:
        ShowMessage(context.messages, message, MsgButtons::OkCancel, MsgIcon::Information, error.helpTopic);
        return;
    case vantrel::Error::Kind::TooLarge:
        ShowMessage(context.messages, message, MsgButtons::Ok, MsgIcon::Critical, error.helpTopic);
        return;
    case vantrel::Error::Kind::Declined: return;
    default: ShowMessage(context.messages, message, MsgButtons::Ok, MsgIcon::None, error.helpTopic); return;
    }
}

}  // namespace modMain
