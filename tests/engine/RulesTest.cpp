// The rules text: what each kind of statement allows on small designs, written out row by row,
// and every kind of mistake with the message, line and column the tester sees.

#include "engine/ConstraintModel.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

// Size: 5, 10, 20 (numeric); OS: Mac, Win, Linux; Min and Max: 1, 2 (numeric); Tag: a"b, c\d.
DesignTables Design(std::string rules)
{
    DesignTables design;
    design.factors = {{"Size", "5", "10", "20"},
                      {"OS", "Mac", "Win", "Linux"},
                      {"Min", "1", "2"},
                      {"Max", "1", "2"},
                      {"Tag", "a\"b", "c\\d"}};
    for (const auto& column : design.factors)
        design.levelCounts.push_back(static_cast<int32_t>(column.size()) - 1);
    design.rules = std::move(rules);
    return design;
}

// The rows the rules allow, each as its level codes 1-based, in odometer order, the last factor
// changing fastest, as digits: "11111" is Size 5, OS Mac, Min 1, Max 1, Tag a"b.
std::vector<std::string> Allowed(const DesignTables& design)
{
    const ConstraintCompile compiled = ConstraintModel::Compile(design);
    EXPECT_TRUE(compiled.model) << compiled.ruleError.Described();
    std::vector<std::string> allowed;
    if (!compiled.model)
        return allowed;
    std::vector<int32_t> row(design.levelCounts.size(), 0);
    for (;;) {
        if (compiled.model->RowIsValid(row.data())) {
            std::string digits;
            for (const int32_t level : row)
                digits += static_cast<char>('1' + level);
            allowed.push_back(digits);
        }
        size_t f = row.size();
        while (f > 0 && ++row[f - 1] == design.levelCounts[f - 1])
            row[--f] = 0;
        if (f == 0)
            return allowed;
    }
}

// The allowed rows, but only the factors at the given 0-based places, each combination once.
std::vector<std::string> AllowedOf(const DesignTables& design, std::vector<size_t> places)
{
    std::vector<std::string> combinations;
    for (const std::string& row : Allowed(design)) {
        std::string picked;
        for (const size_t p : places)
            picked += row[p];
        if (combinations.empty() || std::find(combinations.begin(), combinations.end(), picked) == combinations.end())
            combinations.push_back(picked);
    }
    std::sort(combinations.begin(), combinations.end());
    return combinations;
}

}  // namespace

TEST(Rules, EachKindOfStatementAllowsItsRows)
{
    struct Case {
        const char* rules;
        std::vector<size_t> factors;  // the places the rows are compared at
        std::vector<std::string> allowed;
    };
    const std::vector<Case> cases = {
        {"[OS] = \"Mac\";", {1}, {"1"}},
        {"[OS] <> \"Mac\";", {1}, {"2", "3"}},
        {"[Size] > 5;", {0}, {"2", "3"}},
        {"[Size] <= 10;", {0}, {"1", "2"}},
        {"[Size] >= \"10\";", {0}, {"2", "3"}},  // a number quoted on a numeric factor
        {"[Size] < 7.5 OR [Size] = 20;", {0}, {"1", "3"}},
        {"[Size] > -1e3 AND [Size] < 1.5e1;", {0}, {"1", "2"}},
        {"[OS] IN {\"Mac\", \"Linux\"};", {1}, {"1", "3"}},
        {"[OS] NOT IN {\"Mac\"};", {1}, {"2", "3"}},
        {"[OS] LIKE \"*i*\";", {1}, {"2", "3"}},
        {"[OS] NOT LIKE \"?a?\";", {1}, {"2", "3"}},
        {"[Size] LIKE \"1*\";", {0}, {"2"}},  // LIKE reads a number's text
        {"[Tag] = \"a\\\"b\";", {4}, {"1"}},
        {"[Tag] = \"c\\\\d\";", {4}, {"2"}},
        {"[Min] <= [Max];", {2, 3}, {"11", "12", "22"}},
        {"[Min] <> [Max];", {2, 3}, {"12", "21"}},
        {"[Min] = [Max];", {2, 3}, {"11", "22"}},
        {"IF [OS] = \"Mac\" THEN [Size] = 5;", {1, 0}, {"11", "21", "22", "23", "31", "32", "33"}},
        {"IF [OS] = \"Mac\" THEN [Size] = 5 ELSE [Size] = 20;", {1, 0}, {"11", "23", "33"}},
        {"NOT [OS] = \"Mac\" AND NOT [OS] = \"Win\";", {1}, {"3"}},
        {"NOT ([OS] = \"Mac\" OR [OS] = \"Win\");", {1}, {"3"}},
        // AND binds tighter than OR, NOT tighter than AND.
        {"[OS] = \"Mac\" OR [OS] = \"Win\" AND [Size] = 5;", {1, 0}, {"11", "12", "13", "21"}},
        {"NOT [OS] = \"Mac\" AND [Size] = 5 OR [Size] = 20;", {1, 0}, {"13", "21", "23", "31", "33"}},
        // Keywords in any case; comments and line breaks anywhere; empty statements.
        {"if [OS] = \"Mac\" # the only case\n then\n[Size] = 5 ;;\nnot [Size] = 20;", {1, 0},
         {"11", "21", "22", "31", "32"}},
        // A rule over three factors.
        {"IF [OS] = \"Mac\" AND [Min] = 1 THEN [Max] = 2;", {1, 2, 3},
         {"112", "121", "122", "211", "212", "221", "222", "311", "312", "321", "322"}},
    };
    for (const Case& c : cases)
        EXPECT_EQ(AllowedOf(Design(c.rules), c.factors), c.allowed) << c.rules;
}

TEST(Rules, AConstraintsRowIsTheRuleItMeans)
{
    DesignTables row = Design("");
    row.constraints = {{"OS", "Win", "Size", "10"}};
    EXPECT_EQ(Allowed(row), Allowed(Design("IF [OS] = \"Win\" THEN [Size] <> \"10\";")));
    EXPECT_EQ(Allowed(row).size(), 3u * 3 * 2 * 2 * 2 - 2 * 2 * 2);
}

TEST(Rules, MistakesAreToldWithTheirLineAndColumn)
{
    struct Case {
        const char* rules;
        int32_t line, column;
        const char* message;
    };
    const std::vector<Case> cases = {
        {"[Colour] = \"red\";", 1, 1, "unknown factor [Colour]"},
        {"IF [OS] = \"Mac\" THEN\n  [Size] = \"XL\";", 2, 12, "factor [Size] has no level \"XL\""},
        {"[Size] = 11;", 1, 10, "factor [Size] has no level 11"},
        {"[OS] = \"mac\";", 1, 8, "factor [OS] has no level \"mac\""},  // names are exact
        {"[OS] IN {\"Mac\", \"BeOS\"};", 1, 17, "factor [OS] has no level \"BeOS\""},
        {"[OS] < 3;", 1, 6, "[OS] is not numeric: < needs numbers"},
        {"[Size] >= \"big\";", 1, 11, "\"big\" is not a number: >= needs numbers"},
        {"[OS] = 3;", 1, 8, "[OS] is not numeric: write the level as \"3\""},
        {"[OS] < [Size];", 1, 6, "[OS] is not numeric: < needs numbers"},
        {"[OS] = [Size];", 1, 6, "[OS] and [Size] have no level in common: [OS] = [Size] is never true"},
        {"IF [OS] <> [Size] THEN [Min] = 1;", 1, 9, "[OS] and [Size] have no level in common: [OS] <> [Size] is always true"},
        {"[OS] LIKE \"B*\";", 1, 11, "no level of [OS] is like \"B*\""},
        {"IF [OS] = \"Mac\" [Size] = 5;", 1, 17, "expected THEN, found [Size]"},
        {"[OS] = \"Mac\"", 1, 13, "missing ; at the end of the text"},
        {"[OS] = \"Mac\"\n[Size] = 5;", 1, 13, "missing ; before [Size]"},
        {"[OS] = \"Mac;", 1, 8, "unterminated string"},
        {"[OS = \"Mac\";", 1, 1, "unterminated factor name: expected ]"},
        {"[OS] = \"C:\\temp\";", 1, 11, "unknown escape \\t in a string: write \\\\ for a backslash, \\\" for a quote"},
        {"[OS] == \"Mac\";", 1, 7, "expected a value or a factor after =, found ="},
        {"[OS] IS \"Mac\";", 1, 6, "expected =, <>, <, <=, >, >=, IN or LIKE after [OS], found IS"},
        {"[OS] NOT = \"Mac\";", 1, 10, "expected IN or LIKE after NOT, found ="},
        {"[OS] IN (\"Mac\");", 1, 9, "expected { after IN, found ("},
        {"[OS] IN {\"Mac\" \"Win\"};", 1, 16, "expected , or }, found \"Win\""},
        {"[OS] IN {};", 1, 10, "expected a value, found }"},
        {"[OS] LIKE Mac;", 1, 11, "expected a quoted pattern after LIKE, found Mac"},
        {"OS = \"Mac\";", 1, 1, "expected a factor in [ ], NOT or (, found OS"},
        {"([OS] = \"Mac\";", 1, 14, "expected ), found ;"},
        {"[OS] = \"Mac\" & [Size] = 5;", 1, 14, "unexpected character &"},
        {"# ü\n  [Größe] = 1;", 2, 3, "unknown factor [Größe]"},  // columns count characters
        {"\t[Sizé] = 1;", 1, 2, "unknown factor [Sizé]"},
        {"[Size] = 1e999;", 1, 10, "number 1e999 is out of range"},
        // Groups of factors.
        {"{ [OS], [Size] } @ 3;", 1, 20, "group strength 3 is larger than its 2 factors"},
        {"{ [OS], [Size], [OS] } @ 2;", 1, 17, "factor [OS] is twice in the group"},
        {"{ [OS], [Size], [Min] } @ 7;", 1, 27, "group strength must be from 2 to 6, found 7"},
        {"{ [OS] [Size] } @ 2;", 1, 8, "expected , or }, found [Size]"},
        {"{ [OS], [Size] } 2;", 1, 18, "expected @ and the group's strength, found 2"},
        {"{ [OS], [Size] } @ 2.5;", 1, 20, "expected the group's strength, a whole number, found 2.5"},
        {"{ [OS], [Colour] } @ 2;", 1, 9, "unknown factor [Colour]"},
        {"{ OS } @ 2;", 1, 3, "expected a factor in [ ], found OS"},
    };
    for (const Case& c : cases) {
        RuleError error;
        ASSERT_FALSE(ConstraintModel::CheckRules(Design(c.rules), error)) << c.rules;
        EXPECT_EQ(error.message, c.message) << c.rules;
        EXPECT_EQ(error.at.line, c.line) << c.rules;
        EXPECT_EQ(error.at.column, c.column) << c.rules;
        const ConstraintCompile compiled = ConstraintModel::Compile(Design(c.rules));
        EXPECT_EQ(compiled.problem, ConstraintCompile::Problem::Rules) << c.rules;
        EXPECT_EQ(compiled.ruleError.message, c.message);
    }
    // Nesting beyond what the search recurses through is refused, never a crash.
    RuleError error;
    EXPECT_FALSE(ConstraintModel::CheckRules(Design(std::string(100000, '(')), error));
    EXPECT_EQ(error.message, "rule nested too deeply: at most 100 levels of parentheses and NOT");
    EXPECT_TRUE(ConstraintModel::CheckRules(Design("# only a comment\n;\n"), error));
}

TEST(Rules, WhatNoRowCanKeepAndWhatTheRulesNameAreTold)
{
    // A rule over two factors excludes pairs by name, as a Constraints row; one over a single
    // factor forbids levels; one over three only what the rows it breaks hold together.
    const ConstraintCompile compiled = ConstraintModel::Compile(
        Design("[OS] <> \"Linux\";\nIF [OS] = \"Mac\" THEN [Size] = 5;\nIF [Min] = 2 AND [Max] = 2 THEN [OS] = \"Win\";"));
    ASSERT_TRUE(compiled.model);
    const ConstraintModel& model = *compiled.model;
    const auto entry = [&](int32_t f, int32_t level) { return model.LevelOffset()[static_cast<size_t>(f)] + level; };
    EXPECT_EQ(model.NumRules(), 3);
    EXPECT_TRUE(model.Forbidden(entry(1, 2)));
    EXPECT_TRUE(model.NamesPair(entry(1, 0), entry(0, 1)));
    EXPECT_EQ(model.Naming(entry(0, 2), entry(1, 0)).rules, std::vector<int32_t>{2});
    EXPECT_EQ(model.Naming(entry(1, 2), entry(3, 0)).rules, std::vector<int32_t>{1});
    EXPECT_FALSE(model.NamesPair(entry(2, 1), entry(3, 1)));
    EXPECT_EQ(model.RuleLine(3), 3);
    // Min 2 with Max 2 needs OS Win: with OS Mac no valid row holds them, though no rule names it.
    EXPECT_TRUE(model.HasWideRules());
    EXPECT_TRUE(model.AnyValidRow());
    const int32_t row[] = {0, 0, 1, 1, 0};
    EXPECT_EQ(model.BrokenBy(row).rules, std::vector<int32_t>{3});

    EXPECT_FALSE(ConstraintModel::Compile(Design("[OS] = \"Mac\";\n[OS] = \"Win\";")).model->AnyValidRow());

    // A group asks for coverage and forbids nothing; its factors are kept in the design's order.
    const ConstraintCompile grouped = ConstraintModel::Compile(Design("{ [Min], [OS], [Size] } @ 2;\n[OS] <> \"Win\";"));
    ASSERT_TRUE(grouped.model);
    ASSERT_EQ(grouped.model->Groups().size(), 1u);
    EXPECT_EQ(grouped.model->Groups()[0].factors, (std::vector<int32_t>{0, 1, 2}));
    EXPECT_EQ(grouped.model->Groups()[0].strength, 2);
    EXPECT_EQ(grouped.model->NumRules(), 1);
    EXPECT_EQ(grouped.model->Naming(entry(1, 1), entry(0, 0)).rules, std::vector<int32_t>{2});  // the rule's number
    EXPECT_FALSE(
        ConstraintModel::Compile(Design("[Min] < [Max];\n[Max] < [Size] AND [Size] < 5;")).model->AnyValidRow());
}
