#include "app/CommandTable.h"

#include "app/CommandIcons.h"
#include "app/frmAbout.h"
#include "app/frmAutoTest.h"
#include "app/frmCoverage.h"
#include "app/frmMain.h"
#include "app/modMainCommands.h"
#include "app/modMainEditCommands.h"
#include "app/modMainFileCommands.h"
#include "app/modMainFind.h"
#include "app/modMainGeneration.h"
#include "platform/HelpViewer.h"
#include "settings/frmDefaults.h"

#include <QStyle>

#include <algorithm>
#include <utility>

namespace {
using K = QKeySequence;
using namespace CommandIcons;

// Every command but the export tools, in definition order: a new command is a row at the end
// (and the work it runs in modMain).
const CommandSpec kCommands[] = {
    {.id = ToolId::Close, .caption = "&Close", .category = "File", .description = "Closes the active document.",
     .shortcut = K::Close, .menu = ToolId::mnuFile, .menuPlace = {1, 3},
     .run = modMain::FileNew},
    {.id = ToolId::Copy, .caption = "&Copy", .category = "Edit",
     .description = "Copies the selected text to the Clipboard.", .shortcut = K::Copy,
     .picture = {"edit-copy", Copy}, .menu = ToolId::mnuEdit, .menuPlace = {2, 2}, .toolbarPlace = {2, 3},
     .run = modMain::CopyToClipboard},
    {.id = ToolId::New, .caption = "&New...", .category = "File", .description = "Creates a new document.",
     .shortcut = K::New, .picture = {"document-new", Standard<QStyle::SP_FileIcon>}, .menu = ToolId::mnuFile,
     .menuPlace = {1, 1}, .toolbarPlace = {1, 1}, .run = modMain::FileNew},
    {.id = ToolId::Open, .caption = "&Open...", .category = "File", .description = "Opens an existing document.",
     .shortcut = K::Open, .picture = {"document-open", Standard<QStyle::SP_DialogOpenButton>},
     .menu = ToolId::mnuFile, .menuPlace = {1, 2}, .toolbarPlace = {1, 2},
     .run = modMain::OpenFile},
    {.id = ToolId::Paste, .caption = "&Paste", .category = "Edit",
     .description = "Inserts the contents of the Clipboard at the insertion point, and replaces any selection.",
     .shortcut = K::Paste, .picture = {"edit-paste", Paste}, .menu = ToolId::mnuEdit, .menuPlace = {2, 3},
     .toolbarPlace = {2, 4}, .run = modMain::PasteFromClipboard},
    {.id = ToolId::Print, .caption = "&Print", .category = "File",
     .description = "Prints the selected text to the default printer.", .shortcut = K::Print,
     .picture = {"document-print", Print}, .menu = ToolId::mnuFile, .menuPlace = {3, 1},
     .run = modMain::PrintCurGridWithDialog},
    {.id = ToolId::Save, .caption = "&Save", .category = "File", .description = "Saves the active document.",
     .shortcut = K::Save, .picture = {"document-save", Standard<QStyle::SP_DialogSaveButton>},
     .menu = ToolId::mnuFile, .menuPlace = {2, 1}, .toolbarPlace = {1, 3},
     .run = modMain::SaveFile},
    {.id = ToolId::Cut, .caption = "Cu&t", .category = "Edit",
     .description = "Removes the selected text and places it on the Clipboard.", .shortcut = K::Cut,
     .picture = {"edit-cut", Cut}, .menu = ToolId::mnuEdit, .menuPlace = {2, 1}, .toolbarPlace = {2, 2},
     .run = modMain::CutToClipboard},
    {.id = ToolId::Exit, .caption = "E&xit", .category = "File", .description = "Exits the application.",
     .shortcut = K::Quit, .extraShortcut = "Ctrl+Q", .menu = ToolId::mnuFile, .menuPlace = {4, 1},
     .run = [](const CommandContext& c) { c.window.close(); }},
    {.id = ToolId::mnuFile, .caption = "&File", .category = "File", .description = "File Menu",
     .menu = CommandTable::kMenuBar, .menuPlace = {1, 1}},
    {.id = ToolId::SaveAs, .caption = "Save As...", .category = "File", .description = "Save As button",
     .shortcut = K::SaveAs, .extraShortcut = "Ctrl+Shift+S", .menu = ToolId::mnuFile, .menuPlace = {2, 2},
     .run = modMain::SaveFileAs},
    {.id = ToolId::mnuEdit, .caption = "&Edit", .category = "Edit", .description = "Edit Menu",
     .menu = CommandTable::kMenuBar, .menuPlace = {1, 2}},
    {.id = ToolId::Clear, .caption = "Cle&ar", .category = "Edit", .description = "Clear", .shortcut = K::Delete,
     .menu = ToolId::mnuEdit, .menuPlace = {2, 4}, .run = modMain::ClearFromGrid},
    {.id = ToolId::mnuView, .caption = "&View", .category = "View", .description = "View Menu",
     .menu = CommandTable::kMenuBar, .menuPlace = {1, 3}},
    {.id = ToolId::OutlookBar, .caption = "&Outlook Bar", .category = "View", .menu = ToolId::mnuView,
     .menuPlace = {1, 1}, .run = modMain::ToggleLeftPaneDisplay},
    {.id = ToolId::FactorsandLevels, .caption = "&Factors and Levels", .category = "View", .extraShortcut = "Ctrl+1",
     .menu = ToolId::mnuView, .menuPlace = {2, 1}, .viewItem = frmMain::ItemFactorsAndLevels},
    {.id = ToolId::Constraints, .caption = "&Constraints", .category = "View", .extraShortcut = "Ctrl+2",
     .menu = ToolId::mnuView, .menuPlace = {2, 2}, .viewItem = frmMain::ItemConstraints},
    {.id = ToolId::PreviousTest, .caption = "&Previous Test", .category = "View", .extraShortcut = "Ctrl+3",
     .menu = ToolId::mnuView, .menuPlace = {2, 4}, .viewItem = frmMain::ItemPreviousTest},
    {.id = ToolId::TestCases, .caption = "&Test Cases", .category = "View", .extraShortcut = "Ctrl+4",
     .menu = ToolId::mnuView, .menuPlace = {2, 5}, .viewItem = frmMain::ItemTestCases},
    {.id = ToolId::Rules, .caption = "&Rules", .category = "View",
     .description = "Shows the rules that every test case keeps.", .extraShortcut = "Ctrl+5",
     .picture = {"text-x-script", Rules}, .menu = ToolId::mnuView, .menuPlace = {2, 3}, .toolbarPlace = {4, 1},
     .viewItem = frmMain::ItemRules},
    {.id = ToolId::mnuTools, .caption = "&Test", .category = "Tools", .description = "Tools menu item",
     .menu = CommandTable::kMenuBar, .menuPlace = {1, 4}},
    {.id = ToolId::ValidateDesign, .caption = "&Validate Design", .category = "Tools", .menu = ToolId::mnuTools,
     .menuPlace = {1, 1}, .run = modMain::ValidateDesgin},
    {.id = ToolId::mnuHelp, .caption = "&Help", .category = "Help", .menu = CommandTable::kMenuBar,
     .menuPlace = {1, 6}},
    {.id = ToolId::Help, .caption = "&Help", .category = "Help", .shortcut = K::HelpContents,
     .menu = ToolId::mnuHelp, .menuPlace = {1, 1}, .run = [](const CommandContext& c) { c.help.showHelp(1); }},
    {.id = ToolId::About, .caption = "&About Vantrel", .category = "Help", .menu = ToolId::mnuHelp,
     .menuPlace = {1, 2}, .run = [](const CommandContext& c) {
         frmAbout about(c.help, &c.window);
         about.exec();
     }},
    {.id = ToolId::GenerateAllCombinations, .caption = "&Generate All Combinations", .category = "Tools",
     .picture = {"media-seek-forward", Standard<QStyle::SP_MediaSeekForward>}, .menu = ToolId::mnuTools,
     .menuPlace = {2, 3}, .toolbarPlace = {5, 2}, .run = modMain::GenerateAllPossible},
    {.id = ToolId::Generate2Way, .caption = "Generate &2 Way", .category = "Tools", .extraShortcut = "F5",
     .picture = {"media-playback-start", Standard<QStyle::SP_MediaPlay>}, .menu = ToolId::mnuTools,
     .menuPlace = {2, 1}, .toolbarPlace = {5, 1}, .run = modMain::Generate2Way},
    {.id = ToolId::GenerateNWay, .caption = "Generate &N-Way...", .category = "Tools",
     .description = "Generates test cases that hold every combination of the levels of 2 to 6 factors at a time.",
     .extraShortcut = "Shift+F5", .menu = ToolId::mnuTools, .menuPlace = {2, 2},
     .run = modMain::GenerateNWayAsked},
    {.id = ToolId::DeleteRow, .caption = "Delete &Row", .category = "Edit", .menu = ToolId::mnuEdit,
     .menuPlace = {3, 1}, .run = modMain::DeleteRowFromCurrentGrid},
    {.id = ToolId::DeleteColumn, .caption = "&Delete Column", .category = "Edit", .menu = ToolId::mnuEdit,
     .menuPlace = {3, 2}, .run = modMain::DeleteColFromCurrentGrid},
    // Its items are enabled as it opens.
    {.id = ToolId::mnuExport, .caption = "E&xport", .category = "Export", .menu = CommandTable::kMenuBar,
     .menuPlace = {1, 5}, .run = modMain::ExportMenuControl},
    {.id = ToolId::FindCombination, .caption = "&Find Combination...", .category = "Tools", .shortcut = K::Find,
     .menu = ToolId::mnuTools, .menuPlace = {3, 1}, .run = modMain::FindInteraction},
    {.id = ToolId::FindAllCombinations, .caption = "Find &All Combinations", .category = "Tools",
     .menu = ToolId::mnuTools, .menuPlace = {3, 2}, .run = modMain::FindAllCombinations},
    {.id = ToolId::Coverage, .caption = "&Coverage...", .category = "Tools",
     .description = "Shows how coverage grows with each test case, which factor pairs are thin, and what cannot occur.",
     .extraShortcut = "F8", .menu = ToolId::mnuTools, .menuPlace = {3, 3},
     .run = [](const CommandContext& c) {
         auto* view = c.window.findChild<frmCoverage*>();
         if (!view)
             view = new frmCoverage(c);
         view->show();
         view->raise();
         view->Refresh();
     }},
    // A developer's window, on no menu: its keys open it.
    {.id = ToolId::AutoTest, .caption = "AutoTest", .category = "Tools", .extraShortcut = "Ctrl+Shift+T",
     .run = [](const CommandContext& c) {
         auto* autoTest = c.window.findChild<frmAutoTest*>();
         if (!autoTest)
             autoTest = new frmAutoTest(c);
         autoTest->show();
     }},
    {.id = ToolId::Test, .caption = "Test", .category = "Help"},
    {.id = ToolId::Options, .caption = "&Options...", .category = "Tools", .shortcut = K::Preferences,
     .menu = ToolId::mnuTools, .menuPlace = {4, 1}, .run = [](const CommandContext& c) {
         frmDefaults options(c.settings, &c.window);
         options.exec();
     }},
    {.id = ToolId::PrintSheet, .caption = "Print Sheet", .category = "File", .picture = {"document-print", Print},
     .toolbarPlace = {2, 1}, .run = modMain::PrintCurrentGrid},
    {.id = ToolId::Undo, .caption = "&Undo", .category = "Edit", .description = "Undoes the last change to the sheets.",
     .shortcut = K::Undo, .extraShortcut = "Ctrl+Z", .picture = {"edit-undo", Standard<QStyle::SP_ArrowBack>},
     .menu = ToolId::mnuEdit, .menuPlace = {1, 1}, .toolbarPlace = {3, 1}, .run = modMain::Undo},
    {.id = ToolId::Redo, .caption = "&Redo", .category = "Edit", .description = "Makes the change last undone again.",
     .shortcut = K::Redo, .extraShortcut = "Ctrl+Shift+Z; Ctrl+Y",
     .picture = {"edit-redo", Standard<QStyle::SP_ArrowForward>}, .menu = ToolId::mnuEdit, .menuPlace = {1, 2},
     .toolbarPlace = {3, 2}, .run = modMain::Redo},
    {.id = ToolId::MarkLevelInvalid, .caption = "Mark Level &Invalid", .category = "Edit",
     .description = "Marks the selected levels invalid, each tried on its own in a test case, or valid again.",
     .extraShortcut = "Ctrl+I", .picture = {nullptr, MarkLevelInvalid},  // no theme has its like
     .menu = ToolId::mnuEdit, .menuPlace = {4, 1}, .run = modMain::MarkLevelInvalid},
};

// The export formats in the Export menu's order, top to bottom.
QList<const ExportKindInfo*> ExportMenu()
{
    QList<const ExportKindInfo*> formats;
    for (const ExportKindInfo& format : ExportKinds())
        formats.append(&format);
    std::ranges::sort(formats, {}, &ExportKindInfo::menuPosition);
    return formats;
}

// The tools placed by `place` (a menu place or a toolbar place; group 0 is nowhere) among those
// `chosen`, in their order with nullptr between two groups.
template <typename Chosen>
QList<const CommandSpec*> Placed(ToolPlace CommandSpec::*place, Chosen chosen)
{
    QList<const CommandSpec*> tools;
    for (const CommandSpec& command : CommandTable::Commands())
        if ((command.*place).group > 0 && chosen(command))
            tools.append(&command);
    std::ranges::stable_sort(tools, {}, [place](const CommandSpec* command) {
        return std::pair((command->*place).group, (command->*place).order);
    });
    for (qsizetype i = tools.size() - 1; i > 0; --i)
        if ((tools[i]->*place).group != (tools[i - 1]->*place).group)
            tools.insert(i, nullptr);
    return tools;
}
}  // namespace

namespace CommandTable {

const QList<CommandSpec>& Commands()
{
    // The export tools come from the export formats' table, after the others, in their menu's order.
    static const QList<CommandSpec> commands = [] {
        QList<CommandSpec> list(std::begin(kCommands), std::end(kCommands));
        // A view tool shows its sheet.
        for (CommandSpec& command : list)
            if (command.viewItem >= 0)
                command.run = [item = command.viewItem](const CommandContext& c) {
                    c.window.SwitchToOutlookItem(item);
                };
        for (const ExportKindInfo* format : ExportMenu())
            list.append({.id = format->toolId, .caption = format->caption, .category = "Export",
                         .menu = ToolId::mnuExport, .menuPlace = {1, format->menuPosition + 1},
                         .run = [kind = format->kind](const CommandContext& c) { modMain::ExportAs(c, kind); }});
        return list;
    }();
    return commands;
}

const CommandSpec* Find(const QString& id)
{
    for (const CommandSpec& command : Commands())
        if (id == QLatin1String(command.id))
            return &command;
    return nullptr;
}

QList<const CommandSpec*> MenuItems(const char* menu)
{
    return Placed(&CommandSpec::menuPlace,
                  [menu](const CommandSpec& command) { return command.menu && qstrcmp(command.menu, menu) == 0; });
}

QList<const CommandSpec*> ToolbarButtons()
{
    return Placed(&CommandSpec::toolbarPlace, [](const CommandSpec&) { return true; });
}

const QList<const char*>& CurrentViewTools()
{
    static const QList<const char*> tools = [] {
        QList<const char*> list;
        for (int item = 0;; ++item) {
            const auto row = std::ranges::find(Commands(), item, &CommandSpec::viewItem);
            if (row == Commands().end())
                return list;
            list.append(row->id);
        }
    }();
    return tools;
}

const QList<const char*>& ExportTools()
{
    static const QList<const char*> tools = [] {
        QList<const char*> list;
        for (const CommandSpec* command : MenuItems(ToolId::mnuExport))
            list.append(command->id);
        return list;
    }();
    return tools;
}

QIcon Picture(const CommandSpec& command, const QStyle& style)
{
    const ToolPicture& picture = command.picture;
    if (!picture.fallback)
        return {};
    return picture.themeName ? QIcon::fromTheme(QString::fromLatin1(picture.themeName), picture.fallback(style))
                             : picture.fallback(style);
}

}  // namespace CommandTable
