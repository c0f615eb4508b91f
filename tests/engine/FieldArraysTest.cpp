// The arrays built from finite fields: each field's sums and products make a field, and the
// arrays built from them hold every pair (strength two) or triple (three) of levels of their
// factors, within the rows the construction promises.

#include "engine/CCalcNWay.h"
#include "engine/CirculantArray.h"
#include "engine/FiniteField.h"
#include "engine/HashedArray.h"
#include "engine/RandomStream.h"
#include "engine/PairArrayConstruction.h"
#include "engine/SearchedProduct.h"
#include "engine/StarterArray.h"
#include "engine/StarterSearch.h"
#include "engine/TripleArrayConstruction.h"
#include "engine/TupleTable.h"
#include "tests/engine/RandomDesign.h"
#include "tests/engine/RecordingReporter.h"

#include <gtest/gtest.h>

#include <set>
#include <tuple>

namespace {

// The tuples of levels of every t factors the array (rows x F codes) holds, and those its
// level counts make; a code outside its factor's levels fails the test.
std::pair<size_t, size_t> TuplesHeldAndRequired(const std::vector<int32_t>& codes, const std::vector<int32_t>& levels,
                                                size_t t = 2)
{
    const size_t k = levels.size();
    for (size_t i = 0; i < codes.size(); ++i)
        EXPECT_LT(codes[i], levels[i % k]);
    size_t held = 0, required = 0;
    std::vector<int32_t> set(t);
    std::vector<char> seen;
    ForEachColexSet(static_cast<int32_t>(k), static_cast<int32_t>(t), set.data(), [&](const int32_t* columns) {
        size_t all = 1;
        for (size_t i = 0; i < t; ++i)
            all *= static_cast<size_t>(levels[static_cast<size_t>(columns[i])]);
        seen.assign(all, 0);
        for (size_t r = 0; r < codes.size(); r += k) {
            size_t code = 0;
            for (size_t i = 0; i < t; ++i)
                code = code * static_cast<size_t>(levels[static_cast<size_t>(columns[i])]) +
                       static_cast<size_t>(codes[r + static_cast<size_t>(columns[i])]);
            held += seen[code] == 0 ? 1 : 0;
            seen[code] = 1;
        }
        required += all;
    });
    return {held, required};
}

// What a calculation generates for the design at the strength.
struct Generated {
    bool ok = false;
    GeneratedMatrix matrix;
    int32_t rows = 0;
    bool converge = false;
};

Generated Generate(CCalcNWay& calc, int32_t strength, const DesignTables& design)
{
    Generated out;
    out.ok = calc.CalcNWayQXVMatrix(strength, design, out.matrix, out.rows, out.converge);
    return out;
}

}  // namespace

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
        const auto [held, required] = TuplesHeldAndRequired(codes, levels);
        EXPECT_EQ(held, required);
        EXPECT_TRUE(BuildPairArray(levels, rows).empty()) << "an array of as many rows as the bound is no gain";
    }
}

TEST(PairArrayConstruction, StartsTheCompactionOfADesignOfLevelCountsAloneAndKeepsPreviousTests)
{
    // 10^30: two arrays of the field of 11 (230 rows against the evolutions' 250 or so); the
    // previous tests come first and are never returned.
    DesignTables design = UniformDesign(10, 30);
    design.prevRuns = {std::vector<std::string>(30, "v3"), std::vector<std::string>(30, "v7")};
    RecordingReporter reporter;
    CCalcNWay calc(reporter, 2, 5, 1);
    calc.SetCompaction(2000);
    const auto [ok, matrix, rows, converge] = Generate(calc, 2, design);
    ASSERT_TRUE(ok);
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
        const auto [held, required] = TuplesHeldAndRequired(codes, levels, 3);
        EXPECT_EQ(held, required);
    }
}

TEST(HashedArray, HoldsEveryTupleOfManyFactorsFromAnArrayOfFew)
{
    // Strength, level counts, then the most rows: 50 factors of 10 levels at strength three
    // from the field of 11's array of 12 columns, 4 rows of the searched family; 30 of 10 and 9
    // levels alike; 14 of 11 levels at strength four, 2 rows; 40 of 2 levels at strength four
    // from the polynomials of degree 1 over the field of 7 read at its 7 points, each row a
    // block of a searched array of 7 factors (the evolutions give 88 rows, in seconds).
    std::vector<int32_t> mixed;
    for (int32_t f = 0; f < 30; ++f)
        mixed.push_back(10 - f % 2);
    const std::vector<std::tuple<int32_t, std::vector<int32_t>, int32_t>> cases = {
        {3, std::vector<int32_t>(50, 10), 4 * 1331},
        {3, mixed, 4 * 1331},
        {4, std::vector<int32_t>(14, 11), 2 * 14641},
        {4, std::vector<int32_t>(40, 2), 7 * 24},
    };
    for (const auto& [t, levels, most] : cases) {
        SCOPED_TRACE(levels.size());
        const std::vector<int32_t> codes = BuildHashedArray(levels, t, 1);
        ASSERT_FALSE(codes.empty());
        EXPECT_LE(codes.size() / levels.size(), static_cast<size_t>(most));
        const auto [held, required] = TuplesHeldAndRequired(codes, levels, static_cast<size_t>(t));
        EXPECT_EQ(held, required);
    }
    std::vector<int32_t> fewBeside(60, 2);
    fewBeside[0] = 10;
    EXPECT_TRUE(BuildHashedArray(fewBeside, 3, 1).empty()) << "factors of far fewer levels: no array";
    EXPECT_TRUE(HashFamily(100, 12, 3, 2, 1).empty()) << "a family longer than allowed: none";
}

TEST(HashedArray, TakesThePlaceOfAnEvolutionTheBudgetCannotFinish)
{
    // 42 factors of 10 levels at strength three (11 million triples) within a hundredth of a
    // second: the evolution gives up at once, and the array made at once follows the previous
    // test, complete.
    DesignTables design = UniformDesign(10, 42);
    design.prevRuns = {std::vector<std::string>(42, "v3")};
    RecordingReporter reporter;
    CCalcNWay calc(reporter, 3, 1, 1);
    calc.SetTimeLimit(0.01);
    const auto [ok, matrix, rows, converge] = Generate(calc, 3, design);
    ASSERT_TRUE(ok);
    EXPECT_TRUE(converge);
    EXPECT_TRUE(calc.EvolutionCut());
    EXPECT_TRUE(calc.BuiltAtOnce());
    EXPECT_LE(rows, 5 * 1331);
    std::vector<int32_t> codes(42, 2);
    for (const int32_t code : matrix.levelCodes)
        codes.push_back(code - 1);
    const auto [held, required] = TuplesHeldAndRequired(codes, std::vector<int32_t>(42, 10), 3);
    EXPECT_EQ(held, required);
    EXPECT_TRUE(reporter.texts().empty());
}

TEST(CirculantArray, ShiftedStarterColumnsHoldEveryTuple)
{
    // Strength, factors, levels, then n shifted rows of m starters and e rows beside: 49 factors
    // of 2 levels at strength three from 2 starters of 25 (the last column left out, a second
    // column of one starter reading its levels in the rows beside), 11 from one of 11.
    const std::vector<std::tuple<int32_t, int32_t, int32_t, int32_t, int32_t, int32_t>> cases = {
        {3, 49, 2, 25, 2, 5},
        {3, 11, 2, 11, 1, 1},
    };
    for (const auto& [t, k, v, n, m, e] : cases) {
        SCOPED_TRACE(k);
        RandomStream random(1, 1);
        const std::vector<int32_t> cells = SearchCells(CirculantReads(t, k, v, n, m, e), random, 5000, [] { return false; });
        ASSERT_EQ(cells.size(), static_cast<size_t>(m * n + e * m));
        const std::vector<int32_t> codes = DevelopCirculant(cells, k, n, m, e);
        ASSERT_EQ(codes.size(), static_cast<size_t>((n + e) * k));
        const auto [held, required] = TuplesHeldAndRequired(codes, std::vector<int32_t>(static_cast<size_t>(k), v),
                                                            static_cast<size_t>(t));
        EXPECT_EQ(held, required);
    }
}

TEST(SearchedProduct, HoldsEveryPairInFewerRowsThanTheFieldsAndRepeatsForASeed)
{
    const std::vector<int32_t> levels(60, 3);
    const std::vector<int32_t> fields = BuildPairArray(levels, 1000), searched = BuildSearchedProduct(levels, 1000, 7);
    ASSERT_FALSE(searched.empty());
    EXPECT_LT(searched.size(), fields.size());
    const auto [held, required] = TuplesHeldAndRequired(searched, levels);
    EXPECT_EQ(held, required);
    EXPECT_EQ(BuildSearchedProduct(levels, 1000, 7), searched);
}

TEST(StarterArray, HoldsEveryTupleInFewerRowsThanTheFieldsWhereFactorsAreFew)
{
    // Strength, level counts, the rows to beat (about the evolutions'), then the most rows: for
    // 20 factors of 10 levels pairwise the shifts of a starter with 2 or 3 fixed levels (the
    // fields give 230 rows, the best known array has 155), mixed counts folded onto the largest
    // one's; at strength three one starter over the levels modulo 3 (the best known array has
    // 59 rows); for 8 factors of 4 levels two affine ones over the field of 4 and 4 shifts of
    // the columns (the fields' doubling 112); at strength four eight over the levels modulo 2 and
    // a fixed one (159); for 20 factors of 2 levels at strength three the shifts of a starter
    // column of 20 levels (the optimum is 18).
    const std::vector<std::tuple<int32_t, std::vector<int32_t>, int32_t, int32_t>> cases = {
        {2, std::vector<int32_t>(20, 10), 186, 171},
        {2, {7, 7, 6, 7, 5, 7, 7, 7, 4, 7, 7, 6}, 91, 73},
        {3, std::vector<int32_t>(20, 3), 76, 60},
        {3, std::vector<int32_t>(20, 2), 25, 21},
        {3, std::vector<int32_t>(8, 4), 112, 100},
        {4, std::vector<int32_t>(10, 3), 189, 175},
    };
    for (const auto& [t, levels, beat, most] : cases) {
        SCOPED_TRACE(t);
        const std::vector<int32_t> codes = BuildStarterArray(levels, t, beat, 1);
        ASSERT_FALSE(codes.empty());
        EXPECT_LE(codes.size() / levels.size(), static_cast<size_t>(most));
        const auto [held, required] = TuplesHeldAndRequired(codes, levels, static_cast<size_t>(t));
        EXPECT_EQ(held, required);
    }
    const std::vector<int32_t> levels = std::get<1>(cases[1]);
    const std::vector<int32_t> codes = BuildStarterArray(levels, 2, 91, 1);
    EXPECT_EQ(BuildStarterArray(levels, 2, 91, 1), codes) << "one seed, one array";
    EXPECT_TRUE(BuildStarterArray(levels, 2, static_cast<int32_t>(codes.size() / levels.size()), 1).empty())
        << "as many rows as the bound are no gain";
    EXPECT_TRUE(BuildStarterArray(levels, 2, 91, 1, [] { return true; }).empty()) << "a Stop ends every search";
    // Too many factors beside the levels for a starter to pay: nothing is searched.
    EXPECT_TRUE(BuildStarterArray(std::vector<int32_t>(100, 3), 2, 30, 1).empty());
    RandomStream random(1, 0);
    EXPECT_TRUE(FindStarters(2, 20, 5, 5, 1, random, 200).empty()) << "a search that runs out of moves finds nothing";
}
