#pragma once
// The full factorial listing: every combination of levels of all factors, with a removal
// flag on each row that breaks a constraint (a Constraints row or a rule) or that equals a
// previous test. One object
// serves one command.
//
//     CAllCombinations all(reporter);
//     all.SetBytesPerShownCell(24 + 8);        // what the Test Cases sheet spends per cell
//     all.SetThousandsSeparator(",");          // the user's locale's
//     AllCombinationsMatrix listing; std::vector<bool> removed;
//     if (all.CalcAllPossible(design, constraints, listing, removed)) { ... show the rows not removed ... }
//
// Listings above 1000 rows are confirmed by the user first; listings of two billion rows or
// more are refused, and so is a listing whose shown cells would not fit in the memory the
// machine has available, before anything is allocated.

#include "engine/AllCombinationsMatrix.h"
#include "engine/ConstraintModel.h"
#include "engine/DesignTables.h"
#include "engine/EngineReporter.h"

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

class CAllCombinations {
public:
    explicit CAllCombinations(EngineReporter& reporter);

    // Bytes the sheet spends to show one cell of the listing; counted with the listing's own
    // flags against the memory available.
    void SetBytesPerShownCell(uint64_t bytes) { bytesPerShownCell_ = bytes; }
    void SetThousandsSeparator(std::string separator) { separator_ = std::move(separator); }
    // The memory available, instead of reading the machine's (empty: read it).
    void SetAvailableMemory(std::optional<uint64_t> bytes) { availableMemory_ = bytes; }

    // True when the listing was made: Ret_vaMatrix holds every combination in odometer
    // order, Ret_abRemovalArray one flag per row. False when the user declined, the listing
    // was refused, also for constraints that no row keeps ("Infeasible constraints"; the
    // message has been shown), or the reporter's progress answered Cancel
    // (the listing stops at that step; both results are then empty).
    // constraints: the design's, compiled.
    bool CalcAllPossible(const DesignTables& In_design, const ConstraintModel& In_constraints,
                         AllCombinationsMatrix& Ret_vaMatrix, std::vector<bool>& Ret_abRemovalArray);
    // The same, the constraints compiled here; a Constraints row that names no factor or level
    // of the design is an internal error ("KQ Error: ..."): nothing is listed.
    bool CalcAllPossible(const DesignTables& In_design, AllCombinationsMatrix& Ret_vaMatrix,
                         std::vector<bool>& Ret_abRemovalArray);

    // The product of the level counts, in double so that it cannot overflow.
    static double CalcNumRowsPreConstraints(const std::vector<int32_t>& levelCounts);
    // "#,###": the integer with its thousands grouped.
    static std::string FormatThousands(double value, const std::string& separator);

private:
    bool FitsInMemory(int32_t numRows, int32_t numFactors) const;
    void CalculatePreConstraintsMatrix(const DesignTables& design, int32_t numRows, AllCombinationsMatrix& matrix);
    void IncCounterVector(std::vector<int32_t>& counter) const;
    void MarkConstraintsForRemoval(const ConstraintModel& constraints, int32_t numRows, std::vector<bool>& removal);
    void MarkPrevRunsForRemoval(const DesignTables& design, const AllCombinationsMatrix& matrix,
                                std::vector<bool>& removal);
    // Reports about 50 times per step; throws ListingCancelled once the reporter answers Cancel.
    void Progress(int barType, int64_t done, int64_t total, int32_t numRows);

    EngineReporter& reporter_;
    uint64_t bytesPerShownCell_ = 0;
    std::string separator_ = ",";
    std::optional<uint64_t> availableMemory_;
    std::vector<int32_t> levelCounts_;
};
