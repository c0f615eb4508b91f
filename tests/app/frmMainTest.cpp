// The main window driven as a user would: switching views by their tool IDs, the about box,
// start-up placement and the command-line open.
#include "app/CommandTable.h"
#include "app/frmAbout.h"
#include "app/frmMain.h"
#include "app/modMain.h"
#include "platform/qt/QtWindowPlacement.h"
#include "tests/app/MainWindowTestCase.h"
#include "tests/support/RecordingHelpViewer.h"

#include <QAction>
#include <QListWidget>
#include <QPushButton>
#include <QScreen>

using namespace MainWindowTest;
using namespace SheetTest;

namespace {
bool Checked(const frmMain& w, const char* id) { return w.Tool(id)->isChecked(); }
}  // namespace

class frmMainTest : public MainWindowTestCase {
    Q_OBJECT

private slots:
    void theViewsSwitchAndConstraintsOpenOnlyWithTwoValidFactors()
    {
        frmMain& w = shownWindow();
        TypeFactor(w, 1, "A", {"x", "y"});
        ExpectOneBox(messages, [&] { w.Tool(ToolId::Constraints)->trigger(); },
                     "You must have at least two factors before you can add constraints.", MsgIcon::None);
        QCOMPARE(w.SelectedItemIndex(), 0);
        QVERIFY(Checked(w, ToolId::FactorsandLevels));

        TypeFactor(w, 2, "B", {"p", "q"});
        w.Tool(ToolId::Constraints)->trigger();
        QCOMPARE(w.SelectedItemIndex(), 1);
        QVERIFY(Checked(w, ToolId::Constraints));
        QVERIFY(!Checked(w, ToolId::FactorsandLevels));
        w.Tool(ToolId::TestCases)->trigger();
        QCOMPARE(w.SelectedItemIndex(), 3);
        QVERIFY(Checked(w, ToolId::TestCases));

        // IDs are exact: these switch nothing.
        for (const char* id : {"id_factorsandlevels", ToolId::mnuFile, ToolId::Test})
            w.SSActiveToolBars1_ToolClick(id);
        QCOMPARE(w.SelectedItemIndex(), 3);

        const bool shown = w.IsItemPaneShown();
        w.Tool(ToolId::OutlookBar)->trigger();
        QCOMPARE(w.IsItemPaneShown(), !shown);
        w.Tool(ToolId::OutlookBar)->trigger();
        QCOMPARE(w.IsItemPaneShown(), shown);
    }

    void aboutBoxOffersTwoHelpTopics()
    {
        frmAbout about(help);
        about.findChild<QPushButton*>("cmdHelp")->click();
        about.findChild<QPushButton*>("Command1")->click();
        QCOMPARE(help.contexts(), (QList<int>{1, 35}));
        window.emplace(desktop()).Tool(ToolId::Help)->trigger();
        QCOMPARE(help.contexts().last(), 1);
    }

    void placementIsMaximizedAtFirstRunFallsBackOffTheScreenAndComesBackAsLeft()
    {
        {
            // Maximized, with the default placement to restore to, the four items in one column,
            // the cursor on the first factor's name.
            frmMain& w = window.emplace(desktop());
            w.show();
            QVERIFY(QTest::qWaitForWindowExposed(&w));
            QVERIFY(w.windowState() & Qt::WindowMaximized);
            const QRect screen = QGuiApplication::primaryScreen()->geometry();
            QVERIFY2(std::abs(w.normalGeometry().width() - screen.width() * 8 / 10) <= 2,
                     qPrintable(QString("%1 of %2").arg(w.normalGeometry().width()).arg(screen.width())));
            auto* items = w.findChild<QListWidget*>("Requirements");
            for (int i = 1; i < items->count(); ++i)
                QCOMPARE(items->visualItemRect(items->item(i)).x(), items->visualItemRect(items->item(0)).x());
            QCOMPARE(QApplication::focusWidget(), w.FactorsSheet()->Grid);
            QCOMPARE(w.FactorsSheet()->Grid->activeRow(), 1);
            window.reset();
        }

        const QScreen* s = QGuiApplication::primaryScreen();
        const std::int32_t screen = QtWindowPlacement::PixelsToTwips(s->geometry().width(), s->logicalDotsPerInchX());
        StoreSettings({{"frmMain/Maximized", 0}, {"frmMain/Left", "1440"}, {"frmMain/Top", "0"},
                       {"frmMain/Width", QString::number(screen - 1440 + 1)}, {"frmMain/Height", "4000"}});
        {
            frmMain w(desktop());
            QVERIFY(!(w.windowState() & Qt::WindowMaximized));
            const WindowPlacementTwips p = w.placementInTwips();
            QVERIFY2(std::abs(p.left - screen / 10) <= 30, qPrintable(QString::number(p.left)));
            QVERIFY(std::abs(p.width - screen * 8 / 10) <= 30);
            ShowWindow(w);
            QtWindowPlacement::place(w, 1000, 500, 6000, 5000);
            w.close();
        }
        ResetApplicationState();
        const WindowPlacementTwips p = frmMain(desktop()).placementInTwips();
        QVERIFY2(std::abs(p.left - 1000) <= 15 && std::abs(p.top - 500) <= 15,
                 qPrintable(QString("%1,%2").arg(p.left).arg(p.top)));
    }

    void aCommandLineDesignOpensWithItsTitleUnlessQuoted()
    {
        frmMain& w = shownWindow();
        const QString path = VANTREL_EXAMPLES "/browser-matrix.test";
        ExpectOneBox(messages, [&] { QVERIFY(!w.OpenFileAtStart('"' + path + '"')); },
                     "Error opening file\n\"" + path + "\": The file does not exist.", MsgIcon::None);
        QCOMPARE(w.windowTitle(), QString("Vantrel[*]"));
        QVERIFY(modMain::gstrCurrentFile.isEmpty());

        QVERIFY(w.OpenFileAtStart(path));
        QCOMPARE(w.windowTitle(), "Vantrel  -  [" + path + "][*]");
        QCOMPARE(modMain::gstrCurrentFile, path);
        ExpectFlags(false, true);
        QCOMPARE(w.SelectedItemIndex(), 0);
        QCOMPARE(w.PanelText("FactorsAndLevels"), QString("5 Factors  "));
        QCOMPARE(w.PanelText("Constraints"), QString("3 Constraints  "));
        QVERIFY(w.grab().save(VANTREL_BUILD_DIR "/main-window.png"));
    }
};

QTEST_MAIN(frmMainTest)
#include "frmMainTest.moc"
