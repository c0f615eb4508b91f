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

#include <cstdint>
#include <functional>
#include <vector>

class FiniteField;
class RandomStream;

// What starters must show: the class of every tuple of t levels (-1 for the tuples the extra
// rows hold), and for every set of t columns the group keeps apart (as distances from the
// first column where the columns shift, as columns where they stay), the positions of the
// starter's shifts that read it.
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
    // A tuple of a starter's shift through a position: its set of columns, the shift, and what
    // a level at the position adds to the tuple's code (v to the power of the places after it).
    struct Through {
        int32_t set;
        int32_t shift;
        int32_t weight;
    };
    std::vector<std::vector<Through>> through;  // per position

private:
    void ClassifyCyclic();
    void ClassifyAffine(const FiniteField& field);
    void ListDistances(std::vector<int32_t> run);
    bool FirstOfItsShifts(const std::vector<int32_t>& run) const;
    void ListThrough();
};

// The moves one search may make: at most steps, and at most tuples weighed in all (a move
// weighs every change of every cell over the sets of columns through the cell).
struct StarterBudget {
    int64_t steps;
    int64_t tuples;
};

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

// m cyclic starters of k levels (m x k codes: the group's 0..g-1, the fixed ones g..g+f-1)
// that qualify at strength t, or empty when none were found within maxSteps moves.
std::vector<int32_t> FindStarters(int32_t t, int32_t k, int32_t g, int32_t f, int32_t m, RandomStream& random,
                                  int64_t maxSteps);
