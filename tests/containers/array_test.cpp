#include <gtest/gtest.h>

#include "containers/array.hpp"

namespace {

// Owns an array for the length of a test.
struct ArrayHolder {
  ARRAY* a = ARRAYNew();
  ~ArrayHolder() {
    if (a != nullptr) ARRAYFree(&a);
  }
};

int items[8];
void* Item(int i) { return &items[i]; }

}  // namespace

TEST(ARRAY, CapacityStartsAtTwoAndDoublesOnPush) {
  ArrayHolder h;
  ASSERT_NE(h.a, nullptr);
  EXPECT_EQ(h.a->count, 0);
  EXPECT_EQ(h.a->capacity, 2);
  const int expected[] = {2, 2, 4, 4, 8, 8, 8, 8};
  for (int i = 0; i < 8; ++i) {
    ARRAYPush(h.a, Item(i));
    EXPECT_EQ(h.a->capacity, expected[i]) << "after push " << i + 1;
  }
  for (int i = 0; i < 8; ++i) EXPECT_EQ(ARRAYGet(h.a, i), Item(i));
}

TEST(ARRAY, GetAndRemoveAtHeadIsFirstInFirstOut) {
  ArrayHolder h;
  for (int i = 0; i < 3; ++i) ARRAYPush(h.a, Item(i));
  for (int i = 0; i < 3; ++i) {
    EXPECT_EQ(ARRAYGet(h.a, 0), Item(i));
    ARRAYRemove(h.a, 0);
  }
  EXPECT_EQ(h.a->count, 0);
  EXPECT_EQ(ARRAYGet(h.a, 0), nullptr);
  // Removal clears the slot that fell free.
  EXPECT_EQ(h.a->slots[0], nullptr);
}

TEST(ARRAY, PopIsLastInFirstOutAndStopsAtEmpty) {
  ArrayHolder h;
  for (int i = 0; i < 3; ++i) ARRAYPush(h.a, Item(i));
  EXPECT_EQ(ARRAYPop(h.a), Item(2));
  EXPECT_EQ(ARRAYPop(h.a), Item(1));
  EXPECT_EQ(ARRAYPop(h.a), Item(0));
  EXPECT_EQ(ARRAYPop(h.a), nullptr);
  EXPECT_EQ(h.a->count, 0);
}

TEST(ARRAY, InsertAndRemoveCheckTheirIndex) {
  ArrayHolder h;
  ARRAYPush(h.a, Item(0));
  ARRAYPush(h.a, Item(2));
  ARRAYInsert(h.a, Item(1), 1);
  ARRAYInsert(h.a, Item(3), 3);  // index equal to count appends
  ARRAYInsert(h.a, Item(4), 5);  // past the end: refused
  ARRAYInsert(h.a, Item(4), -1);
  ASSERT_EQ(h.a->count, 4);
  for (int i = 0; i < 4; ++i) EXPECT_EQ(ARRAYGet(h.a, i), Item(i));
  ARRAYRemove(h.a, 4);  // index equal to count: refused
  EXPECT_EQ(h.a->count, 4);
  ARRAYRemove(h.a, 1);
  EXPECT_EQ(ARRAYGet(h.a, 1), Item(2));
  EXPECT_EQ(h.a->slots[3], nullptr);
  ARRAYSet(h.a, Item(7), 2);
  ARRAYSet(h.a, Item(7), 3);  // out of range: nothing written
  EXPECT_EQ(ARRAYGet(h.a, 2), Item(7));
  EXPECT_EQ(h.a->count, 3);
}

TEST(ARRAY, FindReturnsTheLowestIndexAndRefusesNull) {
  ArrayHolder h;
  ARRAYPush(h.a, Item(0));
  ARRAYPush(h.a, Item(1));
  ARRAYPush(h.a, Item(1));
  ARRAYPush(h.a, nullptr);
  EXPECT_EQ(ARRAYFind(h.a, Item(1)), 1);
  EXPECT_EQ(ARRAYFind(h.a, Item(5)), -1);
  EXPECT_EQ(ARRAYFind(h.a, nullptr), -1);
  EXPECT_EQ(ARRAYFind(nullptr, Item(0)), -1);
}

TEST(ARRAY, EqualComparesPointerIdentityInOrder) {
  ArrayHolder a, b, c;
  for (int i = 0; i < 3; ++i) {
    ARRAYPush(a.a, Item(i));
    ARRAYPush(b.a, Item(i));
    ARRAYPush(c.a, Item(2 - i));
  }
  EXPECT_TRUE(ARRAYEqual(a.a, b.a));
  EXPECT_FALSE(ARRAYEqual(a.a, c.a));
  EXPECT_FALSE(ARRAYEqual(a.a, nullptr));
  EXPECT_FALSE(ARRAYEqual(nullptr, a.a));
  EXPECT_TRUE(ARRAYEqual(nullptr, nullptr));
  ARRAYPop(b.a);
  EXPECT_FALSE(ARRAYEqual(a.a, b.a));
}

TEST(ARRAY, CloneAndSliceCopyPointersInOrder) {
  ArrayHolder h;
  for (int i = 0; i < 6; ++i) ARRAYPush(h.a, Item(i));
  ARRAY* clone = ARRAYClone(h.a);
  EXPECT_TRUE(ARRAYEqual(clone, h.a));
  ARRAYFree(&clone);
  EXPECT_EQ(clone, nullptr);

  ARRAY* slice = ARRAYSlice(h.a, 2, 5);
  ASSERT_NE(slice, nullptr);
  ASSERT_EQ(slice->count, 3);
  for (int i = 0; i < 3; ++i) EXPECT_EQ(ARRAYGet(slice, i), Item(i + 2));
  ARRAYFree(&slice);
  EXPECT_EQ(ARRAYSlice(h.a, 2, 2), nullptr);
  EXPECT_EQ(ARRAYSlice(h.a, 4, 7), nullptr);
  EXPECT_EQ(ARRAYSlice(h.a, -1, 2), nullptr);
}

TEST(ARRAY, RemoveRangeClosesTheGap) {
  ArrayHolder h;
  for (int i = 0; i < 6; ++i) ARRAYPush(h.a, Item(i));
  ARRAYRemoveRange(h.a, 2, 2);  // empty: refused
  EXPECT_EQ(h.a->count, 6);
  ARRAYRemoveRange(h.a, 1, 4);
  ASSERT_EQ(h.a->count, 3);
  EXPECT_EQ(ARRAYGet(h.a, 0), Item(0));
  EXPECT_EQ(ARRAYGet(h.a, 1), Item(4));
  EXPECT_EQ(ARRAYGet(h.a, 2), Item(5));
}

TEST(ARRAY, InsertRangeGrowsAndKeepsBothOrders) {
  ArrayHolder src, dst;
  for (int i = 0; i < 5; ++i) ARRAYPush(src.a, Item(i));
  ARRAYPush(dst.a, Item(6));
  ARRAYPush(dst.a, Item(7));
  ARRAYInsertRange(src.a, dst.a, 1, 4, 1);
  const void* expected[] = {Item(6), Item(1), Item(2), Item(3), Item(7)};
  ASSERT_EQ(dst.a->count, 5);
  EXPECT_GE(dst.a->capacity, 5);
  for (int i = 0; i < 5; ++i) EXPECT_EQ(ARRAYGet(dst.a, i), expected[i]) << i;
  ARRAYInsertRange(src.a, dst.a, 0, 6, 0);  // beyond the source: refused
  ARRAYInsertRange(src.a, dst.a, 0, 1, 6);  // beyond the destination: refused
  EXPECT_EQ(dst.a->count, 5);
}

TEST(ARRAY, InsertRangeIntoItselfUsesTheItemsBeforeTheMove) {
  ArrayHolder h;
  for (int i = 0; i < 4; ++i) ARRAYPush(h.a, Item(i));
  ARRAYInsertRange(h.a, h.a, 0, 4, 2);
  const void* expected[] = {Item(0), Item(1), Item(0), Item(1), Item(2), Item(3), Item(2), Item(3)};
  ASSERT_EQ(h.a->count, 8);
  for (int i = 0; i < 8; ++i) EXPECT_EQ(ARRAYGet(h.a, i), expected[i]) << i;
}

TEST(ARRAY, FreeLeavesItemsAloneAndNullsTheCallersPointer) {
  int value = 42;
  ARRAY* a = ARRAYNew();
  ARRAYPush(a, &value);
  ARRAYFree(&a);
  EXPECT_EQ(a, nullptr);
  EXPECT_EQ(value, 42);
  ARRAYFree(&a);  // a second free only reports
  ARRAYFree(nullptr);
  EXPECT_EQ(ARRAYToASCII(nullptr), nullptr);
  EXPECT_EQ(ARRAYFromASCII("ARRAY{}"), nullptr);
  ARRAYPush(nullptr, &value);
  EXPECT_EQ(ARRAYPop(nullptr), nullptr);
}
