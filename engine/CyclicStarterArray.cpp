#include "engine/CyclicStarterArray.h"

#include "engine/PairArrayConstruction.h"
#include "engine/RandomStream.h"
#include "engine/SearchedProduct.h"

#include <algorithm>

namespace {

// Moves of one search: enough for the starter of 20 factors of 10 levels with 3 fixed ones
// on most seeds. A move weighs every change of a cell over the tuples of columns through it:
// where those are many, fewer moves, and no search at all where too few would be left.
constexpr int64_t kStepsPerSearch = 20000;
constexpr int64_t kTuplesPerSearch = 320000000;
constexpr int64_t kFewestSteps = 1000;
// The largest number of tuples of levels of t factors the classes are tabulated for.
constexpr int64_t kMostTuples = 1 << 20;

// What starters must show for strength t, k columns, g group levels and f fixed ones: the
// class of every tuple of t levels (-1 for fixed levels alone), and for every set of t columns
// at distances d (the first at 0), the positions of the starter's shifts that read it.
struct StarterConditions {
    StarterConditions(int32_t t, int32_t k, int32_t g, int32_t f) : t(t), k(k), g(g), v(g + f)
    {
        ClassifyTuples();
        ListDistances(std::vector<int32_t>{0});
        through.resize(static_cast<size_t>(k));
        for (int32_t d = 0; d < static_cast<int32_t>(distances.size()) / t; ++d)
            for (int32_t shift = 0; shift < k; ++shift)
                for (int32_t i = 0; i < t; ++i)
                    through[static_cast<size_t>((shift + distances[static_cast<size_t>(d * t + i)]) % k)].push_back(
                        {d, shift});
    }

    // A tuple's class: its levels with the first group level's subtracted from every group level.
    void ClassifyTuples()
    {
        int64_t tuples = 1;
        for (int32_t i = 0; i < t; ++i)
            tuples *= v;
        std::vector<int32_t> dense(static_cast<size_t>(tuples), -1), levels(static_cast<size_t>(t));
        classOf.assign(static_cast<size_t>(tuples), -1);
        for (int32_t code = 0; code < tuples; ++code) {
            for (int32_t i = t - 1, rest = code; i >= 0; --i, rest /= v)
                levels[static_cast<size_t>(i)] = rest % v;
            const auto first = std::find_if(levels.begin(), levels.end(), [this](int32_t l) { return l < g; });
            if (first == levels.end())
                continue;
            const int32_t base = *first;
            int32_t key = 0;
            for (const int32_t l : levels)
                key = key * v + (l < g ? (l - base + g) % g : l);
            int32_t& id = dense[static_cast<size_t>(key)];
            if (id < 0)
                id = classes++;
            classOf[static_cast<size_t>(code)] = id;
        }
    }

    // Every increasing run of t distances from 0 below k, after the given start, that comes
    // first among the runs read from each of its columns (those are the same tuples, rotated:
    // the same classes must show).
    void ListDistances(std::vector<int32_t> run)
    {
        if (static_cast<int32_t>(run.size()) == t) {
            if (FirstOfItsRotations(run))
                distances.insert(distances.end(), run.begin(), run.end());
            return;
        }
        for (int32_t d = run.back() + 1; d < k; ++d) {
            run.push_back(d);
            ListDistances(run);
            run.pop_back();
        }
    }

    bool FirstOfItsRotations(const std::vector<int32_t>& run) const
    {
        std::vector<int32_t> rotated(run.size());
        for (const int32_t from : run) {
            for (size_t i = 0; i < run.size(); ++i)
                rotated[i] = (run[i] - from + k) % k;
            std::sort(rotated.begin(), rotated.end());
            if (rotated < run)
                return false;
        }
        return true;
    }

    int32_t DistanceSets() const { return static_cast<int32_t>(distances.size()) / t; }

    int32_t t, k, g, v;
    int32_t classes = 0;
    std::vector<int32_t> classOf;    // per code of t levels
    std::vector<int32_t> distances;  // t per set of columns
    std::vector<std::vector<std::pair<int32_t, int32_t>>> through;  // per position: (set, shift)
};

// m starters searched together. A condition (a set of distances and a class) counted zero
// times is unmet; its weight grows at each move that finds nothing better, so that the search
// leaves where it is stuck.
class StarterSearch {
public:
    StarterSearch(const StarterConditions& conditions, int32_t m, RandomStream& random)
        : c_(conditions), random_(random)
    {
        const size_t all = static_cast<size_t>(c_.DistanceSets()) * static_cast<size_t>(c_.classes);
        counts_.assign(all, 0);
        weights_.assign(all, 1);
        marks_.assign(all, 0);
        unmet_ = static_cast<int64_t>(all);
        cost_ = unmet_;
        cells_.resize(static_cast<size_t>(m) * static_cast<size_t>(c_.k));
        tabuUntil_.assign(cells_.size() * static_cast<size_t>(c_.v), 0);
        for (int32_t& level : cells_)
            level = random_.RandomIndex(0, c_.v - 1);
        for (int32_t j = 0; j < m; ++j)
            for (int32_t d = 0; d < c_.DistanceSets(); ++d)
                for (int32_t shift = 0; shift < c_.k; ++shift)
                    Count(j, d, shift, +1);
    }

    // The moves it took to meet every condition, or to give up after maxSteps.
    int64_t Run(int64_t maxSteps)
    {
        int64_t step = 0;
        while (unmet_ > 0 && step < maxSteps)
            Move(++step);
        return step;
    }

    bool Found() const { return unmet_ == 0; }
    const std::vector<int32_t>& Starters() const { return cells_; }

private:
    // The condition starter j's shift meets on the set of distances d, or -1 for none.
    int32_t Condition(int32_t j, int32_t d, int32_t shift) const
    {
        const int32_t* row = &cells_[static_cast<size_t>(j) * static_cast<size_t>(c_.k)];
        const int32_t* distance = &c_.distances[static_cast<size_t>(d) * static_cast<size_t>(c_.t)];
        int32_t code = 0;
        for (int32_t i = 0; i < c_.t; ++i) {
            const int32_t position = shift + distance[i];
            code = code * c_.v + row[position >= c_.k ? position - c_.k : position];
        }
        const int32_t cls = c_.classOf[static_cast<size_t>(code)];
        return cls < 0 ? -1 : d * c_.classes + cls;
    }

    void Count(int32_t j, int32_t d, int32_t shift, int32_t sign)
    {
        const int32_t condition = Condition(j, d, shift);
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

    // The weight of the unmet conditions that starter j's tuples through p, uncounted, would
    // meet with the cell's present level (each condition once).
    int64_t Gain(int32_t j, int32_t p)
    {
        if (++stamp_ == 0) {
            std::fill(marks_.begin(), marks_.end(), 0);
            stamp_ = 1;
        }
        int64_t gain = 0;
        for (const auto& [d, shift] : c_.through[static_cast<size_t>(p)]) {
            const int32_t condition = Condition(j, d, shift);
            if (condition >= 0 && counts_[static_cast<size_t>(condition)] == 0 &&
                marks_[static_cast<size_t>(condition)] != stamp_) {
                marks_[static_cast<size_t>(condition)] = stamp_;
                gain += weights_[static_cast<size_t>(condition)];
            }
        }
        return gain;
    }

    // Counts (sign 1) or uncounts (-1) the tuples of starter j through position p.
    void Place(int32_t j, int32_t p, int32_t sign)
    {
        for (const auto& [d, shift] : c_.through[static_cast<size_t>(p)])
            Count(j, d, shift, sign);
    }

    void Move(int64_t step);

    const StarterConditions& c_;
    RandomStream& random_;
    std::vector<int32_t> cells_;      // m x k levels
    std::vector<int32_t> counts_;     // per set of distances and class
    std::vector<int64_t> weights_;    // alike
    std::vector<int64_t> tabuUntil_;  // per cell and level: the step it may be taken again
    std::vector<uint32_t> marks_;     // per condition: the Gain that counted it last
    uint32_t stamp_ = 0;
    int64_t unmet_ = 0;
    int64_t cost_ = 0;  // the weights of the unmet conditions
};

// The change of one cell, not tabu, that leaves the least weight unmet (ties at random).
void StarterSearch::Move(int64_t step)
{
    int64_t bestCost = INT64_MAX;
    int32_t bestCell = -1, bestLevel = -1, ties = 0;
    for (int32_t cell = 0; cell < static_cast<int32_t>(cells_.size()); ++cell) {
        const int32_t j = cell / c_.k, p = cell % c_.k;
        const int32_t old = cells_[static_cast<size_t>(cell)];
        Place(j, p, -1);
        for (int32_t level = 0; level < c_.v; ++level) {
            if (level == old || tabuUntil_[static_cast<size_t>(cell * c_.v + level)] > step)
                continue;
            cells_[static_cast<size_t>(cell)] = level;
            const int64_t cost = cost_ - Gain(j, p);
            if (cost < bestCost) {
                ties = 0;
                bestCost = cost;
            }
            if (cost == bestCost && random_.RandomIndex(0, ties++) == 0) {
                bestCell = cell;
                bestLevel = level;
            }
        }
        cells_[static_cast<size_t>(cell)] = old;
        Place(j, p, +1);
    }
    if (bestCell < 0)
        return;
    if (bestCost >= cost_)
        for (size_t i = 0; i < counts_.size(); ++i)
            if (counts_[i] == 0) {
                ++weights_[i];
                ++cost_;
            }
    const int32_t j = bestCell / c_.k, p = bestCell % c_.k;
    tabuUntil_[static_cast<size_t>(bestCell * c_.v + cells_[static_cast<size_t>(bestCell)])] =
        step + 3 + random_.RandomIndex(0, 4);
    Place(j, p, -1);
    cells_[static_cast<size_t>(bestCell)] = bestLevel;
    Place(j, p, +1);
}

// Every shift of every starter with every group element added to its group levels, then the
// array of the fixed levels: one row for one fixed level, a searched pairwise one for more.
std::vector<int32_t> Develop(const std::vector<int32_t>& starters, int32_t k, int32_t g, int32_t f, uint64_t seed)
{
    std::vector<int32_t> codes;
    for (size_t first = 0; first < starters.size(); first += static_cast<size_t>(k))
        for (int32_t shift = 0; shift < k; ++shift)
            for (int32_t x = 0; x < g; ++x)
                for (int32_t c = 0; c < k; ++c) {
                    const int32_t level = starters[first + static_cast<size_t>((c + shift) % k)];
                    codes.push_back(level < g ? (level + x) % g : level);
                }
    const std::vector<int32_t> fixedRows =
        f == 0 ? std::vector<int32_t>{} : f == 1 ? std::vector<int32_t>(static_cast<size_t>(k), 0) : SearchedPairArray(f, k, seed);
    for (const int32_t fixedLevel : fixedRows)
        codes.push_back(g + fixedLevel);
    return codes;
}

std::vector<int32_t> FindStarters(const StarterConditions& conditions, int32_t m, RandomStream& random, int64_t maxSteps)
{
    StarterSearch search(conditions, m, random);
    search.Run(maxSteps);
    return search.Found() ? search.Starters() : std::vector<int32_t>{};
}

// The fewest rows an array of strength t of f levels can have.
int64_t FixedRowsAtLeast(int32_t t, int32_t f)
{
    int64_t rows = f == 0 ? 0 : 1;
    for (int32_t i = 0; i < t && f > 1; ++i)
        rows *= f;
    return rows;
}

}  // namespace

std::vector<int32_t> FindStarters(int32_t t, int32_t k, int32_t g, int32_t f, int32_t m, RandomStream& random,
                                  int64_t maxSteps)
{
    return FindStarters(StarterConditions(t, k, g, f), m, random, maxSteps);
}

std::vector<int32_t> BuildStarterArray(const std::vector<int32_t>& levels, int32_t strength, int32_t rowsToBeat,
                                       uint64_t seed)
{
    const auto k = static_cast<int32_t>(levels.size());
    const int32_t v = k == 0 ? 0 : *std::max_element(levels.begin(), levels.end());
    int64_t tuples = 1;
    for (int32_t i = 0; i < strength && tuples <= kMostTuples; ++i)
        tuples *= v;
    // A move weighs, for each change of each of k cells, the sets of columns through the cell:
    // C(k - 1, t - 1), a t-th of them once rotations count once.
    double through = 1;
    for (int32_t i = 1; i < strength; ++i)
        through = through * (k - i) / i;
    through /= strength;
    if (k <= strength || v < 2 || tuples > kMostTuples ||
        through * k * (v - 1) * 2 > static_cast<double>(kTuplesPerSearch / kFewestSteps))
        return {};
    RandomStream random(seed, 0);
    std::vector<int32_t> best;
    int64_t bound = rowsToBeat;
    // More fixed levels make fewer rows and conditions harder to meet: f grows until starters
    // are missed for two numbers of fixed levels in a row; for each, the fewest starters found.
    for (int32_t f = 0, missed = 0; v - f >= 2 && (f <= 1 || strength == 2) && missed < 2; ++f) {
        const int32_t g = v - f;
        const StarterConditions conditions(strength, k, g, f);
        const int32_t fewest = (conditions.classes + k - 1) / k;  // a shift reads each set of columns once
        int32_t most = fewest - 1;
        while (int64_t{most + 1} * k * g + FixedRowsAtLeast(strength, f) < bound)
            ++most;
        std::vector<int32_t> starters;  // the fewest found
        for (int32_t m = most; m >= fewest; --m) {
            const int64_t tuplesPerStep = int64_t{m} * k * (v - 1) * 2 * static_cast<int64_t>(conditions.through[0].size());
            const int64_t steps = std::min(kStepsPerSearch, kTuplesPerSearch / tuplesPerStep);
            if (steps < kFewestSteps)
                continue;  // fewer starters leave more moves
            std::vector<int32_t> found = FindStarters(conditions, m, random, steps);
            if (found.empty())
                break;
            starters = std::move(found);
        }
        missed = starters.empty() && most >= fewest ? missed + 1 : 0;
        if (starters.empty())
            continue;
        std::vector<int32_t> codes = FoldedRows(Develop(starters, k, g, f, seed), k, levels);
        if (static_cast<int64_t>(codes.size()) < bound * k) {
            bound = static_cast<int64_t>(codes.size()) / k;
            best = std::move(codes);
        }
    }
    return best;
}
