// SuiteHandler and ScopedSuite against the simulated host's suite registry.
#include <gtest/gtest.h>

#include "plugin/ScopedSuite.h"
#include "plugin/SuiteHandler.h"
#include "tests/support/LinkedPlugin.h"

using kelvrix::ScopedSuite;
using kelvrix::SuiteHandler;
using kelvrix::host::SimHost;

// A suite the host lacks, or "finds" without a function table: SuiteHandler throws 516 and
// releases what it already held; ScopedSuite throws 13 and, given out_data, shows the message.
TEST(SuiteHolders, AMissingSuiteThrowsItsCodeAndStaysBalanced) {
  enum Holder { kHandler, kScoped, kScopedWithoutOutData };
  const char* kNoSuite = "Not able to acquire AEFX Suite.";
  const struct {
    Holder holder;
    bool nullTable;
    PF_Err thrown;
    const char* message;
  } cases[] = {
      {kHandler, false, PF_Err_BAD_CALLBACK_PARAM, ""},
      {kHandler, true, PF_Err_BAD_CALLBACK_PARAM, ""},
      {kScoped, false, A_Err_MISSING_SUITE, kNoSuite},
      {kScoped, true, A_Err_MISSING_SUITE, kNoSuite},
      {kScopedWithoutOutData, false, A_Err_MISSING_SUITE, ""},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(::testing::Message() << "holder " << c.holder << " null table " << c.nullTable);
    SimHost host(kelvrix::testing::LinkedPlugin());
    const char* absent = c.holder == kHandler ? kAEGPPFInterfaceSuite : kPFWorldSuite;
    const int version = c.holder == kHandler ? 1 : 2;
    if (c.nullTable) host.Suites().SetNullTable(absent, version);
    if (!c.nullTable) host.Suites().SetMissing(absent, version);
    SimHost::CommandRecords records = host.Prepare();
    PF_Err thrown = PF_Err_NONE;
    try {
      if (c.holder == kHandler) {
        SuiteHandler suites(records.in_data.pica_basicP);
        suites.HandleSuite1();
        suites.PFInterfaceSuite1();
      } else {
        ScopedSuite<PF_WorldSuite2> worlds(&records.in_data, kPFWorldSuite, 2,
                                           c.holder == kScoped ? &records.out_data : nullptr);
      }
    } catch (int err) {
      thrown = err;
    }
    EXPECT_EQ(thrown, c.thrown);
    EXPECT_STREQ(records.out_data.return_msg, c.message);
    EXPECT_EQ(records.out_data.out_flags & PF_OutFlag_DISPLAY_ERROR_MESSAGE,
              c.message[0] != '\0' ? 0x100 : 0);
    EXPECT_EQ(host.Suites().Releases(kPFHandleSuite, 2), c.holder == kHandler ? 1 : 0);
    EXPECT_TRUE(host.Suites().Unbalanced().empty());
  }
  EXPECT_THROW(SuiteHandler{nullptr}, int);
}
