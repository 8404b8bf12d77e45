// Command codes, flags, error codes and other published values of the host API.
#pragma once

#include "hostapi/BasicTypes.h"

// A four-character code as the host's multi-character literals pack it: first character
// in the high byte ('PrMr' == 0x50724D72). Avoids compiler-specific multichar literals.
constexpr A_long PF_MultiCharCode(const char (&code)[5]) {
  return static_cast<A_long>((static_cast<A_u_long>(static_cast<unsigned char>(code[0])) << 24) |
                             (static_cast<A_u_long>(static_cast<unsigned char>(code[1])) << 16) |
                             (static_cast<A_u_long>(static_cast<unsigned char>(code[2])) << 8) |
                             static_cast<A_u_long>(static_cast<unsigned char>(code[3])));
}

// A pixel format code: first character in the LOW byte, unlike the multi-character literal.
constexpr A_long MAKE_PIXEL_FORMAT_FOURCC(char c0, char c1, char c2, char c3) {
  return static_cast<A_long>(static_cast<A_u_long>(static_cast<unsigned char>(c0)) |
                             (static_cast<A_u_long>(static_cast<unsigned char>(c1)) << 8) |
                             (static_cast<A_u_long>(static_cast<unsigned char>(c2)) << 16) |
                             (static_cast<A_u_long>(static_cast<unsigned char>(c3)) << 24));
}

enum : A_long {
  PF_Cmd_ABOUT = 0,
  PF_Cmd_GLOBAL_SETUP,
  PF_Cmd_UNUSED_0,
  PF_Cmd_GLOBAL_SETDOWN,
  PF_Cmd_PARAMS_SETUP,
  PF_Cmd_SEQUENCE_SETUP,
  PF_Cmd_SEQUENCE_RESETUP,
  PF_Cmd_SEQUENCE_FLATTEN,
  PF_Cmd_SEQUENCE_SETDOWN,
  PF_Cmd_DO_DIALOG,
  PF_Cmd_FRAME_SETUP,
  PF_Cmd_RENDER,
  PF_Cmd_FRAME_SETDOWN,
  PF_Cmd_USER_CHANGED_PARAM,
  PF_Cmd_UPDATE_PARAMS_UI,
  PF_Cmd_EVENT,
  PF_Cmd_GET_EXTERNAL_DEPENDENCIES,
  PF_Cmd_COMPLETELY_GENERAL,
  PF_Cmd_QUERY_DYNAMIC_FLAGS,
  PF_Cmd_AUDIO_RENDER,
  PF_Cmd_AUDIO_SETUP,
  PF_Cmd_AUDIO_SETDOWN,
  PF_Cmd_ARBITRARY_CALLBACK,
  PF_Cmd_SMART_PRE_RENDER,
  PF_Cmd_SMART_RENDER,
  PF_Cmd_RESERVED1,
  PF_Cmd_RESERVED2,
  PF_Cmd_RESERVED3,
  PF_Cmd_GET_FLATTENED_SEQUENCE_DATA,
  PF_Cmd_TRANSLATE_PARAMS_TO_PREFS,
  PF_Cmd_RESERVED4,
  PF_Cmd_SMART_RENDER_GPU,
  PF_Cmd_GPU_DEVICE_SETUP,
  PF_Cmd_GPU_DEVICE_SETDOWN,
  PF_Cmd_NUM_CMDS
};

enum : A_long {
  PF_Err_NONE = 0,
  PF_Err_OUT_OF_MEMORY = 4,
  PF_Err_INTERNAL_STRUCT_DAMAGED = 512,
  PF_FIRST_ERR = 512,
  PF_Err_INVALID_INDEX = 513,
  PF_Err_UNRECOGNIZED_PARAM_TYPE = 514,
  PF_Err_INVALID_CALLBACK = 515,
  PF_Err_BAD_CALLBACK_PARAM = 516,
  PF_Interrupt_CANCEL = 517,
  PF_Err_CANNOT_PARSE_KEYFRAME_TEXT = 518
};

enum : A_long {
  A_Err_NONE = 0,
  A_Err_GENERIC = 1,
  A_Err_STRUCT = 2,
  A_Err_PARAMETER = 3,
  A_Err_ALLOC = 4,
  A_Err_WRONG_THREAD = 5,
  A_Err_CONST_PROJECT_MODIFICATION = 6,
  A_Err_MISSING_SUITE = 13,
  A_Err_LAST = 25
};

constexpr SPErr kSPNoError = 0;
constexpr SPErr kSPSuiteNotFoundError = PF_MultiCharCode("S!Fd");
constexpr SPErr kSPBadParameterError = PF_MultiCharCode("Parm");

enum : A_long {
  PF_OutFlag_NONE = 0,
  PF_OutFlag_KEEP_RESOURCE_OPEN = 1 << 0,
  PF_OutFlag_WIDE_TIME_INPUT = 1 << 1,
  PF_OutFlag_NON_PARAM_VARY = 1 << 2,
  PF_OutFlag_SEQUENCE_DATA_NEEDS_FLATTENING = 1 << 4,
  PF_OutFlag_I_DO_DIALOG = 1 << 5,
  PF_OutFlag_USE_OUTPUT_EXTENT = 1 << 6,
  PF_OutFlag_SEND_DO_DIALOG = 1 << 7,
  PF_OutFlag_DISPLAY_ERROR_MESSAGE = 1 << 8,
  PF_OutFlag_I_EXPAND_BUFFER = 1 << 9,
  PF_OutFlag_PIX_INDEPENDENT = 1 << 10,
  PF_OutFlag_I_WRITE_INPUT_BUFFER = 1 << 11,
  PF_OutFlag_I_SHRINK_BUFFER = 1 << 12,
  PF_OutFlag_WORKS_IN_PLACE = 1 << 13,
  PF_OutFlag_CUSTOM_UI = 1 << 15,
  PF_OutFlag_REFRESH_UI = 1 << 17,
  PF_OutFlag_NOP_RENDER = 1 << 18,
  PF_OutFlag_I_USE_SHUTTER_ANGLE = 1 << 19,
  PF_OutFlag_I_USE_AUDIO = 1 << 20,
  PF_OutFlag_I_AM_OBSOLETE = 1 << 21,
  PF_OutFlag_FORCE_RERENDER = 1 << 22,
  PF_OutFlag_PiPL_OVERRIDES_OUTDATA_OUTFLAGS = 1 << 23,
  PF_OutFlag_I_HAVE_EXTERNAL_DEPENDENCIES = 1 << 24,
  PF_OutFlag_DEEP_COLOR_AWARE = 1 << 25,
  PF_OutFlag_SEND_UPDATE_PARAMS_UI = 1 << 26,
  PF_OutFlag_AUDIO_FLOAT_ONLY = 1 << 27,
  PF_OutFlag_AUDIO_IIR = 1 << 28,
  PF_OutFlag_I_SYNTHESIZE_AUDIO = 1 << 29,
  PF_OutFlag_AUDIO_EFFECT_TOO = 1 << 30,
  PF_OutFlag_AUDIO_EFFECT_ONLY = -2147483647 - 1
};

enum : A_long {
  PF_OutFlag2_NONE = 0,
  PF_OutFlag2_SUPPORTS_QUERY_DYNAMIC_FLAGS = 1 << 0,
  PF_OutFlag2_I_USE_3D_CAMERA = 1 << 1,
  PF_OutFlag2_I_USE_3D_LIGHTS = 1 << 2,
  PF_OutFlag2_PARAM_GROUP_START_COLLAPSED_FLAG = 1 << 3,
  PF_OutFlag2_I_AM_THREADSAFE = 1 << 4,
  PF_OutFlag2_CAN_COMBINE_WITH_DESTINATION = 1 << 5,
  PF_OutFlag2_DOESNT_NEED_EMPTY_PIXELS = 1 << 6,
  PF_OutFlag2_REVEALS_ZERO_ALPHA = 1 << 7,
  PF_OutFlag2_PRESERVES_FULLY_OPAQUE_PIXELS = 1 << 8,
  PF_OutFlag2_SUPPORTS_SMART_RENDER = 1 << 10,
  PF_OutFlag2_FLOAT_COLOR_AWARE = 1 << 12,
  PF_OutFlag2_I_USE_COLORSPACE_ENUMERATION = 1 << 13,
  PF_OutFlag2_I_AM_DEPRECATED = 1 << 14,
  PF_OutFlag2_AUTOMATIC_WIDE_TIME_INPUT = 1 << 17,
  PF_OutFlag2_I_USE_TIMECODE = 1 << 18,
  PF_OutFlag2_SUPPORTS_GPU_RENDER_F32 = 1 << 25,
  PF_OutFlag2_SUPPORTS_THREADED_RENDERING = 1 << 27,
  PF_OutFlag2_MUTABLE_RENDER_SEQUENCE_DATA_SLOWER = 1 << 28
};

enum : A_long {
  PF_ParamFlag_NONE = 0,
  PF_ParamFlag_CANNOT_TIME_VARY = 1 << 1,
  PF_ParamFlag_CANNOT_INTERP = 1 << 2,
  PF_ParamFlag_COLLAPSE_TWIRLY = 1 << 5,
  PF_ParamFlag_START_COLLAPSED = PF_ParamFlag_COLLAPSE_TWIRLY,
  PF_ParamFlag_SUPERVISE = 1 << 6,
  PF_ParamFlag_USE_VALUE_FOR_OLD_PROJECTS = 1 << 7,
  PF_ParamFlag_EXCLUDE_FROM_HAVE_INPUTS_CHANGED = 1 << 8,
  PF_ParamFlag_SKIP_REVEAL_WHEN_UNHIDDEN = 1 << 9
};

enum : A_long {
  PF_Param_RESERVED = -1,
  PF_Param_LAYER = 0,
  PF_Param_SLIDER,
  PF_Param_FIX_SLIDER,
  PF_Param_ANGLE,
  PF_Param_CHECKBOX,
  PF_Param_COLOR,
  PF_Param_POINT,
  PF_Param_POPUP,
  PF_Param_CUSTOM,
  PF_Param_NO_DATA,
  PF_Param_FLOAT_SLIDER,
  PF_Param_ARBITRARY_DATA,
  PF_Param_PATH,
  PF_Param_GROUP_START,
  PF_Param_GROUP_END,
  PF_Param_BUTTON,
  PF_Param_RESERVED2,
  PF_Param_RESERVED3,
  PF_Param_POINT_3D
};

enum : A_long {
  PF_ChangeFlag_NONE = 0,
  PF_ChangeFlag_CHANGED_VALUE = 1 << 0,
  PF_ChangeFlag_SET_TO_VARY = 1 << 2,
  PF_ChangeFlag_SET_TO_CONSTANT = 1 << 3
};

enum : A_long { PF_FSliderFlag_NONE = 0, PF_FSliderFlag_WANT_PHASE = 1 };

enum : A_long {
  PF_Precision_INTEGER = 0,
  PF_Precision_TENTHS,
  PF_Precision_HUNDREDTHS,
  PF_Precision_THOUSANDTHS,
  PF_Precision_TEN_THOUSANDTHS
};

enum : A_long {
  PF_PixelFormat_ARGB32 = MAKE_PIXEL_FORMAT_FOURCC('a', 'r', 'g', 'b'),
  PF_PixelFormat_ARGB64 = MAKE_PIXEL_FORMAT_FOURCC('a', 'e', '1', '6'),
  PF_PixelFormat_ARGB128 = MAKE_PIXEL_FORMAT_FOURCC('a', 'e', '3', '2'),
  PF_PixelFormat_BGRA32 = MAKE_PIXEL_FORMAT_FOURCC('b', 'g', 'r', 'a'),
  PF_PixelFormat_VUYA32 = MAKE_PIXEL_FORMAT_FOURCC('v', 'u', 'y', 'a'),
  PF_PixelFormat_INVALID = MAKE_PIXEL_FORMAT_FOURCC('b', 'a', 'd', 'f')
};

enum : A_long { PF_WorldFlag_DEEP = 1 << 0, PF_WorldFlag_WRITEABLE = 1 << 1 };

enum : A_long {
  PF_NewWorldFlag_NONE = 0,
  PF_NewWorldFlag_CLEAR_PIXELS = 1 << 0,
  PF_NewWorldFlag_DEEP_PIXELS = 1 << 1
};

enum : A_long { PF_Stage_DEVELOP = 0, PF_Stage_ALPHA, PF_Stage_BETA, PF_Stage_RELEASE };

enum : A_long { PF_Iterations_ONCE_PER_PROCESSOR = -1 };

enum : A_long {
  PF_MAX_EFFECT_NAME_LEN = 31,
  PF_MAX_EFFECT_PARAM_NAME_LEN = 31,
  PF_MAX_PARAM_DESCRIPTION_LEN = 31,
  PF_MAX_PARAM_VALUE_LEN = 31,
  PF_MAX_EFFECT_MSG_LEN = 255,
  PF_MAX_CHAN8 = 255,
  PF_HALF_CHAN8 = 128,
  PF_MAX_CHAN16 = 32768,
  PF_HALF_CHAN16 = 16384,
  PF_MAX_WORLD_WIDTH = 30000,
  PF_MAX_WORLD_HEIGHT = 30000,
  AEGP_MAX_PLUGIN_NAME_SIZE = 32
};

enum : A_long { PF_LayerDefault_MYSELF = -1, PF_LayerDefault_NONE = 0 };

// The host's version packing: build in bits 0-8, stage 9-10, bug-fix 11-14, minor 15-18,
// major's low three bits 19-21 and its high bits from 26.
constexpr A_u_long PF_VERSION(A_u_long vers, A_u_long subvers, A_u_long bugvers, A_u_long stage,
                              A_u_long build) {
  return (((vers >> 3) & 0xFu) << 26) | ((vers & 0x7u) << 19) | ((subvers & 0xFu) << 15) |
         ((bugvers & 0xFu) << 11) | ((stage & 0x3u) << 9) | (build & 0x1FFu);
}

constexpr A_long PF_AE_PLUG_IN_VERSION = 13;
constexpr A_long PF_AE_PLUG_IN_SUBVERS = 28;

// Application ids in in_data->appl_id.
constexpr A_long kAppIdAfterEffects = PF_MultiCharCode("FXTC");
constexpr A_long kAppIdPremierePro = PF_MultiCharCode("PrMr");
