// vantrel-bench: times the covering-matrix search on the classic configurations.
//
//   vantrel-bench [--evolutions N] [--seed S] [--threads N] [--only NAME]
//
// For each configuration (L^k: k factors of L levels) it prints the rows found and the wall
// time on one thread and on all cores (or --threads), and the peak resident memory of the
// process that ran it. Then, for designs with constraints (a fixed set of exclusions drawn
// among their first factors, where they nest), the rows and the processor time of one thread
// with and without the exclusions, and the ratio of the two (processor time, so that a busy
// machine disturbs the ratio less). The processor time of the one-thread run stands beside its wall time:
// on a busy machine the two differ. Each configuration runs in a child process of its own so
// that its peak memory is its own.

#include "engine/CCalcNWay.h"

#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
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
    void updateStatusProgress(int, double) override {}
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
    bool converge = false;
};

Timing Run(const DesignTables& design, int32_t evolutions, uint64_t seed, unsigned threads)
{
    QuietReporter reporter;
    CCalcNWay calc(reporter, evolutions, seed, threads);
    GeneratedMatrix matrix;
    Timing timing;
    bool& converge = timing.converge;
    const double cpuStart = ProcessCpuSeconds();
    const auto start = std::chrono::steady_clock::now();
    calc.CalcNWayQXVMatrix(2, design, matrix, timing.rows, converge);
    timing.seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    timing.cpuSeconds = ProcessCpuSeconds() - cpuStart;
    return timing;
}

}  // namespace

int main(int argc, char** argv)
{
    int32_t evolutions = 1000;
    uint64_t seed = 1;
    unsigned threads = std::max(1u, std::thread::hardware_concurrency());
    std::string only;
    for (int i = 1; i + 1 < argc; i += 2) {
        if (!std::strcmp(argv[i], "--evolutions"))
            evolutions = std::atoi(argv[i + 1]);
        else if (!std::strcmp(argv[i], "--seed"))
            seed = std::strtoull(argv[i + 1], nullptr, 10);
        else if (!std::strcmp(argv[i], "--threads"))
            threads = static_cast<unsigned>(std::atoi(argv[i + 1]));
        else if (!std::strcmp(argv[i], "--only"))
            only = argv[i + 1];
        else {
            std::fprintf(stderr, "usage: vantrel-bench [--evolutions N] [--seed S] [--threads N] [--only NAME]\n");
            return 2;
        }
    }

    const std::vector<Config> configs{
        {"3^4", {{3, 4}}},
        {"3^13", {{3, 13}}},
        {"4^15 3^17 2^29", {{4, 15}, {3, 17}, {2, 29}}},
        {"4^1 3^39 2^35", {{4, 1}, {3, 39}, {2, 35}}},
        {"2^100", {{2, 100}}},
        {"10^20", {{10, 20}}},
        {"10^50", {{10, 50}}},
        {"5^100", {{5, 100}}},
    };
    const std::vector<Config> constrained{
        {"3^30 2^20 -20", {{3, 30}, {2, 20}}, 20},
        {"4^20 3^30 2^50 -35", {{4, 20}, {3, 30}, {2, 50}}, 35},
        {"4^40 3^60 2^100 -50", {{4, 40}, {3, 60}, {2, 100}}, 50},
    };

    std::printf("evolutions %d, seed %llu, all cores = %u threads\n\n", evolutions,
                static_cast<unsigned long long>(seed), threads);
    std::printf("%-16s %6s %9s %9s %6s %9s %8s %8s\n", "configuration", "rows", "1 thread", "(cpu)", "rows",
                "all cores", "speed-up", "peak MB");
    std::fflush(stdout);
    for (const Config& config : configs) {
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

    bool headed = false;
    for (const Config& config : constrained) {
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
    return 0;
}
