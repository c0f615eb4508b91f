#pragma once
// Whether chosen levels can be completed into a row that holds no excluded pair. With many
// constraints this is a satisfiability question, answered here by an incremental SAT solver
// under assumptions.
//
// One variable per level of the design (its level entry + 1). Each factor holds at least one
// of its levels, and no row holds both levels of an excluded pair. "At most one level per
// factor" is left out on purpose: from any assignment that satisfies these clauses, taking
// any one true level of each factor gives a valid row, so the witness of an answer stands for
// many rows at once.
//
// An answer depends only on the question asked, never on what the solver was asked before:
// a search that takes its decisions from answers alone stays repeatable, whatever thread the
// solver lives on and whatever it solved earlier.

#include <cstdint>
#include <memory>
#include <utility>
#include <vector>

namespace CaDiCaL {
class Solver;
}

class ConstraintSolver {
public:
    // levelOffset: the first level entry of each factor, and the number of levels at the end
    // (F + 1 entries). excluded: pairs of level entries no row may hold together.
    ConstraintSolver(const std::vector<int32_t>& levelOffset, const std::vector<std::pair<int32_t, int32_t>>& excluded);
    ~ConstraintSolver();
    ConstraintSolver(const ConstraintSolver&) = delete;
    ConstraintSolver& operator=(const ConstraintSolver&) = delete;

    // Whether some valid row holds every given level entry. The last witness answers first
    // when it already holds them all, then a quick look: given levels that form an excluded
    // pair, or leave a factor no level, can stand in no row; a first-fit completion of them
    // is a row. Only when neither tells is the solver asked.
    bool Feasible(const int32_t* entries, int32_t count);

    // The witness of the last question answered yes: taking any held level of each factor
    // gives a valid row.
    bool Holds(int32_t entry) const { return witness_[static_cast<size_t>(entry)] != 0; }

    // Questions the solver itself had to answer.
    int64_t SolverCalls() const { return calls_; }

private:
    enum class Quick { Feasible, Infeasible, Unknown };
    Quick QuickLook(const int32_t* entries, int32_t count);

    std::vector<int32_t> levelOffset_;
    int32_t words_ = 0;
    std::vector<uint64_t> excluded_;  // per level entry, the entries it is excluded with
    std::vector<uint64_t> held_;      // the levels of a first-fit completion
    std::unique_ptr<CaDiCaL::Solver> solver_;
    std::vector<uint8_t> witness_;
    bool haveWitness_ = false;
    int64_t calls_ = 0;
};
