#include "app/CommandTable.h"

namespace CommandTable {

const QList<ToolSpec>& Tools()
{
    using K = QKeySequence;
    static const QList<ToolSpec> tools = {
        {"ID_Close", "&Close", "File", "Closes the active document.", K::Close},
        {"ID_Copy", "&Copy", "Edit", "Copies the selected text to the Clipboard.", K::Copy},
        {"ID_New", "&New...", "File", "Creates a new document.", K::New},
        {"ID_Open", "&Open...", "File", "Opens an existing document.", K::Open},
        {"ID_Paste", "&Paste", "Edit",
         "Inserts the contents of the Clipboard at the insertion point, and replaces any selection.", K::Paste},
        {"ID_Print", "&Print", "File", "Prints the selected text to the default printer.", K::Print},
        {"ID_Save", "&Save", "File", "Saves the active document.", K::Save},
        {"ID_Cut", "Cu&t", "Edit", "Removes the selected text and places it on the Clipboard.", K::Cut},
        {"ID_Exit", "E&xit", "File", "Exits the application.", K::Quit, "Ctrl+Q"},
        {"ID_mnuFile", "&File", "File", "File Menu"},
        {"ID_SaveAs", "Save As...", "File", "Save As button", K::SaveAs, "Ctrl+Shift+S"},
        {"ID_mnuEdit", "&Edit", "Edit", "Edit Menu"},
        {"ID_Clear", "Cle&ar", "Edit", "Clear", K::Delete},
        {"ID_mnuView", "&View", "View", "View Menu"},
        {"ID_OutlookBar", "&Outlook Bar", "View", ""},
        {"ID_FactorsandLevels", "&Factors and Levels", "View", "", K::UnknownKey, "Ctrl+1"},
        {"ID_Constraints", "&Constraints", "View", "", K::UnknownKey, "Ctrl+2"},
        {"ID_PreviousTest", "&Previous Test", "View", "", K::UnknownKey, "Ctrl+3"},
        {"ID_TestCases", "&Test Cases", "View", "", K::UnknownKey, "Ctrl+4"},
        {"ID_mnuTools", "&Test", "Tools", "Tools menu item"},
        {"ID_ValidateDesign", "&Validate Design", "Tools", ""},
        {"ID_mnuHelp", "&Help", "Help", ""},
        {"ID_Help", "&Help", "Help", "", K::HelpContents},
        {"ID_About", "&About Vantrel", "Help", ""},
        {"ID_GenerateAllCombinations", "&Generate All Combinations", "Tools", ""},
        {"ID_XML", "&XML...", "Export", ""},
        {"ID_Excel", "&Excel...", "Export", ""},
        {"ID_TabDeliminated", "&Tab Delimitated...", "Export", ""},
        {"ID_HTML", "&HTML...", "Export", ""},
        {"ID_CommaDeliminated", "&Comma Delimitated...", "Export", ""},
        {"ID_Generate2Way", "Generate &2 Way", "Tools", "", K::UnknownKey, "F5"},
        {"ID_GenerateNWay", "Generate &N-Way...", "Tools",
         "Generates test cases that hold every combination of the levels of 2 to 6 factors at a time.", K::UnknownKey,
         "Shift+F5"},
        {"ID_DeleteRow", "Delete &Row", "Edit", ""},
        {"ID_DeleteColumn", "&Delete Column", "Edit", ""},
        {"ID_mnuExport", "E&xport", "Export", ""},
        {"ID_FindCombination", "&Find Combination...", "Tools", "", K::Find},
        {"ID_FindAllCombinations", "Find &All Combinations", "Tools", ""},
        {"ID_AutoTest", "AutoTest", "Tools", "", K::UnknownKey, "Ctrl+Shift+T"},
        {"ID_Test", "Test", "Help", ""},
        {"ID_Options", "&Options...", "Tools", "", K::Preferences},
        {"ID_PrintSheet", "Print Sheet", "File", ""},
        {"ID_Undo", "&Undo", "Edit", "Undoes the last change to the sheets.", K::Undo, "Ctrl+Z"},
        {"ID_Redo", "&Redo", "Edit", "Makes the change last undone again.", K::Redo, "Ctrl+Shift+Z; Ctrl+Y"},
    };
    return tools;
}

const QList<MenuSpec>& Menus()
{
    static const QList<MenuSpec> menus = {
        {"ID_mnuFile",
         {"ID_New", "ID_Open", "ID_Close", nullptr, "ID_Save", "ID_SaveAs", nullptr, "ID_Print", nullptr, "ID_Exit"}},
        {"ID_mnuEdit",
         {"ID_Undo", "ID_Redo", nullptr, "ID_Cut", "ID_Copy", "ID_Paste", "ID_Clear", nullptr, "ID_DeleteRow",
          "ID_DeleteColumn"}},
        {"ID_mnuView",
         {"ID_OutlookBar", nullptr, "ID_FactorsandLevels", "ID_Constraints", "ID_PreviousTest", "ID_TestCases"}},
        {"ID_mnuTools",
         {"ID_ValidateDesign", nullptr, "ID_Generate2Way", "ID_GenerateNWay", "ID_GenerateAllCombinations", nullptr,
          "ID_FindCombination", "ID_FindAllCombinations", nullptr, "ID_Options"}},
        {"ID_mnuExport", {"ID_XML", "ID_HTML", "ID_Excel", "ID_TabDeliminated", "ID_CommaDeliminated"}},
        {"ID_mnuHelp", {"ID_Help", "ID_About"}},
    };
    return menus;
}

const QList<const char*>& StandardToolbar()
{
    static const QList<const char*> buttons = {
        "ID_New",  "ID_Open", "ID_Save", nullptr, "ID_PrintSheet",   "ID_Cut",
        "ID_Copy", "ID_Paste", nullptr,  "ID_Undo", "ID_Redo", nullptr, "ID_Generate2Way",
        "ID_GenerateAllCombinations"};
    return buttons;
}

const QList<const char*>& CurrentViewTools()
{
    static const QList<const char*> tools = {"ID_FactorsandLevels", "ID_Constraints", "ID_PreviousTest",
                                             "ID_TestCases"};
    return tools;
}

const QList<const char*>& ExportTools()
{
    static const QList<const char*> tools = {"ID_XML", "ID_Excel", "ID_HTML", "ID_CommaDeliminated",
                                             "ID_TabDeliminated"};
    return tools;
}

}  // namespace CommandTable
