// Parameter setup and the supervision that keeps exactly one Style box ticked.
#include <gtest/gtest.h>

#include <cstring>

#include "tests/support/LinkedPlugin.h"

using kelvrix::host::SimHost;
using kelvrix::testing::LinkedPlugin;
using kelvrix::testing::PremiereOptions;

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

class Supervision : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_EQ(host_.GlobalSetup(), PF_Err_NONE);
    ASSERT_EQ(host_.ParamsSetup(), PF_Err_NONE);
  }
  void SetBoxes(int a, int b, int c) {
    host_.Params()[3].u.bd.value = a;
    host_.Params()[4].u.bd.value = b;
    host_.Params()[5].u.bd.value = c;
  }
  std::vector<int> Boxes() {
    return {host_.Params()[3].u.bd.value, host_.Params()[4].u.bd.value,
            host_.Params()[5].u.bd.value};
  }
  std::vector<int> Changed() {
    return {host_.Params()[3].uu.change_flags, host_.Params()[4].uu.change_flags,
            host_.Params()[5].uu.change_flags};
  }
  bool RefreshRequested() { return host_.LastOutData().out_flags & PF_OutFlag_REFRESH_UI; }
  void ExpectAllGivenBack() {
    EXPECT_TRUE(host_.Suites().Unbalanced().empty());
    EXPECT_EQ(host_.LiveEffectRefs(), 0u);
  }

  SimHost host_{LinkedPlugin()};
};

}  // namespace

TEST(SetupParams, DeclaresSizeAndTheStyleGroupFieldByField) {
  SimHost host(LinkedPlugin());
  ASSERT_EQ(host.ParamsSetup(), PF_Err_NONE);
  EXPECT_EQ(host.LastOutData().num_params, 7);
  const auto& params = host.Params();
  ASSERT_EQ(params.size(), 7u);

  PF_ParamDef size = Cleared(1, PF_Param_FLOAT_SLIDER, "Size", 0x200);
  size.u.fs_d.value = 150.0;
  size.u.fs_d.valid_min = 1.0f;
  size.u.fs_d.valid_max = 1000.0f;
  size.u.fs_d.slider_min = 1.0f;
  size.u.fs_d.slider_max = 500.0f;
  size.u.fs_d.dephault = 150.0f;
  size.u.fs_d.fs_flags = 1;
  size.u.fs_d.curve_tolerance = 0.05f;
  ExpectSameRecord(params[1], size);

  ExpectSameRecord(params[2], Cleared(2, PF_Param_GROUP_START, "Style (Bit Depth)", 0));
  const char* names[] = {"Zesty (8 bpc)", "Cloudy (16 bpc)", "Tripping (32 bpc)"};
  for (int i = 0; i < 3; ++i) {
    PF_ParamDef box = Cleared(3 + i, PF_Param_CHECKBOX, names[i], 0x242);
    box.u.bd.value = i == 0 ? 1 : 0;
    box.u.bd.dephault = static_cast<PF_Boolean>(i == 0 ? 1 : 0);
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

TEST_F(Supervision, TickingAnotherBoxUnticksTheOtherTwo) {
  SetBoxes(1, 0, 1);  // the user ticked "Tripping (32 bpc)"
  EXPECT_EQ(host_.UserChangedParam(5), PF_Err_NONE);
  EXPECT_EQ(Boxes(), (std::vector<int>{0, 0, 1}));
  EXPECT_EQ(Changed(), (std::vector<int>{1, 1, 0}));
  EXPECT_TRUE(RefreshRequested());
  ExpectAllGivenBack();
  EXPECT_EQ(host_.EffectRefsIssued(), 1);
}

TEST_F(Supervision, UntickingTheOnlyTickedBoxTicksItAgain) {
  SetBoxes(0, 0, 0);  // "Cloudy (16 bpc)" was the ticked one
  EXPECT_EQ(host_.UserChangedParam(4), PF_Err_NONE);
  EXPECT_EQ(Boxes(), (std::vector<int>{0, 1, 0}));
  EXPECT_EQ(Changed(), (std::vector<int>{0, 1, 0}));
  EXPECT_TRUE(RefreshRequested());
  ExpectAllGivenBack();
}

TEST_F(Supervision, AChangeElsewhereOnlyRefreshes) {
  SetBoxes(1, 0, 0);
  for (PF_ParamIndex k : {0, 1, 2, 6, 7, -1}) {
    EXPECT_EQ(host_.UserChangedParam(k), PF_Err_NONE);
    EXPECT_EQ(Boxes(), (std::vector<int>{1, 0, 0}));
    EXPECT_EQ(Changed(), (std::vector<int>{0, 0, 0}));
    EXPECT_TRUE(RefreshRequested());
  }
  ExpectAllGivenBack();
}

TEST_F(Supervision, AMissingInterfaceSuiteGives516AndTouchesNothing) {
  host_.Suites().SetMissing(kAEGPPFInterfaceSuite);
  SetBoxes(1, 0, 1);
  EXPECT_EQ(host_.UserChangedParam(5), PF_Err_BAD_CALLBACK_PARAM);
  EXPECT_EQ(Boxes(), (std::vector<int>{1, 0, 1}));
  EXPECT_FALSE(RefreshRequested());
  ExpectAllGivenBack();
}

TEST_F(Supervision, AnEffectReferenceErrorIsTheResultButTheBoxesAreStillSet) {
  host_.Faults().Fail("AEGP_GetNewEffectForEffect", A_Err_GENERIC);
  SetBoxes(1, 1, 0);
  EXPECT_EQ(host_.UserChangedParam(4), A_Err_GENERIC);
  EXPECT_EQ(Boxes(), (std::vector<int>{0, 1, 0}));
  EXPECT_TRUE(RefreshRequested());
  ExpectAllGivenBack();
}

TEST_F(Supervision, AMissingDisposalSuiteDoesNotFailTheCommand) {
  host_.Suites().SetMissing(kAEGPEffectSuite);
  SetBoxes(0, 1, 1);
  EXPECT_EQ(host_.UserChangedParam(5), PF_Err_NONE);
  EXPECT_EQ(Boxes(), (std::vector<int>{0, 0, 1}));
  EXPECT_TRUE(host_.Suites().Unbalanced().empty());
}

TEST(SupervisionUnderPremiere, LeavesTheBoxesAndAsksForNoSuite) {
  SimHost host(LinkedPlugin(), PremiereOptions());
  ASSERT_EQ(host.GlobalSetup(), PF_Err_NONE);
  ASSERT_EQ(host.ParamsSetup(), PF_Err_NONE);
  host.Suites().ResetCounts();
  host.Params()[3].u.bd.value = 1;
  host.Params()[5].u.bd.value = 1;
  EXPECT_EQ(host.UserChangedParam(5), PF_Err_NONE);
  EXPECT_EQ(host.Params()[3].u.bd.value, 1);
  EXPECT_EQ(host.Params()[5].u.bd.value, 1);
  EXPECT_TRUE(host.LastOutData().out_flags & PF_OutFlag_REFRESH_UI);
  EXPECT_EQ(host.Suites().Acquires(kAEGPPFInterfaceSuite, 1), 0);
  EXPECT_EQ(host.EffectRefsIssued(), 0);
}

TEST(SupervisionWithoutGlobalData, KeepsTheBoxesWithoutAskingForAReference) {
  SimHost host(LinkedPlugin());
  host.Faults().Fail("host_lock_handle", 1);
  ASSERT_EQ(host.GlobalSetup(), PF_Err_NONE);
  ASSERT_EQ(host.GlobalData(), nullptr);
  ASSERT_EQ(host.ParamsSetup(), PF_Err_NONE);
  host.Params()[4].u.bd.value = 1;
  EXPECT_EQ(host.UserChangedParam(4), PF_Err_NONE);
  EXPECT_EQ(host.Params()[3].u.bd.value, 0);
  EXPECT_EQ(host.Params()[4].u.bd.value, 1);
  EXPECT_EQ(host.EffectRefsIssued(), 0);
  EXPECT_TRUE(host.Suites().Unbalanced().empty());
}
