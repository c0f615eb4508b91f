// The Export commands through the main window: offered only with test cases on the sheet, the
// save dialog of each format, the file written from the Test Cases sheet and handed to the
// desktop, and the design left alone.
#include "app/modMain.h"
#include "model/GridCellStore.h"
#include "tests/app/DesignLoader.h"
#include "tests/app/MainWindowTestCase.h"
#include "tests/support/RecordingShellOpener.h"

#include <QAction>
#include <QFile>
#include <QMenu>

using namespace MainWindowTest;
using namespace SheetTest;

namespace {
const struct {
    const char* id;
    const char* filter;
    const char* written;
} kExports[] = {{"ID_CommaDeliminated", "Text Files (*.csv)", "matrix.csv"},
                {"ID_TabDeliminated", "Text Files (*.txt)", "matrix.txt"},
                {"ID_HTML", "HTML Files (*.html)", "matrix.html"},
                {"ID_XML", "XML Files (*.xml)", "matrix.xml"},
                {"ID_Excel", "Excel Files (*.xlsx)", "matrix.xlsx"}};

// A generated matrix of two factors and two test cases on the Test Cases sheet, the Export
// menu opened over it.
void LoadTestCases(frmMain& w)
{
    DesignLoader::LoadTestCases(w, {{"Browser", {}}, {"OS", {}}}, {{"Firefox", "Linux"}, {"Safari, old", "macOS"}});
    emit w.findChild<QMenu*>("ID_mnuExport")->aboutToShow();
}
}  // namespace

class ExportCommandsTest : public MainWindowTestCase {
    Q_OBJECT

private slots:
    void eachFormatIsOfferedWithTestCasesAsksForItsFileWritesItAndOpensIt()
    {
        RecordingShellOpener shell;
        frmMain w;
        modMain::TestCasesGrid().setMaxRows(2);
        w.SSActiveToolBars1_ToolClick("ID_mnuExport");
        for (const auto& kind : kExports)
            QVERIFY2(!w.Tool(kind.id)->isEnabled(), kind.id);
        LoadTestCases(w);  // opening the menu refreshes them
        for (const auto& kind : kExports) {
            QVERIFY2(w.Tool(kind.id)->isEnabled(), kind.id);
            dialogs->answer(path("matrix"));  // typed without its extension
            w.Tool(kind.id)->trigger();
            QCOMPARE(dialogs->requests().last().filter, QString(kind.filter));
            QVERIFY2(QFile::exists(path(kind.written)), kind.written);
            QCOMPARE(shell.requests().last().file, path(kind.written));
        }
        QFile csv(path("matrix.csv"));
        QVERIFY(csv.open(QIODevice::ReadOnly));
        QCOMPARE(csv.readAll(), QByteArray("Browser,OS\r\nFirefox,Linux\r\n\"Safari, old\",macOS\r\n"));
        QVERIFY(!modMain::gbDirty);
        QCOMPARE(w.windowTitle(), QString("Vantrel"));
    }

    void theSystemFolderIsRefusedAndCancelOrAFailedWriteOpensNothing()
    {
        RecordingShellOpener shell;
        frmMain w;
        LoadTestCases(w);
        dialogs->answer("/USR/share/matrix.csv").answer(QString());
        ExpectOneBox(messages, [&] { w.SSActiveToolBars1_ToolClick("ID_CommaDeliminated"); },
                     "You can not store test files in the Windows System Folder", MsgIcon::Information);
        QCOMPARE(dialogs->requests().size(), 2);  // the dialog came back, then was cancelled

        const QString target = path("no-such-folder/matrix.csv");
        dialogs->answer(target);
        messages.answer(MsgResult::Ok);
        w.SSActiveToolBars1_ToolClick("ID_CommaDeliminated");
        QCOMPARE(messages.shown().size(), 1);
        QVERIFY(messages.last().text.startsWith("The matrix could not be exported to\n" + target));
        QCOMPARE(messages.last().icon, MsgIcon::Critical);
        messages.clear();
        QVERIFY(!QFile::exists(target));
        QVERIFY(shell.requests().isEmpty());
    }
};

QTEST_MAIN(ExportCommandsTest)
#include "ExportCommandsTest.moc"
