// The list of uncovered items a compaction draws from: every listed item stays findable with
// its own level entries as others come and go, and past its capacity the list says its entries
// are not all at hand until it has emptied.

#include "engine/UncoveredItems.h"

#include <gtest/gtest.h>

#include <map>

namespace {

// Every listed item is where the list says, with the entries it was added with.
void ExpectListed(const UncoveredItems& list, const std::map<int32_t, int32_t>& entryOf)
{
    ASSERT_EQ(list.Size(), static_cast<int32_t>(entryOf.size()));
    for (int32_t k = 0; k < list.Size(); ++k) {
        const int32_t item = list.ItemAt(k);
        ASSERT_TRUE(entryOf.count(item)) << item;
        EXPECT_TRUE(list.Listed(static_cast<size_t>(item)));
        if (list.AllKept()) {
            ASSERT_EQ(list.NumEntriesAt(k), 2);
            EXPECT_EQ(list.EntriesAt(k)[0], entryOf.at(item));
            EXPECT_EQ(list.EntriesAt(k)[1], -entryOf.at(item));
            EXPECT_EQ(list.InvalidFactorAt(k), item % 3 - 1);
        }
    }
}

}  // namespace

TEST(UncoveredItems, KeepsEachItemsEntriesAsItemsComeAndGoAndSaysWhenTheyOverflow)
{
    UncoveredItems list;
    list.Reset(20, 4);
    std::map<int32_t, int32_t> entryOf;
    const auto add = [&](int32_t item) {
        const int32_t entries[2] = {100 + item, -(100 + item)};
        list.Add(static_cast<size_t>(item), entries, 2, item % 3 - 1);
        entryOf[item] = 100 + item;
    };
    const auto remove = [&](int32_t item) {
        list.Remove(static_cast<size_t>(item));
        entryOf.erase(item);
    };
    for (const int32_t item : {7, 3, 12, 5})
        add(item);
    remove(3);  // from the middle: the last one takes its place with its entries
    add(9);
    remove(9);  // the last one
    EXPECT_TRUE(list.AllKept());
    ExpectListed(list, entryOf);
    add(1);
    add(2);  // the fifth: past the capacity
    EXPECT_FALSE(list.AllKept());
    remove(7);
    EXPECT_FALSE(list.AllKept()) << "an item without entries may stand within the capacity now";
    ExpectListed(list, entryOf);
    for (const int32_t item : {12, 5, 1, 2})
        remove(item);
    EXPECT_TRUE(list.AllKept());
    EXPECT_FALSE(list.Listed(12));
    add(4);
    ExpectListed(list, entryOf);
}
