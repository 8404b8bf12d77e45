#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>

#include "plugin/GlobalData.h"
#include "tests/support/LinkedPlugin.h"

using kelvrix::GlobalData;
using kelvrix::host::SimHost;
using kelvrix::testing::LinkedPlugin;
using kelvrix::testing::PremiereOptions;

namespace {

const GlobalData* StoredGlobalData(SimHost& host) {
  PF_Handle handle = host.GlobalData();
  return handle == nullptr ? nullptr : static_cast<const GlobalData*>(*handle);
}

void ExpectVersionAndFlags(const PF_OutData& out) {
  EXPECT_EQ(out.my_version, 557057u);
  EXPECT_EQ(out.out_flags, 0x06000444);
  EXPECT_EQ(out.out_flags2, 0x08001408);
}

void ExpectEverythingReleased(SimHost& host) {
  EXPECT_TRUE(host.Suites().Unbalanced().empty());
  EXPECT_EQ(host.Handles().Live(), host.GlobalData() != nullptr ? 1u : 0u);
  if (host.GlobalData() != nullptr) {
    EXPECT_EQ(host.Handles().Locks(host.GlobalData()), 0);
  }
}

}  // namespace

TEST(GlobalSetup, UnderAfterEffectsRegistersAndStoresTheGlobalData) {
  SimHost host(LinkedPlugin());
  EXPECT_EQ(host.GlobalSetup(), PF_Err_NONE);
  ExpectVersionAndFlags(host.LastOutData());
  const GlobalData* data = StoredGlobalData(host);
  ASSERT_NE(data, nullptr);
  EXPECT_EQ(data->setupFlag, 1);
  EXPECT_EQ(data->aegpPluginId, 7);  // the first id this host hands out
  EXPECT_EQ(host.RegisteredPlugins(), std::vector<std::string>{"kelvrix"});
  EXPECT_EQ(host.Handles().Size(host.GlobalData()), 8u);
  EXPECT_TRUE(host.PixelFormatLog().empty());
  // one acquire and one release of each suite it used
  EXPECT_EQ(host.Suites().Acquires(kPFHandleSuite, 2), 1);
  EXPECT_EQ(host.Suites().Releases(kPFHandleSuite, 2), 1);
  EXPECT_EQ(host.Suites().Acquires(kAEGPUtilitySuite, 7), 1);
  EXPECT_EQ(host.Suites().Releases(kAEGPUtilitySuite, 7), 1);
  ExpectEverythingReleased(host);
}

TEST(GlobalSetup, UnderPremiereSkipsRegistrationAndDeclaresOnePixelFormat) {
  SimHost host(LinkedPlugin(), PremiereOptions());
  EXPECT_EQ(host.GlobalSetup(), PF_Err_NONE);
  ExpectVersionAndFlags(host.LastOutData());
  const GlobalData* data = StoredGlobalData(host);
  ASSERT_NE(data, nullptr);
  EXPECT_EQ(data->setupFlag, 1);
  EXPECT_EQ(data->aegpPluginId, 0);  // written, never left as the host's bytes
  EXPECT_TRUE(host.RegisteredPlugins().empty());
  EXPECT_EQ(host.Suites().Acquires(kAEGPUtilitySuite, 7), 0);
  // The format whose bytes in memory are 'V' 'U' 'y' 'a'.
  const unsigned char bytes[4] = {0x56, 0x55, 0x79, 0x61};
  uint32_t format = 0;
  std::memcpy(&format, bytes, sizeof format);
  ASSERT_EQ(format, 0x61795556u);
  EXPECT_EQ(host.PixelFormatLog(), (std::vector<std::string>{"clear", "add 0x61795556"}));
  EXPECT_EQ(host.Suites().Acquires(kPFPixelFormatSuite, 1), 1);
  ExpectEverythingReleased(host);
}

TEST(GlobalSetup, WithoutANewHandleReports512AndStoresNothing) {
  SimHost host(LinkedPlugin());
  host.Faults().Fail("host_new_handle", 1);
  EXPECT_EQ(host.GlobalSetup(), PF_Err_INTERNAL_STRUCT_DAMAGED);
  ExpectVersionAndFlags(host.LastOutData());
  EXPECT_EQ(host.GlobalData(), nullptr);
  ExpectEverythingReleased(host);
}

TEST(GlobalSetup, AHandleThatWillNotLockIsDisposedAndTheResultIsNone) {
  SimHost host(LinkedPlugin());
  host.Faults().Fail("host_lock_handle", 1);
  EXPECT_EQ(host.GlobalSetup(), PF_Err_NONE);
  EXPECT_EQ(host.GlobalData(), nullptr);
  EXPECT_EQ(host.Faults().Calls("host_unlock_handle"), 1);
  EXPECT_EQ(host.Faults().Calls("host_dispose_handle"), 1);
  EXPECT_TRUE(host.RegisteredPlugins().empty());
  ExpectEverythingReleased(host);
}

TEST(GlobalSetup, AFailedRegistrationIsTheResultAndTheHandleIsDisposed) {
  SimHost host(LinkedPlugin());
  host.Faults().Fail("AEGP_RegisterWithAEGP", A_Err_GENERIC);
  EXPECT_EQ(host.GlobalSetup(), A_Err_GENERIC);
  ExpectVersionAndFlags(host.LastOutData());
  EXPECT_EQ(host.GlobalData(), nullptr);
  EXPECT_EQ(host.Faults().Calls("host_dispose_handle"), 1);
  ExpectEverythingReleased(host);
}

TEST(GlobalSetup, MissingSuitesThroughTheSuiteHandlerGive516AndNoMessage) {
  for (const char* suite : {kPFHandleSuite, kAEGPUtilitySuite}) {
    SCOPED_TRACE(suite);
    SimHost host(LinkedPlugin());
    host.Suites().SetMissing(suite);
    EXPECT_EQ(host.GlobalSetup(), PF_Err_BAD_CALLBACK_PARAM);
    EXPECT_EQ(host.LastOutData().return_msg[0], '\0');
    EXPECT_EQ(host.LastOutData().out_flags & PF_OutFlag_DISPLAY_ERROR_MESSAGE, 0);
    EXPECT_EQ(host.GlobalData(), nullptr);
    ExpectEverythingReleased(host);
  }
}

TEST(GlobalSetup, AMissingBasicSuiteGives516) {
  SimHost host(LinkedPlugin());
  SimHost::CommandRecords records = host.Prepare();
  records.in_data.pica_basicP = nullptr;
  EXPECT_EQ(host.Send(PF_Cmd_GLOBAL_SETUP, records), PF_Err_BAD_CALLBACK_PARAM);
}

TEST(GlobalSetup, UnderPremiereAMissingPixelFormatSuiteGives13AfterStoringTheData) {
  SimHost host(LinkedPlugin(), PremiereOptions());
  host.Suites().SetMissing(kPFPixelFormatSuite);
  EXPECT_EQ(host.GlobalSetup(), A_Err_MISSING_SUITE);
  EXPECT_NE(host.LastOutData().out_flags & PF_OutFlag_DISPLAY_ERROR_MESSAGE, 0);
  EXPECT_STREQ(host.LastOutData().return_msg, "Not able to acquire AEFX Suite.");
  EXPECT_NE(host.GlobalData(), nullptr);
  EXPECT_TRUE(host.PixelFormatLog().empty());
  ExpectEverythingReleased(host);
}

TEST(GlobalSetup, UnderPremiereFailingPixelFormatCallsAreIgnored) {
  SimHost host(LinkedPlugin(), PremiereOptions());
  host.Faults().Fail("ClearSupportedPixelFormats", 1);
  host.Faults().Fail("AddSupportedPixelFormat", 1);
  EXPECT_EQ(host.GlobalSetup(), PF_Err_NONE);
  EXPECT_EQ(host.Faults().Calls("AddSupportedPixelFormat"), 1);
  ExpectEverythingReleased(host);
}

TEST(GlobalData, ReadingThePluginIdNeverDereferencesAMissingBlock) {
  AEGP_PluginID id = -1;
  PF_OutData out{};
  EXPECT_FALSE(kelvrix::ReadPluginId(nullptr, &id));
  EXPECT_FALSE(kelvrix::ReadPluginId(&out, &id));
  void* gone = nullptr;
  out.global_data = &gone;
  EXPECT_FALSE(kelvrix::ReadPluginId(&out, &id));
  GlobalData data{1, 42};
  void* block = &data;
  out.global_data = &block;
  EXPECT_TRUE(kelvrix::ReadPluginId(&out, &id));
  EXPECT_EQ(id, 42);
  data.setupFlag = 0;  // a block global setup never filled
  EXPECT_FALSE(kelvrix::ReadPluginId(&out, &id));
}
