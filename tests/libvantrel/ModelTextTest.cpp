// The model text through the library's API alone: where a refusal stands, what a text keeps
// for writing back, and what a model cannot be written with.
#include <vantrel/design.hpp>
#include <vantrel/modeltext.hpp>

#include <gtest/gtest.h>

namespace {

using Kind = vantrel::Error::Kind;

TEST(LibraryModelText, RefusesAtTheLineAndCharacterColumnWithTheKind)
{
    const struct {
        const char* text;
        Kind kind;
        const char* problem;
    } cases[] = {
        {"Café: a, , b", Kind::Model, "1:10: empty level"},  // columns count characters, not bytes
        {"\xEF\xBB\xBF# c\r\n東京: x (0)\r\n", Kind::Model, "2:7: a weight is a whole number from 1 to 1000000 in parentheses"},
        {"A: a\nA: b", Kind::Model, "2:1: factor A is already defined on line 1"},
        {"A: a\u00A0b, a\u00A0b\u3000", Kind::Model, "1:9: factor A has the level \"a\u00A0b\" twice"},
        {"A: a, b\nB: c\n{ A, C } @ 2", Kind::Rules, "3:6: unknown factor [C]"},
        {"A: a, b\nB: c\n{ A, B } @ 99999999999", Kind::Rules, "3:12: group strength must be from 2 to 6, found 0"},
        {"A: é\xC3", Kind::Model, "1:5: the text is not UTF-8"},
        {"A: a\nIF [A] = \"a\" THEN NOT [A] = \"a\";\nB: b\n", Kind::Model,
         "3:1: factor lines come before the rules, which start on line 2"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.text);
        const vantrel::Result<vantrel::Model> read = vantrel::ReadModelText(c.text);
        ASSERT_FALSE(read.ok());
        EXPECT_EQ(read.error().kind, c.kind);
        EXPECT_EQ(std::to_string(read.error().line) + ":" + std::to_string(read.error().column) + ": " +
                      read.error().message,
                  c.problem);
    }
}

TEST(LibraryModelText, ATextReadKeepsItsLayoutInTheModelAndWritesBackByteForByte)
{
    const std::string text =
        "\xEF\xBB\xBF# checkout\r\nCustomer: Guest | Visitor, ~Banned (3)\r\n\r\n# where\r\nCountry: DE, JP\r\n\r\n"
        "IF [Customer] = \"Guest\" THEN [Country] <> \"JP\";\r\n\r\n{ Customer, Country } @ 2\r\n";
    const vantrel::Result<vantrel::Model> read = vantrel::ReadModelText(text);
    ASSERT_TRUE(read.ok()) << read.error().message;
    const vantrel::Model& model = read.value();
    ASSERT_EQ(model.factors.size(), 2u);
    const vantrel::Level& banned = model.factors[0].levels[1];
    EXPECT_TRUE(banned.invalid && banned.name == "Banned" && banned.weight == 3);
    EXPECT_EQ(model.factors[0].levels[0].aliases, std::vector<std::string>{"Visitor"});
    ASSERT_EQ(model.constraints.size(), 1u);
    EXPECT_EQ(model.constraints[0].thenLevel, "JP");
    EXPECT_EQ(model.rules, "{ [Customer], [Country] } @ 2;");
    EXPECT_EQ(model.rulesFirstLine, 9);
    EXPECT_EQ(model.textLayout.aboveFactor.at(1), "\n# where\n");
    EXPECT_TRUE(model.textLayout.crLfLineEnds);
    EXPECT_TRUE(vantrel::Design::Compile(model).ok());
    const vantrel::Result<std::string> written = vantrel::WriteModelText(model);
    ASSERT_TRUE(written.ok()) << written.error().message;
    EXPECT_EQ(written.value(), text.substr(3));  // the byte order mark is not kept
}

TEST(LibraryModelText, AModelBuiltInCodeIsWrittenAfreshOrRefusedNamingEveryProblem)
{
    vantrel::Model model;
    model.factors = {vantrel::Factor::Of("OS", {"Win (64)", "Mac"}), vantrel::Factor::Of("Browser", {"Edge"})};
    model.factors[1].levels[0].weight = 2;
    model.rules = "NOT [OS] = \"Mac\";";
    const vantrel::Result<std::string> written = vantrel::WriteModelText(model);
    ASSERT_TRUE(written.ok());
    EXPECT_EQ(written.value(), "OS: Win (64) (1), Mac\nBrowser: Edge (2)\n\nNOT [OS] = \"Mac\";\n");
    EXPECT_EQ(vantrel::ReadModelText(written.value()).value().factors[0].levels[0].name, "Win (64)");

    model.factors[0].name = "OS:\xED\xA0\x80";
    model.factors[1].levels[0].name = "E\xFF";
    model.factors[1].levels.push_back({"Edge", 1, {}, false});
    const vantrel::Result<std::string> refused = vantrel::WriteModelText(model);
    ASSERT_FALSE(refused.ok());
    EXPECT_EQ(refused.error().kind, Kind::Model);
    EXPECT_EQ(refused.error().message,
              "The factor \"OS:\xED\xA0\x80\" cannot be written as model text: it holds U+D800, half of a character.\n"
              "The level \"E\xFF\" of factor Browser cannot be written as model text: it is not UTF-8.");
}

TEST(LibraryModelText, TellsTheKindOfAFileByItsContent)
{
    EXPECT_EQ(vantrel::KindOfFile("A: a"), vantrel::FileKind::ModelText);
    EXPECT_EQ(vantrel::KindOfFile("\xEF\xBB\xBF \n<?xml?>"), vantrel::FileKind::Document);
    EXPECT_EQ(vantrel::KindOfFile(" \r\n"), vantrel::FileKind::Document);
    EXPECT_EQ(vantrel::KindOfFile(std::string_view("A\0", 2)), vantrel::FileKind::Neither);
}

}  // namespace
