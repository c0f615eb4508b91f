#include "app/modMainEditCommands.h"

#include "app/frmMain.h"
#include "app/modMain.h"
#include "app/modMainCommands.h"
#include "platform/MessageBox.h"
#include "sheets/DesignHistory.h"
#include "sheets/GridView.h"
#include "sheets/RulesEditor.h"
#include "sheets/SheetWindow.h"
#include "sheets/frmFactorsAndLevels.h"
#include "sheets/frmRules.h"

namespace modMain {
namespace {
SheetWindow* CurrentSheet()
{
    frmMain* main = frmMain::Instance();
    return main ? main->Sheet(main->SelectedItemIndex()) : nullptr;
}

// The Rules sheet's editor while that sheet is shown; the commands act on its text.
RulesEditor* ShownRulesEditor()
{
    frmMain* main = frmMain::Instance();
    frmRules* rules = main ? main->ShownRulesSheet() : nullptr;
    return rules ? rules->Editor() : nullptr;
}

bool TestCasesShown()
{
    frmMain* main = frmMain::Instance();
    return main && main->SelectedItemIndex() == frmMain::ItemTestCases;
}

void Refuse(const char* text) { ShowMessage(QString::fromLatin1(text), MsgButtons::Ok, MsgIcon::Information); }

void Failed(const char* text) { ShowMessage(QString::fromLatin1(text), MsgButtons::Ok, MsgIcon::Critical); }

// The grid of the sheet shown, for a command that changes it; nullptr after the Test Cases
// sheet's refusal or the failure message.
GridView* GridToChange(const char* refusal, const char* failure)
{
    if (TestCasesShown()) {
        Refuse(refusal);
        return nullptr;
    }
    GridView* grid = nullptr;
    if (!GetCurrentGrid(grid)) {
        Failed(failure);
        return nullptr;
    }
    return grid;
}

// Cut and Clear change the design's texts without an edit event of the sheet.
void MarkDesignChanged()
{
    gbDirty = true;
    gbDesignChanged = true;
}
}  // namespace

void PrintCurrentGrid()
{
    frmMain* main = frmMain::Instance();
    if (frmRules* rules = main ? main->ShownRulesSheet() : nullptr)
        rules->PrintRules(false);
    else if (SheetWindow* sheet = CurrentSheet())
        sheet->PrintGrid(false);
}

void PrintCurGridWithDialog()
{
    frmMain* main = frmMain::Instance();
    if (frmRules* rules = main ? main->ShownRulesSheet() : nullptr)
        rules->PrintRules(true);
    else if (SheetWindow* sheet = CurrentSheet())
        sheet->PrintGrid(true);
}

void CopyToClipboard()
{
    if (RulesEditor* rules = ShownRulesEditor())
        return rules->copy();
    GridView* grid = nullptr;
    if (!GetCurrentGrid(grid)) {
        Failed("Copy operation failed");
        return;
    }
    grid->copyToClipboard();
}

void CutToClipboard()
{
    if (RulesEditor* rules = ShownRulesEditor())
        return rules->cut();
    if (GridView* grid = GridToChange("You cannot cut cells from the test case matrix.", "Clip operation failed")) {
        DesignHistory::Record(QStringLiteral("Cut"), [grid] { grid->cutToClipboard(); });
        MarkDesignChanged();
    }
}

void PasteFromClipboard()
{
    if (RulesEditor* rules = ShownRulesEditor())
        return rules->paste();
    GridView* grid = GridToChange("You cannot paste data to the test case grid.", "Paste operation failed");
    if (!grid)
        return;
    // Every pasted cell is an edit of the sheet, which marks the design changed.
    int leftOut = 0;
    DesignHistory::Record(QStringLiteral("Paste"), [grid, &leftOut] { leftOut = grid->pasteFromClipboard(); });
    if (leftOut > 0)
        ShowMessage(QStringLiteral("%1 of the pasted cells fall outside the sheet and were not pasted. "
                                   "Factors are added by names in the \"Factor Name\" row; the Constraints "
                                   "sheet has four columns and the Previous Test sheet one per factor.")
                        .arg(leftOut),
                    MsgButtons::Ok, MsgIcon::Information);
}

void ClearFromGrid()
{
    if (RulesEditor* rules = ShownRulesEditor())
        return rules->textCursor().removeSelectedText();
    GridView* grid = GridToChange(
        "You cannot clear the test matrix grid. You can generate a different set of test cases.", "Clear operation failed");
    if (!grid)
        return;
    DesignHistory::Record(QStringLiteral("Clear"), [grid] {
        const QList<GridBlock> blocks = grid->selectedBlocks();
        if (blocks.isEmpty())
            grid->clearBlockTexts(grid->selectedBlock());
        for (const GridBlock& block : blocks)
            grid->clearBlockTexts(block);
    });
    MarkDesignChanged();
}

void MarkLevelInvalid()
{
    frmMain* main = frmMain::Instance();
    if (!main)
        return;
    if (main->SelectedItemIndex() != frmMain::ItemFactorsAndLevels) {
        Refuse("Only levels can be marked invalid: select them on the Factors and Levels sheet.");
        return;
    }
    frmFactorsAndLevels* sheet = main->FactorsSheet();
    DesignHistory::Record(QStringLiteral("Mark Level Invalid"), [sheet] { sheet->MarkLevelInvalid(); });
}
}  // namespace modMain
