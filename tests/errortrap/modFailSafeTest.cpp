// The error trap without its window: procedures answered Continue, Break and Silent Run, the
// error numbers of the library's exceptions, the settings file, the disk, circular and mailed
// logs, reports serialised while one is open, and errors of worker threads, the search's own
// among them.
#include "app/GenerationReporter.h"
#include "errortrap/CircularLog.h"
#include "errortrap/TrappedError.h"
#include "errortrap/modFailSafe.h"
#include "tests/support/RecordingReportPresenter.h"
#include "tests/support/SeamTest.h"
#include "tests/support/TestFiles.h"

#include <QDir>
#include <QEventLoop>
#include <QFile>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTimer>

#include <filesystem>
#include <thread>

using namespace modFailSafe;

namespace {
// A procedure as the program writes them: a result set before the failure, a clean-up that
// must run whatever happens.
int FailingFunction(int& cleanups, std::function<void()> fail)
{
    int result = 0;
    RunProcedure("CSample", "Function FailingFunction", [&] {
        struct CleanUp {
            int& count;
            ~CleanUp() { ++count; }
        } cleanUp{cleanups};
        result = 42;
        fail();
        result = 99;
    });
    return result;
}
}  // namespace

class TrapTest : public SeamTest {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(folder.isValid());
        ResetTrap();
        SetProgramFolder(folder.path());
    }
    void TearDown() override
    {
        ResetTrap();
        SetProgramFolder({});
        SetSendmailOverride({});
        SeamTest::TearDown();
    }
    void Ini(const QByteArray& text) { ASSERT_TRUE(WriteFileBytes(folder.filePath("FSCLIENT.INI"), text)); }

    QTemporaryDir folder;
    RecordingReportPresenter report;
};

TEST_F(TrapTest, ContinueLeavesTheProcedureWithItsResultBreakRunsItAgainSilentRunShowsNothing)
{
    int cleanups = 0;
    int raisedOn = 0;
    const int result = FailingFunction(cleanups, [&] {
        raisedOn = __LINE__ + 1;
        throw TrappedError(53, "File not found");
    });
    EXPECT_EQ(result, 42);
    EXPECT_EQ(cleanups, 1);
    // The record's fields and the headline as the report window shows them: frmFAILSAFETest.
    ASSERT_EQ(report.shown().size(), 1);
    EXPECT_TRUE(report.shown()[0].trace.contains(QString("Runtime error 53, File not found on line %1").arg(raisedOn)));
    EXPECT_FALSE(IsBusy());

    // Break runs the body again.
    report.code = kBreak;
    int runs = 0;
    const bool finished = RunProcedure("modMain", "Sub Twice", [&] {
        if (++runs == 1)
            throw std::out_of_range("index");
    });
    EXPECT_TRUE(finished);
    EXPECT_EQ(runs, 2);

    // A silent run shows nothing and goes on as Continue does.
    ResetTrap();
    Ini("[preferences]\nSilent Run=1\n");
    EXPECT_EQ(FailingFunction(cleanups, [] { throw std::bad_alloc(); }), 42);
    EXPECT_EQ(report.shown().size(), 2) << "no window in a silent run";
    EXPECT_EQ(Records().size(), 1);
}

TEST_F(TrapTest, ErrorsGetTheirRunTimeNumbersTheProcedureAsCodePositionAndTheirSource)
{
    const QString missingFile = folder.filePath("absent.test");
    const QString missingFolder = folder.filePath("nowhere/absent.test");
    const struct {
        std::function<void()> raise;
        std::int32_t number;
        const char* description;
    } cases[] = {
        {[] { throw std::bad_alloc(); }, 7, "Out of memory"},
        {[&] { (void)std::filesystem::file_size(missingFile.toStdString()); }, 53, "File not found"},
        {[&] { (void)std::filesystem::file_size(missingFolder.toStdString()); }, 76, "Path not found"},
        {[] { throw std::filesystem::filesystem_error("open", std::make_error_code(std::errc::permission_denied)); },
         75, "Path/file access error"},
        {[] { throw std::system_error(std::make_error_code(std::errc::no_space_on_device)); }, 61, "Disk full"},
        {[] { (void)std::vector<int>().at(3); }, 9, "Subscript out of range"},
        {[] { throw std::overflow_error("big"); }, 6, "Overflow"},
        {[] { std::function<void()>()(); }, 91, "Object variable or With block variable not set"},
        {[] { throw std::runtime_error("the sheet is gone"); }, 51, "the sheet is gone"},
        {[] { throw 3; }, 51, "Internal error"},
    };
    for (const auto& c : cases) {
        RunProcedure("modMain", "Sub Library", c.raise);
        const ErrorRecord& r = Records().last();
        EXPECT_EQ(r.number, c.number) << c.description;
        EXPECT_EQ(r.description, c.description);
        EXPECT_EQ(r.line, 0);
        EXPECT_TRUE(LineText(r).startsWith("0 line numbers not used - Code Pointer = modFailSafeTest.cpp:"))
            << LineText(r).toStdString();
    }
    EXPECT_EQ(TraceText().last(), QString("%1 error(s) are logged.").arg(std::size(cases)));
    EXPECT_TRUE(TraceText().contains("Runtime error 7, Out of memory on line <unavailable: line numbers not used>"));

    // An error of another component is remote.
    RunProcedure("CFile", "Function SaveXMLFile", [] { throw TrappedError(440, "Automation error", "QtXml"); });
    EXPECT_EQ(Records().last().source, "QtXml (remote)");
    EXPECT_EQ(Headline(), "An unexpected 'Automation error' error occurred in a component used by Vantrel.");
}

TEST_F(TrapTest, SettingsAreReadWhateverTheLetterCaseAndDefaultWhenMissing)
{
    const FailSafeSettings none = FailSafeSettings::Read(folder.filePath("FSCLIENT.INI"));
    // The default log names are those the disk and circular log tests find.
    EXPECT_FALSE(none.bWriteToDisk || none.bCircularLog || none.bSilentRun || none.bDisplayMode);
    EXPECT_EQ(none.lCircularRecordSize, 1024);
    EXPECT_TRUE(none.strEmailAddress.isEmpty());

    Ini("[Log File]\nWrite To Disk=1\nCircularLog=1\n[EMAIL]\naddress=qa@example.org, dev@example.org\n"
        "[CircularLog]\nRecordSize=64\nMaxRecords=x\n[Preferences]\nDisplay Mode=1\n");
    const FailSafeSettings s = FailSafeSettings::Read(FailSafeIniPath(folder.path() + "/"));
    EXPECT_TRUE(s.bWriteToDisk && s.bCircularLog && s.bDisplayMode);
    EXPECT_EQ(s.strEmailAddress, "qa@example.org, dev@example.org");
    EXPECT_EQ(s.lCircularRecordSize, 64);
    EXPECT_EQ(s.lCircularMaxRecords, 10);
}

TEST_F(TrapTest, TheDiskLogIsErrorLogBesideTheProgramAndHoldsTheReportAndTheNote)
{
    Ini("[log file]\nWrite To Disk=1\n");
    report.note = "I was saving the design";
    RunProcedure("CFile", "Function SaveXMLFile", [] { throw TrappedError(75, "Path/file access error"); });
    const QString log = folder.filePath("error.log");
    EXPECT_EQ(LastDiskLogPath(), log);
    const QString text = FileBytes(log);
    const QStringList inOrder = {"data capture", "Error Information", "*Error 1\t",
                                 "Category File System (disk, directory or file) access",
                                 "Module    CFile", "Procedure Function SaveXMLFile", "Error No. 75",
                                 "Description Path/file access error", "Call Tree & Arguments",
                                 "CFile << Function SaveXMLFile : Trap", "1 error(s) are logged.",
                                 "User Said: I was saving the design", "data capture"};
    qsizetype at = 0;
    for (const QString& part : inOrder) {
        const qsizetype found = text.indexOf(part, at);
        ASSERT_GE(found, 0) << part.toStdString() << "\n" << text.toStdString();
        at = found + part.size();
    }
    EXPECT_FALSE(text.contains("System State Information")) << "not gathered, not logged";

    // The second report's block follows the first and lists both errors.
    RunProcedure("CFile", "Function OpenFile", [] { throw std::bad_alloc(); });
    const QString both = FileBytes(log);
    EXPECT_EQ(both.count("Error Information"), 2);
    EXPECT_TRUE(both.contains("*Error 2\t"));
    EXPECT_TRUE(both.contains("Code Pointer : modFailSafeTest.cpp:"));
}

TEST_F(TrapTest, AnEmptyLogNameIsFsErrorLogAndAnUnwritableProgramFolderFallsBackToTheDataFolder)
{
    Ini("[log file]\nWrite To Disk=1\nLog File=\n");
    RunProcedure("modMain", "Sub One", [] { throw std::bad_alloc(); });
    EXPECT_EQ(LastDiskLogPath(), folder.filePath("fsError.log"));

    // A program folder below a file cannot hold a log: the settings are read, then the
    // program's folder is one that cannot be written.
    ResetTrap();
    Ini("[log file]\nWrite To Disk=1\n");
    fsSTART();
    ASSERT_TRUE(WriteFileBytes(folder.filePath("plain"), "x"));
    SetProgramFolder(folder.filePath("plain/bin"));
    const QString dataLog =
        QDir(QStandardPaths::writableLocation(QStandardPaths::AppLocalDataLocation)).filePath("error.log");
    QFile::remove(dataLog);
    RunProcedure("modMain", "Sub Two", [] { throw std::bad_alloc(); });
    EXPECT_EQ(LastDiskLogPath(), QDir::cleanPath(dataLog));
    EXPECT_TRUE(FileBytes(dataLog).contains("Error Information"));
    EXPECT_EQ(report.shown().size(), 2);
    QFile::remove(dataLog);

    // An absolute log that cannot be written is skipped; the report is still shown.
    ResetTrap();
    SetProgramFolder(folder.path());
    Ini("[log file]\nWrite To Disk=1\nLog File=" + folder.filePath("plain/error.log").toUtf8() + "\n");
    RunProcedure("modMain", "Sub Three", [] { throw std::bad_alloc(); });
    EXPECT_TRUE(LastDiskLogPath().isEmpty());
    EXPECT_EQ(report.shown().size(), 3);
}

TEST_F(TrapTest, TwoErrorsWhileAReportIsOpenAreReportedOneAfterTheOther)
{
    Ini("[log file]\nWrite To Disk=1\n");
    QStringList events;
    report.answerInHook = true;
    report.whileOpen = [&] {
        // While the first report waits for the user, an event fails.
        QTimer::singleShot(0, [&] {
            events << "second fails";
            RunProcedure("frmMain", "Sub Timer", [] { throw TrappedError(6, "Overflow"); });
            events << "second answered";
        });
        QEventLoop loop;
        QTimer::singleShot(50, [&] {
            EXPECT_EQ(report.shown().size(), 1) << "the second report waits for the first";
            events << "first answered";
            AnswerReport(kContinue, "first note");
            loop.quit();
        });
        loop.exec();
    };
    RunProcedure("frmMain", "Sub Click", [] { throw TrappedError(53, "File not found"); });
    EXPECT_EQ(events, (QStringList{"second fails", "first answered", "second answered"}));
    ASSERT_EQ(report.shown().size(), 2);
    EXPECT_EQ(report.shown()[1].records.size(), 2);
    const QString log = FileBytes(folder.filePath("error.log"));
    EXPECT_LT(log.indexOf("User Said: first note"), log.indexOf("*Error 2\t")) << "logged in the order answered";
    EXPECT_FALSE(IsBusy());
}

TEST_F(TrapTest, AWorkerThreadsErrorIsReportedOnTheGuiThreadAndEndsItsProcedure)
{
    int result = -1;
    int cleanups = 0;
    std::atomic<bool> done = false;
    std::thread worker([&] {
        result = FailingFunction(cleanups, [] { throw std::length_error("rows"); });
        done = true;
    });
    while (!done)
        QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
    worker.join();
    EXPECT_EQ(result, 42);
    EXPECT_EQ(cleanups, 1);
    ASSERT_EQ(report.shown().size(), 1);
    EXPECT_TRUE(report.shown()[0].onGuiThread);
    EXPECT_EQ(report.shown()[0].records.last().number, 7);
}

TEST_F(TrapTest, AnEvolutionsErrorIsReportedAsTheSearchsOwn)
{
    GenerationReporter(nullptr).ReportWorkerError(std::make_exception_ptr(std::bad_alloc()));
    ASSERT_EQ(report.shown().size(), 1);
    const ErrorRecord& r = report.shown()[0].records.last();
    EXPECT_EQ(r.number, 7);  // out of memory
    EXPECT_EQ(r.module, "CCalcNWay");
    EXPECT_EQ(r.procedure, "Function GenerateQXVMatrix");
    EXPECT_FALSE(IsBusy());
}

TEST_F(TrapTest, TheReportIsMailedToTheFakeSendmailWithTheLogAttached)
{
    const QString received = folder.filePath("mail.txt");
    const QString fake = folder.filePath("sendmail");
    ASSERT_TRUE(WriteFileBytes(fake, "#!/bin/sh\necho \"$@\" > '" + received.toUtf8() + ".args'\ncat > '" + received.toUtf8() + "'\n"));
    QFile::setPermissions(fake, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    Ini("[email]\nAddress=qa@example.org\nSendmail=" + fake.toUtf8() + "\n");
    report.note = "exporting";
    RunProcedure("modMain", "Sub Export", [] { throw TrappedError(76, "Path not found"); });

    EXPECT_EQ(FileBytes(received + ".args").trimmed(), "-t");
    const QString mail = FileBytes(received);
    EXPECT_TRUE(mail.contains("To: qa@example.org\r\n"));
    EXPECT_TRUE(mail.contains("Subject: Remote Error Report From " + ExecutableName() + "\r\n"));
    EXPECT_TRUE(mail.contains("Error 76 (Path not found) occurred in " + ExecutableName() +
                              ". The attached log file has complete details."));
    EXPECT_TRUE(mail.contains("Content-Disposition: attachment; filename=\"fserror.log\""));
    const qsizetype start = mail.indexOf("base64\r\n\r\n") + 10;
    const QString encoded = mail.mid(start, mail.indexOf("--", start) - start).remove("\r\n");
    const QString attached = QString::fromUtf8(QByteArray::fromBase64(encoded.toLatin1()));
    EXPECT_TRUE(attached.contains("Error Information"));
    EXPECT_TRUE(attached.contains("User Said: exporting"));
    EXPECT_EQ(FileBytes(folder.filePath("!error!.log")), attached.toUtf8());
    EXPECT_FALSE(QFile::exists(folder.filePath("error.log"))) << "mail alone writes no disk log";

    // A mail program that fails or is missing is skipped without a word.
    SetSendmailOverride(folder.filePath("missing-sendmail"));
    RunProcedure("modMain", "Sub Export", [] { throw TrappedError(76, "Path not found"); });
    EXPECT_EQ(report.shown().size(), 2);
}

TEST_F(TrapTest, TraceRecordsGoToTheCircularLogWhichWrapsAndToTheDiskLogWhenCaptured)
{
    Ini("[Log File]\nCircularLog=1\n[CircularLog]\nRecordSize=80\nMaxRecords=3\n[log file]\nCapture To Disk=1\n");
    RunProcedure("modMain", "Sub A", [] { throw TrappedError(5, "Invalid procedure call or argument"); });
    RunProcedure("modMain", "Sub B", [] { throw TrappedError(6, "Overflow"); });
    WriteStopRecord();
    // START header, START PROGRAM, 2 records per error, the stop record: 7 records, 3 kept.
    const QString circular = folder.filePath("circ0001.log");
    EXPECT_EQ(QFileInfo(circular).size(), 3 * 80);
    const QStringList kept = CircularLog::ReadBack(circular, 80);
    ASSERT_EQ(kept.size(), 3);
    EXPECT_EQ(kept[0], "modMain << Sub B : Trap");
    EXPECT_EQ(kept[1], TraceText()[5]);
    EXPECT_TRUE(kept[1].startsWith("Runtime error 6, Overflow on line "));
    EXPECT_TRUE(kept[2].startsWith('[') && kept[2].contains("] END PROGRAM")) << kept[2].toStdString();

    const QString captured = FileBytes(folder.filePath("error.log"));
    EXPECT_TRUE(captured.startsWith(TraceText()[0] + "\nSTART PROGRAM\nmodMain << Sub A : Trap\n"));
    EXPECT_FALSE(captured.contains("Error Information")) << "reports go to disk only with Write To Disk";

    // A circular log that cannot be opened is noted in the trace.
    ResetTrap();
    Ini("[Log File]\nCircularLog=1\n[CircularLog]\nFileName=" + folder.filePath("none/c.log").toUtf8() + "\n");
    RunProcedure("modMain", "Sub C", [] { throw std::bad_alloc(); });
    EXPECT_TRUE(TraceText().contains("Could not open circular log file. "));
}

TEST_F(TrapTest, AFailureInsideTheTrapShowsTheInternalErrorAndDoesNotRecurse)
{
    struct ThrowingPresenter : ReportPresenter {
        int calls = 0;
        void present() override
        {
            ++calls;
            throw TrappedError(91, "Object variable or With block variable not set");
        }
    } broken;
    SetReportPresenter(&broken);
    messages.answer(MsgResult::Ok);
    int cleanups = 0;
    EXPECT_EQ(FailingFunction(cleanups, [] { throw std::bad_alloc(); }), 42);
    EXPECT_EQ(broken.calls, 1);
    const MessageRequest shown = takeOnlyMessage();
    EXPECT_TRUE(shown.text.startsWith("An internal error 91 has occurred in module FAILSAFE, procedure pfErr(), line "))
        << shown.text.toStdString();
    EXPECT_NE(shown.text.section(' ', -1).toInt(), 0);
    EXPECT_EQ(shown.icon, MsgIcon::Critical);
    EXPECT_FALSE(IsBusy()) << "the next error is reported";
    SetReportPresenter(&report);
    RunProcedure("modMain", "Sub Next", [] { throw std::bad_alloc(); });
    EXPECT_EQ(report.shown().size(), 1);
}
