#include "app/CommandTable.h"

#include "app/ToolIds.h"

#include <algorithm>

namespace CommandTable {

namespace {
// The export tools come from the export formats' table, after the others, in their menu's order.
QList<ToolSpec> WithExportTools(QList<ToolSpec> tools)
{
    for (const ExportKindInfo* format : ExportMenu())
        tools.append({format->toolId, format->caption, "Export", ""});
    return tools;
}
}  // namespace

const QList<ToolSpec>& Tools()
{
    using K = QKeySequence;
    static const QList<ToolSpec> tools = WithExportTools({
        {ToolId::Close, "&Close", "File", "Closes the active document.", K::Close},
        {ToolId::Copy, "&Copy", "Edit", "Copies the selected text to the Clipboard.", K::Copy},
        {ToolId::New, "&New...", "File", "Creates a new document.", K::New},
        {ToolId::Open, "&Open...", "File", "Opens an existing document.", K::Open},
        {ToolId::Paste, "&Paste", "Edit",
         "Inserts the contents of the Clipboard at the insertion point, and replaces any selection.", K::Paste},
        {ToolId::Print, "&Print", "File", "Prints the selected text to the default printer.", K::Print},
        {ToolId::Save, "&Save", "File", "Saves the active document.", K::Save},
        {ToolId::Cut, "Cu&t", "Edit", "Removes the selected text and places it on the Clipboard.", K::Cut},
        {ToolId::Exit, "E&xit", "File", "Exits the application.", K::Quit, "Ctrl+Q"},
        {ToolId::mnuFile, "&File", "File", "File Menu"},
        {ToolId::SaveAs, "Save As...", "File", "Save As button", K::SaveAs, "Ctrl+Shift+S"},
        {ToolId::mnuEdit, "&Edit", "Edit", "Edit Menu"},
        {ToolId::Clear, "Cle&ar", "Edit", "Clear", K::Delete},
        {ToolId::mnuView, "&View", "View", "View Menu"},
        {ToolId::OutlookBar, "&Outlook Bar", "View", ""},
        {ToolId::FactorsandLevels, "&Factors and Levels", "View", "", K::UnknownKey, "Ctrl+1"},
        {ToolId::Constraints, "&Constraints", "View", "", K::UnknownKey, "Ctrl+2"},
        {ToolId::PreviousTest, "&Previous Test", "View", "", K::UnknownKey, "Ctrl+3"},
        {ToolId::TestCases, "&Test Cases", "View", "", K::UnknownKey, "Ctrl+4"},
        {ToolId::Rules, "&Rules", "View", "Shows the rules that every test case keeps.", K::UnknownKey, "Ctrl+5"},
        {ToolId::mnuTools, "&Test", "Tools", "Tools menu item"},
        {ToolId::ValidateDesign, "&Validate Design", "Tools", ""},
        {ToolId::mnuHelp, "&Help", "Help", ""},
        {ToolId::Help, "&Help", "Help", "", K::HelpContents},
        {ToolId::About, "&About Vantrel", "Help", ""},
        {ToolId::GenerateAllCombinations, "&Generate All Combinations", "Tools", ""},
        {ToolId::Generate2Way, "Generate &2 Way", "Tools", "", K::UnknownKey, "F5"},
        {ToolId::GenerateNWay, "Generate &N-Way...", "Tools",
         "Generates test cases that hold every combination of the levels of 2 to 6 factors at a time.", K::UnknownKey,
         "Shift+F5"},
        {ToolId::DeleteRow, "Delete &Row", "Edit", ""},
        {ToolId::DeleteColumn, "&Delete Column", "Edit", ""},
        {ToolId::mnuExport, "E&xport", "Export", ""},
        {ToolId::FindCombination, "&Find Combination...", "Tools", "", K::Find},
        {ToolId::FindAllCombinations, "Find &All Combinations", "Tools", ""},
        {ToolId::AutoTest, "AutoTest", "Tools", "", K::UnknownKey, "Ctrl+Shift+T"},
        {ToolId::Test, "Test", "Help", ""},
        {ToolId::Options, "&Options...", "Tools", "", K::Preferences},
        {ToolId::PrintSheet, "Print Sheet", "File", ""},
        {ToolId::Undo, "&Undo", "Edit", "Undoes the last change to the sheets.", K::Undo, "Ctrl+Z"},
        {ToolId::Redo, "&Redo", "Edit", "Makes the change last undone again.", K::Redo, "Ctrl+Shift+Z; Ctrl+Y"},
        {ToolId::MarkLevelInvalid, "Mark Level &Invalid", "Edit",
         "Marks the selected levels invalid, each tried on its own in a test case, or valid again.", K::UnknownKey,
         "Ctrl+I"},
    });
    return tools;
}

const QList<MenuSpec>& Menus()
{
    static const QList<MenuSpec> menus = {
        {ToolId::mnuFile,
         {ToolId::New, ToolId::Open, ToolId::Close, nullptr, ToolId::Save, ToolId::SaveAs, nullptr, ToolId::Print,
          nullptr, ToolId::Exit}},
        {ToolId::mnuEdit,
         {ToolId::Undo, ToolId::Redo, nullptr, ToolId::Cut, ToolId::Copy, ToolId::Paste, ToolId::Clear, nullptr,
          ToolId::DeleteRow, ToolId::DeleteColumn, nullptr, ToolId::MarkLevelInvalid}},
        {ToolId::mnuView,
         {ToolId::OutlookBar, nullptr, ToolId::FactorsandLevels, ToolId::Constraints, ToolId::Rules,
          ToolId::PreviousTest, ToolId::TestCases}},
        {ToolId::mnuTools,
         {ToolId::ValidateDesign, nullptr, ToolId::Generate2Way, ToolId::GenerateNWay,
          ToolId::GenerateAllCombinations, nullptr, ToolId::FindCombination, ToolId::FindAllCombinations, nullptr,
          ToolId::Options}},
        {ToolId::mnuExport, ExportTools()},
        {ToolId::mnuHelp, {ToolId::Help, ToolId::About}},
    };
    return menus;
}

const QList<const char*>& StandardToolbar()
{
    static const QList<const char*> buttons = {
        ToolId::New,  ToolId::Open,  ToolId::Save, nullptr,      ToolId::PrintSheet, ToolId::Cut,
        ToolId::Copy, ToolId::Paste, nullptr,      ToolId::Undo, ToolId::Redo,       nullptr,
        ToolId::Rules, nullptr, ToolId::Generate2Way, ToolId::GenerateAllCombinations};
    return buttons;
}

const QList<const char*>& CurrentViewTools()
{
    static const QList<const char*> tools = {ToolId::FactorsandLevels, ToolId::Constraints, ToolId::PreviousTest,
                                             ToolId::TestCases, ToolId::Rules};
    return tools;
}

const QList<const ExportKindInfo*>& ExportMenu()
{
    static const QList<const ExportKindInfo*> formats = [] {
        QList<const ExportKindInfo*> list;
        for (const ExportKindInfo& format : ExportKinds())
            list.append(&format);
        std::ranges::sort(list, {}, &ExportKindInfo::menuPosition);
        return list;
    }();
    return formats;
}

const QList<const char*>& ExportTools()
{
    static const QList<const char*> tools = [] {
        QList<const char*> list;
        for (const ExportKindInfo* format : ExportMenu())
            list.append(format->toolId);
        return list;
    }();
    return tools;
}

}  // namespace CommandTable
