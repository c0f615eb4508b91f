#pragma once
// The commands of the main window that only the dispatch uses, and the sheet commands that
// act on the sheet shown.

class GridView;

namespace modMain {
// Enables the five export tools when the Test Cases grid holds more than two rows.
void ExportMenuControl();
// Shows or hides the navigation bar's item pane.
void ToggleLeftPaneDisplay();
// The grid of the sheet shown; False (grid untouched) when there is none.
bool GetCurrentGrid(GridView*& grid);
// The shown sheet's row and column deletion.
void DeleteRowFromCurrentGrid();
void DeleteColFromCurrentGrid();
// Undo and Redo of the changes to the design sheets, one step at a time.
void Undo();
void Redo();
// The Export commands: the Test Cases matrix in one of five formats.
void ExportAsExcel();
void ExportAsXML();
void ExportAsHTML();
void ExportAsTabDelim();
void ExportAsCommaDelim();
}  // namespace modMain
