#pragma once
// Every test of the main window's commands starts from fresh stores and counts, clean flags,
// a settings store of its own holding a small number of evolutions, the message, help and file
// dialog doubles (the window's context holds the first two) and an empty folder; it ends with
// its window gone, no box or dialog unexpected and no answer left over.

#include "app/frmMain.h"
#include "app/frmNWayStatus.h"
#include "model/CConstraints.h"
#include "model/CFactors.h"
#include "model/CPrevRuns.h"
#include "sheets/frmConstraints.h"
#include "sheets/frmFactorsAndLevels.h"
#include "sheets/frmGenerate.h"
#include "sheets/frmPrevRuns.h"
#include "tests/support/RecordingHelpViewer.h"
#include "tests/support/ScriptedFileDialogs.h"
#include "tests/support/SettingsSandbox.h"
#include "tests/support/SheetTest.h"
#include "tests/support/TestTables.h"

#include <QApplication>
#include <QObject>
#include <QTemporaryDir>
#include <QTimer>

#include <functional>
#include <initializer_list>
#include <optional>
#include <utility>
#include <vector>

// Whole designs put on the main window's sheets at once, as opening a file does, for tests that
// need designs larger than typing allows.
namespace DesignLoader {

using Factor = std::pair<QString, QStringList>;  // name, levels
using Rows = QList<QStringList>;

// The factors as a table 0..L x 1..n (names in row 0), with their level counts.
inline TextTable FactorTable(const std::vector<Factor>& factors, LongArray& levelCounts)
{
    QList<QStringList> columns;
    for (const Factor& f : factors)
        columns.append(QStringList{f.first} + f.second);
    return TestTables::FactorTable(columns, levelCounts);
}

// n factors "F1".. of `levels` levels "v1"..
inline std::vector<Factor> Uniform(int levels, int n)
{
    std::vector<Factor> factors;
    for (int f = 1; f <= n; ++f) {
        QStringList names;
        for (int l = 1; l <= levels; ++l)
            names << QStringLiteral("v%1").arg(l);
        factors.emplace_back(QStringLiteral("F%1").arg(f), names);
    }
    return factors;
}

// Puts the factors, constraints and previous tests on their sheets.
inline void Load(frmMain& w, const std::vector<Factor>& factors, const Rows& constraints = {},
                 const Rows& prevRuns = {})
{
    LongArray levelCounts;
    const TextTable table = FactorTable(factors, levelCounts);
    w.FactorsSheet()->LoadDataIntoGrid(int(factors.size()), table.rowUpper(), table, levelCounts);
    w.ConstraintsSheet()->LoadDataIntoGrid(int(constraints.size()), TestTables::Rows(constraints, 4));
    w.PrevRunsSheet()->LoadDataIntoGrid(int(prevRuns.size()), TestTables::Rows(prevRuns, int(factors.size())));
}

// Puts test cases on the Test Cases sheet as a generation would (the factors' levels unused).
inline void LoadTestCases(frmMain& w, const std::vector<Factor>& factors, const Rows& cases)
{
    LongArray levelCounts;
    w.TestCasesSheet()->LoadMatrixIntoGrid(int(factors.size()), FactorTable(factors, levelCounts),
                                           TestTables::Rows(cases, int(factors.size())),
                                           std::vector<bool>(cases.size(), false));
}

}  // namespace DesignLoader

namespace MainWindowTest {

// Types a factor's name and levels into a column of the Factors and Levels sheet.
inline void TypeFactor(frmMain& w, int col, const QString& name, const QStringList& levels)
{
    SheetTest::TypeIntoCell(*w.FactorsSheet()->Grid, col, 1, name);
    for (int i = 0; i < levels.size(); ++i)
        SheetTest::TypeIntoCell(*w.FactorsSheet()->Grid, col, i + 2, levels[i]);
}

// The four sheets with their captions, then the model counts and the status bar.
inline QStringList Snapshot(const frmMain& w, bool withTestCaseColumnCaptions = true)
{
    using SheetTest::Lines;
    QStringList out = Lines(modMain::FactorsGrid(), 0, 0) + Lines(modMain::ConstraintsGrid(), 0, 0) +
                      Lines(modMain::PrevRunsGrid(), 0, 0) +
                      Lines(modMain::TestCasesGrid(), withTestCaseColumnCaptions ? 0 : 1, 0);
    for (int count : {modMain::Factors().lNumFactors(), modMain::Factors().lMaxNumLevels,
                      modMain::Constraints().lNumConstraints(), modMain::PrevRuns().lNumPrevRuns()})
        out << QString::number(count);
    return out << w.PanelText("FactorsAndLevels") << w.PanelText("Constraints") << w.PanelText("Prev Test");
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
    RecordingHelpViewer help;
    std::optional<ScriptedFileDialogs> dialogs;
    std::optional<QTemporaryDir> dir;
    std::optional<frmMain> window;

    QString path(const QString& name) const { return dir->filePath(name); }
    // The context a window of the test is made with: the doubles and the global objects.
    DesktopContext desktop() { return modMain::Desktop(messages, help); }
    // Runs act with the answers queued for its boxes, and returns the texts of the boxes shown,
    // forgotten; comparing them also shows that every answer was used.
    QStringList answered(std::initializer_list<MsgResult> answers, const std::function<void()>& act)
    {
        for (const MsgResult answer : answers)
            messages.answer(answer);
        act();
        const QStringList texts = messages.texts();
        messages.clear();
        return texts;
    }
    // The test's main window, made (with the settings stored so far) and shown.
    frmMain& shownWindow()
    {
        SheetTest::ShowWindow(window.emplace(desktop()));
        return *window;
    }

private slots:
    void initTestCase() { QVERIFY(gSettingsHome.holdsTheStore()); }
    void init()
    {
        SheetTest::ResetApplicationState();
        ClearSettings();
        StoreSettings({{"lMaxNumEvolutions", "20"}});
        messages.clear();
        help.clear();
        dialogs.emplace();
        dir.emplace();
    }
    void cleanup()
    {
        window.reset();
        SheetTest::VerifyMessagesSettled(messages);
        QCOMPARE(dialogs->unusedAnswers(), 0);
        QCOMPARE(dialogs->unexpected(), 0);
        dialogs.reset();
        dir.reset();
        SheetTest::ResetApplicationState();
    }
};

}  // namespace MainWindowTest
