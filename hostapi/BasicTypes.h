// Scalar types of the host API, with the widths the host uses on 64-bit Windows.
// A_long is a fixed 32-bit type: declaring it `long` would break every record on LP64.
#pragma once

#include <cstddef>
#include <cstdint>

extern "C" {

typedef int32_t A_long;
typedef uint32_t A_u_long;
typedef int16_t A_short;
typedef uint16_t A_u_short;
typedef char A_char;
typedef uint8_t A_u_char;
typedef uint8_t A_Boolean;
typedef double A_FpLong;
typedef float A_FpShort;
typedef A_long A_Err;
typedef void* A_Handle;
typedef intptr_t A_intptr_t;
typedef uint64_t A_u_longlong;
typedef A_u_longlong A_HandleSize;
typedef A_u_short A_UTF16Char;

typedef struct {
  A_long value;
  A_u_long scale;
} A_Time;

typedef struct {
  A_long num;
  A_u_long den;
} A_Ratio;

typedef struct {
  A_FpLong mat[4][4];
} A_Matrix4;

// The host's Windows branch: PF_Boolean is a plain char, PF_Handle a pointer to a pointer.
typedef A_char PF_Boolean;
typedef A_long PF_Err;
typedef A_long PF_Cmd;
typedef A_long PF_Fixed;
typedef A_u_long PF_UFixed;
typedef A_FpLong PF_FpLong;
typedef A_FpShort PF_FpShort;
typedef A_long PF_ParamValue;
typedef struct PF_ProgressInfo* PF_ProgPtr;
typedef void** PF_Handle;
typedef A_long PF_ParamIndex;
typedef A_long PF_PixelFormat;
typedef A_long PF_ChangeFlags;
typedef A_long PF_ParamFlags;
typedef A_long PF_ParamType;
typedef A_long PF_ParamUIFlags;
typedef A_long PF_Field;
typedef A_long PF_ChannelMask;
typedef A_long PF_Quality;
typedef A_long PF_ModeFlags;
typedef A_long PF_OutFlags;
typedef A_long PF_OutFlags2;
typedef A_long PF_InFlags;
typedef A_long PF_WorldFlags;
typedef A_long PF_NewWorldFlags;
typedef A_short PF_ValueDisplayFlags;
typedef A_u_long PF_FSliderFlags;
typedef short PF_RenderOutputFlags;
typedef A_long PF_GPU_Framework;
typedef A_long PF_Stage;
typedef struct _PF_LayerAudio* PF_LayerAudio;
typedef void* PF_SndSamplePtr;
typedef A_short PF_SoundFormat;
typedef A_short PF_SoundSampleSize;
typedef A_short PF_SoundChannels;
typedef PF_Handle PF_ArbitraryH;
typedef A_u_long PF_PathID;
typedef A_long PF_PlatDataID;
typedef A_long PF_TransferMode;
typedef PF_TransferMode PF_XferMode;
typedef A_u_long PF_KernelFlags;
typedef A_long PF_CallbackID;
typedef struct PF_YouMustCastThisToActualFunctionType* PF_CallbackFunc;
typedef A_long PF_SampleEdgeBehav;
typedef A_long PF_MaskFlags;

typedef A_long AEGP_PluginID;
typedef struct _AEGP_Effect** AEGP_EffectRefH;
typedef struct _AEGP_Layer** AEGP_LayerH;
typedef struct _AEGP_GlobalRefcon* AEGP_GlobalRefcon;
typedef struct _AEGP_StreamRef** AEGP_StreamRefH;
typedef struct _Up_OpaqueMem** AEGP_MemHandle;
typedef A_long AEGP_EffectIndex;
typedef A_long AEGP_InstalledEffectKey;
typedef A_long AEGP_EffectFlags;
typedef A_long AEGP_MaskIDVal;

// SPBoolean is 32-bit on Windows, the platform whose layout we reproduce everywhere.
typedef int32_t SPErr;
typedef int32_t SPBoolean;
typedef int32_t int32;

// Premiere's pixel format enumeration is four bytes wide and holds four-character codes.
typedef A_long PrPixelFormat;

}  // extern "C"
