#pragma once
// The tool IDs of the main window's commands and menus. Each is the object name of its action
// (and of its menu), so settings and tests find the tool by it: the texts never change. The
// export tools' IDs stand with their formats in files/ExportKind.h.

#include "files/ExportKind.h"

namespace ToolId {
// Every tool's ID starts with Prefix; a menu's own tool with MenuPrefix.
inline constexpr char Prefix[] = "ID_";
inline constexpr char MenuPrefix[] = "ID_mnu";

inline constexpr char mnuFile[] = "ID_mnuFile";
inline constexpr char New[] = "ID_New";
inline constexpr char Open[] = "ID_Open";
inline constexpr char Close[] = "ID_Close";
inline constexpr char Save[] = "ID_Save";
inline constexpr char SaveAs[] = "ID_SaveAs";
inline constexpr char Print[] = "ID_Print";
inline constexpr char PrintSheet[] = "ID_PrintSheet";
inline constexpr char Exit[] = "ID_Exit";

inline constexpr char mnuEdit[] = "ID_mnuEdit";
inline constexpr char Undo[] = "ID_Undo";
inline constexpr char Redo[] = "ID_Redo";
inline constexpr char Cut[] = "ID_Cut";
inline constexpr char Copy[] = "ID_Copy";
inline constexpr char Paste[] = "ID_Paste";
inline constexpr char Clear[] = "ID_Clear";
inline constexpr char DeleteRow[] = "ID_DeleteRow";
inline constexpr char DeleteColumn[] = "ID_DeleteColumn";
inline constexpr char MarkLevelInvalid[] = "ID_MarkLevelInvalid";

inline constexpr char mnuView[] = "ID_mnuView";
inline constexpr char OutlookBar[] = "ID_OutlookBar";
inline constexpr char FactorsandLevels[] = "ID_FactorsandLevels";
inline constexpr char Constraints[] = "ID_Constraints";
inline constexpr char PreviousTest[] = "ID_PreviousTest";
inline constexpr char TestCases[] = "ID_TestCases";
inline constexpr char Rules[] = "ID_Rules";

inline constexpr char mnuTools[] = "ID_mnuTools";
inline constexpr char ValidateDesign[] = "ID_ValidateDesign";
inline constexpr char Generate2Way[] = "ID_Generate2Way";
inline constexpr char GenerateNWay[] = "ID_GenerateNWay";
inline constexpr char GenerateAllCombinations[] = "ID_GenerateAllCombinations";
inline constexpr char FindCombination[] = "ID_FindCombination";
inline constexpr char FindAllCombinations[] = "ID_FindAllCombinations";
inline constexpr char Options[] = "ID_Options";
inline constexpr char AutoTest[] = "ID_AutoTest";

inline constexpr char mnuExport[] = "ID_mnuExport";

inline constexpr char mnuHelp[] = "ID_mnuHelp";
inline constexpr char Help[] = "ID_Help";
inline constexpr char About[] = "ID_About";
inline constexpr char Test[] = "ID_Test";
}  // namespace ToolId
