#pragma once
// What is known about an error when it reaches the trap, taken from the exception that
// carried it: the program's own errors keep their number, text, source and line; what the
// C++ library raises is given the run-time error number and text that fit it.

#include "errortrap/CodeLocation.h"

#include <QString>

#include <cstdint>
#include <exception>

struct CurrentError {
    std::int32_t number = 0;
    QString description;
    QString source;              // "" for the program itself
    std::int32_t line = 0;       // 0: the raising line is not known
    QString codePosition;        // where the error left the procedure, when the line is not known
    QString helpFile;
    std::int32_t helpContext = 0;
};

// The error an exception stands for. The boundary is the procedure's own place, reported as
// the code position of errors that carry no line.
CurrentError ErrorFromException(std::exception_ptr error, const CodeLocation& boundary);

// The run-time errors the C++ library's exceptions are mapped to.
namespace RuntimeError {
inline constexpr std::int32_t InvalidCall = 5;
inline constexpr std::int32_t Overflow = 6;
inline constexpr std::int32_t OutOfMemory = 7;
inline constexpr std::int32_t SubscriptOutOfRange = 9;
inline constexpr std::int32_t TypeMismatch = 13;
inline constexpr std::int32_t Internal = 51;
inline constexpr std::int32_t FileNotFound = 53;
inline constexpr std::int32_t DeviceIO = 57;
inline constexpr std::int32_t FileAlreadyExists = 58;
inline constexpr std::int32_t DiskFull = 61;
inline constexpr std::int32_t TooManyFiles = 67;
inline constexpr std::int32_t PathFileAccess = 75;
inline constexpr std::int32_t PathNotFound = 76;
inline constexpr std::int32_t ObjectNotSet = 91;
}  // namespace RuntimeError

// The text of a run-time error number; "" for a number without one.
QString RuntimeErrorText(std::int32_t number);

// The category of an error number; "Unknown Error Class" for a number in no range.
QString ErrorCategory(std::int32_t number);
