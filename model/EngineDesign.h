#pragma once
// The bridge between the validated design tables of the sheets and the engine: names go in
// as UTF-8, engine messages come out through the program's message seam.

#include "engine/ConstraintModel.h"
#include "engine/DesignTables.h"
#include "engine/EngineMessage.h"
#include "model/DesignText.h"

#include <memory>

// The factors, constraints, rules and previous tests of the design; its matrix stays behind.
DesignTables ToEngineDesign(const DesignText& design);

// The constraints of a validated design compiled once for a command, every part of which asks
// them. Empty when the rules text does not check: `error` then says where and why.
std::shared_ptr<const ConstraintModel> CompileConstraints(const DesignTables& design, RuleError& error);

// Shows an engine message with ShowMessage and returns the button pressed.
EngineAnswer ShowEngineMessage(const EngineMessage& message);
