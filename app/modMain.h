#pragma once
// Application state and the global objects. The design lives only in the four sheets'
// grids; the model objects keep nothing but the used extent of their sheet.

#include "app/DesktopContext.h"

#include <QString>

class CFactors;
class CConstraints;
class CPrevRuns;
class CDefaults;
class CFile;
class DesignWorkbook;
class GridCellStore;

namespace modMain {
extern bool gbDirty;          // the design differs from what was last opened, saved or started new
extern bool gbDesignChanged;  // the Test Cases sheet is stale
extern bool gbAutoTest;       // a self-test run was started; summaries and warnings are suppressed
extern QString gstrCurrentFile;  // full path of the open design; "" while untitled

// The design changed after the test cases it shows were made (a sheet without test cases is
// never out of date).
bool TestCasesStale(DesignWorkbook& design);

// The open design: the sheets' grids and the model objects; created on first use.
DesignWorkbook& Workbook();
// The sheets' grids in navigation order: Factors and Levels, Constraints, Previous Test, Test Cases.
GridCellStore& FactorsGrid();
GridCellStore& ConstraintsGrid();
GridCellStore& PrevRunsGrid();
GridCellStore& TestCasesGrid();

// The global model objects, each created on first use.
CFactors& Factors();
CConstraints& Constraints();
CPrevRuns& PrevRuns();
// The settings, created on first use (which creates the settings key on the first run).
CDefaults& Defaults();
// The design file and its dialogs, created on first use.
CFile& File();

// The desktop's context over these global objects, with the presenter and help given.
DesktopContext Desktop(MessagePresenter& messages, HelpViewer& help);

// Releases the global objects and the grids (at shutdown, and between tests).
void ReleaseGlobalObjects();
}  // namespace modMain
