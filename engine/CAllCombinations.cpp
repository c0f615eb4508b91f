#include "engine/CAllCombinations.h"

#include "engine/AvailableMemory.h"

#include <cmath>
#include <cstdio>

namespace {

constexpr double kMaxRows = 2000000000.0;
constexpr int32_t kAskAbove = 1000;
constexpr int32_t kProgressAbove = 200;

// Thrown by a progress report that the user answered with Cancel; it ends the listing.
struct ListingCancelled {};

}  // namespace

CAllCombinations::CAllCombinations(EngineReporter& reporter) : reporter_(reporter)
{
}

double CAllCombinations::CalcNumRowsPreConstraints(const std::vector<int32_t>& levelCounts)
{
    double size = 1.0;
    for (int32_t count : levelCounts)
        size *= count;
    return size;
}

std::string CAllCombinations::FormatThousands(double value, const std::string& separator)
{
    // A product of level counts beyond the range of a double (400 factors of 60 levels).
    if (!std::isfinite(value))
        return "more than 10^308";
    std::string digits;
    if (value < 1e15) {
        char buffer[32];
        std::snprintf(buffer, sizeof buffer, "%.0f", std::floor(value + 0.5));
        digits = buffer;
    } else {
        // Fifteen significant digits, then zeros.
        char buffer[40];
        std::snprintf(buffer, sizeof buffer, "%.14e", value);
        const std::string text(buffer);
        const size_t e = text.find('e');
        digits = text.substr(0, 1) + text.substr(2, e - 2);
        const int exponent = std::stoi(text.substr(e + 1));
        digits.append(static_cast<size_t>(exponent + 1) - digits.size(), '0');
    }
    if (digits == "0")
        return "";
    std::string grouped;
    for (size_t i = 0; i < digits.size(); ++i) {
        if (i > 0 && (digits.size() - i) % 3 == 0)
            grouped += separator;
        grouped += digits[i];
    }
    return grouped;
}

bool CAllCombinations::CalcAllPossible(const DesignTables& In_design, AllCombinationsMatrix& Ret_vaMatrix,
                                       std::vector<bool>& Ret_abRemovalArray)
{
    const ConstraintCompile compiled = ConstraintModel::Compile(In_design);
    if (!compiled.model) {
        reporter_.showMessage({compiled.problem == ConstraintCompile::Problem::Rules
                                   ? compiled.ruleError.Described()
                                   : "KQ Error: Assertion error in CreateConstraintIndexVectors",
                               EngineButtons::Ok, EngineIcon::None, 0});
        return false;
    }
    return CalcAllPossible(In_design, *compiled.model, Ret_vaMatrix, Ret_abRemovalArray);
}

bool CAllCombinations::CalcAllPossible(const DesignTables& In_design, const ConstraintModel& In_constraints,
                                       AllCombinationsMatrix& Ret_vaMatrix, std::vector<bool>& Ret_abRemovalArray)
{
    // Constraints that no row keeps leave nothing to list: said before anything else.
    if (!In_constraints.AnyValidRow()) {
        reporter_.showMessage({"Infeasible constraints", EngineButtons::OkCancel, EngineIcon::Information, 27});
        return false;
    }
    levelCounts_ = In_design.levelCounts;
    const double size = CalcNumRowsPreConstraints(levelCounts_);
    if (size >= kMaxRows) {
        reporter_.showMessage({"The current design would require " + FormatThousands(size, separator_) +
                                   " tests. The maximum number of tests is 2 Billion. Use the 2-Way combinations instead.",
                               EngineButtons::Ok, EngineIcon::Critical, 27});
        return false;
    }
    const auto n = static_cast<int32_t>(size);
    if (n > kAskAbove) {
        const EngineAnswer answer = reporter_.showMessage(
            {"The current design will require " + FormatThousands(n, separator_) +
                 " before constraints are applied. Are you sure you would like to generate all tests?",
             EngineButtons::YesNo, EngineIcon::None, 27});
        if (answer != EngineAnswer::Yes)
            return false;
    }
    // Nothing is allocated for a listing that the sheet could not hold.
    if (!FitsInMemory(n, In_design.NumFactors())) {
        reporter_.showMessage({"The current design would require " + FormatThousands(n, separator_) +
                                   " tests, more than the memory of this computer can hold. Use the 2-Way combinations instead.",
                               EngineButtons::Ok, EngineIcon::Critical, 27});
        return false;
    }

    try {
        CalculatePreConstraintsMatrix(In_design, n, Ret_vaMatrix);
        MarkConstraintsForRemoval(In_constraints, n, Ret_abRemovalArray);
        MarkPrevRunsForRemoval(In_design, Ret_vaMatrix, Ret_abRemovalArray);
    } catch (const ListingCancelled&) {
        reporter_.setBusyPointer(false);
        Ret_vaMatrix = AllCombinationsMatrix();
        Ret_abRemovalArray.clear();
        return false;
    }
    return true;
}

bool CAllCombinations::FitsInMemory(int32_t numRows, int32_t numFactors) const
{
    const std::optional<uint64_t> available = availableMemory_ ? availableMemory_ : AvailableMemoryBytes();
    if (!available)
        return true;
    const double needed = static_cast<double>(numRows) * numFactors * static_cast<double>(bytesPerShownCell_) +
                          static_cast<double>(numRows) / 8.0;
    return needed <= static_cast<double>(*available);
}

void CAllCombinations::Progress(int barType, int64_t done, int64_t total, int32_t numRows)
{
    if (numRows <= kProgressAbove)
        return;
    // About 50 updates: after every step-th item (step = total / 50, halves to even) and the last.
    const auto step = static_cast<int64_t>(std::nearbyint(static_cast<double>(total) / 50.0));
    if (((step > 0 && done % step == 0) || done == total) &&
        reporter_.updateStatusProgress(barType, static_cast<double>(done) / static_cast<double>(total)))
        throw ListingCancelled{};
}

void CAllCombinations::CalculatePreConstraintsMatrix(const DesignTables& design, int32_t numRows,
                                                     AllCombinationsMatrix& matrix)
{
    reporter_.setBusyPointer(true);
    if (numRows > kProgressAbove)
        reporter_.showStatusProgress();
    std::vector<std::vector<std::string>> names;
    for (int32_t f = 0; f < design.NumFactors(); ++f) {
        std::vector<std::string> column;
        for (int32_t l = 0; l <= design.levelCounts[f]; ++l)
            column.push_back(l == 0 ? design.Name(f, l) : design.ShownName(f, l));
        names.push_back(std::move(column));
    }
    matrix = AllCombinationsMatrix(std::move(names), design.levelCounts);
    // The rows need no work of their own: each row number spells its levels.
    if (numRows > kProgressAbove) {
        const auto step = static_cast<int64_t>(std::nearbyint(numRows / 50.0));
        for (int64_t r = step; r <= numRows; r += step)
            Progress(1, r, numRows, numRows);
        if (numRows % step != 0)
            Progress(1, numRows, numRows, numRows);
    }
    reporter_.setBusyPointer(false);
}

void CAllCombinations::IncCounterVector(std::vector<int32_t>& counter) const
{
    for (size_t f = counter.size(); f-- > 0;) {
        if (++counter[f] <= levelCounts_[f])
            return;
        counter[f] = 1;
    }
}

void CAllCombinations::MarkConstraintsForRemoval(const ConstraintModel& constraints, int32_t numRows,
                                                 std::vector<bool>& removal)
{
    removal.assign(static_cast<size_t>(numRows), false);
    if (!constraints.HasConstraints())
        return;
    reporter_.setBusyPointer(true);
    // The odometer of level codes, 1-based, and the same row 0-based as the model reads it.
    std::vector<int32_t> counter(levelCounts_.size(), 1);
    std::vector<int32_t> row(levelCounts_.size(), 0);
    for (int32_t r = 1; r <= numRows; ++r) {
        for (size_t f = 0; f < counter.size(); ++f)
            row[f] = counter[f] - 1;
        if (!constraints.RowIsValid(row.data()))
            removal[static_cast<size_t>(r - 1)] = true;
        IncCounterVector(counter);
        Progress(2, r, numRows, numRows);
    }
    reporter_.setBusyPointer(false);
}

void CAllCombinations::MarkPrevRunsForRemoval(const DesignTables& design, const AllCombinationsMatrix& matrix,
                                              std::vector<bool>& removal)
{
    const auto P = static_cast<int64_t>(design.prevRuns.size());
    if (P == 0)
        return;
    const int32_t F = design.NumFactors();
    reporter_.setBusyPointer(true);
    // A test equals the rows whose every cell carries its name: one row, or none when a name
    // matches no level (every row with a level of that name when names repeat).
    std::vector<std::vector<int32_t>> matching(static_cast<size_t>(F));
    std::vector<int32_t> codes(static_cast<size_t>(F));
    for (int64_t p = 0; p < P; ++p) {
        const auto& test = design.prevRuns[p];
        bool any = true;
        for (int32_t f = 0; f < F && any; ++f) {
            matching[f].clear();
            static const std::string empty;
            const std::string& name = static_cast<size_t>(f) < test.size() ? test[f] : empty;
            for (int32_t l = 1; l <= levelCounts_[f]; ++l)
                if (design.Name(f, l) == name)
                    matching[f].push_back(l);
            any = !matching[f].empty();
        }
        if (any) {
            std::vector<size_t> at(static_cast<size_t>(F), 0);
            for (;;) {
                for (int32_t f = 0; f < F; ++f)
                    codes[f] = matching[f][at[f]];
                removal[static_cast<size_t>(matrix.RowOf(codes))] = true;
                int32_t f = F - 1;
                while (f >= 0 && ++at[f] == matching[f].size())
                    at[f--] = 0;
                if (f < 0)
                    break;
            }
        }
        Progress(3, p + 1, P, matrix.NumRows());
    }
    reporter_.setBusyPointer(false);
}
