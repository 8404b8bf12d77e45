// SuiteHandler and ScopedSuite against the simulated host's suite registry.
#include <gtest/gtest.h>

#include <set>
#include <string>

#include "plugin/ScopedSuite.h"
#include "plugin/SuiteHandler.h"
#include "tests/support/LinkedPlugin.h"

using kelvrix::ScopedSuite;
using kelvrix::SuiteHandler;
using kelvrix::host::SimHost;
using kelvrix::testing::LinkedPlugin;

namespace {

int Thrown(void (*body)(SimHost::CommandRecords&), SimHost::CommandRecords& records) {
  try {
    body(records);
  } catch (int err) {
    return err;
  }
  return 0;
}

}  // namespace

TEST(SuiteHandler, AcquiresEachSuiteOnceAndReleasesOnlyWhatItAcquired) {
  SimHost host(LinkedPlugin());
  SimHost::CommandRecords records = host.Prepare();
  {
    SuiteHandler suites(records.in_data.pica_basicP);
    const PF_HandleSuite1* first = suites.HandleSuite1();
    EXPECT_EQ(first, suites.HandleSuite1());
    EXPECT_NE(suites.Iterate8Suite2(), nullptr);
    EXPECT_EQ(host.Suites().Acquires(kPFHandleSuite, 2), 1);
    EXPECT_EQ(host.Suites().Releases(kPFHandleSuite, 2), 0);
  }
  EXPECT_EQ(host.Suites().Releases(kPFHandleSuite, 2), 1);
  EXPECT_EQ(host.Suites().Releases(kPFIterate8Suite, 2), 1);
  EXPECT_EQ(host.Suites().Releases(kAEGPUtilitySuite, 7), 0);
  EXPECT_TRUE(host.Suites().Unbalanced().empty());
}

TEST(SuiteHandler, AMissingSuiteThrows516AndReleasesTheRestOnUnwind) {
  SimHost host(LinkedPlugin());
  host.Suites().SetMissing(kAEGPPFInterfaceSuite);
  SimHost::CommandRecords records = host.Prepare();
  EXPECT_EQ(Thrown(
                [](SimHost::CommandRecords& r) {
                  SuiteHandler suites(r.in_data.pica_basicP);
                  suites.HandleSuite1();
                  suites.PFInterfaceSuite1();
                },
                records),
            PF_Err_BAD_CALLBACK_PARAM);
  EXPECT_EQ(host.Suites().Releases(kPFHandleSuite, 2), 1);
  EXPECT_TRUE(host.Suites().Unbalanced().empty());
}

TEST(SuiteHandler, ASuccessWithoutATableCountsAsMissingAndStaysBalanced) {
  SimHost host(LinkedPlugin());
  host.Suites().SetNullTable(kPFHandleSuite, 2);
  SimHost::CommandRecords records = host.Prepare();
  EXPECT_EQ(Thrown(
                [](SimHost::CommandRecords& r) {
                  SuiteHandler suites(r.in_data.pica_basicP);
                  suites.HandleSuite1();
                },
                records),
            PF_Err_BAD_CALLBACK_PARAM);
  EXPECT_EQ(host.Suites().Acquires(kPFHandleSuite, 2), 1);
  EXPECT_TRUE(host.Suites().Unbalanced().empty());
}

TEST(SuiteHandler, ANullBasicSuiteThrows516) {
  EXPECT_THROW(SuiteHandler(nullptr), int);
  try {
    SuiteHandler suites(nullptr);
  } catch (int err) {
    EXPECT_EQ(err, PF_Err_BAD_CALLBACK_PARAM);
  }
}

TEST(SuiteHandler, EverySlotNamesASuiteTheHostCouldServe) {
  std::set<std::pair<std::string, int>> pairs;
#define KELVRIX_DECLARED_SUITE(Accessor, Type, Name, Version) \
  EXPECT_TRUE(pairs.insert({Name, Version}).second) << Name << " " << Version;
#include "plugin/SuiteSlots.def"
  EXPECT_EQ(pairs.size(), 135u);
  for (const auto& used : std::set<std::pair<std::string, int>>{{"PF Handle Suite", 2},
                                                                {"AEGP Utility Suite", 7},
                                                                {"AEGP PF Interface Suite", 1},
                                                                {"AEGP Effect Suite", 4},
                                                                {"PF Iterate8 Suite", 1},
                                                                {"PF iterate16 Suite", 1},
                                                                {"PF iterateFloat Suite", 1}}) {
    EXPECT_EQ(pairs.count(used), 1u) << used.first;
  }
}

TEST(ScopedSuite, HoldsTheSuiteForItsScope) {
  SimHost host(LinkedPlugin());
  SimHost::CommandRecords records = host.Prepare();
  {
    ScopedSuite<PF_WorldSuite2> worlds(&records.in_data, kPFWorldSuite, 2, &records.out_data);
    EXPECT_NE(worlds.get(), nullptr);
    EXPECT_EQ(host.Suites().Releases(kPFWorldSuite, 2), 0);
  }
  EXPECT_EQ(host.Suites().Acquires(kPFWorldSuite, 2), 1);
  EXPECT_EQ(host.Suites().Releases(kPFWorldSuite, 2), 1);
}

TEST(ScopedSuite, AMissingSuiteShowsTheMessageAndThrows13) {
  SimHost host(LinkedPlugin());
  host.Suites().SetMissing(kPFWorldSuite, 2);
  SimHost::CommandRecords records = host.Prepare();
  EXPECT_EQ(Thrown(
                [](SimHost::CommandRecords& r) {
                  ScopedSuite<PF_WorldSuite2> worlds(&r.in_data, kPFWorldSuite, 2, &r.out_data);
                },
                records),
            A_Err_MISSING_SUITE);
  EXPECT_EQ(records.out_data.out_flags & PF_OutFlag_DISPLAY_ERROR_MESSAGE, 0x100);
  EXPECT_STREQ(records.out_data.return_msg, "Not able to acquire AEFX Suite.");
  EXPECT_TRUE(host.Suites().Unbalanced().empty());
}

TEST(ScopedSuite, WithoutOutDataAMissingSuiteOnlyThrows13) {
  SimHost host(LinkedPlugin());
  host.Suites().SetMissing(kPFWorldSuite, 2);
  SimHost::CommandRecords records = host.Prepare();
  EXPECT_EQ(Thrown(
                [](SimHost::CommandRecords& r) {
                  ScopedSuite<PF_WorldSuite2> worlds(&r.in_data, kPFWorldSuite, 2);
                },
                records),
            A_Err_MISSING_SUITE);
  EXPECT_EQ(records.out_data.return_msg[0], '\0');
}

TEST(ScopedSuite, ASuccessWithoutATableIsReportedLikeAMissingSuite) {
  SimHost host(LinkedPlugin());
  host.Suites().SetNullTable(kPFWorldSuite, 2);
  SimHost::CommandRecords records = host.Prepare();
  EXPECT_EQ(Thrown(
                [](SimHost::CommandRecords& r) {
                  ScopedSuite<PF_WorldSuite2> worlds(&r.in_data, kPFWorldSuite, 2, &r.out_data);
                },
                records),
            A_Err_MISSING_SUITE);
  EXPECT_STREQ(records.out_data.return_msg, "Not able to acquire AEFX Suite.");
  EXPECT_TRUE(host.Suites().Unbalanced().empty());
}
