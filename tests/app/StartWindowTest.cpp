// Starting Vantrel on a design: the sheets fill, the title names the file, and the window
// closes cleanly. A screenshot is left in the build folder for anyone to look at.
#include "app/StartWindow.h"
#include "app/modMain.h"
#include "model/CConstraints.h"
#include "model/CFactors.h"
#include "model/GridCellStore.h"
#include "tests/support/RecordingStatusPanels.h"
#include "tests/support/ScriptedMessages.h"

#include <QtTest>

class StartWindowTest : public QObject {
    Q_OBJECT
private slots:
    void cleanup()
    {
        modMain::ReleaseGlobalObjects();
        modMain::gstrCurrentFile.clear();
        modMain::gbDirty = modMain::gbDesignChanged = false;
    }

    void opensTheExampleDesign()
    {
        ScriptedMessages messages;
        RecordingStatusPanels panels;
        StartWindow window;
        window.show();
        QVERIFY(window.openDesign(QStringLiteral(VANTREL_EXAMPLES "/browser-matrix.test")));
        QCOMPARE(window.windowTitle(), QStringLiteral("Vantrel  -  [" VANTREL_EXAMPLES "/browser-matrix.test]"));
        QCOMPARE(modMain::Factors().lNumFactors(), 5);
        QCOMPARE(modMain::FactorsGrid().text(2, 1), QStringLiteral("Operating system"));
        QCOMPARE(modMain::Constraints().lNumConstraints(), 3);
        QCOMPARE(panels.text(kPanelFactors), QStringLiteral("5 Factors  "));
        QVERIFY(!modMain::gbDirty);
        QVERIFY(messages.shown().isEmpty());
        QVERIFY(window.grab().save(QStringLiteral(VANTREL_BUILD_DIR "/start-window.png")));
        window.close();
    }

    void refusesAFileThatIsNoDesign()
    {
        ScriptedMessages messages;
        messages.answer(MsgResult::Ok);
        StartWindow window;
        QVERIFY(!window.openDesign(QStringLiteral("\"" VANTREL_EXAMPLES "/browser-matrix.test\"")));
        QCOMPARE(messages.texts(), QStringList{"Error opening file"});
        QCOMPARE(window.windowTitle(), QStringLiteral("Vantrel"));
        QVERIFY(modMain::gstrCurrentFile.isEmpty());
    }
};

QTEST_MAIN(StartWindowTest)
#include "StartWindowTest.moc"
