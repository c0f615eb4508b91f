#include "tests/files/DesignFileFixture.h"

#include <QDir>

namespace {

using CFileRefusalTest = DesignFileTest;

TEST_F(CFileRefusalTest, RefusesFilesOfAnotherLayoutAndReturnsNothing)
{
    const QByteArray twoFactors = "<requirements><factors><Factor Name=\"A\"><level>a</level></Factor>"
                                  "<Factor Name=\"B\"><level>b</level></Factor></factors>";
    const struct {
        QByteArray bytes;
        const char* reason;
    } cases[] = {
        {"", "The file is empty."},
        {QByteArray("\x89PNG\r\n\x1a\n\0\0\0\rIHDR<<<<", 20), "The file is neither a Vantrel design nor a model text."},
        {"<requirements><factors></requirements>", "The file is not well-formed XML: "},
        {"<requirements><factors/><constraints/></requirements>",
         "The file is not a Vantrel design: it has 2 of the four sections."},
        {"<requirements><Factors/><constraints/><previousruns/><QXVMatrix/></requirements>",
         "The file is not a Vantrel design: its first section is <Factors>, not <factors>."},
        {"<requirements><factors/><constraint/><previousruns/><QXVMatrix/></requirements>",
         "The file is not a Vantrel design: its second section is <constraint>, not <constraints>."},
        {"<requirements><factors/><constraints/><previousrun/><QXVMatrix/></requirements>",
         "The file is not a Vantrel design: its third section is <previousrun>, not <previousruns>."},
        {twoFactors + "<constraints><constraint><a>A</a><b>a</b><c>B</c></constraint></constraints>"
                      "<previousruns/><QXVMatrix/></requirements>",
         "Constraint 1 has 3 of its four fields."},
        {twoFactors + "<constraints/><previousruns><previousrun><run>a</run><run>b</run></previousrun>"
                      "<previousrun><run>a</run></previousrun></previousruns><QXVMatrix/></requirements>",
         "Previous test 2 names a level for 1 of the 2 factors."},
        {twoFactors + "<constraints/><previousruns/><QXVMatrix><row><run>A</run><run>B</run></row>"
                      "<row><run>a</run><run>b</run></row><row><run>a</run></row></QXVMatrix></requirements>",
         "Row 3 of the Test Cases matrix has 1 of the 2 cells of its first row."},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.bytes.toStdString());
        const Loaded l = OpenBytes(c.bytes);
        EXPECT_FALSE(l.ok);
        EXPECT_TRUE(l.reason.startsWith(c.reason)) << l.reason.toStdString();
        EXPECT_TRUE(l.untouched());
    }

    const QString missing = dir.filePath("missing.test");
    for (const auto& [path, reason] : {std::pair{missing, "The file does not exist."},
                                       std::pair{dir.path(), "The path names a folder, not a file."}}) {
        const Loaded l = Open(path);
        EXPECT_FALSE(l.ok);
        EXPECT_EQ(l.reason, reason);
        EXPECT_TRUE(l.untouched());
    }
}

TEST_F(CFileRefusalTest, RefusesTextsTheFileCannotHoldAndKeepsTheEarlierFile)
{
    const struct {
        Design design;
        QList<QStringList> matrix;
        const char* reason;
    } cases[] = {
        {MakeDesign({{"A", "a\x01"}}), {}, "Level 1 of factor 1 holds the character U+0001"},
        {MakeDesign({{QString(QChar(0xD800)) + "A", "a"}}), {}, "The name of factor 1 holds the character U+D800"},
        {MakeDesign({{"A", "a"}}, {{"A", "a", "A", QString(QChar(0xFFFF))}}), {},
         "Field 4 of constraint 1 holds the character U+FFFF"},
        {MakeDesign({{"A", "a"}}, {}, {{" \r "}}), {}, "Factor 1 of previous test 1 consists only of blanks and holds U+000D"},
        {MakeDesign({{"A", "a"}}), {{"A"}, {QString(QChar(0x3000))}},
         "Row 2, column 1 of the Test Cases sheet consists only of blanks and holds U+3000"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.reason);
        FillGrid(grid, c.matrix);
        QByteArray bytes;
        QBuffer buffer(&bytes);
        const Result<void> saved = save(c.design, buffer);
        ASSERT_FALSE(saved);
        EXPECT_TRUE(saved.error().startsWith(c.reason)) << saved.error().toStdString();
        EXPECT_TRUE(bytes.isEmpty());
    }

    const QString path = dir.filePath("design.test");
    ASSERT_TRUE(WriteFileBytes(path, "earlier"));
    messages.answer(MsgResult::Ok);
    EXPECT_FALSE(save(cases[0].design, path));
    const MessageRequest box = takeOnlyMessage();
    EXPECT_TRUE(box.text.contains(path)) << box.text.toStdString();
    EXPECT_TRUE(box.text.contains(cases[0].reason)) << box.text.toStdString();
    EXPECT_EQ(box.icon, MsgIcon::Critical);
    EXPECT_EQ(box.buttons, MsgButtons::Ok);
    EXPECT_EQ(FileBytes(path), "earlier");
}

TEST_F(CFileRefusalTest, AFailedWriteReportsItAndLeavesTheEarlierFileByteForByte)
{
    const Design d = MakeDesign({{"A", "a1", "a2"}, {"B", "b1", "b2"}});

    // The folder to save in is a regular file (a missing or read-only folder would do, but
    // not for root).
    const QString notAFolder = dir.filePath("plain");
    ASSERT_TRUE(WriteFileBytes(notAFolder, "plain bytes"));
    const QString path = notAFolder + "/design.test";
    messages.answer(MsgResult::Ok);
    EXPECT_FALSE(save(d, path));
    const MessageRequest box = takeOnlyMessage();
    EXPECT_TRUE(box.text.startsWith("The design could not be saved to\n" + QDir::toNativeSeparators(path) + "\n\n"))
        << box.text.toStdString();
    EXPECT_TRUE(box.text.contains("The file could not be created: ")) << box.text.toStdString();
    EXPECT_EQ(box.icon, MsgIcon::Critical);
    EXPECT_EQ(FileBytes(notAFolder), "plain bytes");

    FailingDevice device(0);
    const Result<void> written = save(d, device);
    ASSERT_FALSE(written);
    EXPECT_EQ(written.error(), "The file could not be written: No space left on device.");

    // Writing stops half-way through the new file: the earlier one stays, and nothing is left beside it.
    const QString existing = dir.filePath("existing.test");
    const QByteArray earlier = saveBytes(d);
    ASSERT_TRUE(WriteFileBytes(existing, earlier));
    setMatrixSize(40, 20);  // about 16 KB, under the large-matrix question
    {
        const FileSizeLimit limit(4096);
        messages.answer(MsgResult::Ok);
        EXPECT_FALSE(save(d, existing));
    }
    EXPECT_EQ(takeOnlyMessage().icon, MsgIcon::Critical);
    EXPECT_EQ(FileBytes(existing), earlier);
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files), QStringList({"existing.test", "plain"}));
    EXPECT_TRUE(save(d, existing));  // and the limit is gone again
}

}  // namespace
