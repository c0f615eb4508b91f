#pragma once
// What the constraints of a design allow, found by a plain search over names, independent of
// the engine: the excluded pairs, whether some valid row (one level per factor, no excluded
// pair) holds given levels, and which combinations of levels of t factors valid rows hold.

#include "engine/DesignTables.h"

#include <map>
#include <set>
#include <string>
#include <tuple>
#include <vector>

using Row = std::vector<std::string>;
using Pair = std::tuple<int, std::string, int, std::string>;  // factor, level, later factor, level

inline std::set<Pair> ExcludedPairs(const DesignTables& design)
{
    std::map<std::string, int> column;
    for (int f = 0; f < design.NumFactors(); ++f)
        column[design.factors[f][0]] = f;
    std::set<Pair> excluded;
    for (const auto& c : design.constraints) {
        int a = column.at(c[0]), b = column.at(c[2]);
        std::string la = c[1], lb = c[3];
        if (a > b) {
            std::swap(a, b);
            std::swap(la, lb);
        }
        excluded.insert({a, la, b, lb});
    }
    return excluded;
}

inline std::vector<Pair> PairsOf(const Row& row)
{
    std::vector<Pair> pairs;
    for (int a = 0; a < static_cast<int>(row.size()); ++a)
        for (int b = a + 1; b < static_cast<int>(row.size()); ++b)
            pairs.emplace_back(a, row[a], b, row[b]);
    return pairs;
}

inline bool HoldsExcludedPair(const Row& row, const std::set<Pair>& excluded)
{
    for (const Pair& pair : PairsOf(row))
        if (excluded.count(pair))
            return true;
    return false;
}

// Whether a valid row gives the factors of `fixed` their levels there: the fixed factors
// first, then factor by factor every level that forms no excluded pair with the levels
// before it, giving up on a choice as soon as it leaves a later factor no level.
inline bool ValidRowHolds(const DesignTables& design, const std::set<Pair>& excluded, const std::map<int, std::string>& fixed)
{
    const int F = design.NumFactors();
    std::vector<int> order;
    for (const auto& entry : fixed)
        order.push_back(entry.first);
    for (int f = 0; f < F; ++f)
        if (!fixed.count(f))
            order.push_back(f);
    Row row(static_cast<size_t>(F));
    auto allowed = [&](int f, const std::string& level, int placed) {
        for (int i = 0; i < placed; ++i) {
            const int g = order[i];
            if (excluded.count(g < f ? Pair{g, row[g], f, level} : Pair{f, level, g, row[g]}))
                return false;
        }
        return true;
    };
    auto extend = [&](auto& self, int placed) -> bool {
        if (placed == F)
            return true;
        const int f = order[placed];
        const auto it = fixed.find(f);
        for (int l = 1; l <= design.levelCounts[f]; ++l) {
            const std::string& level = it != fixed.end() ? it->second : design.factors[f][l];
            if (it != fixed.end() && l > 1)
                break;
            if (!allowed(f, level, placed))
                continue;
            row[f] = level;
            bool everyLaterHasALevel = true;
            for (int i = placed + 1; i < F && everyLaterHasALevel; ++i) {
                const int g = order[i];
                bool any = false;
                for (int m = 1; m <= design.levelCounts[g] && !any; ++m)
                    any = allowed(g, fixed.count(g) ? fixed.at(g) : design.factors[g][m], placed + 1);
                everyLaterHasALevel = any;
            }
            if (everyLaterHasALevel && self(self, placed + 1))
                return true;
        }
        return false;
    };
    return extend(extend, 0);
}

// Levels of some factors: factor, level name.
using Combination = std::map<int, std::string>;

// Calls visit with every set of `strength` of the first `count` factors, ascending.
template <typename Visit>
void ForEachFactorSet(int count, int strength, Visit visit, std::vector<int> set = {})
{
    if (static_cast<int>(set.size()) == strength)
        return visit(set);
    for (int f = set.empty() ? 0 : set.back() + 1; f < count; ++f) {
        set.push_back(f);
        ForEachFactorSet(count, strength, visit, set);
        set.pop_back();
    }
}

// The combinations of the levels of every `strength` factors that a row holds.
inline std::vector<Combination> CombinationsOf(const Row& row, int strength)
{
    std::vector<Combination> combinations;
    ForEachFactorSet(static_cast<int>(row.size()), strength, [&](const std::vector<int>& set) {
        Combination c;
        for (const int f : set)
            c[f] = row[f];
        combinations.push_back(c);
    });
    return combinations;
}

// Every combination of the levels of `strength` factors, with whether it holds an excluded
// pair and whether some valid row holds it.
struct CombinationReach {
    Combination levels;
    bool holdsExcludedPair = false;
    bool reachable = false;
};
inline std::vector<CombinationReach> AllCombinations(const DesignTables& design, const std::set<Pair>& excluded, int strength)
{
    std::vector<CombinationReach> all;
    ForEachFactorSet(design.NumFactors(), strength, [&](const std::vector<int>& set) {
        std::vector<int> level(set.size(), 1);
        for (;;) {
            CombinationReach c;
            for (size_t i = 0; i < set.size(); ++i)
                c.levels[set[i]] = design.factors[set[i]][level[i]];
            Row partial(static_cast<size_t>(design.NumFactors()));
            for (const auto& [f, name] : c.levels)
                partial[f] = name;
            for (size_t i = 0; i < set.size(); ++i)
                for (size_t j = i + 1; j < set.size(); ++j)
                    c.holdsExcludedPair = c.holdsExcludedPair || excluded.count({set[i], partial[set[i]], set[j], partial[set[j]]});
            c.reachable = !c.holdsExcludedPair && ValidRowHolds(design, excluded, c.levels);
            all.push_back(c);
            size_t i = 0;
            while (i < set.size() && ++level[i] > design.levelCounts[set[i]])
                level[i++] = 1;
            if (i == set.size())
                break;
        }
    });
    return all;
}
