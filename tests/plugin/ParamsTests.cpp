// Parameter setup and the supervision that keeps exactly one Style box ticked.
#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "tests/support/LinkedPlugin.h"

using kelvrix::host::SimHost;
using kelvrix::testing::ExpectAllGivenBack;
using kelvrix::testing::LinkedPlugin;

namespace {

// A record cleared to zero, as every parameter record is before it is filled.
PF_ParamDef Cleared(A_long id, PF_ParamType type, const char* name, PF_ParamFlags flags) {
  PF_ParamDef def;
  std::memset(&def, 0, sizeof def);
  def.uu.id = id;
  def.param_type = type;
  std::strcpy(def.name, name);
  def.flags = flags;
  return def;
}

void ExpectSameRecord(const PF_ParamDef& got, PF_ParamDef want) {
  if (want.param_type == PF_Param_CHECKBOX) {
    ASSERT_NE(got.u.bd.u.nameptr, nullptr);
    EXPECT_STREQ(got.u.bd.u.nameptr, "");
    want.u.bd.u.nameptr = got.u.bd.u.nameptr;  // compare the rest byte for byte
  }
  EXPECT_EQ(std::memcmp(&got, &want, sizeof want), 0) << "parameter " << want.uu.id;
}

}  // namespace

TEST(SetupParams, DeclaresSizeAndTheStyleGroupFieldByField) {
  SimHost host(LinkedPlugin());
  ASSERT_EQ(host.ParamsSetup(), PF_Err_NONE);
  EXPECT_EQ(host.LastOutData().num_params, 7);
  const auto& params = host.Params();
  ASSERT_EQ(params.size(), 7u);
  PF_ParamDef size = Cleared(1, PF_Param_FLOAT_SLIDER, "Size", 0x200);
  size.u.fs_d = {};
  size.u.fs_d.value = 150.0;
  size.u.fs_d.valid_min = size.u.fs_d.slider_min = 1.0f;
  size.u.fs_d.valid_max = 1000.0f;
  size.u.fs_d.slider_max = 500.0f;
  size.u.fs_d.dephault = 150.0f;
  size.u.fs_d.fs_flags = 1;
  size.u.fs_d.curve_tolerance = 0.05f;
  ExpectSameRecord(params[1], size);
  ExpectSameRecord(params[2], Cleared(2, PF_Param_GROUP_START, "Style (Bit Depth)", 0));
  const char* names[] = {"Zesty (8 bpc)", "Cloudy (16 bpc)", "Tripping (32 bpc)"};
  for (int i = 0; i < 3; ++i) {
    PF_ParamDef box = Cleared(3 + i, PF_Param_CHECKBOX, names[i], 0x242);
    box.u.bd.value = box.u.bd.dephault = static_cast<PF_Boolean>(i == 0 ? 1 : 0);
    ExpectSameRecord(params[static_cast<size_t>(3 + i)], box);
  }
  ExpectSameRecord(params[6], Cleared(6, PF_Param_GROUP_END, "", 0));
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
    EXPECT_EQ(host.Faults().Calls("add_param"), k);
    EXPECT_EQ(host.Params().size(), static_cast<size_t>(k));  // layer + those added before
  }
}

// The user changes parameter `changed` after the boxes were set to `before`. Boxes are written
// as three digits, Zesty first.
struct SupervisionCase {
  const char* what;
  A_long applId;
  const char* missingSuite;  // or null
  const char* fault;         // host function that fails, or null
  const char* before;
  PF_ParamIndex changed;
  PF_Err result;
  const char* after;
  const char* changeFlags;
  bool refresh;
  int effectRefs;
};

std::string Digits(SimHost& host, bool changeFlags) {
  std::string digits;
  for (size_t i = 3; i <= 5; ++i) {
    const PF_ParamDef& box = host.Params()[i];
    digits += static_cast<char>('0' + (changeFlags ? box.uu.change_flags : box.u.bd.value));
  }
  return digits;
}

TEST(Supervision, KeepsExactlyOneStyleBoxTicked) {
  const A_long ae = kAppIdAfterEffects, pr = kAppIdPremierePro;
  const SupervisionCase cases[] = {
      {"ticking another unticks the rest", ae, nullptr, nullptr, "101", 5, 0, "001", "110", true,
       1},
      {"unticking the only one ticks it again", ae, nullptr, nullptr, "000", 3, 0, "100", "100",
       true, 1},
      // a change outside the Style group, on either side, only refreshes
      {"group start", ae, nullptr, nullptr, "010", 2, 0, "010", "000", true, 1},
      {"group end", ae, nullptr, nullptr, "001", 6, 0, "001", "000", true, 1},
      {"past the end", ae, nullptr, nullptr, "100", 7, 0, "100", "000", true, 1},
      {"negative", ae, nullptr, nullptr, "100", -1, 0, "100", "000", true, 1},
      {"missing interface suite", ae, kAEGPPFInterfaceSuite, nullptr, "101", 5,
       PF_Err_BAD_CALLBACK_PARAM, "101", "000", false, 0},
      {"no effect reference", ae, nullptr, "AEGP_GetNewEffectForEffect", "110", 4, A_Err_GENERIC,
       "010", "101", true, 0},
      {"missing disposal suite", ae, kAEGPEffectSuite, nullptr, "011", 5, 0, "001", "110", true, 1},
      {"Premiere leaves the boxes", pr, nullptr, nullptr, "101", 5, 0, "101", "000", true, 0},
      {"no global data", ae, nullptr, "host_lock_handle", "010", 4, 0, "010", "101", true, 0},
  };
  for (const SupervisionCase& c : cases) {
    SCOPED_TRACE(c.what);
    kelvrix::host::HostOptions options;
    options.applId = c.applId;
    SimHost host(LinkedPlugin(), options);
    if (c.fault != nullptr) host.Faults().Fail(c.fault, A_Err_GENERIC);
    ASSERT_EQ(host.GlobalSetup(), PF_Err_NONE);
    ASSERT_EQ(host.ParamsSetup(), PF_Err_NONE);
    if (c.missingSuite != nullptr) host.Suites().SetMissing(c.missingSuite);
    host.Suites().ResetCounts();
    for (size_t i = 0; i < 3; ++i) host.Params()[3 + i].u.bd.value = c.before[i] - '0';
    EXPECT_EQ(host.UserChangedParam(c.changed), c.result);
    EXPECT_EQ(Digits(host, false), c.after);
    EXPECT_EQ(Digits(host, true), c.changeFlags);
    EXPECT_EQ((host.LastOutData().out_flags & PF_OutFlag_REFRESH_UI) != 0, c.refresh);
    EXPECT_EQ(host.EffectRefsIssued(), c.effectRefs);
    EXPECT_TRUE(c.applId != pr || host.Suites().Acquires(kAEGPPFInterfaceSuite, 1) == 0);
    // without the disposal suite the reference cannot be given back
    ExpectAllGivenBack(host, c.missingSuite && std::string(c.missingSuite) == kAEGPEffectSuite);
  }
}
