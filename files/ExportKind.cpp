#include "files/ExportKind.h"

namespace {
constexpr ExportKindInfo kKinds[kNumExportKinds] = {
    {ExportKind::Excel, ToolId::Excel, "Excel Files (*.xlsx)", "*.xlsx", "xlsx", "xlsx"},
    {ExportKind::Xml, ToolId::XML, "XML Files (*.xml)", "*.xml", "xml", "xml"},
    {ExportKind::Html, ToolId::HTML, "HTML Files (*.html)", "*.html", "html", "html"},
    {ExportKind::TabDelimited, ToolId::TabDeliminated, "Text Files (*.txt)", "*.txt", "txt", "tsv"},
    {ExportKind::CommaDelimited, ToolId::CommaDeliminated, "Text Files (*.csv)", "*.csv", "csv", "csv"},
};
}  // namespace

const ExportKindInfo& ExportKindInfoOf(ExportKind kind) { return kKinds[int(kind)]; }

QString ExportFilter(ExportKind kind) { return QString::fromLatin1(ExportKindInfoOf(kind).filterDescription); }

std::optional<ExportKind> ExportKindFromFormatName(const QString& name)
{
    for (const ExportKindInfo& info : kKinds)
        if (name == QLatin1String(info.formatName))
            return info.kind;
    return std::nullopt;
}
