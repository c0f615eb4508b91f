#include "files/ExportKind.h"

#include "files/DelimitedMatrixWriter.h"
#include "files/HtmlMatrixWriter.h"
#include "files/WorkbookMatrixWriter.h"
#include "files/XmlMatrixWriter.h"

#include <iterator>

namespace {
Result<void> WriteTabDelimited(const GridCellStore& grid, QIODevice& device)
{
    return DelimitedMatrixWriter(TextFormat::Tsv).write(grid, device);
}

Result<void> WriteCommaDelimited(const GridCellStore& grid, QIODevice& device)
{
    return DelimitedMatrixWriter(TextFormat::Csv).write(grid, device);
}

constexpr ExportKindInfo kKinds[] = {
    {ExportKind::Excel, ToolId::Excel, "&Excel...", 2, "Excel Files (*.xlsx)", "xlsx", "xlsx",
     &WorkbookMatrixWriter::write},
    {ExportKind::Xml, ToolId::XML, "&XML...", 0, "XML Files (*.xml)", "xml", "xml", &XmlMatrixWriter::write},
    {ExportKind::Html, ToolId::HTML, "&HTML...", 1, "HTML Files (*.html)", "html", "html",
     &HtmlMatrixWriter::write},
    {ExportKind::CommaDelimited, ToolId::CommaDeliminated, "&Comma Delimitated...", 4, "Text Files (*.csv)",
     "csv", "csv", &WriteCommaDelimited},
    {ExportKind::TabDelimited, ToolId::TabDeliminated, "&Tab Delimitated...", 3, "Text Files (*.txt)", "txt",
     "tsv", &WriteTabDelimited},
};

// Every kind has one row, and the rows fill the menu's places 0..kNumExportKinds-1 once each.
constexpr bool EachKindAndPlaceOnce()
{
    if (std::size(kKinds) != kNumExportKinds)
        return false;
    for (int i = 0; i < kNumExportKinds; ++i) {
        int kinds = 0;
        int places = 0;
        for (const ExportKindInfo& info : kKinds) {
            kinds += int(info.kind) == i;
            places += info.menuPosition == i;
        }
        if (kinds != 1 || places != 1)
            return false;
    }
    return true;
}
static_assert(EachKindAndPlaceOnce());
}  // namespace

std::span<const ExportKindInfo> ExportKinds() { return kKinds; }

const ExportKindInfo& ExportKindInfoOf(ExportKind kind)
{
    for (const ExportKindInfo& info : kKinds)
        if (info.kind == kind)
            return info;
    return kKinds[0];  // unreachable: every kind has its row
}

QString ExportFilter(ExportKind kind) { return QString::fromLatin1(ExportKindInfoOf(kind).filterDescription); }

std::optional<ExportKind> ExportKindFromFormatName(const QString& name)
{
    for (const ExportKindInfo& info : kKinds)
        if (name == QLatin1String(info.formatName))
            return info.kind;
    return std::nullopt;
}

QStringList ExportFormatNames()
{
    QStringList names;
    for (const ExportKindInfo& info : kKinds)
        names.append(QString::fromLatin1(info.formatName));
    return names;
}
