#pragma once
// The bridge between the validated design tables of the sheets and the engine: names go in
// as UTF-8, engine messages come out through the program's message seam.

#include "engine/DesignTables.h"
#include "engine/EngineMessage.h"
#include "model/DesignText.h"

// The factors, constraints and previous tests of the design; its matrix stays behind.
DesignTables ToEngineDesign(const DesignText& design);

// Shows an engine message with ShowMessage and returns the button pressed.
EngineAnswer ShowEngineMessage(const EngineMessage& message);
