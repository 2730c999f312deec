#include "containers/vec2d.hpp"

#include <gtest/gtest.h>

namespace {

// Frees on scope exit so a failing assertion leaks nothing.
struct OwnedVec {
  VEC2D* v;
  explicit OwnedVec(VEC2D* owned = VEC2DNew()) : v(owned) {}
  OwnedVec(const OwnedVec&) = delete;
  OwnedVec& operator=(const OwnedVec&) = delete;
  ~OwnedVec() {
    if (v != nullptr) VEC2DFree(&v);
  }
};

}  // namespace

TEST(VEC2D, NewVectorsAreZeroAndEqual) {
  OwnedVec a, b;
  ASSERT_NE(a.v, nullptr);
  ASSERT_NE(b.v, nullptr);
  EXPECT_EQ(a.v->x, 0);
  EXPECT_EQ(a.v->y, 0);
  EXPECT_TRUE(VEC2DEqual(a.v, b.v));
}

TEST(VEC2D, CopyIsSourceFirstAndLeavesTheSourceAlone) {
  OwnedVec a, b;
  a.v->x = 3;
  a.v->y = -4;
  VEC2DCopy(a.v, b.v);
  EXPECT_EQ(b.v->x, 3);
  EXPECT_EQ(b.v->y, -4);
  EXPECT_EQ(a.v->x, 3);
  EXPECT_EQ(a.v->y, -4);

  VEC2DCopy(nullptr, b.v);
  VEC2DCopy(a.v, nullptr);
  EXPECT_EQ(b.v->x, 3);
  EXPECT_EQ(b.v->y, -4);
}

TEST(VEC2D, EqualComparesBothCoordinatesInOrder) {
  OwnedVec a, b;
  a.v->x = 1;
  a.v->y = 2;
  b.v->x = 2;
  b.v->y = 1;
  EXPECT_FALSE(VEC2DEqual(a.v, b.v));
  b.v->x = 1;
  EXPECT_FALSE(VEC2DEqual(a.v, b.v));
  b.v->y = 2;
  EXPECT_TRUE(VEC2DEqual(a.v, b.v));
  EXPECT_FALSE(VEC2DEqual(a.v, nullptr));
  EXPECT_FALSE(VEC2DEqual(nullptr, a.v));
}

TEST(VEC2D, CloneIsANewEqualVector) {
  OwnedVec a;
  a.v->x = -7;
  a.v->y = 9;
  OwnedVec clone(VEC2DClone(a.v));
  ASSERT_NE(clone.v, nullptr);
  EXPECT_NE(clone.v, a.v);
  EXPECT_TRUE(VEC2DEqual(clone.v, a.v));
  EXPECT_EQ(VEC2DClone(nullptr), nullptr);
}

TEST(VEC2D, FreeClearsThePointerAndASecondFreeIsHarmless) {
  VEC2D* v = VEC2DNew();
  ASSERT_NE(v, nullptr);
  VEC2DFree(&v);
  EXPECT_EQ(v, nullptr);
  VEC2DFree(&v);
  EXPECT_EQ(v, nullptr);
  VEC2DFree(nullptr);
}

TEST(VEC2D, HasNoTextFormAndStaysSilent) {
  OwnedVec a;
  testing::internal::CaptureStdout();
  EXPECT_EQ(VEC2DToASCII(a.v), nullptr);
  EXPECT_EQ(VEC2DToASCII(nullptr), nullptr);
  EXPECT_EQ(VEC2DFromASCII("VEC2D{1 2}"), nullptr);
  EXPECT_EQ(VEC2DFromASCII(nullptr), nullptr);
  VEC2DFree(nullptr);
  EXPECT_EQ(testing::internal::GetCapturedStdout(), "");
}
