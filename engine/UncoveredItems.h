#pragma once
// The required items (pairs or tuples) that no row of a compaction holds: a list to draw a
// random one from, with each item's place in it. Up to a capacity, each listed item keeps its
// level entries too, so that a move can tell which of them a row would hold by comparing a few
// levels instead of walking the row's sets of factors; while more items than that are
// uncovered, until none is, the entries are not all at hand.
//
// Sized once; adding and removing allocate nothing.

#include <cstddef>
#include <cstdint>
#include <vector>

class UncoveredItems {
public:
    // Level entries an item has at most (the highest strength).
    static constexpr int32_t kMostEntries = 6;

    // items: how many there are; cached: how many listed items keep their entries at most.
    void Reset(size_t items, size_t cached);
    // Empties the list.
    void Clear();

    int32_t Size() const { return size_; }
    int32_t ItemAt(int32_t k) const { return list_[static_cast<size_t>(k)]; }
    bool Listed(size_t item) const { return at_[item] >= 0; }

    // Lists the item with its level entries and the factor whose invalid level it holds (-1:
    // none; the rows that count for it are those with that factor's invalid level, or those
    // without any).
    void Add(size_t item, const int32_t* entries, int32_t count, int32_t invalidFactor);
    // The last listed item takes its place.
    void Remove(size_t item);

    // Whether every listed item has its entries at hand.
    bool AllKept() const { return !overflow_; }
    const int32_t* EntriesAt(int32_t k) const { return &entries_[Slot(k) + 2]; }
    int32_t NumEntriesAt(int32_t k) const { return entries_[Slot(k)]; }
    int32_t InvalidFactorAt(int32_t k) const { return entries_[Slot(k) + 1]; }

private:
    static constexpr size_t kStride = kMostEntries + 2;  // the count, the invalid factor, the entries
    size_t Slot(int32_t k) const { return static_cast<size_t>(k) * kStride; }

    std::vector<int32_t> list_;
    std::vector<int32_t> at_;       // per item: its place in the list, -1 when not listed
    std::vector<int32_t> entries_;  // per place up to the capacity
    size_t capacity_ = 0;
    int32_t size_ = 0;
    bool overflow_ = false;
};
