#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "render/RenderPlan.h"
#include "render/SmartPreRender.h"

using kelvrix::RoundedSize;
using kelvrix::UnionRect;

TEST(UnionRect, AnEmptyDestinationBecomesACopyOfTheSource) {
  PF_LRect dst{5, 5, 5, 9};  // zero width
  UnionRect(PF_LRect{1, 2, 3, 4}, dst);
  EXPECT_EQ((std::vector<A_long>{dst.left, dst.top, dst.right, dst.bottom}),
            (std::vector<A_long>{1, 2, 3, 4}));
  PF_LRect empty{9, 9, 0, 0};
  PF_LRect alsoEmpty{0, 0, 0, 0};
  UnionRect(empty, alsoEmpty);  // copied even when the source is empty too
  EXPECT_EQ(alsoEmpty.left, 9);
  EXPECT_EQ(alsoEmpty.right, 0);
}

TEST(UnionRect, AnEmptySourceLeavesTheDestination) {
  PF_LRect dst{0, 0, 10, 10};
  UnionRect(PF_LRect{20, 20, 20, 30}, dst);
  UnionRect(PF_LRect{3, 8, 7, 2}, dst);
  EXPECT_EQ((std::vector<A_long>{dst.left, dst.top, dst.right, dst.bottom}),
            (std::vector<A_long>{0, 0, 10, 10}));
}

TEST(UnionRect, TwoNonEmptyRectsGiveTheirBoundingBox) {
  PF_LRect dst{0, 5, 10, 10};
  UnionRect(PF_LRect{-4, 7, 6, 30}, dst);
  EXPECT_EQ((std::vector<A_long>{dst.left, dst.top, dst.right, dst.bottom}),
            (std::vector<A_long>{-4, 5, 10, 30}));
}

TEST(RoundedSize, RoundsHalfAwayFromZero) {
  EXPECT_EQ(RoundedSize(150.0), 150);
  EXPECT_EQ(RoundedSize(2.5), 3);
  EXPECT_EQ(RoundedSize(2.4999), 2);
  EXPECT_EQ(RoundedSize(999.5), 1000);
  EXPECT_EQ(RoundedSize(1.49), 1);
}

TEST(RoundedSize, ValuesOutsideTheSlidersRangeAreClampedBeforeConversion) {
  const double inf = std::numeric_limits<double>::infinity();
  EXPECT_EQ(RoundedSize(std::nan("")), 150);
  EXPECT_EQ(RoundedSize(inf), 1000);
  EXPECT_EQ(RoundedSize(-inf), 1);
  EXPECT_EQ(RoundedSize(1e300), 1000);
  EXPECT_EQ(RoundedSize(-5.0), 1);
  EXPECT_EQ(RoundedSize(0.2), 1);
  EXPECT_EQ(RoundedSize(1000.4), 1000);
}

TEST(FreePlan, AcceptsNull) { kelvrix::FreePlan(nullptr); }
