#pragma once
// What the file commands need from the four sheets: set them up empty, load a design into
// them, and show the Factors and Levels sheet. The main window implements it; the loads
// return False when the sheet could not take its table (the later sheets are then skipped).

#include "model/TextTable.h"

#include <cstdint>

class DesignSheets {
public:
    virtual ~DesignSheets() = default;

    // Every sheet back to its empty layout: Factors and Levels, Previous Test, Constraints,
    // Test Cases, in this order.
    virtual void SetupSheets() = 0;
    virtual bool LoadFactors(std::int32_t In_lNumFactors, std::int32_t In_lMaxNumLevels, const TextTable& In_vaFactors,
                             const LongArray& In_alLevelCount) = 0;
    virtual bool LoadConstraints(std::int32_t In_lNumConstraints, const TextTable& In_vaConstraints) = 0;
    virtual bool LoadPrevRuns(std::int32_t In_lNumPrevRuns, const TextTable& In_vaPrevRuns) = 0;
    virtual bool LoadSavedMatrix(std::int32_t In_lNumRows, std::int32_t In_lNumCols, const TextTable& In_vaMatrix) = 0;
    // Selects the Factors and Levels item and gives its grid the keyboard focus.
    virtual void ShowFactorsAndLevels() = 0;
};

// The sheets the file commands load; nullptr (the default) when there are none.
void SetDesignSheets(DesignSheets* sheets);
DesignSheets* CurrentDesignSheets();
