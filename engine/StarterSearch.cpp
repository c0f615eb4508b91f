#include "engine/StarterSearch.h"

#include "engine/FiniteField.h"
#include "engine/RandomStream.h"
#include "engine/TupleTable.h"

#include <algorithm>
#include <functional>

StarterConditions::StarterConditions(int32_t t, int32_t k, int32_t g, int32_t f) : t(t), k(k), g(g), v(g + f), shifts(k)
{
    ClassifyCyclic();
    ListDistances(std::vector<int32_t>{0});
}

StarterConditions::StarterConditions(int32_t t, int32_t k, const FiniteField& field, int32_t shifts)
    : t(t), k(k), g(field.Order()), v(g), shifts(shifts), step(k / shifts)
{
    ClassifyAffine(field);
    std::vector<int32_t> scratch(static_cast<size_t>(t));
    ForEachColexSet(k, t, scratch.data(), [this](const int32_t* set) {
        const std::vector<int32_t> run(set, set + this->t);
        if (FirstOfItsShifts(run))
            columns.insert(columns.end(), run.begin(), run.end());
    });
}

TupleReads StarterConditions::Reads(int32_t m) const
{
    TupleReads reads;
    reads.t = t;
    reads.v = v;
    reads.cells = m * k;
    reads.sets = ColumnSets();
    reads.classes = classes;
    reads.classOf = classOf;
    reads.through.resize(static_cast<size_t>(reads.cells));
    std::vector<int32_t> cells(static_cast<size_t>(t));
    for (int32_t j = 0; j < m; ++j)
        for (int32_t d = 0; d < ColumnSets(); ++d)
            for (int32_t shift = 0; shift < shifts * step; shift += step) {
                for (int32_t i = 0; i < t; ++i)
                    cells[static_cast<size_t>(i)] = j * k + (shift + columns[static_cast<size_t>(d * t + i)]) % k;
                reads.Add(d, cells.data());
            }
    return reads;
}

void TupleReads::Add(int32_t set, const int32_t* tupleCells)
{
    const auto tuple = static_cast<int32_t>(setOf.size());
    setOf.push_back(set);
    reads.insert(reads.end(), tupleCells, tupleCells + t);
    // A cell read at two places of the tuple (one level for two columns) is one entry, its
    // weights summed, so that changing it changes both.
    for (int32_t i = t - 1, weight = 1; i >= 0; --i, weight *= v) {
        auto& cell = through[static_cast<size_t>(tupleCells[i])];
        if (!cell.empty() && cell.back().tuple == tuple)
            cell.back().weight += weight;
        else
            cell.push_back({tuple, weight});
    }
}

namespace {

// The class of every code of t levels of v, numbered in the order of their first codes: key
// gives the code of a tuple's class's representative (the levels given), or -1 for no class.
template <typename Key>
std::vector<int32_t> NumberedClasses(int32_t t, int32_t v, Key key, int32_t& classes)
{
    int64_t tuples = 1;
    for (int32_t i = 0; i < t; ++i)
        tuples *= v;
    std::vector<int32_t> classOf(static_cast<size_t>(tuples), -1), dense(static_cast<size_t>(tuples), -1);
    std::vector<int32_t> levels(static_cast<size_t>(t));
    for (int32_t code = 0; code < tuples; ++code) {
        for (int32_t i = t - 1, rest = code; i >= 0; --i, rest /= v)
            levels[static_cast<size_t>(i)] = rest % v;
        const int32_t representative = key(levels);
        if (representative < 0)
            continue;
        int32_t& id = dense[static_cast<size_t>(representative)];
        if (id < 0)
            id = classes++;
        classOf[static_cast<size_t>(code)] = id;
    }
    return classOf;
}

}  // namespace

// A tuple's class: its levels with the first group level's subtracted from every group level.
void StarterConditions::ClassifyCyclic()
{
    classOf = NumberedClasses(t, v, [this](const std::vector<int32_t>& levels) {
        const auto first = std::find_if(levels.begin(), levels.end(), [this](int32_t l) { return l < g; });
        if (first == levels.end())
            return -1;
        const int32_t base = *first;
        int32_t key = 0;
        for (const int32_t l : levels)
            key = key * v + (l < g ? (l - base + g) % g : l);
        return key;
    }, classes);
}

// A tuple's class: its levels less the first, divided by the first nonzero difference. Tuples
// of one level alone, which the array's constant rows hold, have none.
void StarterConditions::ClassifyAffine(const FiniteField& field)
{
    std::vector<int32_t> negative(static_cast<size_t>(v)), inverse(static_cast<size_t>(v));
    for (int32_t x = 0; x < v; ++x)
        for (int32_t y = 0; y < v; ++y) {
            if (field.Add(x, y) == 0)
                negative[static_cast<size_t>(x)] = y;
            if (field.Multiply(x, y) == 1)
                inverse[static_cast<size_t>(x)] = y;
        }
    classOf = NumberedClasses(t, v, [&](const std::vector<int32_t>& levels) {
        const int32_t less = negative[static_cast<size_t>(levels[0])];
        const auto first = std::find_if(levels.begin(), levels.end(), [&](int32_t l) { return l != levels[0]; });
        if (first == levels.end())
            return -1;
        const int32_t scale = inverse[static_cast<size_t>(field.Add(*first, less))];
        int32_t key = 0;
        for (const int32_t l : levels)
            key = key * v + field.Multiply(field.Add(l, less), scale);
        return key;
    }, classes);
}

// Every increasing run of t distances from 0 below k, after the given start, that comes first
// among its shifts (those read the same tuples, rotated: the same classes must show; the first
// shift of a run from 0 is one from 0 too).
void StarterConditions::ListDistances(std::vector<int32_t> run)
{
    if (static_cast<int32_t>(run.size()) == t) {
        if (FirstOfItsShifts(run))
            columns.insert(columns.end(), run.begin(), run.end());
        return;
    }
    for (int32_t d = run.back() + 1; d < k; ++d) {
        run.push_back(d);
        ListDistances(run);
        run.pop_back();
    }
}

// Whether the set of columns comes first among its shifts by multiples of the step (the rows
// the shifts develop read those the same).
bool StarterConditions::FirstOfItsShifts(const std::vector<int32_t>& run) const
{
    std::vector<int32_t> shifted(run.size());
    for (int32_t shift = step; shift < k; shift += step) {
        for (size_t i = 0; i < run.size(); ++i)
            shifted[i] = (run[i] + shift) % k;
        std::sort(shifted.begin(), shifted.end());
        if (shifted < run)
            return false;
    }
    return true;
}

namespace {

// A search asks whether to give up every so many moves (a move takes a millisecond at most).
constexpr int64_t kStepsBetweenLooks = 16;

// The cells searched. A condition (a set of columns and a class) counted zero times is unmet;
// its weight grows at each move that finds nothing better, so that the search leaves where it
// is stuck.
class CellSearch {
public:
    CellSearch(const TupleReads& reads, RandomStream& random, const std::vector<int32_t>& start)
        : r_(reads), random_(random)
    {
        const size_t all = static_cast<size_t>(r_.sets) * static_cast<size_t>(r_.classes);
        counts_.assign(all, 0);
        weights_.assign(all, 1);
        marks_.assign(all, 0);
        unmet_ = static_cast<int64_t>(all);
        cost_ = unmet_;
        cells_.resize(static_cast<size_t>(r_.cells));
        tabuUntil_.assign(cells_.size() * static_cast<size_t>(r_.v), 0);
        for (const auto& through : r_.through)
            rests_.resize(std::max(rests_.size(), through.size()));
        for (size_t cell = 0; cell < cells_.size(); ++cell)
            cells_[cell] = cell < start.size() ? start[cell] : random_.RandomIndex(0, r_.v - 1);
        for (int32_t tuple = 0; tuple < static_cast<int32_t>(r_.setOf.size()); ++tuple)
            Count(Condition(tuple, Code(tuple)), +1);
    }

    // Moves until every condition is met, or gives up after maxSteps or when asked to.
    void Run(int64_t maxSteps, const std::function<bool()>& giveUp)
    {
        for (int64_t step = 0; unmet_ > 0 && step < maxSteps && (step % kStepsBetweenLooks != 0 || !giveUp());)
            Move(++step);
    }

    bool Found() const { return unmet_ == 0; }
    const std::vector<int32_t>& Cells() const { return cells_; }

private:
    // The code of the levels the tuple reads.
    int32_t Code(int32_t tuple) const
    {
        const int32_t* read = &r_.reads[static_cast<size_t>(tuple) * static_cast<size_t>(r_.t)];
        int32_t code = 0;
        for (int32_t i = 0; i < r_.t; ++i)
            code = code * r_.v + cells_[static_cast<size_t>(read[i])];
        return code;
    }

    // The condition the tuple meets with the code, or -1 for none.
    int32_t Condition(int32_t tuple, int32_t code) const
    {
        const int32_t cls = r_.classOf[static_cast<size_t>(code)];
        return cls < 0 ? -1 : r_.setOf[static_cast<size_t>(tuple)] * r_.classes + cls;
    }

    void Count(int32_t condition, int32_t sign)
    {
        if (condition < 0)
            return;
        int32_t& count = counts_[static_cast<size_t>(condition)];
        if (sign < 0 && --count == 0) {
            ++unmet_;
            cost_ += weights_[static_cast<size_t>(condition)];
        } else if (sign > 0 && count++ == 0) {
            --unmet_;
            cost_ -= weights_[static_cast<size_t>(condition)];
        }
    }

    // Notes the rests of the tuples through the cell, which holds old: their codes with the
    // cell's level taken as 0.
    void TakeRests(int32_t cell, int32_t old)
    {
        const auto& through = r_.through[static_cast<size_t>(cell)];
        for (size_t e = 0; e < through.size(); ++e)
            rests_[e] = Code(through[e].tuple) - old * through[e].weight;
    }

    // The weight of the unmet conditions that the tuples through the cell, uncounted, would
    // meet with the level there (each condition once).
    int64_t Gain(int32_t cell, int32_t level)
    {
        if (++stamp_ == 0) {
            std::fill(marks_.begin(), marks_.end(), 0);
            stamp_ = 1;
        }
        int64_t gain = 0;
        const auto& through = r_.through[static_cast<size_t>(cell)];
        for (size_t e = 0; e < through.size(); ++e) {
            const int32_t condition = Condition(through[e].tuple, rests_[e] + level * through[e].weight);
            if (condition >= 0 && counts_[static_cast<size_t>(condition)] == 0 &&
                marks_[static_cast<size_t>(condition)] != stamp_) {
                marks_[static_cast<size_t>(condition)] = stamp_;
                gain += weights_[static_cast<size_t>(condition)];
            }
        }
        return gain;
    }

    // Counts (sign 1) or uncounts (-1) the tuples through the cell with the level there.
    void Place(int32_t cell, int32_t level, int32_t sign)
    {
        const auto& through = r_.through[static_cast<size_t>(cell)];
        for (size_t e = 0; e < through.size(); ++e)
            Count(Condition(through[e].tuple, rests_[e] + level * through[e].weight), sign);
    }

    void Move(int64_t step);

    const TupleReads& r_;
    RandomStream& random_;
    std::vector<int32_t> cells_;
    std::vector<int32_t> counts_;     // per set of columns and class
    std::vector<int64_t> weights_;    // alike
    std::vector<int64_t> tabuUntil_;  // per cell and level: the step it may be taken again
    std::vector<uint32_t> marks_;     // per condition: the Gain that counted it last
    std::vector<int32_t> rests_;      // per tuple through the cell weighed: its code less the cell's level
    uint32_t stamp_ = 0;
    int64_t unmet_ = 0;
    int64_t cost_ = 0;  // the weights of the unmet conditions
};

// The change of one cell, not tabu, that leaves the least weight unmet (ties at random).
void CellSearch::Move(int64_t step)
{
    int64_t bestCost = INT64_MAX;
    int32_t bestCell = -1, bestLevel = -1, ties = 0;
    for (int32_t cell = 0; cell < static_cast<int32_t>(cells_.size()); ++cell) {
        const int32_t old = cells_[static_cast<size_t>(cell)];
        TakeRests(cell, old);
        Place(cell, old, -1);
        for (int32_t level = 0; level < r_.v; ++level) {
            if (level == old || tabuUntil_[static_cast<size_t>(cell * r_.v + level)] > step)
                continue;
            const int64_t cost = cost_ - Gain(cell, level);
            if (cost < bestCost) {
                ties = 0;
                bestCost = cost;
            }
            if (cost == bestCost && random_.RandomIndex(0, ties++) == 0) {
                bestCell = cell;
                bestLevel = level;
            }
        }
        Place(cell, old, +1);
    }
    if (bestCell < 0)
        return;
    if (bestCost >= cost_)
        for (size_t i = 0; i < counts_.size(); ++i)
            if (counts_[i] == 0) {
                ++weights_[i];
                ++cost_;
            }
    int32_t& level = cells_[static_cast<size_t>(bestCell)];
    tabuUntil_[static_cast<size_t>(bestCell * r_.v + level)] = step + 3 + random_.RandomIndex(0, 4);
    TakeRests(bestCell, level);
    Place(bestCell, level, -1);
    level = bestLevel;
    Place(bestCell, level, +1);
}

// Below this many moves a search is not worth starting.
constexpr int64_t kFewestSteps = 1000;
// The most tuples of levels of t factors the classes are tabulated for.
constexpr int64_t kMostTuples = 1 << 20;

}  // namespace

bool StarterSearchPays(int32_t t, int32_t k, int32_t v, bool cyclic, StarterBudget budget)
{
    int64_t tuples = 1;
    for (int32_t i = 0; i < t && tuples <= kMostTuples; ++i)
        tuples *= v;
    // A move weighs, for each change of each of k cells, the sets of columns through the cell:
    // C(k - 1, t - 1), a t-th of them where the rotations of a set are one.
    double through = SetsOf(k - 1, t - 1);
    if (cyclic)
        through /= t;
    return tuples <= kMostTuples && through * k * (v - 1) * 2 <= static_cast<double>(budget.tuples / kFewestSteps);
}

int64_t MovesWithin(StarterBudget budget, double tuplesPerMove)
{
    const double affordable = static_cast<double>(budget.tuples) / tuplesPerMove;
    const auto moves = static_cast<int64_t>(std::min(static_cast<double>(budget.steps), affordable));
    return moves < kFewestSteps ? 0 : moves;
}

std::vector<int32_t> FewestStarters(const StarterConditions& conditions, int32_t most, int32_t fewest,
                                    RandomStream& random, StarterBudget budget, const std::function<bool()>& giveUp)
{
    std::vector<int32_t> starters;
    for (int32_t m = most; m >= fewest; --m) {
        // A move weighs every change of every cell, the tuples through it uncounted and counted.
        const TupleReads reads = conditions.Reads(m);
        const double weighed = 2.0 * reads.cells * (conditions.v - 1) * static_cast<double>(reads.through[0].size());
        const int64_t steps = MovesWithin(budget, weighed);
        if (steps == 0)
            continue;  // fewer starters leave more moves
        std::vector<int32_t> found = SearchCells(reads, random, steps, giveUp);
        if (found.empty())
            break;
        starters = std::move(found);
    }
    return starters;
}

std::vector<int32_t> SearchCells(const TupleReads& reads, RandomStream& random, int64_t maxSteps,
                                 const std::function<bool()>& giveUp, const std::vector<int32_t>& start)
{
    CellSearch search(reads, random, start);
    search.Run(maxSteps, giveUp);
    return search.Found() ? search.Cells() : std::vector<int32_t>{};
}

std::vector<int32_t> FindStarters(int32_t t, int32_t k, int32_t g, int32_t f, int32_t m, RandomStream& random,
                                  int64_t maxSteps)
{
    return SearchCells(StarterConditions(t, k, g, f).Reads(m), random, maxSteps, [] { return false; });
}
