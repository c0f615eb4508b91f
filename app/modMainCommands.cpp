#include "app/modMainCommands.h"

#include "app/CommandTable.h"
#include "app/frmMain.h"
#include "app/modMain.h"
#include "files/CFile.h"
#include "model/GridCellStore.h"
#include "sheets/DesignHistory.h"
#include "sheets/RulesEditor.h"
#include "sheets/SheetWindow.h"
#include "sheets/frmRules.h"

#include <QAction>

namespace modMain {

void ExportMenuControl()
{
    frmMain* main = frmMain::Instance();
    if (!main)
        return;
    const bool enable = TestCasesGrid().maxRows() > 2;
    for (const char* id : CommandTable::ExportTools())
        if (QAction* tool = main->Tool(QString::fromLatin1(id)))
            tool->setEnabled(enable);
}

void ToggleLeftPaneDisplay()
{
    if (frmMain* main = frmMain::Instance())
        main->SetItemPaneShown(!main->IsItemPaneShown());
}

bool GetCurrentGrid(GridView*& grid)
{
    frmMain* main = frmMain::Instance();
    SheetWindow* sheet = main ? main->Sheet(main->SelectedItemIndex()) : nullptr;
    if (!sheet)
        return false;
    grid = sheet->Grid;
    return true;
}

void DeleteRowFromCurrentGrid()
{
    frmMain* main = frmMain::Instance();
    if (SheetWindow* sheet = main ? main->Sheet(main->SelectedItemIndex()) : nullptr)
        DesignHistory::Record(QStringLiteral("Delete Row"), [sheet] { sheet->DeleteRowFromGrid(); });
}

void DeleteColFromCurrentGrid()
{
    frmMain* main = frmMain::Instance();
    if (SheetWindow* sheet = main ? main->Sheet(main->SelectedItemIndex()) : nullptr)
        DesignHistory::Record(QStringLiteral("Delete Column"), [sheet] { sheet->DeleteColFromGrid(); });
}

void Undo()
{
    frmMain* main = frmMain::Instance();
    if (frmRules* rules = main ? main->ShownRulesSheet() : nullptr)
        rules->Editor()->undo();
    else if (DesignHistory* history = DesignHistory::Current())
        history->stack().undo();
}

void Redo()
{
    frmMain* main = frmMain::Instance();
    if (frmRules* rules = main ? main->ShownRulesSheet() : nullptr)
        rules->Editor()->redo();
    else if (DesignHistory* history = DesignHistory::Current())
        history->stack().redo();
}

void ExportAs(ExportKind kind) { File().ExportHandler(kind); }

}  // namespace modMain
