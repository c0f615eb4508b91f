// vantrel-cli coverage as a gate for a build, and explain, on the bundled checkout example.
#include "tests/cli/CliRun.h"
#include "tests/support/TestFiles.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {

const QString kCheckout = QStringLiteral(VANTREL_EXAMPLES "/checkout.txt");

class CliCoverageTest : public ::testing::Test {
protected:
    QTemporaryDir dir;
    // A generated suite, or its first `rows` test cases.
    QString suite(int rows = -1)
    {
        const CliRun generated = Cli({"generate", kCheckout, "--seed", "1"});
        EXPECT_EQ(generated.exitCode, 0) << generated.err.toStdString();
        const QStringList lines = Lines(generated.out);
        const QString path = dir.filePath(rows < 0 ? "all.tsv" : "head.tsv");
        EXPECT_TRUE(WriteFileBytes(path, (lines.mid(0, rows < 0 ? -1 : rows + 1).join("\r\n") + "\r\n").toUtf8()));
        return path;
    }
};

TEST_F(CliCoverageTest, ACompleteSuitePassesAndAPartOfItFailsWithItsGaps)
{
    const QString whole = suite();
    const CliRun text = Cli({"coverage", kCheckout, "--suite", whole});
    EXPECT_EQ(text.exitCode, 0);
    EXPECT_EQ(text.out, "A total of 183 combinations out of 183 were found in the constraints, previous test, and the "
                        "test case matrix.\n");
    const QJsonObject summary = QJsonDocument::fromJson(Cli({"coverage", kCheckout, "--suite", whole, "--format", "json"})
                                                            .out.toUtf8())
                                    .object()["summary"]
                                    .toObject();
    EXPECT_EQ(summary["required"].toInt(), 176);
    EXPECT_EQ(summary["covered"].toInt(), 176);
    EXPECT_EQ(summary["missing"].toInt(), 0);
    EXPECT_EQ(summary["excluded"].toInt(), 7);  // four by the Locker rule, two by Pickup's, Guest with Invoice
    const QJsonArray growth = summary["growth"].toArray();
    EXPECT_EQ(growth.size(), summary["rows"].toInt());
    EXPECT_EQ(growth.last().toInt(), 176);
    for (qsizetype r = 1; r < growth.size(); ++r)
        EXPECT_GT(growth[r].toInt(), growth[r - 1].toInt()) << "every test case adds a pair";

    // Eight test cases: the gate fails; data alone on standard output, the summary on standard error.
    const QString head = suite(8);
    const CliRun csv = Cli({"coverage", kCheckout, "--suite", head, "--missing", "--format", "csv"});
    EXPECT_EQ(csv.exitCode, 1);
    EXPECT_TRUE(csv.err.startsWith("A total of ")) << csv.err.toStdString();
    const QStringList rows = csv.out.split('\n', Qt::SkipEmptyParts);
    EXPECT_TRUE(rows.first().endsWith(",missing")) << rows.first().toStdString();
    EXPECT_EQ(rows.filter(",missing").size() + rows.filter(",cannot occur: ").size(), rows.size());
    EXPECT_TRUE(rows.contains("Country,Japan,Delivery,Locker,cannot occur: the rule on line 11"));
    EXPECT_EQ(Cli({"coverage", kCheckout, "--suite", head}).exitCode, 1) << "without --missing too";

    const QString plot = dir.filePath("g.svg");
    EXPECT_EQ(Cli({"coverage", kCheckout, "--suite", whole, "--plot", plot}).exitCode, 0);
    const QByteArray svg = FileBytes(plot);
    EXPECT_TRUE(svg.contains("<svg") && svg.contains("<polyline") && svg.contains("2-way: 100% after ")) << svg.constData();
}

TEST_F(CliCoverageTest, ExplainNamesTheRuleByItsLineOrGivesATestCase)
{
    const struct {
        QStringList levels;
        int exitCode;
        const char* firstLine;
    } cases[] = {
        {{"Country=Japan", "Delivery=Locker"}, 1, "Country = Japan, Delivery = Locker cannot occur: the rule on line 11."},
        {{"Delivery=Pickup", "Country=Japan"}, 1, "Delivery = Pickup, Country = Japan cannot occur: the rule on line 10."},
        {{"Country=Germany", "Delivery=Locker"}, 0, "Country = Germany, Delivery = Locker can occur, for example in this test case:"},
        {{"Country=Japan", "Country=France"}, 1,
         "Country = Japan, Country = France cannot occur. A test case holds one level of each factor."},
        {{"Country=Mars", "Delivery=Locker"}, 2, ""},
        {{"Country=Japan"}, 2, ""},
    };
    for (const auto& c : cases) {
        const CliRun run = Cli(QStringList{"explain", kCheckout} + c.levels);
        EXPECT_EQ(run.exitCode, c.exitCode) << c.levels.join(' ').toStdString();
        EXPECT_EQ(run.out.section('\n', 0, 0), c.firstLine) << run.err.toStdString();
    }
    const QStringList example = Cli({"explain", kCheckout, "Country=Germany", "Delivery=Locker"}).out.split('\n');
    EXPECT_EQ(example[1], "Customer\tCountry\tDelivery\tPayment\tCoupon\tBasket");
    EXPECT_EQ(example[2].section('\t', 1, 2), "Germany\tLocker");
    EXPECT_EQ(Cli({"explain", kCheckout, "Country=Japan", "Delivery=Locker"}).out.section('\n', 1, 1),
              "  line 11: IF [Delivery] = \"Locker\" THEN [Basket] <> \"Oversized\" AND [Country] <> \"Japan\";");
}

}  // namespace
