#pragma once
// The five export formats of the Test Cases matrix, numbered as the Export commands hand them
// on, with what their save dialogs offer.

#include <QString>

#include <optional>

// The export tools' IDs, the object names of their actions; the texts never change.
namespace ToolId {
inline constexpr char Excel[] = "ID_Excel";
inline constexpr char XML[] = "ID_XML";
inline constexpr char HTML[] = "ID_HTML";
inline constexpr char TabDeliminated[] = "ID_TabDeliminated";
inline constexpr char CommaDeliminated[] = "ID_CommaDeliminated";
}  // namespace ToolId

enum class ExportKind { Excel = 0, Xml = 1, Html = 2, TabDelimited = 3, CommaDelimited = 4 };

struct ExportKindInfo {
    ExportKind kind;
    const char* toolId;             // the command that exports in this format
    const char* filterDescription;  // the save dialog's single filter entry ...
    const char* filterPattern;      // ... and its pattern
    const char* extension;          // added to a name typed without one; no dot
    const char* formatName;         // the name vantrel-cli's --format takes
};

inline constexpr int kNumExportKinds = 5;

const ExportKindInfo& ExportKindInfoOf(ExportKind kind);
// The dialog filter as one string, "Excel Files (*.xlsx)".
QString ExportFilter(ExportKind kind);
// The kind whose format name is the text ("xlsx", "xml", "html", "tsv", "csv"); none otherwise.
std::optional<ExportKind> ExportKindFromFormatName(const QString& name);
