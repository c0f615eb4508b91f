#include "app/modMain.h"

#include "files/CFile.h"
#include "model/DesignWorkbook.h"
#include "model/GridCellStore.h"
#include "settings/CDefaults.h"

#include <memory>

namespace modMain {
bool gbDirty = false;
bool gbDesignChanged = false;
bool gbAutoTest = false;
QString gstrCurrentFile;

namespace {
struct GlobalObjects {
    // Every edit on a sheet makes the design unsaved and the test cases stale.
    DesignWorkbook workbook{[] { gbDirty = gbDesignChanged = true; }};
    std::unique_ptr<CDefaults> defaults;
    std::unique_ptr<CFile> file;
};
std::unique_ptr<GlobalObjects> gObjects;

GlobalObjects& Objects()
{
    if (!gObjects)
        gObjects = std::make_unique<GlobalObjects>();
    return *gObjects;
}
}  // namespace

bool TestCasesStale(DesignWorkbook& design) { return gbDesignChanged && design.TestCasesGrid().maxRows() >= 2; }

DesignWorkbook& Workbook() { return Objects().workbook; }
GridCellStore& FactorsGrid() { return Workbook().FactorsGrid(); }
GridCellStore& ConstraintsGrid() { return Workbook().ConstraintsGrid(); }
GridCellStore& PrevRunsGrid() { return Workbook().PrevRunsGrid(); }
GridCellStore& TestCasesGrid() { return Workbook().TestCasesGrid(); }

CFactors& Factors() { return Workbook().Factors(); }
CConstraints& Constraints() { return Workbook().Constraints(); }
CPrevRuns& PrevRuns() { return Workbook().PrevRuns(); }

CDefaults& Defaults()
{
    std::unique_ptr<CDefaults>& defaults = Objects().defaults;
    if (!defaults)
        defaults = std::make_unique<CDefaults>();
    return *defaults;
}

CFile& File()
{
    std::unique_ptr<CFile>& file = Objects().file;
    if (!file)
        file = std::make_unique<CFile>(Workbook());
    return *file;
}

DesktopContext Desktop(MessagePresenter& messages, HelpViewer& help)
{
    return {messages, help, Defaults(), Workbook(), File()};
}

void ReleaseGlobalObjects() { gObjects.reset(); }
}  // namespace modMain
