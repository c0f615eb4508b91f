// The Coverage view driven as a tester would, on the checkout example, and the marks of test
// cases made for an earlier design. With VANTREL_SCREENSHOTS set to a folder, the view is saved
// there as coverage-view-1.png to -3.png, one per tab.
#include "app/CommandTable.h"
#include "app/frmCoverage.h"
#include "app/modMain.h"
#include "model/DesignWorkbook.h"
#include "model/GridCellStore.h"
#include "sheets/RulesEditor.h"
#include "sheets/frmRules.h"
#include "tests/app/MainWindowTestCase.h"
#include "tests/support/TestFiles.h"

#include <QAction>
#include <QChart>
#include <QChartView>
#include <QLabel>
#include <QLineSeries>
#include <QTabWidget>
#include <QTableWidget>

using namespace SheetTest;

namespace {
const QString kSummary = "A total of 183 combinations out of 183 were found in the constraints, previous test, and the "
                         "test case matrix.";

// The line of the list whose levels read so; -1 for none.
int ListedRow(const QTableWidget& list, const QString& levels)
{
    for (int r = 0; r < list.rowCount(); ++r)
        if (list.item(r, 1)->text() == levels)
            return r;
    return -1;
}
}  // namespace

class CoverageViewTest : public MainWindowTest::MainWindowTestCase {
    Q_OBJECT

    // The checkout example, generated.
    frmMain& generatedCheckout()
    {
        frmMain& w = shownWindow();
        w.OpenFileAtStart(QStringLiteral(VANTREL_EXAMPLES "/checkout.txt"));
        ExpectOneBox(messages, [&] { w.Tool(ToolId::Generate2Way)->trigger(); }, kSummary, MsgIcon::None, MsgButtons::Ok, 34);
        return w;
    }

private slots:
    void theViewShowsGrowthPairsAndWhyAndLeadsToTheRule()
    {
        frmMain& w = generatedCheckout();
        w.Tool(ToolId::Coverage)->trigger();
        auto* view = w.findChild<frmCoverage*>();
        QVERIFY(view && view->isVisible());
        QCOMPARE(view->lblSummary->text(), kSummary);
        const auto lines = view->chartView->chart()->series();
        auto* growth = qobject_cast<QLineSeries*>(lines.first());
        QVERIFY(growth->name().startsWith("2-way: 100% after "));
        QCOMPARE(growth->count(), modMain::TestCasesGrid().maxRows());  // 0, then each test case
        QCOMPARE(growth->at(growth->count() - 1).y(), 100.0);
        QCOMPARE(view->tblPairs->rowCount(), 6);
        // Country with Delivery: 16 less Pickup's two and Locker's Japan.
        QCOMPARE(view->tblPairs->item(1, 2)->text(), "13/13");
        QCOMPARE(view->tblCombinations->rowCount(), 7);

        // Japan with Locker: the rule on line 2 of the Rules sheet (the text's first rule is
        // Constraints row 1).
        const int japan = ListedRow(*view->tblCombinations, "Country = Japan, Delivery = Locker");
        QVERIFY(japan >= 0);
        QCOMPARE(view->tblCombinations->item(japan, 2)->text(), "the rule on line 2");
        view->tblCombinations->selectRow(japan);
        QCOMPARE(w.SelectedItemIndex(), int(frmMain::ItemRules));
        QCOMPARE(w.RulesSheet()->Editor()->textCursor().blockNumber(), 1);
        QCOMPARE(view->lblDetail->text(), "Country = Japan, Delivery = Locker cannot occur: the rule on line 2.");

        if (const QByteArray folder = qgetenv("VANTREL_SCREENSHOTS"); !folder.isEmpty())
            for (const int tab : {0, 1, 2}) {
                view->tabs->setCurrentIndex(tab);
                QVERIFY(view->grab().save(QString::fromLocal8Bit(folder) + QStringLiteral("/coverage-view-%1.png").arg(tab + 1)));
            }
        dialogs->answer(path("growth.svg"));
        view->ExportPicture();
        QVERIFY(FileBytes(path("growth.svg")).contains("<polyline"));
        dialogs->answer(path("growth.png"));
        view->ExportPicture();
        QVERIFY(FileBytes(path("growth.png")).startsWith("\x89PNG"));
    }

    void aShortenedSuiteListsItsGapsAndItsBrokenTestCase()
    {
        frmMain& w = generatedCheckout();
        GridCellStore& cases = modMain::TestCasesGrid();
        cases.setText(2, 2, "Japan");  // Country of test case 1
        cases.setText(3, 2, "Locker");
        w.Tool(ToolId::Coverage)->trigger();
        auto* view = w.findChild<frmCoverage*>();
        QVERIFY(view->lblSummary->text().endsWith(" The constraints were violated in the QXV Matrix."));
        QCOMPARE(view->tblCombinations->item(0, 0)->text(), "Test case 1");
        QCOMPARE(view->tblCombinations->item(0, 2)->text(), "breaks the rule on line 2");
        view->tblCombinations->selectRow(0);
        QCOMPARE(w.SelectedItemIndex(), int(frmMain::ItemTestCases));
        QCOMPARE(w.Sheet(frmMain::ItemTestCases)->Grid->activeRow(), 2);
        const int missing = view->tblCombinations->findItems("Missing", Qt::MatchExactly).first()->row();
        view->tblCombinations->selectRow(missing);
        QVERIFY(view->lblDetail->text().contains(" can occur: for example Customer = "));
    }

    // After an edit the sheet and the status bar say so, and Export and Print ask first.
    void testCasesOfAnEarlierDesignAreMarkedAndWrittenOnlyWhenConfirmed()
    {
        frmMain& w = generatedCheckout();
        auto* banner = w.TestCasesSheet()->findChild<QLabel*>("StaleBanner");
        QVERIFY(!banner || !banner->isVisibleTo(w.TestCasesSheet()));
        QCOMPARE(w.PanelText(kPanelMatrixState), "");
        TypeIntoCell(*w.FactorsSheet()->Grid, 1, 5, "Corporate");
        QTRY_COMPARE(w.PanelText(kPanelMatrixState), "Out of date");
        banner = w.TestCasesSheet()->findChild<QLabel*>("StaleBanner");
        QVERIFY(banner && banner->isVisibleTo(w.TestCasesSheet()));

        const QString question = "The test cases are out of date: the design changed after they were made. %1 them anyway?";
        w.SwitchToOutlookItem(frmMain::ItemTestCases);
        QCOMPARE(answered({MsgResult::No}, [&] { w.Tool(ToolId::PrintSheet)->trigger(); }), QStringList{question.arg("Print")});
        emit w.findChild<QMenu*>(ToolId::mnuExport)->aboutToShow();
        QCOMPARE(answered({MsgResult::No}, [&] { w.Tool(ToolId::CommaDeliminated)->trigger(); }),
                 QStringList{question.arg("Export")});
        messages.answer(MsgResult::Yes);
        dialogs->answer(path("cases.csv"));
        w.Tool(ToolId::CommaDeliminated)->trigger();
        QCOMPARE(messages.texts(), QStringList{question.arg("Export")});
        messages.clear();
        QVERIFY(FileBytes(path("cases.csv")).startsWith("Customer,"));
    }

    // A saved matrix that covers its design opens current: Find asks no regeneration question.
    void aCompleteSavedMatrixOpensCurrent()
    {
        frmMain& w = generatedCheckout();
        dialogs->answer(path("checkout.test"));
        w.Tool(ToolId::SaveAs)->trigger();
        QVERIFY(w.OpenFileAtStart(path("checkout.test")));
        QVERIFY(!modMain::gbDesignChanged);
        QCOMPARE(w.PanelText(kPanelMatrixState), "");
        ExpectOneBox(messages, [&] { w.Tool(ToolId::FindAllCombinations)->trigger(); }, kSummary, MsgIcon::None,
                     MsgButtons::Ok, 34);

        modMain::TestCasesGrid().setText(2, 2, "Japan");
        modMain::TestCasesGrid().setText(3, 2, "Locker");
        dialogs->answer(path("broken.test"));
        w.Tool(ToolId::SaveAs)->trigger();
        QVERIFY(w.OpenFileAtStart(path("broken.test")));
        QVERIFY(modMain::gbDesignChanged);
    }
};

QTEST_MAIN(CoverageViewTest)
#include "CoverageViewTest.moc"
