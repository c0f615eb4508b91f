#pragma once
// The search for starters: m rows of k levels that a group of maps on the columns and the
// levels develops into a covering array of strength t (engine/StarterArray.h builds the arrays).
// Each starter shows, on every set of t of its columns, one tuple of levels; the group makes of
// that tuple its whole class. The starters qualify when every set of columns the group does not
// map onto another shows every class but those the array's extra rows hold.
//
// Two developments: the cyclic one (every cyclic shift of the columns, the group levels
// 0..g-1 added to modulo g, f further levels fixed), and the affine one (the columns shift by
// multiples of k / s, or stay; the levels are the field of v elements under every map
// x -> a x + b, a nonzero).
//
// The search itself (SearchCells) changes cells to meet conditions on the tuples they make,
// whatever develops them: engine/CirculantArray.h shifts starter columns down the rows with it.

#include <cstdint>
#include <functional>
#include <vector>

class FiniteField;
class RandomStream;

// The tuples a search of cells counts: each reads t cells, as the code of t levels of v, and
// meets the condition of its set of columns and its code's class (none for a class of -1). The
// search looks for cells that meet every condition.
struct TupleReads {
    int32_t t = 0, v = 0, cells = 0, sets = 0, classes = 0;
    std::vector<int32_t> classOf;  // per code of t levels
    std::vector<int32_t> setOf;    // per tuple
    std::vector<int32_t> reads;    // t cells per tuple, the first the most significant level
    // A tuple through a cell, and what a level in the cell adds to its code.
    struct Through {
        int32_t tuple;
        int32_t weight;
    };
    std::vector<std::vector<Through>> through;  // per cell

    // Appends a tuple of the set reading the cells, and lists it through them.
    void Add(int32_t set, const int32_t* cells);
};

// What starters must show: the class of every tuple of t levels (-1 for the tuples the extra
// rows hold), and every set of t columns the group keeps apart (as distances from the first
// column where the columns shift, as columns where they stay).
struct StarterConditions {
    // The cyclic development with g group levels and f fixed ones.
    StarterConditions(int32_t t, int32_t k, int32_t g, int32_t f);
    // The affine development over the field, with the columns shifted by multiples of k / shifts
    // (shifts divides k; 1 where the columns stay).
    StarterConditions(int32_t t, int32_t k, const FiniteField& field, int32_t shifts);

    int32_t ColumnSets() const { return static_cast<int32_t>(columns.size()) / t; }

    int32_t t, k, g, v;
    int32_t shifts;    // of the columns, the first none
    int32_t step = 1;  // the columns one shift moves
    int32_t classes = 0;
    std::vector<int32_t> classOf;  // per code of t levels
    std::vector<int32_t> columns;  // t per set of columns

    // The tuples m starters show: every shift of every starter on every set of columns.
    TupleReads Reads(int32_t m) const;

private:
    void ClassifyCyclic();
    void ClassifyAffine(const FiniteField& field);
    void ListDistances(std::vector<int32_t> run);
    bool FirstOfItsShifts(const std::vector<int32_t>& run) const;
};

// The moves one search may make: at most steps, and at most tuples weighed in all (a move
// weighs every change of every cell over the sets of columns through the cell).
struct StarterBudget {
    int64_t steps;
    int64_t tuples;
};

// The moves a search may make on the budget where a move weighs tuplesPerMove tuples, or 0
// where they are too few for a search to be worth starting.
int64_t MovesWithin(StarterBudget budget, double tuplesPerMove);

// Whether starters of k columns of v levels at strength t are worth building conditions for and
// searching on the budget: not where the tuples of levels to classify are too many, nor where
// a move weighs too many sets of columns (a t-th as many for the cyclic development, whose
// rotations of a set are one).
bool StarterSearchPays(int32_t t, int32_t k, int32_t v, bool cyclic, StarterBudget budget);

// The fewest starters (m x k levels) from most down to fewest that the searches find, or empty
// for none: each m gets a search of its own, and the first one that fails (or gives up when
// giveUp says so, every few moves) ends the descent.
std::vector<int32_t> FewestStarters(const StarterConditions& conditions, int32_t most, int32_t fewest,
                                    RandomStream& random, StarterBudget budget, const std::function<bool()>& giveUp);

// Cells (reads.cells levels) that meet every condition, or empty when none were found within
// maxSteps moves or giveUp (asked every few moves) said so. The search starts from the levels
// of start in the first cells, at random in the others.
std::vector<int32_t> SearchCells(const TupleReads& reads, RandomStream& random, int64_t maxSteps,
                                 const std::function<bool()>& giveUp, const std::vector<int32_t>& start = {});

// m cyclic starters of k levels (m x k codes: the group's 0..g-1, the fixed ones g..g+f-1)
// that qualify at strength t, or empty when none were found within maxSteps moves.
std::vector<int32_t> FindStarters(int32_t t, int32_t k, int32_t g, int32_t f, int32_t m, RandomStream& random,
                                  int64_t maxSteps);
