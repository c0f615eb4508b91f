// The generation commands driven through their tool IDs: Generate 2 Way, Generate N-Way,
// Validate Design and Generate All Combinations, with their refusals, flags and progress windows, Stop, and the
// main window kept alive while a generation runs.
#include "app/CommandTable.h"
#include "app/frmMain.h"
#include "app/frmNWayStatus.h"
#include "app/frmStatus.h"
#include "app/frmStrength.h"
#include "app/modMain.h"
#include "model/GridCellStore.h"
#include "settings/CDefaults.h"
#include "sheets/DesignHistory.h"
#include "tests/app/MainWindowTestCase.h"
#include "tests/support/RecordingHelpViewer.h"

#include <QAction>
#include <QElapsedTimer>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QRegularExpression>
#include <QSet>
#include <QSpinBox>
#include <QTimer>

#include <algorithm>

using namespace SheetTest;
using DesignLoader::Factor;
using MainWindowTest::TypeFactor;
using MainWindowTest::WhileGenerating;

namespace {
const char* const kAll26 =
    "A total of 26 combinations out of 26 were found in the constraints, previous test, and the test case matrix.";
}  // namespace

class GenerationCommandsTest : public MainWindowTest::MainWindowTestCase {
    Q_OBJECT

private slots:
    void generate2WayFillsAndShowsTheTestCasesSheet()
    {
        frmMain& w = shownWindow();
        TypeFactor(w, 1, "A", {"a1", "a2"});
        TypeFactor(w, 2, "B", {"b1", "b2", "b3"});
        TypeFactor(w, 3, "C", {"c1", "c2", "c3", "c4"});
        ExpectOneBox(messages, [&] { w.Tool(ToolId::Generate2Way)->trigger(); },
                     kAll26, MsgIcon::None, MsgButtons::Ok, 34);

        const GridCellStore& cases = modMain::TestCasesGrid();
        QCOMPARE(RowTexts(cases, 1, 1, 3), (QStringList{"A", "B", "C"}));
        QVERIFY2(cases.maxRows() - 1 >= 12, "at least 3 x 4 test cases cover every pair of B and C");
        QCOMPARE(w.SelectedItemIndex(), int(frmMain::ItemTestCases));
        QVERIFY(w.Tool(ToolId::TestCases)->isChecked());
        ExpectFlags(true, false);
        // The commands are back once the generation is over.
        QVERIFY(w.Tool(ToolId::Generate2Way)->isEnabled());
        QVERIFY(w.centralWidget()->isEnabled());
    }

    void generateNWayAsksTheStrengthRemembersItAndCoversEveryTriple()
    {
        frmMain& w = shownWindow();
        DesignLoader::Load(w, {{"A", {"a1", "a2"}}, {"B", {"b1", "b2", "b3"}}, {"C", {"c1", "c2"}}, {"D", {"d1", "d2"}}});
        QCOMPARE(modMain::Defaults().lStrength, 3);  // offered first
        QTimer::singleShot(0, [] {
            auto* dialog = qobject_cast<frmStrength*>(QApplication::activeModalWidget());
            QVERIFY(dialog);
            QCOMPARE(dialog->Strength(), 3);
            dialog->findChild<QSpinBox*>()->setValue(4);
            dialog->accept();
        });
        // The summary after it counts the combinations of all four factors (not the 30 pairs).
        ExpectOneBox(messages, [&] { w.Tool(ToolId::GenerateNWay)->trigger(); },
                     "A total of 24 combinations out of 24 were found in the constraints, previous test, and the test "
                     "case matrix.",
                     MsgIcon::None, MsgButtons::Ok, 34);
        QCOMPARE(modMain::TestCasesGrid().maxRows() - 1, 24);  // four factors at once: every combination
        QCOMPARE(w.findChild<QLabel*>("Strength")->text(), QString("4-Way"));
        QCOMPARE(modMain::Defaults().lStrength, 4);
    }

    // A generation is one step of the design's history, named on the Undo tool as soon as it
    // ends: Undo puts the Test Cases sheet back, stale as it was, before any edit is undone;
    // Redo gives the generated one back. Undoing the edit makes the first matrix current again,
    // and undoing everything leaves nothing unsaved.
    void aGenerationIsOneStepThatUndoTakesBackBeforeTheEditBeforeIt()
    {
        frmMain& w = shownWindow();
        DesignLoader::Load(w, {{"A", {"a1", "a2"}}, {"B", {"b1", "b2"}}, {"C", {"c1", "c2"}}});
        QCOMPARE(answered({MsgResult::Ok}, [&] { w.Tool(ToolId::Generate2Way)->trigger(); }).size(), 1);
        const QStringList pairs = Lines(modMain::TestCasesGrid(), 0, 0);
        const QStringList named = Lines(modMain::FactorsGrid());
        w.Tool(ToolId::FactorsandLevels)->trigger();
        TypeIntoCell(*w.FactorsSheet()->Grid, 1, 3, "a3");  // a level renamed: the matrix is stale
        const QStringList renamed = Lines(modMain::FactorsGrid());
        QTimer::singleShot(0, [] {
            auto* dialog = qobject_cast<frmStrength*>(QApplication::activeModalWidget());
            QVERIFY(dialog);
            dialog->accept();  // 3, as offered
        });
        QCOMPARE(answered({MsgResult::Ok}, [&] { w.Tool(ToolId::GenerateNWay)->trigger(); }).size(), 1);
        const QStringList triples = Lines(modMain::TestCasesGrid(), 0, 0);
        QVERIFY(triples.join('|').contains("a3") && !triples.join('|').contains("a2"));
        QVERIFY(w.Tool(ToolId::Undo)->isEnabled());
        QCOMPARE(w.Tool(ToolId::Undo)->text(), QString("&Undo Generate 3-Way"));

        const std::tuple<const char*, QStringList, QStringList, const char*, bool> steps[] = {
            {ToolId::Undo, renamed, pairs, "2-Way", true},
            {ToolId::Redo, renamed, triples, "3-Way", false},
            {ToolId::Undo, renamed, pairs, "2-Way", true},
            {ToolId::Undo, named, pairs, "2-Way", false},
        };
        for (const auto& [tool, factors, cases, strength, stale] : steps) {
            w.Tool(tool)->trigger();
            QCOMPARE(Lines(modMain::FactorsGrid()), factors);
            QCOMPARE(Lines(modMain::TestCasesGrid(), 0, 0), cases);
            QCOMPARE(w.PanelText("Strength"), QString(strength));
            ExpectFlags(true, stale);
        }
        QCOMPARE(w.Tool(ToolId::Undo)->text(), QString("&Undo Generate 2-Way"));
        w.Tool(ToolId::Undo)->trigger();
        QCOMPARE(modMain::TestCasesGrid().maxRows(), 1);
        QVERIFY(!modMain::gbDirty);
        QVERIFY(!w.isWindowModified());
    }

    void validateAndTheGenerationsRefuseWhatDoesNotValidateAndChangeNothing()
    {
        frmMain& w = shownWindow();
        DesignLoader::Load(w, {{"A", {"a1", "a2"}}});
        for (const char* id : {ToolId::Generate2Way, ToolId::GenerateAllCombinations}) {
            ExpectOneBox(messages, [&] { w.Tool(id)->trigger(); },
                         "You must have at least two factors at two levels before generating the combinations.",
                         MsgIcon::None);
        }

        DesignLoader::Load(w, {{"A", {"a1", "a2"}}, {"B", {"b1"}}});
        modMain::gbDesignChanged = true;
        ExpectOneBox(messages, [&] { w.Tool(ToolId::ValidateDesign)->trigger(); }, "The design is valid.",
                     MsgIcon::Information);
        ExpectFlags(false, true);

        // A table that does not validate: its message only, from Validate and a generation alike.
        DesignLoader::Load(w, {{"A", {"a1", "a2"}}, {"B", {"b1", "b1"}}});
        for (const char* id : {ToolId::ValidateDesign, ToolId::Generate2Way}) {
            ExpectOneBox(messages, [&] { w.Tool(id)->trigger(); },
                         "There are redundant levels in factor 'B' both are named 'b1'", MsgIcon::Critical,
                         MsgButtons::Ok, 28);
        }

        // Constraints that forbid every row: every command says which, as Validate Design does,
        // and shows the first of them; nothing else changes.
        const std::vector<Factor> design{{"A", {"a1", "a2"}}, {"B", {"b1", "b2"}}, {"C", {"c1", "c2"}}};
        DesignLoader::Load(w, design,
                           {{"A", "a1", "B", "b1"}, {"A", "a1", "B", "b2"}, {"A", "a2", "B", "b1"}, {"A", "a2", "B", "b2"}});
        DesignLoader::LoadTestCases(w, design, {{"a1", "b1", "c1"}});
        w.SwitchToOutlookItem(frmMain::ItemFactorsAndLevels);
        modMain::gbDirty = false;
        modMain::gbDesignChanged = true;
        const QString none = "No test case can satisfy every constraint: Constraints rows 1, 2, 3 and 4 together.";
        ExpectOneBox(messages, [&] { w.Tool(ToolId::Generate2Way)->trigger(); }, none, MsgIcon::Exclamation);
        ExpectFlags(false, true);
        QCOMPARE(w.SelectedItemIndex(), int(frmMain::ItemConstraints));
        QCOMPARE(w.Sheet(frmMain::ItemConstraints)->Grid->activeRow(), 1);
        ExpectOneBox(messages, [&] { w.Tool(ToolId::ValidateDesign)->trigger(); }, none, MsgIcon::Exclamation);
        QTimer::singleShot(0, [] {
            auto* dialog = qobject_cast<frmStrength*>(QApplication::activeModalWidget());
            QVERIFY(dialog);
            dialog->findChild<QSpinBox*>()->setValue(3);
            dialog->accept();
        });
        ExpectOneBox(messages, [&] { w.Tool(ToolId::GenerateNWay)->trigger(); }, none, MsgIcon::Exclamation);
        QCOMPARE(modMain::TestCasesGrid().maxRows(), 2);
        QVERIFY(w.Tool(ToolId::Generate2Way)->isEnabled());

        // A previous test that breaks a constraint is refused, and its sheet shown.
        DesignLoader::Load(w, design, {{"A", "a1", "B", "b1"}}, {{"a2", "b2", "c1"}, {"a1", "b1", "c2"}});
        ExpectOneBox(messages, [&] { w.Tool(ToolId::Generate2Way)->trigger(); },
                     "Previous test number 2 breaks Constraints row 1.", MsgIcon::Exclamation);
        QCOMPARE(w.SelectedItemIndex(), int(frmMain::ItemPreviousTest));
    }

    void previousTestsThatCoverEverythingLeaveNoTestCases()
    {
        frmMain& w = shownWindow();
        const std::vector<Factor> design{{"A", {"a1", "a2"}}, {"B", {"b1", "b2"}}};
        DesignLoader::Load(w, design, {}, {{"a1", "b1"}, {"a1", "b2"}, {"a2", "b1"}, {"a2", "b2"}});
        DesignLoader::LoadTestCases(w, design, {{"a1", "b1"}, {"a2", "b2"}});  // an earlier result
        messages.answer(MsgResult::Ok).answer(MsgResult::Ok);
        w.Tool(ToolId::Generate2Way)->trigger();
        // No "Failed to converge" between the two: every pair is covered.
        QCOMPARE(messages.texts(),
                 (QStringList{"The Previous Tests contain all the combinations.",
                              "A total of 4 combinations out of 4 were found in the constraints, previous test, and "
                              "the test case matrix."}));
        QCOMPARE(messages.shown()[0].buttons, MsgButtons::OkCancel);
        QCOMPARE(messages.shown()[0].icon, MsgIcon::Information);
        messages.clear();
        QCOMPARE(modMain::TestCasesGrid().maxRows(), 1);
        QVERIFY(modMain::TestCasesGrid().text(1, 1).isEmpty());
        QCOMPARE(w.SelectedItemIndex(), int(frmMain::ItemTestCases));
        QVERIFY(!modMain::gbDesignChanged);
    }

    void constraintsThatHoldOnlyTogetherAreKeptAndTheSummaryCountsThemFound()
    {
        // "A = a1 excludes B = b1" and "A = a1 excludes B = b2": no test case can hold A = a1, so
        // none is generated with it and no violation box follows; the pairs of a1 with C, which
        // no valid test case can hold, are found in the constraints: the suite is complete.
        frmMain& w = shownWindow();
        DesignLoader::Load(w, {{"A", {"a1", "a2"}}, {"B", {"b1", "b2"}}, {"C", {"c1", "c2"}}},
                           {{"A", "a1", "B", "b1"}, {"A", "a1", "B", "b2"}});
        ExpectOneBox(messages, [&] { w.Tool(ToolId::Generate2Way)->trigger(); },
                     "A total of 12 combinations out of 12 were found in the constraints, previous test, and the test "
                     "case matrix.",
                     MsgIcon::None, MsgButtons::Ok, 34);
        const GridCellStore& cases = modMain::TestCasesGrid();
        QCOMPARE(cases.maxRows() - 1, 4);  // a2 with each pair of B and C
        for (int r = 2; r <= cases.maxRows(); ++r)
            QCOMPARE(cases.text(1, r), QString("a2"));
    }

    void generateAllCombinationsAsksAboveAThousand()
    {
        frmMain& w = shownWindow();
        DesignLoader::Load(w, DesignLoader::Uniform(2, 10));
        const QString question =
            "The current design will require 1,024 before constraints are applied. Are you sure you would like to "
            "generate all tests?";
        messages.answer(MsgResult::No);
        w.Tool(ToolId::GenerateAllCombinations)->trigger();
        TakeOnlyMessage(messages, question, MsgIcon::None, MsgButtons::YesNo, 27);
        QCOMPARE(modMain::TestCasesGrid().maxRows(), 1);
        QVERIFY(!modMain::gbDirty);

        // Above 200 rows the status window shows the listing and the filling of the sheet.
        bool listed = false, filled = false;
        auto* watch = new QTimer(&w);
        connect(watch, &QTimer::timeout, watch, [&] {
            for (QWidget* top : QApplication::topLevelWidgets())
                if (auto* status = qobject_cast<frmStatus*>(top); status && status->isVisible()) {
                    listed |= status->lblCalculate->text() == "Calculation Complete";
                    filled |= status->pbFillMatrix->value() > 0;
                }
        });
        watch->start(0);
        QCOMPARE(answered({MsgResult::Yes}, [&] { w.Tool(ToolId::GenerateAllCombinations)->trigger(); }), QStringList{question});
        delete watch;
        QCOMPARE(modMain::TestCasesGrid().maxRows(), 1025);
        QCOMPARE(RowTexts(modMain::TestCasesGrid(), 1025, 1, 2), (QStringList{"v2", "v2"}));
        QCOMPARE(w.SelectedItemIndex(), int(frmMain::ItemTestCases));
        ExpectFlags(true, false);
        QVERIFY2(listed && filled, "the status window reported the listing and the filling");
    }

    // Generate All Combinations' status window opens centred on the main window with the bars of
    // the steps that run; Cancel, during the listing or the filling, leaves the Test Cases sheet,
    // the flags and the history as they were.
    void theAllCombinationsStatusWindowShowsItsStepsCentredAndCancelPutsTheSheetBack()
    {
        frmMain& w = shownWindow();
        using Rows = DesignLoader::Rows;
        // With rules: a constraint (27 combinations) and a previous test (one).
        const std::tuple<bool, int, QList<int>> cases[] = {
            {false, 0, {1, 4}}, {true, 0, {1, 2, 3, 4}}, {true, 2, {1, 2}}, {true, 4, {1, 2, 3, 4}}};
        for (const auto& [rules, cancelAtBar, expectedBars] : cases) {
            // 243 combinations: the status window, and no size question.
            DesignLoader::Load(w, DesignLoader::Uniform(3, 5), rules ? Rows{{"F1", "v1", "F2", "v1"}} : Rows{},
                               rules ? Rows{{"v3", "v3", "v3", "v3", "v3"}} : Rows{});
            const QStringList before = Lines(modMain::TestCasesGrid(), 0, 0);
            const int steps = DesignHistory::Current()->stack().count();
            const bool dirty = modMain::gbDirty, stale = modMain::gbDesignChanged;
            QSet<int> shown;
            int offCentre = -1;
            auto* watch = new QTimer(&w);
            connect(watch, &QTimer::timeout, watch, [&] {
                for (QWidget* top : QApplication::topLevelWidgets())
                    if (auto* status = qobject_cast<frmStatus*>(top); status && status->isVisible()) {
                        const QPoint off = status->frameGeometry().center() - w.frameGeometry().center();
                        offCentre = std::max(offCentre, off.manhattanLength());
                        const QProgressBar* bars[] = {status->pbCalculate, status->pbConstraints, status->pbPrevRuns,
                                                      status->pbFillMatrix};
                        for (int i = 0; i < 4; ++i)
                            if (!bars[i]->isHidden())
                                shown.insert(i + 1);
                        if (shown.contains(cancelAtBar))
                            status->cmdCancel->click();
                    }
            });
            watch->start(0);
            w.Tool(ToolId::GenerateAllCombinations)->trigger();
            delete watch;
            QList<int> bars = shown.values();
            std::sort(bars.begin(), bars.end());
            QCOMPARE(bars, expectedBars);
            // Centred to within the frame, which is known only once the window is shown.
            QVERIFY2(offCentre >= 0 && offCentre <= 8, qPrintable(QString::number(offCentre)));
            if (cancelAtBar > 0) {
                QCOMPARE(Lines(modMain::TestCasesGrid(), 0, 0), before);
                QCOMPARE(DesignHistory::Current()->stack().count(), steps);
                ExpectFlags(dirty, stale);
            } else {
                QCOMPARE(modMain::TestCasesGrid().maxRows() - 1, rules ? 243 - 27 - 1 : 243);
                QCOMPARE(w.Tool(ToolId::Undo)->toolTip(), QString("Undo Generate All Combinations"));
            }
        }
    }

    void duringALongGenerationTheWindowPaintsAndTakesHelpAndStopEndsItWithTheBestMatrix()
    {
        StoreSettings({{"lMaxNumEvolutions", "10000"}});
        frmMain& w = shownWindow();
        DesignLoader::Load(w, DesignLoader::Uniform(10, 50));
        struct PaintCounter : QObject {
            int paints = 0;
            bool eventFilter(QObject*, QEvent* e) override
            {
                paints += e->type() == QEvent::Paint;
                return false;
            }
        } counter;
        QElapsedTimer sincePress;
        qint64 stopToEnd = -1;
        int paintsDuring = 0;
        QString labelDuring, noteDuring;
        bool disabledMeanwhile = false, helpStayed = false, stopShown = false;
        WhileGenerating([&](frmNWayStatus& status) {
            w.installEventFilter(&counter);
            w.update();  // a paint request, posted
            QTimer::singleShot(50, &status, [&w] { w.Tool(ToolId::Help)->trigger(); });
            QTimer::singleShot(600, &status, [&] {
                paintsDuring = counter.paints;
                labelDuring = status.lblNum->text();
                noteDuring = status.lblNote->isVisibleTo(&status) ? status.lblNote->text() : QString();
                disabledMeanwhile = !w.Tool(ToolId::Save)->isEnabled() && !w.Tool(ToolId::FindCombination)->isEnabled() &&
                                    !w.centralWidget()->isEnabled();
                helpStayed = w.Tool(ToolId::Help)->isEnabled();
                connect(&status, &QObject::destroyed, [&] { stopToEnd = sincePress.elapsed(); });
                sincePress.start();
                QTest::keyClick(&w, Qt::Key_Escape);  // Escape in the main window stops as Stop does
                stopShown = status.lblStop->text() == "Generation will stop in a moment...";
            });
        });
        messages.answer(MsgResult::Ok);
        w.Tool(ToolId::Generate2Way)->trigger();
        w.removeEventFilter(&counter);
        QVERIFY(paintsDuring > 0);
        QCOMPARE(help.contexts(), QList<int>{1});
        // 10,000 evolutions are set; the 122,500 pairs of 10^50 hold 816 within the pair budget.
        QVERIFY2(labelDuring.startsWith("Total iterations: ") && labelDuring.endsWith(" of 816"),
                 qPrintable(labelDuring));
        QVERIFY2(noteDuring.startsWith("816 evolutions, not the 10000 of Options: a design of so many pairs"),
                 qPrintable(noteDuring));
        QVERIFY(stopToEnd >= 0);
        // About the window staying responsive, not the engine's speed: a wide margin.
        QVERIFY2(stopToEnd < 5000, qPrintable(QString::number(stopToEnd)));
        QVERIFY(stopShown);
        QVERIFY(disabledMeanwhile);
        QVERIFY(helpStayed);
        QCOMPARE(messages.texts().size(), 1);
        QVERIFY2(messages.texts().first().startsWith("A total of 122500 combinations out of 122500 ") &&
                     messages.texts().first().endsWith("matrix.\n\nStop ended the search."),
                 qPrintable(messages.texts().first()));
        messages.clear();
        QVERIFY(modMain::TestCasesGrid().maxRows() > 100);
        QCOMPARE(w.PanelText("TestCases"), QString("%1 Test Cases  ").arg(modMain::TestCasesGrid().maxRows() - 1));
        QVERIFY(w.Tool(ToolId::Save)->isEnabled());
    }

    // Compaction says what it removed after the count.
    void theSummarySaysWhatCompactionRemoved()
    {
        StoreSettings({{"bCompactTestCases", "1"}, {"lCompactEffort", "2"}});
        frmMain& w = shownWindow();
        DesignLoader::Load(w, DesignLoader::Uniform(3, 8));
        const QStringList shown = answered({MsgResult::Ok}, [&] { w.Tool(ToolId::Generate2Way)->trigger(); });
        QCOMPARE(shown.size(), 1);
        const QRegularExpression said("^A total of 252 combinations out of 252 .*matrix\\.\n\nCompaction removed (\\d+) of "
                                      "(\\d+) test cases\\.$");
        const QRegularExpressionMatch match = said.match(shown.first());
        QVERIFY2(match.hasMatch(), qPrintable(shown.first()));
        QCOMPARE(match.captured(2).toInt() - match.captured(1).toInt(), modMain::TestCasesGrid().maxRows() - 1);
    }

    void closingTheMainWindowStopsTheGenerationFirst()
    {
        StoreSettings({{"lMaxNumEvolutions", "10000"}});
        frmMain& w = shownWindow();
        DesignLoader::Load(w, DesignLoader::Uniform(10, 50));
        bool closedAtOnce = true;
        WhileGenerating([&](frmNWayStatus& status) {
            QTimer::singleShot(200, &status, [&] { closedAtOnce = w.close(); });
        });
        messages.answer(MsgResult::Ok).answer(MsgResult::No);
        w.Tool(ToolId::Generate2Way)->trigger();
        QVERIFY(!closedAtOnce);
        QVERIFY(w.isVisible());
        QVERIFY(modMain::TestCasesGrid().maxRows() > 100);  // the best matrix so far was kept
        QTRY_VERIFY(!w.isVisible());
        QCOMPARE(messages.texts().last(), QString("Do you want to save your changes before exiting?"));
        messages.clear();
    }

    void progressWindowsShowWhatTheyAreTold()
    {
        frmNWayStatus nway;
        QVERIFY(nway.windowFlags() & Qt::WindowStaysOnTopHint);
        QVERIFY(!nway.UpdateNWayProgress(0.25, -1, -1));
        QCOMPARE(nway.pbStatus->value(), nway.pbStatus->maximum() / 4);
        QVERIFY(nway.lblNum->text().isEmpty() && nway.lblSmallest->text().isEmpty() && nway.lblStop->text().isEmpty());
        QVERIFY(!nway.UpdateNWayProgress(1.0, 3, 17));
        QCOMPARE(nway.lblNum->text(), QString("Total iterations: 3"));
        QCOMPARE(nway.lblSmallest->text(), QString("Fewest test cases in best result: 17"));
        QTest::mouseClick(nway.cmdStop, Qt::LeftButton);
        QVERIFY(nway.UpdateNWayProgress(1.0, 4, -1));
        QCOMPARE(nway.lblSmallest->text(), QString("Fewest test cases in best result: 17"));
        QVERIFY(nway.UpdateNWayProgress(0.5, -1, -1));
        // With a total, the bar shows the evolutions done of it, the running one's share included.
        nway.setEvolutionTotal(8);
        nway.UpdateNWayProgress(1.0, 2, -1);
        QCOMPARE(nway.lblNum->text(), QString("Total iterations: 2 of 8"));
        QCOMPARE(nway.pbStatus->value(), nway.pbStatus->maximum() / 4);
        nway.UpdateNWayProgress(0.4, -1, -1);
        QCOMPARE(nway.pbStatus->value(), nway.pbStatus->maximum() * 3 / 10);
        // The time left, the compaction, why the evolutions differ, and Escape as Stop.
        frmNWayStatus timed;
        QVERIFY(!timed.lblTime->isVisibleTo(&timed) && !timed.lblPhase->isVisibleTo(&timed));
        timed.setTimeLimit(30);
        QCOMPARE(timed.lblTime->text(), QString("Time left: 30 s"));
        timed.ShowCompaction(42);
        QCOMPARE(timed.lblPhase->text(), QString("Compacting the test cases: 42 to start from..."));
        timed.setEvolutionNote("3 evolutions");
        QVERIFY(timed.lblNote->isVisibleTo(&timed));
        QTest::keyClick(&timed, Qt::Key_Escape);
        QVERIFY(timed.StopPressed());

        frmStatus status;
        QVERIFY(!status.UpdateProgress(frmStatus::BarPrevRuns, 0.5));
        QCOMPARE(status.pbPrevRuns->value(), 50);
        QCOMPARE(status.lblPrevRuns->text(), QString("Handling Previous Test ..."));
        status.UpdateProgress(frmStatus::BarPrevRuns, 1.0);
        QCOMPARE(status.lblPrevRuns->text(), QString("Previous Test Complete"));
        status.UpdateProgress(frmStatus::BarFillMatrix, 0.1);
        QCOMPARE(status.lblFillMatrix->text(), QString("Filling Matrix ..."));
        status.UpdateProgress(9, 1.0);  // no such bar: nothing changes
        QCOMPARE(status.pbCalculate->value(), 0);
        QCOMPARE(status.lblCalculate->text(), QString("Calculation Status"));
        QTest::mouseClick(status.cmdCancel, Qt::LeftButton);
        QVERIFY(status.UpdateProgress(frmStatus::BarFillMatrix, 0.2));
    }
};

QTEST_MAIN(GenerationCommandsTest)
#include "GenerationCommandsTest.moc"
