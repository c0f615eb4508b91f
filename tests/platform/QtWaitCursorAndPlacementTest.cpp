// The Qt seams of the settings: a real window's placement in twips and back, and the wait cursor.
// What the store keeps of the placement is CDefaultsTest's.
#include "platform/qt/QtWaitCursor.h"
#include "platform/qt/QtWindowPlacement.h"
#include "settings/modCursor.h"

#include <QCursor>
#include <QGuiApplication>
#include <QWidget>
#include <QtTest>

class QtWaitCursorAndPlacementTest : public QObject {
    Q_OBJECT

private slots:
    void twipsArePixelsAtFourteenFortyPerInch()
    {
        QCOMPARE(QtWindowPlacement::PixelsToTwips(96, 96.0), 1440);
        QCOMPARE(QtWindowPlacement::PixelsToTwips(-10, 96.0), -150);
        QCOMPARE(QtWindowPlacement::PixelsToTwips(100, 144.0), 1000);
        QCOMPARE(QtWindowPlacement::TwipsToPixels(1440, 120.0), 120);
        QCOMPARE(QtWindowPlacement::TwipsToPixels(1000, 96.0), 67);  // 66.67 rounds to nearest
        for (int px : {0, 1, 7, 333, 1919})
            QCOMPARE(QtWindowPlacement::TwipsToPixels(QtWindowPlacement::PixelsToTwips(px, 96.0), 96.0), px);
    }

    void aWindowReopensWhereItWasClosedAndSaysWhenItIsMaximized()
    {
        QWidget window;
        QtWindowPlacement::place(window, 1500, 750, 9000, 6000);
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        const WindowPlacementTwips atExit = QtWindowPlacement(window).placementInTwips();
        QVERIFY(!atExit.maximized);
        QVERIFY(qAbs(atExit.left - 1500) <= 15 && qAbs(atExit.height - 6000) <= 15);

        QWidget reopened;
        QtWindowPlacement::place(reopened, atExit.left, atExit.top, atExit.width, atExit.height);
        QCOMPARE(reopened.pos(), window.pos());
        QCOMPARE(reopened.size(), window.size());
        reopened.showMaximized();
        QVERIFY(QTest::qWaitForWindowExposed(&reopened));
        QTRY_VERIFY(QtWindowPlacement(reopened).placementInTwips().maximized);
    }

    void theWaitCursorComesAndGoesInPairs()
    {
        QtWaitCursor cursor;
        modCursor::SetWaitCursor(&cursor);
        QGuiApplication::setOverrideCursor(QCursor(Qt::CrossCursor));  // someone else's
        modCursor::StartAnimatedCursor("hourglas.ani");
        QVERIFY(QGuiApplication::overrideCursor());
        QCOMPARE(QGuiApplication::overrideCursor()->shape(), Qt::WaitCursor);
        modCursor::RestoreLastCursor();
        modCursor::RestoreLastCursor();
        QVERIFY(QGuiApplication::overrideCursor());
        QCOMPARE(QGuiApplication::overrideCursor()->shape(), Qt::CrossCursor);
        QGuiApplication::restoreOverrideCursor();
        QVERIFY(!QGuiApplication::overrideCursor());
        modCursor::SetWaitCursor(nullptr);
    }
};

QTEST_MAIN(QtWaitCursorAndPlacementTest)
#include "QtWaitCursorAndPlacementTest.moc"
