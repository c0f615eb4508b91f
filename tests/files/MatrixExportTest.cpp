// Every export format read back as the programs that open it would read it: the same texts,
// however awkward, the factor names first; and a failed export leaves nothing behind.
#include "files/MatrixExport.h"
#include "model/GridCellStore.h"
#include "tests/support/SeamTest.h"
#include "tests/support/TestFiles.h"
#include "tests/support/TestTables.h"

#include <QBuffer>
#include <QDir>
#include <QDomDocument>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QXmlStreamReader>

namespace {

using TestTables::FillGrid;

// Each format read back the way the programs that open it do, so that tests compare texts
// rather than bytes. Delimited text as spreadsheet programs read it: a cell in double quotes may hold the
// delimiter, line breaks and doubled quotes. Rows must end with CR LF.
Cells ReadDelimited(const QByteArray& bytes, QChar delimiter, bool* crlf = nullptr)
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
Cells ReadXmlRows(const QByteArray& bytes, const QString& rowName, const QStringList& cellNames,
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
QByteArray Unzipped(const QString& archive, const QString& member)
{
    QProcess unzip;
    unzip.start(QStringLiteral("unzip"), {QStringLiteral("-p"), archive, member});
    unzip.waitForFinished(30000);
    return unzip.readAllStandardOutput();
}

// A workbook's texts undo "_xHHHH_" escapes as spreadsheet programs do.
QString Unescaped(const QString& text)
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

int ColumnIndex(const QString& reference)  // "B3" -> 1
{
    int col = 0;
    for (const QChar ch : reference) {
        if (!ch.isLetter())
            break;
        col = col * 26 + (ch.unicode() - 'A' + 1);
    }
    return col - 1;
}

Workbook ReadWorkbook(const QString& path)
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
Cells Padded(Cells cells, int rows, int cols)
{
    while (cells.size() < rows)
        cells << QStringList();
    for (QStringList& row : cells)
        while (row.size() < cols)
            row << QString();
    return cells;
}

// Names that break naive writers: delimiters, markup, line ends, formulas, leading zeros,
// spaces at the ends, accents, CJK, and a text that looks like a workbook escape.
const Cells kAwkward = {
    {"Browser, engine", "Say \"hi\"", "Two\nlines", "=1+1"},
    {"007", "&<>\"'", "Crème brûlée", "中文テスト"},
    {"  padded  ", "tab\there", "cr\r\nlf", "_x0041_"},
    {"", "plain", "", "-2"},
};

// The same without a tab or a line break in a cell, which tab-separated text cannot hold.
Cells TabSafe(Cells cells)
{
    for (QStringList& row : cells)
        for (QString& cell : row)
            if (cell.contains('\t') || cell.contains('\n') || cell.contains('\r'))
                cell = "no tab";
    return cells;
}

class MatrixExportTest : public SeamTest {
protected:
    QTemporaryDir dir;
    GridCellStore grid;

    QString exported(ExportKind kind, const Cells& cells, const QString& name)
    {
        FillGrid(grid, cells);
        const QString path = dir.filePath(name);
        EXPECT_TRUE(MatrixExport::ExportMatrix(grid, kind, path)) << messages.texts().join("|").toStdString();
        return path;
    }

    // Every file in the folder, hidden ones included: what a failed export might leave.
    QStringList files() const
    {
        return QDir(dir.path()).entryList(QDir::Files | QDir::Hidden | QDir::NoDotAndDotDot);
    }
};

TEST_F(MatrixExportTest, EveryFormatReadsBackAsTypedEvenWhenEmpty)
{
    // Before anything is generated the Test Cases grid is one empty cell; a design file
    // without a matrix can leave it with no cells at all.
    for (const Cells& typed : {kAwkward, Cells{{""}}, Cells{}}) {
        for (int k = 0; k < kNumExportKinds; ++k) {
            const ExportKind kind = ExportKind(k);
            const Cells cells = kind == ExportKind::TabDelimited ? TabSafe(typed) : typed;
            SCOPED_TRACE(QString("%1 rows, kind %2").arg(cells.size()).arg(k).toStdString());
            const QString name = QString("%1.%2").arg(cells.size()).arg(ExportKindInfoOf(kind).extension);
            const QString path = exported(kind, cells, name);
            const QByteArray bytes = FileBytes(path);
            QString error;
            bool crlf = true;
            Cells back;
            if (kind == ExportKind::Excel) {
                const Workbook book = ReadWorkbook(path);
                EXPECT_EQ(book.sheetNames, QStringList{"QXV Matrix"});
                EXPECT_TRUE(book.allText) << "a number or formula cell: \"007\" or \"=1+1\" would not stay as typed";
                back = Padded(book.cells, int(cells.size()), cells.isEmpty() ? 0 : int(cells[0].size()));
            } else if (kind == ExportKind::Xml) {
                EXPECT_TRUE(bytes.startsWith("<?xml version=\"1.0\" encoding=\"UTF-8\"?>"))
                    << bytes.left(60).toStdString();
                QDomDocument doc;
                EXPECT_TRUE(doc.setContent(bytes)) << bytes.toStdString();
                EXPECT_EQ(doc.documentElement().tagName(), "QXV-Matrix");
                back = ReadXmlRows(bytes, "Row", {"Cell"}, &error);
            } else if (kind == ExportKind::Html) {
                back = ReadXmlRows(bytes, "tr", {"th", "td"}, &error);
            } else {
                back = ReadDelimited(bytes, kind == ExportKind::CommaDelimited ? ',' : '\t', &crlf);
            }
            EXPECT_EQ(back, cells);
            EXPECT_TRUE(error.isEmpty()) << error.toStdString();
            EXPECT_TRUE(crlf) << "every row ends in CR LF";
        }
    }
}

TEST_F(MatrixExportTest, EachFormatsOwnRules)
{
    const QString xlsx = exported(ExportKind::Excel, kAwkward, "m.xlsx");
    EXPECT_TRUE(Unzipped(xlsx, "xl/workbook.xml").contains("schemas.openxmlformats.org/spreadsheetml"));

    const QByteArray html = FileBytes(exported(ExportKind::Html, kAwkward, "m.html"));
    EXPECT_TRUE(html.contains("<meta charset=\"utf-8\"/>"));
    EXPECT_EQ(ReadXmlRows(html, "tr", {"th"}), (Cells{kAwkward[0], {}, {}, {}})) << "only the names are headings";
    EXPECT_EQ(html.count("<table>"), 1);

    // Delimited text quotes where needed.
    const QByteArray csv = FileBytes(exported(ExportKind::CommaDelimited, kAwkward, "m.csv"));
    EXPECT_TRUE(csv.startsWith("\"Browser, engine\",\"Say \"\"hi\"\"\",\"Two\nlines\",=1+1\r\n"))
        << csv.left(60).toStdString();
    EXPECT_TRUE(csv.contains("\r\n,plain,,-2\r\n")) << "cells that need no quotes stand as typed";
    // Tab-separated text stands as typed, quotes and commas too; a tab or a line break, which
    // it cannot hold, is refused with the cell that holds it.
    EXPECT_TRUE(FileBytes(exported(ExportKind::TabDelimited, TabSafe(kAwkward), "m.txt"))
                    .startsWith("Browser, engine\tSay \"hi\"\tno tab\t=1+1\r\n"));
    FillGrid(grid, kAwkward);
    messages.answer(MsgResult::Ok);
    EXPECT_FALSE(MatrixExport::ExportMatrix(grid, ExportKind::TabDelimited, dir.filePath("refused.txt")));
    EXPECT_TRUE(messages.last().text.contains("\n\n\"Two\nlines\" holds a tab or a line break, which a tab-separated file "
                                              "cannot hold: write it comma-separated\n\n"))
        << messages.last().text.toStdString();
    messages.clear();
    EXPECT_FALSE(QFile::exists(dir.filePath("refused.txt")));
}

TEST_F(MatrixExportTest, EveryWriterReportsADeviceThatFails)
{
    FillGrid(grid, TabSafe(kAwkward));
    for (int k = 0; k < kNumExportKinds; ++k) {
        for (const qint64 capacity : {qint64(0), qint64(100)}) {
            FailingDevice device(capacity);
            const Result<void> written = MatrixExport::WriteMatrix(grid, ExportKind(k), device);
            ASSERT_FALSE(written) << "kind " << k;
            EXPECT_EQ(written.error(), "The file could not be written: No space left on device.") << "kind " << k;
        }
        QBuffer buffer;
        buffer.open(QIODevice::WriteOnly);
        EXPECT_TRUE(MatrixExport::WriteMatrix(grid, ExportKind(k), buffer)) << "kind " << k;
        EXPECT_GT(buffer.size(), 0);
    }
}

TEST_F(MatrixExportTest, AFailedExportSaysWhichFileAndWhyAndLeavesNothing)
{
    FillGrid(grid, kAwkward);
    const QString blocker = dir.filePath("not-a-folder");
    QFile(blocker).open(QIODevice::WriteOnly);
    for (const QString& path : {dir.filePath("missing/m.csv"), blocker + "/m.csv"}) {
        messages.answer(MsgResult::Ok);
        EXPECT_FALSE(MatrixExport::ExportMatrix(grid, ExportKind::CommaDelimited, path));
        const MessageRequest box = takeOnlyMessage();
        EXPECT_TRUE(box.text.startsWith("The matrix could not be exported to\n" + path + "\n\nThe file could not be "
                                        "created: "))
            << box.text.toStdString();
        EXPECT_TRUE(box.text.endsWith(".\n\nAny earlier file of that name is unchanged.")) << box.text.toStdString();
        EXPECT_EQ(box.icon, MsgIcon::Critical);
        EXPECT_EQ(box.buttons, MsgButtons::Ok);
        EXPECT_FALSE(QFileInfo::exists(path));
    }
    EXPECT_EQ(files(), QStringList{"not-a-folder"});
}

TEST_F(MatrixExportTest, TextsAFormatCannotHoldAreRefusedNamingTheCellAndKeepTheEarlierFile)
{
    Cells bell = kAwkward;
    bell[2][1] = QString("bell") + QChar(7);
    Cells longest = {{"Name"}, {QString(32767, 'x')}};
    const Cells tooLong = {{"Name"}, {longest[1][0] + 'x'}};
    const struct {
        Cells cells;
        ExportKind kind;
        const char* reason;
    } cases[] = {
        {bell, ExportKind::Xml, "Row 3, column 2 holds a character that an XML file cannot hold."},
        {tooLong, ExportKind::Excel,
         "Row 2, column 1 holds more than 32767 characters, more than a workbook cell holds."},
    };
    for (const auto& c : cases) {
        FillGrid(grid, c.cells);
        const Result<void> exported = MatrixExport::ExportMatrixToFile(grid, c.kind, dir.filePath("refused"));
        ASSERT_FALSE(exported);
        EXPECT_EQ(exported.error(), c.reason);
        EXPECT_EQ(files(), QStringList());
    }
    EXPECT_EQ(ReadWorkbook(exported(ExportKind::Excel, longest, "m.xlsx")).cells, longest);

    const QString path = dir.filePath("m.xml");
    ASSERT_TRUE(WriteFileBytes(path, "earlier content"));
    Cells cells = kAwkward;
    cells[3][3] = QString(QChar(0xFFFF));  // written rows first, then refused
    FillGrid(grid, cells);
    messages.answer(MsgResult::Ok);
    EXPECT_FALSE(MatrixExport::ExportMatrix(grid, ExportKind::Xml, path));
    EXPECT_TRUE(takeOnlyMessage().text.contains("Row 4, column 4 holds a character"));
    EXPECT_EQ(FileBytes(path), "earlier content");
    EXPECT_EQ(files(), (QStringList{"m.xlsx", "m.xml"}));

    // A success replaces it.
    EXPECT_TRUE(MatrixExport::ExportMatrix(grid, ExportKind::CommaDelimited, path));
    EXPECT_TRUE(FileBytes(path).startsWith("\"Browser, engine\""));
}

}  // namespace
