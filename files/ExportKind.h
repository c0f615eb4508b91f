#pragma once
// The export formats of the Test Cases matrix, one row each: the command that exports in it,
// its place in the Export menu, what its save dialog offers, the name vantrel-cli's --format
// takes and its writer. A new format is a writer and a row here.

#include "platform/Result.h"

#include <QString>
#include <QStringList>

#include <optional>
#include <span>

class GridCellStore;
class QIODevice;

// The export tools' IDs, the object names of their actions; the texts never change.
namespace ToolId {
inline constexpr char Excel[] = "ID_Excel";
inline constexpr char XML[] = "ID_XML";
inline constexpr char HTML[] = "ID_HTML";
inline constexpr char TabDeliminated[] = "ID_TabDeliminated";
inline constexpr char CommaDeliminated[] = "ID_CommaDeliminated";
}  // namespace ToolId

// Numbered as the Export commands hand them on.
enum class ExportKind { Excel = 0, Xml = 1, Html = 2, TabDelimited = 3, CommaDelimited = 4 };

// Writes the grid (rows 1..maxRows, columns 1..maxCols) to the device in one format. A failure
// says why when the grid cannot be put in that format or the device refuses the bytes.
using MatrixWriter = Result<void> (*)(const GridCellStore& grid, QIODevice& device);

struct ExportKindInfo {
    ExportKind kind;
    const char* toolId;             // the command that exports in this format
    const char* caption;            // that command's caption, with its access key
    int menuPosition;               // its place in the Export menu, 0 at the top
    const char* filterDescription;  // the save dialog's single filter entry
    const char* extension;          // added to a name typed without one; no dot
    const char* formatName;         // the name vantrel-cli's --format takes
    MatrixWriter write;
};

inline constexpr int kNumExportKinds = 5;

// Every format, in the order vantrel-cli lists their names.
std::span<const ExportKindInfo> ExportKinds();
const ExportKindInfo& ExportKindInfoOf(ExportKind kind);
// The dialog filter as one string, "Excel Files (*.xlsx)".
QString ExportFilter(ExportKind kind);
// The kind whose format name is the text ("xlsx", "xml", "html", "tsv", "csv"); none otherwise.
std::optional<ExportKind> ExportKindFromFormatName(const QString& name);
// The format names, in the order of ExportKinds().
QStringList ExportFormatNames();
