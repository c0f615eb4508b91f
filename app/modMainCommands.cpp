#include "app/modMainCommands.h"

#include "app/CommandTable.h"
#include "app/frmMain.h"
#include "app/modMain.h"
#include "files/CFile.h"
#include "model/DesignWorkbook.h"
#include "model/GridCellStore.h"
#include "platform/MessageBox.h"
#include "sheets/DesignHistory.h"
#include "sheets/RulesEditor.h"
#include "sheets/SheetWindow.h"
#include "sheets/frmRules.h"

#include <QAction>

namespace modMain {

void ExportMenuControl(const CommandContext& context)
{
    const bool enable = context.design.TestCasesGrid().maxRows() > 2;
    for (const char* id : CommandTable::ExportTools())
        if (QAction* tool = context.window.Tool(QString::fromLatin1(id)))
            tool->setEnabled(enable);
}

void ToggleLeftPaneDisplay(const CommandContext& context)
{
    context.window.SetItemPaneShown(!context.window.IsItemPaneShown());
}

bool GetCurrentGrid(const CommandContext& context, GridView*& grid)
{
    SheetWindow* sheet = context.window.ShownSheet();
    if (!sheet)
        return false;
    grid = sheet->Grid;
    return true;
}

void DeleteRowFromCurrentGrid(const CommandContext& context)
{
    if (SheetWindow* sheet = context.window.ShownSheet())
        DesignHistory::Record(QStringLiteral("Delete Row"), [sheet] { sheet->DeleteRowFromGrid(); });
}

void DeleteColFromCurrentGrid(const CommandContext& context)
{
    if (SheetWindow* sheet = context.window.ShownSheet())
        DesignHistory::Record(QStringLiteral("Delete Column"), [sheet] { sheet->DeleteColFromGrid(); });
}

namespace {
// One step back (undo) or forward in the Rules sheet's text while it is shown, in the
// design's history otherwise.
void StepHistory(const CommandContext& context, bool back)
{
    if (frmRules* rules = context.window.ShownRulesSheet())
        back ? rules->Editor()->undo() : rules->Editor()->redo();
    else if (DesignHistory* history = DesignHistory::Current())
        back ? history->stack().undo() : history->stack().redo();
}
}  // namespace

void Undo(const CommandContext& context) { StepHistory(context, true); }

void Redo(const CommandContext& context) { StepHistory(context, false); }

void ExportAs(const CommandContext& context, ExportKind kind)
{
    if (GoOnWithStaleTestCases(context, "Export"))
        context.file.ExportHandler(kind);
}

bool GoOnWithStaleTestCases(const CommandContext& context, const char* verb)
{
    return !TestCasesStale(context.design) ||
           ShowMessage(context.messages,
                       QStringLiteral("The test cases are out of date: the design changed after they were made. %1 them "
                                      "anyway?")
                           .arg(QLatin1String(verb)),
                       MsgButtons::YesNo, MsgIcon::Question) == MsgResult::Yes;
}

}  // namespace modMain
