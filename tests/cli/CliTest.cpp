// vantrel-cli as a script sees it: its output, its messages and its exit codes.
#include "tests/cli/CliRun.h"
#include "tests/support/TestFiles.h"

#include <QProcess>
#include <QTemporaryDir>

#include <sys/resource.h>

#include <QRegularExpression>

#include <gtest/gtest.h>

namespace {

class CliTest : public ::testing::Test {
protected:
    QTemporaryDir dir;

    // A copy of the example design that a test may change.
    QString example(const QString& name = "browser-matrix.test")
    {
        return write(name, FileBytes(QStringLiteral(VANTREL_EXAMPLES "/browser-matrix.test")));
    }

    QString write(const QString& name, const QByteArray& content)
    {
        EXPECT_TRUE(WriteFileBytes(dir.filePath(name), content));
        return dir.filePath(name);
    }
};

const QByteArray kHeader = "<?xml version=\"1.0\" encoding=\"ISO-8859-1\" standalone=\"yes\"?>\n";

QByteArray Design(const QByteArray& factors, const QByteArray& constraints = {}, const QByteArray& prev = {})
{
    return kHeader + "<requirements><factors>" + factors + "</factors><constraints>" + constraints +
           "</constraints><previousruns>" + prev + "</previousruns><QXVMatrix/></requirements>";
}

TEST_F(CliTest, GenerateWritesAHeaderAndOneLinePerTestCase)
{
    const CliRun run = Cli({"generate", example(), "--seed", "7", "--evolutions", "20"});
    ASSERT_EQ(run.exitCode, 0) << run.err.toStdString();
    const QStringList lines = Lines(run.out);
    EXPECT_EQ(lines.first(), "Browser\tOperating system\tScreen\tLanguage\tNetwork");
    EXPECT_GE(lines.size() - 1, 12) << "4 x 3 levels need at least 12 test cases";
    for (const QString& line : lines)
        EXPECT_EQ(line.count('\t'), 4) << line.toStdString();
}

TEST_F(CliTest, SaveStoresTheMatrixAndCoverageCountsIt)
{
    const QString design = example();
    // No matrix yet: a gate for a build fails.
    const CliRun before = Cli({"coverage", design});
    EXPECT_EQ(before.exitCode, 1);
    EXPECT_EQ(before.out, "A total of 13 combinations out of 102 were found in the constraints, previous test, and the "
                          "test case matrix. 89 combinations that a valid test case can hold are missing; --missing "
                          "lists them.\n");

    const QString csv = dir.filePath("matrix.csv");
    ASSERT_EQ(Cli({"generate", design, "--seed", "3", "--save", "--format", "csv", "--output", csv}).exitCode, 0);
    EXPECT_TRUE(FileBytes(csv).startsWith("Browser,Operating system,Screen,Language,Network\r\n"));

    // Complete; what cannot occur is listed with the Constraints row that forbids it.
    const CliRun after = Cli({"coverage", design, "--missing"});
    EXPECT_EQ(after.exitCode, 0);
    EXPECT_TRUE(after.out.startsWith("A total of 102 combinations out of 102 were found in the constraints, previous "
                                      "test, and the test case matrix.\nBrowser\tSafari\tOperating system\tLinux\t"
                                      "cannot occur: Constraints row 1\n"))
        << after.out.toStdString();
    EXPECT_FALSE(after.out.contains("\tmissing\n"));

    // A pairwise matrix leaves combinations of three levels out; a matrix of strength 3 does not.
    const CliRun triples = Cli({"coverage", design, "--strength", "3", "--missing"});
    EXPECT_EQ(triples.exitCode, 1);
    EXPECT_GT(triples.out.count("\tmissing\n"), 2) << "one line per missing combination";
    // Compacted too: the saved matrix still covers every combination of three levels.
    for (const QStringList& compact : {QStringList{}, QStringList{"--compact-moves", "3000"}}) {
        const CliRun run = Cli(QStringList{"generate", design, "--strength", "3", "--seed", "3", "--save", "--output", csv} + compact);
        ASSERT_EQ(run.exitCode, 0) << run.err.toStdString();
        EXPECT_EQ(run.err.startsWith("Compaction: "), !compact.isEmpty()) << run.err.toStdString();
        const CliRun covered = Cli({"coverage", design, "--strength", "3"});
        EXPECT_EQ(covered.exitCode, 0);
        EXPECT_EQ(covered.out, "A total of 324 combinations out of 324 were found in the constraints, previous test, and "
                               "the test case matrix.\n");
    }
}

TEST_F(CliTest, AGroupIsCoveredAtItsStrengthAndCountedApart)
{
    QByteArray factors;
    for (const char name : QByteArray("ABCDEF"))
        factors += "<Factor Name=\"" + QByteArray(1, name) + "\"><level>1</level><level>2</level><level>3</level></Factor>";
    const QString design = write("group.test", kHeader + "<requirements><factors>" + factors +
                                                   "</factors><constraints/><previousruns/><QXVMatrix/>"
                                                   "<rules>{ [A], [B], [C] } @ 3;</rules></requirements>");
    const CliRun run = Cli({"generate", design, "--seed", "1", "--save"});
    ASSERT_EQ(run.exitCode, 0) << run.err.toStdString();
    EXPECT_LT(run.out.count('\n') - 1, 36) << "the triples of the group alone, not of every factor, need 27 or more";
    const QString covered = "A total of 162 combinations out of 162 were found in the constraints, previous test, and the "
                            "test case matrix.\n135 of 135 valid pairs\nGroup { [A], [B], [C] } @ 3: 27 of 27 triples\n";
    EXPECT_EQ(Cli({"coverage", design}).out, covered);
    EXPECT_EQ(Cli({"validate", design}).out, "The design is valid.\nThe rules text holds 0 rules and 1 group.\n"
                                             "Covered by the saved test cases: 135 of 135 valid pairs.\n"
                                             "Covered by the saved test cases: Group { [A], [B], [C] } @ 3: 27 of 27 "
                                             "triples.\n");
}

TEST_F(CliTest, ConstraintsThatOnlyHoldTogetherAreKeptAndNamed)
{
    // "A = a1 excludes B = b1" and "A = a1 excludes B = b2": no test case can hold A = a1.
    const QByteArray factors = "<Factor Name=\"A\"><level>a1</level><level>a2</level></Factor>"
                               "<Factor Name=\"B\"><level>b1</level><level>b2</level></Factor>"
                               "<Factor Name=\"C\"><level>c1</level><level>c2</level></Factor>";
    auto excluding = [](const QByteArray& a, const QByteArray& b) {
        return "<constraint><iffactor>A</iffactor><iflevel>" + a + "</iflevel><thenfactor>B</thenfactor><thenlevel>" +
               b + "</thenlevel></constraint>";
    };
    const QString design = write("a1.test", Design(factors, excluding("a1", "b1") + excluding("a1", "b2")));
    EXPECT_EQ(Cli({"validate", design}).out, "The design is valid.\nTogether the constraints also exclude 1 level "
                                              "and 0 further pairs of levels that no constraint names.\nA\ta1\n");

    const CliRun run = Cli({"generate", design, "--seed", "1", "--evolutions", "20", "--save"});
    ASSERT_EQ(run.exitCode, 0);
    EXPECT_EQ(run.err, "");  // no "Failed to converge"
    EXPECT_FALSE(run.out.contains("a1")) << run.out.toStdString();
    const CliRun missing = Cli({"coverage", design, "--missing"});
    EXPECT_EQ(missing.exitCode, 0);
    EXPECT_TRUE(missing.out.endsWith("matrix.\nA\ta1\tB\tb1\tcannot occur: Constraints row 1\n"
                                     "A\ta1\tB\tb2\tcannot occur: Constraints row 2\n"
                                     "A\ta1\tC\tc1\tcannot occur: Constraints rows 1 and 2 together\n"
                                     "A\ta1\tC\tc2\tcannot occur: Constraints rows 1 and 2 together\n"))
        << missing.out.toStdString();

    const QString none = write("none.test", Design(factors, excluding("a1", "b1") + excluding("a1", "b2") +
                                                                excluding("a2", "b1") + excluding("a2", "b2")));
    // Such a design is not valid, and nothing else is said before the constraints' refusal.
    const CliRun invalid = Cli({"validate", none});
    EXPECT_EQ(invalid.exitCode, 1);
    EXPECT_EQ(invalid.out, "No test case can satisfy every constraint: Constraints rows 1, 2, 3 and 4 together.\n");
    const CliRun refused = Cli({"generate", none});
    EXPECT_EQ(refused.exitCode, 1);
    EXPECT_EQ(refused.err, "Infeasible constraints\n");
    const CliRun counted = Cli({"coverage", none, "--missing"});
    EXPECT_EQ(counted.exitCode, 1);
    EXPECT_EQ(counted.err, "No test case can satisfy every constraint: Constraints rows 1, 2, 3 and 4 together.\n");
    EXPECT_TRUE(counted.out.endsWith("B\tb2\tC\tc2\tcannot occur: Constraints rows 2 and 4 together\n")) << counted.out.toStdString();
}

TEST_F(CliTest, ADesignWithoutAValidTestCaseIsSaidSoAndNothingOfTheSolverShows)
{
    // Two one-level factors that exclude each other: no test case at all.
    const QString design = write("none.test", Design("<Factor Name=\"A\"><level>a</level></Factor>"
                                                     "<Factor Name=\"B\"><level>b</level></Factor>"
                                                     "<Factor Name=\"C\"><level>c1</level><level>c2</level></Factor>",
                                                     "<constraint><iffactor>A</iffactor><iflevel>a</iflevel><thenfactor>B"
                                                     "</thenfactor><thenlevel>b</thenlevel></constraint>"));
    struct Case {
        QStringList args;
        int exitCode;
        QString out, err;
    };
    const QString counted = "A total of 5 combinations out of 5 were found in the constraints, previous test, and the test "
                            "case matrix.\n";
    const std::vector<Case> cases = {
        {{"generate", design}, 1, "", "Infeasible constraints\n"},
        {{"generate", design, "--strength", "3"}, 1, "", "Infeasible constraints\n"},
        {{"all", design}, 1, "", "Infeasible constraints\n"},
        {{"validate", design}, 1, "No test case can satisfy every constraint: Constraints row 1.\n", ""},
        {{"coverage", design, "--missing"}, 1,
         counted + "A\ta\tB\tb\tcannot occur: Constraints row 1\nA\ta\tC\tc1\tcannot occur: Constraints row 1\n"
                   "A\ta\tC\tc2\tcannot occur: Constraints row 1\nB\tb\tC\tc1\tcannot occur: Constraints row 1\n"
                   "B\tb\tC\tc2\tcannot occur: Constraints row 1\n",
         "No test case can satisfy every constraint: Constraints row 1.\n"},
    };
    for (const Case& c : cases) {
        const CliRun run = Cli(c.args);
        EXPECT_EQ(run.exitCode, c.exitCode) << c.args.join(' ').toStdString();
        EXPECT_EQ(run.out, c.out) << c.args.join(' ').toStdString();
        EXPECT_EQ(run.err, c.err) << c.args.join(' ').toStdString();
    }
}

TEST_F(CliTest, EachCommandTakesItsOwnOptionsAndTheManualPageNamesThemAll)
{
    const QString design = example();
    struct Case {
        QStringList args;
        const char* problem;
    };
    const std::vector<Case> refused = {
        {{"validate", design, "--compact", "5"}, "validate does not take --compact"},
        {{"export", design, "--seed", "1", "--format", "csv", "--output", "x.csv"}, "export does not take --seed"},
        {{"generate", design, "--yes"}, "generate does not take --yes"},
        {{"generate", design, "--frobnicate"}, "unknown option --frobnicate"},
        {{"generate", design, "--seed"}, "--seed needs a value"},
        {{"generate", design, "--save=yes"}, "--save takes no value"},
    };
    for (const Case& c : refused) {
        const CliRun run = Cli(c.args);
        EXPECT_EQ(run.exitCode, 2) << c.problem;
        EXPECT_TRUE(run.err.startsWith(QStringLiteral("vantrel-cli: ") + c.problem + "\n")) << run.err.toStdString();
        EXPECT_TRUE(run.err.contains("usage: vantrel-cli " + c.args[0])) << "the command's own usage follows";
        EXPECT_TRUE(run.out.isEmpty());
    }
    EXPECT_EQ(Cli({"generate", design, "--seed=3", "--evolutions=5"}).out, Cli({"generate", design, "--seed", "3", "--evolutions", "5"}).out);

    // COMMAND --help gives that command's options only; --help every command and option, as the
    // manual page does.
    const QString coverage = Cli({"coverage", "--help"}).out;
    EXPECT_TRUE(coverage.startsWith("usage: vantrel-cli coverage DESIGN [options]\n"));
    EXPECT_TRUE(coverage.contains("--missing") && !coverage.contains("--seed"));
    const CliRun help = Cli({"--help"});
    EXPECT_EQ(help.exitCode, 0);
    const QString manual = QString::fromUtf8(FileBytes(QStringLiteral(VANTREL_MANUAL)));
    const QStringList helpLines = help.out.split('\n');
    for (const QString& line : helpLines) {
        static const QRegularExpression command("^  ([a-z]+) "), option("^  --([a-z-]+)");
        if (const QRegularExpressionMatch m = command.match(line); m.hasMatch()) {
            EXPECT_TRUE(manual.contains(".B " + m.captured(1) + "\n")) << m.captured(1).toStdString();
        }
        if (const QRegularExpressionMatch m = option.match(line); m.hasMatch()) {
            EXPECT_TRUE(manual.contains("\\-\\-" + QString(m.captured(1)).replace("-", "\\-"))) << m.captured(1).toStdString();
        }
    }
}

TEST_F(CliTest, ATimeBudgetSaysWhatRepeatsItsSuite)
{
    // On two threads two compactions stop at moves of their own: the summary lists each.
    const QString design = example();
    for (const char* threads : {"1", "2"}) {
        SCOPED_TRACE(threads);
        const CliRun budget = Cli({"generate", design, "--seed", "4", "--threads", threads, "--time", "0.5"});
        ASSERT_EQ(budget.exitCode, 0) << budget.err.toStdString();
        const QRegularExpressionMatch repeat =
            QRegularExpression(R"(\(--evolutions (\d+) --compact-moves ([\d,]+)\)\.\n$)").match(budget.err);
        ASSERT_TRUE(repeat.hasMatch()) << budget.err.toStdString();
        EXPECT_EQ(repeat.captured(2).count(','), QString(threads).toInt() - 1);
        const CliRun again = Cli({"generate", design, "--seed", "4", "--threads", threads, "--evolutions",
                                  repeat.captured(1), "--compact-moves", repeat.captured(2)});
        EXPECT_EQ(again.out, budget.out);
    }
    for (const char* moves : {"0", "5,", "5,x", "-1,3"})
        EXPECT_EQ(Cli({"generate", design, "--compact-moves", moves}).exitCode, 2) << moves;
}

TEST_F(CliTest, RefusalsAndTheirExitCodes)
{
    const CliRun valid = Cli({"validate", example()});
    EXPECT_EQ(valid.exitCode, 0);
    EXPECT_EQ(valid.out, "The design is valid.\n");

    const QString duplicate = write("dup.test", Design("<Factor Name=\"A\"><level>x</level><level>x</level></Factor>"
                                                       "<Factor Name=\"B\"><level>1</level><level>2</level></Factor>"));
    const CliRun refused = Cli({"validate", duplicate});
    EXPECT_EQ(refused.exitCode, 1);
    EXPECT_EQ(refused.err, "There are redundant levels in factor 'A' both are named 'x'\n");

    const QString oneLevel = write("small.test", Design("<Factor Name=\"A\"><level>x</level></Factor>"
                                                        "<Factor Name=\"B\"><level>1</level></Factor>"));
    const CliRun tooSmall = Cli({"generate", oneLevel});
    EXPECT_EQ(tooSmall.exitCode, 1);
    EXPECT_EQ(tooSmall.err, "You must have at least two factors at two levels before generating the combinations.\n");

    const QString covered = write("covered.test",
                                  Design("<Factor Name=\"A\"><level>x</level><level>y</level></Factor>"
                                         "<Factor Name=\"B\"><level>1</level><level>2</level></Factor>",
                                         {},
                                         "<previousrun><run>x</run><run>1</run></previousrun>"
                                         "<previousrun><run>x</run><run>2</run></previousrun>"
                                         "<previousrun><run>y</run><run>1</run></previousrun>"
                                         "<previousrun><run>y</run><run>2</run></previousrun>"));
    const CliRun none = Cli({"generate", covered});
    EXPECT_EQ(none.exitCode, 1);
    EXPECT_TRUE(none.err.startsWith("The Previous Tests contain all the combinations.")) << none.err.toStdString();

    EXPECT_EQ(Cli({"generate", dir.filePath("missing.test")}).exitCode, 2);
    EXPECT_EQ(Cli({"generate", write("broken.test", "<requirements><factors>")}).exitCode, 2);
    EXPECT_EQ(Cli({"frobnicate", example()}).exitCode, 2);
    EXPECT_EQ(Cli({"generate"}).exitCode, 2);
    EXPECT_EQ(Cli({"generate", example(), "--evolutions", "0"}).exitCode, 2);
    EXPECT_EQ(Cli({"generate", example(), "--strength", "7"}).exitCode, 2);
    EXPECT_EQ(Cli({"generate", example(), "--format", "xml"}).exitCode, 2);
}

TEST_F(CliTest, ADesignTooLargeForTheMemoryIsRefusedNotAborted)
{
#ifdef VANTREL_SANITIZED
    GTEST_SKIP() << "a sanitized program needs more address space than the limit this test sets";
#endif
    // 250 factors of 30 levels: some 28 million pairs of levels, about 600 MB of search
    // tables, run with an address space of 350 MB.
    QByteArray factors;
    for (int f = 0; f < 250; ++f) {
        factors += "<Factor Name=\"F" + QByteArray::number(f) + "\">";
        for (int l = 0; l < 30; ++l)
            factors += "<level>v" + QByteArray::number(l) + "</level>";
        factors += "</Factor>";
    }
    QProcess p;
    p.setChildProcessModifier([] {
        const rlimit limit{350u << 20, 350u << 20};
        setrlimit(RLIMIT_AS, &limit);
    });
    p.start(QStringLiteral(VANTREL_CLI), {"generate", write("large.test", Design(factors)), "--threads", "1", "--evolutions", "1"});
    p.waitForFinished(120000);
    EXPECT_EQ(p.exitStatus(), QProcess::NormalExit);
    EXPECT_EQ(p.exitCode(), 1);
    EXPECT_TRUE(QString::fromUtf8(p.readAllStandardError()).endsWith("vantrel-cli: out of memory\n"));
}

TEST_F(CliTest, AllListsEveryAdmissibleCombinationAfterTheSizeQuestion)
{
    const QString design = example();
    // 4 x 3 x 3 x 3 x 3 = 324 rows, less the constraints' and the previous test's.
    const CliRun listed = Cli({"all", design});
    ASSERT_EQ(listed.exitCode, 0) << listed.err.toStdString();
    QStringList lines = Lines(listed.out);
    EXPECT_EQ(lines.takeFirst(), "Browser\tOperating system\tScreen\tLanguage\tNetwork");
    EXPECT_EQ(lines.size(), 324 - 3 * 27 - 1);
    EXPECT_FALSE(lines.contains("Firefox\tLinux\tDesktop\tEnglish\tWi-Fi")) << "a previous test is not asked again";
    for (const QString& line : lines)
        EXPECT_FALSE(line.startsWith("Safari\tLinux")) << "a forbidden pair was listed";

    // Above 1,000 rows the listing asks first: no --yes, no listing.
    QByteArray factors;
    for (const char* name : {"A", "B", "C", "D", "E"})
        factors += QByteArray("<Factor Name=\"") + name + "\"><level>1</level><level>2</level><level>3</level>"
                   "<level>4</level></Factor>";
    const QString big = write("big.test", Design(factors));
    const CliRun asked = Cli({"all", big});
    EXPECT_EQ(asked.exitCode, 1);
    EXPECT_EQ(asked.err, "The current design will require 1,024 before constraints are applied. Are you sure you "
                         "would like to generate all tests?\nAnswered No. Run it again with --yes to answer Yes.\n");
    EXPECT_TRUE(asked.out.isEmpty());
    const CliRun confirmed = Cli({"all", big, "--yes"});
    EXPECT_EQ(confirmed.exitCode, 0);
    EXPECT_EQ(confirmed.out.count('\n'), 1024 + 1);
}

TEST_F(CliTest, ExportWritesTheSavedMatrixInTheFormatNamed)
{
    const QString design = example();
    const QString generated = dir.filePath("generated.csv");
    ASSERT_EQ(Cli({"generate", design, "--seed", "5", "--save", "--format", "csv", "--output", generated}).exitCode, 0);
    // Each format's own beginning; the comma-delimited file is the saved matrix, as generate wrote it.
    const std::pair<QString, QByteArray> formats[] = {
        {"xlsx", "PK\x03\x04"}, {"xml", "<?xml"}, {"html", "<!DOCTYPE html>"},
        {"tsv", "Browser\tOperating system\tScreen\tLanguage\tNetwork\r\n"},
        {"csv", FileBytes(generated)}};
    for (const auto& [format, start] : formats) {
        const QString out = dir.filePath("m." + format);
        const CliRun run = Cli({"export", design, "--format", format, "--output", out});
        EXPECT_EQ(run.exitCode, 0) << format.toStdString() << ": " << run.err.toStdString();
        EXPECT_TRUE(run.out.isEmpty() && run.err.isEmpty());
        EXPECT_TRUE(FileBytes(out).startsWith(start)) << format.toStdString();
    }
    EXPECT_EQ(FileBytes(dir.filePath("m.csv")), formats[4].second);

    // A design never generated exports the empty grid, as the desktop program does.
    const QString empty = dir.filePath("empty.csv");
    EXPECT_EQ(Cli({"export", example("fresh.test"), "--format", "csv", "--output", empty}).exitCode, 0);
    const QByteArray bytes = FileBytes(empty);
    EXPECT_EQ(bytes.count(',') + bytes.count('\r') + bytes.count('\n'), bytes.size()) << bytes.toStdString();
}

TEST_F(CliTest, ExportRefusals)
{
    const QString design = example();
    const QString csv = dir.filePath("m.csv");
    EXPECT_EQ(Cli({"export", design, "--format", "csv"}).exitCode, 2) << "no --output";
    EXPECT_EQ(Cli({"export", design, "--output", csv}).exitCode, 2) << "no --format";
    const CliRun xls = Cli({"export", design, "--format", "xls", "--output", dir.filePath("m.xls")});
    EXPECT_EQ(xls.exitCode, 2);
    EXPECT_TRUE(xls.err.startsWith("vantrel-cli: --format is xlsx, xml, html, csv or tsv for export\n"));
    EXPECT_EQ(Cli({"export", dir.filePath("missing.test"), "--format", "csv", "--output", csv}).exitCode, 2);

    const QString out = dir.filePath("no/such/folder/m.xlsx");
    const CliRun unwritable = Cli({"export", design, "--format", "xlsx", "--output", out});
    EXPECT_EQ(unwritable.exitCode, 2);
    EXPECT_TRUE(unwritable.err.startsWith("Cannot write " + out + ": The file could not be created: "))
        << unwritable.err.toStdString();
    EXPECT_FALSE(QFileInfo::exists(out));
    EXPECT_FALSE(QFileInfo::exists(csv));
}

}  // namespace
