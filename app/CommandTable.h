#pragma once
// Every command of the main window in one table (CommandTable.cpp), one row each: its tool ID,
// caption (with its access key), category, description, keys, picture, where it stands in the
// menus and on the "Standard" toolbar, and what it runs. The window's actions, menus, toolbar,
// pictures and dispatch are all made from the rows; the export tools' rows come from the
// export formats' table (files/ExportKind.cpp).

#include "app/DesktopContext.h"
#include "files/ExportKind.h"

#include <QIcon>
#include <QKeySequence>
#include <QList>
#include <QString>

#include <functional>

class QStyle;

// The tool IDs that the program and its tests refer to by name. Each is the object name of its
// action (and of its menu), so settings and tests find the tool by it: the texts never change.
// The export tools' IDs stand with their formats in files/ExportKind.h.
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
inline constexpr char Coverage[] = "ID_Coverage";
inline constexpr char Options[] = "ID_Options";
inline constexpr char AutoTest[] = "ID_AutoTest";

inline constexpr char mnuExport[] = "ID_mnuExport";

inline constexpr char mnuHelp[] = "ID_mnuHelp";
inline constexpr char Help[] = "ID_Help";
inline constexpr char About[] = "ID_About";
inline constexpr char Test[] = "ID_Test";
}  // namespace ToolId

// A tool's picture: the desktop's icon theme's where it has the name, otherwise the fallback.
struct ToolPicture {
    const char* themeName = nullptr;                   // nullptr: always the fallback
    QIcon (*fallback)(const QStyle& style) = nullptr;  // nullptr: the tool has no picture
};

// Where a tool stands in a menu or on the toolbar: the groups in their order, a separator
// between two, and the tools in a group by their order. Group 0 is nowhere.
struct ToolPlace {
    int group = 0;
    int order = 0;
};

struct CommandSpec {
    const char* id;
    const char* caption;
    const char* category;
    const char* description = "";
    QKeySequence::StandardKey shortcut = QKeySequence::UnknownKey;
    const char* extraShortcut = nullptr;  // keys ("; " between them) bound besides the
                                          // standard key, on every desktop
    ToolPicture picture = {};
    const char* menu = nullptr;  // the menu tool's ID it stands in; CommandTable::kMenuBar for a
                                 // menu's own tool; nullptr for none
    ToolPlace menuPlace = {};
    ToolPlace toolbarPlace = {};
    // The navigation item whose sheet checks this tool in the option group "CurrentView", and
    // which the tool shows; -1 for a tool outside the group.
    int viewItem = -1;
    // What a click runs; empty for a tool that runs nothing. A menu's own tool is clicked as
    // the menu opens.
    std::function<void(const CommandContext& context)> run = {};
};

namespace CommandTable {
// The menu bar's object name, the place of the menus' own tools.
inline constexpr char kMenuBar[] = "Menu Bar";

// Every tool, in definition order: the table's rows, then the export formats' tools in their
// menu's order.
const QList<CommandSpec>& Commands();
// The row of a tool ID (compared exactly); nullptr for an ID that is not in the table.
const CommandSpec* Find(const QString& id);
// The tools of a menu (a menu tool's ID, or kMenuBar for the menus), top to bottom or left to
// right; nullptr is a separator.
QList<const CommandSpec*> MenuItems(const char* menu);
// The buttons of the "Standard" toolbar; nullptr is a separator.
QList<const CommandSpec*> ToolbarButtons();
// The tools of the option group "CurrentView", by navigation item index.
const QList<const char*>& CurrentViewTools();
// The export formats' tools, the Export menu's items, which it enables or disables as it opens.
const QList<const char*>& ExportTools();
// A tool's picture in the style; a null icon for a tool without one.
QIcon Picture(const CommandSpec& command, const QStyle& style);
}  // namespace CommandTable
