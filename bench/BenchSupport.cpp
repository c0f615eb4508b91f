#include "bench/BenchSupport.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <ctime>
#include <random>
#include <string>

EngineAnswer QuietReporter::showMessage(const EngineMessage& message)
{
    std::fprintf(stderr, "message: %s\n", message.text.c_str());
    return EngineAnswer::Ok;
}

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

Timing Run(const DesignTables& design, int32_t evolutions, uint64_t seed, unsigned threads, double compactSeconds,
           bool* promisesKept)
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
