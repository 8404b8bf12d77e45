// Parameter setup and the supervision that keeps exactly one Style box ticked.
#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "tests/support/LinkedPlugin.h"

using kelvrix::host::SimHost;
using kelvrix::testing::LinkedPlugin;

TEST(SetupParams, DeclaresSizeAndTheStyleGroupFieldByField) {
  SimHost host(LinkedPlugin());
  ASSERT_EQ(host.ParamsSetup(), PF_Err_NONE);
  EXPECT_EQ(host.LastOutData().num_params, 7);
  ASSERT_EQ(host.Params().size(), 7u);
  const PF_ParamType types[] = {PF_Param_FLOAT_SLIDER, PF_Param_GROUP_START, PF_Param_CHECKBOX,
                                PF_Param_CHECKBOX,     PF_Param_CHECKBOX,    PF_Param_GROUP_END};
  const char* names[] = {
      "Size", "Style (Bit Depth)", "Zesty (8 bpc)", "Cloudy (16 bpc)", "Tripping (32 bpc)", ""};
  for (A_long id = 1; id <= 6; ++id) {
    const PF_ParamDef& got = host.Params()[static_cast<size_t>(id)];
    PF_ParamDef want;  // cleared to zero, as every record is before it is filled
    std::memset(&want, 0, sizeof want);
    want.uu.id = id;
    want.param_type = types[id - 1];
    std::strcpy(want.name, names[id - 1]);
    want.flags = id == 1 ? 0x200 : want.param_type == PF_Param_CHECKBOX ? 0x242 : 0;
    if (id == 1) {
      PF_FloatSliderDef& size = want.u.fs_d;
      size.value = 150.0;
      size.valid_min = size.slider_min = 1.0f;
      size.valid_max = 1000.0f;
      size.slider_max = 500.0f;
      size.dephault = 150.0f;
      size.fs_flags = 1;
      size.curve_tolerance = 0.05f;
    } else if (want.param_type == PF_Param_CHECKBOX) {
      want.u.bd.value = want.u.bd.dephault = id == 3 ? 1 : 0;  // Zesty
      EXPECT_STREQ(got.u.bd.u.nameptr, "");
      want.u.bd.u.nameptr = got.u.bd.u.nameptr;
    }
    EXPECT_EQ(std::memcmp(&got, &want, sizeof want), 0) << "parameter " << id;
  }
}

TEST(SetupParams, StopsAtTheFirstFailedAddAndLeavesTheCountUnwritten) {
  for (int k = 1; k <= 6; ++k) {
    SCOPED_TRACE(k);
    SimHost host(LinkedPlugin());
    host.Faults().Fail("add_param", PF_Err_OUT_OF_MEMORY, k - 1, 1);
    SimHost::CommandRecords records = host.Prepare();
    records.out_data.num_params = -99;
    EXPECT_EQ(host.Send(PF_Cmd_PARAMS_SETUP, records), PF_Err_OUT_OF_MEMORY);
    EXPECT_EQ(records.out_data.num_params, -99);
    EXPECT_EQ(host.Params().size(), static_cast<size_t>(k));  // layer + those added before
  }
}

// The user changes parameter `changed` after the boxes were set to `before`, with one host
// function failing or one suite missing (`broken`). Boxes are written as three digits, Zesty
// first, then their change flags.
TEST(Supervision, KeepsExactlyOneStyleBoxTicked) {
  const A_long ae = kAppIdAfterEffects, pr = kAppIdPremierePro;
  const struct {
    A_long applId;
    const char *broken, *before;
    PF_ParamIndex changed;
    PF_Err result;
    const char* after;
    bool refresh;
    int effectRefs;
  } cases[] = {
      {ae, nullptr, "101", 5, 0, "001 110", true, 1},  // ticking another unticks the rest
      {ae, nullptr, "000", 3, 0, "100 100", true, 1},  // unticking the only one ticks it again
      {ae, nullptr, "010", 2, 0, "010 000", true, 1},  // outside the group, below
      {ae, nullptr, "001", 6, 0, "001 000", true, 1},  // and above
      {ae, kAEGPPFInterfaceSuite, "101", 5, PF_Err_BAD_CALLBACK_PARAM, "101 000", false, 0},
      {ae, "AEGP_GetNewEffectForEffect", "110", 4, A_Err_GENERIC, "010 101", true, 0},
      {ae, kAEGPEffectSuite, "011", 5, 0, "001 110", true, 1},    // reference cannot go back
      {pr, nullptr, "101", 5, 0, "101 000", true, 0},             // Premiere leaves the boxes
      {ae, "host_lock_handle", "010", 4, 0, "010 101", true, 0},  // no global data
  };
  for (const auto& c : cases) {
    const std::string broken = c.broken != nullptr ? c.broken : "";
    SCOPED_TRACE(broken + " " + c.before + " " + std::to_string(c.changed));
    kelvrix::host::HostOptions options;
    options.applId = c.applId;
    SimHost host(LinkedPlugin(), options);
    const bool suite = broken.find("Suite") != std::string::npos;
    if (!broken.empty() && !suite) host.Faults().Fail(c.broken, A_Err_GENERIC);
    ASSERT_TRUE(kelvrix::testing::SetUpInstance(host, 0));
    if (suite) host.Suites().SetMissing(c.broken);
    host.Suites().ResetCounts();
    for (size_t i = 0; i < 3; ++i) host.Params()[3 + i].u.bd.value = c.before[i] - '0';
    EXPECT_EQ(host.UserChangedParam(c.changed), c.result);
    std::string after = "    ";
    for (size_t i = 0; i < 3; ++i) {
      after[i] = static_cast<char>('0' + host.Params()[3 + i].u.bd.value);
      after += static_cast<char>('0' + host.Params()[3 + i].uu.change_flags);
    }
    EXPECT_EQ(after, c.after);
    EXPECT_EQ((host.LastOutData().out_flags & PF_OutFlag_REFRESH_UI) != 0, c.refresh);
    EXPECT_EQ(host.EffectRefsIssued(), c.effectRefs);
    kelvrix::testing::ExpectAllGivenBack(host, broken == kAEGPEffectSuite);
  }
}
