#include "app/modMain.h"

#include "files/CFile.h"
#include "model/CConstraints.h"
#include "model/CFactors.h"
#include "model/CPrevRuns.h"
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
    GridCellStore grids[4];
    std::unique_ptr<CFactors> factors;
    std::unique_ptr<CConstraints> constraints;
    std::unique_ptr<CPrevRuns> prevRuns;
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

template <typename T>
T& CreateOnFirstUse(std::unique_ptr<T>& object, GridCellStore& grid)
{
    if (!object)
        object = std::make_unique<T>(grid);
    return *object;
}
}  // namespace

GridCellStore& FactorsGrid() { return Objects().grids[0]; }
GridCellStore& ConstraintsGrid() { return Objects().grids[1]; }
GridCellStore& PrevRunsGrid() { return Objects().grids[2]; }
GridCellStore& TestCasesGrid() { return Objects().grids[3]; }

CFactors& Factors() { return CreateOnFirstUse(Objects().factors, FactorsGrid()); }
CConstraints& Constraints() { return CreateOnFirstUse(Objects().constraints, ConstraintsGrid()); }
CPrevRuns& PrevRuns() { return CreateOnFirstUse(Objects().prevRuns, PrevRunsGrid()); }

CDefaults& Defaults()
{
    std::unique_ptr<CDefaults>& defaults = Objects().defaults;
    if (!defaults)
        defaults = std::make_unique<CDefaults>();
    return *defaults;
}

CFile& File() { return CreateOnFirstUse(Objects().file, TestCasesGrid()); }

void ReleaseGlobalObjects() { gObjects.reset(); }
}  // namespace modMain
