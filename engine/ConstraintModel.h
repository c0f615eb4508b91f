#pragma once
// Everything a design's constraints say, compiled once per command: which rows are valid, and
// what no valid row holds. Every command asks this model: generation at every strength and
// its compaction, all combinations, validate, find and coverage.
//
// A row is valid when it holds no pair a Constraints row excludes ("if A = x then B can't be
// y"), keeps every rule of the rules text and holds at most one invalid level (a negative
// test tries one at a time). The rules text also holds the design's groups of factors. The rules become what the search can use fast:
// a rule over one factor forbids levels, a rule over two factors excludes pairs, as a
// Constraints row does; only rules over three or more factors ("wide" rules) stay rules, read
// by the search as it fixes levels and by the constraint solver as clauses. The solver is told
// few excluded pairs one by one; a two-factor rule that excludes more pairs than its factors
// have levels ([A] = [B]) and the invalid levels are stated whole, in clauses that grow with
// the levels, not with their pairs.
//
// Level entries number the levels of all factors one after the other (levelOffset[f] + l,
// both 0-based); row codes below are 0-based too, -1 for a factor not yet fixed.
//
// Built once and then only read: the evolutions of all threads share one model.

#include "engine/DesignTables.h"
#include "engine/ImpliedExclusions.h"
#include "engine/LevelExclusions.h"
#include "engine/RuleClauses.h"
#include "engine/RuleError.h"
#include "engine/RuleProgram.h"

#include <array>
#include <cstdint>
#include <memory>
#include <utility>
#include <vector>

class ConstraintModel;

// A compiled model, or why the design's constraints could not be compiled.
struct ConstraintCompile {
    enum class Problem {
        None,
        RowFactors,  // a Constraints row names no factor of the design, or the same factor twice
        RowLevels,   // a Constraints row names no level of its factor
        Rules,       // the rules text does not check
    };
    std::shared_ptr<const ConstraintModel> model;  // empty unless problem is None
    Problem problem = Problem::None;
    int32_t row = 0;  // RowFactors, RowLevels: the Constraints row, 1-based
    RuleError ruleError;
};

class ConstraintModel {
public:
    // Compiles the design's Constraints rows and rules text and finds what they exclude
    // together.
    static ConstraintCompile Compile(const DesignTables& design);
    // Only whether the rules text checks against the design's factors: fast, for an editor.
    static bool CheckRules(const DesignTables& design, RuleError& error);
    // A model of Constraints rows given as codes (1-based: if factor, if level, then factor,
    // then level), without rules.
    static std::shared_ptr<const ConstraintModel> FromRowCodes(const std::vector<int32_t>& levels,
                                                               const std::vector<std::array<int32_t, 4>>& rows);

    // The design's layout.
    int32_t NumFactors() const { return static_cast<int32_t>(levels_.size()); }
    const std::vector<int32_t>& Levels() const { return levels_; }
    const std::vector<int32_t>& LevelOffset() const { return levelOffset_; }
    const std::vector<int32_t>& LevelFactor() const { return levelFactor_; }
    int32_t NumEntries() const { return levelOffset_.back(); }

    // What the tester stated.
    int32_t NumConstraintRows() const { return static_cast<int32_t>(rowCodes_.size()); }
    // Each Constraints row as codes, 1-based: if factor, if level, then factor, then level.
    const std::vector<std::array<int32_t, 4>>& RowCodes() const { return rowCodes_; }
    int32_t NumRules() const { return static_cast<int32_t>(program_.Rules().size()); }
    const RuleProgram& Program() const { return program_; }
    const std::vector<CompiledGroup>& Groups() const { return program_.Groups(); }
    // Anything a row must keep: then the search needs the solver.
    bool HasConstraints() const { return !rowCodes_.empty() || NumRules() > 0 || anyInvalid_; }

    // Requirements beyond the design's strength: groups, invalid levels. They take the search
    // that covers several kinds of combinations at once.
    bool HasMixedRequirements() const { return !Groups().empty() || anyInvalid_; }
    // Levels marked invalid. Two of them never stand in one row.
    bool HasInvalidLevels() const { return anyInvalid_; }
    bool Invalid(int32_t entry) const { return exclusions_.Invalid(entry); }

    // A valid row holds no excluded pair (one a Constraints row or a two-factor rule names, one
    // the constraints imply, one of a level no valid row holds, two invalid levels) and keeps
    // every wide rule.
    bool AnyValidRow() const { return implied_.anyValidRow; }
    const ImpliedExclusions& Implied() const { return implied_; }
    bool AnyExcluded() const { return exclusions_.Any(); }
    bool Excluded(int32_t entry, int32_t other) const { return exclusions_.Excluded(entry, other); }
    // Whether the entry forms an excluded pair with any entry of the set, LevelWords() words
    // over all entries.
    bool ExcludesAnyOf(int32_t entry, const uint64_t* set) const { return exclusions_.ExcludesAnyOf(entry, set); }
    const LevelExclusions& Exclusions() const { return exclusions_; }
    int32_t LevelWords() const { return exclusions_.Words(); }
    // The excluded pairs the solver is told one by one, as level entries: those the Constraints
    // rows name, those of the two-factor rules that exclude few, the implied ones.
    const std::vector<std::pair<int32_t, int32_t>>& ListedPairs() const { return listedPairs_; }
    // A level that no valid row holds: a rule over its factor alone forbids it (it is
    // Forbidden), or the constraints together exclude it (one of Implied().deadLevels).
    bool Unusable(int32_t entry) const { return unusable_[static_cast<size_t>(entry)] != 0; }
    bool Forbidden(int32_t entry) const { return forbidden_[static_cast<size_t>(entry)] != 0; }

    // Wide rules: those over three or more factors.
    bool HasWideRules() const { return !wide_.empty(); }
    int32_t NumWideRulesOf(int32_t f) const { return wideOfFirst_[static_cast<size_t>(f) + 1] - wideOfFirst_[static_cast<size_t>(f)]; }
    bool ReadByWideRule(int32_t f) const { return NumWideRulesOf(f) > 0; }
    // A wide rule of factor f that the row breaks, reading the factors fixed so far (true only
    // when one is false however the open factors are set); with `level` >= 0, as if f were
    // at that level.
    bool BreaksWideRule(const int32_t* row, int32_t f, int32_t level = -1) const
    {
        for (int32_t k = wideOfFirst_[static_cast<size_t>(f)]; k < wideOfFirst_[static_cast<size_t>(f) + 1]; ++k)
            if (program_.Evaluate(program_.Rules()[static_cast<size_t>(wideOf_[static_cast<size_t>(k)])], row,
                                  level >= 0 ? f : -1, level) == RuleProgram::Truth::False)
                return true;
        return false;
    }
    // Whether the open factor g of the row has a level left: usable, forming no excluded pair
    // with the levels of the set `fixed` (over all entries; may be null), breaking no wide rule
    // of g on the levels fixed. The row is changed only while it looks.
    bool RoomFor(int32_t* row, int32_t g, const uint64_t* fixed) const;
    // With row[f] just fixed: whether every wide rule of f can still hold. None may be false,
    // and one that leaves a single factor open must leave it room; such factors are appended
    // to lone (when given, with room for every wide rule of f). One step ahead of the search,
    // so that a row seldom runs into a factor that no level fits.
    // open (may be null): per rule, its factors still open before f was fixed; a rule whose
    // every clause reads every factor is passed over while two or more stay open, as it can be
    // neither false nor leave a factor alone open.
    bool WideRulesLeaveRoom(int32_t* row, int32_t f, const uint64_t* fixed, int32_t* lone = nullptr,
                            int32_t* numLone = nullptr, const int32_t* open = nullptr) const;
    // The wide rules of f, by their number in the program (0-based), and each one's factors.
    const int32_t* WideRulesOf(int32_t f) const { return &wideOf_[static_cast<size_t>(wideOfFirst_[static_cast<size_t>(f)])]; }
    int32_t NumFactorsOf(int32_t rule) const { return static_cast<int32_t>(program_.Rules()[static_cast<size_t>(rule)].factors.size()); }
    // The open factors that fixing a level may take room from, as a set over the factors: those
    // it excludes a level of, and those a wide rule reads with its factor.
    const uint64_t* CorneredBy(int32_t entry) const { return &cornering_[static_cast<size_t>(entry) * factorWords_]; }
    // A complete row that breaks a wide rule.
    bool BreaksAnyWideRule(const int32_t* row) const;
    // A wide rule that reads both factors f and g and that the row breaks.
    bool BreaksWideRuleOver(const int32_t* row, int32_t f, int32_t g) const;
    // The rules the solver reads as clauses: the wide ones and the two-factor ones that exclude
    // more pairs than their factors have levels (stated whole, their size grows with the levels).
    const RuleClauses& EncodedRules() const { return encodedRules_; }
    // At most one invalid level in a row, as clauses over the level variables (entry + 1) with a
    // ladder of variables from firstFree on; none while validSelector is true.
    RuleClauses InvalidLevelClauses(int32_t validSelector, int32_t firstFree) const;

    // Constraints rows and rules, by number (1-based), in order.
    struct Statements {
        std::vector<int32_t> constraintRows;
        std::vector<int32_t> rules;
        bool Any() const { return !constraintRows.empty() || !rules.empty(); }
    };
    // Whether a complete row keeps every Constraints row and every rule.
    bool RowIsValid(const int32_t* row) const;
    // What a complete row breaks.
    Statements BrokenBy(const int32_t* row) const;
    // The Constraints rows and the rules over one or two factors that exclude the pair of
    // entries a and b (of two factors) themselves.
    Statements Naming(int32_t a, int32_t b) const;
    // Whether a Constraints row or a rule over one or two factors excludes the pair itself.
    bool NamesPair(int32_t a, int32_t b) const;
    // The line of a rule in the rules text.
    int32_t RuleLine(int32_t rule) const;

private:
    ConstraintModel() = default;
    void Layout(const std::vector<int32_t>& levels);
    bool ResolveRows(const DesignTables& design, ConstraintCompile& result);
    void MarkInvalidLevels(const DesignTables& design);
    void ExcludeRowPairs();
    void SplitRules();
    bool ExcludePairsOf(const CompiledRule& rule, std::vector<int32_t>& row);
    void FindImplied();
    void FindCornering();

    std::vector<int32_t> levels_;
    std::vector<int32_t> levelOffset_;
    std::vector<int32_t> levelFactor_;
    std::vector<std::array<int32_t, 4>> rowCodes_;
    RuleProgram program_;

    // Rules over one and two factors as what they exclude; the wide ones, and per factor the
    // wide ones that read it (wideOf_ from wideOfFirst_[f] to wideOfFirst_[f + 1]).
    std::vector<uint8_t> forbidden_;          // per entry: a one-factor rule forbids it
    bool anyInvalid_ = false;
    std::vector<int32_t> wide_;
    std::vector<int32_t> wideOf_;
    std::vector<int32_t> wideOfFirst_;
    int32_t factorWords_ = 0;
    std::vector<uint64_t> cornering_;  // with wide rules, per level: the factors CorneredBy names
    RuleClauses encodedRules_;

    ImpliedExclusions implied_;
    LevelExclusions exclusions_;
    std::vector<std::pair<int32_t, int32_t>> listedPairs_;
    std::vector<uint8_t> unusable_;
};
