#pragma once
// The pairs of levels that no valid row holds, kept sparse. Level entries number the levels of
// all factors one after the other, and a set of them is a bit set of 64-bit words. Each entry
// keeps only the words of its excluded partners that hold any, so the memory grows with the
// factor pairs that exclude something (at most a word per 64 excluded pairs), not with the
// square of all levels. Two kinds of levels exclude whole classes and are kept as lists of
// words instead: an unusable level (one no valid row holds) forms an excluded pair with every
// level of another factor, an invalid level with every invalid level of another factor. No
// pair is excluded within a factor.
//
// Built once (the Add and Mark calls, then Finish; more may be added and finished again), then
// only read, by the evolutions of all threads at once.

#include <algorithm>
#include <bit>
#include <cstddef>
#include <cstdint>
#include <vector>

class LevelExclusions {
public:
    explicit LevelExclusions(const std::vector<int32_t>& levelOffset = {0});

    // Excludes the pair (a and b of two factors).
    void AddPair(int32_t a, int32_t b);
    // Entry a excludes the partners set in bits: bit k (of `count`) stands for entry first + k.
    void AddPartners(int32_t a, int32_t first, const uint64_t* bits, int32_t count);
    void MarkUnusable(int32_t entry);
    void MarkInvalid(int32_t entry);
    // Makes what was added readable.
    void Finish();

    // Whether any pair is excluded.
    bool Any() const { return any_; }
    bool Unusable(int32_t entry) const { return (class_[static_cast<size_t>(entry)] & kUnusable) != 0; }
    bool Invalid(int32_t entry) const { return (class_[static_cast<size_t>(entry)] & kInvalid) != 0; }
    bool AnyUnusable() const { return !unusableWords_.empty(); }

    bool Excluded(int32_t a, int32_t b) const
    {
        if (!any_ || factor_[static_cast<size_t>(a)] == factor_[static_cast<size_t>(b)])
            return false;
        const uint8_t classA = class_[static_cast<size_t>(a)], classB = class_[static_cast<size_t>(b)];
        if (((classA | classB) & kUnusable) || (classA & classB & kInvalid))
            return true;
        return PairListed(a, b);
    }
    // Whether the pair is excluded as a pair, not through an unusable or invalid level.
    bool PairListed(int32_t a, int32_t b) const;

    // Whether the entry forms an excluded pair with any entry of the set (over all entries).
    bool ExcludesAnyOf(int32_t entry, const uint64_t* set) const
    {
        if (!any_)
            return false;
        if (Unusable(entry))
            return AnyOutsideFactor(entry, set);
        for (size_t k = rowStart_[static_cast<size_t>(entry)]; k < rowStart_[static_cast<size_t>(entry) + 1]; ++k)
            if (rowBits_[k] & set[rowWord_[k]])
                return true;
        return (!unusableWords_.empty() && AnyOfClass(unusableWords_, entry, set)) ||
               (Invalid(entry) && AnyOfClass(invalidWords_, entry, set));
    }

    // visit(word, bits) for each word of the entry's excluded partners that holds any, in
    // ascending order of words: those it excludes as pairs, and through the classes.
    template <typename Visit>
    void ForEachWord(int32_t entry, Visit visit) const;
    // The same for the pairs listed alone.
    template <typename Visit>
    void ForEachListedWord(int32_t entry, Visit visit) const
    {
        for (size_t k = rowStart_[static_cast<size_t>(entry)]; k < rowStart_[static_cast<size_t>(entry) + 1]; ++k)
            visit(rowWord_[k], rowBits_[k]);
    }

    // visit(word, bits) for the words of the unusable levels (invalid: of the invalid levels),
    // less those of factor `except` (-1: none).
    template <typename Visit>
    void ForEachUnusableWord(int32_t except, Visit visit) const
    {
        ForEachClassWord(unusableWords_, except, visit);
    }
    template <typename Visit>
    void ForEachInvalidWord(int32_t except, Visit visit) const
    {
        ForEachClassWord(invalidWords_, except, visit);
    }

    int32_t Words() const { return words_; }
    int32_t FactorOf(int32_t entry) const { return factor_[static_cast<size_t>(entry)]; }
    // The bits of word w that stand for levels of factor f.
    uint64_t FactorMask(int32_t f, int32_t w) const
    {
        const int32_t from = std::max(levelOffset_[static_cast<size_t>(f)] - w * 64, 0);
        const int32_t to = std::min(levelOffset_[static_cast<size_t>(f) + 1] - w * 64, 64);
        if (from >= to)
            return 0;
        return (to - from == 64 ? ~uint64_t{0} : (uint64_t{1} << (to - from)) - 1) << from;
    }

private:
    static constexpr uint8_t kUnusable = 1;
    static constexpr uint8_t kInvalid = 2;
    struct Staged {
        int32_t entry;
        int32_t word;
        uint64_t bits;
    };
    struct ClassWord {
        int32_t word;
        uint64_t bits;
    };

    void Stage(int32_t entry, int32_t word, uint64_t bits);
    template <typename Visit>
    void ForEachClassWord(const std::vector<ClassWord>& words, int32_t except, Visit visit) const
    {
        for (const ClassWord& word : words)
            if (const uint64_t bits = except < 0 ? word.bits : word.bits & ~FactorMask(except, word.word))
                visit(word.word, bits);
    }
    bool AnyOutsideFactor(int32_t entry, const uint64_t* set) const;
    bool AnyOfClass(const std::vector<ClassWord>& words, int32_t entry, const uint64_t* set) const;
    std::vector<ClassWord> ClassWords(uint8_t kind) const;

    std::vector<int32_t> levelOffset_;
    std::vector<int32_t> factor_;
    int32_t words_ = 0;
    bool any_ = false;
    std::vector<uint8_t> class_;  // per entry: kUnusable, kInvalid
    std::vector<ClassWord> unusableWords_, invalidWords_;
    // The listed pairs: entry e's words at rowStart_[e] .. rowStart_[e + 1], ascending.
    std::vector<size_t> rowStart_;
    std::vector<int32_t> rowWord_;
    std::vector<uint64_t> rowBits_;
    std::vector<Staged> staged_;
};

template <typename Visit>
void LevelExclusions::ForEachWord(int32_t entry, Visit visit) const
{
    const int32_t f = factor_[static_cast<size_t>(entry)];
    const auto last = static_cast<size_t>(levelOffset_.back());
    if (Unusable(entry)) {
        for (int32_t w = 0; w < words_; ++w) {
            uint64_t bits = ~FactorMask(f, w);
            if (static_cast<size_t>(w + 1) * 64 > last)
                bits &= (uint64_t{1} << (last % 64)) - 1;
            if (bits)
                visit(w, bits);
        }
        return;
    }
    // The three ascending lists merged: the listed words, the unusable ones, the invalid ones.
    size_t k = rowStart_[static_cast<size_t>(entry)];
    const size_t end = rowStart_[static_cast<size_t>(entry) + 1];
    size_t u = 0, i = 0;
    const size_t invalidEnd = Invalid(entry) ? invalidWords_.size() : 0;
    constexpr int32_t kPast = INT32_MAX;
    for (;;) {
        const int32_t w = std::min({k < end ? rowWord_[k] : kPast, u < unusableWords_.size() ? unusableWords_[u].word : kPast,
                                    i < invalidEnd ? invalidWords_[i].word : kPast});
        if (w == kPast)
            return;
        uint64_t bits = 0;
        if (k < end && rowWord_[k] == w)
            bits |= rowBits_[k++];
        uint64_t ofClass = 0;
        if (u < unusableWords_.size() && unusableWords_[u].word == w)
            ofClass |= unusableWords_[u++].bits;
        if (i < invalidEnd && invalidWords_[i].word == w)
            ofClass |= invalidWords_[i++].bits;
        bits |= ofClass & ~FactorMask(f, w);
        if (bits)
            visit(w, bits);
    }
}
