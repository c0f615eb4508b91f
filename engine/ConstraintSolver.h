#pragma once
// Whether chosen levels can be completed into a valid row. With many constraints this is a
// satisfiability question, answered here by an incremental SAT solver under assumptions.
//
// One variable per level of the design (its level entry + 1). Each factor holds at least one
// of its levels, no row holds both levels of a listed excluded pair nor a level no valid row
// holds nor two invalid levels, and the rules the model encodes (the wide ones, the two-factor
// ones that exclude many pairs) hold as its clauses say. "At most one level per factor" is
// left out where no such rule reads the factor: from any assignment that satisfies these
// clauses, taking any one true level of each factor gives a valid row, so the witness of an
// answer stands for many rows at once.
//
// An answer depends only on the question asked, never on what the solver was asked before:
// a search that takes its decisions from answers alone stays repeatable, whatever thread the
// solver lives on and whatever it solved earlier.

#include <cstdint>
#include <memory>
#include <vector>

class ConstraintModel;

namespace CaDiCaL {
class Solver;
}

class ConstraintSolver {
public:
    explicit ConstraintSolver(const ConstraintModel& model);
    ~ConstraintSolver();
    ConstraintSolver(const ConstraintSolver&) = delete;
    ConstraintSolver& operator=(const ConstraintSolver&) = delete;

    // Whether some valid row holds every given level entry. The last witness answers first
    // when it already holds them all, or all but one level that it can take in place of its
    // own; then a quick look: given levels that form an excluded pair, or leave a factor no
    // level, can stand in no row; a first-fit completion of them that keeps the wide rules is
    // a row. Only when none tells is the solver asked.
    // validOnly: some valid row without an invalid level (the rows that cover combinations of
    // valid levels).
    bool Feasible(const int32_t* entries, int32_t count, bool validOnly = false);

    // The witness of the last question answered yes: taking any held level of each factor
    // gives a valid row.
    bool Holds(int32_t entry) const { return (witness_[static_cast<size_t>(entry >> 6)] >> (entry & 63)) & 1; }

    // Questions the solver itself had to answer.
    int64_t SolverCalls() const { return calls_; }

private:
    enum class Quick { Feasible, Infeasible, Unknown };
    Quick QuickLook(const int32_t* entries, int32_t count);
    // Whether the entry may join the levels held: usable, valid where asked, forming no
    // excluded pair with a held one.
    bool Fits(int32_t entry) const;
    bool WitnessAnswers(const int32_t* entries, int32_t count);
    void Hold(int32_t entry);
    void ClearHeld();
    bool IsHeld(int32_t entry) const { return (held_[static_cast<size_t>(entry >> 6)] >> (entry & 63)) & 1; }
    bool FirstFitCompletion();
    bool WitnessTakes(int32_t entry);
    void SetWitnessFromHeld();

    const ConstraintModel& model_;
    std::vector<uint8_t> oneLevel_;  // per factor: a wide rule reads it
    std::vector<uint64_t> held_;     // the levels of a first-fit completion
    std::vector<uint64_t> blocked_;  // the levels they form an excluded pair with
    // For the unusable levels and the invalid ones: the factor whose levels of the class are
    // not yet blocked, kNoClass while none is, kWholeClass once all are.
    static constexpr int32_t kNoClass = -1, kWholeClass = -2;
    int32_t unusableBlockedBut_ = kNoClass, invalidBlockedBut_ = kNoClass;
    std::vector<int32_t> row_;       // that completion as a row
    std::unique_ptr<CaDiCaL::Solver> solver_;
    std::vector<uint64_t> witness_;     // a set over all entries
    std::vector<int32_t> witnessRow_;  // a row of it: its first level of each factor
    bool haveWitness_ = false;
    bool witnessValid_ = false;  // every factor of the witness holds a valid level
    bool validOnly_ = false;     // of the question being answered
    int32_t validSelector_ = 0;  // the variable that, assumed, keeps out every invalid level
    int64_t calls_ = 0;
};
