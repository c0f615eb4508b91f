#include "files/ModelText.h"

#include <gtest/gtest.h>

#include <random>
#include <variant>

namespace {

// The design in one line: factors with their marked levels, constraint rows, where the rules
// start (1 when the file has none) and their text; then the text's layout.
std::string Summary(const DesignText& d)
{
    QStringList factors;
    for (int f = 1; f <= d.numFactors; ++f) {
        QStringList levels;
        for (int j = 1; j <= d.levelCounts.at(f); ++j) {
            QString level = d.factors.at(j, f);
            if (d.invalidLevels.contains({j, f}))
                level.prepend('~');
            if (d.levelWeights.contains({j, f}))
                level += QStringLiteral("(%1)").arg(d.levelWeights.at({j, f}));
            if (d.levelAliases.contains({j, f}))
                level += "|" + d.levelAliases.at({j, f}).join('|');
            levels << level;
        }
        factors << d.factors.at(0, f) + "=" + levels.join(',');
    }
    QStringList rows;
    for (int c = 1; c <= d.numConstraints; ++c)
        rows << QStringLiteral("%1.%2!%3.%4").arg(d.constraints.at(c, 1), d.constraints.at(c, 2), d.constraints.at(c, 3),
                                                  d.constraints.at(c, 4));
    QStringList layout;
    for (const auto& [f, comments] : d.textLayout.aboveFactor)
        layout << QString::number(f) + ":" + comments;
    for (const auto& [rule, written] : d.textLayout.groupLines)
        layout << rule + "=" + written;
    return (factors.join(' ') + " | " + rows.join(' ') + " | @" + QString::number(d.rulesFirstLine) + " " + d.rules +
            " | " + layout.join(' ') + " rows" + QString::number(d.textLayout.aboveRows.size()) + " rules" +
            QString::number(d.textLayout.aboveRules.size()) + (d.textLayout.crLfLineEnds ? " crlf" : ""))
        .toStdString();
}

TEST(ModelTextTest, ReadsFactorsMarksGroupsConstraintsRulesAndComments)
{
    const struct {
        const char* text;
        const char* summary;
    } cases[] = {
        {"OS: Win, Mac\nBrowser : Chrome ,Edge\n", "OS=Win,Mac Browser=Chrome,Edge |  | @1  |  rows1 rules1"},
        {"\xEF\xBB\xBF# comment\r\n\r\nA: x, y\r\n", "A=x,y |  | @1  | 1:# comment\n\n rows1 rules1 crlf"},
        {"A: ~x, y (5), Windows 11 | Win11 | W11, Win (x64), v (), /p/processing-instruction(\"pi\")",
         "A=~x,y(5),Windows 11|Win11|W11,Win (x64),v (),/p/processing-instruction(\"pi\") |  | @1  |  rows1 rules1"},
        {"A: ~z | zz (2), b", "A=~z(2)|zz,b |  | @1  |  rows1 rules1"},
        {"Time: 10:30, 11:00", "Time=10:30,11:00 |  | @1  |  rows1 rules1"},  // the first colon ends the name
        {"A: a, b\nB: c, d\nC: e, f\n{ A, [B], C } @ 2;\n",
         "A=a,b B=c,d C=e,f |  | @4 { [A], [B], [C] } @ 2; | { [A], [B], [C] } @ 2;={ A, [B], C } @ 2; rows1 rules0"},
        // Rows are the rules that mean one, right after the factors; blank lines part them.
        {"A: a, b\nB: c, d\n\nIF [A] = \"a\" THEN [B] <> \"d\";\n\nIF [A] = \"b\" THEN [B] = \"c\";\n",
         "A=a,b B=c,d | A.a!B.d | @6 IF [A] = \"b\" THEN [B] = \"c\"; |  rows1 rules1"},
        {"A: a\"q, b\\s\nB: c, d\nIF [A] = \"a\\\"q\" THEN [B] <> \"d\";\nIF [A] = \"b\\\\s\" THEN [B] <> \"c\";",
         "A=a\"q,b\\s B=c,d | A.a\"q!B.d A.b\\s!B.c | @1  |  rows0 rules1"},
        // A rule of that shape over one factor, or naming no level of the design, stays a rule.
        {"A: a1, a2\nB: b\nIF [A] = \"a1\" THEN [A] <> \"a2\";\nIF [A] = \"a1\" THEN [B] <> \"b\";",
         "A=a1,a2 B=b |  | @3 IF [A] = \"a1\" THEN [A] <> \"a2\";\nIF [A] = \"a1\" THEN [B] <> \"b\"; |  rows1 rules0"},
        {"A: a1, a2\nB: b\n\nIF [A] = \"a1\" THEN [B] <> \"c\";",
         "A=a1,a2 B=b |  | @4 IF [A] = \"a1\" THEN [B] <> \"c\"; |  rows1 rules1"},
        // Comments between factors stay above theirs; those right above the first rule are the rules'.
        {"# top\nA: a, b\n  # on B\n\nB: c\n# keep\n[A] <> \"a: x\";\n# also\n",
         "A=a,b B=c |  | @6 # keep\n[A] <> \"a: x\";\n# also | 1:# top\n 2:  # on B\n\n rows1 rules0"},
        {"A: a, b\nB: c, d\n{ A, B } @ 2\nnot [A] = \"a\";\n{ [A],\n[B] } @ 2;",
         "A=a,b B=c,d |  | @3 { [A], [B] } @ 2;\nnot [A] = \"a\";\n{ [A],\n[B] } @ 2; | { [A], [B] } @ 2;={ A, B } @ 2 "
         "rows1 rules0"},
        {"IFrame: on, off\nNOTE: x, y\n(\n[IFrame] = \"on\");", "IFrame=on,off NOTE=x,y |  | @3 (\n[IFrame] = \"on\"); |  rows1 rules0"},
        {"A: a\n# only comments below\n\n", "A=a |  | @2 # only comments below\n |  rows1 rules0"},
        {"", " |  | @1  |  rows1 rules1"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.text);
        const auto read = ReadModelText(c.text);
        ASSERT_TRUE(read) << read.error().line << ":" << read.error().column << " "
                          << read.error().message.toStdString();
        const DesignText& d = read.value();
        EXPECT_EQ(Summary(d), c.summary);
        EXPECT_TRUE(d.fromModelText);
    }
}

TEST(ModelTextTest, RefusesABadTextAtItsLineAndColumnAndReturnsNothing)
{
    const struct {
        const char* text;
        const char* problem;
    } cases[] = {
        {"A: x, , y", "1:7: empty level"},
        {"A: x,", "1:6: empty level"},
        {"A:", "1:3: empty level"},
        {"A: x (0)", "1:6: a weight is a whole number from 1 to 1000000 in parentheses"},
        {"A: x ( 1000001 )", "1:6: a weight is a whole number from 1 to 1000000 in parentheses"},
        {"A: x (99999999999999999999)", "1:6: a weight is a whole number from 1 to 1000000 in parentheses"},
        {"A: ~ (3), b", "1:4: a level needs a name"},
        {"A: a | , b", "1:4: empty alias"},
        {"\n  Linux Windows", "2:3: expected a factor (Name: level, level), a group ({ A, B } @ 2) or a rule"},
        {"  : a", "1:3: a factor needs a name before \":\""},
        {"A: a, b, a", "1:10: factor A has the level \"a\" twice"},
        {"A: a\n# x\nA: b", "3:1: factor A is already defined on line 1"},
        {"A: a, b\n{ A, B } @ 2", "2:6: unknown factor [B]"},
        {"A: a, b\nB: c\n{ A, B, A } @ 2", "3:9: factor [A] is twice in the group"},
        {"A: a, b\nB: c\n{ A, B } @ 7", "3:12: group strength must be from 2 to 6, found 7"},
        {"A: a, b\nB: c\n{ A, B } @ 3", "3:12: group strength 3 is larger than its 2 factors"},
        {"A: a, b\nB: c\n{ A, B } 2", "3:10: expected @ and the group's strength after }"},
        {"A: a, b\nB: c\n{ , B } @ 2", "3:3: expected a factor's name in the group"},
        {"A: caf\xE9, b", "1:7: the text is not UTF-8"},
        {"A: a\nB: b\x0c c", "2:5: the text holds the control character U+000C"},
        {"A: a, b\rB: c\r\n", "1:8: a carriage return within the line: lines end with LF or CR LF"},
        // Factor lines after the first rule: said where they stand, not where the rules fail later.
        {"# c\n\nif [A] = \"a1\" then [B] <> \"b1\";\nA: a1, a2\nB: b1, b2\n",
         "4:1: factor lines come before the rules, which start on line 3"},
        {"X: x\n# rules\nNOT [X] = \"x\";\n\n  Y: y1, y2\n", "5:3: factor lines come before the rules, which start on line 3"},
        {"X: x, y\nZ: z\nIF [X] = \"x\" THEN [Z] <> \"z\";\nY: y1\n", "4:1: factor lines come before the rules, which start on line 3"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.text);
        const auto read = ReadModelText(c.text);
        ASSERT_FALSE(read);
        const DesignReadFailure& error = read.error();
        EXPECT_EQ(QStringLiteral("%1:%2: %3").arg(error.line).arg(error.column).arg(error.message).toStdString(),
                  c.problem);
        EXPECT_THROW((void)read.value(), std::bad_variant_access) << "a refused text returns no design";
    }
}

TEST(ModelTextTest, TellsTheKindByTheContent)
{
    using Kind = DesignFileKind;
    const struct {
        QByteArray bytes;
        Kind kind;
    } cases[] = {
        {"A: a, b", Kind::ModelText},
        {"\xEF\xBB\xBF  \n A: a", Kind::ModelText},
        {"# only a comment", Kind::ModelText},
        {"A: \x01 b", Kind::ModelText},  // for its reader to say where
        {"<?xml ?>", Kind::Document},
        {" \n\t<requirements/>", Kind::Document},
        {"\xEF\xBB\xBF<requirements/>", Kind::Document},
        {"\xFF\xFE<\0r\0/\0>\0", Kind::Document},
        {"", Kind::Document},
        {"   \n", Kind::Document},
        {QByteArray("A: a\0b", 6), Kind::Neither},
        {QByteArray("\x89PNG\r\n\x1a\n\0\0\0\rIHDR", 16), Kind::Neither},
    };
    for (const auto& c : cases)
        EXPECT_EQ(KindOfDesignFile(c.bytes), c.kind) << c.bytes.toStdString();
}

TEST(ModelTextTest, TextsWrittenOrKeptReadAndWriteBackByteForByte)
{
    const char* const texts[] = {
        "# what it tests\nA: a1 | one, ~a2 (3)\n\n# between\nB: b1, b2\n\n{ A, B } @ 2\n\nIF [A] = \"a1\" THEN [B] = \"b1\";\n",
        "A: a1, a2\nB: b1, b2\nIF [A] = \"a1\" THEN [B] <> \"b1\";\nIF [A] IN {\"a2\"} THEN [B] <> \"b2\";\n",
        "A: a1, a2\nB: b1, b2\n\n\nIF [A] = \"a1\" THEN [B] <> \"b1\";\n\nIF [A] = \"a1\" THEN [A] <> \"a2\";\n\n",
        "A: a\n  \n\t# indented\nB: b\n# trailing comment\n",
        // An invalid level's name may start with "~"; a name that ends in what reads as a
        // weight is written with its weight, 1 too.
        "A: ~~a, v (2) (3), b | ~c | d (), w | x (1) (1)\n",
        // A first name starting with U+FEFF keeps it behind a byte order mark; a line ending in
        // CR keeps it when every line ends with CR LF.
        "\xEF\xBB\xBF\xEF\xBB\xBF" "A: a, b\r\nB: c\r\n\r\nIF [A] = \"a\"\r\r\n THEN [B] = \"c\";\r\n",
        "# lines that end with CR LF\r\nA: a, b\r\nB: c\r\n\r\nIF [A] = \"a\" THEN [B] = \"c\";\r\n",
        "A: a, b\nB: c\n\n  \n", "A: a, b\nB: c, d\n\nIF [A] = \"a\" THEN [B] <> \"c\";\n\n",  // blank lines at the end
    };
    for (const char* text : texts) {
        SCOPED_TRACE(text);
        const auto read = ReadModelText(text);
        ASSERT_TRUE(read) << read.error().Described().toStdString();
        const Result<QByteArray> written = WriteModelText(read.value());
        ASSERT_TRUE(written) << written.error().toStdString();
        EXPECT_EQ(written.value().toStdString(), text);
    }
}

// A random design of names a model text can hold, with marks, constraints, rules and comments.
DesignText RandomDesign(std::mt19937& random)
{
    static const QStringList pool = {"a", "B 2", "Café", "東京", "x-y_z", "10:30", "(q)", "Win (x64)", "\"quoted\"",
                                     "back\\slash", "a]b", "😀", "e.g. this", "N/A", "50%", "v ()", "n (7)", "t\tab", "<x>",
                                     QString(QChar(0xFEFF)) + "bom", "#5", "~"};
    const auto pick = [&](int n) { return int(random() % unsigned(n)); };
    DesignText d;
    d.numFactors = 2 + pick(4);
    d.levelCounts = LongArray(1, d.numFactors);
    d.maxNumLevels = 0;
    for (int f = 1; f <= d.numFactors; ++f)
        d.maxNumLevels = std::max(d.maxNumLevels, d.levelCounts(f) = 1 + pick(5));
    d.factors = TextTable(0, d.maxNumLevels, 1, d.numFactors);
    for (int f = 1; f <= d.numFactors; ++f) {
        const QString name = QString(pool[pick(int(pool.size()))]).remove(']').remove(':');
        d.factors(0, f) = f == 1 && pick(3) == 0 ? QChar(0xFEFF) + name : QStringLiteral("F%1 ").arg(f) + name;
        if (pick(3) == 0)
            d.textLayout.aboveFactor[f] = pick(2) ? "# on " + name + "\n" : "\n  # two\r\n";
        for (int j = 1; j <= d.levelCounts.at(f); ++j) {
            d.factors(j, f) = QString::number(j) + pool[pick(int(pool.size()))];
            if (pick(4) == 0)
                d.invalidLevels.emplace(j, f);
            if (pick(4) == 0)
                d.levelWeights[{j, f}] = 2 + pick(50);
            if (pick(5) == 0)
                d.levelAliases[{j, f}] = QStringList{"alias " + QString::number(j), "also " + pool[pick(int(pool.size()))]};
        }
    }
    d.numConstraints = pick(3);
    if (d.numConstraints > 0)
        d.constraints = TextTable(1, d.numConstraints, 1, 4);
    for (int c = 1; c <= d.numConstraints; ++c) {  // rows of two different factors
        const int f = 1 + pick(d.numFactors), g = 1 + (f + pick(d.numFactors - 1)) % d.numFactors;
        d.constraints(c, 1) = d.factors.at(0, f);
        d.constraints(c, 2) = d.factors.at(1 + pick(d.levelCounts.at(f)), f);
        d.constraints(c, 3) = d.factors.at(0, g);
        d.constraints(c, 4) = d.factors.at(1 + pick(d.levelCounts.at(g)), g);
    }
    const QStringList rules = {"", "IF [%1] = \"1a\" THEN NOT [%2] = \"1a\";", "# note\n\nNOT ([%1] = \"x\" AND [%2] = \"y\");\n",
                               "{ [%1], [%2] } @ 2;\n\n# end", "NOT [%1] = \"a\"\r\r\nOR [%2] = \"b\";\r"};
    if (const QString& rule = rules[pick(int(rules.size()))]; !rule.isEmpty())
        d.rules = rule.arg(d.factors.at(0, 1), d.factors.at(0, 2));
    if (!d.rules.isEmpty() && pick(2))
        d.textLayout.aboveRules = "\n\n";
    return d;
}

TEST(ModelTextTest, ADesignComesBackThroughItsTextWhichWritesBackTheSame)
{
    std::mt19937 random(7);
    for (int round = 0; round < 400; ++round) {
        const DesignText design = RandomDesign(random);
        const Result<QByteArray> written = WriteModelText(design);
        ASSERT_TRUE(written) << written.error().toStdString() << Summary(design);
        const QByteArray& text = written.value();
        SCOPED_TRACE(text.toStdString());
        const auto read = ReadModelText(text);
        ASSERT_TRUE(read) << read.error().Described().toStdString();
        DesignText back = read.value();
        // Where the rules start and how lines end are the text's own; everything else is the design's.
        back.rulesFirstLine = design.rulesFirstLine;
        back.textLayout.crLfLineEnds = design.textLayout.crLfLineEnds;
        EXPECT_EQ(Summary(back), Summary(design));
        const Result<QByteArray> again = WriteModelText(back);
        ASSERT_TRUE(again);
        EXPECT_EQ(again.value(), text);
    }
}

TEST(ModelTextTest, RefusesToWriteANameThatWouldReadBackOtherwiseNamingEveryOne)
{
    const struct {
        QString factor, level, reason;
    } cases[] = {
        {"A:B", "a", "The factor \"A:B\" cannot be written as model text: it holds \":\"."},
        {"IF x", "a", "The factor \"IF x\" cannot be written as model text: it would read as a comment, a group or a rule."},
        {"[A]", "a", "The factor \"[A]\" cannot be written as model text: it would read as a comment, a group or a rule."},
        {"# A", "a", "The factor \"# A\" cannot be written as model text: it would read as a comment, a group or a rule."},
        {" A", "a", "The factor \" A\" cannot be written as model text: it starts or ends with a blank."},
        {"A\nB", "a", "The factor \"A\nB\" cannot be written as model text: it holds a line break."},
        {"<A>", "a", "The factor \"<A>\" cannot be written first in a model text: a text that starts with \"<\" is "
                     "read as a design document."},
        {"A", "a,b", "The level \"a,b\" of factor A cannot be written as model text: it holds \",\"."},
        {"A", "a|b", "The level \"a|b\" of factor A cannot be written as model text: it holds \"|\"."},
        {"A", "~a", "The level \"~a\" of factor A cannot be written as model text: it starts with \"~\", which marks an invalid level."},
        {"A", "", "The level \"\" of factor A cannot be written as model text: it is empty."},
        {"A", "a\x01", "The level \"a\x01\" of factor A cannot be written as model text: it holds the control character U+0001."},
        {"A", QString(QChar(0xD800)), "The level \"" + QString(QChar(0xD800)) +
                                          "\" of factor A cannot be written as model text: it holds U+D800, half of a "
                                          "character."},
    };
    for (const auto& c : cases) {
        DesignText d;
        d.numFactors = 1;
        d.levelCounts = LongArray(1, 1);
        d.levelCounts(1) = 1;
        d.factors = TextTable(0, 1, 1, 1);
        d.factors(0, 1) = c.factor;
        d.factors(1, 1) = c.level;
        const Result<QByteArray> written = WriteModelText(d);
        ASSERT_FALSE(written);
        EXPECT_EQ(written.error(), c.reason);
    }

    // Every problem of a design in one refusal, the comments and rules too.
    DesignText d;
    d.numFactors = 3;
    d.levelCounts = LongArray(1, 3);
    d.levelCounts(1) = 2;
    d.levelCounts(2) = 1;
    d.factors = TextTable(0, 2, 1, 3);
    for (const auto& [row, col, text] : {std::tuple{0, 1, "A:1"}, {1, 1, "a|1"}, {2, 1, "a|1"}, {0, 2, "B"},
                                         {1, 2, "~b"}, {0, 3, "B"}})
        d.factors(row, col) = text;
    d.levelWeights[{1, 2}] = 2'000'000;
    d.textLayout.aboveFactor[2] = "# fine\nnot a comment\n";
    d.rules = "# first\n;\n";
    const Result<QByteArray> written = WriteModelText(d);
    ASSERT_FALSE(written);
    EXPECT_EQ(written.error().toStdString(),
              "The factor \"A:1\" cannot be written as model text: it holds \":\".\n"
              "The level \"a|1\" of factor A:1 cannot be written as model text: it holds \"|\".\n"
              "The level \"a|1\" of factor A:1 cannot be written as model text: the factor has two levels of that name.\n"
              "The level \"a|1\" of factor A:1 cannot be written as model text: it holds \"|\".\n"
              "The comments above factor B cannot be written as model text: a line of them is neither blank nor a "
              "comment.\n"
              "The level \"~b\" of factor B cannot be written as model text: it starts with \"~\", which marks an "
              "invalid level.\n"
              "The level \"~b\" of factor B cannot be written as model text: its weight 2000000 is not from 1 to "
              "1000000.\n"
              "The factor \"B\" cannot be written as model text: the design has two factors of that name.\n"
              "The factor \"B\" cannot be written as model text: it has no level.\n"
              "The rules text cannot be written as model text: its first line that is not a comment, \";\", does not "
              "start a rule and would read as a factor.");
}

}  // namespace
