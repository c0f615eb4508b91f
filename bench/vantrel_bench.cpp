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

#include "engine/CCalcNWay.h"
#include "engine/ConstraintModel.h"
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

class QuietReporter : public EngineReporter {
public:
    EngineAnswer showMessage(const EngineMessage& message) override
    {
        std::fprintf(stderr, "message: %s\n", message.text.c_str());
        return EngineAnswer::Ok;
    }
    void showNWayProgress() override {}
    bool updateNWayProgress(double, int32_t, int32_t) override { return false; }
    void closeNWayProgress() override {}
    void showStatusProgress() override {}
    bool updateStatusProgress(int, double) override { return false; }
    void setBusyPointer(bool) override {}
};

struct Config {
    const char* name;
    std::vector<std::pair<int, int>> groups;  // (levels, factors)
    int exclusions = 0;                       // drawn among the first quarter of the factors
};

DesignTables MakeDesign(const Config& config)
{
    DesignTables design;
    int f = 0;
    for (const auto& [levels, factors] : config.groups)
        for (int i = 0; i < factors; ++i) {
            std::vector<std::string> column{std::string("F").append(std::to_string(++f))};
            for (int l = 1; l <= levels; ++l)
                column.push_back(std::string("v").append(std::to_string(l)));
            design.factors.push_back(column);
            design.levelCounts.push_back(levels);
        }
    std::mt19937 draw(static_cast<unsigned>(config.exclusions) * 7919u);
    const int among = std::max(3, f / 4);
    while (static_cast<int>(design.constraints.size()) < config.exclusions) {
        const int a = static_cast<int>(draw() % among);
        const int b = static_cast<int>(draw() % among);
        if (a == b)
            continue;
        const auto& fa = design.factors[a];
        const auto& fb = design.factors[b];
        design.constraints.push_back({fa[0], fa[1 + draw() % (fa.size() - 1)], fb[0], fb[1 + draw() % (fb.size() - 1)]});
    }
    return design;
}

double ProcessCpuSeconds()
{
    timespec now{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &now);
    return static_cast<double>(now.tv_sec) + static_cast<double>(now.tv_nsec) * 1e-9;
}

struct Timing {
    int32_t rows = 0;
    double seconds = 0;
    double cpuSeconds = 0;  // summed over the threads
    double compactSeconds = 0;
    bool converge = false;
};

// Whether the matrix holds no excluded pair and every other pair of the design.
bool KeepsPromises(CCalcNWay& calc, const DesignTables& design, const GeneratedMatrix& matrix)
{
    const ImpliedExclusions implied = calc.FindImpliedExclusions(design);
    const std::vector<int32_t>& offset = implied.levelOffset;
    const int32_t F = design.NumFactors();
    const int32_t levels = offset.back();
    std::vector<uint8_t> state(static_cast<size_t>(levels) * levels, 0);  // 1 excluded, 2 held
    auto at = [&](int32_t a, int32_t b) -> uint8_t& { return state.at(static_cast<size_t>(std::min(a, b)) * levels + std::max(a, b)); };
    auto entryOf = [&](int32_t f, const std::string& name) {
        for (int32_t l = 1; l <= design.levelCounts[f]; ++l)
            if (design.Name(f, l) == name)
                return offset[f] + l - 1;
        return -1;
    };
    auto factorOf = [&](const std::string& name) {
        for (int32_t f = 0; f < F; ++f)
            if (design.Name(f, 0) == name)
                return f;
        return -1;
    };
    for (const auto& c : design.constraints) {
        const int32_t a = factorOf(c[0]);
        const int32_t b = factorOf(c[2]);
        at(entryOf(a, c[1]), entryOf(b, c[3])) = 1;
    }
    for (const auto& [a, b] : implied.pairs)
        at(a, b) = 1;
    for (const int32_t dead : implied.deadLevels)
        for (int32_t other = 0; other < levels; ++other)
            if (other != dead)
                at(dead, other) = 1;
    for (int32_t r = 0; r < matrix.numRows; ++r)
        for (int32_t f = 0; f < F; ++f)
            for (int32_t g = f + 1; g < F; ++g) {
                uint8_t& pair = at(offset[f] + matrix.Code(r, f) - 1, offset[g] + matrix.Code(r, g) - 1);
                if (pair == 1)
                    return false;
                pair = 2;
            }
    for (int32_t f = 0; f < F; ++f)
        for (int32_t g = f + 1; g < F; ++g)
            for (int32_t a = offset[f]; a < offset[f + 1]; ++a)
                for (int32_t b = offset[g]; b < offset[g + 1]; ++b)
                    if (at(a, b) == 0)
                        return false;
    return true;
}

Timing Run(const DesignTables& design, int32_t evolutions, uint64_t seed, unsigned threads, double compactSeconds = 0,
           bool* promisesKept = nullptr)
{
    QuietReporter reporter;
    CCalcNWay calc(reporter, evolutions, seed, threads);
    if (compactSeconds > 0)
        calc.SetCompaction(INT64_MAX, compactSeconds);
    GeneratedMatrix matrix;
    Timing timing;
    bool& converge = timing.converge;
    const double cpuStart = ProcessCpuSeconds();
    const auto start = std::chrono::steady_clock::now();
    calc.CalcNWayQXVMatrix(2, design, matrix, timing.rows, converge);
    timing.seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    timing.cpuSeconds = ProcessCpuSeconds() - cpuStart;
    timing.compactSeconds = calc.Compaction().seconds;
    if (promisesKept)
        *promisesKept = KeepsPromises(calc, design, matrix);
    return timing;
}

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
};

// False for an option the bench does not know.
bool ParseArguments(int argc, char** argv, Arguments& a)
{
    // --rules stands first, before the options it takes.
    a.rules = argc > 1 && !std::strcmp(argv[1], "--rules");
    for (int i = a.rules ? 2 : 1; i + 1 < argc; i += 2) {
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
                             "       vantrel-bench --rules [--evolutions N] [--seed S] [--only NAME]\n");
        return 2;
    }
    if (a.rules) {
        RulesTable(a.evolutions, a.seed, a.only);
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
