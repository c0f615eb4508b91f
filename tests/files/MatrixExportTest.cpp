// Every export format read back as the programs that open it would read it: the same texts,
// however awkward, the factor names first; and a failed export leaves nothing behind.
#include "files/MatrixExport.h"
#include "model/GridCellStore.h"
#include "tests/files/ExportReadBack.h"
#include "tests/support/SeamTest.h"

#include <QBuffer>
#include <QDir>
#include <QTemporaryDir>

namespace {

// Names that break naive writers: delimiters, markup, line ends, formulas, leading zeros,
// spaces at the ends, accents, CJK, and a text that looks like a workbook escape.
const Cells kAwkward = {
    {"Browser, engine", "Say \"hi\"", "Two\nlines", "=1+1"},
    {"007", "&<>\"'", "Crème brûlée", "中文テスト"},
    {"  padded  ", "tab\there", "cr\r\nlf", "_x0041_"},
    {"", "plain", "", "-2"},
};

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

    // Names in the folder other than the ones given: what a failed export might leave.
    QStringList leftovers(const QString& folder, const QStringList& expected = {})
    {
        QStringList names = QDir(folder).entryList(QDir::Files | QDir::Hidden | QDir::NoDotAndDotDot);
        for (const QString& name : expected)
            names.removeAll(name);
        return names;
    }
};

TEST_F(MatrixExportTest, WorkbookHasOneSheetOfTextCellsAsTyped)
{
    const QString path = exported(ExportKind::Excel, kAwkward, "m.xlsx");
    const Workbook book = ReadWorkbook(path);
    EXPECT_EQ(book.sheetNames, QStringList{"QXV Matrix"});
    EXPECT_TRUE(book.allText) << "a number or formula cell: \"007\" or \"=1+1\" would not stay as typed";
    EXPECT_EQ(Padded(book.cells, 4, 4), kAwkward);
    EXPECT_TRUE(Unzipped(path, "xl/workbook.xml").contains("schemas.openxmlformats.org/spreadsheetml"));
}

TEST_F(MatrixExportTest, XmlHoldsOneRowElementPerGridRow)
{
    const QByteArray bytes = FileBytes(exported(ExportKind::Xml, kAwkward, "m.xml"));
    EXPECT_TRUE(bytes.startsWith("<?xml version=\"1.0\" encoding=\"UTF-8\"?>")) << bytes.left(60).toStdString();
    QString error;
    EXPECT_EQ(ReadXmlRows(bytes, "Row", {"Cell"}, &error), kAwkward);
    EXPECT_TRUE(error.isEmpty()) << error.toStdString();

    QDomDocument doc;
    ASSERT_TRUE(doc.setContent(bytes));
    EXPECT_EQ(doc.documentElement().tagName(), "QXV-Matrix");
    EXPECT_EQ(doc.documentElement().elementsByTagName("Row").size(), 4);
}

TEST_F(MatrixExportTest, XmlRefusesACharacterItCannotHoldAndNamesTheCell)
{
    Cells cells = kAwkward;
    cells[2][1] = QString("bell") + QChar(7);
    const QString path = dir.filePath("m.xml");
    FillGrid(grid, cells);
    QString reason;
    EXPECT_FALSE(MatrixExport::ExportMatrixToFile(grid, ExportKind::Xml, path, &reason));
    EXPECT_EQ(reason, "Row 3, column 2 holds a character that an XML file cannot hold.");
    EXPECT_EQ(leftovers(dir.path()), QStringList());
}

TEST_F(MatrixExportTest, HtmlIsOneEscapedTableWithTheNamesAsHeadings)
{
    const QByteArray bytes = FileBytes(exported(ExportKind::Html, kAwkward, "m.html"));
    EXPECT_TRUE(bytes.contains("<meta charset=\"utf-8\"/>"));
    QString error;
    EXPECT_EQ(ReadXmlRows(bytes, "tr", {"th", "td"}, &error), kAwkward);
    EXPECT_TRUE(error.isEmpty()) << error.toStdString();
    EXPECT_EQ(ReadXmlRows(bytes, "tr", {"th"}), (Cells{kAwkward[0], {}, {}, {}})) << "only the names are headings";
    EXPECT_EQ(bytes.count("<table>"), 1);
}

TEST_F(MatrixExportTest, DelimitedTextQuotesWhereNeededAndEndsRowsWithCrLf)
{
    bool crlf = false;
    const QByteArray csv = FileBytes(exported(ExportKind::CommaDelimited, kAwkward, "m.csv"));
    EXPECT_EQ(ReadDelimited(csv, ',', &crlf), kAwkward);
    EXPECT_TRUE(crlf);
    EXPECT_TRUE(csv.startsWith("\"Browser, engine\",\"Say \"\"hi\"\"\",\"Two\nlines\",=1+1\r\n"))
        << csv.left(60).toStdString();
    EXPECT_TRUE(csv.contains("\r\n,plain,,-2\r\n")) << "cells that need no quotes stand as typed";

    const QByteArray tsv = FileBytes(exported(ExportKind::TabDelimited, kAwkward, "m.txt"));
    EXPECT_EQ(ReadDelimited(tsv, '\t', &crlf), kAwkward);
    EXPECT_TRUE(crlf);
    EXPECT_TRUE(tsv.startsWith("Browser, engine\t\"Say \"\"hi\"\"\"\t")) << "a comma needs no quotes between tabs";
}

TEST_F(MatrixExportTest, EmptyGridsExportInEveryFormat)
{
    // Before anything is generated the Test Cases grid is one empty cell; a design file
    // without a matrix can leave it with no cells at all.
    for (const Cells& empty : {Cells{{""}}, Cells{}}) {
        const int rows = int(empty.size());
        const QString tag = QString::number(rows);
        const Workbook book = ReadWorkbook(exported(ExportKind::Excel, empty, tag + ".xlsx"));
        EXPECT_EQ(book.sheetNames, QStringList{"QXV Matrix"});
        EXPECT_EQ(Padded(book.cells, rows, rows), empty);

        const QByteArray xml = FileBytes(exported(ExportKind::Xml, empty, tag + ".xml"));
        QDomDocument doc;
        EXPECT_TRUE(doc.setContent(xml)) << xml.toStdString();
        EXPECT_EQ(doc.documentElement().tagName(), "QXV-Matrix");
        EXPECT_EQ(ReadXmlRows(xml, "Row", {"Cell"}), empty);

        EXPECT_EQ(ReadXmlRows(FileBytes(exported(ExportKind::Html, empty, tag + ".html")), "tr", {"th", "td"}), empty);
        EXPECT_EQ(FileBytes(exported(ExportKind::CommaDelimited, empty, tag + ".csv")), rows ? "\r\n" : "");
        EXPECT_EQ(FileBytes(exported(ExportKind::TabDelimited, empty, tag + ".txt")), rows ? "\r\n" : "");
    }
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
            setErrorString("No space left on device");
            return -1;
        }
        mWritten += len;
        return len;
    }

private:
    qint64 mCapacity;
    qint64 mWritten = 0;
};

TEST_F(MatrixExportTest, EveryWriterReportsADeviceThatFails)
{
    FillGrid(grid, kAwkward);
    for (int k = 0; k < kNumExportKinds; ++k) {
        for (const qint64 capacity : {qint64(0), qint64(100)}) {
            FailingDevice device(capacity);
            QString reason;
            EXPECT_FALSE(MatrixExport::WriteMatrix(grid, ExportKind(k), device, &reason)) << "kind " << k;
            EXPECT_EQ(reason, "The file could not be written: No space left on device.") << "kind " << k;
        }
        QBuffer buffer;
        buffer.open(QIODevice::WriteOnly);
        EXPECT_TRUE(MatrixExport::WriteMatrix(grid, ExportKind(k), buffer, nullptr)) << "kind " << k;
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
    EXPECT_EQ(leftovers(dir.path()), QStringList{"not-a-folder"});
}

TEST_F(MatrixExportTest, AnEarlierFileStaysIntactWhenTheExportFails)
{
    const QString path = dir.filePath("m.xml");
    {
        QFile earlier(path);
        ASSERT_TRUE(earlier.open(QIODevice::WriteOnly));
        earlier.write("earlier content");
    }
    Cells cells = kAwkward;
    cells[3][3] = QString(QChar(0xFFFF));  // written rows first, then refused
    FillGrid(grid, cells);
    messages.answer(MsgResult::Ok);
    EXPECT_FALSE(MatrixExport::ExportMatrix(grid, ExportKind::Xml, path));
    EXPECT_TRUE(takeOnlyMessage().text.contains("Row 4, column 4 holds a character"));
    EXPECT_EQ(FileBytes(path), "earlier content");
    EXPECT_EQ(leftovers(dir.path()), QStringList{"m.xml"});

    // A success replaces it.
    EXPECT_TRUE(MatrixExport::ExportMatrix(grid, ExportKind::CommaDelimited, path));
    EXPECT_TRUE(FileBytes(path).startsWith("\"Browser, engine\""));
}

TEST_F(MatrixExportTest, WorkbookRefusesATextLongerThanACellHolds)
{
    Cells cells = {{"Name"}, {QString(32768, 'x')}};
    FillGrid(grid, cells);
    QString reason;
    EXPECT_FALSE(MatrixExport::ExportMatrixToFile(grid, ExportKind::Excel, dir.filePath("m.xlsx"), &reason));
    EXPECT_EQ(reason, "Row 2, column 1 holds more than 32767 characters, more than a workbook cell holds.");
    EXPECT_EQ(leftovers(dir.path()), QStringList());

    cells[1][0].chop(1);
    const Workbook book = ReadWorkbook(exported(ExportKind::Excel, cells, "m.xlsx"));
    EXPECT_EQ(book.cells, cells);
}

}  // namespace
