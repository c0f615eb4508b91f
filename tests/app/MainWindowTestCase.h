#pragma once
// Every test of the main window's commands starts from fresh stores and counts, clean flags,
// a settings store of its own holding a small number of evolutions, and the message double;
// it ends with no box unexpected and no answer left over.

#include "app/frmMain.h"
#include "sheets/frmFactorsAndLevels.h"
#include "tests/settings/SettingsSandbox.h"
#include "tests/sheets/SheetTestSupport.h"

#include <QObject>

namespace MainWindowTest {

// The settings store of the test process lives in a home of its own.
inline PrivateSettingsHome gHome;

// Types a factor's name and levels into a column of the Factors and Levels sheet.
inline void TypeFactor(frmMain& w, int col, const QString& name, const QStringList& levels)
{
    SheetTest::TypeIntoCell(*w.FactorsSheet()->Grid, col, 1, name);
    for (int i = 0; i < levels.size(); ++i)
        SheetTest::TypeIntoCell(*w.FactorsSheet()->Grid, col, i + 2, levels[i]);
}

class MainWindowTestCase : public QObject {
    Q_OBJECT
protected:
    ScriptedMessages messages;

private slots:
    void initTestCase() { QVERIFY(gHome.holdsTheStore()); }
    void init()
    {
        SheetTest::ResetApplicationState();
        ClearSettings();
        StoreSettings({{"lMaxNumEvolutions", "20"}});
        messages.clear();
    }
    void cleanup()
    {
        SheetTest::VerifyMessagesSettled(messages);
        SheetTest::ResetApplicationState();
    }
};

}  // namespace MainWindowTest
