#include "converter/MemoryChoiceList.h"

#include <gtest/gtest.h>

#include <vector>

namespace relicwright {
namespace {

MemoryChoiceList listOf(std::vector<std::string> texts) {
    return MemoryChoiceList(texts);
}

TEST(ChoiceList, StartsWithoutSelectionAndReadsEmpty) {
    MemoryChoiceList list = listOf({"Hellfire", "Diablo"});
    EXPECT_FALSE(list.selectedIndex().has_value());
    EXPECT_EQ(list.selectedText(), "");
    list.setSelection(1);
    EXPECT_EQ(list.selectedText(), "Diablo");
    list.setSelection(7);
    EXPECT_FALSE(list.selectedIndex().has_value());
}

TEST(ChoiceList, SearchesLookAtTheFirstEntryLast) {
    MemoryChoiceList list = listOf({"Ring", "Amulet", "ring", "Ring Mail"});
    EXPECT_EQ(list.findExact("RING"), 2u);
    list.selectByPrefix("ring");
    EXPECT_EQ(list.selectedIndex(), 2u);
    // Only index 0 matches: it is found, but last.
    EXPECT_EQ(list.findExact("amulet"), 1u);
    MemoryChoiceList first = listOf({"Cap", "Helm"});
    EXPECT_EQ(first.findExact("cap"), 0u);
    first.selectByPrefix("C");
    EXPECT_EQ(first.selectedIndex(), 0u);
}

TEST(ChoiceList, ExactAndPrefixDiffer) {
    MemoryChoiceList list = listOf({"--Heading--", "Ring Mail", "Ring"});
    EXPECT_EQ(list.findExact("Ring"), 2u);
    EXPECT_FALSE(list.findExact("Rin").has_value());
    list.selectByPrefix("Rin");
    EXPECT_EQ(list.selectedText(), "Ring Mail");
}

TEST(ChoiceList, NoMatchKeepsTheSelectionAndDuplicatesPickTheLowest) {
    MemoryChoiceList list = listOf({"a", "b"});
    list.setSelection(1);
    list.selectByPrefix("zzz");
    EXPECT_EQ(list.selectedIndex(), 1u);
    list.append("<not found>");
    list.append("<not found>");
    EXPECT_EQ(list.selectedIndex(), 1u) << "appending never moves the selection";
    list.selectByPrefix("<NOT FOUND>");
    EXPECT_EQ(list.selectedIndex(), 2u);
    EXPECT_EQ(list.count(), 4u);
}

TEST(ChoiceList, EmptyListFindsNothing) {
    MemoryChoiceList list;
    EXPECT_FALSE(list.findExact("").has_value());
    list.selectByPrefix("");
    EXPECT_FALSE(list.selectedIndex().has_value());
}

} // namespace
} // namespace relicwright
