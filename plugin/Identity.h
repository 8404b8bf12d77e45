// Who the effect is. The registration entry point, About, global setup and the PiPL
// resource all read these, so the host sees one identity wherever it looks.
#pragma once

#include "hostapi/EffectConstants.h"

namespace kelvrix {

constexpr const char kDisplayName[] = "kelvrix";
constexpr const char kMatchName[] = "Torvendalekelvrix";
constexpr const char kCategory[] = "Torvendale";
constexpr const char kEntryPointName[] = "EffectMain";
constexpr A_long kPluginKind = PF_MultiCharCode("eFKT");  // an effect
constexpr A_long kApiVersionMajor = 13;
constexpr A_long kApiVersionMinor = 27;
constexpr A_long kReservedInfo = 8;  // handed to the registration callback
constexpr A_long kPiPLReservedInfo = 0;

constexpr A_u_long kMajorVersion = 1;
constexpr A_u_long kMinorVersion = 1;
constexpr A_u_long kBugVersion = 0;
constexpr A_u_long kStage = PF_Stage_DEVELOP;
constexpr A_u_long kBuild = 1;
constexpr A_u_long kPackedVersion =
    PF_VERSION(kMajorVersion, kMinorVersion, kBugVersion, kStage, kBuild);
static_assert(kPackedVersion == 0x00088001, "version 1.1.0, develop, build 1");

constexpr A_long kGlobalOutFlags = PF_OutFlag_NON_PARAM_VARY | PF_OutFlag_USE_OUTPUT_EXTENT |
                                   PF_OutFlag_PIX_INDEPENDENT | PF_OutFlag_DEEP_COLOR_AWARE |
                                   PF_OutFlag_SEND_UPDATE_PARAMS_UI;
constexpr A_long kGlobalOutFlags2 =
    PF_OutFlag2_PARAM_GROUP_START_COLLAPSED_FLAG | PF_OutFlag2_SUPPORTS_SMART_RENDER |
    PF_OutFlag2_FLOAT_COLOR_AWARE | PF_OutFlag2_SUPPORTS_THREADED_RENDERING;
static_assert(kGlobalOutFlags == 0x06000444 && kGlobalOutFlags2 == 0x08001408,
              "the flags the PiPL and global setup both declare");

// PiPL effect-description version 2.0.
constexpr A_short kPiPLVersionMajor = 2;
constexpr A_short kPiPLVersionMinor = 0;

constexpr const char kAboutFormat[] = "%s v%d.%d.%d\r%s";
constexpr const char kAboutTagline[] = "\nYou matter.";

}  // namespace kelvrix
