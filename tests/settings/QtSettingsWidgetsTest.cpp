// The settings' Qt side: a real window's placement through the store and back, and the
// wait cursor.
#include "settings/CDefaults.h"
#include "settings/QtWaitCursor.h"
#include "settings/QtWindowPlacement.h"
#include "settings/modCursor.h"
#include "tests/settings/SettingsSandbox.h"

#include <QCursor>
#include <QGuiApplication>
#include <QStandardPaths>
#include <QWidget>
#include <QtTest>

#include <memory>

class QtSettingsWidgetsTest : public QObject {
    Q_OBJECT

    std::unique_ptr<PrivateSettingsHome> home;

private slots:
    void initTestCase()
    {
        home = std::make_unique<PrivateSettingsHome>();
        QVERIFY(home->holdsTheStore());
        QStandardPaths::setTestModeEnabled(true);
        ClearSettings();
    }
    void cleanup() { ClearSettings(); }

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

    void aWindowReopensWhereItWasClosedOrMaximized()
    {
        QWidget window;
        QtWindowPlacement::place(window, 1500, 750, 9000, 6000);
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        const QtWindowPlacement placement(window);
        const WindowPlacementTwips atExit = placement.placementInTwips();
        QVERIFY(!atExit.maximized);
        QCOMPARE(atExit.width, QtWindowPlacement::PixelsToTwips(window.width(), window.logicalDpiX()));
        QVERIFY(qAbs(atExit.left - 1500) <= 15 && qAbs(atExit.height - 6000) <= 15);

        {
            CDefaults defaults;
            defaults.setMainWindow(&placement);
            defaults.SaveDefaults();
        }
        CDefaults next;
        next.LoadDefaults();
        QVERIFY(!next.bMaximize);
        QWidget reopened;
        QtWindowPlacement::place(reopened, next.lLeft, next.lTop, next.lWidth, next.lHeight);
        QCOMPARE(reopened.pos(), window.pos());
        QCOMPARE(reopened.size(), window.size());

        // A maximized window says so.
        reopened.showMaximized();
        QVERIFY(QTest::qWaitForWindowExposed(&reopened));
        const QtWindowPlacement maximized(reopened);
        QTRY_VERIFY(maximized.placementInTwips().maximized);
        next.setMainWindow(&maximized);
        next.SaveDefaults();
        next.LoadDefaults();
        QVERIFY(next.bMaximize);
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

QTEST_MAIN(QtSettingsWidgetsTest)
#include "QtSettingsWidgetsTest.moc"
