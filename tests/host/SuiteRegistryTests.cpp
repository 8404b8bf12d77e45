#include <gtest/gtest.h>

#include "host/SuiteRegistry.h"

using kelvrix::host::SuiteRegistry;

// Suites are found only by exact name and version, can be hidden one version or all at once,
// and the registry names whatever was not given back exactly once.
TEST(SuiteRegistry, FindsExactlyWhatIsServedAndNamesTheUnbalanced) {
  SuiteRegistry suites;
  const int table = 0;
  suites.Register("PF iterate16 Suite", 2, &table);
  suites.Register("PF iterate16 Suite", 1, &table);
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
  suites.SetMissing("PF iterate16 Suite", 2);
  EXPECT_EQ(suites.Acquire("PF iterate16 Suite", 1, &got), kSPNoError);
  EXPECT_EQ(suites.Acquire("PF iterate16 Suite", 2, &got), kSPSuiteNotFoundError);
  suites.SetMissing("PF iterate16 Suite");
  EXPECT_EQ(suites.Acquire("PF iterate16 Suite", 1, &got), kSPSuiteNotFoundError);
  suites.SetMissing("PF iterate16 Suite", -1, false);
  suites.SetMissing("PF iterate16 Suite", 2, false);
  EXPECT_EQ(suites.Acquire("PF iterate16 Suite", 2, &got), kSPNoError);
}
