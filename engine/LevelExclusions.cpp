#include "engine/LevelExclusions.h"

LevelExclusions::LevelExclusions(const std::vector<int32_t>& levelOffset)
    : levelOffset_(levelOffset),
      factor_(static_cast<size_t>(levelOffset.back())),
      words_((levelOffset.back() + 63) / 64),
      class_(static_cast<size_t>(levelOffset.back()), 0),
      rowStart_(static_cast<size_t>(levelOffset.back()) + 1, 0)
{
    for (size_t f = 0; f + 1 < levelOffset.size(); ++f)
        std::fill(factor_.begin() + levelOffset[f], factor_.begin() + levelOffset[f + 1], static_cast<int32_t>(f));
}

void LevelExclusions::Stage(int32_t entry, int32_t word, uint64_t bits)
{
    if (bits)
        staged_.push_back({entry, word, bits});
}

void LevelExclusions::AddPair(int32_t a, int32_t b)
{
    Stage(a, b >> 6, uint64_t{1} << (b & 63));
    Stage(b, a >> 6, uint64_t{1} << (a & 63));
}

void LevelExclusions::AddPartners(int32_t a, int32_t first, const uint64_t* bits, int32_t count)
{
    // Local word k lands on the global words from first's word on, shifted by first's bit.
    const int32_t shift = first & 63;
    for (int32_t k = 0; k * 64 < count; ++k) {
        uint64_t local = bits[k];
        if (count - k * 64 < 64)
            local &= (uint64_t{1} << (count - k * 64)) - 1;
        const int32_t word = (first >> 6) + k;
        Stage(a, word, local << shift);
        if (shift > 0)
            Stage(a, word + 1, local >> (64 - shift));
    }
}

void LevelExclusions::MarkUnusable(int32_t entry)
{
    class_[static_cast<size_t>(entry)] |= kUnusable;
}

void LevelExclusions::MarkInvalid(int32_t entry)
{
    class_[static_cast<size_t>(entry)] |= kInvalid;
}

void LevelExclusions::Finish()
{
    // The rows read so far join what was staged; each entry's words sorted, each word once.
    for (size_t e = 0; e + 1 < rowStart_.size(); ++e)
        for (size_t k = rowStart_[e]; k < rowStart_[e + 1]; ++k)
            staged_.push_back({static_cast<int32_t>(e), rowWord_[k], rowBits_[k]});
    std::sort(staged_.begin(), staged_.end(),
              [](const Staged& x, const Staged& y) { return x.entry != y.entry ? x.entry < y.entry : x.word < y.word; });
    rowWord_.clear();
    rowBits_.clear();
    std::fill(rowStart_.begin(), rowStart_.end(), 0);
    for (size_t s = 0; s < staged_.size(); ++s) {
        const Staged& item = staged_[s];
        if (s > 0 && staged_[s - 1].entry == item.entry && staged_[s - 1].word == item.word) {
            rowBits_.back() |= item.bits;
            continue;
        }
        rowWord_.push_back(item.word);
        rowBits_.push_back(item.bits);
        ++rowStart_[static_cast<size_t>(item.entry) + 1];
    }
    for (size_t e = 1; e < rowStart_.size(); ++e)
        rowStart_[e] += rowStart_[e - 1];
    std::vector<Staged>().swap(staged_);
    unusableWords_ = ClassWords(kUnusable);
    invalidWords_ = ClassWords(kInvalid);
    // Invalid levels exclude pairs only when two factors have some.
    int32_t factorsWithInvalid = 0;
    for (size_t f = 0; f + 1 < levelOffset_.size(); ++f)
        factorsWithInvalid += std::any_of(class_.begin() + levelOffset_[f], class_.begin() + levelOffset_[f + 1],
                                          [](uint8_t c) { return (c & kInvalid) != 0; });
    any_ = !rowWord_.empty() || !unusableWords_.empty() || factorsWithInvalid > 1;
}

std::vector<LevelExclusions::ClassWord> LevelExclusions::ClassWords(uint8_t kind) const
{
    std::vector<ClassWord> words;
    for (size_t e = 0; e < class_.size(); ++e) {
        if (!(class_[e] & kind))
            continue;
        const auto word = static_cast<int32_t>(e >> 6);
        if (words.empty() || words.back().word != word)
            words.push_back({word, 0});
        words.back().bits |= uint64_t{1} << (e & 63);
    }
    return words;
}

bool LevelExclusions::PairListed(int32_t a, int32_t b) const
{
    const auto first = rowWord_.begin() + static_cast<std::ptrdiff_t>(rowStart_[static_cast<size_t>(a)]);
    const auto last = rowWord_.begin() + static_cast<std::ptrdiff_t>(rowStart_[static_cast<size_t>(a) + 1]);
    const auto at = std::lower_bound(first, last, b >> 6);
    return at != last && *at == (b >> 6) && (rowBits_[static_cast<size_t>(at - rowWord_.begin())] >> (b & 63)) & 1;
}

bool LevelExclusions::AnyOutsideFactor(int32_t entry, const uint64_t* set) const
{
    const int32_t f = factor_[static_cast<size_t>(entry)];
    for (int32_t w = 0; w < words_; ++w)
        if (set[w] & ~FactorMask(f, w))
            return true;
    return false;
}

bool LevelExclusions::AnyOfClass(const std::vector<ClassWord>& words, int32_t entry, const uint64_t* set) const
{
    const int32_t f = factor_[static_cast<size_t>(entry)];
    for (const ClassWord& word : words)
        if (const uint64_t both = word.bits & set[word.word]; both && (both & ~FactorMask(f, word.word)))
            return true;
    return false;
}
