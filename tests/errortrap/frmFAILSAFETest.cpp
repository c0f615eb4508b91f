// The report window driven offscreen through the trap: the error's fields, its pages, the
// record list, the note reaching the log, Print to PDF, Help and the web search; and an
// exception escaping an event handler reaching the trap through the application object.
#include "errortrap/FailSafeApplication.h"
#include "errortrap/QtReportPresenter.h"
#include "errortrap/TrappedError.h"
#include "errortrap/frmFAILSAFE.h"
#include "errortrap/modFailSafe.h"
#include "tests/support/RecordingReportPresenter.h"
#include "tests/support/PdfPrinterSetup.h"
#include "tests/support/RecordingHelpViewer.h"
#include "tests/support/RecordingShellOpener.h"
#include "tests/support/ScriptedMessages.h"
#include "tests/support/TestFiles.h"

#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <QUrlQuery>

#include <functional>

using namespace modFailSafe;

namespace {
template <class T>
T* Child(QWidget* w, const char* name)
{
    return w->findChild<T*>(QString::fromLatin1(name));
}

QString Text(QWidget* w, const char* name)
{
    if (auto* label = Child<QLabel>(w, name))
        return label->text();
    if (auto* edit = Child<QLineEdit>(w, name))
        return edit->text();
    return Child<QPlainTextEdit>(w, name)->toPlainText();
}
}  // namespace

class frmFAILSAFETest : public QObject {
    Q_OBJECT
    ScriptedMessages messages;
    RecordingHelpViewer help;
    RecordingShellOpener browser;
    QTemporaryDir folder;

    // Runs a failing procedure; `inspect` sees the open report window and closes it.
    bool FailWhileInspecting(std::function<void()> fail, std::function<void(frmFAILSAFE*)> inspect)
    {
        bool seen = false;
        QTimer::singleShot(0, this, [&] {
            auto* window = qobject_cast<frmFAILSAFE*>(QApplication::activeModalWidget());
            seen = window != nullptr;
            if (window)
                inspect(window);
        });
        // Never left waiting on the window, whatever the inspection did.
        QTimer guard;
        guard.setInterval(5000);
        connect(&guard, &QTimer::timeout, this, [] {
            if (auto* window = qobject_cast<frmFAILSAFE*>(QApplication::activeModalWidget()))
                window->close();
        });
        guard.start();
        RunProcedure("modMain", "Sub GenerateNWay", fail);
        return seen;
    }

private slots:
    void initTestCase() { QVERIFY(folder.isValid()); }
    void init()
    {
        ResetTrap();
        SetProgramFolder(folder.path());
        QVERIFY(WriteFileBytes(folder.filePath("FSCLIENT.INI"), "[log file]\nWrite To Disk=1\n"));
    }
    void cleanup()
    {
        QVERIFY2(messages.unexpected().isEmpty(), qPrintable(messages.unexpected().join(" | ")));
        ResetTrap();
        SetProgramFolder({});
        QFile::remove(folder.filePath("error.log"));
    }

    void showsTheErrorsFieldsAndPagesAndLogsTheNote()
    {
        QtReportPresenter presenter;
        SetReportPresenter(&presenter);
        QString headline, trace, system, focused;
        QStringList values;
        bool breakEnabled = true;
        int records = 0;
        const int raisedOn = __LINE__ + 3;
        const bool seen = FailWhileInspecting(
            [] {
                throw TrappedError(53, "File not found").withHelp({}, 27);
            },
            [&](frmFAILSAFE* w) {
                headline = Text(w, "Headline");
                focused = w->focusWidget() ? w->focusWidget()->objectName() : QString();
                for (const char* v : {"ErrModule", "ErrProcedure", "ErrLine", "ErrNo", "ErrDescription", "ErrType", "errProject"})
                    values << Text(w, v);
                breakEnabled = Child<QPushButton>(w, "nsCtrlMore")->isEnabled();
                records = Child<QListWidget>(w, "errText")->count();
                w->Combo1_Click(frmFAILSAFE::PageTrace);
                trace = Text(w, "nsCtrlCalls");
                w->Combo1_Click(frmFAILSAFE::PageSystem);
                system = Text(w, "nsCtrlArgs");
                QTest::mouseClick(Child<QPushButton>(w, "nsHelp"), Qt::LeftButton);
                QTest::mouseClick(Child<QPushButton>(w, "cmdWWW"), Qt::LeftButton);
                w->Combo1_Click(frmFAILSAFE::PageNote);
                QTest::keyClicks(Child<QPlainTextEdit>(w, "Text1"), "Generating the matrix");
                QTest::mouseClick(Child<QPushButton>(w, "nsCtrlContinue"), Qt::LeftButton);
            });
        SetReportPresenter(nullptr);
        QVERIFY(seen);
        QCOMPARE(headline, QString("An unexpected 'File not found' error occurred in frmFAILSAFETest."));
        QCOMPARE(focused, QString("Text1"));
        QCOMPARE(values, (QStringList{"modMain", "Sub GenerateNWay", QString::number(raisedOn), "53", "File not found",
                                      "File System (disk, directory or file) access", ExecutableName() + " (local)"}));
        QVERIFY2(!breakEnabled, "no debugger traces the test");
        QCOMPARE(records, 1);
        QVERIFY(trace.contains("modMain << Sub GenerateNWay : Trap\n"));
        QVERIFY(trace.endsWith("1 error(s) are logged."));
        QVERIFY(system.startsWith("Application\n   Title..............."));
        QVERIFY(system.contains("   Screen size.........") && system.contains("Drives\n"));
        QCOMPARE(help.contexts(), QList<int>{27});
        QCOMPARE(browser.requests().size(), 1);
        QCOMPARE(QUrlQuery(QUrl(browser.requests().first().file)).queryItemValue("q", QUrl::FullyDecoded),
                 QString("error 53 \"File not found\""));

        const QString log = FileBytes(folder.filePath("error.log"));
        QVERIFY(log.contains("User Said: Generating the matrix"));
        QVERIFY2(log.contains("System State Information\nApplication\n"), "the gathered system report is logged");
        QVERIFY(!IsBusy());
    }

    void selectsRecordsAndPrintsTheShownPageToPdf()
    {
        QtReportPresenter presenter;
        SetReportPresenter(&presenter);
        const QString pdf = folder.filePath("report.pdf");
        PdfPrinterSetup printer(pdf);
        RecordingReportPresenter silent;  // the first error is answered without the window
        RunProcedure("CFile", "Function OpenFile", [] { throw std::bad_alloc(); });
        SetReportPresenter(&presenter);

        QString firstLine, errorPrint, tracePrint;
        bool helpForFirst = true;
        FailWhileInspecting([] { throw TrappedError(6, "Overflow"); },
                            [&](frmFAILSAFE* w) {
                                auto* list = Child<QListWidget>(w, "errText");
                                list->setCurrentRow(0);
                                firstLine = Text(w, "ErrLine");
                                helpForFirst = Child<QPushButton>(w, "nsHelp")->isEnabled();
                                w->Combo1_Click(frmFAILSAFE::PageError);
                                QTest::mouseClick(Child<QPushButton>(w, "fsPrint"), Qt::LeftButton);
                                errorPrint = PdfText(pdf);
                                w->Combo1_Click(frmFAILSAFE::PageTrace);
                                QTest::mouseClick(Child<QPushButton>(w, "fsPrint"), Qt::LeftButton);
                                tracePrint = PdfText(pdf);
                                w->close();  // the title bar's close is Continue
                            });
        SetReportPresenter(nullptr);
        QVERIFY2(firstLine.startsWith("0 line numbers not used - Code Pointer = frmFAILSAFETest.cpp:"), qPrintable(firstLine));
        QVERIFY(!helpForFirst);
        QCOMPARE(printer.dialogAsked(), (QList<bool>{false, false}));
        QVERIFY2(errorPrint.contains("An unexpected 'Overflow' error occurred"), qPrintable(errorPrint));
        QVERIFY(errorPrint.contains(QRegularExpression("Module\\s+CFile")));
        QVERIFY(errorPrint.contains(QRegularExpression("Error No\\.\\s+7")));
        QVERIFY(errorPrint.contains(QRegularExpression("Description\\s+Out of memory")));
        QVERIFY2(tracePrint.contains("CFile << Function OpenFile : Trap"), qPrintable(tracePrint));
        QVERIFY(tracePrint.contains("2 error(s) are logged."));
        QCOMPARE(Records().size(), 2);
        QVERIFY(!IsBusy());
    }

    void anExceptionEscapingAnEventHandlerReachesTheTrap()
    {
        RecordingReportPresenter report;
        bool after = false;
        QTimer::singleShot(0, this, [] { throw std::out_of_range("row"); });
        QTimer::singleShot(10, this, [&] { after = true; });
        QTRY_VERIFY(after);
        QCOMPARE(report.shown().size(), 1);
        const ErrorRecord r = report.shown()[0].records.last();
        QCOMPARE(r.number, 9);
        QVERIFY2(r.procedure.startsWith("Event "), qPrintable(r.procedure));
    }
};

int main(int argc, char** argv)
{
    QStandardPaths::setTestModeEnabled(true);
    FailSafeApplication app(argc, argv);
    QCoreApplication::setApplicationName("frmFAILSAFETest");
    frmFAILSAFETest test;
    return QTest::qExec(&test, argc, argv);
}

#include "frmFAILSAFETest.moc"
