#pragma once
// What the bench's tables share: a reporter that shows nothing, the classic configurations as
// designs, the processor time, and one timed search with its promises checked.

#include "engine/CCalcNWay.h"
#include "engine/SilentReporter.h"

#include <cstdint>
#include <utility>
#include <vector>

// Shows nothing but the messages, on standard error.
class QuietReporter : public SilentReporter {
public:
    EngineAnswer showMessage(const EngineMessage& message) override;
};

struct Config {
    const char* name;
    std::vector<std::pair<int, int>> groups;  // (levels, factors)
    int exclusions = 0;                       // drawn among the first quarter of the factors
};

// Factors F1.. with levels v1.., as the configuration says, and its exclusions.
DesignTables MakeDesign(const Config& config);

double ProcessCpuSeconds();

struct Timing {
    int32_t rows = 0;
    double seconds = 0;
    double cpuSeconds = 0;  // summed over the threads
    double compactSeconds = 0;
    bool converge = false;
};

// Whether the matrix holds no excluded pair and every other pair of the design.
bool KeepsPromises(CCalcNWay& calc, const DesignTables& design, const GeneratedMatrix& matrix);

// One search of strength 2 (compacted for compactSeconds when above 0), timed; with
// promisesKept, whether the matrix keeps its promises.
Timing Run(const DesignTables& design, int32_t evolutions, uint64_t seed, unsigned threads, double compactSeconds = 0,
           bool* promisesKept = nullptr);
