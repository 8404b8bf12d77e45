#include <gtest/gtest.h>

#include "tests/support/LinkedPlugin.h"

using kelvrix::host::Registration;
using kelvrix::host::SimHost;
using kelvrix::testing::LinkedPlugin;

TEST(Registration, ReportsTheIdentityOnceWithTheHostsPointer) {
  SimHost host(LinkedPlugin());
  const Registration r = host.Register();
  EXPECT_EQ(r.result, PF_Err_NONE);
  EXPECT_EQ(r.callbackCalls, 1);
  EXPECT_TRUE(r.dataPointerPassedOn);
  EXPECT_EQ(r.name, "kelvrix");
  EXPECT_EQ(r.matchName, "Torvendalekelvrix");
  EXPECT_EQ(r.category, "Torvendale");
  EXPECT_EQ(r.entryPoint, "EffectMain");
  EXPECT_EQ(r.kind, 0x65464B54);
  EXPECT_EQ(r.apiMajor, 13);
  EXPECT_EQ(r.apiMinor, 27);
  EXPECT_EQ(r.reservedInfo, 8);
}

TEST(Registration, ReturnsExactlyWhatTheCallbackReturned) {
  SimHost host(LinkedPlugin());
  EXPECT_EQ(host.Register(A_Err_ALLOC).result, A_Err_ALLOC);
  EXPECT_EQ(host.Register(0x1234567).result, 0x1234567);
  EXPECT_EQ(host.Register(A_Err_NONE).result, A_Err_NONE);
}

TEST(Registration, RefusesAMissingCallback) {
  EXPECT_EQ(PluginDataEntryFunction(nullptr, nullptr, nullptr, "x", "1"), PF_Err_INVALID_CALLBACK);
}
