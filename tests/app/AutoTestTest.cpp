// The self-test window run through the real main window, sheets, engine and search: random
// designs generated and checked, the counters, Stop, and the Registry Test button showing the
// system folder.
#include "app/CommandTable.h"
#include "app/frmAutoTest.h"
#include "app/frmMain.h"
#include "app/frmNWayStatus.h"
#include "app/modMain.h"
#include "model/CFactors.h"
#include "model/GridCellStore.h"
#include "settings/CDefaults.h"
#include "tests/app/MainWindowTestCase.h"

#include <QAction>
#include <QApplication>
#include <QElapsedTimer>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTimer>

using namespace SheetTest;

namespace {
// Sets the number of evolutions through the Options dialog, as a user would.
void SetEvolutionsInOptions(frmMain& w, const QString& evolutions)
{
    bool answered = false;
    QTimer::singleShot(0, [&] {
        QWidget* options = QApplication::activeModalWidget();
        QVERIFY(options && options->objectName() == "frmDefaults");
        options->findChild<QLineEdit*>("txtMaxNumEvolutions")->setText(evolutions);
        options->findChild<QPushButton*>("cmdOK")->click();
        answered = true;
    });
    w.Tool(ToolId::Options)->trigger();
    QTRY_VERIFY(answered);
}

frmAutoTest* OpenAutoTest(frmMain& w)
{
    w.activateWindow();
    if (!QTest::qWaitForWindowActive(&w))
        return nullptr;
    QTest::keySequence(&w, QKeySequence("Ctrl+Shift+T"));  // on no menu: reached by its shortcut
    return w.findChild<frmAutoTest*>();
}
}  // namespace

class AutoTestTest : public MainWindowTest::MainWindowTestCase {
    Q_OBJECT

private slots:
    void aThousandRandomDesignsMissNoPairAndViolateNoConstraint()
    {
        frmMain& w = shownWindow();
        SetEvolutionsInOptions(w, "10");
        QCOMPARE(modMain::Defaults().lMaxNumEvolutions, 10);
        frmAutoTest* autoTest = OpenAutoTest(w);
        QVERIFY(autoTest && autoTest->isVisible());
        autoTest->setDesignsPerRun(1000);
        QElapsedTimer clock;
        clock.start();
        autoTest->cmdLoadGrid->click();
        qInfo("1000 designs in %lld ms", clock.elapsed());
        QCOMPARE(autoTest->NumDesigns(), 1000);
        QCOMPARE(autoTest->NumMissing(), 0);
        QCOMPARE(autoTest->NumInvalid(), 0);
        QCOMPARE(autoTest->NumRejected(), 0);
        QCOMPARE(autoTest->NumFailConverge(), 0);
        QCOMPARE(autoTest->lblNumDesigns->text(), QString("1000"));
        QVERIFY(messages.shown().isEmpty());
        // Each design ends cleared; the run leaves the self-test state set.
        QCOMPARE(modMain::Factors().lNumFactors(), 0);
        QVERIFY(!modMain::gbDirty);
        QVERIFY(modMain::gbAutoTest);
        QVERIFY(w.Tool(ToolId::Generate2Way)->isEnabled());
    }

    void stopDuringTheFirstDesignEndsTheRunWithThatDesignCleared()
    {
        StoreSettings({{"lMaxNumEvolutions", "10000"}});
        frmMain& w = shownWindow();
        frmAutoTest* autoTest = OpenAutoTest(w);
        QVERIFY(autoTest);
        bool designsDisabled = false;
        MainWindowTest::WhileGenerating([&](frmNWayStatus& status) {
            designsDisabled = !w.Tool(ToolId::Generate2Way)->isEnabled() && !autoTest->cmdLoadGrid->isEnabled();
            QTest::mouseClick(autoTest->cmdStop, Qt::LeftButton);
            status.cmdStop_Click();  // the generation itself runs on to its end: stop it too
        });
        autoTest->cmdLoadGrid->click();
        QCOMPARE(autoTest->NumDesigns(), 1);
        QCOMPARE(autoTest->lblNumDesigns->text(), QString("1"));
        QVERIFY(designsDisabled);
        QCOMPARE(modMain::Factors().lNumFactors(), 0);
        QCOMPARE(modMain::TestCasesGrid().maxRows(), 1);
        QVERIFY(autoTest->cmdLoadGrid->isEnabled());

        ExpectOneBox(messages, [&] { autoTest->Command1->click(); }, "/usr", MsgIcon::None);  // Registry Test
    }
};

QTEST_MAIN(AutoTestTest)
#include "AutoTestTest.moc"
