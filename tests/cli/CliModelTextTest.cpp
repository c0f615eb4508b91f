// vantrel-cli on model texts: read from a file or standard input, converted both ways, and
// their problems told at their line and column.
#include "tests/cli/CliRun.h"
#include "tests/support/TestFiles.h"

#include <QDir>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QRegularExpression>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {

const QByteArray kCheckout = "# a checkout\n"
                             "OS: Windows 11, macOS (5), ~Solaris\n"
                             "Browser: Chrome, Firefox, Edge\n"
                             "Pay: Card, PayPal, ~Expired card\n"
                             "\n"
                             "IF [OS] = \"macOS\" THEN [Browser] <> \"Edge\";\n"
                             "IF [OS] = \"Windows 11\" AND [Browser] = \"Chrome\" THEN [Pay] <> \"Card\";\n";

class CliModelTextTest : public ::testing::Test {
protected:
    QTemporaryDir dir;
    QString write(const QString& name, const QByteArray& content)
    {
        EXPECT_TRUE(WriteFileBytes(dir.filePath(name), content));
        return dir.filePath(name);
    }
};

TEST_F(CliModelTextTest, StandardInputAndAFileGiveOneSuiteThatKeepsTheRules)
{
    const QStringList options = {"--seed", "5", "--evolutions", "30"};
    const CliRun piped = Cli(QStringList{"generate", "-"} + options, QProcessEnvironment::systemEnvironment(), kCheckout);
    ASSERT_EQ(piped.exitCode, 0) << piped.err.toStdString();
    const CliRun fromFile = Cli(QStringList{"generate", write("checkout.model", kCheckout)} + options);
    EXPECT_EQ(piped.out, fromFile.out);
    const QStringList lines = Lines(piped.out);
    EXPECT_EQ(lines.first(), "OS\tBrowser\tPay");
    bool sawInvalid = false;
    for (const QString& line : lines.mid(1)) {
        EXPECT_NE(line.section('\t', 0, 1), "macOS\tEdge") << line.toStdString();
        EXPECT_NE(line, "Windows 11\tChrome\tCard");
        sawInvalid = sawInvalid || line.contains("~Solaris");
    }
    EXPECT_TRUE(sawInvalid) << "an invalid level is written with its ~";
}

TEST_F(CliModelTextTest, ConvertGoesToADesignFileAndBackToAnEquivalentText)
{
    const QString test = dir.filePath("checkout.test");
    ASSERT_EQ(Cli({"convert", write("checkout.txt", kCheckout), test}).exitCode, 0);
    EXPECT_TRUE(FileBytes(test).startsWith("<?xml"));
    const CliRun back = Cli({"convert", test, "-"});
    ASSERT_EQ(back.exitCode, 0) << back.err.toStdString();
    // The design file keeps the comments; the blank lines are those of a text written afresh.
    EXPECT_EQ(back.out.toStdString(), "# a checkout\n"
                                      "OS: Windows 11, macOS (5), ~Solaris\n"
                                      "Browser: Chrome, Firefox, Edge\n"
                                      "Pay: Card, PayPal, ~Expired card\n"
                                      "\n"
                                      "IF [OS] = \"macOS\" THEN [Browser] <> \"Edge\";\n"
                                      "\n"
                                      "IF [OS] = \"Windows 11\" AND [Browser] = \"Chrome\" THEN [Pay] <> \"Card\";\n");
    // The constraint came back as a Constraints row of the design file.
    EXPECT_TRUE(FileBytes(test).contains("<iflevel>macOS</iflevel>"));
    // The saved design's previous tests cannot go into a text: said, and left out.
    const QString withPrevious = dir.filePath("previous.test");
    ASSERT_EQ(Cli({"generate", test, "--seed", "1", "--evolutions", "5", "--output", "/dev/null"}).exitCode, 0);
    QByteArray bytes = FileBytes(test);
    bytes.replace("<previousruns/>",
                  "<previousruns><previousrun><run>macOS</run><run>Chrome</run><run>Card</run></previousrun></previousruns>");
    ASSERT_TRUE(WriteFileBytes(withPrevious, bytes));
    const CliRun leftOut = Cli({"convert", withPrevious, dir.filePath("p.txt")});
    EXPECT_EQ(leftOut.exitCode, 0);
    EXPECT_EQ(leftOut.err, "The previous tests and the matrix are left out: a model text holds neither.\n");
}

TEST_F(CliModelTextTest, ConvertPrintsATextAsItWasWrittenAndItsRulesGenerate)
{
    const QByteArray text = "# two factors\n"
                            "A: a1, a2\n"
                            "# between the factors\n"
                            "\n"
                            "B: b1, b2 (2)\n"
                            "IF [A] = \"a1\" THEN [A] <> \"a2\";\n"
                            "# in the rules\n"
                            "IF [A] = \"a2\" THEN [B] <> \"b2\";\n";
    const CliRun converted = Cli({"convert", write("m.txt", text), "-"});
    ASSERT_EQ(converted.exitCode, 0) << converted.err.toStdString();
    EXPECT_EQ(converted.out.toStdString(), text.toStdString());
    // The rule over one factor stays a rule, and the design generates.
    const CliRun generated = Cli({"generate", "-", "--seed", "1"}, QProcessEnvironment::systemEnvironment(),
                                 converted.out.toUtf8());
    EXPECT_EQ(generated.exitCode, 0) << generated.err.toStdString();
    EXPECT_EQ(generated.out.count('\n'), 4) << generated.out.toStdString();
    EXPECT_FALSE(generated.out.contains("a2\tb2"));
}

TEST_F(CliModelTextTest, AProblemIsToldAtTheFilesLineAndColumn)
{
    const struct {
        QByteArray text;
        QStringList args;  // M: the model text's path
        const char* message;
        int exitCode;
    } cases[] = {
        {"A: a, b\nB: c,, d\n", {"validate", "M"}, "M:2:6: empty level\n", 1},
        {kCheckout + "IF [Pay] = \"Cash\" THEN [OS] <> \"macOS\";\n", {"validate", "M"},
         "M:8:12: factor [Pay] has no level \"Cash\"\n", 1},
        {kCheckout, {"generate", "M", "--save"},
         "vantrel-cli: --save stores the matrix in a design file; a model text holds none (convert it to a .test "
         "first)\n",
         2},
        {"<requirements><factors><Factor Name=\"A:B\"><level>a</level></Factor></factors><constraints/>"
         "<previousruns/></requirements>",
         {"convert", "M", "-"}, "The factor \"A:B\" cannot be written as model text: it holds \":\".\n", 1},
        {"<requirements><factors><Factor Name=\"A:B\"><level>a,b</level><level>c</level></Factor></factors>"
         "<constraints/><previousruns/></requirements>",
         {"convert", "M", "-"},
         "The factor \"A:B\" cannot be written as model text: it holds \":\".\n"
         "The level \"a,b\" of factor A:B cannot be written as model text: it holds \",\".\n",
         1},
        // A missing ";" is told at the end of the rule that lacks it.
        {"A: a1, a2\nB: b1, b2\n\nIF [A] = \"a1\" THEN [B] <> \"b1\"\nIF [A] = \"a2\" THEN [B] <> \"b2\";\n",
         {"validate", "M"}, "M:4:31: missing ; before IF\n", 1},
        {"# rules first\n\nif [A] = \"a1\" then [B] <> \"b1\";\nA: a1, a2\nB: b1, b2\n", {"validate", "M"},
         "M:4:1: factor lines come before the rules, which start on line 3\n", 1},
        {QByteArray("\x89PNG\r\n\x1a\n\0\0\0\rIHDR", 16), {"validate", "M"},
         "Error opening file: M: The file is neither a Vantrel design nor a model text.\n", 2},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.text.toStdString());
        const QString model = write("m.txt", c.text);
        const CliRun run = Cli(QStringList(c.args).replaceInStrings(QRegularExpression("^M$"), model));
        EXPECT_EQ(run.exitCode, c.exitCode);
        EXPECT_EQ(run.err.toStdString(), QString::fromLatin1(c.message).replace("M:", model + ":").toStdString());
        EXPECT_TRUE(run.out.isEmpty());
    }
}

TEST_F(CliModelTextTest, EveryExampleValidatesAndGenerates)
{
    const QDir examples(QStringLiteral(VANTREL_EXAMPLES));
    const QStringList models = examples.entryList({"*.txt", "*.test"}, QDir::Files);
    EXPECT_GE(models.size(), 8);
    for (const QString& name : models) {
        SCOPED_TRACE(name.toStdString());
        const QString model = examples.filePath(name);
        const CliRun validate = Cli({"validate", model});
        EXPECT_EQ(validate.exitCode, 0) << validate.err.toStdString();
        EXPECT_TRUE(validate.out.startsWith("The design is valid.\n"));
        const QString strength = name.startsWith("compiler-flags") ? "3" : "2";
        const CliRun generate = Cli({"generate", model, "--seed", "1", "--evolutions", "20", "--strength", strength});
        EXPECT_EQ(generate.exitCode, 0) << generate.err.toStdString();
        EXPECT_GE(generate.out.count('\n'), 10);
        if (name.endsWith(".txt")) {  // written back as it was written
            EXPECT_EQ(Cli({"convert", model, "-"}).out.toUtf8(), FileBytes(model));
        }
    }
}

TEST_F(CliModelTextTest, JsonIsOneDocumentAParserReadsBack)
{
    const QString model = write("checkout.txt", kCheckout);
    const auto parsed = [](const CliRun& run) {
        QJsonParseError error{};
        const QJsonDocument document = QJsonDocument::fromJson(run.out.toUtf8(), &error);
        EXPECT_EQ(error.error, QJsonParseError::NoError) << run.out.toStdString();
        return document.object();
    };
    const QJsonObject suite = parsed(Cli({"generate", model, "--format", "json", "--seed", "3", "--evolutions", "20"}));
    EXPECT_EQ(suite["factors"].toArray(), QJsonArray({"OS", "Browser", "Pay"}));
    const QJsonObject summary = suite["summary"].toObject();
    EXPECT_EQ(summary["rows"].toInt(), suite["rows"].toArray().size());
    EXPECT_EQ(summary["strength"].toInt(), 2);
    EXPECT_EQ(summary["seed"].toString(), "3");
    EXPECT_EQ(summary["covered"], summary["required"]) << "a generated suite covers what it requires";
    EXPECT_TRUE(summary["invalidLevelPairs"].toObject()["required"].toInt() > 0);
    EXPECT_TRUE(QJsonDocument(suite["rows"].toArray()).toJson().contains("\"~Solaris\""));

    const QJsonObject listing = parsed(Cli({"all", model, "--format", "json"}));
    const CliRun text = Cli({"all", model});
    EXPECT_EQ(listing["rows"].toArray().size(), text.out.count('\n') - 1);
    EXPECT_EQ(listing["summary"].toObject()["rows"].toInt(), listing["rows"].toArray().size());

    const QJsonObject valid = parsed(Cli({"validate", model, "--format", "json"}))["summary"].toObject();
    EXPECT_TRUE(valid["valid"].toBool());
    EXPECT_EQ(valid["rules"].toInt(), 1);  // the other is a Constraints row

    // No saved matrix: everything a valid test case can hold is missing, listed with --missing,
    // and what none can hold with why.
    const CliRun gate = Cli({"coverage", model, "--format", "json", "--missing"});
    EXPECT_EQ(gate.exitCode, 1);
    const QJsonObject coverage = parsed(gate)["summary"].toObject();
    EXPECT_EQ(coverage["rows"].toInt(), 0);
    const QJsonObject invalidPairs = coverage["invalidLevelPairs"].toObject();
    for (const QJsonObject& counts : {coverage, invalidPairs}) {
        EXPECT_EQ(counts["required"].toInt(), counts["covered"].toInt() + counts["missing"].toInt());
        EXPECT_EQ(counts["growth"].toArray().size(), 0);
    }
    EXPECT_EQ(coverage["missingCombinations"].toArray().size(), coverage["missing"].toInt() + invalidPairs["missing"].toInt());
    const QJsonArray excluded = coverage["excludedCombinations"].toArray();
    EXPECT_EQ(excluded.size(), coverage["excluded"].toInt() + invalidPairs["excluded"].toInt());
    for (const QJsonValue& entry : excluded)
        EXPECT_FALSE(entry.toObject()["reason"].toString().isEmpty());

    const CliRun wrong = Cli({"generate", model, "--format", "xml"});
    EXPECT_EQ(wrong.exitCode, 2);
    EXPECT_TRUE(wrong.err.startsWith("vantrel-cli: --format is tsv, csv or json\n"));
}

TEST_F(CliModelTextTest, SeedsComeFirstAndABadSeedOrSuiteIsNamedAtItsLine)
{
    const QString model = write("checkout.txt", kCheckout);
    // A partial seed, an invalid level's ~, a column missing: completed, first, as given.
    write("seeds.csv", "Pay,OS\n~Expired card,macOS\n,Windows 11\n");
    const CliRun seeded = Cli({"generate", model, "--include", dir.filePath("seeds.csv"), "--seed", "2"});
    ASSERT_EQ(seeded.exitCode, 0) << seeded.err.toStdString();
    const QStringList lines = Lines(seeded.out);
    EXPECT_TRUE(lines[1].startsWith("macOS\t") && lines[1].endsWith("\t~Expired card")) << lines[1].toStdString();
    EXPECT_TRUE(lines[2].startsWith("Windows 11\t")) << lines[2].toStdString();
    EXPECT_NE(lines[1].section('\t', 1, 1), "Edge");

    // A previous test is not printed again; the seeded suite's coverage comes back whole.
    write("previous.tsv", "OS\tBrowser\tPay\nmacOS\tChrome\tCard\n");
    const CliRun withPrevious = Cli({"generate", model, "--previous", dir.filePath("previous.tsv"), "--seed", "2"});
    EXPECT_FALSE(withPrevious.out.contains("macOS\tChrome\tCard\n"));
    write("suite.tsv", seeded.out.toUtf8());
    const CliRun counted = Cli({"coverage", model, "--suite", dir.filePath("suite.tsv"), "--format", "json"});
    EXPECT_EQ(counted.exitCode, 0) << counted.err.toStdString();
    const QJsonObject summary = QJsonDocument::fromJson(counted.out.toUtf8()).object()["summary"].toObject();
    EXPECT_EQ(summary["covered"], summary["required"]);

    const struct {
        QStringList args;
        QByteArray file;
        const char* message;
        int exitCode;
    } cases[] = {
        {{"generate", model, "--include"}, "OS,Pay\nmacOS,Cash\n", "F:2:7: factor [Pay] has no level \"Cash\"\n", 1},
        {{"generate", model, "--include"}, "OS,Browser\nmacOS,Edge\n", "F:2:1: no valid test case holds the levels of this row\n", 1},
        {{"generate", model, "--include"}, "Os\n", "F:1:1: unknown factor [Os]\n", 1},
        {{"generate", model, "--previous"}, "OS,Browser\nmacOS,Edge\n", "F:1:1: no column for factor [Pay]\n", 1},
        {{"generate", model, "--previous"}, "OS\tBrowser\tPay\nmacOS\t\tCard\n", "F:2:7: no level for factor [Browser]\n", 1},
        {{"generate", model, "--previous"}, "OS\tBrowser\tPay\nmacOS\tChrome\tCard\nmacOS\tEdge\tCard\n",
         "F:3:1: this test breaks Constraints row 1\n", 1},
        {{"coverage", model, "--missing", "--suite"}, "Pay\tOS\tBrowser\nCard\tmacOS\tEdge\n", "", 1},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.file.toStdString());
        const QString file = write("rows.txt", c.file);
        const CliRun run = Cli(c.args + QStringList{file});
        EXPECT_EQ(run.exitCode, c.exitCode);
        EXPECT_EQ(run.err.toStdString(), QString::fromLatin1(c.message).replace("F:", file + ":").toStdString());
    }
    // Seeds that cover every pair leave nothing to generate, which is no failure to converge.
    write("all.tsv", "A\tB\na1\tb1\na1\tb2\na2\tb1\na2\tb2\n");
    const CliRun covered = Cli({"generate", write("ab.txt", "A: a1, a2\nB: b1, b2\n"), "--include", dir.filePath("all.tsv")});
    EXPECT_EQ(covered.exitCode, 0);
    EXPECT_EQ(covered.err, "");
    EXPECT_EQ(covered.out, "A\tB\r\na1\tb1\r\na1\tb2\r\na2\tb1\r\na2\tb2\r\n");

    const CliRun broken = Cli({"coverage", model, "--missing", "--suite", dir.filePath("rows.txt")});
    EXPECT_TRUE(broken.out.contains("\nThe test case on line 2 breaks Constraints row 1.\n")) << broken.out.toStdString();
}

}  // namespace
