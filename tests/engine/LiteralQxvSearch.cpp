#include "tests/engine/LiteralQxvSearch.h"

#include <algorithm>
#include <cmath>

LiteralQxvSearch::LiteralQxvSearch(const DesignTables& design) : F_(design.NumFactors())
{
    levels_.assign(static_cast<size_t>(F_) + 1, 0);
    for (int32_t f = 1; f <= F_; ++f)
        levels_[f] = design.levelCounts[f - 1];
    auto factorCode = [&](const std::string& name) {
        int32_t code = 0;
        for (int32_t f = 1; f <= F_; ++f)
            if (design.Name(f - 1, 0) == name)
                code = f;
        return code;
    };
    auto levelCode = [&](int32_t f, const std::string& name) {
        for (int32_t l = 1; l <= levels_[f]; ++l)
            if (design.Name(f - 1, l) == name)
                return l;
        return 0;
    };
    for (const auto& c : design.constraints) {
        const int32_t fa = factorCode(c[0]);
        const int32_t fb = factorCode(c[2]);
        constraints_.insert(constraints_.end(), {fa, levelCode(fa, c[1]), fb, levelCode(fb, c[3])});
    }
    for (const auto& test : design.prevRuns) {
        std::vector<int32_t> row(static_cast<size_t>(F_) + 1, 0);
        for (int32_t f = 1; f <= F_; ++f)
            row[f] = levelCode(f, test[f - 1]);
        prevRuns_.push_back(row);
    }
    P_ = static_cast<int32_t>(prevRuns_.size());
}

// The cell of (f1 = l1, f2 = l2), either factor first.
int16_t& LiteralQxvSearch::CellOf(Table& table, int32_t f1, int32_t l1, int32_t f2, int32_t l2) const
{
    if (f1 > f2) {
        std::swap(f1, f2);
        std::swap(l1, l2);
    }
    return table[f1][f2].aiCount[static_cast<size_t>(l1 - 1) * levels_[f2] + (l2 - 1)];
}

LiteralQxvSearch::Table LiteralQxvSearch::AllocateInteractions() const
{
    Table table(static_cast<size_t>(F_) + 1, std::vector<Block>(static_cast<size_t>(F_) + 1));
    for (int32_t f1 = 1; f1 <= F_ - 1; ++f1)
        for (int32_t f2 = f1 + 1; f2 <= F_; ++f2) {
            Block& block = table[f1][f2];
            block.lNumCombos = levels_[f1] * levels_[f2];
            block.aiCount.assign(static_cast<size_t>(block.lNumCombos), 0);
        }
    return table;
}

void LiteralQxvSearch::Add2WayConstraintsToInters(Table& table) const
{
    for (size_t c = 0; c + 3 < constraints_.size(); c += 4)
        CellOf(table, constraints_[c], constraints_[c + 1], constraints_[c + 2], constraints_[c + 3]) = -1;
}

bool LiteralQxvSearch::AnalyzeMatrixFor2Ways(const Matrix& matrix, Table& table, double& completeness) const
{
    bool violation = false;
    for (size_t r = 1; r <= matrix.size(); ++r)
        for (int32_t f1 = 1; f1 <= F_ - 1; ++f1)
            for (int32_t f2 = f1 + 1; f2 <= F_; ++f2) {
                int16_t& cell = CellOf(table, f1, matrix[r - 1][f1], f2, matrix[r - 1][f2]);
                if (cell == -1) {
                    if (static_cast<int32_t>(r) > P_)
                        violation = true;
                } else {
                    cell += 1;
                }
            }
    double sum = 0.0;
    int32_t blocks = 0;
    for (int32_t f1 = 1; f1 <= F_ - 1; ++f1)
        for (int32_t f2 = f1 + 1; f2 <= F_; ++f2) {
            Block& block = table[f1][f2];
            block.lNumDone = 0;
            for (int16_t cell : block.aiCount)
                if (cell >= 1 || cell == -1)
                    ++block.lNumDone;
            block.dCompleteness = static_cast<double>(block.lNumDone) / static_cast<double>(block.lNumCombos);
            sum += block.dCompleteness;
            ++blocks;
        }
    completeness = sum / blocks;
    return violation;
}

std::vector<double> LiteralQxvSearch::Evalute2WayCompleteness(const Table& table) const
{
    std::vector<double> completeness(static_cast<size_t>(F_) + 1, 0.0);
    for (int32_t f1 = 1; f1 <= F_ - 1; ++f1)
        for (int32_t f2 = f1 + 1; f2 <= F_; ++f2) {
            completeness[f1] += table[f1][f2].dCompleteness;
            completeness[f2] += table[f1][f2].dCompleteness;
        }
    for (int32_t f = 1; f <= F_; ++f)
        completeness[f] /= (F_ - 1);
    return completeness;
}

int32_t LiteralQxvSearch::RandomIndex(RandomStream& random, int32_t a, int32_t b)
{
    const double r = random.NextSingle();
    return static_cast<int32_t>(std::floor((b - a + 1) * r + a));
}

template <typename Key>
void LiteralQxvSearch::QuickSort(std::vector<int32_t>& index, std::vector<Key>& keys, int32_t lMin, int32_t lMax,
                                 RandomStream& random)
{
    if (lMin >= lMax)
        return;
    const int32_t p = RandomIndex(random, lMin, lMax);
    const Key pivot = keys[p];
    const int32_t pivotIndex = index[p];
    keys[p] = keys[lMin];
    index[p] = index[lMin];
    int32_t lo = lMin;
    int32_t hi = lMax;
    for (;;) {
        while (keys[hi] >= pivot) {
            hi -= 1;
            if (hi <= lo)
                break;
        }
        if (hi <= lo) {
            keys[lo] = pivot;
            index[lo] = pivotIndex;
            break;
        }
        keys[lo] = keys[hi];
        index[lo] = index[hi];
        lo += 1;
        while (keys[lo] < pivot) {
            lo += 1;
            if (lo >= hi)
                break;
        }
        if (lo >= hi) {
            lo = hi;
            keys[hi] = pivot;
            index[hi] = pivotIndex;
            break;
        }
        keys[hi] = keys[lo];
        index[hi] = index[lo];
    }
    QuickSort(index, keys, lMin, lo - 1, random);
    QuickSort(index, keys, lo + 1, lMax, random);
}

bool LiteralQxvSearch::AddRandomRowToMatrix(Table& working, double& completeness, Matrix& matrix,
                                            RandomStream& random) const
{
    matrix.emplace_back(static_cast<size_t>(F_) + 1, 0);
    std::vector<int32_t>& row = matrix.back();
    int32_t tries = 0;
    const Table saved = working;
    bool accepted = false;
    while (!accepted && tries < 10000) {
        for (int32_t f = 1; f <= F_; ++f)
            row[f] = static_cast<int32_t>(std::floor(levels_[f] * static_cast<double>(random.NextSingle()) + 1));
        if (AnalyzeMatrixFor2Ways(matrix, working, completeness)) {
            working = saved;
            tries += 1;
        } else {
            accepted = true;
        }
    }
    return accepted;
}

// The next row: the least complete factor (the anchor) at its least covered level, then every
// other factor, from the most complete towards the anchor, at the level that covers most.
std::vector<int32_t> LiteralQxvSearch::NextRow(Table& working, RandomStream& random) const
{
    std::vector<int32_t> order(static_cast<size_t>(F_) + 1);
    std::vector<int32_t> newRow(static_cast<size_t>(F_) + 1, 0);
    std::vector<double> factorCompleteness = Evalute2WayCompleteness(working);
    for (int32_t i = 1; i <= F_; ++i)
        order[i] = i;
    QuickSort(order, factorCompleteness, 1, F_, random);

    // The anchor and its level.
    const int32_t anchor = order[1];
    std::vector<int32_t> anchorScores(static_cast<size_t>(levels_[anchor]) + 1, 0);
    for (int32_t other = 1; other <= F_; ++other)
        for (int32_t a = 1; a <= levels_[anchor] && other != anchor; ++a)
            for (int32_t b = 1; b <= levels_[other]; ++b)
                anchorScores[a] += CellOf(working, anchor, a, other, b) != 0 ? 1 : 0;
    int32_t smallest = 2147483646;
    for (int32_t a = 1; a <= levels_[anchor]; ++a)
        if (anchorScores[a] < smallest) {
            smallest = anchorScores[a];
            newRow[1] = a;
        }

    // Every other factor, from the most complete towards the anchor.
    auto isFactorFixed = [&](int32_t g, int32_t pos, int32_t& level) {
        if (g == order[1]) {
            level = newRow[1];
            return true;
        }
        for (int32_t k = F_; k >= pos + 1; --k)
            if (order[k] == g) {
                level = newRow[k];
                return true;
            }
        return false;
    };
    auto complies = [&](int32_t pos) {
        for (int32_t k = F_; k >= pos; --k) {
            const int32_t with = k == pos ? 1 : k;  // the anchor, then the factors placed before
            if (CellOf(working, order[pos], newRow[pos], order[with], newRow[with]) == -1)
                return false;
        }
        return true;
    };
    for (int32_t pos = F_; pos >= 2; --pos) {
        const int32_t f = order[pos];
        std::vector<int32_t> scores(static_cast<size_t>(levels_[f]) + 1, 0);
        for (int32_t g = 1; g <= F_; ++g) {
            int32_t lg = 0;
            if (g != f && isFactorFixed(g, pos, lg))
                for (int32_t l = 1; l <= levels_[f]; ++l)
                    scores[l] += CellOf(working, f, l, g, lg) == 0 ? 1 : 0;
        }
        std::vector<int32_t> index(static_cast<size_t>(levels_[f]) + 1);
        for (int32_t l = 1; l <= levels_[f]; ++l)
            index[l] = l;
        QuickSort(index, scores, 1, levels_[f], random);
        for (int32_t k = levels_[f]; k >= 1; --k) {
            newRow[pos] = index[k];
            if (complies(pos))
                break;
        }
    }

    std::vector<int32_t> row(static_cast<size_t>(F_) + 1, 0);
    for (int32_t i = 1; i <= F_; ++i)
        row[order[i]] = newRow[i];
    return row;
}

LiteralQxvSearch::Evolution LiteralQxvSearch::GenerateQXVMatrix(RandomStream& random)
{
    Evolution evolution;
    int32_t maxLevels = 0;
    for (int32_t f = 1; f <= F_; ++f)
        maxLevels = std::max(maxLevels, levels_[f]);
    Table base = AllocateInteractions();
    Add2WayConstraintsToInters(base);
    Table working = base;
    Matrix& matrix = evolution.matrix;
    matrix = prevRuns_;
    double c = 0.0;
    AnalyzeMatrixFor2Ways(matrix, working, c);
    if (c >= 1)
        return evolution;

    if (!AddRandomRowToMatrix(working, c, matrix, random)) {
        evolution.ok = false;
        return evolution;
    }
    const int32_t maxIter = std::max(maxLevels * maxLevels * 5, 100);
    int32_t iter = 0;
    while (c < 1 && iter < maxIter) {
        matrix.push_back(NextRow(working, random));
        working = base;
        AnalyzeMatrixFor2Ways(matrix, working, c);
        iter += 1;
    }

    RowElimination(base, matrix, random);
    evolution.convergedTouched = true;
    evolution.converged = iter < maxIter;
    if (matrix.empty())
        evolution.converged = false;
    return evolution;
}

void LiteralQxvSearch::RowElimination(const Table& base, Matrix& matrix, RandomStream& random) const
{
    Table working = base;
    double c = 0.0;
    AnalyzeMatrixFor2Ways(matrix, working, c);
    for (;;) {
        const auto rows = static_cast<int32_t>(matrix.size());
        std::vector<int32_t> unique(static_cast<size_t>(rows) + 1, 0);
        for (int32_t r = 1; r <= rows; ++r)
            for (int32_t f1 = 1; f1 <= F_ - 1; ++f1)
                for (int32_t f2 = f1 + 1; f2 <= F_; ++f2)
                    if (CellOf(working, f1, matrix[r - 1][f1], f2, matrix[r - 1][f2]) == 1)
                        unique[r] += 1;
        std::vector<int32_t> index(static_cast<size_t>(rows) + 1);
        for (int32_t k = 1; k <= rows; ++k)
            index[k] = k;
        QuickSort(index, unique, 1, rows, random);
        int32_t k = 1;
        while (k <= rows && index[k] <= P_)
            ++k;
        if (k > rows || unique[k] != 0)
            return;
        matrix.erase(matrix.begin() + (index[k] - 1));
        working = base;
        AnalyzeMatrixFor2Ways(matrix, working, c);
    }
}

LiteralQxvSearch::Result LiteralQxvSearch::Run(uint64_t seed, int32_t numEvolutions)
{
    Result result;
    bool converged = false;
    bool bestComplete = false;
    for (int32_t evo = 1; evo <= numEvolutions; ++evo) {
        RandomStream random(seed, static_cast<uint64_t>(evo));
        Evolution evolution = GenerateQXVMatrix(random);
        if (evolution.convergedTouched)
            converged = evolution.converged;
        if (converged)
            result.converge = true;
        if (!evolution.ok) {
            result.ok = false;
            return result;
        }
        // A matrix that covers every required pair beats one that does not; then the smaller one.
        const auto rows = static_cast<int32_t>(evolution.matrix.size());
        const bool complete = !evolution.convergedTouched || evolution.converged;
        const bool better = complete != bestComplete ? complete : rows < result.bestRows;
        if (rows > 0 && (evo == 1 || (result.bestRows > 0 && better))) {
            result.best = evolution.matrix;
            result.bestRows = rows;
            bestComplete = complete;
        }
    }
    return result;
}
