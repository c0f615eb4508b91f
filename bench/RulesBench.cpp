#include "bench/RulesBench.h"

#include "bench/BenchSupport.h"
#include "engine/ConstraintModel.h"

#include <algorithm>
#include <cstdio>
#include <random>
#include <vector>

namespace {

// Rules of the kind real configuration spaces have, drawn at random: `pairs` over two factors,
// `wide` over three to six ("if these two or three are set so, then one of these").
struct RuleConfig {
    const char* name;
    std::vector<std::pair<int, int>> groups;  // (levels, factors)
    int pairs = 0;
    int wide = 0;
};

std::string RandomRules(const DesignTables& design, int pairs, int wide, unsigned seed)
{
    std::mt19937 draw(seed);
    const int F = design.NumFactors();
    const auto term = [&](int f, bool equal) {
        const auto& column = design.factors[static_cast<size_t>(f)];
        return "[" + column[0] + "] " + (equal ? "= \"" : "<> \"") + column[1 + draw() % (column.size() - 1)] + "\"";
    };
    const auto distinct = [&](int count) {
        std::vector<int> factors;
        while (static_cast<int>(factors.size()) < count) {
            const int f = static_cast<int>(draw() % static_cast<unsigned>(F));
            if (std::find(factors.begin(), factors.end(), f) == factors.end())
                factors.push_back(f);
        }
        return factors;
    };
    std::string rules;
    for (int k = 0; k < pairs; ++k) {
        const std::vector<int> f = distinct(2);
        rules += "IF " + term(f[0], true) + " THEN " + term(f[1], false) + ";\n";
    }
    for (int k = 0; k < wide; ++k) {
        const int size = 3 + static_cast<int>(draw() % 4);
        const std::vector<int> f = distinct(size);
        const int conditions = size <= 3 ? 2 : 2 + static_cast<int>(draw() % 2);
        std::string rule = "IF " + term(f[0], true);
        for (int i = 1; i < conditions; ++i)
            rule += " AND " + term(f[static_cast<size_t>(i)], draw() % 3 != 0);
        rule += " THEN " + term(f[static_cast<size_t>(conditions)], draw() % 2 == 0);
        for (int i = conditions + 1; i < size; ++i)
            rule += " OR " + term(f[static_cast<size_t>(i)], true);
        rules += rule + ";\n";
    }
    return rules;
}

// Whether every row keeps every rule and every pair a valid row holds is covered.
bool KeepsRules(const DesignTables& design, const GeneratedMatrix& matrix)
{
    const ConstraintCompile compiled = ConstraintModel::Compile(design);
    const ConstraintModel& model = *compiled.model;
    const int32_t F = design.NumFactors();
    const std::vector<int32_t>& offset = model.LevelOffset();
    std::vector<uint8_t> held(static_cast<size_t>(model.NumEntries()) * model.NumEntries(), 0);
    std::vector<int32_t> row(static_cast<size_t>(F));
    for (int32_t r = 0; r < matrix.numRows; ++r) {
        for (int32_t f = 0; f < F; ++f)
            row[static_cast<size_t>(f)] = matrix.Code(r, f) - 1;
        if (!model.RowIsValid(row.data()))
            return false;
        for (int32_t f = 0; f < F; ++f)
            for (int32_t g = f + 1; g < F; ++g)
                held[static_cast<size_t>(offset[f] + row[f]) * model.NumEntries() + offset[g] + row[g]] = 1;
    }
    for (int32_t f = 0; f < F; ++f)
        for (int32_t g = f + 1; g < F; ++g)
            for (int32_t a = offset[f]; a < offset[f + 1]; ++a)
                for (int32_t b = offset[g]; b < offset[g + 1]; ++b)
                    if (!held[static_cast<size_t>(a) * model.NumEntries() + b] && !model.Excluded(a, b))
                        return false;
    return true;
}

}  // namespace

void RulesTable(int32_t evolutions, uint64_t seed, const std::string& only)
{
    const std::vector<RuleConfig> configs{
        {"3^30 2^20", {{3, 30}, {2, 20}}, 10, 15},
        {"4^20 3^30 2^50", {{4, 20}, {3, 30}, {2, 50}}, 15, 30},
        {"4^40 3^60 2^100", {{4, 40}, {3, 60}, {2, 100}}, 20, 40},
    };
    std::printf("evolutions %d, seed %llu, one thread\n\n%-18s %5s %5s %6s %9s %6s %9s %6s  %s\n", evolutions,
                static_cast<unsigned long long>(seed), "configuration", "pair", "wide", "rows", "cpu", "rows",
                "two only", "ratio", "promises");
    for (const RuleConfig& config : configs) {
        if (!only.empty() && only != config.name)
            continue;
        DesignTables design = MakeDesign({config.name, config.groups, 0});
        const std::string all = RandomRules(design, config.pairs, config.wide, 7u);
        const std::string twoFactor = RandomRules(design, config.pairs, 0, 7u);
        design.rules = all;
        QuietReporter reporter;
        CCalcNWay calc(reporter, evolutions, seed, 1);
        GeneratedMatrix matrix;
        Timing with;
        double start = ProcessCpuSeconds();
        calc.CalcNWayQXVMatrix(2, design, matrix, with.rows, with.converge);
        with.cpuSeconds = ProcessCpuSeconds() - start;
        const bool kept = KeepsRules(design, matrix);
        design.rules = twoFactor;
        const Timing without = Run(design, evolutions, seed, 1);
        std::printf("%-18s %5d %5d %6d %8.3fs %6d %8.3fs %5.2fx  %s\n", config.name, config.pairs, config.wide,
                    with.rows, with.cpuSeconds, without.rows, without.cpuSeconds, with.cpuSeconds / without.cpuSeconds,
                    kept ? "kept" : "BROKEN");
        std::fflush(stdout);
    }
}
