#pragma once
// The Edit menu's clipboard commands and the two print commands, on the sheet shown. The
// Test Cases sheet refuses Cut, Paste and Clear; Copy and printing work on every sheet. On the
// Rules sheet they act on the text (Clear removes the text selected).

namespace modMain {
// Print Sheet: the shown sheet to the printer, without a dialog.
void PrintCurrentGrid();
// Print: the shown sheet, after the print dialog.
void PrintCurGridWithDialog();
void CopyToClipboard();
void CutToClipboard();
void PasteFromClipboard();
// Clears the texts of every selected block (the active cell when nothing is selected).
void ClearFromGrid();
// Mark Level Invalid on the Factors and Levels sheet, one step of the history; the other
// sheets refuse it.
void MarkLevelInvalid();
}  // namespace modMain
