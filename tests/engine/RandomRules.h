#pragma once
// Random small designs with random rules for the engine tests, each with a plain statement of
// its rules (functions of a row written here, independent of the engine's) and the rows they
// allow; optionally invalid levels and groups of factors.

#include "engine/DesignTables.h"
#include "engine/GeneratedMatrix.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <random>
#include <set>
#include <string>
#include <vector>

namespace RandomRules {

using Row = std::vector<int>;  // level codes, 0-based

// A factor's levels are "1".."L" when numeric, else "x1", "y2", ... (a letter, then the code).
struct Factor {
    std::string name;
    bool numeric = false;
    int levels = 2;
    std::string Level(int l) const
    {
        return numeric ? std::to_string(l + 1) : std::string(1, static_cast<char>('x' + l % 3)) + std::to_string(l + 1);
    }
};

// A random rule, as text and as a function of a row.
struct Rule {
    std::string text;
    std::function<bool(const Row&)> holds;
};

class RuleMaker {
public:
    RuleMaker(std::mt19937_64& rng, const std::vector<Factor>& factors) : rng_(rng), factors_(factors) {}

    Rule Statement()
    {
        const int form = Pick(0, 2);
        const Rule a = Predicate(2);
        const Rule b = Predicate(2);
        if (form == 0)
            return {a.text + ";", a.holds};
        if (form == 1)
            return {"IF " + a.text + " THEN " + b.text + ";", [a, b](const Row& r) { return !a.holds(r) || b.holds(r); }};
        const Rule c = Predicate(1);
        return {"IF " + a.text + " THEN " + b.text + " ELSE " + c.text + ";",
                [a, b, c](const Row& r) { return a.holds(r) ? b.holds(r) : c.holds(r); }};
    }

private:
    int Pick(int lo, int hi) { return std::uniform_int_distribution<int>(lo, hi)(rng_); }

    Rule Predicate(int depth)
    {
        const int kind = depth > 0 ? Pick(0, 5) : 0;
        if (kind == 0 || kind >= 3)
            return Term();
        const Rule a = Predicate(depth - 1);
        if (kind == 1)
            return {"NOT (" + a.text + ")", [a](const Row& r) { return !a.holds(r); }};
        const Rule b = Predicate(depth - 1);
        if (Pick(0, 1))
            return {"(" + a.text + " AND " + b.text + ")", [a, b](const Row& r) { return a.holds(r) && b.holds(r); }};
        return {"(" + a.text + " OR " + b.text + ")", [a, b](const Row& r) { return a.holds(r) || b.holds(r); }};
    }

    Rule Term()
    {
        const int f = Pick(0, static_cast<int>(factors_.size()) - 1);
        const Factor& factor = factors_[static_cast<size_t>(f)];
        const std::string name = "[" + factor.name + "]";
        const int level = Pick(0, factor.levels - 1);
        const std::string quoted = "\"" + factor.Level(level) + "\"";
        switch (Pick(0, 5)) {
        case 0: return {name + " = " + quoted, [f, level](const Row& r) { return r[f] == level; }};
        case 1: return {name + " <> " + quoted, [f, level](const Row& r) { return r[f] != level; }};
        case 2: {
            const int other = Pick(0, factor.levels - 1);
            const std::string list = "{" + quoted + ", \"" + factor.Level(other) + "\"}";
            if (Pick(0, 1))
                return {name + " IN " + list, [f, level, other](const Row& r) { return r[f] == level || r[f] == other; }};
            return {name + " NOT IN " + list, [f, level, other](const Row& r) { return r[f] != level && r[f] != other; }};
        }
        case 3:
            if (!factor.numeric) {
                // "?n" matches the levels whose code ends the name; "x*" those of letter x.
                const std::string pattern = "?" + std::to_string(level + 1);
                return {name + " LIKE \"" + pattern + "\"", [f, level](const Row& r) { return r[f] == level; }};
            }
            return {name + " < " + std::to_string(level + 1), [f, level](const Row& r) { return r[f] + 1 < level + 1; }};
        case 4:
            if (factor.numeric)
                return {name + " >= " + std::to_string(level + 1), [f, level](const Row& r) { return r[f] >= level; }};
            return {name + " NOT LIKE \"" + factor.Level(level).substr(0, 1) + "*\"",
                    [f, factor, level](const Row& r) { return factor.Level(r[f])[0] != factor.Level(level)[0]; }};
        default: {
            // Two numeric factors compared, or a factor with itself.
            int g = Pick(0, static_cast<int>(factors_.size()) - 1);
            if (!factor.numeric || !factors_[static_cast<size_t>(g)].numeric)
                g = f;
            if (factor.numeric)
                return {name + " <= [" + factors_[static_cast<size_t>(g)].name + "]",
                        [f, g](const Row& r) { return r[f] <= r[g]; }};
            return {name + " = " + name, [](const Row&) { return true; }};
        }
        }
    }

    std::mt19937_64& rng_;
    const std::vector<Factor>& factors_;
};

struct Case {
    DesignTables design;
    std::vector<Row> validRows;  // keep every rule and hold at most one invalid level
    // What each statement asks of a row: the rules, rule k on line k + 1 of the rules text,
    // then the Constraints rows.
    std::vector<std::function<bool(const Row&)>> rules, constraintRows;
    std::vector<int> factorLevels;
    struct Group {
        std::vector<int> factors;
        int strength = 2;
    };
    std::vector<Group> groups;
    bool Invalid(int f, int level) const { return design.Invalid(f, level + 1); }
    int InvalidLevels(const Row& row) const
    {
        int count = 0;
        for (size_t f = 0; f < row.size(); ++f)
            count += Invalid(static_cast<int>(f), row[f]);
        return count;
    }
};

// What a case may hold besides rules: invalid levels on some factors, groups of factors.
struct Extras {
    bool invalidLevels = false;
    bool groups = false;
};

inline Case MakeCase(std::mt19937_64& rng, Extras extras = {})
{
    auto pick = [&](int lo, int hi) { return std::uniform_int_distribution<int>(lo, hi)(rng); };
    std::vector<Factor> factors(static_cast<size_t>(pick(3, 6)));
    Case c;
    for (size_t f = 0; f < factors.size(); ++f) {
        factors[f] = {"F" + std::to_string(f + 1), pick(0, 1) == 1, pick(2, 4)};
        std::vector<std::string> column{factors[f].name};
        for (int l = 0; l < factors[f].levels; ++l)
            column.push_back(factors[f].Level(l));
        c.design.factors.push_back(column);
        c.design.levelCounts.push_back(factors[f].levels);
    }
    RuleMaker maker(rng, factors);
    std::vector<Rule> rules;
    for (int k = pick(1, 4); k > 0; --k) {
        rules.push_back(maker.Statement());
        c.design.rules += rules.back().text + "\n";
    }
    // A Constraints row now and then, as the rule it means.
    if (pick(0, 2) == 0) {
        const int a = pick(0, static_cast<int>(factors.size()) - 2), b = a + 1;
        const int la = pick(0, factors[a].levels - 1), lb = pick(0, factors[b].levels - 1);
        c.design.constraints.push_back({factors[a].name, factors[a].Level(la), factors[b].name, factors[b].Level(lb)});
        rules.push_back({"", [a, b, la, lb](const Row& r) { return !(r[a] == la && r[b] == lb); }});
    }
    for (const Rule& rule : rules)
        (rule.text.empty() ? c.constraintRows : c.rules).push_back(rule.holds);
    for (const Factor& factor : factors)
        c.factorLevels.push_back(factor.levels);
    if (extras.invalidLevels)
        for (int k = pick(1, 2); k > 0; --k) {
            // One or two invalid levels on a factor, never all of its levels.
            const int f = pick(0, static_cast<int>(factors.size()) - 1);
            c.design.invalid.resize(factors.size());
            std::vector<uint8_t>& marks = c.design.invalid[static_cast<size_t>(f)];
            marks.resize(static_cast<size_t>(factors[f].levels), 0);
            for (int n = pick(1, std::min(2, factors[f].levels - 1)); n > 0; --n)
                marks[static_cast<size_t>(pick(0, factors[f].levels - 2))] = 1;
        }
    if (extras.groups)
        for (int k = pick(1, 2); k > 0; --k) {
            Case::Group group;
            for (int f = 0; f < static_cast<int>(factors.size()); ++f)
                if (pick(0, 1) == 1)
                    group.factors.push_back(f);
            if (group.factors.size() < 2)
                continue;
            group.strength = pick(2, std::min(4, static_cast<int>(group.factors.size())));
            std::string text = "{";
            for (const int f : group.factors)
                text += (text.size() > 1 ? ", [" : " [") + factors[static_cast<size_t>(f)].name + "]";
            c.design.rules += text + " } @ " + std::to_string(group.strength) + ";\n";
            c.groups.push_back(group);
        }
    Row row(factors.size(), 0);
    for (;;) {
        bool valid = c.InvalidLevels(row) <= 1;
        for (const Rule& rule : rules)
            valid = valid && rule.holds(row);
        if (valid)
            c.validRows.push_back(row);
        size_t f = row.size();
        while (f > 0 && ++row[f - 1] == factors[f - 1].levels)
            row[--f] = 0;
        if (f == 0)
            return c;
    }
}

// Every combination of levels of t factors (factor and level codes, interleaved) the rows hold.
inline std::set<std::vector<int>> Combinations(const std::vector<Row>& rows, int t)
{
    std::set<std::vector<int>> held;
    for (const Row& row : rows) {
        const int F = static_cast<int>(row.size());
        std::vector<int> pick(static_cast<size_t>(t));
        std::function<void(int, int)> choose = [&](int from, int depth) {
            if (depth == t) {
                std::vector<int> combination;
                for (const int f : pick)
                    combination.insert(combination.end(), {f, row[static_cast<size_t>(f)]});
                held.insert(combination);
                return;
            }
            for (int f = from; f < F; ++f) {
                pick[static_cast<size_t>(depth)] = f;
                choose(f + 1, depth + 1);
            }
        };
        choose(0, 0);
    }
    return held;
}

// The generated rows as level codes, read from the names as shown: an invalid level is its
// name after "~", any other its name.
inline std::vector<Row> Codes(const DesignTables& design, const GeneratedMatrix& matrix, int32_t rows)
{
    std::vector<Row> codes;
    for (int32_t r = 0; r < rows; ++r) {
        Row row;
        for (size_t f = 0; f < design.factors.size(); ++f) {
            const std::string& shown = matrix.names[static_cast<size_t>(r)][f];
            const bool marked = !shown.empty() && shown[0] == '~';  // no level of these designs starts so
            const auto& column = design.factors[f];
            const auto level = static_cast<int32_t>(std::find(column.begin() + 1, column.end(), marked ? shown.substr(1) : shown) -
                                                    column.begin());
            EXPECT_EQ(design.Invalid(static_cast<int32_t>(f), level), marked) << shown;
            row.push_back(level - 1);
        }
        codes.push_back(row);
    }
    return codes;
}


}  // namespace RandomRules
