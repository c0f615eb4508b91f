// The arrays built from finite fields: each field's sums and products make a field, and the
// arrays built from them hold every pair (strength two) or triple (three) of levels of their
// factors, within the rows the construction promises.

#include "engine/CCalcNWay.h"
#include "engine/FiniteField.h"
#include "engine/PairArrayConstruction.h"
#include "engine/SearchedProduct.h"
#include "engine/TripleArrayConstruction.h"
#include "tests/engine/RecordingReporter.h"

#include <gtest/gtest.h>

#include <set>
#include <tuple>

TEST(FiniteField, SumsAndProductsOfEveryPrimePowerMakeAField)
{
    for (const int32_t q : {2, 3, 4, 5, 7, 8, 9, 11, 16, 25, 27, 32, 49, 64}) {
        SCOPED_TRACE(q);
        const std::optional<FiniteField> field = FiniteField::Of(q);
        ASSERT_TRUE(field.has_value());
        for (int32_t a = 0; a < q; ++a) {
            std::set<int32_t> sums, products;
            for (int32_t b = 0; b < q; ++b) {
                sums.insert(field->Add(a, b));
                products.insert(field->Multiply(a, b));
                for (int32_t c = 0; c < q; c += 3)
                    ASSERT_EQ(field->Multiply(a, field->Add(b, c)), field->Add(field->Multiply(a, b), field->Multiply(a, c)));
            }
            EXPECT_EQ(sums.size(), static_cast<size_t>(q));                  // every a + b differs
            EXPECT_EQ(products.size(), static_cast<size_t>(a == 0 ? 1 : q));  // and a b, but for a = 0
        }
    }
    for (const int32_t q : {6, 10, 12, 65})
        EXPECT_FALSE(FiniteField::Of(q).has_value()) << q;
    EXPECT_EQ(FiniteField::PrimePowerAtLeast(10), 11);
    EXPECT_EQ(FiniteField::PrimePowerAtLeast(24), 25);
}

TEST(PairArrayConstruction, HoldsEveryPairWithinThePromisedRows)
{
    // Level counts, then the most rows the array may have.
    const std::vector<std::tuple<std::vector<int32_t>, int32_t>> cases = {
        {std::vector<int32_t>(12, 10), 121},    // one array of the field of 11, its extra column too
        {std::vector<int32_t>(100, 10), 230},   // two of 11: 121 + 121, less the repeated constant rows
        {std::vector<int32_t>(50, 5), 65},      // three of 5
        {{5, 3, 3, 2, 5, 4, 2, 2, 3, 5, 4, 4, 3, 2, 2, 5, 5, 3, 3, 3, 2, 4, 4, 5, 2}, 45},  // two of 5, levels folded
    };
    for (const auto& [levels, most] : cases) {
        const auto k = static_cast<int32_t>(levels.size());
        SCOPED_TRACE(k);
        const std::vector<int32_t> codes = BuildPairArray(levels, 1000);
        ASSERT_FALSE(codes.empty());
        const auto rows = static_cast<int32_t>(codes.size()) / k;
        EXPECT_LE(rows, most);
        std::set<std::tuple<int32_t, int32_t, int32_t, int32_t>> held;
        for (int32_t r = 0; r < rows; ++r)
            for (int32_t f = 0; f < k; ++f) {
                ASSERT_LT(codes[static_cast<size_t>(r * k + f)], levels[static_cast<size_t>(f)]);
                for (int32_t g = f + 1; g < k; ++g)
                    held.emplace(f, codes[static_cast<size_t>(r * k + f)], g, codes[static_cast<size_t>(r * k + g)]);
            }
        size_t required = 0;
        for (int32_t f = 0; f < k; ++f)
            for (int32_t g = f + 1; g < k; ++g)
                required += static_cast<size_t>(levels[static_cast<size_t>(f)] * levels[static_cast<size_t>(g)]);
        EXPECT_EQ(held.size(), required);
        EXPECT_TRUE(BuildPairArray(levels, rows).empty()) << "an array of as many rows as the bound is no gain";
    }
}

TEST(PairArrayConstruction, StartsTheCompactionOfADesignOfLevelCountsAloneAndKeepsPreviousTests)
{
    // 10^30: two arrays of the field of 11 (230 rows against the evolutions' 250 or so); the
    // previous tests come first and are never returned.
    DesignTables design;
    for (int f = 1; f <= 30; ++f) {
        std::vector<std::string> column{"F" + std::to_string(f)};
        for (int l = 1; l <= 10; ++l)
            column.push_back("v" + std::to_string(l));
        design.factors.push_back(column);
        design.levelCounts.push_back(10);
    }
    design.prevRuns = {std::vector<std::string>(30, "v3"), std::vector<std::string>(30, "v7")};
    RecordingReporter reporter;
    CCalcNWay calc(reporter, 2, 5, 1);
    calc.SetCompaction(2000);
    GeneratedMatrix matrix;
    int32_t rows = 0;
    bool converge = false;
    ASSERT_TRUE(calc.CalcNWayQXVMatrix(2, design, matrix, rows, converge));
    EXPECT_LE(calc.Compaction().rowsBefore, 2 + 230);
    std::set<std::tuple<int32_t, int32_t, int32_t, int32_t>> held;
    const auto hold = [&](const std::vector<int32_t>& row) {
        for (int32_t f = 0; f < 30; ++f)
            for (int32_t g = f + 1; g < 30; ++g)
                held.emplace(f, row[static_cast<size_t>(f)], g, row[static_cast<size_t>(g)]);
    };
    hold(std::vector<int32_t>(30, 3));
    hold(std::vector<int32_t>(30, 7));
    for (int32_t r = 0; r < rows; ++r) {
        std::vector<int32_t> row(matrix.levelCodes.begin() + r * 30, matrix.levelCodes.begin() + (r + 1) * 30);
        EXPECT_NE(row, std::vector<int32_t>(30, 3));
        hold(row);
    }
    EXPECT_EQ(held.size(), 435u * 100u);
}

TEST(TripleArrayConstruction, HoldsEveryTripleWithinThePromisedRows)
{
    // Level counts, then the most rows: one array of the field of 5; the doubling of the field
    // of 4's (64 + 3 x 16); of the field of 5's with levels folded.
    const std::vector<std::tuple<std::vector<int32_t>, int32_t>> cases = {
        {std::vector<int32_t>(6, 5), 125},
        {std::vector<int32_t>(10, 4), 112},
        {{5, 3, 4, 2, 5, 5, 3, 2, 4}, 225},
    };
    for (const auto& [levels, most] : cases) {
        const auto k = static_cast<int32_t>(levels.size());
        SCOPED_TRACE(k);
        const std::vector<int32_t> codes = BuildTripleArray(levels, 1000);
        ASSERT_FALSE(codes.empty());
        const auto rows = static_cast<int32_t>(codes.size()) / k;
        EXPECT_LE(rows, most);
        const auto at = [&](int32_t r, int32_t f) { return codes[static_cast<size_t>(r * k + f)]; };
        size_t held = 0, required = 0;
        for (int32_t f = 0; f < k; ++f)
            for (int32_t g = f + 1; g < k; ++g)
                for (int32_t h = g + 1; h < k; ++h) {
                    std::set<std::tuple<int32_t, int32_t, int32_t>> triples;
                    for (int32_t r = 0; r < rows; ++r)
                        triples.emplace(at(r, f), at(r, g), at(r, h));
                    held += triples.size();
                    required += static_cast<size_t>(levels[static_cast<size_t>(f)] * levels[static_cast<size_t>(g)] *
                                                    levels[static_cast<size_t>(h)]);
                }
        EXPECT_EQ(held, required);
    }
}

TEST(SearchedProduct, HoldsEveryPairInFewerRowsThanTheFieldsAndRepeatsForASeed)
{
    const std::vector<int32_t> levels(60, 3);
    const std::vector<int32_t> fields = BuildPairArray(levels, 1000), searched = BuildSearchedProduct(levels, 1000, 7);
    ASSERT_FALSE(searched.empty());
    EXPECT_LT(searched.size(), fields.size());
    std::set<std::tuple<int32_t, int32_t, int32_t, int32_t>> held;
    for (size_t r = 0; r < searched.size(); r += 60)
        for (int32_t f = 0; f < 60; ++f)
            for (int32_t g = f + 1; g < 60; ++g)
                held.emplace(f, searched[r + static_cast<size_t>(f)], g, searched[r + static_cast<size_t>(g)]);
    EXPECT_EQ(held.size(), 1770u * 9u);
    EXPECT_EQ(BuildSearchedProduct(levels, 1000, 7), searched);
}
