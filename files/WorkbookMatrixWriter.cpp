#include "files/WorkbookMatrixWriter.h"

#include "files/ExportOutput.h"
#include "files/StandardErrorCapture.h"
#include "model/GridCellStore.h"

#include <QFile>
#include <QRegularExpression>
#include <QTemporaryDir>

#include <xlsxwriter.h>

#include <algorithm>
#include <memory>
#include <vector>

namespace {
constexpr int kMaxCellText = 32767;  // the longest text a workbook cell holds
constexpr double kMaxColumnWidth = 60;

QString TooLong(int row, int col)
{
    return QStringLiteral("Row %1, column %2 holds more than %3 characters, more than a workbook cell holds.")
        .arg(row)
        .arg(col)
        .arg(kMaxCellText);
}

// A workbook reads "_xHHHH_" in a text as the character HHHH, and the library writes control
// characters that way; a text that holds such a sequence itself gets its underscore escaped.
QByteArray CellText(const QString& text)
{
    static const QRegularExpression kEscapeLike(QStringLiteral("_(?=x[0-9A-Fa-f]{4}_)"));
    if (!text.contains(QLatin1String("_x")))
        return text.toUtf8();
    QString escaped = text;
    escaped.replace(kEscapeLike, QStringLiteral("_x005F_"));
    return escaped.toUtf8();
}

struct WorkbookCloser {
    void operator()(lxw_workbook* workbook) const { workbook_close(workbook); }
};

// The library's own words for an error, without their closing full stop.
QString LibraryReason(lxw_error error)
{
    QString reason = QString::fromUtf8(lxw_strerror(error)).trimmed();
    while (reason.endsWith(QLatin1Char('.')))
        reason.chop(1);
    return reason;
}

// Why the workbook could not be written: the system's reason from the library's lines on
// standard error ("System error = No space left on device") when they give one, else the
// library's words for its error.
QString CloseFailureReason(lxw_error error, const QByteArray& libraryLines)
{
    static const QRegularExpression kSystemError(QStringLiteral("System error = ([^\\n]+)"));
    const QRegularExpressionMatch system = kSystemError.match(QString::fromLocal8Bit(libraryLines));
    return system.hasMatch() ? system.captured(1).trimmed() : LibraryReason(error);
}

// Builds the workbook in the named file.

Result<void> WriteWorkbookFile(const GridCellStore& grid, const QString& path)
{
    const int rows = grid.maxRows(), cols = grid.maxCols();
    if (rows > LXW_ROW_MAX || cols > LXW_COL_MAX)
        return Failure{QStringLiteral("The matrix has %1 rows and %2 columns; a workbook sheet holds at most %3 rows "
                                      "and %4 columns.")
                           .arg(rows)
                           .arg(cols)
                           .arg(LXW_ROW_MAX)
                           .arg(LXW_COL_MAX)};
    for (int r = 1; r <= rows; ++r)
        for (int c = 1; c <= cols; ++c)
            if (grid.text(c, r).size() > kMaxCellText)
                return Failure{TooLong(r, c)};

    const QByteArray fileName = QFile::encodeName(path);
    std::unique_ptr<lxw_workbook, WorkbookCloser> workbook(workbook_new(fileName.constData()));
    if (!workbook)
        return Failure{QStringLiteral("The workbook could not be started.")};
    lxw_worksheet* sheet = workbook_add_worksheet(workbook.get(), "QXV Matrix");
    lxw_format* text = workbook_add_format(workbook.get());
    format_set_num_format(text, "@");
    lxw_format* names = workbook_add_format(workbook.get());
    format_set_num_format(names, "@");
    format_set_bold(names);

    std::vector<double> widths(std::size_t(cols), 8.0);
    for (int r = 1; r <= rows; ++r)
        for (int c = 1; c <= cols; ++c) {
            const QString cell = grid.text(c, r);
            lxw_error error = worksheet_write_string(sheet, lxw_row_t(r - 1), lxw_col_t(c - 1),
                                                     CellText(cell).constData(), r == 1 ? names : text);
            if (error != LXW_NO_ERROR)
                return Failure{error == LXW_ERROR_MAX_STRING_LENGTH_EXCEEDED ? TooLong(r, c)
                                                                             : LibraryReason(error) + QLatin1Char('.')};
            double& width = widths[std::size_t(c - 1)];
            width = std::min(kMaxColumnWidth, std::max(width, double(cell.size()) + 2));
        }
    for (int c = 1; c <= cols; ++c)
        worksheet_set_column(sheet, lxw_col_t(c - 1), lxw_col_t(c - 1), widths[std::size_t(c - 1)], text);
    if (rows > 1)
        worksheet_freeze_panes(sheet, 1, 0);

    // Closing assembles and writes the file; the library says on standard error why that failed.
    StandardErrorCapture libraryLines;
    const lxw_error closed = workbook_close(workbook.release());
    const QByteArray said = libraryLines.Finish();
    if (closed != LXW_NO_ERROR)
        return Failure{QStringLiteral("The workbook could not be written: %1.").arg(CloseFailureReason(closed, said))};
    return {};
}
}  // namespace

Result<void> WorkbookMatrixWriter::write(const GridCellStore& grid, QIODevice& device)
{
    // The library writes only to a named file: build the workbook in a private folder and
    // hand its bytes to the device.
    QTemporaryDir scratch;
    if (!scratch.isValid())
        return Failure{QStringLiteral("No temporary folder could be made: %1.").arg(scratch.errorString())};
    const QString path = scratch.filePath(QStringLiteral("matrix.xlsx"));
    if (Result<void> made = WriteWorkbookFile(grid, path); !made)
        return made;
    QFile built(path);
    if (!built.open(QIODevice::ReadOnly))
        return Failure{QStringLiteral("The workbook could not be read back: %1.").arg(built.errorString())};
    return WriteToDevice(device, built.readAll());
}
