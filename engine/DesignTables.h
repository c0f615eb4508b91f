#pragma once
// The three design tables as the engine receives them, in sheet order. Names are UTF-8,
// never trimmed, and compared exactly (case-sensitive).

#include <algorithm>
#include <array>
#include <cstdint>
#include <string>
#include <vector>

struct DesignTables {
    // factors[f] is column f of the factor table: entry 0 the factor's name, entries
    // 1..levelCounts[f] its level names. Entries past the last level are ignored.
    std::vector<std::vector<std::string>> factors;
    std::vector<int32_t> levelCounts;
    // if factor, if level, then factor, can't-be level.
    std::vector<std::array<std::string, 4>> constraints;
    // one level name per factor, in factor order.
    std::vector<std::vector<std::string>> prevRuns;
    // The rules text (empty: no rules).
    std::string rules;
    // invalid[f][l - 1] set: level l of factor f is invalid, tried on its own in a negative
    // test. Missing entries are valid.
    std::vector<std::vector<uint8_t>> invalid;
    // aliases[f][l - 1]: the other names level l of factor f is known by in rules and seeds.
    // Missing entries have none.
    std::vector<std::vector<std::vector<std::string>>> aliases;
    // weights[f][l - 1]: level l of factor f is preferred to lighter ones where several are
    // equally good for a test case. Missing entries weigh 1.
    std::vector<std::vector<int32_t>> weights;

    // A level as test cases show it: an invalid one with "~" before its name.
    std::string ShownName(int32_t f, int32_t l) const { return Invalid(f, l) ? "~" + Name(f, l) : Name(f, l); }
    // Whether the text is one of the other names of level l of factor f.
    bool IsAlias(int32_t f, int32_t l, const std::string& text) const
    {
        if (static_cast<size_t>(f) >= aliases.size() || l < 1 || static_cast<size_t>(l) > aliases[static_cast<size_t>(f)].size())
            return false;
        const auto& names = aliases[static_cast<size_t>(f)][static_cast<size_t>(l - 1)];
        return std::find(names.begin(), names.end(), text) != names.end();
    }

    // The level code (1-based) of a text as test cases show it, or of its plain name, which
    // comes first, or of one of its other names; 0 for none.
    int32_t LevelOfShownName(int32_t f, const std::string& text) const
    {
        for (int32_t l = 1; l <= levelCounts[static_cast<size_t>(f)]; ++l)
            if (Name(f, l) == text)
                return l;
        for (int32_t l = 1; l <= levelCounts[static_cast<size_t>(f)]; ++l)
            if (IsAlias(f, l, text))
                return l;
        for (int32_t l = 1; !text.empty() && text[0] == '~' && l <= levelCounts[static_cast<size_t>(f)]; ++l)
            if (Invalid(f, l) && text.compare(1, std::string::npos, Name(f, l)) == 0)
                return l;
        return 0;
    }

    bool Invalid(int32_t f, int32_t l) const
    {
        return static_cast<size_t>(f) < invalid.size() && l >= 1 &&
               static_cast<size_t>(l) <= invalid[static_cast<size_t>(f)].size() && invalid[static_cast<size_t>(f)][static_cast<size_t>(l - 1)];
    }

    int32_t NumFactors() const { return static_cast<int32_t>(factors.size()); }

    // The level name of factor f (0-based) at level code l (1-based); l = 0 is the factor's
    // name. Empty text when the table has no such entry.
    const std::string& Name(int32_t f, int32_t l) const
    {
        static const std::string empty;
        const auto& column = factors[static_cast<size_t>(f)];
        return l >= 0 && static_cast<size_t>(l) < column.size() ? column[static_cast<size_t>(l)] : empty;
    }
};
