#include "errortrap/ErrorMapping.h"

#include "errortrap/TrappedError.h"

#include <QFileInfo>

#include <filesystem>
#include <functional>
#include <memory>
#include <new>
#include <system_error>
#include <typeinfo>
#include <variant>

namespace {

struct NumberedText {
    std::int32_t number;
    const char* text;
};

constexpr NumberedText kRuntimeTexts[] = {
    {RuntimeError::InvalidCall, "Invalid procedure call or argument"},
    {RuntimeError::Overflow, "Overflow"},
    {RuntimeError::OutOfMemory, "Out of memory"},
    {RuntimeError::SubscriptOutOfRange, "Subscript out of range"},
    {RuntimeError::TypeMismatch, "Type mismatch"},
    {RuntimeError::Internal, "Internal error"},
    {RuntimeError::FileNotFound, "File not found"},
    {RuntimeError::DeviceIO, "Device I/O error"},
    {RuntimeError::FileAlreadyExists, "File already exists"},
    {RuntimeError::DiskFull, "Disk full"},
    {RuntimeError::TooManyFiles, "Too many files"},
    {RuntimeError::PathFileAccess, "Path/file access error"},
    {RuntimeError::PathNotFound, "Path not found"},
    {RuntimeError::ObjectNotSet, "Object variable or With block variable not set"},
};

struct CategoryRange {
    std::int32_t first;
    std::int32_t last;
    const char* text;
};

constexpr const char* kGeneral = "General run-time";
constexpr const char* kFileSystem = "File System (disk, directory or file) access";

// First matching range wins.
constexpr CategoryRange kCategories[] = {
    {3, 46, kGeneral},
    {47, 49, kFileSystem},
    {50, 51, kGeneral},
    {52, 69, kFileSystem},
    {70, 70, "Network "},
    {71, 76, kFileSystem},
    {91, 94, "Non-initialzed object or variant"},
    {280, 297, "Dynamic Data Exchange protocol"},
    {320, 345, "Form, control, property or object value"},
    {360, 366, "Form or MDI child form"},
    {380, 394, "Form, control, property or object value"},
    {400, 402, "Form or MDI child form"},
    {419, 451, "Object reference"},
    {452, 453, kFileSystem},
    {454, 455, kGeneral},
    {460, 461, "Clipboard access or format"},
    {480, 481, "Picturebox or image control"},
    {482, 486, "Printer access"},
    {735, 746, "Design-time"},
    {3000, 3999, "Data Access"},
    {30000, 30017, "Grid control"},
    {31001, 31039, "OLE Container Control"},
    {32751, 32766, "Common Dialog"},
    {35600, 35618, "Windows 95 Custom Control"},
    {40000, 40059, "Remote Data Object (RDO)"},
    {40500, 40516, "Remote Data Control (RDC)"},
};

CurrentError Numbered(std::int32_t number, const QString& description = {})
{
    CurrentError error;
    error.number = number;
    error.description = description.isEmpty() ? RuntimeErrorText(number) : description;
    return error;
}

// The run-time error for an operating-system error code.
std::int32_t NumberForSystemError(const std::error_code& code, const std::filesystem::path& path)
{
    const std::error_condition c = code.default_error_condition();
    if (c == std::errc::no_such_file_or_directory) {
        const std::filesystem::path parent = path.parent_path();
        std::error_code ignored;
        if (!parent.empty() && !std::filesystem::is_directory(parent, ignored))
            return RuntimeError::PathNotFound;
        return RuntimeError::FileNotFound;
    }
    if (c == std::errc::not_a_directory)
        return RuntimeError::PathNotFound;
    if (c == std::errc::permission_denied || c == std::errc::operation_not_permitted ||
        c == std::errc::read_only_file_system || c == std::errc::is_a_directory ||
        c == std::errc::device_or_resource_busy || c == std::errc::text_file_busy)
        return RuntimeError::PathFileAccess;
    if (c == std::errc::no_space_on_device)
        return RuntimeError::DiskFull;
    if (c == std::errc::file_exists)
        return RuntimeError::FileAlreadyExists;
    if (c == std::errc::too_many_files_open || c == std::errc::too_many_files_open_in_system)
        return RuntimeError::TooManyFiles;
    if (c == std::errc::io_error)
        return RuntimeError::DeviceIO;
    if (c == std::errc::not_enough_memory)
        return RuntimeError::OutOfMemory;
    if (c == std::errc::invalid_argument)
        return RuntimeError::InvalidCall;
    return 0;
}

CurrentError FromLibrary(std::exception_ptr error)
{
    try {
        std::rethrow_exception(error);
    } catch (const std::bad_alloc&) {
        return Numbered(RuntimeError::OutOfMemory);
    } catch (const std::filesystem::filesystem_error& e) {
        const std::int32_t number = NumberForSystemError(e.code(), e.path1());
        return number ? Numbered(number) : Numbered(RuntimeError::Internal, QString::fromLocal8Bit(e.what()));
    } catch (const std::system_error& e) {
        const std::int32_t number = NumberForSystemError(e.code(), {});
        return number ? Numbered(number) : Numbered(RuntimeError::Internal, QString::fromLocal8Bit(e.what()));
    } catch (const std::out_of_range&) {
        return Numbered(RuntimeError::SubscriptOutOfRange);
    } catch (const std::length_error&) {
        return Numbered(RuntimeError::OutOfMemory);
    } catch (const std::invalid_argument&) {
        return Numbered(RuntimeError::InvalidCall);
    } catch (const std::domain_error&) {
        return Numbered(RuntimeError::InvalidCall);
    } catch (const std::overflow_error&) {
        return Numbered(RuntimeError::Overflow);
    } catch (const std::underflow_error&) {
        return Numbered(RuntimeError::Overflow);
    } catch (const std::range_error&) {
        return Numbered(RuntimeError::Overflow);
    } catch (const std::bad_cast&) {
        return Numbered(RuntimeError::TypeMismatch);
    } catch (const std::bad_variant_access&) {
        return Numbered(RuntimeError::TypeMismatch);
    } catch (const std::bad_function_call&) {
        return Numbered(RuntimeError::ObjectNotSet);
    } catch (const std::bad_weak_ptr&) {
        return Numbered(RuntimeError::ObjectNotSet);
    } catch (const std::exception& e) {
        return Numbered(RuntimeError::Internal, QString::fromLocal8Bit(e.what()));
    } catch (...) {
        return Numbered(RuntimeError::Internal);
    }
}

}  // namespace

CurrentError ErrorFromException(std::exception_ptr error, const CodeLocation& boundary)
{
    CurrentError result;
    try {
        std::rethrow_exception(error);
    } catch (const TrappedError& e) {
        result.number = e.number();
        result.description = e.description();
        result.source = e.source();
        result.line = static_cast<std::int32_t>(e.where().line());
        result.helpFile = e.helpFile();
        result.helpContext = e.helpContext();
        return result;
    } catch (...) {
        result = FromLibrary(error);
    }
    result.codePosition = QStringLiteral("%1:%2").arg(QFileInfo(QString::fromUtf8(boundary.file_name())).fileName())
                              .arg(boundary.line());
    return result;
}

QString RuntimeErrorText(std::int32_t number)
{
    for (const NumberedText& t : kRuntimeTexts) {
        if (t.number == number)
            return QString::fromLatin1(t.text);
    }
    return {};
}

QString ErrorCategory(std::int32_t number)
{
    for (const CategoryRange& r : kCategories) {
        if (number >= r.first && number <= r.last)
            return QString::fromLatin1(r.text);
    }
    return QStringLiteral("Unknown Error Class");
}
