#pragma once
// The generation commands: Generate 2 Way and Generate N-Way (the covering matrix), Validate
// Design and Generate All Combinations. Each reads the design from the sheets, runs the engine with its progress
// window and puts the result on the Test Cases sheet.
//
// The engine's evolutions run on worker threads; the GUI thread keeps the progress window and
// the main window alive. While a generation runs, the commands that would change or read the
// design are disabled, and closing the main window first stops the generation.

#include <cstdint>

#include "app/DesktopContext.h"

#include <cstdint>

namespace modMain {

// How a covering-matrix generation ended.
enum class GenerationOutcome {
    Refused,    // too few factors or levels, or a table did not validate (its message was shown)
    Failed,     // the engine gave no matrix ("Infeasible constraints")
    Generated,  // a matrix resulted, or the previous tests already cover every pair
    Cancelled,  // the user cancelled filling the Test Cases sheet, which is as it was
};

// GenerateNWay with strength 2, its converged answer ignored.
void Generate2Way(const CommandContext& context);
// Generate N-Way: asks for the strength (offering the one used last, which it stores) and
// generates, its converged answer ignored.
void GenerateNWayAsked(const CommandContext& context);
// The covering-matrix command at strength 2 to 6; beyond pairs it runs the stored number of
// evolutions but at most the few the strength needs. Ret_bConverge: everything required is
// covered (by a finished evolution, or already by the previous tests).
GenerationOutcome GenerateNWay(const CommandContext& context, std::int32_t In_lNumWays, bool& Ret_bConverge);
// Validates the three sheets: "The design is valid." or the first problem.
void ValidateDesgin(const CommandContext& context);
// Lists every combination of levels, less those a constraint forbids or a previous test ran.
void GenerateAllPossible(const CommandContext& context);

// Presses Stop on the running covering-matrix search, if there is one.
void StopGeneration();

}  // namespace modMain
