#include "engine/ConstraintSolver.h"

#include <cadical.hpp>

#include <algorithm>

ConstraintSolver::ConstraintSolver(const std::vector<int32_t>& levelOffset,
                                   const std::vector<std::pair<int32_t, int32_t>>& excluded)
    : levelOffset_(levelOffset),
      words_((levelOffset.back() + 63) / 64),
      excluded_(static_cast<size_t>(levelOffset.back()) * words_, 0),
      held_(static_cast<size_t>(words_), 0),
      solver_(std::make_unique<CaDiCaL::Solver>()),
      witness_(static_cast<size_t>(levelOffset.back()), 0)
{
    for (size_t f = 0; f + 1 < levelOffset.size(); ++f) {
        for (int32_t entry = levelOffset[f]; entry < levelOffset[f + 1]; ++entry)
            solver_->add(entry + 1);
        solver_->add(0);
    }
    for (const auto& [a, b] : excluded) {
        excluded_[static_cast<size_t>(a) * words_ + (b >> 6)] |= uint64_t{1} << (b & 63);
        excluded_[static_cast<size_t>(b) * words_ + (a >> 6)] |= uint64_t{1} << (a & 63);
        solver_->add(-(a + 1));
        solver_->add(-(b + 1));
        solver_->add(0);
    }
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

ConstraintSolver::Quick ConstraintSolver::QuickLook(const int32_t* entries, int32_t count)
{
    std::fill(held_.begin(), held_.end(), uint64_t{0});
    auto fits = [&](int32_t entry) {
        const uint64_t* excluded = &excluded_[static_cast<size_t>(entry) * words_];
        for (int32_t w = 0; w < words_; ++w)
            if (excluded[w] & held_[static_cast<size_t>(w)])
                return false;
        return true;
    };
    auto hold = [&](int32_t entry) { held_[static_cast<size_t>(entry >> 6)] |= uint64_t{1} << (entry & 63); };
    auto isHeld = [&](int32_t entry) { return (held_[static_cast<size_t>(entry >> 6)] >> (entry & 63)) & 1; };
    for (int32_t i = 0; i < count; ++i) {
        if (!fits(entries[i]))
            return Quick::Infeasible;
        hold(entries[i]);
    }
    // A factor that every one of its levels excludes with the given ones.
    const auto factors = static_cast<int32_t>(levelOffset_.size()) - 1;
    for (int32_t f = 0; f < factors; ++f) {
        bool any = false;
        for (int32_t e = levelOffset_[f]; e < levelOffset_[f + 1] && !any; ++e)
            any = isHeld(e) || fits(e);
        if (!any)
            return Quick::Infeasible;
    }
    // Then for every factor the first level that forms no excluded pair with the levels held
    // so far, then every further level that forms none either: a witness as large as the
    // solver's, found without it when the constraints leave room.
    for (int32_t f = 0; f < factors; ++f) {
        bool any = false;
        for (int32_t e = levelOffset_[f]; e < levelOffset_[f + 1] && !any; ++e)
            any = isHeld(e);
        for (int32_t e = levelOffset_[f]; e < levelOffset_[f + 1] && !any; ++e)
            if (fits(e)) {
                hold(e);
                any = true;
            }
        if (!any)
            return Quick::Unknown;
    }
    for (int32_t e = 0; e < levelOffset_.back(); ++e)
        if (!isHeld(e) && fits(e))
            hold(e);
    for (int32_t e = 0; e < levelOffset_.back(); ++e)
        witness_[static_cast<size_t>(e)] = isHeld(e) ? 1 : 0;
    haveWitness_ = true;
    return Quick::Feasible;
}
