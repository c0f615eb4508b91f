#include "tests/files/DesignFileFixture.h"

#include "files/ModelText.h"

#include <QDomDocument>

namespace {

// The element tree as one line: each element's name and attributes, then its children in
// braces or, for a leaf, its text after a colon.
QString Outline(const QDomElement& e)
{
    QString out = e.tagName();
    for (int i = 0; i < e.attributes().count(); ++i)
        out += " @" + e.attributes().item(i).nodeName() + "=" + e.attributes().item(i).nodeValue();
    QStringList children;
    for (QDomElement c = e.firstChildElement(); !c.isNull(); c = c.nextSiblingElement())
        children << Outline(c);
    return children.isEmpty() ? out + ":" + e.text() : out + "{" + children.join(' ') + "}";
}

using CFileRoundTripTest = DesignFileTest;

TEST_F(CFileRoundTripTest, EveryTableComesBackExactlyThroughAFileThatReplacesTheEarlierOne)
{
    const Design d = MakeDesign({{"Browser", "Firefox", "Edge"},
                                 {"OS", "Linux", "Windows", "macOS", "BSD", "Haiku"},
                                 {"Screen", "Phone", "Tablet", "Desktop"}},
                                {{"Browser", "Edge", "OS", "macOS"}, {"OS", "Haiku", "Screen", "Phone"}},
                                {{"Firefox", "Linux", "Desktop"}, {"Edge", "Windows", "Phone"}});
    FillGrid(grid, {{"Browser", "OS", "Screen"}, {"Firefox", "BSD", "Tablet"}, {"Edge", "Linux", "Phone"},
                    {"Firefox", "Haiku", "Desktop"}});
    const QString path = dir.filePath("design.test");
    ASSERT_TRUE(WriteFileBytes(path, "an earlier file, longer than nothing"));
    ASSERT_TRUE(save(d, path));
    expectSame(d, Open(path));  // the shorter factor's levels end in empty cells
}

TEST_F(CFileRoundTripTest, AnyNameSurvivesUnchangedAndTheBytesAreLatin1)
{
    const QStringList names = {
        "Café", "naïve ÿ ½", "東京 駅", "😀 emoji 🇩🇪", "&", "<", "\"", "'", "a & b < c > d \"e\"", "]]>", "&amp;",
        "  leading", "trailing  ", " ", "     ", "\t", "\n", " \t\n ", "a\tb", "a\nb", "a\r\nb", "\ra\r", "",
        QString(QChar(0xA0)), QString(QChar(0x85)) + " " + QChar(0xA0), "x" + QString(QChar(0x3000)) + "y",
        QString(QChar(0x2028)) + "z", "€", QString(QChar(0x7F)) + QChar(0x80) + QChar(0x9F)};
    QList<QStringList> columns, constraintRows, matrix;
    QStringList prevRun;
    for (qsizetype i = 0; i < names.size(); ++i) {
        const QString& next = names[(i + 1) % names.size()];
        columns.append({names[i], next, names[i]});
        constraintRows.append({names[i], next, names[i], next});
        prevRun << next;
    }
    matrix << names << prevRun;
    const Design d = MakeDesign(columns, constraintRows, {prevRun});
    FillGrid(grid, matrix);

    const QByteArray bytes = saveBytes(d);
    expectSame(d, OpenBytes(bytes));
    EXPECT_TRUE(bytes.contains("Caf\xE9"));  // Latin-1 stays one byte
    EXPECT_TRUE(bytes.contains("&#x1f600;"));  // one reference per code point, not per surrogate
    EXPECT_TRUE(bytes.contains("&#x6771;&#x4eac;"));
    EXPECT_EQ(bytes.count('?'), 2) << "a character was lost to '?'";  // those of the declaration
}

TEST_F(CFileRoundTripTest, WritesTheDocumentLayout)
{
    const Design d = MakeDesign({{"A", "a1", "a2"}, {"B", "b1", "b2", "b3", "b4", "b5"}}, {{"A", "a1", "B", "b2"}},
                                {{"a2", "b5"}});
    FillGrid(grid, {{"A", "B"}, {"a1", "b1"}});
    const QByteArray bytes = saveBytes(d);
    EXPECT_TRUE(bytes.startsWith("<?xml version=\"1.0\" encoding=\"ISO-8859-1\" standalone=\"yes\"?>\n<requirements>"))
        << bytes.left(80).toStdString();
    QDomDocument doc;
    ASSERT_TRUE(doc.setContent(bytes));
    // No filler levels up to the most any factor has.
    EXPECT_EQ(Outline(doc.documentElement()),
              "requirements{factors{Factor @Name=A{level:a1 level:a2} "
              "Factor @Name=B{level:b1 level:b2 level:b3 level:b4 level:b5}} "
              "constraints{constraint{iffactor:A iflevel:a1 thenfactor:B thenlevel:b2}} "
              "previousruns{previousrun{run:a2 run:b5}} QXVMatrix{row{run:A run:B} row{run:a1 run:b1}}}");
}

TEST_F(CFileRoundTripTest, EmptySectionsAreWrittenAndReadAsNothing)
{
    const Design d = MakeDesign({{"A", "a1"}, {"B", "b1"}});
    FillGrid(grid, {{"A", "B"}});  // nothing generated yet: the names row alone
    const QByteArray bytes = saveBytes(d);
    EXPECT_TRUE(bytes.contains("<constraints/>"));
    EXPECT_TRUE(bytes.contains("<previousruns/>"));
    EXPECT_TRUE(bytes.contains("<QXVMatrix/>"));
    const Loaded l = OpenBytes(bytes);
    expectSame(d, l);  // no table for the empty sections
    EXPECT_FALSE(l.matrix.isDimensioned());

    const Loaded none = OpenBytes("<requirements><factors/><constraints><constraint/></constraints><previousruns/>"
                                  "<QXVMatrix><row><run>A</run></row></QXVMatrix></requirements>");
    ASSERT_TRUE(none.ok) << none.reason.toStdString();  // no factors: nothing further is read
    EXPECT_EQ(none.n, 0);
    EXPECT_EQ(none.m, 0);
    EXPECT_EQ(none.R, 0);
}

TEST_F(CFileRoundTripTest, ReadsHandWrittenFilesByPositionAndDeclaredEncoding)
{
    const Loaded l = OpenBytes("<?xml version=\"1.0\" encoding=\"ISO-8859-1\"?>\n"
                               "<design>\n"
                               "  <!-- tag names below the sections are not looked at -->\n"
                               "  <factors>\n"
                               "    <Factor Name=\"Caf\xE9\"><value>x</value><item>y\xE9</item></Factor>\n"
                               "    <f Name=\"B\"><level>p</level></f>\n"
                               "  </factors>\n"
                               "  <constraints><c><a>Caf\xE9</a><b>x</b><c>B</c><d>p</d><e>ignored</e></c></constraints>\n"
                               "  <previousruns><r><x>y\xE9</x><x>p</x><x>ignored</x></r></previousruns>\n"
                               "  <Matrix><r><c>Caf\xE9</c><c>B</c></r><r><c>x</c><c>p</c><c>ignored</c></r></Matrix>\n"
                               "</design>\n");
    FillGrid(grid, {{"Café", "B"}, {"x", "p"}});
    expectSame(MakeDesign({{"Café", "x", "yé"}, {"B", "p"}}, {{"Café", "x", "B", "p"}}, {{"yé", "p"}}), l);

    const Loaded utf8 = OpenBytes("<?xml version=\"1.0\" encoding=\"UTF-8\"?><requirements><factors>"
                                  "<Factor Name=\"Caf\xC3\xA9\"/></factors><constraints/><previousruns/></requirements>");
    ASSERT_TRUE(utf8.ok) << utf8.reason.toStdString();  // three sections: no matrix
    EXPECT_EQ(utf8.factors.at(0, 1), "Café");
    EXPECT_EQ(utf8.R, 0);
}

TEST_F(CFileRoundTripTest, AsksBeforeStoringMoreThan1000CellsAndWarnsBeforeLoadingMoreThan500Rows)
{
    const Design d = MakeDesign({{"A", "a"}});
    auto saveAnswering = [&](MsgResult answer) {
        messages.answer(answer);
        const QByteArray bytes = saveBytes(d);
        expectOnlyBox("The Test Matrix is very large. Do you want to include it with the file?", MsgIcon::Question,
                      MsgButtons::YesNo, 27);
        return bytes;
    };

    setMatrixSize(26, 40);
    expectSame(d, OpenBytes(saveAnswering(MsgResult::Yes)));
    const QByteArray declined = saveAnswering(MsgResult::No);
    EXPECT_TRUE(declined.contains("<QXVMatrix/>"));
    EXPECT_EQ(OpenBytes(declined).R, 0);

    setMatrixSize(25, 40);  // 1,000 cells: no question
    expectSame(d, OpenBytes(saveBytes(d)));

    setMatrixSize(1, 1001);  // asked even for the names row alone
    saveAnswering(MsgResult::Yes);

    setMatrixSize(501, 1);  // 501 rows: warned on loading
    const QByteArray bytes = saveBytes(d);
    messages.answer(MsgResult::Ok);
    expectSame(d, OpenBytes(bytes));
    expectOnlyBox("There are 501 columns in the Test Case matrix. Loading will take a few seconds.",
                  MsgIcon::Information);

    setMatrixSize(500, 1);
    expectSame(d, OpenBytes(saveBytes(d)));  // no box: the fixture fails on an unexpected one
}

}  // namespace

TEST_F(CFileRoundTripTest, TheRulesComeBackAfterTheMatrixAndOnlyWhenThereAreAny)
{
    const Design d = MakeDesign({{"OS", "Mac", "東京"}, {"Size", "1", "2"}});
    FillGrid(grid, {{"OS", "Size"}, {"Mac", "1"}});
    const QByteArray without = saveBytes(d);
    EXPECT_FALSE(without.contains("<rules"));

    // Every character a rules text may hold, markup, line breaks and a text of only blanks.
    for (const QString& rules : {QStringLiteral("IF [OS] = \"東京\" THEN [Size] < 2; # <&>\n\n  [Size] <> \"1\";\n"),
                                 QStringLiteral("]]> & <rules>"), QStringLiteral("  \n\t")}) {
        workbook.SetRules(rules);
        QByteArray with = saveBytes(d);
        ASSERT_TRUE(with.startsWith(without.left(without.indexOf("</requirements>"))));  // the rest is as before
        QBuffer buffer(&with);
        const Result<DesignText> read = CFile::OpenXMLFile(buffer);
        ASSERT_TRUE(read) << read.error().toStdString();
        EXPECT_EQ(read.value().rules, rules);
        expectSame(d, OpenBytes(with));  // what reads the first four sections by place reads the same
    }
    QByteArray bytes = without;
    QBuffer buffer(&bytes);
    const Result<DesignText> read = CFile::OpenXMLFile(buffer);
    ASSERT_TRUE(read);
    EXPECT_TRUE(read.value().rules.isEmpty());
}

TEST_F(CFileRoundTripTest, AModelTextsCommentsStayThroughADesignDocument)
{
    const QByteArray text = "# caf\xC3\xA9 \xE6\x9D\xB1 <&>\r\r\n\t# tab\r\n\r\nA: a, b\r\n  # on B\r\nB: c, d\r\n";
    const Result<DesignText, DesignReadFailure> model = ReadModelText(text);
    ASSERT_TRUE(model);
    ASSERT_EQ(model.value().textLayout.aboveFactor.size(), 2u);
    QByteArray bytes;
    QBuffer out(&bytes);
    ASSERT_TRUE(file.SaveXMLFile(out, model.value()));
    QBuffer in(&bytes);
    const Result<DesignText> read = CFile::OpenXMLFile(in);
    ASSERT_TRUE(read) << read.error().toStdString();
    EXPECT_EQ(read.value().textLayout.aboveFactor, model.value().textLayout.aboveFactor);
    EXPECT_EQ(WriteModelText(read.value()).value(), text);
    expectSame(MakeDesign({{"A", "a", "b"}, {"B", "c", "d"}}), OpenBytes(bytes.replace(" comments=", " other=")));
}

TEST_F(CFileRoundTripTest, AnInvalidLevelIsMarkedOnItsLevelElementAndNothingElseOfTheFileChanges)
{
    const Design d = MakeDesign({{"Card", "valid", "expired", "blank"}, {"Amount", "1", "-1"}}, {}, {{"valid", "1"}});
    FillGrid(grid, {{"Card", "Amount"}, {"~expired", "1"}});
    QByteArray without = saveBytes(d), with;
    QBuffer source(&without), out(&with);
    Result<DesignText> opened = CFile::OpenXMLFile(source);
    ASSERT_TRUE(opened);
    DesignText marked = opened.value();  // the same design, three of its levels invalid
    marked.invalidLevels = {{2, 1}, {3, 1}, {2, 2}};
    ASSERT_TRUE(file.SaveXMLFile(out, marked));
    EXPECT_EQ(with.count("<level invalid=\"1\">"), 3);
    EXPECT_EQ(QByteArray(with).replace(" invalid=\"1\"", ""), without) << "without marks: the file as ever";
    expectSame(d, OpenBytes(with));

    with.replace("<level invalid=\"1\">-1", "<level invalid=\"yes\">-1");  // only "1" marks a level
    QBuffer in(&with);
    const Result<DesignText> read = CFile::OpenXMLFile(in);
    ASSERT_TRUE(read);
    EXPECT_EQ(read.value().invalidLevels, (CFactors::LevelCells{{2, 1}, {3, 1}}));
}
