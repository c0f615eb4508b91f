// The library as a program outside uses it: a model built in code, its refusals, a suite and
// what the suite covers, why levels cannot stand together.
#include <vantrel/design.hpp>

#include <gtest/gtest.h>

#include <set>

namespace {

// A shop's checkout: the rule of line 2 forbids Japan with Locker, and Locker with Oversized.
vantrel::Model Shop()
{
    vantrel::Model model;
    model.factors = {vantrel::Factor::Of("Customer", {"Guest", "Registered"}), vantrel::Factor::Of("Country", {"Germany", "Japan"}),
                     vantrel::Factor::Of("Delivery", {"Standard", "Locker"}), vantrel::Factor::Of("Basket", {"One", "Oversized"})};
    model.factors[0].levels[1].aliases = {"Member"};
    model.factors[3].levels.push_back({"Broken", 1, {}, true});
    model.constraints = {{"Customer", "Guest", "Basket", "Oversized"}};
    model.rules = "# line 1\nIF [Delivery] = \"Locker\" THEN [Basket] <> \"Oversized\" AND [Country] <> \"Japan\";\n";
    model.rulesFirstLine = 10;
    return model;
}

vantrel::Design Compiled(const vantrel::Model& model)
{
    vantrel::Result<vantrel::Design> design = vantrel::Design::Compile(model);
    EXPECT_TRUE(design.ok()) << design.error().message;
    return std::move(design).value();
}

TEST(Library, RefusesWhatAModelCannotHoldAndSaysWhere)
{
    struct Case {
        const char* what;
        std::function<void(vantrel::Model&)> change;
        vantrel::Error::Kind kind;
        const char* message;
        int line, column, row;
    };
    using K = vantrel::Error::Kind;
    const std::vector<Case> cases = {
        {"factor twice", [](auto& m) { m.factors[1].name = "Customer"; }, K::Model, "the factor [Customer] is named twice", 0, 0, 0},
        {"level twice", [](auto& m) { m.factors[1].levels[1].name = "Germany"; }, K::Model,
         "[Country] has the level \"Germany\" twice", 0, 0, 0},
        {"no levels", [](auto& m) { m.factors[2].levels.clear(); }, K::Model, "the factor [Delivery] has no level", 0, 0, 0},
        {"row", [](auto& m) { m.constraints[0].thenLevel = "Huge"; }, K::Model,
         "constraint number 1 names a level its factor does not have", 0, 0, 1},
        {"rules", [](auto& m) { m.rules += "[Colour] = \"red\";"; }, K::Rules, "unknown factor [Colour]", 12, 1, 0},
        {"previous", [](auto& m) { m.previous = {{"Guest", "Mars", "Standard", "One"}}; }, K::Rows,
         "previous test 1: factor [Country] has no level \"Mars\"", 0, 0, 1},
        {"previous broken", [](auto& m) { m.previous = {{"Guest", "Germany", "Standard", "One"}, {"Guest", "Japan", "Locker", "One"}}; },
         K::Rows, "Previous test number 2 breaks the rule on line 11", 0, 0, 2},
    };
    for (const Case& c : cases) {
        vantrel::Model model = Shop();
        c.change(model);
        const vantrel::Result<vantrel::Design> design = vantrel::Design::Compile(model);
        ASSERT_FALSE(design.ok()) << c.what;
        EXPECT_EQ(design.error().kind, c.kind) << c.what;
        EXPECT_EQ(design.error().message, c.message) << c.what;
        EXPECT_EQ(design.error().line, c.line) << c.what;
        EXPECT_EQ(design.error().column, c.column) << c.what;
        EXPECT_EQ(design.error().row, c.row) << c.what;
        EXPECT_THROW((void)design.value(), vantrel::BadResultAccess);
    }
}

TEST(Library, ASuiteStartsWithItsSeedsCoversEverythingAndRepeatsForASeed)
{
    vantrel::Model model = Shop();
    model.previous = {{"Guest", "Germany", "Standard", "One"}};
    model.seeds = {{"Member", "", "Locker", ""}};
    const vantrel::Design design = Compiled(model);
    vantrel::Options options;
    options.seed = 7;
    int calls = 0;
    const vantrel::Result<vantrel::Suite> suite = design.Generate(options, [&](const vantrel::Progress&) { return ++calls > 0; });
    ASSERT_TRUE(suite.ok()) << suite.error().message;
    EXPECT_GT(calls, 0);
    EXPECT_EQ(suite->seed, 7u);
    EXPECT_EQ(suite->factors, model.FactorNames());
    const vantrel::Row& first = suite->rows.front();
    EXPECT_EQ(first[0], "Registered");  // the other name, as the level's own
    EXPECT_EQ(first[2], "Locker");
    EXPECT_NE(first[1], "Japan");
    EXPECT_NE(first[3], "Oversized");
    const vantrel::Coverage coverage = design.CoverageOf(suite->rows, {2, true, true});
    EXPECT_TRUE(coverage.Complete()) << coverage.Summary("the list");
    EXPECT_EQ(coverage.requirements.size(), 2u);  // pairs of valid levels, and the invalid level's
    EXPECT_EQ(coverage.Summary("x").rfind("A total of ", 0), 0u);
    EXPECT_EQ(std::set<vantrel::Row>(suite->rows.begin(), suite->rows.end()).count(model.previous[0]), 0u);
    const vantrel::Result<vantrel::Suite> again = design.Generate(options);
    ASSERT_TRUE(again.ok());
    EXPECT_EQ(again->rows, suite->rows);

    // A stop at the first call still gives a complete suite, said stopped.
    const vantrel::Result<vantrel::Suite> stopped = design.Generate(options, [](const vantrel::Progress&) { return false; });
    ASSERT_TRUE(stopped.ok());
    EXPECT_TRUE(stopped->stopped);
    EXPECT_TRUE(design.CoverageOf(stopped->rows, {}).Complete());
}

TEST(Library, SaysWhyLevelsCannotStandTogether)
{
    const vantrel::Design design = Compiled(Shop());
    const vantrel::Reason japan = design.Explain({{1, 1}, {2, 1}});
    EXPECT_EQ(japan.kind, vantrel::Reason::Kind::Statements);
    EXPECT_EQ(japan.statements.ruleLines, std::vector<int>{11});
    EXPECT_EQ(japan.phrase, "the rule on line 11");
    EXPECT_EQ(japan.Sentence("X"), "X cannot occur: the rule on line 11.");
    EXPECT_EQ(design.Explain({{0, 0}, {3, 1}}).Sentence("X"), "X cannot occur: Constraints row 1.");
    EXPECT_EQ(design.Explain({{1, 0}, {1, 1}}).Sentence("X"), "X cannot occur. A test case holds one level of each factor.");
    const vantrel::Reason germany = design.Explain({{1, 0}, {2, 1}});
    ASSERT_TRUE(germany.CanOccur());
    EXPECT_EQ(germany.example[1], 0);
    EXPECT_EQ(germany.example[2], 1);
    EXPECT_EQ(design.LevelOf(3, "~Broken"), 2);
    EXPECT_EQ(design.Shown({3, 2}), "~Broken");
    EXPECT_TRUE(design.AnyValidTestCase());

    vantrel::Model none = Shop();
    none.rules += "[Customer] = \"Guest\";\n[Customer] = \"Registered\";\n";
    const vantrel::Design impossible = Compiled(none);
    EXPECT_FALSE(impossible.AnyValidTestCase());
    EXPECT_EQ(impossible.WhyNoValidTestCase(), "No test case can satisfy every constraint: the rules on lines 12 and 13 together.");
    const vantrel::Result<vantrel::Suite> refused = impossible.Generate({});
    ASSERT_FALSE(refused.ok());
    EXPECT_EQ(refused.error().kind, vantrel::Error::Kind::Infeasible);
}

}  // namespace

namespace {

TEST(Library, ListsEveryCombinationAsksAboveAThousandAndNamesWhatExcludes)
{
    const vantrel::Design design = Compiled(Shop());
    std::vector<std::string> asked;
    const auto confirm = [&](const std::string& question, int) {
        asked.push_back(question);
        return true;
    };
    const vantrel::Result<vantrel::Listing> listing = design.AllCombinations({}, confirm);
    ASSERT_TRUE(listing.ok()) << listing.error().message;
    EXPECT_TRUE(asked.empty());  // 2 x 2 x 2 x 3 rows
    EXPECT_EQ(listing->Rows(), 24);
    int kept = 0;
    for (int64_t r = 0; r < listing->Rows(); ++r)
        kept += !listing->Removed(r);
    EXPECT_EQ(kept, 24 - 6 - 2 - 2);  // Japan with Locker; then Locker, then Guest, with Oversized
    EXPECT_EQ(listing->Shown(3, 2), "~Broken");

    vantrel::Model wide = Shop();
    for (int f = 0; f < 6; ++f)
        wide.factors.push_back(vantrel::Factor::Of("W" + std::to_string(f), {"a", "b", "c"}));
    const vantrel::Result<vantrel::Listing> declined =
        Compiled(wide).AllCombinations({}, [](const std::string&, int) { return false; });
    ASSERT_FALSE(declined.ok());
    EXPECT_EQ(declined.error().kind, vantrel::Error::Kind::Declined);

    EXPECT_EQ(design.Naming({0, 0}, {3, 1}).constraintRows, std::vector<int>{1});
    EXPECT_FALSE(design.Naming({1, 1}, {2, 1}).Any());  // a rule over three factors names no pair
    vantrel::Model dead = Shop();
    dead.constraints.push_back({"Delivery", "Locker", "Customer", "Registered"});
    dead.constraints.push_back({"Delivery", "Locker", "Customer", "Guest"});
    EXPECT_EQ(Compiled(dead).Excluded().levels.size(), 1u);  // Locker

    vantrel::Model typed = Shop();
    typed.rules = "\n[Basket] = \"Huge\";";
    const vantrel::Result<void> checked = vantrel::Design::CheckRules(typed);
    ASSERT_FALSE(checked.ok());
    EXPECT_EQ(checked.error().line, 11);
    EXPECT_EQ(checked.error().message, "factor [Basket] has no level \"Huge\"");
}

}  // namespace
