// Level weights and other names on the Factors and Levels sheet: shown after the name as a model
// text writes them, typed so, kept through a rename, Undo, both file kinds, and never part of
// the names the other sheets list. With VANTREL_SCREENSHOTS set to a folder, the window is saved
// there as factors-sheet-extras.png.
#include "app/CommandTable.h"
#include "app/modMain.h"
#include "model/DesignWorkbook.h"
#include "sheets/LevelCellText.h"
#include "tests/app/MainWindowTestCase.h"
#include "tests/support/TestFiles.h"

using namespace SheetTest;

namespace {

struct Extras {
    std::map<std::pair<int, int>, std::int32_t> weights;
    std::map<std::pair<int, int>, QStringList> aliases;
    friend bool operator==(const Extras&, const Extras&) = default;
};

Extras ReadExtras()
{
    DesignText read;
    if (!modMain::Workbook().Read(false, read))
        return {{{{-1, -1}, -1}}, {}};
    return {read.levelWeights, read.levelAliases};
}

}  // namespace

class LevelExtrasTest : public MainWindowTest::MainWindowTestCase {
    Q_OBJECT

private slots:
    // The typed text of a level cell, read and written back as a model text's level.
    void aTypedLevelReadsAsTheModelTextReadsIt()
    {
        struct Case {
            QString typed, name;
            LevelExtras extras;
            bool invalid;
            QString problem, editText;
        };
        const QString weightProblem = "a weight is a whole number from 1 to 1000000 in parentheses";
        const std::vector<Case> cases = {
            {"Chrome (3)", "Chrome", {3, {}}, false, "", "Chrome (3)"},
            {"Windows 11 | Win11 | W11", "Windows 11", {1, {"Win11", "W11"}}, false, "", "Windows 11 | Win11 | W11"},
            {"~Solaris | SunOS (2)", "Solaris", {2, {"SunOS"}}, true, "", "Solaris | SunOS (2)"},
            {"/foo/pi(\"pi\")", "/foo/pi(\"pi\")", {}, false, "", "/foo/pi(\"pi\")"},
            {"Plain", "Plain", {}, false, "", "Plain"},
            {"Bad (0)", "Bad (0)", {}, false, weightProblem, "Bad (0) (1)"},
            {"a | b, c", "a | b, c", {}, false, "a comma separates two levels", "a | b, c"},
            {"x |", "x |", {}, false, "empty alias", "x |"},
        };
        for (const Case& c : cases) {
            const TypedLevel typed = ReadTypedLevel(c.typed);
            QCOMPARE(typed.name, c.name);
            QCOMPARE(typed.extras, c.extras);
            QCOMPARE(typed.invalid, c.invalid);
            QCOMPARE(typed.problem, c.problem);
            QCOMPARE(LevelEditText(typed.name, typed.extras), c.editText);
            // What an edit starts from reads back to the same level.
            const TypedLevel again = ReadTypedLevel(LevelEditText(typed.name, typed.extras));
            if (c.problem.isEmpty() || c.typed.endsWith(')'))
                QCOMPARE(std::make_pair(again.name, again.extras), std::make_pair(typed.name, typed.extras));
        }
    }

    void weightsAndOtherNamesShowTypeRenameAndUndo()
    {
        frmMain& w = shownWindow();
        GridView& grid = *w.FactorsSheet()->Grid;
        const QString file = path("browsers.txt");
        QVERIFY(WriteFileBytes(file, "Browser: Chrome (3), Firefox\nOS: Windows 11 | Win11, macOS\n"));
        dialogs->answer(file);
        w.Tool(ToolId::Open)->trigger();
        QCOMPARE(Lines(modMain::FactorsGrid()).mid(0, 3),
                 (QStringList{"Browser|OS|", "Chrome (3)|Windows 11 | Win11|", "Firefox|macOS|"}));
        QCOMPARE(modMain::FactorsGrid().text(1, 2), QString("Chrome"));
        QCOMPARE(grid.model()->data(grid.model()->index(1, 1), Qt::EditRole).toString(), QString("Windows 11 | Win11"));
        if (const QByteArray folder = qgetenv("VANTREL_SCREENSHOTS"); !folder.isEmpty())
            QVERIFY(w.grab().save(QString::fromLocal8Bit(folder) + QStringLiteral("/factors-sheet-extras.png")));
        // The other sheets list the names.
        QVERIFY(w.PrevRunsSheet()->LoadDataIntoGrid(1, TestTables::Rows({{"Chrome", "Win11"}}, 2)));
        QCOMPARE(modMain::PrevRunsGrid().comboList(1, 1), QString("\tChrome\tFirefox"));
        QCOMPARE(modMain::PrevRunsGrid().comboList(2, 1), QString("\tWindows 11\tmacOS"));

        // A rename typed with the weight keeps it; one typed without it drops it, as shown.
        TypeIntoCell(grid, 1, 2, "Chromium (3)");
        QCOMPARE(ReadExtras(), (Extras{{{{1, 1}, 3}}, {{{1, 2}, {"Win11"}}}}));
        TypeIntoCell(grid, 1, 3, "Firefox | FF (2)");
        QCOMPARE(modMain::FactorsGrid().shownText(1, 3), QString("Firefox | FF (2)"));
        TypeIntoCell(grid, 1, 2, "Chromium");
        QCOMPARE(ReadExtras(), (Extras{{{{2, 1}, 2}}, {{{2, 1}, {"FF"}}, {{1, 2}, {"Win11"}}}}));
        QCOMPARE(w.Tool(ToolId::Undo)->toolTip(), QString("Undo Typing"));
        w.Tool(ToolId::Undo)->trigger();
        QCOMPARE(modMain::FactorsGrid().shownText(1, 2), QString("Chromium (3)"));

        // A weight that is no whole number leaves the text as the name, and says so.
        const QStringList said = answered({MsgResult::Ok}, [&] { TypeIntoCell(grid, 2, 3, "macOS (0)"); });
        QCOMPARE(said, (QStringList{"The level \"macOS (0)\" is taken as a name: a weight is a whole number from 1 "
                                    "to 1000000 in parentheses."}));
        QCOMPARE(modMain::FactorsGrid().text(2, 3), QString("macOS (0)"));
    }

    // What the sheet carries is saved in both kinds of file and opened again.
    void weightsAndOtherNamesAreSavedAndOpened()
    {
        frmMain& w = shownWindow();
        GridView& grid = *w.FactorsSheet()->Grid;
        DesignLoader::Load(w, {{"Browser", {"Chrome", "Firefox"}}, {"OS", {"Windows 11", "macOS"}}});
        TypeIntoCell(grid, 1, 2, "Chrome (3)");
        TypeIntoCell(grid, 2, 2, "Windows 11 | Win11");
        const Extras typed = ReadExtras();
        for (const char* name : {"design.test", "design.txt"}) {
            dialogs->answer(path(name));
            w.Tool(ToolId::SaveAs)->trigger();
            w.Tool(ToolId::New)->trigger();
            QCOMPARE(modMain::FactorsGrid().shownText(1, 2), QString());
            dialogs->answer(path(name));
            w.Tool(ToolId::Open)->trigger();
            QCOMPARE(ReadExtras(), typed);
        }
        QCOMPARE(FileBytes(path("design.txt")), QByteArray("Browser: Chrome (3), Firefox\nOS: Windows 11 | Win11, macOS\n"));
    }
};

QTEST_MAIN(LevelExtrasTest)
#include "LevelExtrasTest.moc"
