#include "files/XmlMatrixWriter.h"

#include "files/ExportOutput.h"
#include "model/GridCellStore.h"

#include <QXmlStreamWriter>

namespace {
bool AllowedInXml(char32_t c)
{
    return c == 0x9 || c == 0xA || c == 0xD || (c >= 0x20 && c <= 0xD7FF) || (c >= 0xE000 && c <= 0xFFFD) ||
           (c >= 0x10000 && c <= 0x10FFFF);
}

bool Storable(const QString& text)
{
    for (const char32_t c : text.toUcs4())
        if (!AllowedInXml(c))
            return false;
    // (a lone surrogate comes out of toUcs4 as itself, and the ranges above refuse it)
    return true;
}

// A carriage return goes out as a reference, which a parser keeps; a bare one would come
// back as a line feed.
void WriteCellText(QXmlStreamWriter& xml, const QString& text)
{
    const QStringList parts = text.split(QLatin1Char('\r'));
    for (qsizetype i = 0; i < parts.size(); ++i) {
        if (i > 0)
            xml.writeEntityReference(QStringLiteral("#13"));
        if (!parts[i].isEmpty())
            xml.writeCharacters(parts[i]);
    }
}
}  // namespace

Result<void> XmlMatrixWriter::write(const GridCellStore& grid, QIODevice& device)
{
    for (int r = 1; r <= grid.maxRows(); ++r)
        for (int c = 1; c <= grid.maxCols(); ++c)
            if (!Storable(grid.text(c, r)))
                return Failure{
                    QStringLiteral("Row %1, column %2 holds a character that an XML file cannot hold.").arg(r).arg(c)};

    // Built in memory, then written whole: the stream writer would not go on after a write
    // cut short, and would leave no reason for it.
    QByteArray bytes;
    QXmlStreamWriter xml(&bytes);
    xml.setAutoFormatting(true);
    xml.writeStartDocument();
    xml.writeStartElement(QStringLiteral("QXV-Matrix"));
    for (int r = 1; r <= grid.maxRows(); ++r) {
        xml.writeStartElement(QStringLiteral("Row"));
        for (int c = 1; c <= grid.maxCols(); ++c) {
            const QString text = grid.text(c, r);
            if (text.isEmpty()) {
                xml.writeEmptyElement(QStringLiteral("Cell"));
            } else {
                xml.writeStartElement(QStringLiteral("Cell"));
                WriteCellText(xml, text);
                xml.writeEndElement();
            }
        }
        xml.writeEndElement();
    }
    xml.writeEndElement();
    xml.writeEndDocument();
    return WriteToDevice(device, bytes);
}
