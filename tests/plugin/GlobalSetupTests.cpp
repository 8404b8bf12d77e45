// Global setup on both hosts and on every way it can fail, and reading back its GlobalData.
#include <gtest/gtest.h>

#include <cstdint>
#include <cstdio>
#include <cstring>

#include "plugin/GlobalData.h"
#include "tests/support/LinkedPlugin.h"

using kelvrix::GlobalData;
using kelvrix::host::SimHost;
using kelvrix::testing::ExpectAllGivenBack;
using kelvrix::testing::ExpectVersionAndFlags;
using kelvrix::testing::LinkedPlugin;
using kelvrix::testing::PremiereOptions;

namespace {

const GlobalData* StoredGlobalData(SimHost& host) {
  PF_Handle handle = host.GlobalData();
  return handle == nullptr ? nullptr : static_cast<const GlobalData*>(*handle);
}

}  // namespace

// After Effects: registered for an AEGP id. Premiere Pro: no registration, one pixel format.
TEST(GlobalSetup, StoresTheGlobalDataOnBothHosts) {
  // The format whose bytes in memory are 'V' 'U' 'y' 'a'.
  const unsigned char bytes[4] = {0x56, 0x55, 0x79, 0x61};
  uint32_t format = 0;
  std::memcpy(&format, bytes, sizeof format);
  char added[20];
  std::snprintf(added, sizeof added, "add 0x%08x", format);
  ASSERT_STREQ(added, "add 0x61795556");  // the number and the bytes say the same
  for (bool premiere : {false, true}) {
    SCOPED_TRACE(premiere ? "Premiere Pro" : "After Effects");
    SimHost host(LinkedPlugin(), premiere ? PremiereOptions() : kelvrix::host::HostOptions{});
    EXPECT_EQ(host.GlobalSetup(), PF_Err_NONE);
    ExpectVersionAndFlags(host.LastOutData());
    const GlobalData* data = StoredGlobalData(host);
    ASSERT_NE(data, nullptr);
    EXPECT_EQ(host.Handles().Size(host.GlobalData()), 8u);
    EXPECT_EQ(data->setupFlag, 1);
    // the first id this host hands out; under Premiere written, never left as the host's bytes
    EXPECT_EQ(data->aegpPluginId, premiere ? 0 : 7);
    using Names = std::vector<std::string>;
    EXPECT_EQ(host.RegisteredPlugins(), premiere ? Names{} : Names{"kelvrix"});
    EXPECT_EQ(host.PixelFormatLog(), (premiere ? Names{"clear", added} : Names{}));
    // one acquire (and, balanced, one release) of each suite it used
    EXPECT_EQ(host.Suites().Acquires(kPFHandleSuite, 2), 1);
    EXPECT_EQ(host.Suites().Acquires(kAEGPUtilitySuite, 7), premiere ? 0 : 1);
    EXPECT_EQ(host.Suites().Acquires(kPFPixelFormatSuite, 1), premiere ? 1 : 0);
    ExpectAllGivenBack(host);
  }
}

// One host function failing or one suite missing.
struct FailureCase {
  const char* what;
  bool premiere;
  const char* fault;         // host function that fails, or null
  const char* missingSuite;  // or null
  PF_Err result;
  bool dataKept;
  const char* message;    // shown with PF_OutFlag_DISPLAY_ERROR_MESSAGE; "" for none
  int disposes, unlocks;  // host_dispose_handle and host_unlock_handle calls
};

TEST(GlobalSetup, EveryFailureGivesItsCodeAndReleasesEverything) {
  const char* kNoSuite = "Not able to acquire AEFX Suite.";
  const FailureCase cases[] = {
      {"no new handle", false, "host_new_handle", nullptr, PF_Err_INTERNAL_STRUCT_DAMAGED, false,
       "", 0, 0},
      {"handle will not lock", false, "host_lock_handle", nullptr, PF_Err_NONE, false, "", 1, 1},
      {"registration fails", false, "AEGP_RegisterWithAEGP", nullptr, A_Err_GENERIC, false, "", 1,
       1},
      {"no handle suite", false, nullptr, kPFHandleSuite, PF_Err_BAD_CALLBACK_PARAM, false, "", 0,
       0},
      {"no utility suite", false, nullptr, kAEGPUtilitySuite, PF_Err_BAD_CALLBACK_PARAM, false, "",
       1, 1},
      {"Premiere, no pixel format suite", true, nullptr, kPFPixelFormatSuite, A_Err_MISSING_SUITE,
       true, kNoSuite, 0, 1},
      {"Premiere, pixel format calls fail", true, "ClearSupportedPixelFormats", nullptr,
       PF_Err_NONE, true, "", 0, 1},
  };
  for (const FailureCase& c : cases) {
    SCOPED_TRACE(c.what);
    SimHost host(LinkedPlugin(), c.premiere ? PremiereOptions() : kelvrix::host::HostOptions{});
    if (c.fault != nullptr) host.Faults().Fail(c.fault, A_Err_GENERIC);
    if (c.premiere && c.fault != nullptr) host.Faults().Fail("AddSupportedPixelFormat", 1);
    if (c.missingSuite != nullptr) host.Suites().SetMissing(c.missingSuite);
    EXPECT_EQ(host.GlobalSetup(), c.result);
    PF_OutData out = host.LastOutData();
    EXPECT_EQ((out.out_flags & PF_OutFlag_DISPLAY_ERROR_MESSAGE) != 0, c.message[0] != '\0');
    out.out_flags &= ~PF_OutFlag_DISPLAY_ERROR_MESSAGE;
    ExpectVersionAndFlags(out);
    EXPECT_STREQ(out.return_msg, c.message);
    EXPECT_EQ(host.GlobalData() != nullptr, c.dataKept);
    EXPECT_EQ(host.Faults().Calls("host_dispose_handle"), c.disposes);
    EXPECT_EQ(host.Faults().Calls("host_unlock_handle"), c.unlocks);
    EXPECT_TRUE(host.RegisteredPlugins().empty());
    EXPECT_EQ(host.Faults().Calls("AddSupportedPixelFormat"), c.premiere && c.fault ? 1 : 0);
    ExpectAllGivenBack(host);
  }
}

TEST(GlobalSetup, AMissingBasicSuiteGives516) {
  SimHost host(LinkedPlugin());
  SimHost::CommandRecords records = host.Prepare();
  records.in_data.pica_basicP = nullptr;
  EXPECT_EQ(host.Send(PF_Cmd_GLOBAL_SETUP, records), PF_Err_BAD_CALLBACK_PARAM);
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
