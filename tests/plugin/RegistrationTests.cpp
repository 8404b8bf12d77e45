// PluginDataEntryFunction: the identity it reports and the callback's result passed through.
#include <gtest/gtest.h>

#include "tests/support/LinkedPlugin.h"

using kelvrix::host::SimHost;
using kelvrix::testing::LinkedPlugin;

TEST(Registration, ReportsTheIdentityOnceWithTheHostsPointer) {
  SimHost host(LinkedPlugin());
  const kelvrix::host::Registration r = host.Register();
  kelvrix::testing::ExpectKelvrixIdentity(r);
  EXPECT_EQ(r.reservedInfo, 8);
}

TEST(Registration, ReturnsExactlyWhatTheCallbackReturnedAndRefusesNone) {
  SimHost host(LinkedPlugin());
  for (PF_Err result : {PF_Err{A_Err_ALLOC}, PF_Err{0x1234567}, PF_Err{A_Err_NONE}}) {
    EXPECT_EQ(host.Register(result).result, result);
  }
  EXPECT_EQ(PluginDataEntryFunction(nullptr, nullptr, nullptr, "x", "1"), PF_Err_INVALID_CALLBACK);
}
