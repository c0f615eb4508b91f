#pragma once
// What the engine needs from the program around it: message boxes, the two progress windows
// and the busy pointer. The engine never shows anything itself.
//
// Every call is made on the thread that called the engine (the GUI thread in the desktop
// program), never on a worker thread, so an implementation may touch widgets directly.

#include "engine/EngineMessage.h"

#include <cstdint>
#include <exception>

class EngineReporter {
public:
    virtual ~EngineReporter() = default;

    // Shows a message box and returns the button pressed.
    virtual EngineAnswer showMessage(const EngineMessage& message) = 0;

    // The covering-matrix progress window ("Generating Test Cases...").
    virtual void showNWayProgress() = 0;
    // fraction 0..1 for the bar; numComplete and smallest are -1 to leave their labels as they
    // are. Returns true once Stop has been pressed (and keeps returning true).
    virtual bool updateNWayProgress(double fraction, int32_t numComplete, int32_t smallest) = 0;
    virtual void closeNWayProgress() = 0;
    // The search goes on to compaction from a matrix of `rows` test cases (previous tests
    // included): the progress calls now tell the compaction's best matrix.
    virtual void nWayCompactionStarted(int32_t rows) { (void)rows; }

    // The status window of the all-combinations listing: bars 1 (listing), 2 (constraints),
    // 3 (previous tests). It stays open when the listing ends; whoever fills the Test Cases
    // sheet closes it. Returns true once Cancel has been pressed (and keeps returning true).
    virtual void showStatusProgress() = 0;
    virtual bool updateStatusProgress(int barType, double fraction) = 0;

    // The main window's hourglass pointer while a long loop runs.
    virtual void setBusyPointer(bool busy) = 0;

    // An error that ended an evolution on a worker thread, handed over on the calling thread.
    // That evolution ends without a result; the search goes on with the others. By default the
    // error is dropped.
    virtual void reportWorkerError(std::exception_ptr error) { (void)error; }
};
