// The main window driven as a user would: commands by their tool IDs, typing into the sheets,
// start-up placement, the command-line open and the exit prompt.
#include "app/frmAbout.h"
#include "app/frmMain.h"
#include "app/modMain.h"
#include "model/CFactors.h"
#include "model/GridCellStore.h"
#include "settings/CDefaults.h"
#include "settings/QtWindowPlacement.h"
#include "sheets/frmConstraints.h"
#include "sheets/frmFactorsAndLevels.h"
#include "tests/settings/SettingsSandbox.h"
#include "tests/sheets/SheetTestSupport.h"
#include "tests/support/RecordingHelpViewer.h"

#include <QAction>
#include <QActionGroup>
#include <QMenuBar>
#include <QPushButton>
#include <QScreen>
#include <QTimer>
#include <QToolBar>

using namespace SheetTest;

namespace {
// The settings store of this test process lives in a home of its own.
PrivateSettingsHome gHome;

bool Checked(const frmMain& w, const char* id) { return w.Tool(id)->isChecked(); }

void TypeFactor(frmMain& w, int col, const QString& name, const QStringList& levels)
{
    TypeIntoCell(*w.FactorsSheet()->Grid, col, 1, name);
    for (int i = 0; i < levels.size(); ++i)
        TypeIntoCell(*w.FactorsSheet()->Grid, col, i + 2, levels[i]);
}

std::int32_t ScreenTwipsWide()
{
    const QScreen* s = QGuiApplication::primaryScreen();
    return QtWindowPlacement::PixelsToTwips(s->geometry().width(), s->logicalDotsPerInchX());
}
}  // namespace

class frmMainTest : public QObject {
    Q_OBJECT
    ScriptedMessages messages;

private slots:
    void initTestCase() { QVERIFY(gHome.holdsTheStore()); }
    void init()
    {
        ResetApplicationState();
        ClearSettings();
        messages.clear();
    }
    void cleanup()
    {
        VerifyMessagesSettled(messages);
        ResetApplicationState();
    }

    void buildsTheCommandTableIntoMenusAndToolbar()
    {
        frmMain w;
        QCOMPARE(w.Tool("ID_Generate2Way")->text(), QString("Generate &2 Way"));
        QCOMPARE(w.Tool("ID_Paste")->statusTip(),
                 QString("Inserts the contents of the Clipboard at the insertion point, and replaces any selection."));
        QStringList menus;
        for (QAction* a : w.menuBar()->actions())
            menus << a->text();
        QCOMPARE(menus, (QStringList{"&File", "&Edit", "&View", "&Test", "E&xport", "&Help"}));
        auto* standard = w.findChild<QToolBar*>("Standard");
        QVERIFY(standard);
        QCOMPARE(standard->actions().size(), 11);
        QVERIFY(w.Tool("ID_AutoTest") && w.Tool("ID_Test"));
        QCOMPARE(w.Tool("ID_Save")->shortcut(), QKeySequence(QKeySequence::Save));
        QCOMPARE(w.Tool("ID_FactorsandLevels")->actionGroup()->objectName(), QString("CurrentView"));
        QCOMPARE(w.windowTitle(), QString("Vantrel"));
        QCOMPARE(w.PanelText("FactorsAndLevels"), QString("0 Factors  "));
        QCOMPARE(w.PanelText("Constraints"), QString("0 Constraints  "));
        QCOMPARE(w.PanelText("Prev Test"), QString("0 Prev Test  "));
    }

    void typingAFactorGrowsTheSheetAndTheStatusBar()
    {
        frmMain w;
        ShowWindow(w);
        TypeFactor(w, 1, "Browser", {"Firefox"});
        QCOMPARE(w.PanelText("FactorsAndLevels"), QString("1 Factor  "));
        QCOMPARE(modMain::FactorsGrid().maxCols(), 2);
        QCOMPARE(modMain::FactorsGrid().maxRows(), 3);
        QVERIFY(modMain::gbDirty);
    }

    void constraintsOpenOnlyWithTwoValidFactors()
    {
        frmMain w;
        ShowWindow(w);
        TypeFactor(w, 1, "A", {"x", "y"});
        messages.answer(MsgResult::Ok);
        w.Tool("ID_Constraints")->trigger();
        TakeOnlyMessage(messages, "You must have at least two factors before you can add constraints.", MsgIcon::None);
        QCOMPARE(w.SelectedItemIndex(), 0);
        QVERIFY(Checked(w, "ID_FactorsandLevels"));

        TypeFactor(w, 2, "B", {"p", "q"});
        w.Tool("ID_Constraints")->trigger();
        QCOMPARE(w.SelectedItemIndex(), 1);
        QVERIFY(Checked(w, "ID_Constraints"));
        QVERIFY(!Checked(w, "ID_FactorsandLevels"));
        w.SSActiveToolBars1_ToolClick("ID_TestCases");
        QCOMPARE(w.SelectedItemIndex(), 3);
        QVERIFY(Checked(w, "ID_TestCases"));
    }

    void exportItemsFollowTheTestCasesRows()
    {
        frmMain w;
        modMain::TestCasesGrid().setMaxRows(2);
        w.SSActiveToolBars1_ToolClick("ID_mnuExport");
        for (const char* id : {"ID_XML", "ID_Excel", "ID_HTML", "ID_CommaDeliminated", "ID_TabDeliminated"})
            QVERIFY2(!w.Tool(id)->isEnabled(), id);
        modMain::TestCasesGrid().setMaxRows(3);
        w.findChild<QMenu*>("ID_mnuExport")->aboutToShow();  // opening the menu refreshes them
        for (const char* id : {"ID_XML", "ID_Excel", "ID_HTML", "ID_CommaDeliminated", "ID_TabDeliminated"})
            QVERIFY2(w.Tool(id)->isEnabled(), id);
    }

    void theNavigationPaneTogglesAndIdsAreExact()
    {
        frmMain w;
        ShowWindow(w);
        const bool shown = w.IsItemPaneShown();
        w.SSActiveToolBars1_ToolClick("ID_OutlookBar");
        QCOMPARE(w.IsItemPaneShown(), !shown);
        w.SSActiveToolBars1_ToolClick("ID_OutlookBar");
        QCOMPARE(w.IsItemPaneShown(), shown);

        w.SSActiveToolBars1_ToolClick("id_testcases");
        w.SSActiveToolBars1_ToolClick("ID_mnuFile");
        w.SSActiveToolBars1_ToolClick("ID_Test");
        QCOMPARE(w.SelectedItemIndex(), 0);
    }

    void deletingTheMiddleFactorColumnRecaptions()
    {
        frmMain w;
        ShowWindow(w);
        TypeFactor(w, 1, "A", {"x"});
        TypeFactor(w, 2, "B", {"y"});
        TypeFactor(w, 3, "C", {"z"});
        MarkCols(*w.FactorsSheet()->Grid, 2, 2);
        w.Tool("ID_DeleteColumn")->trigger();
        QCOMPARE(ColCaptions(modMain::FactorsGrid(), 1, 3), (QStringList{"Factor 1", "Factor 2", "Factor 3"}));
        QCOMPARE(modMain::FactorsGrid().text(2, 1), QString("C"));
        QCOMPARE(w.PanelText("FactorsAndLevels"), QString("2 Factors  "));
    }

    void aboutBoxOffersTwoHelpTopics()
    {
        RecordingHelpViewer help;
        frmAbout about;
        QCOMPARE(about.windowTitle(), QString("About Vantrel"));
        about.findChild<QPushButton*>("cmdHelp")->click();
        about.findChild<QPushButton*>("Command1")->click();
        QCOMPARE(help.contexts(), (QList<int>{1, 35}));
        frmMain w;
        w.SSActiveToolBars1_ToolClick("ID_Help");
        QCOMPARE(help.contexts().last(), 1);
    }

    void firstRunStartsMaximized()
    {
        frmMain w;
        QVERIFY(w.windowState() & Qt::WindowMaximized);
    }

    void placementFallsBackWhenItRunsOffTheScreen()
    {
        const std::int32_t screen = ScreenTwipsWide();
        StoreSettings({{"frmMain/Maximized", 0}, {"frmMain/Left", "1440"}, {"frmMain/Top", "0"},
                       {"frmMain/Width", QString::number(screen - 1440 + 1)}, {"frmMain/Height", "4000"}});
        frmMain w;
        QVERIFY(!(w.windowState() & Qt::WindowMaximized));
        const WindowPlacementTwips p = w.placementInTwips();
        QVERIFY2(std::abs(p.left - screen / 10) <= 30, qPrintable(QString::number(p.left)));
        QVERIFY(std::abs(p.width - screen * 8 / 10) <= 30);
    }

    void placementRoundTrip()
    {
        StoreSettings({{"frmMain/Maximized", 0}, {"frmMain/Left", "1000"}, {"frmMain/Top", "500"},
                       {"frmMain/Width", "6000"}, {"frmMain/Height", "5000"}});
        {
            frmMain w;
            ShowWindow(w);
            QtWindowPlacement::place(w, 1000, 500, 6000, 5000);
            w.close();
        }
        ResetApplicationState();
        frmMain again;
        const WindowPlacementTwips p = again.placementInTwips();
        QVERIFY2(std::abs(p.left - 1000) <= 15 && std::abs(p.top - 500) <= 15,
                 qPrintable(QString("%1,%2").arg(p.left).arg(p.top)));
    }

    void aCommandLineDesignOpensWithItsTitle()
    {
        frmMain w;
        ShowWindow(w);
        const QString path = VANTREL_EXAMPLES "/browser-matrix.test";
        QVERIFY(w.OpenFileAtStart(path));
        QCOMPARE(w.windowTitle(), "Vantrel  -  [" + path + "]");
        QCOMPARE(modMain::gstrCurrentFile, path);
        QVERIFY(!modMain::gbDirty);
        QVERIFY(modMain::gbDesignChanged);
        QCOMPARE(w.SelectedItemIndex(), 0);
        QCOMPARE(w.PanelText("FactorsAndLevels"), QString("5 Factors  "));
        QCOMPARE(w.PanelText("Constraints"), QString("3 Constraints  "));
        QVERIFY(w.grab().save(VANTREL_BUILD_DIR "/main-window.png"));
    }

    void aQuotedCommandLineFailsToOpen()
    {
        frmMain w;
        messages.answer(MsgResult::Ok);
        QVERIFY(!w.OpenFileAtStart("\"" VANTREL_EXAMPLES "/browser-matrix.test\""));
        TakeOnlyMessage(messages, "Error opening file", MsgIcon::None);
        QCOMPARE(w.windowTitle(), QString("Vantrel"));
        QVERIFY(modMain::gstrCurrentFile.isEmpty());
    }

    void closingAChangedDesignAsks()
    {
        frmMain w;
        ShowWindow(w);
        QVERIFY(w.close());  // unchanged: no question
        QVERIFY(messages.shown().isEmpty());

        frmMain changed;
        ShowWindow(changed);
        modMain::gbDirty = true;
        messages.answer(MsgResult::Cancel);
        QVERIFY(!changed.close());
        TakeOnlyMessage(messages, "Do you want to save your changes before exiting?", MsgIcon::None,
                        MsgButtons::YesNoCancel);
        QVERIFY(changed.isVisible());
        QVERIFY(modMain::gbDirty);

        messages.answer(MsgResult::No);
        QVERIFY(changed.close());
        messages.clear();
    }

    void yesAtExitSavesBackToTheOpenFile()
    {
        QTemporaryDir dir;
        const QString path = dir.filePath("copy.test");
        QVERIFY(QFile::copy(VANTREL_EXAMPLES "/browser-matrix.test", path));
        QFile::setPermissions(path, QFile::ReadOwner | QFile::WriteOwner);
        frmMain w;
        ShowWindow(w);
        QVERIFY(w.OpenFileAtStart(path));
        TypeIntoCell(*w.FactorsSheet()->Grid, 6, 1, "Added");
        messages.answer(MsgResult::Yes);
        QVERIFY(w.close());
        messages.clear();
        QFile saved(path);
        QVERIFY(saved.open(QIODevice::ReadOnly));
        QVERIFY(saved.readAll().contains("Name=\"Added\""));
    }
};

QTEST_MAIN(frmMainTest)
#include "frmMainTest.moc"
