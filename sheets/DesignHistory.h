#pragma once
// Undo and Redo of the design: one stack for the three design sheets (Factors and Levels,
// Constraints, Previous Test) and the generations. A change made through Record becomes one
// step that puts back every cell, caption and count of the three sheets as they were before
// it, or after it. A generation made through RecordGeneration becomes one step that puts back
// the Test Cases sheet as it was before it, or as the generation left it.

#include "model/GridCellStore.h"

#include <QObject>
#include <QUndoStack>

#include <array>
#include <cstdint>
#include <functional>

class DesignWorkbook;

class DesignHistory : public QObject {
    Q_OBJECT
public:
    // The three sheets' stores and the model counts as they stand.
    struct Design {
        std::array<GridCellStore::State, 3> grids;
        std::int32_t numFactors = 0, maxNumLevels = 0, numConstraints = 0, numPrevRuns = 0;
        friend bool operator==(const Design&, const Design&) = default;
    };

    // The history of the workbook's design. afterRestore runs after an Undo or Redo put a
    // design back, for the windows to follow.
    DesignHistory(DesignWorkbook& workbook, std::function<void()> afterRestore, QObject* parent = nullptr);
    ~DesignHistory() override;

    // The history in use while it exists; nullptr otherwise.
    static DesignHistory* Current();

    // Runs the change; when it changed the design, it becomes a step named `what`. A change
    // made inside another one belongs to it. Without a history the change just runs.
    static void Record(const QString& what, const std::function<void()>& change);
    // Runs `fill`, which puts a generated matrix on the Test Cases sheet. When it answers true
    // that is one step named `what`: Undo puts the sheet back as it was, Redo as `fill` left
    // it, each followed by afterPut(generated) for whatever follows the sheet. When it answers
    // false (the user cancelled) the sheet is put back at once and there is no step. Returns
    // what `fill` answered; without a history `fill` just runs.
    static bool RecordGeneration(const QString& what, const std::function<bool()>& fill,
                                 std::function<void(bool generated)> afterPut);

    QUndoStack& stack() { return mStack; }
    // Forgets every step (a new or opened design); the design as it stands is the saved one.
    void clear() { mStack.clear(); }
    // The design as it stands is the one saved: undoing or redoing back to it makes the stack
    // clean again.
    void MarkSaved() { mStack.setClean(); }
    // The flag that says the test cases are out of date: each step puts back the value it had
    // before it (undone) or after it (redone); a change of the design makes it true.
    void SetStaleFlag(bool* stale) { mStale = stale; }
    bool* StaleFlag() const { return mStale; }

    // The design as it stands; puts back the sheets in which design differs from other.
    Design Take() const;
    void put(const Design& design, const Design& other);

private:
    DesignWorkbook& mWorkbook;
    QUndoStack mStack;
    std::function<void()> mAfterRestore;
    int mRecording = 0;
    bool* mStale = nullptr;
};
