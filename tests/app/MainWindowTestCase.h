#pragma once
// Every test of the main window's commands starts from fresh stores and counts, clean flags,
// a settings store of its own holding a small number of evolutions, the message and file
// dialog doubles and an empty folder; it ends with no box or dialog unexpected and no answer
// left over.

#include "app/frmMain.h"
#include "sheets/frmFactorsAndLevels.h"
#include "tests/settings/SettingsSandbox.h"
#include "tests/sheets/SheetTestSupport.h"
#include "tests/support/ScriptedFileDialogs.h"

#include <QObject>
#include <QTemporaryDir>

#include <optional>

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
    std::optional<ScriptedFileDialogs> dialogs;
    std::optional<QTemporaryDir> dir;

    QString path(const QString& name) const { return dir->filePath(name); }

private slots:
    void initTestCase() { QVERIFY(gHome.holdsTheStore()); }
    void init()
    {
        SheetTest::ResetApplicationState();
        ClearSettings();
        StoreSettings({{"lMaxNumEvolutions", "20"}});
        messages.clear();
        dialogs.emplace();
        dir.emplace();
    }
    void cleanup()
    {
        SheetTest::VerifyMessagesSettled(messages);
        QCOMPARE(dialogs->unusedAnswers(), 0);
        QCOMPARE(dialogs->unexpected(), 0);
        dialogs.reset();
        dir.reset();
        SheetTest::ResetApplicationState();
    }
};

}  // namespace MainWindowTest
