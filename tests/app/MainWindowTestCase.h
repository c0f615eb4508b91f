#pragma once
// Every test of the main window's commands starts from fresh stores and counts, clean flags,
// a settings store of its own holding a small number of evolutions, the message and file
// dialog doubles and an empty folder; it ends with no box or dialog unexpected and no answer
// left over.

#include "app/frmMain.h"
#include "engine/frmNWayStatus.h"
#include "sheets/frmFactorsAndLevels.h"
#include "tests/settings/SettingsSandbox.h"
#include "tests/sheets/SheetTestSupport.h"
#include "tests/support/ScriptedFileDialogs.h"

#include <QApplication>
#include <QObject>
#include <QTemporaryDir>
#include <QTimer>

#include <functional>
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

// Runs `during` from the event loop once the covering-matrix progress window is up.
inline void WhileGenerating(std::function<void(frmNWayStatus&)> during)
{
    auto* poll = new QTimer;
    poll->setInterval(20);
    QObject::connect(poll, &QTimer::timeout, poll, [poll, during] {
        for (QWidget* top : QApplication::topLevelWidgets())
            if (auto* status = qobject_cast<frmNWayStatus*>(top); status && status->isVisible()) {
                poll->stop();
                poll->deleteLater();
                during(*status);
                return;
            }
    });
    poll->start();
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
