#include "engine/UncoveredItems.h"

#include <algorithm>

void UncoveredItems::Reset(size_t items, size_t cached)
{
    capacity_ = std::min(items, cached);
    list_.resize(items);
    at_.assign(items, -1);
    entries_.resize(capacity_ * kStride);
    size_ = 0;
    overflow_ = false;
}

void UncoveredItems::Clear()
{
    for (int32_t k = 0; k < size_; ++k)
        at_[static_cast<size_t>(list_[static_cast<size_t>(k)])] = -1;
    size_ = 0;
    overflow_ = false;
}

void UncoveredItems::Add(size_t item, const int32_t* entries, int32_t count, int32_t invalidFactor)
{
    const int32_t k = size_++;
    at_[item] = k;
    list_[static_cast<size_t>(k)] = static_cast<int32_t>(item);
    if (static_cast<size_t>(k) >= capacity_) {
        overflow_ = true;
        return;
    }
    int32_t* slot = &entries_[Slot(k)];
    slot[0] = count;
    slot[1] = invalidFactor;
    std::copy(entries, entries + count, slot + 2);
}

void UncoveredItems::Remove(size_t item)
{
    const int32_t k = at_[item];
    const int32_t last = --size_;
    at_[item] = -1;
    if (size_ == 0)
        overflow_ = false;  // nothing left without its entries
    if (k == last)
        return;
    const auto moved = static_cast<size_t>(list_[static_cast<size_t>(last)]);
    list_[static_cast<size_t>(k)] = static_cast<int32_t>(moved);
    at_[moved] = k;
    // An item moved from beyond the capacity has no entries to bring: the list is past it
    // until it empties.
    if (static_cast<size_t>(last) < capacity_)
        std::copy_n(&entries_[Slot(last)], kStride, &entries_[Slot(k)]);
}
