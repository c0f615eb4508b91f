#include "engine/CoverageReport.h"

#include "engine/ConstraintSolver.h"
#include "engine/LevelLookup.h"
#include "engine/TupleTable.h"

#include <algorithm>
#include <limits>
#include <memory>

namespace {

constexpr int32_t kNever = std::numeric_limits<int32_t>::max();

// Counts the combinations of one requirement after another against the rows, previous tests first.
class CoverageCounter {
public:
    CoverageCounter(const ConstraintModel& model, const std::vector<std::vector<int32_t>>& previous,
                    const std::vector<std::vector<int32_t>>& suite, const CoverageQuestion& question, CoverageReport& report)
        : model_(model), question_(question), report_(report), numPrevious_(static_cast<int32_t>(previous.size()))
    {
        const int32_t F = model.NumFactors();
        rows_.reserve((previous.size() + suite.size()) * static_cast<size_t>(F));
        for (const auto* rows : {&previous, &suite})
            for (const std::vector<int32_t>& row : *rows)
                AddRow(row, rows == &previous);
    }

    // The combinations of `t` factors of the requirement's, as its kind takes them.
    void Count(int32_t index);

private:
    void AddRow(const std::vector<int32_t>& row, bool previous);
    // A combination of the block at hand that some row holds: its code, the first sound row
    // holding it (kNever: none), whether a row that breaks a constraint holds it.
    struct Held {
        int64_t code;
        int32_t firstRow;
        bool byBroken;
    };
    void CountBlock(const int32_t* set, int32_t t, int32_t index);
    void HeldCombinations(const int32_t* set, int32_t t, int32_t rowKind);
    void Tally(int32_t index, int32_t t, const Held& held, int32_t invalidHere);
    void CountCovered(CoverageRequirement& requirement, int32_t first);
    bool CannotOccur(int32_t t, bool validOnly);
    void List(std::vector<CoverageCombination>& list, int32_t index, int32_t t)
    {
        if (question_.listCombinations)
            list.push_back({index, std::vector<int32_t>(entries_.begin(), entries_.begin() + t)});
    }

    const ConstraintModel& model_;
    const CoverageQuestion& question_;
    CoverageReport& report_;
    int32_t numPrevious_;
    std::vector<int32_t> rows_;          // every row's codes, one after the other
    std::vector<int32_t> rowInvalid_;    // per row: its invalid levels; -1 for a row that covers nothing
    std::vector<uint8_t> rowSound_;      // per row: complete and valid
    std::vector<Held> held_;             // of the block at hand, ascending by code
    std::vector<int64_t> growthDelta_;   // per suite row: what it newly covered
    std::vector<int32_t> levels_, entries_;
    int64_t blockRequired_ = 0, blockCovered_ = 0;
    std::unique_ptr<ConstraintSolver> solver_;
};

void CoverageCounter::AddRow(const std::vector<int32_t>& row, bool previous)
{
    const int32_t F = model_.NumFactors();
    CoverageProblemRow problem;
    problem.previous = previous;
    problem.row = previous ? static_cast<int32_t>(rowInvalid_.size()) : static_cast<int32_t>(rowInvalid_.size()) - numPrevious_;
    for (int32_t f = 0; f < F; ++f) {
        const int32_t level = static_cast<size_t>(f) < row.size() ? row[static_cast<size_t>(f)] : -1;
        if (level < 0 || level >= model_.Levels()[static_cast<size_t>(f)]) {
            if (problem.unknownFactor < 0)
                problem.unknownFactor = f;
            rows_.push_back(0);
            continue;
        }
        rows_.push_back(level);
        problem.invalidLevels += model_.Invalid(model_.LevelOffset()[static_cast<size_t>(f)] + level);
    }
    const int32_t* codes = &rows_[rows_.size() - static_cast<size_t>(F)];
    const bool complete = problem.unknownFactor < 0;
    const bool sound = complete && problem.invalidLevels <= 1 && model_.RowIsValid(codes);
    // A previous test was run whatever it breaks: it holds what a valid test case can hold.
    const bool counts = sound || (previous && complete && problem.invalidLevels <= 1);
    rowInvalid_.push_back(counts ? problem.invalidLevels : -1);
    rowSound_.push_back(sound);
    if (sound)
        return;
    if (complete)
        problem.broken = model_.BrokenBy(codes);
    report_.problemRows.push_back(std::move(problem));
}

void CoverageCounter::Count(int32_t index)
{
    CoverageRequirement& requirement = report_.requirements[static_cast<size_t>(index)];
    const int32_t t = requirement.strength;
    const auto n = static_cast<int32_t>(requirement.factors.size());
    growthDelta_.assign(rowInvalid_.size() - static_cast<size_t>(numPrevious_), 0);
    levels_.assign(static_cast<size_t>(t), 0);
    entries_.assign(static_cast<size_t>(t), 0);
    std::vector<int32_t> chosen(static_cast<size_t>(t)), set(static_cast<size_t>(t));
    ForEachColexSet(n, t, chosen.data(), [&](const int32_t* local) {
        for (int32_t i = 0; i < t; ++i)
            set[static_cast<size_t>(i)] = requirement.factors[static_cast<size_t>(local[i])];
        CountBlock(set.data(), t, index);
    });
    int64_t covered = requirement.coveredByPrevious;
    requirement.growth.clear();
    for (const int64_t delta : growthDelta_)
        requirement.growth.push_back(covered += delta);
}

void CoverageCounter::CountBlock(const int32_t* set, int32_t t, int32_t index)
{
    const CoverageRequirement& requirement = report_.requirements[static_cast<size_t>(index)];
    const std::vector<int32_t>& levels = model_.Levels();
    int64_t combinations = 1;
    for (int32_t i = 0; i < t; ++i)
        combinations *= levels[static_cast<size_t>(set[i])];
    HeldCombinations(set, t, requirement.kind == CoverageRequirement::Kind::InvalidPairs ? 1 : 0);
    blockRequired_ = blockCovered_ = 0;
    if (!question_.listCombinations && !model_.HasConstraints()) {
        // Every combination is required and none is excluded: only those the rows hold are
        // visited, so a block of many levels costs its rows, not its combinations.
        CoverageRequirement& counts = report_.requirements[static_cast<size_t>(index)];
        for (const Held& held : held_)
            CountCovered(counts, held.byBroken && held.firstRow >= numPrevious_ ? 0 : held.firstRow);
        counts.required += combinations - blockCovered_;
        blockRequired_ += combinations - blockCovered_;
    } else {
        std::fill(levels_.begin(), levels_.end(), 0);
        size_t next = 0;
        for (int64_t code = 0; code < combinations; ++code) {
            int32_t invalidHere = 0;
            for (int32_t i = 0; i < t; ++i) {
                entries_[static_cast<size_t>(i)] = model_.LevelOffset()[static_cast<size_t>(set[i])] + levels_[static_cast<size_t>(i)];
                invalidHere += model_.Invalid(entries_[static_cast<size_t>(i)]);
            }
            const Held held = next < held_.size() && held_[next].code == code ? held_[next++] : Held{code, kNever, false};
            Tally(index, t, held, invalidHere);
            for (int32_t i = 0; i < t && ++levels_[static_cast<size_t>(i)] == levels[static_cast<size_t>(set[i])]; ++i)
                levels_[static_cast<size_t>(i)] = 0;  // the first factor's level changes fastest
        }
    }
    if (index != 0 || report_.factorPairs.empty())
        return;
    for (int32_t i = 0; i < t; ++i)
        for (int32_t j = i + 1; j < t; ++j) {
            CoverageReport::Counts& pair = report_.factorPairs[report_.FactorPair(set[i], set[j])];
            pair.required += blockRequired_;
            pair.covered += blockCovered_;
        }
}

void CoverageCounter::HeldCombinations(const int32_t* set, int32_t t, int32_t rowKind)
{
    // The rows that cover this kind: without an invalid level, or with the one. Per combination
    // a row holds, ascending: the first sound row, and whether a row that breaks a constraint
    // holds it.
    const std::vector<int32_t>& levels = model_.Levels();
    const auto F = static_cast<size_t>(model_.NumFactors());
    held_.clear();
    for (size_t r = 0; r < rowInvalid_.size(); ++r) {
        if (rowInvalid_[r] != rowKind)
            continue;
        const int32_t* row = &rows_[r * F];
        int64_t code = 0;
        for (int32_t i = t - 1; i >= 0; --i)
            code = code * levels[static_cast<size_t>(set[i])] + row[set[i]];
        held_.push_back(rowSound_[r] ? Held{code, static_cast<int32_t>(r), false} : Held{code, kNever, true});
    }
    std::sort(held_.begin(), held_.end(), [](const Held& x, const Held& y) { return x.code < y.code; });
    size_t kept = 0;
    for (size_t k = 0; k < held_.size(); ++k) {
        if (kept > 0 && held_[kept - 1].code == held_[k].code) {
            held_[kept - 1].firstRow = std::min(held_[kept - 1].firstRow, held_[k].firstRow);
            held_[kept - 1].byBroken = held_[kept - 1].byBroken || held_[k].byBroken;
        } else {
            held_[kept++] = held_[k];
        }
    }
    held_.resize(kept);
}
void CoverageCounter::Tally(int32_t index, int32_t t, const Held& held, int32_t invalidHere)
{
    CoverageRequirement& requirement = report_.requirements[static_cast<size_t>(index)];
    const bool invalidPairs = requirement.kind == CoverageRequirement::Kind::InvalidPairs;
    if (invalidPairs ? invalidHere == 0 : invalidHere > 0)
        return;  // a combination of another kind
    int32_t first = held.firstRow;
    const bool cannotOccur = first == kNever && (invalidHere > 1 || CannotOccur(t, !invalidPairs));
    if (held.byBroken && !cannotOccur && first >= numPrevious_)
        first = 0;  // a previous test holds it, before any row of the suite
    if (first != kNever) {
        CountCovered(requirement, first);
        return;
    }
    if (cannotOccur) {
        ++requirement.excluded;
        List(report_.excluded, index, t);
        return;
    }
    ++requirement.required;
    ++blockRequired_;
    List(report_.missing, index, t);
}

void CoverageCounter::CountCovered(CoverageRequirement& requirement, int32_t first)
{
    // A combination the row `first` holds first (a previous test before any row of the suite).
    ++requirement.required;
    ++requirement.covered;
    ++blockRequired_;
    ++blockCovered_;
    if (first < numPrevious_)
        ++requirement.coveredByPrevious;
    else
        ++growthDelta_[static_cast<size_t>(first - numPrevious_)];
}

bool CoverageCounter::CannotOccur(int32_t t, bool validOnly)
{
    if (!model_.AnyValidRow())
        return true;
    for (int32_t i = 0; i < t; ++i)
        for (int32_t j = i + 1; j < t; ++j)
            if (model_.Excluded(entries_[static_cast<size_t>(i)], entries_[static_cast<size_t>(j)]))
                return true;
    // The excluded pairs are all a pair needs; a longer combination, or one that must stand in
    // a test case without an invalid level, may still be excluded together.
    const bool asked = (t > 2 && model_.HasConstraints()) || (validOnly && model_.HasInvalidLevels());
    if (!asked)
        return false;
    if (!solver_)
        solver_ = std::make_unique<ConstraintSolver>(model_);
    return !solver_->Feasible(entries_.data(), t, validOnly);
}

CoverageRequirement Requirement(CoverageRequirement::Kind kind, int32_t strength, std::vector<int32_t> factors)
{
    CoverageRequirement requirement;
    requirement.kind = kind;
    requirement.strength = strength;
    requirement.factors = std::move(factors);
    return requirement;
}

}  // namespace

int64_t CoverageReport::Total(int64_t CoverageRequirement::*count) const
{
    int64_t sum = 0;
    for (const CoverageRequirement& requirement : requirements)
        sum += requirement.*count;
    return sum;
}

bool CoverageReport::AnySuiteProblem() const
{
    return std::any_of(problemRows.begin(), problemRows.end(), [](const CoverageProblemRow& row) { return !row.previous; });
}

bool CoverageReport::AnySuiteViolation() const
{
    return std::any_of(problemRows.begin(), problemRows.end(), [](const CoverageProblemRow& row) {
        return !row.previous && row.unknownFactor < 0;
    });
}

CoverageReport ReportCoverage(const ConstraintModel& model, const std::vector<std::vector<int32_t>>& previous,
                              const std::vector<std::vector<int32_t>>& suite, const CoverageQuestion& question)
{
    CoverageReport report;
    const int32_t F = model.NumFactors();
    report.numFactors = F;
    report.suiteRows = static_cast<int64_t>(suite.size());
    std::vector<int32_t> all(static_cast<size_t>(F));
    for (int32_t f = 0; f < F; ++f)
        all[static_cast<size_t>(f)] = f;
    const int32_t t = std::min(question.strength, F);
    if (t >= 2)
        report.requirements.push_back(Requirement(CoverageRequirement::Kind::Strength, t, all));
    if (t >= 2 && model.HasInvalidLevels())
        report.requirements.push_back(Requirement(CoverageRequirement::Kind::InvalidPairs, 2, all));
    for (const CompiledGroup& group : model.Groups()) {
        report.requirements.push_back(Requirement(CoverageRequirement::Kind::Group, group.strength, group.factors));
        report.requirements.back().statement = group.statement;
    }
    if (question.factorPairs && t >= 2)
        report.factorPairs.assign(static_cast<size_t>(F) * static_cast<size_t>(F - 1) / 2, {});
    CoverageCounter counter(model, previous, suite, question, report);
    for (size_t index = 0; index < report.requirements.size(); ++index)
        counter.Count(static_cast<int32_t>(index));
    return report;
}

CoverageReport ReportCoverage(const DesignTables& design, const ConstraintModel& model,
                              const std::vector<std::vector<std::string>>& suite, const CoverageQuestion& question)
{
    const LevelLookup lookup(design);
    return ReportCoverage(model, lookup.Codes(design.prevRuns), lookup.Codes(suite), question);
}
