// vantrel-bench: times the covering-matrix search on the classic configurations.
//
//   vantrel-bench [--evolutions N] [--seed S] [--threads N] [--only NAME]
//   vantrel-bench --compact SECONDS[,SECONDS...] [--evolutions N] [--seed S] [--only NAME]
//   vantrel-bench --strength T [--compact SECONDS[,SECONDS...]] [--evolutions N] [--seed S] [--only NAME]
//   vantrel-bench --rules [--evolutions N] [--seed S] [--only NAME]
//
// For each configuration (L^k: k factors of L levels) it prints the rows found and the wall
// time on one thread and on all cores (or --threads), and the peak resident memory of the
// process that ran it. Then, for designs with constraints (a fixed set of exclusions drawn
// among their first factors, where they nest), the rows and the processor time of one thread
// with and without the exclusions, and the ratio of the two (processor time, so that a busy
// machine disturbs the ratio less). The processor time of the one-thread run stands beside its wall time:
// on a busy machine the two differ. Each configuration runs in a child process of its own so
// that its peak memory is its own.
//
// With --compact it prints instead, for every configuration and every design with
// constraints, the rows without compaction and the rows after compacting the same matrix for
// each given number of seconds, all on one thread, with the time of the compaction and
// whether the result keeps its promises: no row with an excluded pair (named or implied),
// every other pair covered.
//
// With --strength 3 or 4 it prints, for the configurations measured at that strength, the rows
// and the time on one thread at the strength's default number of evolutions, beside the rows
// an open peer gives, and whether every combination of t levels is covered. With --compact
// too, the rows after compacting for each number of seconds, the compaction's own time, and
// whether they are at least 5 % below the peer's.
//
// With --rules it prints, for designs of 50 to 200 factors with rules over two factors and
// rules over three to six, the rows and the processor time of one thread with all their rules
// and with their two-factor rules alone, the ratio of the two times, and whether each suite
// keeps every rule and covers every pair a valid row holds.

#include "bench/BenchSupport.h"
#include "bench/MixedBench.h"
#include "bench/RulesBench.h"
#include "engine/TupleEvolution.h"
#include "engine/TupleTable.h"

#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdint>
#include <ctime>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <random>
#include <string>
#include <thread>
#include <utility>
#include <vector>

namespace {

// The compaction table: rows without, then rows and seconds for each budget.
void CompactionTable(const std::vector<Config>& configs, const std::vector<double>& budgets, int32_t evolutions,
                     uint64_t seed, const std::string& only)
{
    std::printf("%-20s %6s %8s", "configuration", "rows", "time");
    for (const double budget : budgets)
        std::printf("   %5.0fs: rows     time", budget);
    std::printf("  promises\n");
    std::fflush(stdout);
    for (const Config& config : configs) {
        if (!only.empty() && only != config.name)
            continue;
        const DesignTables design = MakeDesign(config);
        bool kept = true;
        const Timing without = Run(design, evolutions, seed, 1, 0, &kept);
        std::printf("%-20s %6d %7.2fs", config.name, without.rows, without.seconds);
        std::fflush(stdout);
        for (const double budget : budgets) {
            bool keeps = true;
            const Timing with = Run(design, evolutions, seed, 1, budget, &keeps);
            kept = kept && keeps;
            std::printf("         %6d %7.2fs", with.rows, with.compactSeconds);
            std::fflush(stdout);
        }
        std::printf("  %s\n", kept ? "kept" : "BROKEN");
        std::fflush(stdout);
    }
}

// Whether the matrix holds every combination of the levels of every t factors.
bool CoversEveryTuple(const DesignTables& design, const GeneratedMatrix& matrix, int t)
{
    const int32_t F = design.NumFactors();
    std::vector<int32_t> set(static_cast<size_t>(t));
    bool all = true;
    ForEachColexSet(F, t, set.data(), [&](const int32_t* factors) {
        int64_t combinations = 1;
        for (int i = 0; i < t; ++i)
            combinations *= design.levelCounts[factors[i]];
        std::vector<char> seen(static_cast<size_t>(combinations), 0);
        for (int32_t r = 0; r < matrix.numRows; ++r) {
            int64_t code = 0;
            for (int i = t - 1; i >= 0; --i)
                code = code * design.levelCounts[factors[i]] + matrix.Code(r, factors[i]) - 1;
            seen[static_cast<size_t>(code)] = 1;
        }
        all = all && std::find(seen.begin(), seen.end(), 0) == seen.end();
    });
    return all;
}

// The strength table: rows and one-thread time beside the open peer's rows; with budgets, the
// rows after each compaction of the same search.
void StrengthTable(int strength, const std::vector<double>& budgets, int32_t evolutions, uint64_t seed,
                   const std::string& only)
{
    struct Measured {
        Config config;
        int peerRows;
    };
    const std::vector<Measured> three{
        {{"3^4", {{3, 4}}}, 33},       {{"3^6", {{3, 6}}}, 47},     {{"3^13", {{3, 13}}}, 74},
        {{"4^10", {{4, 10}}}, 156},    {{"2^20", {{2, 20}}}, 25},   {{"5^10", {{5, 10}}}, 308},
        {{"10^6", {{10, 6}}}, 1624},   {{"4^15 3^17 2^29", {{4, 15}, {3, 17}, {2, 29}}}, 217},
        {{"2^100", {{2, 100}}}, 48},
    };
    const std::vector<Measured> four{
        {{"3^6", {{3, 6}}}, 139}, {{"3^13", {{3, 13}}}, 284}, {{"4^10", {{4, 10}}}, 741},
        {{"2^20", {{2, 20}}}, 68}, {{"5^10", {{5, 10}}}, 1811},
    };
    std::printf("strength %d, evolutions %d, seed %llu, one thread\n\n%-16s %6s %9s %6s", strength, evolutions,
                static_cast<unsigned long long>(seed), "configuration", "rows", "time", "peer");
    for (const double budget : budgets)
        std::printf("  %5.0fs: rows     time", budget);
    std::printf("%s  covered\n", budgets.empty() ? "" : "  -5 % peer");
    for (const Measured& m : strength == 3 ? three : four) {
        if (!only.empty() && only != m.config.name)
            continue;
        const DesignTables design = MakeDesign(m.config);
        // The search alone, then each compaction, which starts from the same kept matrix.
        bool covered = true;
        bool met = false;
        for (size_t run = 0; run <= budgets.size(); ++run) {
            QuietReporter reporter;
            CCalcNWay calc(reporter, evolutions, seed, 1);
            if (run > 0)
                calc.SetCompaction(INT64_MAX, budgets[run - 1]);
            GeneratedMatrix matrix;
            int32_t rows = 0;
            bool converge = false;
            const auto start = std::chrono::steady_clock::now();
            calc.CalcNWayQXVMatrix(strength, design, matrix, rows, converge);
            const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
            covered = covered && CoversEveryTuple(design, matrix, strength);
            if (run == 0) {
                std::printf("%-16s %6d %8.2fs %6d", m.config.name, rows, seconds, m.peerRows);
            } else {
                std::printf("         %6d %7.2fs", rows, calc.Compaction().seconds);
                met = met || rows * 100 <= m.peerRows * 95;
            }
            std::fflush(stdout);
        }
        if (!budgets.empty())
            std::printf("  %10s", met ? "met" : "NOT MET");
        std::printf("  %s\n", covered ? "every tuple" : "MISSING");
        std::fflush(stdout);
    }
}


// The configurations of the tables of pairs, with and without exclusions.
const std::vector<Config> kConfigs{
    {"3^4", {{3, 4}}},
    {"3^13", {{3, 13}}},
    {"4^15 3^17 2^29", {{4, 15}, {3, 17}, {2, 29}}},
    {"4^1 3^39 2^35", {{4, 1}, {3, 39}, {2, 35}}},
    {"2^100", {{2, 100}}},
    {"10^20", {{10, 20}}},
    {"5^1 3^8 2^2", {{5, 1}, {3, 8}, {2, 2}}},
    {"10^10", {{10, 10}}},
    {"4^10", {{4, 10}}},
    {"3^50", {{3, 50}}},
    {"10^50", {{10, 50}}},
    {"5^100", {{5, 100}}},
};
const std::vector<Config> kConstrained{
    {"3^30 2^20 -20", {{3, 30}, {2, 20}}, 20},
    {"4^20 3^30 2^50 -35", {{4, 20}, {3, 30}, {2, 50}}, 35},
    {"4^40 3^60 2^100 -50", {{4, 40}, {3, 60}, {2, 100}}, 50},
};

// The pairs table: each configuration on one thread and on all cores, in a child process of
// its own so that its peak memory is its own.
void PairsTable(int32_t evolutions, uint64_t seed, unsigned threads, const std::string& only)
{
    std::printf("evolutions %d, seed %llu, all cores = %u threads\n\n", evolutions,
                static_cast<unsigned long long>(seed), threads);
    std::printf("%-16s %6s %9s %9s %6s %9s %8s %8s\n", "configuration", "rows", "1 thread", "(cpu)", "rows",
                "all cores", "speed-up", "peak MB");
    std::fflush(stdout);
    for (const Config& config : kConfigs) {
        if (!only.empty() && only != config.name)
            continue;
        const pid_t child = fork();
        if (child == 0) {
            const DesignTables design = MakeDesign(config);
            const Timing one = Run(design, evolutions, seed, 1);
            const Timing all = Run(design, evolutions, seed, threads);
            rusage usage{};
            getrusage(RUSAGE_SELF, &usage);
            std::printf("%-16s %6d %8.3fs %8.3fs %6d %8.3fs %7.2fx %8.1f\n", config.name, one.rows, one.seconds,
                        one.cpuSeconds, all.rows, all.seconds, one.seconds / all.seconds, usage.ru_maxrss / 1024.0);
            std::fflush(stdout);
            _exit(one.rows == all.rows ? 0 : 1);
        }
        int status = 0;
        waitpid(child, &status, 0);
        if (!WIFEXITED(status) || WEXITSTATUS(status) != 0)
            std::printf("%-16s  the two runs differ or failed\n", config.name);
    }
}

// The designs with exclusions against the same designs without.
void ExclusionsTable(int32_t evolutions, uint64_t seed, const std::string& only)
{
    bool headed = false;
    for (const Config& config : kConstrained) {
        if (!only.empty() && only != config.name)
            continue;
        if (!headed)
            std::printf("\n%-20s %6s %9s %9s %6s %9s %6s\n", "with exclusions", "rows", "1 thr cpu", "converged",
                        "rows", "without", "ratio");
        headed = true;
        DesignTables design = MakeDesign(config);
        const Timing with = Run(design, evolutions, seed, 1);
        design.constraints.clear();
        const Timing without = Run(design, evolutions, seed, 1);
        std::printf("%-20s %6d %8.3fs %9s %6d %8.3fs %5.2fx\n", config.name, with.rows, with.cpuSeconds,
                    with.converge ? "yes" : "NO", without.rows, without.cpuSeconds, with.cpuSeconds / without.cpuSeconds);
        std::fflush(stdout);
    }
}

struct Arguments {
    int32_t evolutions = 1000;
    bool evolutionsGiven = false;
    uint64_t seed = 1;
    unsigned threads = std::max(1u, std::thread::hardware_concurrency());
    std::string only;
    std::vector<double> budgets;
    int strength = 2;
    bool rules = false;
    bool mixed = false;
};

// False for an option the bench does not know.
bool ParseArguments(int argc, char** argv, Arguments& a)
{
    // --rules and --mixed stand first, before the options they take.
    a.rules = argc > 1 && !std::strcmp(argv[1], "--rules");
    a.mixed = argc > 1 && !std::strcmp(argv[1], "--mixed");
    for (int i = a.rules || a.mixed ? 2 : 1; i + 1 < argc; i += 2) {
        if (!std::strcmp(argv[i], "--evolutions")) {
            a.evolutions = std::atoi(argv[i + 1]);
            a.evolutionsGiven = true;
        } else if (!std::strcmp(argv[i], "--strength")) {
            a.strength = std::atoi(argv[i + 1]);
        } else if (!std::strcmp(argv[i], "--seed")) {
            a.seed = std::strtoull(argv[i + 1], nullptr, 10);
        } else if (!std::strcmp(argv[i], "--threads")) {
            a.threads = static_cast<unsigned>(std::atoi(argv[i + 1]));
        } else if (!std::strcmp(argv[i], "--only")) {
            a.only = argv[i + 1];
        } else if (!std::strcmp(argv[i], "--compact")) {
            for (char* text = argv[i + 1]; *text;) {
                a.budgets.push_back(std::strtod(text, &text));
                text += *text == ',';
            }
        } else {
            return false;
        }
    }
    return true;
}

}  // namespace

int main(int argc, char** argv)
{
    Arguments a;
    if (!ParseArguments(argc, argv, a)) {
        std::fprintf(stderr, "usage: vantrel-bench [--evolutions N] [--seed S] [--threads N] [--only NAME]\n"
                             "       vantrel-bench --compact SECONDS[,SECONDS...] [--evolutions N] [--seed S] [--only NAME]\n"
                             "       vantrel-bench --strength 3|4 [--compact SECONDS[,SECONDS...]] [--evolutions N] [--seed S]\n"
                             "                     [--only NAME]\n"
                             "       vantrel-bench --rules [--evolutions N] [--seed S] [--only NAME]\n"
                             "       vantrel-bench --mixed [--seed S] [--only group|invalid]\n");
        return 2;
    }
    if (a.rules) {
        RulesTable(a.evolutions, a.seed, a.only);
    } else if (a.mixed) {
        MixedTable(a.seed, a.only);
    } else if (a.strength == 3 || a.strength == 4) {
        StrengthTable(a.strength, a.budgets, a.evolutionsGiven ? a.evolutions : TupleEvolution::kDefaultEvolutions, a.seed,
                      a.only);
    } else if (!a.budgets.empty()) {
        std::printf("evolutions %d, seed %llu, one thread; compaction time beside its rows\n\n", a.evolutions,
                    static_cast<unsigned long long>(a.seed));
        std::vector<Config> all = kConfigs;
        all.insert(all.end(), kConstrained.begin(), kConstrained.end());
        CompactionTable(all, a.budgets, a.evolutions, a.seed, a.only);
    } else {
        PairsTable(a.evolutions, a.seed, a.threads, a.only);
        ExclusionsTable(a.evolutions, a.seed, a.only);
    }
    return 0;
}
