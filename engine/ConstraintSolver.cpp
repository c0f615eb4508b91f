#include "engine/ConstraintSolver.h"

#include "engine/ConstraintModel.h"

#include <cadical.hpp>

#include <algorithm>

ConstraintSolver::ConstraintSolver(const ConstraintModel& model)
    : model_(model),
      oneLevel_(static_cast<size_t>(model.NumFactors()), 0),
      held_(static_cast<size_t>(model.LevelWords()), 0),
      blocked_(static_cast<size_t>(model.LevelWords()), 0),
      row_(static_cast<size_t>(model.NumFactors()), 0),
      solver_(std::make_unique<CaDiCaL::Solver>()),
      witness_(static_cast<size_t>(model.LevelWords()), 0),
      witnessRow_(static_cast<size_t>(model.NumFactors()), 0)
{
    solver_->set("quiet", 1);  // nothing of the solver reaches the program's output
    const std::vector<int32_t>& offset = model.LevelOffset();
    for (int32_t f = 0; f < model.NumFactors(); ++f) {
        for (int32_t entry = offset[f]; entry < offset[f + 1]; ++entry)
            solver_->add(entry + 1);
        solver_->add(0);
    }
    for (const auto& [a, b] : model.ListedPairs()) {
        solver_->add(-(a + 1));
        solver_->add(-(b + 1));
        solver_->add(0);
    }
    for (int32_t entry = 0; entry < model.NumEntries(); ++entry)
        if (model.Unusable(entry)) {
            solver_->add(-(entry + 1));
            solver_->add(0);
        }
    for (const int32_t literal : model.EncodedRules().literals)
        solver_->add(literal);
    for (int32_t f = 0; f < model.NumFactors(); ++f)
        oneLevel_[static_cast<size_t>(f)] = model.ReadByWideRule(f) ? 1 : 0;
    if (model.HasInvalidLevels()) {
        validSelector_ = model.EncodedRules().numVariables + 1;
        for (const int32_t literal : model.InvalidLevelClauses(validSelector_, validSelector_ + 1).literals)
            solver_->add(literal);
    }
}

ConstraintSolver::~ConstraintSolver() = default;

bool ConstraintSolver::Feasible(const int32_t* entries, int32_t count, bool validOnly)
{
    validOnly_ = validOnly && validSelector_ != 0;
    if (WitnessAnswers(entries, count))
        return true;
    if (const Quick quick = QuickLook(entries, count); quick != Quick::Unknown)
        return quick == Quick::Feasible;
    ++calls_;
    for (int32_t i = 0; i < count; ++i)
        solver_->assume(entries[i] + 1);
    if (validOnly_)
        solver_->assume(validSelector_);
    if (solver_->solve() != 10)
        return false;
    std::fill(held_.begin(), held_.end(), uint64_t{0});
    for (int32_t entry = 0; entry < model_.NumEntries(); ++entry)
        if (solver_->val(entry + 1) > 0)
            held_[static_cast<size_t>(entry >> 6)] |= uint64_t{1} << (entry & 63);
    SetWitnessFromHeld();
    return true;
}

bool ConstraintSolver::WitnessAnswers(const int32_t* entries, int32_t count)
{
    // The witness holds them all, or all but one that it can take; for a valid row only, its
    // every factor must keep a valid level.
    if (!haveWitness_ || (validOnly_ && !witnessValid_))
        return false;
    int32_t missing = -1;
    for (int32_t i = 0; i < count && missing != -2; ++i)
        if (!Holds(entries[i]))
            missing = missing == -1 ? entries[i] : -2;
    return missing == -1 || (missing >= 0 && WitnessTakes(missing));
}

void ConstraintSolver::SetWitnessFromHeld()
{
    std::copy(held_.begin(), held_.end(), witness_.begin());
    const std::vector<int32_t>& offset = model_.LevelOffset();
    witnessValid_ = true;
    for (int32_t f = 0; f < model_.NumFactors(); ++f) {
        int32_t e = offset[f];
        while (e + 1 < offset[f + 1] && !Holds(e))
            ++e;
        // A valid held level first, so that the row it stands for is one without invalid levels.
        int32_t valid = e;
        while (valid < offset[f + 1] && (!Holds(valid) || model_.Invalid(valid)))
            ++valid;
        if (valid < offset[f + 1])
            e = valid;
        else
            witnessValid_ = false;
        witnessRow_[static_cast<size_t>(f)] = e - offset[f];
    }
    haveWitness_ = true;
}

bool ConstraintSolver::WitnessTakes(int32_t entry)
{
    // The entry in place of its factor's levels: it must form no excluded pair with any level
    // the witness holds (of other factors; no pair is excluded within a factor) and keep the
    // wide rules of its factor on the witness's row.
    if (model_.Unusable(entry) || (validOnly_ && model_.Invalid(entry)) || model_.ExcludesAnyOf(entry, witness_.data()))
        return false;
    const int32_t f = model_.LevelFactor()[static_cast<size_t>(entry)];
    const int32_t first = model_.LevelOffset()[static_cast<size_t>(f)];
    if (oneLevel_[static_cast<size_t>(f)] && model_.BreaksWideRule(witnessRow_.data(), f, entry - first))
        return false;
    for (int32_t e = first; e < model_.LevelOffset()[static_cast<size_t>(f) + 1]; ++e)
        witness_[static_cast<size_t>(e >> 6)] &= ~(uint64_t{1} << (e & 63));
    witness_[static_cast<size_t>(entry >> 6)] |= uint64_t{1} << (entry & 63);
    witnessRow_[static_cast<size_t>(f)] = entry - first;
    witnessValid_ = witnessValid_ && !model_.Invalid(entry);
    return true;
}

bool ConstraintSolver::Fits(int32_t entry) const
{
    return !model_.Unusable(entry) && !(validOnly_ && model_.Invalid(entry)) &&
           !((blocked_[static_cast<size_t>(entry >> 6)] >> (entry & 63)) & 1);
}

void ConstraintSolver::Hold(int32_t entry)
{
    held_[static_cast<size_t>(entry >> 6)] |= uint64_t{1} << (entry & 63);
    const LevelExclusions& exclusions = model_.Exclusions();
    const auto block = [&](int32_t w, uint64_t bits) { blocked_[static_cast<size_t>(w)] |= bits; };
    if (exclusions.Unusable(entry)) {
        exclusions.ForEachWord(entry, block);
        return;
    }
    exclusions.ForEachListedWord(entry, block);
    // A class is blocked but for the factor of the first held level that excludes it; a
    // second factor's level blocks all of it.
    const int32_t f = exclusions.FactorOf(entry);
    const auto blockClass = [&](int32_t& blockedBut, bool unusable) {
        if (blockedBut == kWholeClass || blockedBut == f)
            return;
        const int32_t except = blockedBut == kNoClass ? f : -1;
        if (unusable)
            exclusions.ForEachUnusableWord(except, block);
        else
            exclusions.ForEachInvalidWord(except, block);
        blockedBut = except < 0 ? kWholeClass : f;
    };
    if (exclusions.AnyUnusable())
        blockClass(unusableBlockedBut_, true);
    if (exclusions.Invalid(entry))
        blockClass(invalidBlockedBut_, false);
}

void ConstraintSolver::ClearHeld()
{
    std::fill(held_.begin(), held_.end(), uint64_t{0});
    std::fill(blocked_.begin(), blocked_.end(), uint64_t{0});
    unusableBlockedBut_ = invalidBlockedBut_ = kNoClass;
}

ConstraintSolver::Quick ConstraintSolver::QuickLook(const int32_t* entries, int32_t count)
{
    ClearHeld();
    for (int32_t i = 0; i < count; ++i) {
        if (!Fits(entries[i]))
            return Quick::Infeasible;
        Hold(entries[i]);
    }
    // A wide rule that the given levels break, or that leaves a factor no room.
    if (model_.HasWideRules()) {
        std::fill(row_.begin(), row_.end(), -1);
        for (int32_t i = 0; i < count; ++i) {
            const int32_t f = model_.LevelFactor()[static_cast<size_t>(entries[i])];
            row_[static_cast<size_t>(f)] = entries[i] - model_.LevelOffset()[static_cast<size_t>(f)];
        }
        for (int32_t i = 0; i < count; ++i)
            if (!model_.WideRulesLeaveRoom(row_.data(), model_.LevelFactor()[static_cast<size_t>(entries[i])], held_.data()))
                return Quick::Infeasible;
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
    SetWitnessFromHeld();
    return Quick::Feasible;
}

bool ConstraintSolver::FirstFitCompletion()
{
    // For every factor the given level, or the first that forms no excluded pair with the
    // levels held so far, a level of the last witness first (a valid row, so the completion
    // stays near one); the row must then keep the wide rules.
    const std::vector<int32_t>& offset = model_.LevelOffset();
    for (int32_t f = 0; f < model_.NumFactors(); ++f) {
        int32_t level = -1;
        for (int32_t e = offset[f]; e < offset[f + 1] && level < 0; ++e)
            if (IsHeld(e))
                level = e - offset[f];
        for (int pass = haveWitness_ ? 0 : 1; pass < 2 && level < 0; ++pass)
            for (int32_t e = offset[f]; e < offset[f + 1] && level < 0; ++e)
                if ((pass == 1 || Holds(e)) && Fits(e)) {
                    Hold(e);
                    level = e - offset[f];
                }
        if (level < 0)
            return false;
        row_[static_cast<size_t>(f)] = level;
    }
    return !model_.HasWideRules() || !model_.BreaksAnyWideRule(row_.data());
}
