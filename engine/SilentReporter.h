#pragma once
// A reporter that shows nothing and never stops the search: for searches run inside the
// engine's own constructions, and the base of the bench's.

#include "engine/EngineReporter.h"

class SilentReporter : public EngineReporter {
public:
    EngineAnswer showMessage(const EngineMessage&) override { return EngineAnswer::Ok; }
    void showNWayProgress() override {}
    bool updateNWayProgress(double, int32_t, int32_t) override { return false; }
    void closeNWayProgress() override {}
    void showStatusProgress() override {}
    bool updateStatusProgress(int, double) override { return false; }
    void setBusyPointer(bool) override {}
};
