#pragma once
// Opening a file with the application the desktop associates with its type.

#include "platform/Result.h"

#include <QString>

#include <cstdint>

class QObject;

namespace modShell {

// Why an open failed, in the program's error numbering.
struct ShellError {
    std::int32_t number = 0;
    QString description;
    QString source;  // the executable's name and ".GShell"
};

// The first error number reserved for the program's own errors.
inline constexpr std::int32_t kErrorBase = -2147221504;

// Shell results, as the open reports them: 0 to 32 are failures, above 32 success.
inline constexpr int kShellFileNotFound = 2;
inline constexpr int kShellPathNotFound = 3;
inline constexpr int kShellAccessDenied = 5;
inline constexpr int kShellNoAssociation = 31;
inline constexpr int kShellOpened = 33;

// Opens the file. A name that holds ".EXE" in any letter case is shown hidden (show command 0);
// without parameters and folder the file is opened in a normal window (show command 1),
// whatever was asked. A failure carries the error of its shell result: a missing folder is
// shell result 3, a missing file 2, an unreadable file 5, and a file that the desktop does not
// take 31, as the desktop says no more than whether it opened the file.
Result<void, ShellError> GShell(const QString& file, int show, const QString& parameters, const QString& folder,
                                const QString& verb, QObject* owner);

// The error number and text for a failing shell result (0 to 32).
ShellError ShellErrorFor(int shellResult);

}  // namespace modShell
