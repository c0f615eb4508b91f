#pragma once
// What the file commands need from the four sheets' windows: set them up empty, dress each
// table the workbook puts on them (lists, captions, widths), and show the Factors and Levels
// sheet. The main window implements it.

#include "model/SheetPutListener.h"

class DesignSheets : public SheetPutListener {
public:
    // Every sheet back to its empty layout: Factors and Levels, Previous Test, Constraints,
    // Test Cases, in this order, then the Rules sheet without text.
    virtual void SetupSheets() = 0;
    // Selects the Factors and Levels item and gives its grid the keyboard focus.
    virtual void ShowFactorsAndLevels() = 0;
};

// The sheets the file commands load; nullptr (the default) when there are none.
void SetDesignSheets(DesignSheets* sheets);
DesignSheets* CurrentDesignSheets();
