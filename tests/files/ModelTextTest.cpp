#include "files/ModelText.h"

#include <gtest/gtest.h>

#include <random>
#include <variant>

namespace {

// The design in one line: factors with their marked levels, constraint rows, where the rules
// start (1 when the file has none) and their text.
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
    return (factors.join(' ') + " | " + rows.join(' ') + " | @" + QString::number(d.rulesFirstLine) + " " + d.rules)
        .toStdString();
}

TEST(ModelTextTest, ReadsFactorsMarksGroupsConstraintsAndRules)
{
    const struct {
        const char* text;
        const char* summary;
    } cases[] = {
        {"OS: Win, Mac\nBrowser : Chrome ,Edge\n", "OS=Win,Mac Browser=Chrome,Edge |  | @1 "},
        {"\xEF\xBB\xBF# comment\r\n\r\nA: x, y\r\n", "A=x,y |  | @1 "},
        {"A: ~x, y (5), Windows 11 | Win11 | W11, Win (x64)",
         "A=~x,y(5),Windows 11|Win11|W11,Win (x64) |  | @1 "},
        {"A: ~z | zz (2), b", "A=~z(2)|zz,b |  | @1 "},
        {"Time: 10:30, 11:00", "Time=10:30,11:00 |  | @1 "},  // the first colon ends the name
        {"A: a, b\nB: c, d\nC: e, f\n{ A, [B], C } @ 2;\n", "A=a,b B=c,d C=e,f |  | @4 { [A], [B], [C] } @ 2;"},
        {"A: a, b\nB: c, d\n\nIF [A] = \"a\" THEN [B] <> \"d\";\n\nIF [A] = \"b\" THEN [B] = \"c\";\n",
         "A=a,b B=c,d | A.a!B.d | @6 IF [A] = \"b\" THEN [B] = \"c\";"},
        {"A: a\"q, b\\s\nB: c, d\nIF [A] = \"a\\\"q\" THEN [B] <> \"d\";\nIF [A] = \"b\\\\s\" THEN [B] <> \"c\";",
         "A=a\"q,b\\s B=c,d | A.a\"q!B.d A.b\\s!B.c | @5 "},
        // Comments right above the first rule belong to the rules; a rule with ":" is a rule.
        {"A: a, b\n# keep\n[A] <> \"a: x\";\n# also\n", "A=a,b |  | @2 # keep\n[A] <> \"a: x\";\n# also"},
        {"A: a, b\nB: c, d\n{ A, B } @ 2\nnot [A] = \"a\";\n{ [A],\n[B] } @ 2;",
         "A=a,b B=c,d |  | @3 { [A], [B] } @ 2;\nnot [A] = \"a\";\n{ [A],\n[B] } @ 2;"},
        {"IFrame: on, off\nNOTE: x, y\n(\n[IFrame] = \"on\");", "IFrame=on,off NOTE=x,y |  | @3 (\n[IFrame] = \"on\");"},
        {"", " |  | @1 "},
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
        {"A: x ()", "1:6: a weight is a whole number from 1 to 1000000 in parentheses"},
        {"A: x (0)", "1:6: a weight is a whole number from 1 to 1000000 in parentheses"},
        {"A: x (99999999)", "1:6: a weight is a whole number from 1 to 1000000 in parentheses"},
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
    const struct {
        QByteArray bytes;
        bool text;
    } cases[] = {
        {"A: a, b", true},     {"\xEF\xBB\xBF  \n A: a", true}, {"# only a comment", true},
        {"<?xml ?>", false},   {" \n\t<requirements/>", false}, {"\xEF\xBB\xBF<requirements/>", false},
        {"", false},           {"   \n", false},                {QByteArray("A: a\0b", 6), false},
        {"A: \x01 b", false},
    };
    for (const auto& c : cases)
        EXPECT_EQ(IsModelText(c.bytes), c.text) << c.bytes.toStdString();
}

// A random design of names a model text can hold, with marks, constraints and rules.
DesignText RandomDesign(std::mt19937& random)
{
    static const QStringList pool = {"a", "B 2", "Café", "東京", "x-y_z", "10:30", "(q)", "Win (x64)", "\"quoted\"",
                                     "back\\slash", "a]b", "😀", "e.g. this", "N/A", "50%"};
    const auto pick = [&](int n) { return int(random() % unsigned(n)); };
    DesignText d;
    d.numFactors = 2 + pick(4);
    d.levelCounts = LongArray(1, d.numFactors);
    d.maxNumLevels = 0;
    for (int f = 1; f <= d.numFactors; ++f)
        d.maxNumLevels = std::max(d.maxNumLevels, d.levelCounts(f) = 1 + pick(5));
    d.factors = TextTable(0, d.maxNumLevels, 1, d.numFactors);
    for (int f = 1; f <= d.numFactors; ++f) {
        d.factors(0, f) = QStringLiteral("F%1 ").arg(f) + QString(pool[pick(int(pool.size()))]).remove(QLatin1Char(']')).remove(QLatin1Char(':'));
        for (int j = 1; j <= d.levelCounts.at(f); ++j) {
            d.factors(j, f) = QString::number(j) + pool[pick(int(pool.size()))];
            if (pick(4) == 0)
                d.invalidLevels.emplace(j, f);
            if (pick(4) == 0)
                d.levelWeights[{j, f}] = 2 + pick(50);
            if (pick(5) == 0)
                d.levelAliases[{j, f}] = QStringList{"alias " + QString::number(j), pool[pick(int(pool.size()))]};
        }
    }
    d.numConstraints = pick(3);
    if (d.numConstraints > 0)
        d.constraints = TextTable(1, d.numConstraints, 1, 4);
    for (int c = 1; c <= d.numConstraints; ++c) {
        const int f = 1 + pick(d.numFactors), g = 1 + pick(d.numFactors);
        d.constraints(c, 1) = d.factors.at(0, f);
        d.constraints(c, 2) = d.factors.at(1 + pick(d.levelCounts.at(f)), f);
        d.constraints(c, 3) = d.factors.at(0, g);
        d.constraints(c, 4) = d.factors.at(1 + pick(d.levelCounts.at(g)), g);
    }
    const QStringList rules = {"", "IF [%1] = \"1a\" THEN NOT [%2] = \"1a\";", "# note\n\nNOT ([%1] = \"x\");\n",
                               "{ [%1], [%2] } @ 2;\n\n# end"};
    d.rules = rules[pick(int(rules.size()))].arg(d.factors.at(0, 1), d.factors.at(0, 2));
    return d;
}

TEST(ModelTextTest, ADesignComesBackThroughItsText)
{
    std::mt19937 random(7);
    for (int round = 0; round < 300; ++round) {
        const DesignText design = RandomDesign(random);
        const Result<QByteArray> written = WriteModelText(design);
        ASSERT_TRUE(written) << written.error().toStdString() << Summary(design);
        const QByteArray& text = written.value();
        const auto read = ReadModelText(text);
        ASSERT_TRUE(read) << text.toStdString() << read.error().message.toStdString();
        DesignText back = read.value();
        SCOPED_TRACE(text.toStdString());
        // Where the rules start is the text's own; everything else is the design's.
        back.rulesFirstLine = design.rulesFirstLine;
        EXPECT_EQ(Summary(back), Summary(design));
    }
}

TEST(ModelTextTest, RefusesToWriteANameThatWouldReadBackOtherwise)
{
    const struct {
        QString factor, level;
        const char* reason;
    } cases[] = {
        {"A:B", "a", "The factor \"A:B\" cannot be written as model text: it holds \":\"."},
        {"IF x", "a", "The factor \"IF x\" cannot be written as model text: it would read as a comment, a group or a rule."},
        {"[A]", "a", "The factor \"[A]\" cannot be written as model text: it would read as a comment, a group or a rule."},
        {"# A", "a", "The factor \"# A\" cannot be written as model text: it would read as a comment, a group or a rule."},
        {" A", "a", "The factor \" A\" cannot be written as model text: it starts or ends with a blank."},
        {"A\nB", "a", "The factor \"A\nB\" cannot be written as model text: it holds a line break."},
        {"A", "a,b", "The level \"a,b\" of factor A cannot be written as model text: it holds \",\"."},
        {"A", "a|b", "The level \"a|b\" of factor A cannot be written as model text: it holds \"|\"."},
        {"A", "~a", "The level \"~a\" of factor A cannot be written as model text: it starts with \"~\", which marks an invalid level."},
        {"A", "v (2)", "The level \"v (2)\" of factor A cannot be written as model text: it ends with what reads as a weight."},
        {"A", "", "The level \"\" of factor A cannot be written as model text: it is empty."},
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
        EXPECT_EQ(written.error().toStdString(), c.reason);
    }
}

}  // namespace
