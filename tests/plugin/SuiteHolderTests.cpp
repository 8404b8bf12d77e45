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
  for (const auto& [holder, nullTable] : {std::pair{kHandler, false},
                                          {kHandler, true},
                                          {kScoped, false},
                                          {kScoped, true},
                                          {kScopedWithoutOutData, false}}) {
    SCOPED_TRACE(::testing::Message() << "holder " << holder << " null table " << nullTable);
    SimHost host(kelvrix::testing::LinkedPlugin());
    const char* absent = holder == kHandler ? kAEGPPFInterfaceSuite : kPFWorldSuite;
    const int version = holder == kHandler ? 1 : 2;
    if (nullTable) host.Suites().SetNullTable(absent, version);
    if (!nullTable) host.Suites().SetMissing(absent, version);
    SimHost::CommandRecords records = host.Prepare();
    PF_Err thrown = PF_Err_NONE;
    try {
      if (holder == kHandler) {
        SuiteHandler suites(records.in_data.pica_basicP);
        suites.HandleSuite1();
        suites.PFInterfaceSuite1();
      } else {
        ScopedSuite<PF_WorldSuite2> worlds(&records.in_data, kPFWorldSuite, 2,
                                           holder == kScoped ? &records.out_data : nullptr);
      }
    } catch (int err) {
      thrown = err;
    }
    EXPECT_EQ(thrown,
              holder == kHandler ? PF_Err{PF_Err_BAD_CALLBACK_PARAM} : PF_Err{A_Err_MISSING_SUITE});
    const bool shown = holder == kScoped;
    EXPECT_STREQ(records.out_data.return_msg, shown ? "Not able to acquire AEFX Suite." : "");
    EXPECT_EQ(records.out_data.out_flags & PF_OutFlag_DISPLAY_ERROR_MESSAGE, shown ? 0x100 : 0);
    EXPECT_EQ(host.Suites().Releases(kPFHandleSuite, 2), holder == kHandler ? 1 : 0);
    EXPECT_TRUE(host.Suites().Unbalanced().empty());
  }
  EXPECT_THROW(SuiteHandler{nullptr}, int);
}
