#pragma once
// A model as the engine takes it, once its names are checked: every factor and level named,
// no name twice in its list, Constraints rows naming two factors of the model and their levels,
// previous tests and seeds naming a level of each factor (seeds may leave one open).

#include <vantrel/model.hpp>
#include <vantrel/result.hpp>

#include "engine/DesignTables.h"

vantrel::Result<DesignTables> TablesOf(const vantrel::Model& model);
