#include "bench/MixedBench.h"

#include "bench/BenchSupport.h"
#include "engine/TupleEvolution.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <vector>

namespace {

struct Measured {
    int32_t rows = 0;
    double seconds = 0;
};

// One search on one thread at the evolutions it runs by default (pairs 1,000, else a few).
Measured Search(const DesignTables& design, int32_t strength, bool tuples, uint64_t seed, double compactSeconds = 0)
{
    QuietReporter reporter;
    CCalcNWay calc(reporter, TupleEvolution::EvolutionsFor(strength, 1000, tuples, 0), seed, 1);
    if (compactSeconds > 0)
        calc.SetCompaction(INT64_MAX, compactSeconds);
    GeneratedMatrix matrix;
    Measured measured;
    bool converge = false;
    const auto start = std::chrono::steady_clock::now();
    calc.CalcNWayQXVMatrix(strength, design, matrix, measured.rows, converge);
    measured.seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    return measured;
}

void Print(const char* name, const char* bound, int32_t boundRows, const Measured& base, const Measured& mixed,
           const Measured& compacted)
{
    std::printf("%-28s %6d %7.2fs  %-22s %5d  %6d %7.2fs %5.2fx  %6d %7.2fs  %+5.1f%%\n", name, base.rows, base.seconds,
                bound, boundRows, mixed.rows, mixed.seconds, mixed.seconds / base.seconds, compacted.rows,
                compacted.seconds, 100.0 * (compacted.rows - boundRows) / boundRows);
    std::fflush(stdout);
}

// 4^15 3^17 2^29 with its first six factors (of four levels) a group at strength 3.
void GroupRow(uint64_t seed)
{
    DesignTables design = MakeDesign({"", {{4, 15}, {3, 17}, {2, 29}}, 0});
    const Measured base = Search(design, 2, false, seed);
    const Measured group = Search(MakeDesign({"", {{4, 6}}, 0}), 3, true, seed);
    design.rules = "{ [F1], [F2], [F3], [F4], [F5], [F6] } @ 3;";
    const Measured mixed = Search(design, 2, true, seed);
    const Measured compacted = Search(design, 2, true, seed, 2);
    char bound[64];
    std::snprintf(bound, sizeof bound, "max(pairs, group %d)", group.rows);
    Print("4^15 3^17 2^29, 4^6 @ 3", bound, std::max(base.rows, group.rows), base, mixed, compacted);
}

// 4^10 3^20 whose first ten factors have two invalid levels each: the valid levels' pairs
// (2^10 3^20), and for each invalid level as many rows as another factor has valid levels.
void InvalidRow(uint64_t seed)
{
    DesignTables design = MakeDesign({"", {{4, 10}, {3, 20}}, 0});
    const Measured base = Search(design, 2, false, seed);
    const Measured valid = Search(MakeDesign({"", {{2, 10}, {3, 20}}, 0}), 2, false, seed);
    design.invalid.assign(10, {0, 0, 1, 1});
    const Measured mixed = Search(design, 2, true, seed);
    const Measured compacted = Search(design, 2, true, seed, 2);
    const int32_t invalidRows = 20 * 3;
    char bound[64];
    std::snprintf(bound, sizeof bound, "valid %d + invalid %d", valid.rows, invalidRows);
    Print("4^10 3^20, 20 invalid levels", bound, valid.rows + invalidRows, base, mixed, compacted);
}

}  // namespace

void MixedTable(uint64_t seed, const std::string& only)
{
    std::printf("seed %llu, one thread; pairs alone at 1,000 evolutions, the others at their default\n\n"
                "%-28s %6s %8s  %-22s %5s  %6s %8s %6s  %6s %8s  %s\n",
                static_cast<unsigned long long>(seed), "design", "pairs", "time", "bound", "rows", "mixed", "time",
                "ratio", "+2s", "time", "over bound");
    if (only.empty() || only == "group")
        GroupRow(seed);
    if (only.empty() || only == "invalid")
        InvalidRow(seed);
}
