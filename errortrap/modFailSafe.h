#pragma once
// The error trap. A procedure that meets an unexpected run-time error hands it to fsERROR with
// its module (or class, or window) and its declaration head; the trap records the error, shows
// the report (frmFAILSAFE through the report presenter), writes its logs, mails the report when
// so configured, and answers with the action the procedure takes.
//
// Procedures reach the trap through RunProcedure, which runs the body of a procedure and obeys
// the answer:
//
//     bool CFile::SaveXMLFile(const QString& path)
//     {
//         bool result = false;
//         modFailSafe::RunProcedure("CFile", "Function SaveXMLFile", [&] {
//             ...
//             result = true;
//         });
//         return result;  // after Continue: the value it had when the error came
//     }
//
// Clean-up belongs in destructors or after the RunProcedure call; both run after Continue.
// The trap may be called from any thread: a worker's error is reported on the GUI thread
// (which must keep processing events, as the progress windows do) and the worker waits.

#include "errortrap/CodeLocation.h"
#include "errortrap/Debugger.h"
#include "errortrap/ErrorMapping.h"
#include "errortrap/FailSafeSettings.h"

#include <QDateTime>
#include <QList>
#include <QString>
#include <QStringList>

#include <cstdint>
#include <utility>

namespace modFailSafe {

// The action a failing procedure takes.
using ActionCode = std::int16_t;
inline constexpr ActionCode kContinue = 0;       // leave the procedure; its result stays as it was
inline constexpr ActionCode kRetry = 1;          // run the procedure's body again
inline constexpr ActionCode kNextStatement = 2;  // no next statement after an exception: as Continue
inline constexpr ActionCode kBreak = 5;          // stop in the debugger, then run the body again

// One trapped error of the incident.
struct ErrorRecord {
    std::int32_t number = 0;
    QString description;
    QString source;  // with " (local)" or " (remote)"
    QString module;
    QString procedure;
    std::int32_t line = 0;  // 0: not known
    QString category;
    QString helpFile;
    std::int32_t helpContext = 0;
    QDateTime captured;
    QString codePosition;
};

// The trap's numbered texts.
enum class TrapText {
    ErrorInformation,
    CallTreeAndArguments,
    SystemStateInformation,
    Procedure,
    Module,
    LineNumber,
    ErrorNo,
    Description,
    Category,
    Source,
    ProgramErrorIntercepted,
    StartProgram,
    EndProgram,
    Continue,
    More,
    Yes,
    No,
    Bytes,
    TrappableErrors,
    ErrorMark,
    LineNumbersUnavailable,
    LineNumbersNotUsed,
    DataCapture,
    CircularLogUnavailable,
};
QString Text(TrapText id);
// "An internal error <number> has occurred in module FAILSAFE, procedure pfErr(), line <line>"
QString InternalErrorText(std::int32_t number, std::int32_t line);

// The trap's entry, called while an exception is being handled (in a catch block); the place
// of the call is the code position of an error that carries no line.
ActionCode fsERROR(const QString& module, const QString& procedure,
                   CodeLocation where = CodeLocation::current());
// The same for an error already taken from its exception.
ActionCode fsERROR(const QString& module, const QString& procedure, const CurrentError& error);
// Starts the trap: settings, the start records. Run by the first fsERROR.
void fsSTART();
// Writes the stop record of the trace (at the program's end; nothing when never started).
void WriteStopRecord();

// Runs a procedure's body; on an error, asks the trap and obeys. True when the body ran to its
// end, false when an error left it.
template <class Body>
bool RunProcedure(const QString& module, const QString& procedure, Body&& body,
                  CodeLocation where = CodeLocation::current());
template <class Body>
bool RunProcedure(const char* module, const char* procedure, Body&& body,
                  CodeLocation where = CodeLocation::current())
{
    return RunProcedure(QString::fromUtf8(module), QString::fromUtf8(procedure), std::forward<Body>(body), where);
}

// The report being shown, for the report window.
const QList<ErrorRecord>& Records();
QString Headline();
// The trace lines and the count line of the report.
QStringList TraceText();
// The system report, collected on the first call of an incident.
const QStringList& SystemReportLines();
bool SystemReportCollected();
// The line of a record as the report shows it: the number, or 0 with the line-less note and
// the code position.
QString LineText(const ErrorRecord& record);
// The report window's answer: the action code and the user's note. Writes the logs and the
// mail of the report and clears the busy flag.
void AnswerReport(ActionCode code, const QString& note);
bool IsBusy();
// Shows the internal-error text for a failure inside the trap or its window.
void ReportInternalError(const CurrentError& error);

// The program's name as the headline gives it, and its executable's name.
QString ProgramTitle();
QString ExecutableName();

// Where the trap looks for "FSCLIENT.INI" and puts logs without a folder; "" (the default)
// for the executable's folder.
void SetProgramFolder(const QString& folder);
QString ProgramFolder();
// The mail program used instead of the one configured; "" for the configured one.
void SetSendmailOverride(const QString& program);
// The settings read by fsSTART.
const FailSafeSettings& Settings();
// The file the last report or trace record was written to; "" when none was written.
QString LastDiskLogPath();
// Back to not started, nothing recorded.
void ResetTrap();

// Implementation of RunProcedure.
template <class Body>
bool RunProcedure(const QString& module, const QString& procedure, Body&& body, CodeLocation where)
{
    for (;;) {
        CurrentError error;
        try {
            body();
            return true;
        } catch (...) {
            error = ErrorFromException(std::current_exception(), where);
        }
        const ActionCode code = fsERROR(module, procedure, error);
        if (code == kBreak)
            ::BreakIntoDebugger();
        if (code != kRetry && code != kBreak)
            return false;
    }
}

}  // namespace modFailSafe
