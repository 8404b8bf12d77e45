#include <gtest/gtest.h>

#include "host/SuiteRegistry.h"

using kelvrix::host::SuiteRegistry;

TEST(SuiteRegistry, FindsSuitesOnlyByExactNameAndVersion) {
  SuiteRegistry suites;
  const int table = 0;
  suites.Register("PF iterate16 Suite", 2, &table);
  const void* got = nullptr;
  EXPECT_EQ(suites.Acquire("PF iterate16 Suite", 2, &got), kSPNoError);
  EXPECT_EQ(got, &table);
  EXPECT_EQ(suites.Acquire("PF Iterate16 Suite", 2, &got), kSPSuiteNotFoundError);
  EXPECT_EQ(got, nullptr);
  EXPECT_EQ(suites.Acquire("PF iterate16 Suite", 1, &got), kSPSuiteNotFoundError);
  EXPECT_EQ(suites.Acquire(nullptr, 1, &got), kSPBadParameterError);
  EXPECT_EQ(suites.Acquires("PF iterate16 Suite", 2), 1);
}

TEST(SuiteRegistry, CountsAcquiresAndReleasesAndNamesTheUnbalanced) {
  SuiteRegistry suites;
  const int table = 0;
  suites.Register("A", 1, &table);
  suites.Register("B", 3, &table);
  const void* got = nullptr;
  suites.Acquire("A", 1, &got);
  suites.Acquire("B", 3, &got);
  suites.Release("A", 1);
  EXPECT_EQ(suites.Unbalanced(), std::vector<std::string>{"B v3 (+1)"});
  suites.Release("B", 3);
  suites.Release("B", 3);
  EXPECT_EQ(suites.Unbalanced(), std::vector<std::string>{"B v3 (-1)"});
}

TEST(SuiteRegistry, MissingSwitchesHideOneVersionOrAll) {
  SuiteRegistry suites;
  const int table = 0;
  suites.Register("S", 1, &table);
  suites.Register("S", 2, &table);
  const void* got = nullptr;
  suites.SetMissing("S", 2);
  EXPECT_EQ(suites.Acquire("S", 1, &got), kSPNoError);
  EXPECT_EQ(suites.Acquire("S", 2, &got), kSPSuiteNotFoundError);
  suites.SetMissing("S");
  EXPECT_EQ(suites.Acquire("S", 1, &got), kSPSuiteNotFoundError);
  suites.SetMissing("S", -1, false);
  suites.SetMissing("S", 2, false);
  EXPECT_EQ(suites.Acquire("S", 2, &got), kSPNoError);
}
