// The published values of the host API, checked against the numbers the host uses.
#include <gtest/gtest.h>

#include <utility>

#include "hostapi/HostApi.h"

TEST(HostApiValues, MatchThePublishedNumbers) {
  // clang-format off
  const std::pair<uint64_t, uint64_t> kValues[] = {
    // versions pack major, minor, bug, stage and build
    {PF_VERSION(5, 6, 0, PF_Stage_DEVELOP, 1), 2818049u}, {PF_VERSION(13, 0, 0, 0, 0), 0x04280000u},
    {PF_VERSION(2, 4, 0, PF_Stage_DEVELOP, 1), 1179649u},
    {PF_VERSION(1, 0, 0, PF_Stage_RELEASE, 0), 525824u},
    {PF_VERSION(1, 1, 0, PF_Stage_DEVELOP, 1), 557057u},
    // pixel formats put the first character in the low byte, four-character codes in the high
    {PF_PixelFormat_ARGB32, 0x62677261}, {PF_PixelFormat_ARGB64, 0x36316561},
    {PF_PixelFormat_ARGB128, 0x32336561}, {PF_PixelFormat_VUYA32, 0x61797576},
    {PF_PixelFormat_INVALID, 0x66646162}, {kAppIdAfterEffects, 0x46585443},
    {kAppIdPremierePro, 0x50724D72}, {PF_MultiCharCode("eFKT"), 0x65464B54},
    {PF_MultiCharCode("8BIM"), 0x3842494D}, {kSPSuiteNotFoundError, 0x53214664},
    // commands keep the host's numbering
    {PF_Cmd_UNUSED_0, 2}, {PF_Cmd_GLOBAL_SETDOWN, 3}, {PF_Cmd_PARAMS_SETUP, 4},
    {PF_Cmd_RENDER, 11}, {PF_Cmd_USER_CHANGED_PARAM, 13}, {PF_Cmd_SMART_PRE_RENDER, 23},
    {PF_Cmd_SMART_RENDER, 24}, {PF_Cmd_GPU_DEVICE_SETDOWN, 33}, {PF_Cmd_NUM_CMDS, 34},
    // flags and errors
    {PF_OutFlag_DISPLAY_ERROR_MESSAGE, 0x100}, {PF_OutFlag_REFRESH_UI, 0x20000},
    {PF_OutFlag_DEEP_COLOR_AWARE, 0x02000000},
    {static_cast<uint32_t>(PF_OutFlag_AUDIO_EFFECT_ONLY), 0x80000000u},
    {PF_OutFlag2_SUPPORTS_THREADED_RENDERING, 0x08000000},
    {PF_ParamFlag_SUPERVISE | PF_ParamFlag_CANNOT_TIME_VARY |
     PF_ParamFlag_SKIP_REVEAL_WHEN_UNHIDDEN, 0x242},
    {PF_Param_FLOAT_SLIDER, 10}, {PF_Param_GROUP_END, 14}, {PF_Err_BAD_CALLBACK_PARAM, 516},
    {PF_Interrupt_CANCEL, 517}, {A_Err_MISSING_SUITE, 13}};
  // clang-format on
  for (size_t i = 0; i < std::size(kValues); ++i) {
    EXPECT_EQ(kValues[i].first, kValues[i].second) << "row " << i;
  }
}
