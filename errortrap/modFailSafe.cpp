#include "errortrap/modFailSafe.h"

#include "errortrap/CircularLog.h"
#include "errortrap/ReportMail.h"
#include "errortrap/SystemReport.h"
#include "platform/MessageBox.h"
#include "platform/ReportPresenter.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLocale>
#include <QStandardPaths>
#include <QThread>

namespace modFailSafe {

namespace {

struct NumberedText {
    TrapText id;
    const char* text;
};

constexpr NumberedText kTexts[] = {
    {TrapText::ErrorInformation, "Error Information"},
    {TrapText::CallTreeAndArguments, "Call Tree & Arguments"},
    {TrapText::SystemStateInformation, "System State Information"},
    {TrapText::Procedure, "Procedure"},
    {TrapText::Module, "Module    "},
    {TrapText::LineNumber, "Line Number "},
    {TrapText::ErrorNo, "Error No. "},
    {TrapText::Description, "Description "},
    {TrapText::Category, "Category "},
    {TrapText::Source, "Source "},
    {TrapText::ProgramErrorIntercepted, "Program Error Intercepted"},
    {TrapText::StartProgram, "START PROGRAM"},
    {TrapText::EndProgram, "] END PROGRAM "},
    {TrapText::Continue, "&Continue"},
    {TrapText::More, "&More"},
    {TrapText::Yes, "YES"},
    {TrapText::No, "NO"},
    {TrapText::Bytes, " bytes"},
    {TrapText::TrappableErrors, "trappable errors"},
    {TrapText::ErrorMark, "<< ERROR >>"},
    {TrapText::LineNumbersUnavailable, " <unavailable: line numbers not used>"},
    {TrapText::LineNumbersNotUsed, " line numbers not used - Code Pointer = "},
    {TrapText::DataCapture, " data capture"},
    {TrapText::CircularLogUnavailable, "Could not open circular log file. "},
};

// The report being answered; one per fsERROR, nested when an error comes while another
// report is open.
struct OpenReport {
    bool answered = false;
    ActionCode code = kContinue;
};

struct TrapState {
    bool started = false;
    bool busy = false;
    bool inInternalFailure = false;
    FailSafeSettings settings;
    QString ownSource;
    QList<ErrorRecord> records;
    QStringList trace;
    QString headline;
    QStringList systemReport;
    bool systemReportCollected = false;
    QString lastDiskLog;
    OpenReport* open = nullptr;
};

TrapState& State()
{
    static TrapState state;
    return state;
}

QString gProgramFolder;
QString gSendmailOverride;

QString Stamp()
{
    const QDateTime now = QDateTime::currentDateTime();
    return QLocale::c().toString(now, QStringLiteral("hh:mm:ss")) + QLatin1Char(' ') +
           QLocale::c().toString(now, QStringLiteral("yyyy-MM-dd"));
}

QString HeaderLine() { return Stamp() + Text(TrapText::DataCapture); }

QString Version()
{
    const QString version = QCoreApplication::applicationVersion();
    return version.isEmpty() ? QString::fromLatin1(VANTREL_VERSION) : version;
}

// Appends the text to the file; false when it cannot be opened or written.
bool AppendTo(const QString& path, const QByteArray& text, QIODevice::OpenMode mode = QIODevice::Append)
{
    QFile file(path);
    return file.open(mode | QIODevice::WriteOnly) && file.write(text) == text.size();
}

// Writes to a file of the given name: an absolute name as it stands; a relative one in the
// program's folder or, when that cannot be written (an installed program), in the user's data
// folder. The path written to, or "" when nothing could be written.
QString WriteLogFile(const QString& name, const QByteArray& text, QIODevice::OpenMode mode = QIODevice::Append)
{
    if (QFileInfo(name).isAbsolute())
        return AppendTo(name, text, mode) ? name : QString();
    const QString beside = QDir(ProgramFolder()).filePath(name);
    if (AppendTo(beside, text, mode))
        return QDir::cleanPath(beside);
    const QString data = QStandardPaths::writableLocation(QStandardPaths::AppLocalDataLocation);
    if (data.isEmpty() || !QDir().mkpath(QFileInfo(QDir(data).filePath(name)).absolutePath()))
        return {};
    const QString fallback = QDir(data).filePath(name);
    return AppendTo(fallback, text, mode) ? QDir::cleanPath(fallback) : QString();
}

QString DiskLogName()
{
    const QString name = State().settings.strLogFile;
    return name.isEmpty() ? QStringLiteral("fsError.log") : name;
}

QString CircularLogPath()
{
    const QString name = State().settings.strCircularFileName;
    return QFileInfo(name).isAbsolute() ? name : QDir(ProgramFolder()).filePath(name);
}

// A trace record: kept for the report, and written to the circular log and, with
// "Capture To Disk", to the disk log.
void AddTrace(const QString& line)
{
    TrapState& s = State();
    s.trace << line;
    if (s.settings.bCircularLog) {
        CircularLog circular(CircularLogPath(), s.settings.lCircularRecordSize, s.settings.lCircularMaxRecords);
        if (!circular.Write(line))
            s.trace << Text(TrapText::CircularLogUnavailable);
    }
    if (s.settings.bCaptureToDisk) {
        const QString written = WriteLogFile(DiskLogName(), (line + QLatin1Char('\n')).toUtf8());
        if (!written.isEmpty())
            s.lastDiskLog = written;
    }
}

// The log block of the report as answered.
QByteArray LogBlock(const QString& note)
{
    const TrapState& s = State();
    QStringList b;
    b << HeaderLine() << QStringLiteral("*");
    b << QDir::toNativeSeparators(QCoreApplication::applicationDirPath()) + QLatin1Char(' ') + ExecutableName() +
             QLatin1Char(' ') + Version();
    b << Text(TrapText::ErrorInformation);
    for (qsizetype i = 0; i < s.records.size(); ++i) {
        const ErrorRecord& r = s.records[i];
        b << QStringLiteral("*Error %1\t").arg(i + 1);
        b << Text(TrapText::Category) + r.category;
        b << Text(TrapText::Source) + r.source;
        b << Text(TrapText::Module) + r.module;
        b << Text(TrapText::Procedure) + QLatin1Char(' ') + r.procedure;
        b << Text(TrapText::LineNumber) + QString::number(r.line);
        b << Text(TrapText::ErrorNo) + QString::number(r.number);
        b << Text(TrapText::Description) + r.description;
        if (r.line == 0)
            b << QStringLiteral("Code Pointer : ") + r.codePosition;
    }
    b << Text(TrapText::CallTreeAndArguments);
    b << TraceText();
    if (s.systemReportCollected) {
        b << Text(TrapText::SystemStateInformation);
        b << s.systemReport;
    }
    if (!note.isEmpty())
        b << QStringLiteral("User Said: ") + note;
    b << HeaderLine();
    return (b.join(QLatin1Char('\n')) + QLatin1Char('\n')).toUtf8();
}

void MailReport(const QByteArray& block)
{
    const TrapState& s = State();
    if (s.records.isEmpty())
        return;
    // The attachment is the block as written to "!error!.log" beside the disk log.
    if (WriteLogFile(QStringLiteral("!error!.log"), block, QIODevice::Truncate).isEmpty())
        return;
    const ErrorRecord& last = s.records.last();
    const QByteArray mime =
        ComposeReportMail({s.settings.strEmailAddress, ExecutableName(), last.number, last.description, block});
    const QString sendmail = gSendmailOverride.isEmpty() ? s.settings.strSendmail : gSendmailOverride;
    SendReportMail(sendmail, mime);  // a failed mail is not reported
}

// Mail and disk log of an answered report.
void FinishReport(const QString& note)
{
    const TrapState& s = State();
    if (!s.settings.bWriteToDisk && s.settings.strEmailAddress.isEmpty())
        return;
    const QByteArray block = LogBlock(note);
    if (!s.settings.strEmailAddress.isEmpty())
        MailReport(block);
    if (s.settings.bWriteToDisk) {
        const QString written = WriteLogFile(DiskLogName(), block);
        if (!written.isEmpty())
            State().lastDiskLog = written;
    }
}

void WaitWhileBusy()
{
    while (State().busy) {
        QCoreApplication::processEvents(QEventLoop::AllEvents, 50);
        QThread::msleep(2);
    }
}

ActionCode Report(const QString& module, const QString& procedure, const CurrentError& error)
{
    WaitWhileBusy();
    TrapState& s = State();
    s.busy = true;
    if (!s.started)
        fsSTART();

    const QString raw = error.source.isEmpty() ? s.ownSource : error.source;
    const bool local = raw == s.ownSource;
    ErrorRecord r;
    r.number = error.number;
    r.description = error.description;
    r.source = raw + (local ? QStringLiteral(" (local)") : QStringLiteral(" (remote)"));
    r.module = module;
    r.procedure = procedure;
    r.line = error.line;
    r.category = ErrorCategory(error.number);
    r.helpFile = error.helpFile;
    r.helpContext = error.helpContext;
    r.captured = QDateTime::currentDateTime();
    r.codePosition = error.codePosition;
    s.records << r;

    s.headline = QStringLiteral("An unexpected '") + r.description +
                 (local ? QStringLiteral("' error occurred in ") : QStringLiteral("' error occurred in a component used by ")) +
                 ProgramTitle() + QLatin1Char('.');
    AddTrace(module + QStringLiteral(" << ") + procedure + QStringLiteral(" : Trap"));
    AddTrace(QStringLiteral("Runtime error %1, %2 on line").arg(r.number).arg(r.description) +
             (r.line ? QLatin1Char(' ') + QString::number(r.line) : Text(TrapText::LineNumbersUnavailable)));

    // Each report gathers the system report afresh, when asked for.
    s.systemReport.clear();
    s.systemReportCollected = false;
    if (s.settings.bDisplayMode)
        SystemReportLines();

    OpenReport report;
    OpenReport* outer = s.open;
    s.open = &report;
    struct Restore {
        OpenReport* outer;
        ~Restore() { State().open = outer; }
    } restore{outer};
    ReportPresenter* presenter = CurrentReportPresenter();
    if (!s.settings.bSilentRun && presenter)
        presenter->present();
    if (!report.answered)
        AnswerReport(kContinue, {});
    return report.code;
}

}  // namespace

QString Text(TrapText id)
{
    for (const NumberedText& t : kTexts) {
        if (t.id == id)
            return QString::fromLatin1(t.text);
    }
    return {};
}

QString InternalErrorText(std::int32_t number, std::int32_t line)
{
    return QStringLiteral("An internal error %1 has occurred in module FAILSAFE, procedure pfErr(), line %2")
        .arg(number)
        .arg(line);
}

ActionCode fsERROR(const QString& module, const QString& procedure, CodeLocation where)
{
    return fsERROR(module, procedure, ErrorFromException(std::current_exception(), where));
}

ActionCode fsERROR(const QString& module, const QString& procedure, const CurrentError& error)
{
    QCoreApplication* app = QCoreApplication::instance();
    if (app && QThread::currentThread() != app->thread()) {
        // Reported on the GUI thread; this thread waits for the answer.
        ActionCode code = kContinue;
        QMetaObject::invokeMethod(
            app, [&] { code = fsERROR(module, procedure, error); }, Qt::BlockingQueuedConnection);
        return code;
    }
    TrapState& s = State();
    if (s.inInternalFailure)
        return kContinue;
    try {
        return Report(module, procedure, error);
    } catch (...) {
        ReportInternalError(ErrorFromException(std::current_exception(), CodeLocation::current()));
        s.busy = false;
        return kContinue;
    }
}

void ReportInternalError(const CurrentError& error)
{
    TrapState& s = State();
    if (s.inInternalFailure)
        return;
    s.inInternalFailure = true;
    try {
        ShowMessage(InternalErrorText(error.number, error.line), MsgButtons::Ok, MsgIcon::Critical);
    } catch (...) {
    }
    s.inInternalFailure = false;
}

void fsSTART()
{
    TrapState& s = State();
    s.settings = FailSafeSettings::Read(FailSafeIniPath(ProgramFolder()));
    s.ownSource = ExecutableName();
    s.started = true;
    AddTrace(HeaderLine());
    AddTrace(Text(TrapText::StartProgram));
}

void WriteStopRecord()
{
    if (State().started)
        AddTrace(QLatin1Char('[') + Stamp() + Text(TrapText::EndProgram));
}

const QList<ErrorRecord>& Records() { return State().records; }
QString Headline() { return State().headline; }

QStringList TraceText()
{
    QStringList lines = State().trace;
    lines << QStringLiteral("%1 error(s) are logged.").arg(State().records.size());
    return lines;
}

const QStringList& SystemReportLines()
{
    TrapState& s = State();
    if (!s.systemReportCollected) {
        s.systemReport = CollectSystemReport();
        s.systemReportCollected = true;
    }
    return s.systemReport;
}

bool SystemReportCollected() { return State().systemReportCollected; }

QString LineText(const ErrorRecord& record)
{
    if (record.line != 0)
        return QString::number(record.line);
    return QStringLiteral("0") + Text(TrapText::LineNumbersNotUsed) + record.codePosition;
}

void AnswerReport(ActionCode code, const QString& note)
{
    TrapState& s = State();
    if (!s.open || s.open->answered)
        return;
    s.open->answered = true;
    s.open->code = code;
    FinishReport(note);
    s.busy = false;
}

bool IsBusy() { return State().busy; }

QString ProgramTitle()
{
    const QString name = QCoreApplication::applicationName();
    return name.isEmpty() ? ExecutableName() : name;
}

QString ExecutableName()
{
    const QString path = QCoreApplication::instance() ? QCoreApplication::applicationFilePath() : QString();
    const QString name = QFileInfo(path).fileName();
    return name.isEmpty() ? QStringLiteral("vantrel") : name;
}

void SetProgramFolder(const QString& folder) { gProgramFolder = folder; }

QString ProgramFolder()
{
    return gProgramFolder.isEmpty() ? QCoreApplication::applicationDirPath() : gProgramFolder;
}

void SetSendmailOverride(const QString& program) { gSendmailOverride = program; }
const FailSafeSettings& Settings() { return State().settings; }
QString LastDiskLogPath() { return State().lastDiskLog; }

void ResetTrap() { State() = TrapState{}; }

}  // namespace modFailSafe
