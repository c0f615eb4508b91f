#pragma once
// The commands of the main window that only the dispatch uses, and the sheet commands that
// act on the sheet shown.

#include "app/DesktopContext.h"
#include "files/ExportKind.h"

class GridView;

namespace modMain {
// Enables the export tools when the Test Cases grid holds more than two rows.
void ExportMenuControl(const CommandContext& context);
// Shows or hides the navigation bar's item pane.
void ToggleLeftPaneDisplay(const CommandContext& context);
// The grid of the sheet shown; False (grid untouched) when there is none.
bool GetCurrentGrid(const CommandContext& context, GridView*& grid);
// The shown sheet's row and column deletion.
void DeleteRowFromCurrentGrid(const CommandContext& context);
void DeleteColFromCurrentGrid(const CommandContext& context);
// Undo and Redo of the changes to the design sheets, one step at a time; on the Rules sheet,
// of its own typing.
void Undo(const CommandContext& context);
void Redo(const CommandContext& context);
// The Export command of each format: the Test Cases matrix written in it.
// Asks first when the test cases are out of date.
void ExportAs(const CommandContext& context, ExportKind kind);
// True when the test cases are current, or the user answers Yes to writing them all the same
// ("Export" or "Print" them anyway).
bool GoOnWithStaleTestCases(const CommandContext& context, const char* verb);
}  // namespace modMain
