#pragma once
// What the sheet windows do around each table the workbook puts on their grids: before it,
// build their drop-down lists from the factors already put (a validated read, which may drop
// factors without a name from the count the next table is laid out for); after it, caption,
// list and size the lines put. The workbook itself knows no windows.

enum class DesignTable { Factors, Constraints, PrevRuns, TestCases };

class SheetPutListener {
public:
    virtual ~SheetPutListener() = default;
    // Called only for a table that has lines: the factors always, the others when their
    // count is above 0.
    virtual void BeforePut(DesignTable table) = 0;
    virtual void AfterPut(DesignTable table) = 0;
};
