#pragma once
// The Edit menu's clipboard commands and the two print commands, on the sheet shown. The
// Test Cases sheet refuses Cut, Paste and Clear; Copy and printing work on every sheet. On the
// Rules sheet they act on the text (Clear removes the text selected).

#include "app/DesktopContext.h"

namespace modMain {
// Print Sheet: the shown sheet to the printer, without a dialog.
void PrintCurrentGrid(const CommandContext& context);
// Print: the shown sheet, after the print dialog.
void PrintCurGridWithDialog(const CommandContext& context);
void CopyToClipboard(const CommandContext& context);
void CutToClipboard(const CommandContext& context);
void PasteFromClipboard(const CommandContext& context);
// Clears the texts of every selected block (the active cell when nothing is selected).
void ClearFromGrid(const CommandContext& context);
// Mark Level Invalid on the Factors and Levels sheet, one step of the history; the other
// sheets refuse it.
void MarkLevelInvalid(const CommandContext& context);
}  // namespace modMain
