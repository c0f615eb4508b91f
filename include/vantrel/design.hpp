#pragma once
// A model checked and compiled once, and what can be asked of it: a suite of test cases that
// covers every combination a valid test case can hold, what a suite covers, and why some
// levels cannot stand together in one test case.
//
//     vantrel::Result<vantrel::Design> design = vantrel::Design::Compile(model);
//     if (!design) ... design.error().message ...
//     vantrel::Options options;
//     options.seed = 1;
//     vantrel::Result<vantrel::Suite> suite = design->Generate(options);

#include <vantrel/export.hpp>
#include <vantrel/model.hpp>
#include <vantrel/result.hpp>

#include <cstdint>
#include <exception>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace vantrel {

struct Options {
    int strength = 2;                // every combination of the levels of every `strength` factors, 2 to 6
    std::optional<uint64_t> seed;    // of the random draws; none: from the clock
    std::optional<int> evolutions;   // searches to keep the best of; none: the design's default
    int pairEvolutions = 1000;       // the evolutions of a pairwise search, which the default scales from
    double timeLimit = 0;            // seconds for the whole generation, compaction included; 0: none
    double compactSeconds = 0;       // then remove test cases while everything stays covered, so long
    int64_t compactMoves = 0;        // ... or for so many moves (a seed repeats them); 0: none
    // One compaction per entry, at once, each for its own moves: a suite's searchMoves repeat
    // the compactions a time limit ended on several threads. Empty: one per thread.
    std::vector<int64_t> searchMoves;
    unsigned threads = 0;            // searches at once; 0: every core
};

struct Progress {
    enum class Phase { Evolutions, Compaction };
    Phase phase = Phase::Evolutions;
    double fraction = 0;      // of the running evolution, or of the compaction's budget
    int evolutionsDone = -1;  // -1: unchanged since the last call
    int evolutionsTotal = 0;
    int bestRows = -1;        // test cases of the best suite so far, previous tests included; -1: unchanged
};
// Called on the generating thread as the search goes; answering false stops it, and the best
// suite found so far is the result.
using ProgressCallback = std::function<bool(const Progress&)>;

struct Suite {
    std::vector<std::string> factors;
    std::vector<Row> rows;  // the seeds first, then the generated test cases, levels as test cases show them
    uint64_t seed = 0;      // the seed used
    bool converged = true;  // every combination a valid test case can hold is covered
    bool stopped = false;   // the progress callback stopped the search
    bool timeUp = false;    // the time limit ended the evolutions or the compaction
    bool compactionTimeUp = false;  // ... the compaction
    int evolutionsTotal = 0;
    int evolutionsRun = 0;
    bool evolutionCut = false;  // the time limit hurried an evolution: only the same limit repeats the suite
    bool builtAtOnce = false;   // a suite made at once under the time limit took the evolutions' place (as above)
    int compactedFrom = 0;      // test cases before compaction, seeds included (0: none ran)
    int compactedTo = 0;
    int64_t compactionMoves = 0;
    unsigned compactionsRun = 0;  // compactions at once (one per thread)
    std::vector<int64_t> searchMoves;  // the moves of each of them
};

// A level of a factor, both 0-based.
struct LevelRef {
    int factor = 0;
    int level = 0;
};

// Constraints rows by number and rules by their line, both 1-based; a rule's line counts from
// the model's rulesFirstLine, so that it is the line of the text the model came from.
struct Statements {
    std::vector<int> constraintRows;
    std::vector<int> ruleLines;
    bool Any() const { return !constraintRows.empty() || !ruleLines.empty(); }
};

// Why some levels cannot stand together in a valid test case.
struct VANTREL_API Reason {
    enum class Kind {
        CanOccur,          // they can: `example` is a valid test case holding them
        SameFactor,        // two levels of one factor
        TwoInvalidLevels,  // two invalid levels never share a test case
        Statements,        // these Constraints rows and rules forbid them together
        InvalidLevels,     // they need a further invalid level (or one, where none may stand)
    };
    Kind kind = Kind::CanOccur;
    Statements statements;    // the smallest set found: none can be left out
    std::vector<int> example; // CanOccur: a level (0-based) of each factor
    std::string phrase;       // "the rule on line 11", "two invalid levels never share a test case"
    bool CanOccur() const { return kind == Kind::CanOccur; }
    // "<what> cannot occur: the rule on line 11." or, where no statement is to blame,
    // "<what> cannot occur. Two invalid levels never share a test case."; "<what> can occur."
    std::string Sentence(const std::string& what) const;
};

// The highest strength a suite can be asked for.
inline constexpr int kMaxStrength = 6;

struct CoverageQuestion {
    int strength = 2;
    bool list = false;         // list the missing and excluded combinations
    bool factorPairs = false;  // count each two factors' combinations
};

struct Requirement {
    enum class Kind { Strength, InvalidPairs, Group };
    Kind kind = Kind::Strength;
    int strength = 2;
    std::vector<int> factors;  // 0-based
    std::string name;          // "2-way", "invalid-level pairs", "Group { [A], [B] } @ 3"
    int64_t required = 0;      // combinations a valid test case can hold
    int64_t covered = 0;
    int64_t excluded = 0;      // combinations no valid test case can hold
    int64_t coveredByPrevious = 0;
    std::vector<int64_t> growth;  // covered after each row of the suite
    int64_t Missing() const { return required - covered; }
};

struct Combination {
    int requirement = 0;
    std::vector<LevelRef> levels;
};

// A previous test or a row of the suite that covers nothing.
struct ProblemRow {
    bool previous = false;
    int row = 0;             // 0-based among the previous tests or the suite's rows
    int unknownFactor = -1;  // >= 0: the first factor whose cell names no level
    int invalidLevels = 0;
    Statements broken;
    std::string problem;     // "breaks the rule on line 11", "holds a name that is no level of OS"
};

struct VANTREL_API Coverage {
    std::vector<Requirement> requirements;  // the strength, then invalid-level pairs, then groups
    std::vector<Combination> missing;       // when listed
    std::vector<Combination> excluded;      // when listed
    std::vector<ProblemRow> problems;
    int64_t suiteRows = 0;
    struct Counts {
        int64_t required = 0;
        int64_t covered = 0;
    };
    std::vector<Counts> factorPairs;  // when asked, at FactorPair(i, j), i < j

    static size_t FactorPair(int i, int j) { return size_t(j) * size_t(j - 1) / 2 + size_t(i); }
    int64_t Required() const;
    int64_t Covered() const;
    int64_t Excluded() const;
    int64_t Missing() const { return Required() - Covered(); }
    bool AnySuiteProblem() const;    // a row of the suite covers nothing
    bool AnySuiteViolation() const;  // a row of the suite breaks a constraint
    // Every required combination covered and every row of the suite sound.
    bool Complete() const { return Missing() == 0 && !AnySuiteProblem(); }
    // "A total of 183 combinations out of 183 were found in the constraints, previous test, and
    // the test case matrix." with what else is to be said; `where` names what lists the gaps.
    std::string Summary(const std::string& where) const;
    // A line for each kind apart, when there is more than one: "12 of 12 valid pairs",
    // "8 of 8 invalid-level pairs", "Group { [A], [B], [C] } @ 3: 27 of 27 triples".
    std::vector<std::string> ByKind() const;
};

// Every combination of the levels of all factors, in odometer order (the last factor's level
// changes fastest), each marked when it breaks a constraint or a previous test ran it.
class VANTREL_API Listing {
public:
    int64_t Rows() const;
    int Factors() const;
    int LevelCount(int factor) const;
    int Level(int64_t row, int factor) const;  // 0-based
    bool Removed(int64_t row) const;
    // The level as test cases show it ("~" before an invalid one).
    const std::string& Shown(int factor, int level) const;

    struct Impl;
    explicit Listing(std::shared_ptr<const Impl> impl) : impl_(std::move(impl)) {}

private:
    std::shared_ptr<const Impl> impl_;
};

struct ListingOptions {
    uint64_t bytesPerShownCell = 0;       // what showing a cell costs, counted against the memory
    std::string thousandsSeparator = ",";  // in the question's numbers
};

// What the constraints exclude together beyond what they name: levels and pairs of levels no
// valid test case holds.
struct ExcludedTogether {
    std::vector<LevelRef> levels;
    std::vector<std::pair<LevelRef, LevelRef>> pairs;
};

class VANTREL_API Design {
public:
    // Whether the model's rules text checks against its factors and levels, before anything
    // else of the model is checked: for an editor, as the text is typed.
    static Result<void> CheckRules(const Model& model);

    // Checks the model (names, Constraints rows, the rules, the previous tests and the seeds'
    // names) and compiles its constraints once.
    static Result<Design> Compile(Model model);

    const Model& model() const;
    // The rules and the groups of the rules text.
    int NumRules() const;
    int NumGroups() const;
    // Some test case keeps every constraint.
    bool AnyValidTestCase() const;
    // Why no test case keeps every constraint: "No test case can satisfy every constraint:
    // the rules on lines 2 and 5 together."
    std::string WhyNoValidTestCase() const;

    // The evolutions a generation runs by default at this strength, given the number for a
    // pairwise search.
    int DefaultEvolutions(int strength, int pairEvolutions = 1000) const;
    // workerError: an error that ended one evolution on another thread, handed over on the
    // generating thread (the search goes on without that evolution); by default dropped.
    Result<Suite> Generate(const Options& options, const ProgressCallback& progress = {},
                           const std::function<void(std::exception_ptr)>& workerError = {}) const;

    // What the rows cover, after the model's previous tests.
    Coverage CoverageOf(const std::vector<Row>& suite, const CoverageQuestion& question) const;
    // Whether the levels can stand together in a valid test case; validOnly: in one without
    // an invalid level.
    Reason Explain(const std::vector<LevelRef>& levels, bool validOnly = false) const;
    // What is wrong with a row (a level per factor, as test cases show them): "" for a
    // complete, valid one; else "breaks Constraints row 2 and the rule on line 11", "holds 2
    // invalid levels" or "holds a name that is no level of [OS]".
    std::string RowProblem(const Row& row) const;
    // The Constraints rows and the rules over the two levels' own factors that exclude them.
    Statements Naming(LevelRef a, LevelRef b) const;
    ExcludedTogether Excluded() const;
    // Every combination of levels. confirm(question, helpTopic) is asked before a listing of
    // more than 1,000 combinations; progress(step, fraction) (steps 1 listing, 2 constraints,
    // 3 previous tests) answers false to cancel. Declined or cancelled: an error of kind Declined.
    Result<Listing> AllCombinations(const ListingOptions& options,
                                    const std::function<bool(const std::string& question, int helpTopic)>& confirm,
                                    const std::function<bool(int step, double fraction)>& progress = {}) const;

    // The level a cell names in factor f: plain name, other name, or "~" and an invalid level's
    // name; -1 for none.
    int LevelOf(int factor, const std::string& text) const;
    // A level as test cases show it ("~" before an invalid one).
    std::string Shown(LevelRef level) const;
    bool Invalid(LevelRef level) const;
    // A rule that reads both factors f and g and that the complete row (a level of each
    // factor, 0-based) breaks.
    bool BreaksRuleOver(const std::vector<int>& row, int f, int g) const;

    struct Impl;

private:
    explicit Design(std::shared_ptr<const Impl> impl) : impl_(std::move(impl)) {}
    std::shared_ptr<const Impl> impl_;
};

}  // namespace vantrel
