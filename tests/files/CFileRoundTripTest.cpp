#include "tests/files/DesignFileFixture.h"

#include <QDomDocument>
#include <QFile>

namespace {

QStringList ChildNames(const QDomNode& node)
{
    QStringList names;
    for (QDomElement e = node.firstChildElement(); !e.isNull(); e = e.nextSiblingElement())
        names << e.tagName();
    return names;
}

using CFileRoundTripTest = DesignFileTest;

TEST_F(CFileRoundTripTest, EveryTableComesBackExactlyThroughAFileThatReplacesTheEarlierOne)
{
    const Design d = MakeDesign({{"Browser", "Firefox", "Edge"},
                    {"OS", "Linux", "Windows", "macOS", "BSD", "Haiku"},
                    {"Screen", "Phone", "Tablet", "Desktop"}},
                   {{"Browser", "Edge", "OS", "macOS"}, {"OS", "Haiku", "Screen", "Phone"}},
                   {{"Firefox", "Linux", "Desktop"}, {"Edge", "Windows", "Phone"}});
    setMatrix({{"Browser", "OS", "Screen"},
               {"Firefox", "BSD", "Tablet"},
               {"Edge", "Linux", "Phone"},
               {"Firefox", "Haiku", "Desktop"}});
    const QString path = dir.filePath("design.test");
    QFile earlier(path);
    ASSERT_TRUE(earlier.open(QIODevice::WriteOnly));
    earlier.write("an earlier file, longer than nothing");
    earlier.close();

    ASSERT_TRUE(save(d, path));
    const Loaded l = Open(path);
    expectSame(d, l);
    EXPECT_EQ(l.maxLevels, 5);
    EXPECT_EQ(l.factors.at(3, 1), "");  // below the first factor's two levels
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
    setMatrix(matrix);

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
    setMatrix({{"A", "B"}, {"a1", "b1"}});
    const QByteArray bytes = saveBytes(d);
    EXPECT_TRUE(bytes.startsWith("<?xml version=\"1.0\" encoding=\"ISO-8859-1\" standalone=\"yes\"?>\n<requirements>"))
        << bytes.left(80).toStdString();
    QDomDocument doc;
    ASSERT_TRUE(doc.setContent(bytes));
    EXPECT_TRUE(doc.firstChild().isProcessingInstruction());
    const QDomElement root = doc.documentElement();
    EXPECT_EQ(root.tagName(), "requirements");
    EXPECT_EQ(ChildNames(root), QStringList({"factors", "constraints", "previousruns", "QXVMatrix"}));

    const QDomElement factors = root.firstChildElement();
    EXPECT_EQ(ChildNames(factors), QStringList({"Factor", "Factor"}));
    const QDomElement b = factors.lastChildElement();
    EXPECT_EQ(b.attributes().count(), 1);
    EXPECT_EQ(b.attribute("Name"), "B");
    EXPECT_EQ(ChildNames(factors.firstChildElement()), QStringList({"level", "level"}));  // no filler to five
    EXPECT_EQ(ChildNames(b), QStringList(5, "level"));
    const QDomElement constraint = root.firstChildElement("constraints").firstChildElement();
    EXPECT_EQ(constraint.tagName(), "constraint");
    EXPECT_EQ(ChildNames(constraint), QStringList({"iffactor", "iflevel", "thenfactor", "thenlevel"}));
    EXPECT_EQ(constraint.lastChildElement().text(), "b2");
    const QDomElement prevRun = root.firstChildElement("previousruns").firstChildElement();
    EXPECT_EQ(prevRun.tagName(), "previousrun");
    EXPECT_EQ(ChildNames(prevRun), QStringList({"run", "run"}));
    const QDomElement matrix = root.lastChildElement();
    EXPECT_EQ(ChildNames(matrix), QStringList({"row", "row"}));
    EXPECT_EQ(ChildNames(matrix.lastChildElement()), QStringList({"run", "run"}));
    EXPECT_EQ(matrix.lastChildElement().firstChildElement().text(), "a1");
}

TEST_F(CFileRoundTripTest, EmptySectionsAreWrittenAndReadAsNothing)
{
    const Design d = MakeDesign({{"A", "a1"}, {"B", "b1"}});
    setMatrix({{"A", "B"}});  // nothing generated yet: the names row alone
    const QByteArray bytes = saveBytes(d);
    EXPECT_TRUE(bytes.contains("<constraints/>"));
    EXPECT_TRUE(bytes.contains("<previousruns/>"));
    EXPECT_TRUE(bytes.contains("<QXVMatrix/>"));
    const Loaded l = OpenBytes(bytes);
    expectSame(d, l);
    EXPECT_FALSE(l.constraints.isDimensioned());
    EXPECT_FALSE(l.prevRuns.isDimensioned());
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
    ASSERT_TRUE(l.ok) << l.reason.toStdString();
    EXPECT_EQ(l.counts, Counts({2, 1}));
    EXPECT_EQ(l.factors, MakeDesign({{"Café", "x", "yé"}, {"B", "p"}}).factors);
    EXPECT_EQ(l.constraints, Rows({{"Café", "x", "B", "p"}}));
    EXPECT_EQ(l.prevRuns, Rows({{"yé", "p"}}));
    EXPECT_EQ(l.matrix, Rows({{"Café", "B"}, {"x", "p"}}));

    const Loaded utf8 = OpenBytes("<?xml version=\"1.0\" encoding=\"UTF-8\"?><requirements><factors>"
                                  "<Factor Name=\"Caf\xC3\xA9\"/></factors><constraints/><previousruns/></requirements>");
    ASSERT_TRUE(utf8.ok) << utf8.reason.toStdString();  // three sections: no matrix
    EXPECT_EQ(utf8.factors.at(0, 1), "Café");
    EXPECT_EQ(utf8.R, 0);
}

TEST_F(CFileRoundTripTest, ReadsTheBundledExample)
{
    const Loaded l = Open(QStringLiteral(VANTREL_EXAMPLES_DIR "/browser-matrix.test"));
    ASSERT_TRUE(l.ok) << l.reason.toStdString();
    EXPECT_EQ(l.n, 5);
    EXPECT_EQ(l.maxLevels, 4);
    QStringList names;
    for (int f = 1; f <= l.n; ++f)
        names << l.factors.at(0, f) + "/" + QString::number(l.counts.at(f));
    EXPECT_EQ(names, QStringList({"Browser/4", "Operating system/3", "Screen/3", "Language/3", "Network/3"}));
    EXPECT_EQ(l.m, 3);
    EXPECT_EQ(l.constraints.at(3, 2), "Edge");
    EXPECT_EQ(l.p, 1);
    EXPECT_EQ(l.prevRuns.at(1, 5), "Wi-Fi");
    EXPECT_EQ(l.R, 0);
}

TEST_F(CFileRoundTripTest, AsksBeforeStoringAMatrixOfMoreThan1000Cells)
{
    const Design d = MakeDesign({{"A", "a"}});
    auto saveAnswering = [&](MsgResult answer) {
        messages.answer(answer);
        const QByteArray bytes = saveBytes(d);
        const MessageRequest box = takeOnlyMessage();
        EXPECT_EQ(box.text, "The Test Matrix is very large. Do you want to include it with the file?");
        EXPECT_EQ(box.buttons, MsgButtons::YesNo);
        EXPECT_EQ(box.icon, MsgIcon::Question);
        EXPECT_EQ(box.helpContext, 27);
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
}

TEST_F(CFileRoundTripTest, WarnsBeforeLoadingMoreThan500Rows)
{
    const Design d = MakeDesign({{"A", "a"}});
    setMatrixSize(501, 1);
    const QByteArray bytes = saveBytes(d);
    messages.answer(MsgResult::Ok);
    expectSame(d, OpenBytes(bytes));
    const MessageRequest box = takeOnlyMessage();
    EXPECT_EQ(box.text, "There are 501 columns in the Test Case matrix. Loading will take a few seconds.");
    EXPECT_EQ(box.buttons, MsgButtons::Ok);
    EXPECT_EQ(box.icon, MsgIcon::Information);

    setMatrixSize(500, 1);
    expectSame(d, OpenBytes(saveBytes(d)));  // no box: the fixture fails on an unexpected one
}

}  // namespace
