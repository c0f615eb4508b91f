// Find Combination and Find All Combinations driven through their tool IDs: the regeneration
// question, the refusals, the found messages with the row made active on the right sheet,
// the summary's three wordings, and the Find Combination dialog's checks.
#include "app/CommandTable.h"
#include "app/frmMain.h"
#include "app/modMain.h"
#include "model/DesignWorkbook.h"
#include "model/GridCellStore.h"
#include "search/frmFindInter.h"
#include "sheets/RulesEditor.h"
#include "sheets/frmRules.h"
#include "tests/app/MainWindowTestCase.h"
#include "tests/support/RecordingHelpViewer.h"

#include <QAction>
#include <QApplication>
#include <QListWidget>
#include <QPushButton>
#include <QTimer>

using namespace SheetTest;
using DesignLoader::Factor;

namespace {
const std::vector<Factor> kDesign{{"A", {"a1", "a2"}}, {"B", {"b1", "b2"}}};

QString Summary(int found, int total, const QString& tail = {})
{
    return QString("A total of %1 combinations out of %2 were found in the constraints, previous test, and the test "
                   "case matrix.")
               .arg(found)
               .arg(total) +
           tail;
}

// Once the Find Combination dialog is up, chooses the four positions (1-based; 0 chooses
// nothing) and presses Find, or Cancel when `cancel`. A dialog still open after that is closed.
void AnswerFindDialog(int f1, int l1, int f2, int l2, bool cancel = false)
{
    QTimer::singleShot(0, [=] {
        auto* dialog = qobject_cast<frmFindInter*>(QApplication::activeModalWidget());
        if (!dialog)
            return AnswerFindDialog(f1, l1, f2, l2, cancel);
        auto choose = [](QListWidget* list, int position) {
            if (position > 0)
                list->setCurrentRow(position - 1);
        };
        choose(dialog->lstFirstFactor, f1);
        choose(dialog->lstFirstLevel, l1);
        choose(dialog->lstSecondFactor, f2);
        choose(dialog->lstSecondLevel, l2);
        (cancel ? dialog->cmdCancel : dialog->cmdFind)->click();
        if (dialog->isVisible())
            dialog->reject();
    });
}
}  // namespace

class FindCommandsTest : public MainWindowTest::MainWindowTestCase {
    Q_OBJECT

private slots:
    void aPairInTwoRowsAndOnePreviousTestIsFoundThreeTimes()
    {
        frmMain& w = shownWindow();
        DesignLoader::Load(w, kDesign, {}, {{"a2", "b2"}, {"a1", "b2"}});
        DesignLoader::LoadTestCases(w, kDesign, {{"a1", "b1"}, {"a1", "b2"}, {"a2", "b1"}, {"a1", "b2"}});
        AnswerFindDialog(1, 1, 2, 2);
        ExpectOneBox(messages, [&] { w.Tool(ToolId::FindCombination)->trigger(); },
                     "The combination was found a total of 3 times. The first occurrence was found in the Previous "
                     "Tests in the selected row.",
                     MsgIcon::None);
        QCOMPARE(w.SelectedItemIndex(), int(frmMain::ItemPreviousTest));
        QCOMPARE(w.Sheet(frmMain::ItemPreviousTest)->Grid->activeRow(), 2);
        QVERIFY(!modMain::gbDirty);  // a search changes nothing

        AnswerFindDialog(1, 1, 2, 1);
        ExpectOneBox(messages, [&] { w.Tool(ToolId::FindCombination)->trigger(); },
                     "The combination was found in the QXV Matrix in the selected row.", MsgIcon::None);
        QCOMPARE(w.SelectedItemIndex(), int(frmMain::ItemTestCases));
        QCOMPARE(w.Sheet(frmMain::ItemTestCases)->Grid->activeRow(), 2);  // test case 1 stands in grid row 2

        AnswerFindDialog(1, 1, 2, 1, true);
        w.Tool(ToolId::FindCombination)->trigger();
        QVERIFY(messages.shown().isEmpty());
    }

    void constraintsHoldTheirPairFromEitherSideAndTheNamesRowIsNoTestCase()
    {
        frmMain& w = shownWindow();
        const std::vector<Factor> design{{"A", {"A", "a2"}}, {"B", {"B", "b2"}}};  // levels named as the factors
        DesignLoader::Load(w, design, {{"B", "b2", "A", "a2"}, {"A", "a2", "B", "B"}});
        DesignLoader::LoadTestCases(w, design, {{"a2", "b2"}});
        AnswerFindDialog(2, 1, 1, 2);  // B of B with a2 of A: the then-side of constraint 2
        ExpectOneBox(messages, [&] { w.Tool(ToolId::FindCombination)->trigger(); },
                     "The combination was found in the Constraints in the selected row.", MsgIcon::None);
        QCOMPARE(w.SelectedItemIndex(), int(frmMain::ItemConstraints));
        QCOMPARE(w.Sheet(frmMain::ItemConstraints)->Grid->activeRow(), 2);

        AnswerFindDialog(1, 1, 2, 1);  // A with B: only in the names row of the Test Cases sheet
        ExpectOneBox(messages, [&] { w.Tool(ToolId::FindCombination)->trigger(); },
                     "The combination was not found.", MsgIcon::None);
    }

    // A rule over the pair's two factors that excludes it holds the pair at its line.
    void aRuleHoldsItsPairAtItsLine()
    {
        frmMain& w = shownWindow();
        DesignLoader::Load(w, kDesign);
        modMain::Workbook().SetRules("# a1 never meets b2\n\n  IF [A] = \"a1\" THEN [B] <> \"b2\";");
        AnswerFindDialog(1, 1, 2, 2);
        ExpectOneBox(messages, [&] { w.Tool(ToolId::FindCombination)->trigger(); },
                     "The combination was found in the Rules in the selected row.", MsgIcon::None);
        QCOMPARE(w.SelectedItemIndex(), int(frmMain::ItemRules));
        const QTextCursor cursor = w.RulesSheet()->Editor()->textCursor();
        QCOMPARE(cursor.blockNumber(), 2);
        QCOMPARE(cursor.positionInBlock(), 0);
    }

    void theSummaryHasThreeWordings()
    {
        frmMain& w = shownWindow();
        DesignLoader::Load(w, kDesign);
        DesignLoader::LoadTestCases(w, kDesign, {{"a1", "b1"}, {"a1", "b2"}, {"a2", "b1"}, {"a2", "b2"}});
        ExpectOneBox(messages, [&] { w.Tool(ToolId::FindAllCombinations)->trigger(); },
                     Summary(4, 4), MsgIcon::None, MsgButtons::Ok, 34);

        DesignLoader::LoadTestCases(w, kDesign, {{"a1", "b1"}, {"a2", "b2"}});
        ExpectOneBox(messages, [&] { w.Tool(ToolId::FindAllCombinations)->trigger(); },
                     Summary(2, 4, " 2 combinations that a valid test case can hold are missing; the Coverage view "
                                   "lists them."),
                     MsgIcon::None, MsgButtons::Ok, 38);
        DesignLoader::LoadTestCases(w, kDesign, {{"a1", "b1"}, {"a2", "b2"}, {"a1", "b2"}});
        ExpectOneBox(messages, [&] { w.Tool(ToolId::FindAllCombinations)->trigger(); },
                     Summary(3, 4, " 1 combination that a valid test case can hold is missing; the Coverage view "
                                   "lists it."),
                     MsgIcon::None, MsgButtons::Ok, 38);

        // A matrix row holding a forbidden pair covers nothing: a box for it, then the summary.
        DesignLoader::Load(w, kDesign, {{"A", "a1", "B", "b1"}});
        DesignLoader::LoadTestCases(w, kDesign, {{"a1", "b1"}, {"a2", "b2"}});
        messages.answer(MsgResult::Ok).answer(MsgResult::Ok);
        w.Tool(ToolId::FindAllCombinations)->trigger();
        QCOMPARE(messages.texts(), (QStringList{"Violated constraints",
                                                Summary(2, 4, " The constraints were violated in the QXV Matrix.")}));
        QCOMPARE(messages.last().helpContext, 25);
        messages.clear();

        // The same pair searched alone: the violation, then the constraint as the first place.
        AnswerFindDialog(1, 1, 2, 1);
        QCOMPARE(answered({MsgResult::Ok, MsgResult::Ok}, [&] { w.Tool(ToolId::FindCombination)->trigger(); }),
                 (QStringList{"Violated constraints", "The combination was found a total of 2 times. The first "
                                                      "occurrence was found in the Constraints in the selected row."}));
    }

    // A combination found nowhere that no valid test case can hold says why; the level lists
    // show an invalid level as test cases do.
    void findCombinationSaysWhyACombinationCannotOccur()
    {
        frmMain& w = shownWindow();
        DesignLoader::Load(w, {{"Country", {"Germany", "Japan"}}, {"Delivery", {"Locker", "Ship"}}, {"Size", {"S", "L"}}});
        modMain::Workbook().SetRules("# line 1\nIF [Delivery] = \"Locker\" THEN [Size] <> \"L\" AND [Country] <> \"Japan\";");
        for (const auto& [col, row] : {std::pair{2, 3}, std::pair{3, 2}}) {  // Ship and S
            w.FactorsSheet()->Grid->selectBlock(col, row, col, row);
            w.Tool(ToolId::MarkLevelInvalid)->trigger();
        }
        modMain::gbDesignChanged = false;
        const struct {
            int f1, l1, f2, l2;
            const char* message;
        } cases[] = {
            {1, 2, 2, 1, "The combination cannot occur: the rule on line 2."},
            {3, 2, 2, 1, "The combination cannot occur: the rule on line 2."},
            {1, 1, 3, 1, "The combination was not found."},
            {2, 2, 3, 1, "The combination cannot occur. Two invalid levels never share a test case."},
        };
        for (const auto& c : cases) {
            AnswerFindDialog(c.f1, c.l1, c.f2, c.l2);
            ExpectOneBox(messages, [&] { w.Tool(ToolId::FindCombination)->trigger(); }, c.message, MsgIcon::None);
        }
        QTimer::singleShot(0, [] {
            auto* dialog = qobject_cast<frmFindInter*>(QApplication::activeModalWidget());
            QVERIFY(dialog);
            dialog->lstFirstFactor->setCurrentRow(2);
            QCOMPARE(dialog->lstFirstLevel->item(0)->text(), "~S");
            dialog->reject();
        });
        w.Tool(ToolId::FindCombination)->trigger();
    }

    void refusalsTheRegenerationQuestionAndAFailedReadEndTheCommand()
    {
        frmMain& w = shownWindow();
        const QString question =
            "The test cases need to be recomputed before finding a combination. Would you like to generate all "
            "two-way combinations now?";
        for (const char* id : {ToolId::FindCombination, ToolId::FindAllCombinations}) {
            DesignLoader::Load(w, {{"A", {"a1", "a2"}}});
            modMain::gbDesignChanged = false;
            ExpectOneBox(messages, [&] { w.Tool(id)->trigger(); },
                         "You must have at least two factors at two levels to perform this operation.", MsgIcon::None);
            DesignLoader::Load(w, kDesign);
            modMain::gbDesignChanged = true;
            messages.answer(MsgResult::No);
            w.Tool(id)->trigger();
            TakeOnlyMessage(messages, question, MsgIcon::None, MsgButtons::YesNoCancel);
            QCOMPARE(modMain::TestCasesGrid().maxRows(), 1);
        }

        // Yes: the generation runs and reports the coverage of its matrix once.
        QCOMPARE(answered({MsgResult::Yes, MsgResult::Ok}, [&] { w.Tool(ToolId::FindAllCombinations)->trigger(); }),
                 (QStringList{question, Summary(4, 4)}));
        QVERIFY(!modMain::gbDesignChanged);
        QCOMPARE(modMain::TestCasesGrid().maxRows(), 5);

        // The read's own message, and no summary after it.
        DesignLoader::Load(w, kDesign, {{"A", "a9", "B", "b1"}});
        messages.answer(MsgResult::Ok);
        w.Tool(ToolId::FindAllCombinations)->trigger();
        QCOMPARE(messages.texts().size(), 1);
        QCOMPARE(messages.last().icon, MsgIcon::Exclamation);
        messages.clear();
    }

    void theDialogChecksItsChoicesInOrder()
    {
        frmFindInter dialog;
        LongArray counts;
        dialog.LoadFactorsAndLevels(2, DesignLoader::FactorTable({{"A", {"a1", "a2"}}, {"B", {"b1", "b2", "b3"}}}, counts),
                                    counts);
        dialog.show();
        QVERIFY(QTest::qWaitForWindowExposed(&dialog));
        QCOMPARE(dialog.lstSecondFactor->count(), 2);
        QCOMPARE(dialog.lstFirstLevel->count(), 0);

        struct Step {
            QListWidget* list;
            int row;
            const char* refusal;
            QListWidget* focus;
        };
        const Step steps[] = {
            {nullptr, 0, "You must select a first factor.", dialog.lstFirstFactor},
            {dialog.lstFirstFactor, 1, "You must select a level for the first factor.", dialog.lstFirstLevel},
            {dialog.lstFirstLevel, 2, "You must select a second factor.", dialog.lstSecondFactor},
            {dialog.lstSecondFactor, 1, "You must select a level for the second factor.", dialog.lstSecondLevel},
            {dialog.lstSecondLevel, 0, "The first and second factors must be different.", nullptr},
        };
        for (const Step& step : steps) {
            if (step.list)
                step.list->setCurrentRow(step.row);
            ExpectOneBox(messages, [&] { dialog.cmdFind->click(); }, step.refusal, MsgIcon::Information);
            if (step.focus)
                QTRY_COMPARE(QApplication::focusWidget(), step.focus);
            QVERIFY(dialog.isVisible());
        }
        QCOMPARE(dialog.lstFirstLevel->count(), 3);  // the levels of B, chosen first
        QCOMPARE(dialog.lstFirstLevel->item(2)->text(), QString("b3"));

        dialog.cmdHelp->click();
        QCOMPARE(help.contexts(), QList<int>{23});

        dialog.lstSecondFactor->setCurrentRow(0);
        dialog.lstSecondLevel->setCurrentRow(1);
        dialog.cmdFind->click();
        QVERIFY(!dialog.isVisible());
        QVERIFY(!dialog.bUserCNX);
        QCOMPARE((QList<int>{dialog.lFirstFactor, dialog.lFirstLevel, dialog.lSecondFactor, dialog.lSecondLevel}),
                 (QList<int>{2, 3, 1, 2}));

        dialog.show();
        dialog.cmdCancel->click();
        QVERIFY(dialog.bUserCNX);
    }
};

QTEST_MAIN(FindCommandsTest)
#include "FindCommandsTest.moc"
