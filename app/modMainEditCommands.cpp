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
// The Rules sheet's editor while that sheet is shown; the commands act on its text.
RulesEditor* ShownRulesEditor(const frmMain& window)
{
    frmRules* rules = window.ShownRulesSheet();
    return rules ? rules->Editor() : nullptr;
}

void Refuse(const CommandContext& context, const char* text)
{
    ShowMessage(context.messages, QString::fromLatin1(text), MsgButtons::Ok, MsgIcon::Information);
}

void Failed(const CommandContext& context, const char* text)
{
    ShowMessage(context.messages, QString::fromLatin1(text), MsgButtons::Ok, MsgIcon::Critical);
}

// The grid of the sheet shown, for a command that changes it; nullptr after the Test Cases
// sheet's refusal or the failure message.
GridView* GridToChange(const CommandContext& context, const char* refusal, const char* failure)
{
    if (context.window.SelectedItemIndex() == frmMain::ItemTestCases) {
        Refuse(context, refusal);
        return nullptr;
    }
    GridView* grid = nullptr;
    if (!GetCurrentGrid(context, grid)) {
        Failed(context, failure);
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

void PrintShownSheet(const CommandContext& context, bool withDialog)
{
    if (frmRules* rules = context.window.ShownRulesSheet())
        rules->PrintRules(withDialog);
    else if (SheetWindow* sheet = context.window.ShownSheet();
             sheet && (sheet != context.window.Sheet(frmMain::ItemTestCases) || GoOnWithStaleTestCases(context, "Print")))
        sheet->PrintGrid(withDialog);
}
}  // namespace

void PrintCurrentGrid(const CommandContext& context) { PrintShownSheet(context, false); }

void PrintCurGridWithDialog(const CommandContext& context) { PrintShownSheet(context, true); }

void CopyToClipboard(const CommandContext& context)
{
    if (RulesEditor* rules = ShownRulesEditor(context.window))
        return rules->copy();
    GridView* grid = nullptr;
    if (!GetCurrentGrid(context, grid)) {
        Failed(context, "Copy operation failed");
        return;
    }
    grid->copyToClipboard();
}

void CutToClipboard(const CommandContext& context)
{
    if (RulesEditor* rules = ShownRulesEditor(context.window))
        return rules->cut();
    if (GridView* grid =
            GridToChange(context, "You cannot cut cells from the test case matrix.", "Clip operation failed")) {
        DesignHistory::Record(QStringLiteral("Cut"), [grid] { grid->cutToClipboard(); });
        MarkDesignChanged();
    }
}

void PasteFromClipboard(const CommandContext& context)
{
    if (RulesEditor* rules = ShownRulesEditor(context.window))
        return rules->paste();
    GridView* grid = GridToChange(context, "You cannot paste data to the test case grid.", "Paste operation failed");
    if (!grid)
        return;
    // Every pasted cell is an edit of the sheet, which marks the design changed.
    int leftOut = 0;
    DesignHistory::Record(QStringLiteral("Paste"), [grid, &leftOut] { leftOut = grid->pasteFromClipboard(); });
    if (leftOut > 0)
        ShowMessage(context.messages,
                    QStringLiteral("%1 of the pasted cells fall outside the sheet and were not pasted. "
                                   "Factors are added by names in the \"Factor Name\" row; the Constraints "
                                   "sheet has four columns and the Previous Test sheet one per factor.")
                        .arg(leftOut),
                    MsgButtons::Ok, MsgIcon::Information);
}

void ClearFromGrid(const CommandContext& context)
{
    if (RulesEditor* rules = ShownRulesEditor(context.window))
        return rules->textCursor().removeSelectedText();
    GridView* grid = GridToChange(
        context, "You cannot clear the test matrix grid. You can generate a different set of test cases.",
        "Clear operation failed");
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

void MarkLevelInvalid(const CommandContext& context)
{
    if (context.window.SelectedItemIndex() != frmMain::ItemFactorsAndLevels) {
        Refuse(context, "Only levels can be marked invalid: select them on the Factors and Levels sheet.");
        return;
    }
    frmFactorsAndLevels* sheet = context.window.FactorsSheet();
    DesignHistory::Record(QStringLiteral("Mark Level Invalid"), [sheet] { sheet->MarkLevelInvalid(); });
}
}  // namespace modMain
