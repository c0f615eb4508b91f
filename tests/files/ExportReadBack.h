#pragma once
// Reads exported files back the way the programs that open them do, so that tests compare
// texts rather than bytes; and the files and devices that writers meet before and fail on.

#include "model/GridCellStore.h"

#include <QDomDocument>
#include <QFile>
#include <QList>
#include <QProcess>
#include <QRegularExpression>
#include <QStringList>
#include <QXmlStreamReader>

using Cells = QList<QStringList>;

inline void FillGrid(GridCellStore& grid, const Cells& cells)
{
    grid.setMaxRows(int(cells.size()));
    grid.setMaxCols(cells.isEmpty() ? 0 : int(cells[0].size()));
    for (int r = 1; r <= cells.size(); ++r)
        for (int c = 1; c <= cells[r - 1].size(); ++c)
            grid.setText(c, r, cells[r - 1][c - 1]);
}

inline QByteArray FileBytes(const QString& path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

// An earlier file of that name, as the user left it.
inline bool WriteFileBytes(const QString& path, const QByteArray& bytes)
{
    QFile f(path);
    return f.open(QIODevice::WriteOnly) && f.write(bytes) == bytes.size();
}

// A device that takes the first bytes and then fails, as a full disk does.
class FailingDevice : public QIODevice {
public:
    explicit FailingDevice(qint64 capacity) : mCapacity(capacity) { open(QIODevice::WriteOnly); }

protected:
    qint64 readData(char*, qint64) override { return -1; }
    qint64 writeData(const char*, qint64 len) override
    {
        if (mWritten + len > mCapacity) {
            setErrorString(QStringLiteral("No space left on device"));
            return -1;
        }
        mWritten += len;
        return len;
    }

private:
    qint64 mCapacity;
    qint64 mWritten = 0;
};

// Delimited text as spreadsheet programs read it: a cell in double quotes may hold the
// delimiter, line breaks and doubled quotes. Rows must end with CR LF.
inline Cells ReadDelimited(const QByteArray& bytes, QChar delimiter, bool* crlf = nullptr)
{
    const QString text = QString::fromUtf8(bytes);
    Cells rows;
    QStringList row;
    QString cell;
    bool quoted = false, ok = true;
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar ch = text[i];
        if (quoted) {
            if (ch == '"' && i + 1 < text.size() && text[i + 1] == '"')
                cell += '"', ++i;
            else if (ch == '"')
                quoted = false;
            else
                cell += ch;
        } else if (ch == '"' && cell.isEmpty()) {
            quoted = true;
        } else if (ch == delimiter) {
            row << cell, cell.clear();
        } else if (ch == '\r' && i + 1 < text.size() && text[i + 1] == '\n') {
            row << cell, cell.clear();
            rows << row, row.clear();
            ++i;
        } else {
            ok = ok && ch != '\n' && ch != '\r';  // a bare line end outside quotes
            cell += ch;
        }
    }
    if (!cell.isEmpty() || !row.isEmpty()) {
        ok = false;  // the last row has no CR LF
        row << cell;
        rows << row;
    }
    if (crlf)
        *crlf = ok;
    return rows;
}

// The cells of every element named cellName within each element named rowName.
inline Cells ReadXmlRows(const QByteArray& bytes, const QString& rowName, const QStringList& cellNames,
                         QString* error = nullptr)
{
    QXmlStreamReader xml(bytes);
    Cells rows;
    while (!xml.atEnd()) {
        if (xml.readNext() != QXmlStreamReader::StartElement)
            continue;
        if (xml.name() == rowName)
            rows << QStringList();
        else if (cellNames.contains(xml.name().toString()) && !rows.isEmpty())
            rows.last() << xml.readElementText();
    }
    if (error)
        *error = xml.hasError() ? xml.errorString() : QString();
    return rows;
}

// A member of a zip archive, through unzip.
inline QByteArray Unzipped(const QString& archive, const QString& member)
{
    QProcess unzip;
    unzip.start(QStringLiteral("unzip"), {QStringLiteral("-p"), archive, member});
    unzip.waitForFinished(30000);
    return unzip.readAllStandardOutput();
}

// A workbook's texts undo "_xHHHH_" escapes as spreadsheet programs do.
inline QString Unescaped(const QString& text)
{
    static const QRegularExpression escape(QStringLiteral("_x([0-9A-Fa-f]{4})_"));
    QString out;
    qsizetype from = 0;
    for (auto it = escape.globalMatch(text); it.hasNext();) {
        const QRegularExpressionMatch m = it.next();
        out += text.mid(from, m.capturedStart() - from) + QChar(m.captured(1).toUShort(nullptr, 16));
        from = m.capturedEnd();
    }
    return out + text.mid(from);
}

struct Workbook {
    QStringList sheetNames;
    Cells cells;           // by row and column, from the first sheet
    bool allText = true;   // every cell a shared text, none a number or a formula
};

inline int ColumnIndex(const QString& reference)  // "B3" -> 1
{
    int col = 0;
    for (const QChar ch : reference) {
        if (!ch.isLetter())
            break;
        col = col * 26 + (ch.unicode() - 'A' + 1);
    }
    return col - 1;
}

inline Workbook ReadWorkbook(const QString& path)
{
    Workbook book;
    QDomDocument workbook, strings, sheet;
    workbook.setContent(Unzipped(path, QStringLiteral("xl/workbook.xml")));
    const QDomNodeList sheets = workbook.elementsByTagName(QStringLiteral("sheet"));
    for (int i = 0; i < sheets.size(); ++i)
        book.sheetNames << sheets.at(i).toElement().attribute(QStringLiteral("name"));

    // Shared strings keep whitespace-only texts only through the stream reader.
    QStringList shared;
    for (const QStringList& si : ReadXmlRows(Unzipped(path, QStringLiteral("xl/sharedStrings.xml")), "si", {"t"}))
        shared << Unescaped(si.join(QString()));

    sheet.setContent(Unzipped(path, QStringLiteral("xl/worksheets/sheet1.xml")));
    const QDomNodeList rowNodes = sheet.elementsByTagName(QStringLiteral("row"));
    for (int i = 0; i < rowNodes.size(); ++i) {
        const QDomElement rowElement = rowNodes.at(i).toElement();
        const int r = rowElement.attribute(QStringLiteral("r")).toInt() - 1;
        while (book.cells.size() <= r)
            book.cells << QStringList();
        const QDomNodeList cellNodes = rowElement.elementsByTagName(QStringLiteral("c"));
        for (int j = 0; j < cellNodes.size(); ++j) {
            const QDomElement c = cellNodes.at(j).toElement();
            const int col = ColumnIndex(c.attribute(QStringLiteral("r")));
            QStringList& row = book.cells[r];
            while (row.size() <= col)
                row << QString();
            const QDomElement value = c.firstChildElement(QStringLiteral("v"));
            if (value.isNull())
                continue;  // a blank cell
            if (c.attribute(QStringLiteral("t")) != QLatin1String("s") || !c.firstChildElement("f").isNull())
                book.allText = false;
            row[col] = shared.value(value.text().toInt());
        }
    }
    return book;
}

// Rows of a read-back table padded with empty cells to the grid's width, as a reader that
// skips blank cells leaves them short.
inline Cells Padded(Cells cells, int rows, int cols)
{
    while (cells.size() < rows)
        cells << QStringList();
    for (QStringList& row : cells)
        while (row.size() < cols)
            row << QString();
    return cells;
}
