// Global setup on both hosts and on every way it can fail, and reading back its GlobalData.
#include <gtest/gtest.h>

#include <cstdint>
#include <cstdio>
#include <cstring>

#include "plugin/GlobalData.h"
#include "tests/support/LinkedPlugin.h"

using kelvrix::GlobalData;
using kelvrix::host::SimHost;
using namespace kelvrix::testing;

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
    ASSERT_NE(host.GlobalData(), nullptr);
    const auto* data = static_cast<const GlobalData*>(*host.GlobalData());
    EXPECT_EQ(host.Handles().Size(host.GlobalData()), 8u);
    // the first id this host hands out; under Premiere written, never left as the host's bytes
    EXPECT_EQ(std::make_tuple(int{data->setupFlag}, data->aegpPluginId),
              std::make_tuple(1, premiere ? 0 : 7));
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

// One host function failing or one suite missing (`broken`): its code, the message shown with
// PF_OutFlag_DISPLAY_ERROR_MESSAGE, and how many host_dispose_handle and host_unlock_handle
// calls gave the handle back.
TEST(GlobalSetup, EveryFailureGivesItsCodeAndReleasesEverything) {
  const char* kNoSuite = "Not able to acquire AEFX Suite.";
  const struct {
    bool premiere, suite;
    const char* broken;
    PF_Err result;
    bool dataKept;
    const char* message;
    int disposes, unlocks;
  } cases[] = {
      {false, false, "host_new_handle", PF_Err_INTERNAL_STRUCT_DAMAGED, false, "", 0, 0},
      {false, false, "host_lock_handle", PF_Err_NONE, false, "", 1, 1},
      {false, false, "AEGP_RegisterWithAEGP", A_Err_GENERIC, false, "", 1, 1},
      {false, true, kPFHandleSuite, PF_Err_BAD_CALLBACK_PARAM, false, "", 0, 0},
      {false, true, kAEGPUtilitySuite, PF_Err_BAD_CALLBACK_PARAM, false, "", 1, 1},
      {true, true, kPFPixelFormatSuite, A_Err_MISSING_SUITE, true, kNoSuite, 0, 1},
      {true, false, "ClearSupportedPixelFormats", PF_Err_NONE, true, "", 0, 1},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.broken);
    SimHost host(LinkedPlugin(), c.premiere ? PremiereOptions() : kelvrix::host::HostOptions{});
    const bool pixelCallsFail = c.premiere && !c.suite;
    if (c.suite) host.Suites().SetMissing(c.broken);
    if (!c.suite) host.Faults().Fail(c.broken, A_Err_GENERIC);
    if (pixelCallsFail) host.Faults().Fail("AddSupportedPixelFormat", 1);
    EXPECT_EQ(host.GlobalSetup(), c.result);
    PF_OutData out = host.LastOutData();
    EXPECT_EQ(out.out_flags & PF_OutFlag_DISPLAY_ERROR_MESSAGE, c.message[0] ? 0x100 : 0);
    out.out_flags &= ~PF_OutFlag_DISPLAY_ERROR_MESSAGE;
    ExpectVersionAndFlags(out);
    EXPECT_STREQ(out.return_msg, c.message);
    EXPECT_EQ(host.GlobalData() != nullptr, c.dataKept);
    EXPECT_EQ(std::make_tuple(host.Faults().Calls("host_dispose_handle"),
                              host.Faults().Calls("host_unlock_handle"),
                              host.Faults().Calls("AddSupportedPixelFormat")),
              std::make_tuple(c.disposes, c.unlocks, pixelCallsFail ? 1 : 0));
    ExpectAllGivenBack(host);
  }
}

TEST(GlobalData, ReadingThePluginIdNeverDereferencesAMissingBlock) {
  GlobalData filled{1, 42}, unfilled{0, 42};  // unfilled: a block global setup never filled
  void* blocks[] = {nullptr, &unfilled, &filled};
  AEGP_PluginID id = -1;
  PF_OutData out{};
  EXPECT_FALSE(kelvrix::ReadPluginId(nullptr, &id));
  EXPECT_FALSE(kelvrix::ReadPluginId(&out, &id));
  for (void*& block : blocks) {
    out.global_data = &block;
    EXPECT_EQ(kelvrix::ReadPluginId(&out, &id), block == &filled);
  }
  EXPECT_EQ(id, 42);
}
