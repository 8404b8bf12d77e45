#include <gtest/gtest.h>

#include "host/SuiteRegistry.h"

using kelvrix::host::SuiteRegistry;

// Suites are found only by exact name and version, as a real host finds them, and the registry
// names whatever was not given back exactly once.
TEST(SuiteRegistry, FindsExactlyWhatIsServedAndNamesTheUnbalanced) {
  SuiteRegistry suites;
  const int table = 0;
  suites.Register("PF iterate16 Suite", 2, &table);
  const void* got = nullptr;
  EXPECT_EQ(suites.Acquire("PF iterate16 Suite", 2, &got), kSPNoError);
  EXPECT_EQ(got, &table);
  EXPECT_EQ(suites.Acquire("PF Iterate16 Suite", 2, &got), kSPSuiteNotFoundError);
  EXPECT_EQ(got, nullptr);
  EXPECT_EQ(suites.Acquire("PF iterate16 Suite", 3, &got), kSPSuiteNotFoundError);
  EXPECT_EQ(suites.Acquire(nullptr, 1, &got), kSPBadParameterError);
  EXPECT_EQ(suites.Unbalanced(), std::vector<std::string>{"PF iterate16 Suite v2 (+1)"});
  suites.Release("PF iterate16 Suite", 2);
  suites.Release("PF iterate16 Suite", 2);
  EXPECT_EQ(suites.Unbalanced(), std::vector<std::string>{"PF iterate16 Suite v2 (-1)"});
}
