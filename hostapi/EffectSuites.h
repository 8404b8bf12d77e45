// The PF suites the effect or the simulated host calls, declared in full.
#pragma once

#include "hostapi/UtilCallbacks.h"

extern "C" {

#define kPFHandleSuite "PF Handle Suite"
#define kPFHandleSuiteVersion1 2

typedef struct PF_HandleSuite1 {
  PF_Handle (*host_new_handle)(A_HandleSize size);
  void* (*host_lock_handle)(PF_Handle pf_handle);
  void (*host_unlock_handle)(PF_Handle pf_handle);
  void (*host_dispose_handle)(PF_Handle pf_handle);
  A_HandleSize (*host_get_handle_size)(PF_Handle pf_handle);
  PF_Err (*host_resize_handle)(A_HandleSize new_sizeL, PF_Handle* handlePH);
} PF_HandleSuite1;

#define kPFWorldSuite "PF World Suite"
#define kPFWorldSuiteVersion1 1
#define kPFWorldSuiteVersion2 2

typedef struct PF_WorldSuite1 {
  PF_Err (*new_world)(PF_ProgPtr effect_ref, A_long widthL, A_long heightL, PF_NewWorldFlags flags,
                      PF_EffectWorld* world);
  PF_Err (*dispose_world)(PF_ProgPtr effect_ref, PF_EffectWorld* world);
} PF_WorldSuite1;

typedef struct PF_WorldSuite2 {
  PF_Err (*PF_NewWorld)(PF_ProgPtr effect_ref, A_long widthL, A_long heightL, PF_Boolean clear_pixB,
                        PF_PixelFormat pixel_format, PF_EffectWorld* worldP);
  PF_Err (*PF_DisposeWorld)(PF_ProgPtr effect_ref, PF_EffectWorld* worldP);
  PF_Err (*PF_GetPixelFormat)(const PF_EffectWorld* worldP, PF_PixelFormat* pixel_formatP);
} PF_WorldSuite2;

#define kPFPixelFormatSuite "PF Pixel Format Suite"
#define kPFPixelFormatSuiteVersion1 1
#define kPFPixelFormatSuiteVersion2 2

typedef struct PF_PixelFormatSuite {
  PF_Err (*AddSupportedPixelFormat)(PF_ProgPtr effect_ref, PrPixelFormat pixelFormat);
  PF_Err (*ClearSupportedPixelFormats)(PF_ProgPtr effect_ref);
  PF_Err (*NewWorldOfPixelFormat)(PF_ProgPtr effect_ref, A_u_long width, A_u_long height,
                                  PF_NewWorldFlags flags, PrPixelFormat pixelFormat,
                                  PF_EffectWorld* world);
  PF_Err (*DisposeWorld)(PF_ProgPtr effect_ref, PF_EffectWorld* pf_world);
  PF_Err (*GetPixelFormat)(PF_EffectWorld* inWorld, PrPixelFormat* pixelFormat);
  PF_Err (*GetBlackForPixelFormat)(PrPixelFormat pixelFormat, void* pixelData);
  PF_Err (*GetWhiteForPixelFormat)(PrPixelFormat pixelFormat, void* pixelData);
  PF_Err (*ConvertColorToPixelFormattedData)(PrPixelFormat pixelFormat, float alpha, float red,
                                             float green, float blue, void* pixelData);
} PF_PixelFormatSuite;
typedef PF_PixelFormatSuite PF_PixelFormatSuite1;

typedef struct PF_PixelFormatSuite2 {
  PF_Err (*PF_AddSupportedPixelFormat)(PF_ProgPtr effect_ref, PF_PixelFormat pixel_format);
  PF_Err (*PF_ClearSupportedPixelFormats)(PF_ProgPtr effect_ref);
} PF_PixelFormatSuite2;

#define kPFIterate8Suite "PF Iterate8 Suite"
#define kPFIterate8SuiteVersion1 1
#define kPFIterate8SuiteVersion2 2
#define kPFIterate16Suite "PF iterate16 Suite"
#define kPFIterate16SuiteVersion1 1
#define kPFIterate16SuiteVersion2 2
#define kPFIterateFloatSuite "PF iterateFloat Suite"
#define kPFIterateFloatSuiteVersion1 1
#define kPFIterateFloatSuiteVersion2 2

// Versions 1 and 2 of each iterate suite have identical tables.
#define KELVRIX_ITERATE_ENTRIES(PixelType, FuncType)                                          \
  PF_Err (*iterate)(PF_InData * in_data, A_long progress_base, A_long progress_final,         \
                    PF_EffectWorld * src, const PF_Rect* area, void* refcon, FuncType pix_fn, \
                    PF_EffectWorld* dst);                                                     \
  PF_Err (*iterate_origin)(PF_InData * in_data, A_long progress_base, A_long progress_final,  \
                           PF_EffectWorld * src, const PF_Rect* area, const PF_Point* origin, \
                           void* refcon, FuncType pix_fn, PF_EffectWorld* dst);

#define KELVRIX_ITERATE_NON_CLIP(FuncType)                                                         \
  PF_Err (*iterate_origin_non_clip_src)(PF_InData * in_data, A_long progress_base,                 \
                                        A_long progress_final, PF_EffectWorld * src,               \
                                        const PF_Rect* area, const PF_Point* origin, void* refcon, \
                                        FuncType pix_fn, PF_EffectWorld* dst);

#define KELVRIX_ITERATE8_SUITE(Name)                                                         \
  typedef struct Name {                                                                      \
    KELVRIX_ITERATE_ENTRIES(PF_Pixel8, PF_IteratePixel8Func)                                 \
    PF_Err (*iterate_lut)(PF_InData * in_data, A_long progress_base, A_long progress_final,  \
                          PF_EffectWorld* src, const PF_Rect* area, A_u_char* a_lut0,        \
                          A_u_char* r_lut0, A_u_char* g_lut0, A_u_char* b_lut0,              \
                          PF_EffectWorld* dst);                                              \
    KELVRIX_ITERATE_NON_CLIP(PF_IteratePixel8Func)                                           \
    PF_Err (*iterate_generic)(A_long iterationsL, void* refconPV, PF_IterateGenericFunc fn); \
  } Name;

#define KELVRIX_ITERATE_DEEP_SUITE(Tag, Name, PixelType, FuncType) \
  typedef struct Tag {                                             \
    KELVRIX_ITERATE_ENTRIES(PixelType, FuncType)                   \
    KELVRIX_ITERATE_NON_CLIP(FuncType)                             \
  } Name;

KELVRIX_ITERATE8_SUITE(PF_Iterate8Suite1)
KELVRIX_ITERATE8_SUITE(PF_Iterate8Suite2)
KELVRIX_ITERATE_DEEP_SUITE(PF_iterate16Suite1, PF_Iterate16Suite1, PF_Pixel16,
                           PF_IteratePixel16Func)
KELVRIX_ITERATE_DEEP_SUITE(PF_iterate16Suite2, PF_Iterate16Suite2, PF_Pixel16,
                           PF_IteratePixel16Func)
KELVRIX_ITERATE_DEEP_SUITE(PF_iterateFloatSuite1, PF_IterateFloatSuite1, PF_PixelFloat,
                           PF_IteratePixelFloatFunc)
KELVRIX_ITERATE_DEEP_SUITE(PF_iterateFloatSuite2, PF_IterateFloatSuite2, PF_PixelFloat,
                           PF_IteratePixelFloatFunc)

#undef KELVRIX_ITERATE8_SUITE
#undef KELVRIX_ITERATE_DEEP_SUITE
#undef KELVRIX_ITERATE_NON_CLIP
#undef KELVRIX_ITERATE_ENTRIES

}  // extern "C"
