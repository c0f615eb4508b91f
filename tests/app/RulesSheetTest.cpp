// The Rules sheet driven as a user would: a rule typed is checked once typing stops, its
// problem underlined at its place and named under the editor; the commands refuse rules that
// do not check and put the cursor at the problem; the sheet's own Undo and Redo, the modified
// mark, printing and finding; File New and Open leave no rules of another design behind.
#include "app/CommandTable.h"
#include "app/frmMain.h"
#include "app/modMain.h"
#include "model/DesignWorkbook.h"
#include "sheets/RulesEditor.h"
#include "sheets/frmRules.h"
#include "tests/app/MainWindowTestCase.h"
#include "tests/support/PdfPrinterSetup.h"
#include "tests/support/TestFiles.h"

#include <QAction>
#include <QLabel>
#include <QLineEdit>
#include <QRegularExpression>
#include <QTextBlock>

using namespace SheetTest;
using DesignLoader::Factor;

namespace {
const std::vector<Factor> kDesign{{"OS", {"Win", "Mac"}}, {"Browser", {"Edge", "Firefox"}}};

// Shows the Rules sheet through its tool and types the lines into its editor.
RulesEditor& TypeRules(frmMain& w, const QStringList& lines)
{
    w.Tool(ToolId::Rules)->trigger();
    RulesEditor& editor = *w.RulesSheet()->Editor();
    for (int i = 0; i < lines.size(); ++i) {
        if (i > 0)
            QTest::keyClick(&editor, Qt::Key_Return);
        QTest::keyClicks(&editor, lines[i]);
    }
    return editor;
}

// The text the check underlined with a wave: "" when nothing is, "?" when not so.
QString Underlined(const RulesEditor& editor)
{
    const QList<QTextEdit::ExtraSelection> marks = editor.extraSelections();
    if (marks.isEmpty())
        return {};
    const bool wave = marks.size() == 1 && marks.first().format.underlineStyle() == QTextCharFormat::WaveUnderline;
    return wave ? marks.first().cursor.selectedText() : QStringLiteral("?");
}

// The cursor's line and column, both from 1.
QPair<int, int> CursorPlace(const RulesEditor& editor)
{
    const QTextCursor cursor = editor.textCursor();
    return {cursor.blockNumber() + 1, cursor.positionInBlock() + 1};
}
}  // namespace

class RulesSheetTest : public MainWindowTest::MainWindowTestCase {
    Q_OBJECT

private slots:
    void aTypedRuleIsCheckedOnceTypingStopsAndItsProblemMarkedAtItsPlace()
    {
        frmMain& w = shownWindow();
        DesignLoader::Load(w, kDesign);
        RulesEditor& editor = TypeRules(w, {R"(IF [OS] = "Mac")", R"(THEN [Browserr] <> "Edge";)"});
        QCOMPARE(w.SelectedItemIndex(), int(frmMain::ItemRules));
        QVERIFY(w.Tool(ToolId::Rules)->isChecked());
        QCOMPARE(modMain::Workbook().Rules(), QString("IF [OS] = \"Mac\"\nTHEN [Browserr] <> \"Edge\";"));
        ExpectFlags(true, true);
        QVERIFY(w.isWindowModified());

        frmRules& sheet = *w.RulesSheet();
        QVERIFY(sheet.CheckPending());
        QTRY_VERIFY(!sheet.CheckPending());
        QCOMPARE(sheet.CheckMessage(), QString("Line 2, column 6: unknown factor [Browserr]"));
        QCOMPARE(Underlined(editor), QString("[Browserr]"));
        QCOMPARE(CursorPlace(editor), qMakePair(2, 27));  // the check leaves the cursor where it was

        // Corrected, the text checks: nothing is marked.
        editor.setTextCursor(editor.CursorAt(2, 15));
        QTest::keyClick(&editor, Qt::Key_Backspace);
        QTRY_COMPARE(Underlined(editor), QString());
        QCOMPARE(sheet.CheckMessage(), QString());
    }

    // Texts as a design file brings them: a column counts characters, one outside the Basic
    // Multilingual Plane too; a problem at the end of a line marks the character before it.
    void aProblemIsMarkedWhereverItStands_data()
    {
        QTest::addColumn<QString>("rules");
        QTest::addColumn<QString>("message");
        QTest::addColumn<QString>("underlined");
        QTest::newRow("after a wide character") << R"([OS] <> "Mac 😀" OR [Colour] = "p";)"
                                                << "Line 1, column 20: unknown factor [Colour]" << "[Colour]";
        QTest::newRow("third line") << "# the Mac runs Edge only\n\nIF [OS] = \"Mac\" THEN [Browser] = \"Chrome\";"
                                    << "Line 3, column 34: factor [Browser] has no level \"Chrome\"" << "\"Chrome\";";
        QTest::newRow("end of the text") << R"([OS] = "Mac")"
                                         << "Line 1, column 13: missing ; at the end of the text" << "\"";
        QTest::newRow("no level in common") << "[OS] <> [Browser];"
                                            << "Line 1, column 6: [OS] and [Browser] have no level in common: [OS] <> "
                                               "[Browser] is always true"
                                            << "<>";
        QTest::newRow("checks") << "[OS] <> \"Mac\";" << "" << "";
    }
    void aProblemIsMarkedWhereverItStands()
    {
        QFETCH(QString, rules);
        frmMain& w = shownWindow();
        DesignLoader::Load(w, {{"OS", {"Win", "Mac", "Mac 😀"}}, {"Browser", {"Edge", "Firefox"}}});
        modMain::Workbook().SetRules(rules);
        QCOMPARE(w.RulesSheet()->Editor()->Text(), rules);
        QTEST(w.RulesSheet()->CheckMessage(), "message");
        QTEST(Underlined(*w.RulesSheet()->Editor()), "underlined");
        ExpectFlags(false, false);  // a text put on the sheet is no edit
    }

    void noFactorsNoCheckAndAnInvalidSheetIsHarmless()
    {
        frmMain& w = shownWindow();
        TypeRules(w, {R"([OS] = "Mac";)"});
        w.RulesSheet()->CheckNow();
        QCOMPARE(w.RulesSheet()->CheckMessage(),
                 QString("The rules are checked once the Factors and Levels sheet names a factor."));
        // Two factors of one name, a level left blank: checked as the sheet stands, without a box.
        DesignLoader::Load(w, {{"OS", {"Win", "     ", "Mac"}}, {"OS", {"x"}}});
        w.Tool(ToolId::Rules)->trigger();
        QCOMPARE(w.RulesSheet()->CheckMessage(), QString("Line 1, column 8: factor [OS] has no level \"Mac\""));
        QCOMPARE(modMain::Factors().lNumFactors(), 2);
    }

    void theCommandsRefuseRulesThatDoNotCheckAndGoToTheProblem()
    {
        frmMain& w = shownWindow();
        DesignLoader::Load(w, kDesign);
        RulesEditor& editor = TypeRules(w, {"# the Mac runs Edge only", R"([OS] = "Win" OR [Browserr] = "Edge";)"});
        const QStringList noTestCases = Lines(modMain::TestCasesGrid(), 0, 0);
        for (const char* tool : {ToolId::Generate2Way, ToolId::ValidateDesign, ToolId::GenerateAllCombinations}) {
            w.Tool(ToolId::FactorsandLevels)->trigger();
            ExpectOneBox(messages, [&] { w.Tool(tool)->trigger(); },
                         "Rules, line 2, column 17: unknown factor [Browserr]", MsgIcon::Exclamation, MsgButtons::Ok,
                         37);
            QCOMPARE(w.SelectedItemIndex(), int(frmMain::ItemRules));
            QCOMPARE(QApplication::focusWidget(), &editor);
            QCOMPARE(CursorPlace(editor), qMakePair(2, 17));
            QCOMPARE(Underlined(editor), QString("[Browserr]"));
        }
        QCOMPARE(Lines(modMain::TestCasesGrid(), 0, 0), noTestCases);
    }

    // Undo and Redo act on the sheet's own typing while it is shown, and on the design's
    // steps on the other sheets; every step is an edit of the design.
    void undoAndRedoOnTheSheetAreItsOwn()
    {
        frmMain& w = shownWindow();
        w.activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&w));
        MainWindowTest::TypeFactor(w, 1, "OS", {"Win"});
        RulesEditor& editor = TypeRules(w, {R"([OS] = "Win";)"});
        QVERIFY(w.Tool(ToolId::Undo)->isEnabled());
        QVERIFY(!w.Tool(ToolId::Redo)->isEnabled());

        w.Tool(ToolId::Undo)->trigger();
        QCOMPARE(modMain::Workbook().Rules(), QString());
        QVERIFY(!w.Tool(ToolId::Undo)->isEnabled());
        QVERIFY(w.Tool(ToolId::Redo)->isEnabled());
        QTest::keyClick(&editor, Qt::Key_Y, Qt::ControlModifier);
        QCOMPARE(editor.Text(), QString(R"([OS] = "Win";)"));
        QCOMPARE(modMain::Workbook().Rules(), editor.Text());
        QTest::keyClick(&editor, Qt::Key_Z, Qt::ControlModifier);
        QCOMPARE(modMain::Workbook().Rules(), QString());
        w.SSActiveToolBars1_ToolClick(ToolId::Undo);  // nothing more to undo here: the factor stays
        QCOMPARE(modMain::FactorsGrid().text(1, 2), QString("Win"));

        // On the Factors and Levels sheet they are the design's again.
        w.Tool(ToolId::Redo)->trigger();
        w.Tool(ToolId::FactorsandLevels)->trigger();
        w.Tool(ToolId::Undo)->trigger();
        QCOMPARE(modMain::FactorsGrid().text(1, 2), QString());
        QCOMPARE(modMain::Workbook().Rules(), QString(R"([OS] = "Win";)"));
    }

    void newAndOpenLeaveNoRulesOfAnotherDesign()
    {
        frmMain& w = shownWindow();
        DesignLoader::Load(w, kDesign);
        RulesEditor& editor = TypeRules(w, {R"([OS] <> "Mac";)"});
        dialogs->answer(path("design.test"));
        w.Tool(ToolId::SaveAs)->trigger();
        QVERIFY(FileBytes(path("design.test")).contains("<rules>"));
        QVERIFY(!w.isWindowModified());

        // Emptied by hand, the text still has steps to undo, until New.
        QTest::keyClicks(&editor, " x");
        QTest::keyClick(&editor, Qt::Key_A, Qt::ControlModifier);
        QTest::keyClick(&editor, Qt::Key_Delete);
        QVERIFY(editor.document()->isUndoAvailable());
        messages.answer(MsgResult::No);
        w.Tool(ToolId::New)->trigger();
        TakeOnlyMessage(messages, "Do you want to save changes?", MsgIcon::Information, MsgButtons::YesNoCancel);
        w.Tool(ToolId::Rules)->trigger();
        QCOMPARE(editor.Text(), QString());
        QVERIFY(!editor.document()->isUndoAvailable());
        QVERIFY(!w.Tool(ToolId::Undo)->isEnabled());

        dialogs->answer(path("design.test"));
        w.Tool(ToolId::Open)->trigger();
        QCOMPARE(editor.Text(), QString(R"([OS] <> "Mac";)"));
        QVERIFY(!editor.document()->isUndoAvailable());
        ExpectFlags(false, true);
        QVERIFY(!w.isWindowModified());
        w.Tool(ToolId::New)->trigger();
        QCOMPARE(modMain::Workbook().Rules(), QString());
        QCOMPARE(editor.Text(), QString());
    }

    void printAndFindWorkOnTheText()
    {
        frmMain& w = shownWindow();  // no factors: Find Combination would say so in a box
        w.activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&w));
        RulesEditor& editor = TypeRules(w, {"# the Mac runs Edge only", R"(IF [OS] = "Mac" THEN [Browser] = "Edge";)"});
        PdfPrinterSetup printer(path("rules.pdf"));
        w.Tool(ToolId::PrintSheet)->trigger();
        w.Tool(ToolId::Print)->trigger();
        QCOMPARE(printer.dialogAsked(), (QList<bool>{false, true}));
        const QString text = PdfText(path("rules.pdf"));
        QVERIFY2(text.contains(QRegularExpression(R"(^\s*Rules\s*\n(.*\n)*?\s*1\s+# the Mac runs Edge only\s*\n)"
                                                  R"(\s*2\s+IF \[OS\] = "Mac" THEN \[Browser\] = "Edge";)")),
                 qPrintable(text));

        frmRules& sheet = *w.RulesSheet();
        auto* findText = sheet.findChild<QLineEdit*>("FindText");
        editor.setTextCursor(editor.CursorAt(1, 1));
        QTest::keyClick(&editor, Qt::Key_F, Qt::ControlModifier);
        QVERIFY(sheet.IsFindBarShown());
        QCOMPARE(QApplication::focusWidget(), findText);
        QTest::keyClicks(findText, "Mac");
        const QList<std::pair<QKeyCombination, int>> steps = {
            {Qt::Key_Return, 1}, {Qt::Key_Return, 2}, {Qt::Key_F3, 1}, {Qt::SHIFT | Qt::Key_F3, 2}};
        for (const auto& [key, line] : steps) {
            QTest::keyClick(findText, key.key(), key.keyboardModifiers());
            QCOMPARE(editor.textCursor().selectedText(), QString("Mac"));
            QCOMPARE(editor.textCursor().blockNumber() + 1, line);
        }
        findText->setText("mac");  // letter case counts
        QVERIFY(!sheet.FindNext());
        QCOMPARE(sheet.findChild<QLabel*>("FindState")->text(), QString("Not found"));
        QTest::keyClick(findText, Qt::Key_Escape);
        QVERIFY(!sheet.IsFindBarShown());
        QCOMPARE(QApplication::focusWidget(), &editor);
        QCOMPARE(editor.textCursor().selectedText(), QString("Mac"));
    }
};

QTEST_MAIN(RulesSheetTest)
#include "RulesSheetTest.moc"
