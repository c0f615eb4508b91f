#include "app/frmMain.h"

#include "app/CommandTable.h"
#include "app/modMain.h"
#include "app/modMainFileCommands.h"
#include "errortrap/modFailSafe.h"
#include "files/CFile.h"
#include "model/CConstraints.h"
#include "model/CFactors.h"
#include "model/CPrevRuns.h"
#include "model/DesignWorkbook.h"
#include "model/GridCellStore.h"
#include "platform/MessageBox.h"
#include "platform/qt/QtWindowPlacement.h"
#include "settings/CDefaults.h"
#include "settings/RecentFiles.h"
#include "sheets/DesignHistory.h"
#include "sheets/RulesEditor.h"
#include "sheets/frmConstraints.h"
#include "sheets/frmFactorsAndLevels.h"
#include "sheets/frmGenerate.h"
#include "sheets/frmPrevRuns.h"
#include "sheets/frmRules.h"

#include <QAction>
#include <QActionGroup>
#include <QCloseEvent>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QMimeData>
#include <QPointer>
#include <QGuiApplication>
#include <QLabel>
#include <QListWidget>
#include <QMenuBar>
#include <QScreen>
#include <QSplitter>
#include <QStackedWidget>
#include <QStatusBar>
#include <QStyle>
#include <QToolBar>
#include <QToolBox>

#include <iterator>

namespace {
struct NavigationItem {
    frmMain::Item index;
    const char* caption;
    QStyle::StandardPixmap picture;
};
// In the pane's order, top to bottom.
const NavigationItem kItems[] = {
    {frmMain::ItemFactorsAndLevels, "Factors and levels", QStyle::SP_FileDialogDetailedView},
    {frmMain::ItemConstraints, "Constraints", QStyle::SP_MessageBoxWarning},
    {frmMain::ItemRules, "Rules", QStyle::SP_FileDialogContentsView},
    {frmMain::ItemPreviousTest, "Previous Test", QStyle::SP_BrowserReload},
    {frmMain::ItemTestCases, "Test Cases", QStyle::SP_DialogApplyButton},
};

// The pane's row of a navigation item, and the item of a row; -1 for none.
int RowOfItem(int index)
{
    for (int row = 0; row < int(std::size(kItems)); ++row)
        if (kItems[row].index == index)
            return row;
    return -1;
}

int ItemOfRow(int row) { return row >= 0 && row < int(std::size(kItems)) ? int(kItems[row].index) : -1; }

struct PanelSpec {
    QLatin1String key;
    const char* text;
};
const PanelSpec kPanels[] = {
    {kPanelFactors, "0 Factors  "},
    {kPanelConstraints, "0 Constraints  "},
    {kPanelPrevTest, "0 Prev Test  "},
};
}  // namespace

frmMain::frmMain(const DesktopContext& desktop, QWidget* parent) : QMainWindow(parent), mDesktop(desktop)
{
    setObjectName(QStringLiteral("frmMain"));
    Form_Load();
}

frmMain::~frmMain()
{
    // The history and the Rules sheet go with the window's children, after its own members.
    mHistory->stack().disconnect(this);
    mRules->Editor()->disconnect(this);
    if (CurrentDesignSheets() == this)
        SetDesignSheets(nullptr);
    SetStatusPanels(nullptr);
    mDesktop.settings.setMainWindow(nullptr);
}

void frmMain::Form_Load()
{
    setWindowTitle(QStringLiteral("Vantrel"));
    setAcceptDrops(true);
    CDefaults& defaults = mDesktop.settings;
    defaults.LoadDefaults();
    defaults.setMainWindow(this);
    PlaceWindow();

    BuildCommands();
    LoadGroupsAndItemsInOutlookBar();
    BuildHistory();

    mDesktop.design.ClearCounts();
    modMain::gbDirty = false;
    modMain::gstrCurrentFile.clear();

    for (const PanelSpec& panelDef : kPanels) {
        auto* panel = new QLabel(QString::fromLatin1(panelDef.text), this);
        panel->setObjectName(panelDef.key);
        panel->setMinimumWidth(1);
        statusBar()->addWidget(panel);
        mPanels.insert(panelDef.key, panel);
    }
    // The test cases generated, in a panel of its own after the three of the design.
    auto* casesPanel = new QLabel(this);
    casesPanel->setObjectName(QStringLiteral("TestCases"));
    statusBar()->addWidget(casesPanel);
    mPanels.insert(casesPanel->objectName(), casesPanel);
    // Beside it the strength of the matrix generated last, which any other matrix clears.
    auto* strengthPanel = new QLabel(this);
    strengthPanel->setObjectName(kPanelStrength);
    statusBar()->addWidget(strengthPanel);
    mPanels.insert(strengthPanel->objectName(), strengthPanel);
    // Whether the test cases were made for the design as it is.
    auto* statePanel = new QLabel(this);
    statePanel->setObjectName(kPanelMatrixState);
    statusBar()->addWidget(statePanel);
    mPanels.insert(statePanel->objectName(), statePanel);
    GridCellStore& cases = mDesktop.design.TestCasesGrid();
    const auto countCases = [&cases, casesPanel, strengthPanel] {
        const int rows = cases.maxRows();
        casesPanel->setText(QStringLiteral("%1 Test Cases  ").arg(rows >= 2 ? rows - 1 : 0));
        strengthPanel->clear();
    };
    countCases();
    for (const auto signal : {&GridCellStore::rowsInserted, &GridCellStore::rowsRemoved})
        connect(&cases, signal, casesPanel, countCases);
    connect(&cases, &GridCellStore::modelReset, casesPanel, countCases);
    // The title's modified mark follows every edit of the design sheets.
    DesignWorkbook& design = mDesktop.design;
    for (GridCellStore* grid : {&design.FactorsGrid(), &design.ConstraintsGrid(), &design.PrevRunsGrid()})
        connect(grid, &GridCellStore::cellEdited, this, &frmMain::UpdateModifiedMark, Qt::QueuedConnection);
    connect(mRules, &frmRules::edited, this, &frmMain::UpdateModifiedMark);

    SetStatusPanels(this);
    SetDesignSheets(this);
    SetTitle();
    // Typing goes to the first factor's name from the start.
    ShowFactorsAndLevels();
}

void frmMain::PlaceWindow()
{
    const CDefaults& d = mDesktop.settings;
    const QScreen* screen = QGuiApplication::primaryScreen();
    const QRect area = screen->geometry();
    const std::int32_t screenWidth = QtWindowPlacement::PixelsToTwips(area.width(), screen->logicalDotsPerInchX());
    const std::int32_t screenHeight = QtWindowPlacement::PixelsToTwips(area.height(), screen->logicalDotsPerInchY());
    if (!d.bMaximize && d.lWidth != 0 && d.lHeight != 0 && d.lTop + d.lHeight <= screenHeight &&
        d.lLeft + d.lWidth <= screenWidth) {
        QtWindowPlacement::place(*this, d.lLeft, d.lTop, d.lWidth, d.lHeight);
    } else {
        QtWindowPlacement::place(*this, std::int32_t(0.1 * screenWidth), std::int32_t(0.1 * screenHeight),
                                 std::int32_t(0.8 * screenWidth), std::int32_t(0.8 * screenHeight));
    }
    // Maximized, the window keeps the default placement as the size it is restored to (a
    // window records that size when it is maximized once it exists).
    if (d.bMaximize) {
        create();
        setWindowState(Qt::WindowMaximized);
    }
}

void frmMain::BuildCommands()
{
    for (const CommandSpec& command : CommandTable::Commands()) {
        auto* action = new QAction(QString::fromLatin1(command.caption), this);
        action->setObjectName(QString::fromLatin1(command.id));
        action->setStatusTip(QString::fromLatin1(command.description));
        action->setProperty("category", QString::fromLatin1(command.category));
        QList<QKeySequence> keys;
        if (command.shortcut != QKeySequence::UnknownKey)
            keys = QKeySequence::keyBindings(command.shortcut);
        if (command.extraShortcut)
            for (const QKeySequence& key : QKeySequence::listFromString(QString::fromLatin1(command.extraShortcut)))
                if (!keys.contains(key))
                    keys.append(key);
        action->setShortcuts(keys);
        action->setIcon(CommandTable::Picture(command, *style()));
        connect(action, &QAction::triggered, this, [this, action] { SSActiveToolBars1_ToolClick(action->objectName()); });
        addAction(action);  // shortcuts work for tools on no menu too
        mTools.insert(action->objectName(), action);
    }

    mCurrentView = new QActionGroup(this);
    mCurrentView->setObjectName(QStringLiteral("CurrentView"));
    for (const char* id : CommandTable::CurrentViewTools()) {
        QAction* tool = mTools.value(QString::fromLatin1(id));
        tool->setCheckable(true);
        mCurrentView->addAction(tool);
    }
    mTools.value(QLatin1String(ToolId::FactorsandLevels))->setChecked(true);

    BuildMenus();
    mStandard = addToolBar(QStringLiteral("Standard"));
    mStandard->setObjectName(QStringLiteral("Standard"));
    for (const CommandSpec* button : CommandTable::ToolbarButtons()) {
        if (button)
            mStandard->addAction(mTools.value(QString::fromLatin1(button->id)));
        else
            mStandard->addSeparator();
    }
}

void frmMain::BuildMenus()
{
    menuBar()->setObjectName(QString::fromLatin1(CommandTable::kMenuBar));
    for (const CommandSpec* menuTool : CommandTable::MenuItems(CommandTable::kMenuBar)) {
        if (!menuTool)
            continue;
        QMenu* menu = menuBar()->addMenu(mTools.value(QString::fromLatin1(menuTool->id))->text());
        menu->setObjectName(QString::fromLatin1(menuTool->id));
        for (const CommandSpec* item : CommandTable::MenuItems(menuTool->id)) {
            if (item)
                menu->addAction(mTools.value(QString::fromLatin1(item->id)));
            else
                menu->addSeparator();
        }
        // The menu's own tool is clicked as the menu opens.
        connect(menu, &QMenu::aboutToShow, this, [this, id = menu->objectName()] { SSActiveToolBars1_ToolClick(id); });
        if (qstrcmp(menuTool->id, ToolId::mnuEdit) == 0)
            mEditMenu = menu;
        if (qstrcmp(menuTool->id, ToolId::mnuFile) == 0) {
            mFileMenu = menu;
            connect(menu, &QMenu::aboutToShow, this, &frmMain::RefreshRecentFiles);
        }
    }
}

void frmMain::BuildHistory()
{
    mHistory = new DesignHistory(
        mDesktop.design,
        [this] {
            // The windows follow a design put back: the line under the names, the widths.
            mFactors->Grid->setRowBottomLine(1, 0, mDesktop.design.FactorsGrid().maxCols());
            for (SheetWindow* sheet : {static_cast<SheetWindow*>(mFactors), static_cast<SheetWindow*>(mConstraints),
                                       static_cast<SheetWindow*>(mPrevRuns)})
                for (int c = 0; c <= sheet->Grid->store()->maxCols(); ++c)
                    sheet->Grid->widenColToText(c);
        },
        this);
    QUndoStack& stack = mHistory->stack();
    for (const auto changed : {&QUndoStack::canUndoChanged, &QUndoStack::canRedoChanged})
        connect(&stack, changed, this, &frmMain::UpdateUndoTools);
    for (const auto changed : {&QUndoStack::undoTextChanged, &QUndoStack::redoTextChanged})
        connect(&stack, changed, this, &frmMain::UpdateUndoTools);
    for (const auto changed : {&QPlainTextEdit::undoAvailable, &QPlainTextEdit::redoAvailable})
        connect(mRules->Editor(), changed, this, &frmMain::UpdateUndoTools);
    // Back at the design saved, nothing is left unsaved (unless the rules changed since).
    connect(&stack, &QUndoStack::cleanChanged, this, [this](bool clean) {
        if (clean && mDesktop.design.Rules() == mRulesSaved) {
            modMain::gbDirty = false;
            UpdateModifiedMark();
        }
    });
    mHistory->SetStaleFlag(&modMain::gbDesignChanged);
    UpdateUndoTools();
}

void frmMain::DesignSaved()
{
    mRulesSaved = mDesktop.design.Rules();
    if (mHistory && !modMain::gbDirty)
        mHistory->MarkSaved();
}

void frmMain::UpdateUndoTools()
{
    if (!mHistory)
        return;
    QAction* undo = mTools.value(QLatin1String(ToolId::Undo));
    QAction* redo = mTools.value(QLatin1String(ToolId::Redo));
    if (const frmRules* rules = ShownRulesSheet()) {
        const QTextDocument* text = rules->Editor()->document();
        undo->setEnabled(text->isUndoAvailable());
        redo->setEnabled(text->isRedoAvailable());
        undo->setText(QStringLiteral("&Undo Typing in the Rules"));
        redo->setText(QStringLiteral("&Redo Typing in the Rules"));
        undo->setToolTip(QStringLiteral("Undo typing in the rules"));
        redo->setToolTip(QStringLiteral("Redo typing in the rules"));
        return;
    }
    const QUndoStack& stack = mHistory->stack();
    undo->setEnabled(stack.canUndo());
    redo->setEnabled(stack.canRedo());
    undo->setText((QStringLiteral("&Undo ") + stack.undoText()).trimmed());
    redo->setText((QStringLiteral("&Redo ") + stack.redoText()).trimmed());
    undo->setToolTip(undo->text().remove(QLatin1Char('&')));
    redo->setToolTip(redo->text().remove(QLatin1Char('&')));
}

void frmMain::LoadGroupsAndItemsInOutlookBar()
{
    auto* splitter = new QSplitter(this);
    splitter->setObjectName(QStringLiteral("OutLookBar"));
    mOutLookBar = new QToolBox(splitter);
    mItems = new QListWidget;
    mItems->setObjectName(QStringLiteral("Requirements"));
    mItems->setViewMode(QListView::IconMode);
    mItems->setFlow(QListView::TopToBottom);
    mItems->setMovement(QListView::Static);
    mItems->setIconSize(QSize(32, 32));
    mItems->setSpacing(8);
    // One column whatever the pane's size.
    mItems->setWrapping(false);
    mItems->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    mOutLookBar->addItem(mItems, QStringLiteral("Requirements"));

    mSheets = new QStackedWidget(splitter);
    DesignWorkbook& workbook = mDesktop.design;
    mFactors = new frmFactorsAndLevels(workbook);
    mConstraints = new frmConstraints(workbook);
    mPrevRuns = new frmPrevRuns(workbook);
    mTestCases = new frmGenerate(workbook);
    mRules = new frmRules(workbook);
    for (const NavigationItem& itemDef : kItems) {
        auto* item = new QListWidgetItem(style()->standardIcon(itemDef.picture), QString::fromLatin1(itemDef.caption));
        item->setTextAlignment(Qt::AlignHCenter);
        mItems->addItem(item);
        QWidget* window = itemDef.index == ItemRules ? static_cast<QWidget*>(mRules) : Sheet(itemDef.index);
        mSheets->addWidget(window);
        window->setWindowTitle(QString::fromLatin1(itemDef.caption));  // the heading of its printout
        if (SheetWindow* sheet = Sheet(itemDef.index))
            sheet->setEditMenu(mEditMenu);
    }
    mFactors->Form_Load();
    mConstraints->Form_Load();
    mPrevRuns->Form_Load();
    mTestCases->Form_Load();
    mItems->setCurrentRow(0);
    connect(mItems, &QListWidget::currentRowChanged, this, [this](int row) {
        if (row >= 0)
            OutLookBar_AfterItemChange(ItemOfRow(row));
    });

    splitter->setStretchFactor(0, 0);
    splitter->setStretchFactor(1, 1);
    splitter->setSizes({160, 900});
    setCentralWidget(splitter);
}

int frmMain::SelectedItemIndex() const { return ItemOfRow(mItems->currentRow()); }

SheetWindow* frmMain::Sheet(int index) const
{
    switch (index) {
    case ItemFactorsAndLevels: return mFactors;
    case ItemConstraints: return mConstraints;
    case ItemPreviousTest: return mPrevRuns;
    case ItemTestCases: return mTestCases;
    default: return nullptr;
    }
}

frmRules* frmMain::ShownRulesSheet() const { return SelectedItemIndex() == ItemRules ? mRules : nullptr; }

void frmMain::SwitchToOutlookItem(int index)
{
    {
        const QSignalBlocker block(mItems);
        mItems->setCurrentRow(RowOfItem(index));
    }
    OutLookBar_AfterItemChange(index);
}

void frmMain::ShowRulesPlace(int line, int column)
{
    SwitchToOutlookItem(ItemRules);
    mRules->ShowPlace(line, column);
}

void frmMain::OutLookBar_AfterItemChange(int index)
{
    bool ready = true;
    if (index == ItemConstraints)
        ready = mConstraints->InitGridForFactorsAndLevels();
    else if (index == ItemPreviousTest)
        ready = mPrevRuns->InitGridForPreviousRuns();
    if (!ready) {
        // The sheet cannot be used yet: back to Factors and levels.
        index = ItemFactorsAndLevels;
        const QSignalBlocker block(mItems);
        mItems->setCurrentRow(RowOfItem(index));
    }
    if (SheetWindow* sheet = Sheet(index)) {
        mSheets->setCurrentWidget(sheet);
        if (index != ItemTestCases)
            sheet->Grid->setFocus();
    } else if (index == ItemRules) {
        // The factors may have changed since the rules were last checked.
        mRules->CheckNow();
        mSheets->setCurrentWidget(mRules);
        mRules->Editor()->setFocus();
    }
    CheckViewTool(index);
    UpdateUndoTools();
}

void frmMain::CheckViewTool(int index)
{
    if (index >= 0 && index < CommandTable::CurrentViewTools().size())
        mTools.value(QString::fromLatin1(CommandTable::CurrentViewTools()[index]))->setChecked(true);
}

bool frmMain::IsItemPaneShown() const { return mOutLookBar->isVisibleTo(const_cast<frmMain*>(this)); }

void frmMain::SetItemPaneShown(bool shown) { mOutLookBar->setVisible(shown); }

void frmMain::SSActiveToolBars1_ToolClick(const QString& id)
{
    // An ID that is not in the table, or a tool that runs nothing (the menus but Export, and
    // ID_Test), does nothing.
    const CommandSpec* command = CommandTable::Find(id);
    if (!command || !command->run)
        return;
    const QPointer<frmMain> window(this);  // a command may end with the window gone
    modFailSafe::RunProcedure("frmMain", "Sub SSActiveToolBars1_ToolClick",
                              [this, command] { command->run(Context()); });
    if (window)
        UpdateModifiedMark();
}

bool frmMain::OpenFileAtStart(const QString& path) { return modMain::OpenFileFromPath(Context(), path); }

void frmMain::RefreshRecentFiles()
{
    qDeleteAll(mRecentFileTools);
    mRecentFileTools.clear();
    const QStringList paths = RecentFiles().Paths();
    if (paths.isEmpty())
        return;
    // Numbered above Exit, after a separator of their own.
    QAction* exitTool = mTools.value(QLatin1String(ToolId::Exit));
    for (int i = 0; i < paths.size(); ++i) {
        const QString path = paths[i];
        auto* tool = new QAction(QStringLiteral("&%1 %2").arg(i + 1).arg(QString(path).replace(QLatin1Char('&'), QLatin1String("&&"))), mFileMenu);
        tool->setObjectName(QStringLiteral("RecentFile%1").arg(i + 1));
        tool->setStatusTip(path);
        connect(tool, &QAction::triggered, this, [this, path] { modMain::OpenFileFromPath(Context(), path); });
        mFileMenu->insertAction(exitTool, tool);
        mRecentFileTools.append(tool);
    }
    mRecentFileTools.append(mFileMenu->insertSeparator(exitTool));
}

void frmMain::SetTitle()
{
    // "[*]" is where the window shows its modified mark.
    setWindowTitle((modMain::gstrCurrentFile.isEmpty()
                        ? QStringLiteral("Vantrel")
                        : QStringLiteral("Vantrel  -  [") + modMain::gstrCurrentFile + QLatin1Char(']')) +
                   QStringLiteral("[*]"));
    UpdateModifiedMark();
}

void frmMain::UpdateModifiedMark()
{
    setWindowModified(modMain::gbDirty);
    const bool stale = modMain::TestCasesStale(mDesktop.design);
    setPanelText(kPanelMatrixState, stale ? QStringLiteral("Out of date") : QString());
    if (QLabel* panel = mPanels.value(kPanelMatrixState))
        panel->setToolTip(stale ? QStringLiteral("The design changed after these test cases were made.") : QString());
    TestCasesSheet()->ShowStale(stale);
}

void frmMain::showStatusMessage(const QString& text)
{
    constexpr int kShownMs = 15000;
    statusBar()->showMessage(text, kShownMs);
}

void frmMain::setPanelText(const QString& key, const QString& text)
{
    if (QLabel* panel = mPanels.value(key))
        panel->setText(text);
}

QString frmMain::PanelText(const QString& key) const
{
    const QLabel* panel = mPanels.value(key);
    return panel ? panel->text() : QString();
}

WindowPlacementTwips frmMain::placementInTwips() const { return QtWindowPlacement(*this).placementInTwips(); }

void frmMain::SetupSheets()
{
    mFactors->SetupGrid();
    mPrevRuns->SetupGrid();
    mConstraints->SetupGrid();
    mTestCases->SetupGrid();
    mRules->SetupSheet();
}

void frmMain::BeforePut(DesignTable table)
{
    // The previous tests get the columns of the factors their lists read, which leaves out
    // trailing factors without a name.
    if (table == DesignTable::PrevRuns)
        mPrevRuns->InitGridForPreviousRuns();
}

void frmMain::AfterPut(DesignTable table)
{
    switch (table) {
    case DesignTable::Factors: mFactors->ShowLoadedTable(); break;
    case DesignTable::Constraints: mConstraints->ShowLoadedTable(); break;
    case DesignTable::PrevRuns: mPrevRuns->ShowLoadedTable(); break;
    case DesignTable::TestCases: mTestCases->ShowLoadedTable(); break;
    }
}

void frmMain::ShowFactorsAndLevels()
{
    SwitchToOutlookItem(ItemFactorsAndLevels);
    mFactors->Grid->setActiveCell(1, 1);
    mFactors->Grid->setFocus();
}

bool frmMain::Form_Unload()
{
    if (modMain::gbDirty) {
        switch (ShowMessage(mDesktop.messages, QStringLiteral("Do you want to save your changes before exiting?"),
                            MsgButtons::YesNoCancel)) {
        case MsgResult::Yes:
            // The Save command, Save As for an untitled design. The program stays open when
            // the design was not saved (cancelled or failed), so the changes are not lost.
            if (!modMain::SaveFile(Context()))
                return false;
            break;
        case MsgResult::Cancel:
            return false;
        default:
            break;
        }
    }
    try {
        mDesktop.settings.SaveDefaults();
    } catch (...) {
        // Nothing may keep the program from getting out.
    }
    return true;
}

namespace {
// The one local file a drag carries, or "".
QString DroppedFile(const QMimeData* data)
{
    if (!data || !data->hasUrls() || data->urls().size() != 1 || !data->urls().first().isLocalFile())
        return {};
    return data->urls().first().toLocalFile();
}
}  // namespace

void frmMain::dragEnterEvent(QDragEnterEvent* event)
{
    if (!DroppedFile(event->mimeData()).isEmpty())
        event->acceptProposedAction();
}

void frmMain::dropEvent(QDropEvent* event)
{
    const QString path = DroppedFile(event->mimeData());
    if (path.isEmpty())
        return;
    event->acceptProposedAction();
    modMain::OpenFileFromPath(Context(), path);
}

void frmMain::closeEvent(QCloseEvent* event)
{
    if (Form_Unload())
        event->accept();
    else
        event->ignore();
}
