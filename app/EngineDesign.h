#pragma once
// The bridge between the validated design tables of the sheets and the engine: names go in
// as UTF-8, engine messages come out through the program's message seam.

#include "engine/DesignTables.h"
#include "engine/EngineMessage.h"
#include "model/TextTable.h"

#include <cstdint>

DesignTables ToEngineDesign(const TextTable& vaFactors, const LongArray& alLevelCount, const TextTable& vaConstraints,
                            std::int32_t numConstraints, const TextTable& vaPrevRuns, std::int32_t numPrevRuns);

// Shows an engine message with ShowMessage and returns the button pressed.
EngineAnswer ShowEngineMessage(const EngineMessage& message);
