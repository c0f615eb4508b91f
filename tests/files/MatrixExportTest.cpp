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
    for (const Cells& cells : {kAwkward, Cells{{""}}, Cells{}}) {
        for (int k = 0; k < kNumExportKinds; ++k) {
            const ExportKind kind = ExportKind(k);
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
    EXPECT_TRUE(FileBytes(exported(ExportKind::TabDelimited, kAwkward, "m.txt"))
                    .startsWith("Browser, engine\t\"Say \"\"hi\"\"\"\t"))
        << "a comma needs no quotes between tabs";
}

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
        QString reason;
        EXPECT_FALSE(MatrixExport::ExportMatrixToFile(grid, c.kind, dir.filePath("refused"), &reason));
        EXPECT_EQ(reason, c.reason);
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
