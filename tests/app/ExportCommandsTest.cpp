// The Export commands through the main window: offered only with test cases on the sheet, the
// save dialog of each format, the file written from the Test Cases sheet and handed to the
// desktop, the design left alone, and the system folder refused.
#include "app/CommandTable.h"
#include "app/modMain.h"
#include "model/GridCellStore.h"
#include "tests/app/MainWindowTestCase.h"
#include "tests/support/RecordingShellOpener.h"
#include "tests/support/TestFiles.h"

#include <QAction>
#include <QMenu>
#include <QStatusBar>

using namespace MainWindowTest;
using namespace SheetTest;

namespace {
const struct {
    const char* id;
    const char* filter;
    const char* written;
} kExports[] = {{ToolId::CommaDeliminated, "Text Files (*.csv)", "matrix.csv"},
                {ToolId::TabDeliminated, "Text Files (*.txt)", "matrix.txt"},
                {ToolId::HTML, "HTML Files (*.html)", "matrix.html"},
                {ToolId::XML, "XML Files (*.xml)", "matrix.xml"},
                {ToolId::Excel, "Excel Files (*.xlsx)", "matrix.xlsx"}};
}  // namespace

class ExportCommandsTest : public MainWindowTestCase {
    Q_OBJECT

private slots:
    void eachFormatIsOfferedWithTestCasesAsksForItsFileWritesItAndOpensIt()
    {
        RecordingShellOpener shell;
        frmMain& w = window.emplace(desktop());
        modMain::TestCasesGrid().setMaxRows(2);
        w.Tool(ToolId::mnuExport)->trigger();
        for (const auto& kind : kExports)
            QVERIFY2(!w.Tool(kind.id)->isEnabled(), kind.id);
        // A generated matrix of two cases; opening the menu refreshes the commands.
        DesignLoader::LoadTestCases(w, {{"Browser", {}}, {"OS", {}}}, {{"Firefox", "Linux"}, {"Safari, old", "macOS"}});
        emit w.findChild<QMenu*>(ToolId::mnuExport)->aboutToShow();
        for (const auto& kind : kExports) {
            QVERIFY2(w.Tool(kind.id)->isEnabled(), kind.id);
            dialogs->answer(path("matrix"));  // typed without its extension
            w.Tool(kind.id)->trigger();
            QCOMPARE(dialogs->requests().last().filter, QString(kind.filter));
            QVERIFY2(QFile::exists(path(kind.written)), kind.written);
            QCOMPARE(shell.requests().last().file, path(kind.written));
        }
        QCOMPARE(FileBytes(path("matrix.csv")), QByteArray("Browser,OS\r\nFirefox,Linux\r\n\"Safari, old\",macOS\r\n"));
        QVERIFY(!modMain::gbDirty);
        QCOMPARE(w.windowTitle(), QString("Vantrel[*]"));

        // A desktop without an opener for the file: the status bar says so.
        shell.setTakes(false);
        dialogs->answer(path("unopened.csv"));
        w.Tool(ToolId::CommaDeliminated)->trigger();
        const QString said = w.statusBar()->currentMessage();
        QVERIFY2(said.startsWith(path("unopened.csv") + " was exported but could not be opened: "), qPrintable(said));
        shell.setTakes(true);

        // The system folder, in any letter case, is refused and the dialog comes back; Cancel
        // then writes and opens nothing.
        dialogs->answer("/USR/share/matrix.csv").answer(QString());
        ExpectOneBox(messages, [&] { w.Tool(ToolId::CommaDeliminated)->trigger(); },
                     "You can not store test files in the Windows System Folder", MsgIcon::Information);
        QCOMPARE(dialogs->requests().size(), qsizetype(std::size(kExports)) + 3);
        QCOMPARE(shell.requests().size(), qsizetype(std::size(kExports)) + 1);
    }
};

QTEST_MAIN(ExportCommandsTest)
#include "ExportCommandsTest.moc"
