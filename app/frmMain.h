#pragma once
// The main window: a navigation pane on the left with the group "Requirements" and its
// sheets (the four grids and the Rules sheet), the sheet of the selected item on the right,
// the menu bar and the dockable "Standard" toolbar built from the command table, and the
// three status panels.

#include "app/DesktopContext.h"
#include "files/DesignSheets.h"
#include "platform/MainWindowPlacement.h"
#include "platform/StatusPanels.h"

#include <QHash>
#include <QMainWindow>

class QAction;
class QActionGroup;
class QLabel;
class QListWidget;
class QMenu;
class QStackedWidget;
class QToolBar;
class QToolBox;
class DesignHistory;
class SheetWindow;
class frmConstraints;
class frmFactorsAndLevels;
class frmGenerate;
class frmPrevRuns;
class frmRules;

class frmMain : public QMainWindow, public StatusPanels, public MainWindowPlacement, public DesignSheets {
    Q_OBJECT
public:
    // Navigation items by index; the pane shows the Rules sheet beside Constraints.
    enum Item { ItemFactorsAndLevels = 0, ItemConstraints = 1, ItemPreviousTest = 2, ItemTestCases = 3, ItemRules = 4 };

    // desktop: what the window and its commands work with, made at start-up.
    explicit frmMain(const DesktopContext& desktop, QWidget* parent = nullptr);
    ~frmMain() override;

    // What a command of this window runs with.
    CommandContext Context() { return {mDesktop, *this}; }

    // Selects a navigation item and reacts to it as if the user had clicked it.
    void SwitchToOutlookItem(int index);
    void OutLookBar_AfterItemChange(int index);
    int SelectedItemIndex() const;

    // Runs the command of a tool ID; an ID that is not in the table runs nothing.
    void SSActiveToolBars1_ToolClick(const QString& id);
    QAction* Tool(const QString& id) const { return mTools.value(id); }

    // The grid sheet window of a navigation item (0..3); nullptr for any other index.
    SheetWindow* Sheet(int index) const;
    // The grid sheet window shown; nullptr while the Rules sheet is.
    SheetWindow* ShownSheet() const { return Sheet(SelectedItemIndex()); }
    frmFactorsAndLevels* FactorsSheet() const { return mFactors; }
    frmConstraints* ConstraintsSheet() const { return mConstraints; }
    frmPrevRuns* PrevRunsSheet() const { return mPrevRuns; }
    frmGenerate* TestCasesSheet() const { return mTestCases; }
    frmRules* RulesSheet() const { return mRules; }
    // The Rules sheet while it is shown; nullptr otherwise.
    frmRules* ShownRulesSheet() const;
    // Shows the Rules sheet with the cursor at a 1-based line and column of the text.
    void ShowRulesPlace(int line, int column);
    QMenu* EditMenu() const { return mEditMenu; }

    // The item pane of the navigation bar.
    bool IsItemPaneShown() const;
    void SetItemPaneShown(bool shown);

    // Opens a design named on the command line; False after "Error opening file".
    bool OpenFileAtStart(const QString& path);
    // The File menu's list of the designs opened or saved last, brought up to date.
    void RefreshRecentFiles();
    // "Vantrel" while untitled, "Vantrel  -  [path]" once a file is open.
    void SetTitle();
    // Undo and Redo enabled and named after the steps they take ("&Undo Generate 2-Way"), or
    // after the Rules sheet's typing while it is shown.
    void UpdateUndoTools();
    // The design as it stands is the one saved (or opened, or new): undoing back to it clears
    // the mark of unsaved changes.
    void DesignSaved();
    // The title's mark of unsaved changes, from gbDirty, and the marks of test cases made for
    // an earlier design (the status bar's and the Test Cases sheet's), after every command
    // and edit.
    void UpdateModifiedMark();

    // StatusPanels
    void setPanelText(const QString& key, const QString& text) override;
    void showStatusMessage(const QString& text) override;
    QString PanelText(const QString& key) const;
    // MainWindowPlacement
    WindowPlacementTwips placementInTwips() const override;

    // DesignSheets
    void SetupSheets() override;
    void ShowFactorsAndLevels() override;
    void BeforePut(DesignTable table) override;
    void AfterPut(DesignTable table) override;

protected:
    void closeEvent(QCloseEvent* event) override;
    // A design file or model text dropped on the window is opened, as Open does.
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dropEvent(QDropEvent* event) override;

private:
    void Form_Load();
    void PlaceWindow();
    void LoadGroupsAndItemsInOutlookBar();
    // The actions, the option group "CurrentView" and the toolbar, from the command table.
    void BuildCommands();
    void BuildMenus();
    // The design's Undo and Redo, and the state of their tools.
    void BuildHistory();
    // Undo and Redo act on the Rules sheet's own steps while it is shown, on the design's
    // otherwise; their tools say whether there is a step.
    void CheckViewTool(int index);
    bool Form_Unload();

    const DesktopContext mDesktop;
    QHash<QString, QAction*> mTools;
    DesignHistory* mHistory = nullptr;
    QActionGroup* mCurrentView = nullptr;
    QMenu* mEditMenu = nullptr;
    QMenu* mFileMenu = nullptr;
    QList<QAction*> mRecentFileTools;
    QToolBar* mStandard = nullptr;
    QToolBox* mOutLookBar = nullptr;
    QListWidget* mItems = nullptr;
    QStackedWidget* mSheets = nullptr;
    QHash<QString, QLabel*> mPanels;
    QString mRulesSaved;  // the rules text of the design saved
    frmFactorsAndLevels* mFactors = nullptr;
    frmConstraints* mConstraints = nullptr;
    frmPrevRuns* mPrevRuns = nullptr;
    frmGenerate* mTestCases = nullptr;
    frmRules* mRules = nullptr;
};
