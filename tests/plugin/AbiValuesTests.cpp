// The published values of the host API, checked against the numbers the host uses.
#include <gtest/gtest.h>

#include "hostapi/HostApi.h"

TEST(HostApiValues, VersionPackingMatchesThePublishedVectors) {
  EXPECT_EQ(PF_VERSION(5, 6, 0, PF_Stage_DEVELOP, 1), 2818049u);
  EXPECT_EQ(PF_VERSION(2, 4, 0, PF_Stage_DEVELOP, 1), 1179649u);
  EXPECT_EQ(PF_VERSION(13, 0, 0, 0, 0), 0x04280000u);
  EXPECT_EQ(PF_VERSION(1, 0, 0, PF_Stage_RELEASE, 0), 525824u);
  EXPECT_EQ(PF_VERSION(1, 1, 0, PF_Stage_DEVELOP, 1), 557057u);
}

TEST(HostApiValues, PixelFormatsPutTheFirstCharacterInTheLowByte) {
  EXPECT_EQ(PF_PixelFormat_ARGB32, 0x62677261);
  EXPECT_EQ(PF_PixelFormat_ARGB64, 0x36316561);
  EXPECT_EQ(PF_PixelFormat_ARGB128, 0x32336561);
  EXPECT_EQ(PF_PixelFormat_VUYA32, 0x61797576);
  EXPECT_EQ(PF_PixelFormat_INVALID, 0x66646162);
}

TEST(HostApiValues, FourCharacterCodesPutTheFirstCharacterInTheHighByte) {
  EXPECT_EQ(kAppIdAfterEffects, 0x46585443);
  EXPECT_EQ(kAppIdPremierePro, 0x50724D72);
  EXPECT_EQ(PF_MultiCharCode("eFKT"), 0x65464B54);
  EXPECT_EQ(PF_MultiCharCode("8BIM"), 0x3842494D);
  EXPECT_EQ(kSPSuiteNotFoundError, 0x53214664);
}

TEST(HostApiValues, CommandsKeepTheHostsNumbering) {
  EXPECT_EQ(PF_Cmd_UNUSED_0, 2);
  EXPECT_EQ(PF_Cmd_GLOBAL_SETDOWN, 3);
  EXPECT_EQ(PF_Cmd_PARAMS_SETUP, 4);
  EXPECT_EQ(PF_Cmd_RENDER, 11);
  EXPECT_EQ(PF_Cmd_USER_CHANGED_PARAM, 13);
  EXPECT_EQ(PF_Cmd_SMART_PRE_RENDER, 23);
  EXPECT_EQ(PF_Cmd_SMART_RENDER, 24);
  EXPECT_EQ(PF_Cmd_GPU_DEVICE_SETDOWN, 33);
  EXPECT_EQ(PF_Cmd_NUM_CMDS, 34);
}

TEST(HostApiValues, FlagsAndErrorsHaveThePublishedValues) {
  EXPECT_EQ(PF_OutFlag_DISPLAY_ERROR_MESSAGE, 0x100);
  EXPECT_EQ(PF_OutFlag_REFRESH_UI, 0x20000);
  EXPECT_EQ(PF_OutFlag_DEEP_COLOR_AWARE, 0x02000000);
  EXPECT_EQ(static_cast<uint32_t>(PF_OutFlag_AUDIO_EFFECT_ONLY), 0x80000000u);
  EXPECT_EQ(PF_OutFlag2_SUPPORTS_THREADED_RENDERING, 0x08000000);
  EXPECT_EQ(PF_ParamFlag_SUPERVISE | PF_ParamFlag_CANNOT_TIME_VARY |
                PF_ParamFlag_SKIP_REVEAL_WHEN_UNHIDDEN,
            0x242);
  EXPECT_EQ(PF_Param_FLOAT_SLIDER, 10);
  EXPECT_EQ(PF_Param_GROUP_END, 14);
  EXPECT_EQ(PF_Err_BAD_CALLBACK_PARAM, 516);
  EXPECT_EQ(PF_Interrupt_CANCEL, 517);
  EXPECT_EQ(A_Err_MISSING_SUITE, 13);
}
