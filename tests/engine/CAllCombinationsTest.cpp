// The all-combinations listing: its order, the confirmation and the refusals, and the rows
// that constraints and previous tests flag.

#include "engine/AvailableMemory.h"
#include "engine/CAllCombinations.h"
#include "tests/engine/RecordingReporter.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <fstream>

namespace {

DesignTables Levels(const std::vector<int32_t>& counts)
{
    DesignTables design;
    for (size_t f = 0; f < counts.size(); ++f) {
        std::vector<std::string> column{std::string(1, static_cast<char>('A' + f))};
        for (int32_t l = 1; l <= counts[f]; ++l)
            column.push_back(std::string(1, static_cast<char>('A' + f)).append(std::to_string(l)));
        design.factors.push_back(column);
        design.levelCounts.push_back(counts[f]);
    }
    return design;
}

struct Listing {
    bool ok = false;
    AllCombinationsMatrix matrix;
    std::vector<bool> removed;
};

Listing List(RecordingReporter& reporter, const DesignTables& design, std::optional<uint64_t> memory = std::nullopt,
             uint64_t bytesPerCell = 32)
{
    Listing listing;
    CAllCombinations all(reporter);
    all.SetBytesPerShownCell(bytesPerCell);
    all.SetAvailableMemory(memory ? memory : std::optional<uint64_t>(uint64_t{1} << 40));
    listing.ok = all.CalcAllPossible(design, listing.matrix, listing.removed);
    return listing;
}

std::vector<std::string> RowNames(const AllCombinationsMatrix& matrix, int32_t r)
{
    std::vector<std::string> names;
    for (int32_t f = 0; f < matrix.NumFactors(); ++f)
        names.push_back(matrix.LevelName(r, f));
    return names;
}

}  // namespace

TEST(CAllCombinations, ListsEveryCombinationWithTheLastFactorChangingFastest)
{
    RecordingReporter reporter;
    const Listing listing = List(reporter, Levels({2, 3}));
    ASSERT_TRUE(listing.ok);
    ASSERT_EQ(listing.matrix.NumRows(), 6);
    const std::vector<std::vector<std::string>> expected{{"A1", "B1"}, {"A1", "B2"}, {"A1", "B3"},
                                                         {"A2", "B1"}, {"A2", "B2"}, {"A2", "B3"}};
    for (int32_t r = 0; r < 6; ++r)
        EXPECT_EQ(RowNames(listing.matrix, r), expected[r]);
    EXPECT_EQ(listing.removed, std::vector<bool>(6, false));
    EXPECT_TRUE(reporter.messages.empty());
    EXPECT_EQ(reporter.statusShown, 0);  // 200 rows or fewer show no status window
    EXPECT_TRUE(reporter.statusCalls.empty());
    EXPECT_EQ(listing.matrix.RowOf({2, 2}), 4);
}

TEST(CAllCombinations, AsksBeforeListingMoreThanAThousandRows)
{
    const DesignTables design = Levels(std::vector<int32_t>(10, 2));
    RecordingReporter declined;
    declined.answers = {EngineAnswer::No};
    const Listing no = List(declined, design);
    EXPECT_FALSE(no.ok);
    EXPECT_EQ(no.matrix.NumRows(), 0);
    ExpectOnlyMessage(declined, "The current design will require 1,024 before constraints are applied. "
                                "Are you sure you would like to generate all tests?",
                      EngineButtons::YesNo, EngineIcon::None, 27);

    RecordingReporter accepted;
    accepted.answers = {EngineAnswer::Yes};
    const Listing yes = List(accepted, design);
    ASSERT_TRUE(yes.ok);
    EXPECT_EQ(yes.matrix.NumRows(), 1024);
    EXPECT_EQ(accepted.statusShown, 1);
    // About fifty updates of the listing bar, the last one complete.
    std::vector<double> listingBar;
    for (const auto& [bar, fraction] : accepted.statusCalls)
        if (bar == 1)
            listingBar.push_back(fraction);
    EXPECT_EQ(listingBar.size(), 52u);  // every 20th row of 1024, and the last
    EXPECT_DOUBLE_EQ(listingBar.front(), 20.0 / 1024);
    EXPECT_EQ(listingBar.back(), 1.0);
    EXPECT_FALSE(accepted.busyCalls.empty());
    EXPECT_FALSE(accepted.busyCalls.back());

    RecordingReporter thousand;
    EXPECT_TRUE(List(thousand, Levels({10, 10, 10})).ok);
    EXPECT_TRUE(thousand.messages.empty());
}

TEST(CAllCombinations, RefusesTwoBillionRowsOrMore)
{
    RecordingReporter reporter;
    const Listing listing = List(reporter, Levels(std::vector<int32_t>(31, 2)));
    EXPECT_FALSE(listing.ok);
    EXPECT_TRUE(listing.removed.empty());
    ExpectOnlyMessage(reporter, "The current design would require 2,147,483,648 tests. The maximum number of tests is "
                                "2 Billion. Use the 2-Way combinations instead.",
                      EngineButtons::Ok, EngineIcon::Critical, 27);

    RecordingReporter huge;
    EXPECT_FALSE(List(huge, Levels(std::vector<int32_t>(50, 10))).ok);
    EXPECT_EQ(huge.texts()[0].substr(0, 46), "The current design would require 100,000,000,0");

    RecordingReporter beyondDoubles;
    EXPECT_FALSE(List(beyondDoubles, Levels(std::vector<int32_t>(400, 60))).ok);
    EXPECT_EQ(beyondDoubles.texts()[0], "The current design would require more than 10^308 tests. The maximum number of tests "
                                        "is 2 Billion. Use the 2-Way combinations instead.");
}

TEST(CAllCombinations, RefusesAConfirmedListingThatWouldNotFitInMemory)
{
    // A hundred million rows of 8 factors at 32 bytes a cell need about 25.6 GB.
    const DesignTables design = Levels(std::vector<int32_t>(8, 10));
    RecordingReporter reporter;
    reporter.answers = {EngineAnswer::Yes};
    const Listing listing = List(reporter, design, uint64_t{8} << 30);
    EXPECT_FALSE(listing.ok);
    EXPECT_TRUE(listing.removed.empty());
    ASSERT_EQ(reporter.messages.size(), 2u);
    EXPECT_EQ(reporter.messages[1].text, "The current design would require 100,000,000 tests, more than the memory of "
                                         "this computer can hold. Use the 2-Way combinations instead.");
    EXPECT_EQ(reporter.messages[1].icon, EngineIcon::Critical);
    EXPECT_EQ(reporter.busyCalls.size(), 0u);

    // The same listing fits where the memory is there.
    RecordingReporter small;
    small.answers = {EngineAnswer::Yes};
    EXPECT_TRUE(List(small, Levels({10, 10, 10, 10}), uint64_t{10} << 20).ok);
    RecordingReporter tight;
    tight.answers = {EngineAnswer::Yes};
    EXPECT_FALSE(List(tight, Levels({10, 10, 10, 10}), 10000 * 4 * 32).ok);
}

TEST(CAllCombinations, ReadsTheAvailableMemoryOfTheMachine)
{
    const std::string path = ::testing::TempDir() + "meminfo";
    {
        std::ofstream out(path);
        out << "MemTotal:       24682288 kB\nMemFree:         1000 kB\nMemAvailable:   23661924 kB\n";
    }
    EXPECT_EQ(AvailableMemoryBytes(path), uint64_t{23661924} * 1024);
    {
        std::ofstream out(path);
        out << "MemTotal:       24682288 kB\n";
    }
    EXPECT_EQ(AvailableMemoryBytes(path), std::nullopt);
    std::remove(path.c_str());
    EXPECT_EQ(AvailableMemoryBytes(path), std::nullopt);
    const auto machine = AvailableMemoryBytes();
    ASSERT_TRUE(machine.has_value());
    EXPECT_GT(*machine, uint64_t{1} << 20);
}

TEST(CAllCombinations, FlagsRowsThatAConstraintExcludesOrAPreviousTestRan)
{
    DesignTables design = Levels({2, 3, 2});
    design.constraints = {{"C", "C2", "A", "A1"}, {"A", "A2", "B", "B3"}};
    design.prevRuns = {{"A1", "B2", "C1"},
                       {"A2", "B3", "C1"},   // excluded by the second constraint too: flagged once
                       {"A2", "B1", "C9"},   // no such level: flags nothing
                       {"A1", "B2", "C1"}};  // the same test twice
    RecordingReporter reporter;
    const Listing listing = List(reporter, design);
    ASSERT_TRUE(listing.ok);
    std::vector<bool> expected(12, false);
    for (int32_t r = 0; r < 12; ++r) {
        const auto names = RowNames(listing.matrix, r);
        expected[r] = (names[2] == "C2" && names[0] == "A1") || (names[0] == "A2" && names[1] == "B3") ||
                      names == std::vector<std::string>{"A1", "B2", "C1"};
    }
    EXPECT_EQ(listing.removed, expected);
    EXPECT_EQ(std::count(expected.begin(), expected.end(), true), 6);

    // Without constraints and previous tests nothing is flagged.
    RecordingReporter plain;
    EXPECT_EQ(List(plain, Levels({2, 3, 2})).removed, std::vector<bool>(12, false));
}

TEST(CAllCombinations, ComparesNamesExactlyAndFlagsEveryLevelOfARepeatedName)
{
    // A constraint names the first level of a name, as the generation takes it; a previous
    // test every level of its names.
    DesignTables design;
    design.factors = {{"A", "x", "x ", "x"}, {"B", "y", "Y"}};
    design.levelCounts = {3, 2};
    design.constraints = {{"A", "x", "B", "Y"}};
    design.prevRuns = {{"x", "y"}};
    RecordingReporter reporter;
    const Listing listing = List(reporter, design);
    ASSERT_TRUE(listing.ok);
    // rows: (x,y) (x,Y) (x ,y) (x ,Y) (x,y) (x,Y)
    EXPECT_EQ(listing.removed, (std::vector<bool>{true, true, false, false, true, false}));
}

TEST(CAllCombinations, RefusesAConstraintThatNamesNoFactor)
{
    DesignTables design = Levels({2, 2, 2});
    design.constraints = {{"A", "A1", "B", "B1"}, {"Q", "A1", "C", "C1"}, {"A", "A2", "C", "C2"}};
    RecordingReporter reporter;
    const Listing listing = List(reporter, design);
    EXPECT_FALSE(listing.ok);
    EXPECT_EQ(reporter.texts(), std::vector<std::string>{"KQ Error: Assertion error in CreateConstraintIndexVectors"});
}

TEST(CAllCombinations, FormatsSizesWithGroupedThousands)
{
    // The messages above show 1,024, 100,000,000 and 2,147,483,648.
    EXPECT_EQ(CAllCombinations::FormatThousands(1001, "."), "1.001");
    EXPECT_EQ(CAllCombinations::FormatThousands(999, ","), "999");
    EXPECT_EQ(CAllCombinations::FormatThousands(1e20, ","), "100,000,000,000,000,000,000");
    EXPECT_DOUBLE_EQ(CAllCombinations::CalcNumRowsPreConstraints(std::vector<int32_t>(40, 100)), std::pow(100.0, 40));  // no overflow
}
