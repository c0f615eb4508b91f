#include "engine/ConstraintSolver.h"

#include "engine/ConstraintModel.h"

#include <cadical.hpp>

#include <algorithm>

ConstraintSolver::ConstraintSolver(const ConstraintModel& model)
    : model_(model),
      oneLevel_(static_cast<size_t>(model.NumFactors()), 0),
      held_(static_cast<size_t>(model.LevelWords()), 0),
      row_(static_cast<size_t>(model.NumFactors()), 0),
      solver_(std::make_unique<CaDiCaL::Solver>()),
      witness_(static_cast<size_t>(model.NumEntries()), 0)
{
    solver_->set("quiet", 1);  // nothing of the solver reaches the program's output
    const std::vector<int32_t>& offset = model.LevelOffset();
    for (int32_t f = 0; f < model.NumFactors(); ++f) {
        for (int32_t entry = offset[f]; entry < offset[f + 1]; ++entry)
            solver_->add(entry + 1);
        solver_->add(0);
    }
    for (const auto& [a, b] : model.ExcludedPairs()) {
        solver_->add(-(a + 1));
        solver_->add(-(b + 1));
        solver_->add(0);
    }
    for (int32_t entry = 0; entry < model.NumEntries(); ++entry)
        if (model.Unusable(entry)) {
            solver_->add(-(entry + 1));
            solver_->add(0);
        }
    for (const int32_t literal : model.WideClauses().literals)
        solver_->add(literal);
    for (int32_t f = 0; f < model.NumFactors(); ++f)
        oneLevel_[static_cast<size_t>(f)] = model.ReadByWideRule(f) ? 1 : 0;
}

ConstraintSolver::~ConstraintSolver() = default;

bool ConstraintSolver::Feasible(const int32_t* entries, int32_t count)
{
    if (haveWitness_) {
        int32_t i = 0;
        while (i < count && witness_[static_cast<size_t>(entries[i])])
            ++i;
        if (i == count)
            return true;
    }
    if (const Quick quick = QuickLook(entries, count); quick != Quick::Unknown)
        return quick == Quick::Feasible;
    ++calls_;
    for (int32_t i = 0; i < count; ++i)
        solver_->assume(entries[i] + 1);
    if (solver_->solve() != 10)
        return false;
    for (size_t entry = 0; entry < witness_.size(); ++entry)
        witness_[entry] = solver_->val(static_cast<int>(entry) + 1) > 0 ? 1 : 0;
    haveWitness_ = true;
    return true;
}

bool ConstraintSolver::Fits(int32_t entry) const
{
    if (model_.Unusable(entry))
        return false;
    const uint64_t* excluded = model_.ExcludedWith(entry);
    for (int32_t w = 0; w < model_.LevelWords(); ++w)
        if (excluded[w] & held_[static_cast<size_t>(w)])
            return false;
    return true;
}

ConstraintSolver::Quick ConstraintSolver::QuickLook(const int32_t* entries, int32_t count)
{
    std::fill(held_.begin(), held_.end(), uint64_t{0});
    for (int32_t i = 0; i < count; ++i) {
        if (!Fits(entries[i]))
            return Quick::Infeasible;
        Hold(entries[i]);
    }
    // A factor that every one of its levels excludes with the given ones.
    const std::vector<int32_t>& offset = model_.LevelOffset();
    const int32_t factors = model_.NumFactors();
    for (int32_t f = 0; f < factors; ++f) {
        bool any = false;
        for (int32_t e = offset[f]; e < offset[f + 1] && !any; ++e)
            any = IsHeld(e) || Fits(e);
        if (!any)
            return Quick::Infeasible;
    }
    if (!FirstFitCompletion())
        return Quick::Unknown;
    // Where no wide rule reads a factor, every further level that forms no excluded pair with
    // the levels held: a witness as large as the solver's.
    for (int32_t e = 0; e < offset[factors]; ++e)
        if (!IsHeld(e) && !oneLevel_[static_cast<size_t>(model_.LevelFactor()[static_cast<size_t>(e)])] && Fits(e))
            Hold(e);
    for (int32_t e = 0; e < offset[factors]; ++e)
        witness_[static_cast<size_t>(e)] = IsHeld(e) ? 1 : 0;
    haveWitness_ = true;
    return Quick::Feasible;
}

bool ConstraintSolver::FirstFitCompletion()
{
    // For every factor the given level, or the first that forms no excluded pair with the
    // levels held so far; the row must then keep the wide rules.
    const std::vector<int32_t>& offset = model_.LevelOffset();
    for (int32_t f = 0; f < model_.NumFactors(); ++f) {
        int32_t level = -1;
        for (int32_t e = offset[f]; e < offset[f + 1] && level < 0; ++e)
            if (IsHeld(e))
                level = e - offset[f];
        for (int32_t e = offset[f]; e < offset[f + 1] && level < 0; ++e)
            if (Fits(e)) {
                Hold(e);
                level = e - offset[f];
            }
        if (level < 0)
            return false;
        row_[static_cast<size_t>(f)] = level;
    }
    return !model_.HasWideRules() || !model_.BreaksAnyWideRule(row_.data());
}
