// The coverage report against a count by brute force over every row of small random designs,
// and the reasons it gives against a table worked out by hand and against brute force.

#include "RandomRules.h"

#include "engine/ConstraintModel.h"
#include "engine/CoverageReport.h"
#include "engine/ExclusionExplainer.h"
#include "engine/LevelLookup.h"

#include <gtest/gtest.h>

#include <functional>
#include <map>
#include <random>
#include <set>

namespace {

using RandomRules::Case;
using RandomRules::Row;

std::shared_ptr<const ConstraintModel> Compiled(const DesignTables& design)
{
    ConstraintCompile compiled = ConstraintModel::Compile(design);
    EXPECT_EQ(compiled.problem, ConstraintCompile::Problem::None) << compiled.ruleError.message << "\n" << design.rules;
    return compiled.model;
}

// One requirement counted by brute force: its combinations of `t` of `factors`, those of valid
// levels (or, invalidPairs, those holding an invalid level), against the valid rows.
struct Expected {
    int64_t required = 0, covered = 0, excluded = 0, byPrevious = 0;
    std::vector<int64_t> growth;
    std::map<std::pair<int, int>, std::pair<int64_t, int64_t>> factorPairs;  // required, covered
};

Expected Count(const Case& c, const std::vector<int>& factors, int t, bool invalidPairs, const std::vector<Row>& previous,
               const std::vector<Row>& suite)
{
    const std::set<Row> valid(c.validRows.begin(), c.validRows.end());
    const auto kindOf = [&](const Row& row, const std::vector<int>& set) {
        int invalid = 0;
        for (const int f : set)
            invalid += c.Invalid(f, row[static_cast<size_t>(f)]);
        return invalid;
    };
    const auto holds = [](const Row& row, const std::vector<int>& set, const Row& levels) {
        for (size_t i = 0; i < set.size(); ++i)
            if (row[static_cast<size_t>(set[i])] != levels[i])
                return false;
        return true;
    };
    // A row covers a combination of valid levels only without an invalid level anywhere.
    const auto covers = [&](const Row& row, const std::vector<int>& set, const Row& levels) {
        return valid.count(row) && holds(row, set, levels) && (invalidPairs || c.InvalidLevels(row) == 0);
    };
    Expected e;
    e.growth.assign(suite.size(), 0);
    std::vector<int> pick(static_cast<size_t>(t));
    std::function<void(size_t, int)> choose = [&](size_t from, int depth) {
        if (depth < t) {
            for (size_t k = from; k < factors.size(); ++k) {
                pick[static_cast<size_t>(depth)] = factors[k];
                choose(k + 1, depth + 1);
            }
            return;
        }
        Row levels(static_cast<size_t>(t), 0);
        for (;;) {
            Row probe(c.factorLevels.size(), 0);
            for (int i = 0; i < t; ++i)
                probe[static_cast<size_t>(pick[static_cast<size_t>(i)])] = levels[static_cast<size_t>(i)];
            const int invalid = kindOf(probe, pick);
            if (invalidPairs ? invalid > 0 : invalid == 0) {
                bool holdable = false;
                for (const Row& row : c.validRows)
                    holdable = holdable || (holds(row, pick, levels) && (invalidPairs || c.InvalidLevels(row) == 0));
                // A previous test counts whatever it breaks, when a valid test case can hold the combination.
                int64_t firstSuiteRow = -1;
                bool byPrevious = false;
                for (const Row& row : previous)
                    byPrevious = byPrevious || (holdable && holds(row, pick, levels) && c.InvalidLevels(row) == (invalidPairs ? 1 : 0));
                for (size_t r = 0; r < suite.size() && firstSuiteRow < 0 && !byPrevious; ++r)
                    if (covers(suite[r], pick, levels))
                        firstSuiteRow = static_cast<int64_t>(r);
                e.excluded += !holdable;
                e.required += holdable;
                e.covered += byPrevious || firstSuiteRow >= 0;
                e.byPrevious += byPrevious;
                if (firstSuiteRow >= 0)
                    ++e.growth[static_cast<size_t>(firstSuiteRow)];
                for (int i = 0; i < t; ++i)
                    for (int j = i + 1; j < t; ++j) {
                        auto& pair = e.factorPairs[{pick[static_cast<size_t>(i)], pick[static_cast<size_t>(j)]}];
                        pair.first += holdable;
                        pair.second += byPrevious || firstSuiteRow >= 0;
                    }
            }
            int i = 0;
            while (i < t && ++levels[static_cast<size_t>(i)] == c.factorLevels[static_cast<size_t>(pick[static_cast<size_t>(i)])])
                levels[static_cast<size_t>(i++)] = 0;
            if (i == t)
                break;
        }
    };
    choose(0, 0);
    int64_t sum = e.byPrevious;
    for (int64_t& step : e.growth)
        step = sum += step;
    return e;
}

std::vector<int32_t> ToCodes(const Row& row) { return std::vector<int32_t>(row.begin(), row.end()); }

Row RandomRow(std::mt19937_64& rng, const Case& c)
{
    Row row;
    for (const int levels : c.factorLevels)
        row.push_back(std::uniform_int_distribution<int>(0, levels - 1)(rng));
    return row;
}

void ExpectRequirement(const CoverageRequirement& got, const Expected& want, const std::string& what)
{
    EXPECT_EQ(got.required, want.required) << what;
    EXPECT_EQ(got.covered, want.covered) << what;
    EXPECT_EQ(got.excluded, want.excluded) << what;
    EXPECT_EQ(got.coveredByPrevious, want.byPrevious) << what;
    EXPECT_EQ(got.growth, want.growth) << what;
}

TEST(CoverageReportTest, CountsEveryRequirementAsBruteForceDoes)
{
    std::mt19937_64 rng(20261208);
    for (int trial = 0; trial < 120; ++trial) {
        const Case c = RandomRules::MakeCase(rng, {trial % 2 == 1, trial % 3 == 2});
        const auto model = Compiled(c.design);
        if (!model || c.validRows.empty())
            continue;
        // Valid rows, rows that break a rule, rows with two invalid levels, as previous tests and in the suite.
        std::vector<Row> previous, suite;
        for (int k = trial % 3; k > 0; --k)
            previous.push_back(k == 2 ? RandomRow(rng, c)
                                      : c.validRows[std::uniform_int_distribution<size_t>(0, c.validRows.size() - 1)(rng)]);
        for (int k = trial % 9; k > 0; --k)
            suite.push_back(k % 3 == 0 ? RandomRow(rng, c)
                                       : c.validRows[std::uniform_int_distribution<size_t>(0, c.validRows.size() - 1)(rng)]);
        std::vector<std::vector<int32_t>> previousCodes, suiteCodes;
        for (const Row& row : previous)
            previousCodes.push_back(ToCodes(row));
        for (const Row& row : suite)
            suiteCodes.push_back(ToCodes(row));
        const int F = static_cast<int>(c.factorLevels.size());
        const int t = 2 + trial % 2;
        const CoverageReport report = ReportCoverage(*model, previousCodes, suiteCodes, {t, true, true});
        const std::string what = "trial " + std::to_string(trial) + "\n" + c.design.rules;

        std::vector<int> all;
        for (int f = 0; f < F; ++f)
            all.push_back(f);
        size_t index = 0;
        const Expected base = Count(c, all, std::min(t, F), false, previous, suite);
        ExpectRequirement(report.requirements.at(index++), base, what + " (strength)");
        for (const auto& [pair, counts] : base.factorPairs) {
            EXPECT_EQ(report.factorPairs.at(report.FactorPair(pair.first, pair.second)).required, counts.first) << what;
            EXPECT_EQ(report.factorPairs.at(report.FactorPair(pair.first, pair.second)).covered, counts.second) << what;
        }
        if (model->HasInvalidLevels())
            ExpectRequirement(report.requirements.at(index++), Count(c, all, 2, true, previous, suite), what + " (invalid)");
        for (const Case::Group& group : c.groups)
            ExpectRequirement(report.requirements.at(index++), Count(c, group.factors, group.strength, false, previous, suite),
                              what + " (group)");
        EXPECT_EQ(index, report.requirements.size()) << what;

        const std::set<Row> valid(c.validRows.begin(), c.validRows.end());
        int64_t problems = 0, previousProblems = 0;
        for (const Row& row : suite)
            problems += !valid.count(row);
        for (const Row& row : previous)
            previousProblems += !valid.count(row);
        EXPECT_EQ(static_cast<int64_t>(report.problemRows.size()), problems + previousProblems) << what;
        EXPECT_EQ(static_cast<int64_t>(report.missing.size()), report.Missing()) << what;
        EXPECT_EQ(static_cast<int64_t>(report.excluded.size()), report.Excluded()) << what;
        EXPECT_EQ(report.Complete(), report.Missing() == 0 && problems == 0) << what;
    }
}

TEST(CoverageReportTest, CountsADesignWithoutConstraintsByItsRowsAlone)
{
    // Without constraints only the combinations the rows hold are visited: the counts match
    // those of the listing, which visits every combination, and a block of 10^10 pairs costs
    // its rows.
    struct Sizes {
        std::vector<int32_t> levels;
        int32_t strength;
    };
    for (const Sizes& sizes : {Sizes{{3, 2, 4}, 2}, Sizes{{3, 2, 4, 2}, 3}, Sizes{{100000, 100000, 2}, 2}}) {
        DesignTables design;
        for (size_t f = 0; f < sizes.levels.size(); ++f) {
            design.factors.push_back({"F" + std::to_string(f)});
            for (int32_t l = 0; l < sizes.levels[f]; ++l)
                design.factors.back().push_back("l" + std::to_string(l));
        }
        design.levelCounts = sizes.levels;
        const auto model = Compiled(design);
        const std::vector<std::vector<int32_t>> previous{std::vector<int32_t>(sizes.levels.size(), 1)};
        std::vector<std::vector<int32_t>> suite{std::vector<int32_t>(sizes.levels.size(), 0), previous[0],
                                                std::vector<int32_t>(sizes.levels.size(), 0)};
        suite[2][0] = 2;
        const CoverageReport report = ReportCoverage(*model, previous, suite, {sizes.strength, false, true});
        const CoverageRequirement& got = report.requirements.at(0);
        if (sizes.levels[0] > 1000) {
            EXPECT_EQ(got.required, int64_t{100000} * 100000 + 2 * 100000 * 2);
            EXPECT_EQ(got.covered, 3 + 3 + 2);  // the previous test, the first row, the third's two new pairs
            EXPECT_EQ(got.growth, (std::vector<int64_t>{6, 6, 8}));
            continue;
        }
        const CoverageReport listed = ReportCoverage(*model, previous, suite, {sizes.strength, true, true});
        const CoverageRequirement& want = listed.requirements.at(0);
        EXPECT_EQ(got.required, want.required);
        EXPECT_EQ(got.covered, want.covered);
        EXPECT_EQ(got.coveredByPrevious, want.coveredByPrevious);
        EXPECT_EQ(got.growth, want.growth);
        for (size_t k = 0; k < listed.factorPairs.size(); ++k)
            EXPECT_EQ(report.factorPairs[k].required, listed.factorPairs[k].required);
    }
}

TEST(CoverageReportTest, NamesTheRowAndItsProblem)
{
    DesignTables design;
    design.factors = {{"A", "a1", "a2"}, {"B", "b1", "b2"}, {"C", "c1", "c2"}};
    design.levelCounts = {2, 2, 2};
    design.constraints = {{"A", "a1", "B", "b1"}};
    design.rules = "[C] <> \"c2\" OR [A] <> \"a2\";\n";
    design.invalid = {{0, 0}, {0, 1}, {0, 1}};
    const auto model = Compiled(design);
    const CoverageReport report =
        ReportCoverage(*model, {}, {{0, 0, 0}, {1, 1, 1}, {0, -1, 0}, {0, 1, 1}, {1, 0, 0}}, {2, false, false});
    ASSERT_EQ(report.problemRows.size(), 4u);
    EXPECT_EQ(report.problemRows[0].broken.constraintRows, std::vector<int32_t>{1});
    EXPECT_EQ(report.problemRows[1].broken.rules, std::vector<int32_t>{1});
    EXPECT_EQ(report.problemRows[1].invalidLevels, 2);
    EXPECT_EQ(report.problemRows[2].unknownFactor, 1);
    EXPECT_EQ(report.problemRows[3].row, 3);
    EXPECT_EQ(report.problemRows[3].invalidLevels, 2);
    EXPECT_TRUE(report.AnySuiteViolation());
}

TEST(CoverageReportTest, ReadsNamesAsTestCasesShowThem)
{
    DesignTables design;
    design.factors = {{"OS", "Windows", "Mac", "~Mac"}, {"B", "x", "y"}};
    design.levelCounts = {3, 2};
    design.invalid = {{0, 1, 0}};
    design.aliases = {{{"Win", "y"}, {}, {}}, {{}, {"Windows"}}};
    const LevelLookup lookup(design);
    // A plain name before another level's other name, before a shown invalid name.
    const std::vector<std::pair<std::string, int32_t>> cases{
        {"Windows", 1}, {"Win", 1}, {"y", 1}, {"Mac", 2}, {"~Mac", 3}, {"mac", 0}, {"", 0}};
    for (const auto& [text, level] : cases)
        EXPECT_EQ(lookup.Level(0, text), level) << text;
    EXPECT_EQ(lookup.Codes({"~Mac"}), (std::vector<int32_t>{2, -1}));
}

// The shop of the examples: rule k of its rules text on line k.
DesignTables Shop()
{
    DesignTables design;
    design.factors = {{"Customer", "Guest", "Registered", "Premium"},
                      {"Country", "Germany", "France", "United States", "Japan"},
                      {"Delivery", "Standard", "Express", "Pickup", "Locker"},
                      {"Payment", "Card", "PayPal", "Invoice", "Gift card"},
                      {"Basket", "One item", "Oversized", "Broken"}};
    design.levelCounts = {3, 4, 4, 4, 3};
    design.invalid = {{}, {}, {}, {0, 0, 0, 1}, {0, 0, 1}};
    design.constraints = {{"Customer", "Guest", "Payment", "Invoice"}, {"Customer", "Premium", "Country", "Japan"}};
    design.rules = "IF [Delivery] = \"Pickup\" THEN [Country] IN {\"Germany\", \"France\"};\n"
                   "IF [Delivery] = \"Locker\" THEN [Basket] <> \"Oversized\" AND [Country] <> \"Japan\";\n"
                   "IF [Country] = \"United States\" THEN [Payment] IN {\"PayPal\", \"Gift card\"};\n"
                   "IF [Payment] = \"PayPal\" THEN [Country] <> \"United States\";\n";
    return design;
}

TEST(CoverageReportTest, ExplainsWhatCannotOccurAsWorkedOutByHand)
{
    const DesignTables design = Shop();
    const auto model = Compiled(design);
    ExclusionExplainer explainer(*model);
    LevelLookup lookup(design);
    const auto entry = [&](int f, const std::string& level) { return model->LevelOffset()[f] + lookup.Level(f, level) - 1; };
    const std::vector<std::pair<std::vector<int32_t>, std::string>> cases{
        {{entry(1, "Japan"), entry(2, "Locker")}, "the rule on line 2"},
        {{entry(2, "Pickup"), entry(1, "Japan")}, "the rule on line 1"},
        {{entry(0, "Guest"), entry(3, "Invoice")}, "Constraints row 1"},
        {{entry(3, "Gift card"), entry(4, "Broken")}, "two invalid levels never share a test case"},
        {{entry(1, "Germany"), entry(1, "Japan")}, "a test case holds one level of each factor"},
        // Nothing names the pair: two rules leave United States no payment but an invalid one.
        {{entry(1, "United States"), entry(4, "Broken")}, "the rules on lines 3 and 4 together"},
        {{entry(2, "Pickup"), entry(3, "PayPal"), entry(0, "Premium")}, ""},
        {{entry(1, "Germany"), entry(2, "Locker")}, ""},
    };
    for (const auto& [entries, text] : cases) {
        const ExclusionReason reason = explainer.Explain(entries);
        EXPECT_EQ(ReasonPhrase(reason, *model), text);
        if (reason.kind == ExclusionReason::Kind::CanOccur) {
            EXPECT_TRUE(model->RowIsValid(reason.example.data()));
            for (const int32_t e : entries)
                EXPECT_EQ(reason.example[model->LevelFactor()[e]], e - model->LevelOffset()[model->LevelFactor()[e]]);
        }
    }
    // Without invalid levels: the rules' lines told from where the rules text starts.
    EXPECT_EQ(ReasonPhrase(explainer.Explain({entry(1, "United States")}, true), *model, 9),
              "the rules on lines 11 and 12 together");
    EXPECT_EQ(ReasonPhrase(explainer.Explain({entry(3, "Gift card")}, true), *model),
              "only a test case with an invalid level holds them");
    const ConstraintModel::Statements statements{{1, 2}, {1, 3}};
    EXPECT_EQ(DescribeStatements(statements, *model, 9), "Constraints rows 1 and 2 and the rules on lines 9 and 11 together");
}

TEST(CoverageReportTest, NamesAStatementSetThatAloneForbidsAndNeedsEveryMember)
{
    std::mt19937_64 rng(7);
    int explained = 0;
    for (int trial = 0; trial < 150; ++trial) {
        const Case c = RandomRules::MakeCase(rng, {trial % 2 == 1, false});
        const auto model = Compiled(c.design);
        if (!model)
            continue;
        ExclusionExplainer explainer(*model);
        // A row that keeps the statements given (and holds at most one invalid level) holds the pair.
        const auto anyRowKeeping = [&](const ConstraintModel::Statements& kept, int32_t a, int32_t b) {
            Row row(c.factorLevels.size(), 0);
            for (;;) {
                bool ok = c.InvalidLevels(row) <= 1 && row[model->LevelFactor()[a]] == a - model->LevelOffset()[model->LevelFactor()[a]] &&
                          row[model->LevelFactor()[b]] == b - model->LevelOffset()[model->LevelFactor()[b]];
                for (const int32_t r : kept.rules)
                    ok = ok && c.rules[static_cast<size_t>(r - 1)](row);
                for (const int32_t r : kept.constraintRows)
                    ok = ok && c.constraintRows[static_cast<size_t>(r - 1)](row);
                if (ok)
                    return true;
                size_t f = row.size();
                while (f > 0 && ++row[f - 1] == c.factorLevels[f - 1])
                    row[--f] = 0;
                if (f == 0)
                    return false;
            }
        };
        for (int32_t a = 0; a < model->NumEntries(); ++a)
            for (int32_t b = model->LevelOffset()[model->LevelFactor()[a] + 1]; b < model->NumEntries(); ++b) {
                const ExclusionReason reason = explainer.Explain({a, b});
                if (reason.kind != ExclusionReason::Kind::Statements)
                    continue;
                ++explained;
                const std::string what = c.design.rules + " pair " + std::to_string(a) + "," + std::to_string(b);
                EXPECT_FALSE(anyRowKeeping(reason.statements, a, b)) << what;
                for (size_t k = 0; k < reason.statements.rules.size(); ++k) {
                    ConstraintModel::Statements fewer = reason.statements;
                    fewer.rules.erase(fewer.rules.begin() + static_cast<std::ptrdiff_t>(k));
                    EXPECT_TRUE(anyRowKeeping(fewer, a, b)) << what;
                }
                for (size_t k = 0; k < reason.statements.constraintRows.size(); ++k) {
                    ConstraintModel::Statements fewer = reason.statements;
                    fewer.constraintRows.erase(fewer.constraintRows.begin() + static_cast<std::ptrdiff_t>(k));
                    EXPECT_TRUE(anyRowKeeping(fewer, a, b)) << what;
                }
            }
    }
    EXPECT_GT(explained, 100);
}

}  // namespace
