// The utility callbacks the host hands out through in_data->utils.
#pragma once

#include "hostapi/EffectRecords.h"

extern "C" {

typedef PF_Err (*PF_IteratePixel8Func)(void* refcon, A_long x, A_long y, PF_Pixel* in,
                                       PF_Pixel* out);
typedef PF_Err (*PF_IteratePixel16Func)(void* refcon, A_long x, A_long y, PF_Pixel16* in,
                                        PF_Pixel16* out);
typedef PF_Err (*PF_IteratePixelFloatFunc)(void* refcon, A_long x, A_long y, PF_PixelFloat* in,
                                           PF_PixelFloat* out);
typedef PF_Err (*PF_IterateGenericFunc)(void* refconPV, A_long thread_indexL, A_long i,
                                        A_long iterationsL);

typedef struct {
  A_FpLong (*atan)(A_FpLong);
  A_FpLong (*atan2)(A_FpLong y, A_FpLong x);
  A_FpLong (*ceil)(A_FpLong);
  A_FpLong (*cos)(A_FpLong);
  A_FpLong (*exp)(A_FpLong);
  A_FpLong (*fabs)(A_FpLong);
  A_FpLong (*floor)(A_FpLong);
  A_FpLong (*fmod)(A_FpLong x, A_FpLong y);
  A_FpLong (*hypot)(A_FpLong x, A_FpLong y);
  A_FpLong (*log)(A_FpLong);
  A_FpLong (*log10)(A_FpLong);
  A_FpLong (*pow)(A_FpLong x, A_FpLong y);
  A_FpLong (*sin)(A_FpLong);
  A_FpLong (*sqrt)(A_FpLong);
  A_FpLong (*tan)(A_FpLong);
  int (*sprintf)(A_char*, const A_char*, ...);
  A_char* (*strcpy)(A_char*, const A_char*);
  A_FpLong (*asin)(A_FpLong);
  A_FpLong (*acos)(A_FpLong);
  A_long ansi_procs[1];
} PF_ANSICallbacks;

typedef struct {
  PF_Err (*RGBtoHLS)(PF_ProgPtr effect_ref, PF_Pixel* rgb, PF_Fixed* hls);
  PF_Err (*HLStoRGB)(PF_ProgPtr effect_ref, PF_Fixed* hls, PF_Pixel* rgb);
  PF_Err (*RGBtoYIQ)(PF_ProgPtr effect_ref, PF_Pixel* rgb, PF_Fixed* yiq);
  PF_Err (*YIQtoRGB)(PF_ProgPtr effect_ref, PF_Fixed* yiq, PF_Pixel* rgb);
  PF_Err (*Luminance)(PF_ProgPtr effect_ref, PF_Pixel* rgb, A_long* lum100);
  PF_Err (*Hue)(PF_ProgPtr effect_ref, PF_Pixel* rgb, A_long* hue);
  PF_Err (*Lightness)(PF_ProgPtr effect_ref, PF_Pixel* rgb, A_long* lightness);
  PF_Err (*Saturation)(PF_ProgPtr effect_ref, PF_Pixel* rgb, A_long* saturation);
} PF_ColorCallbacks;

// Records the utility callbacks only pass by pointer; never dereferenced here.
typedef struct PF_SampPB PF_SampPB;
typedef struct PF_CompositeMode PF_CompositeMode;
typedef struct PF_MaskWorld PF_MaskWorld;
typedef struct PF_FloatMatrix PF_FloatMatrix;

typedef struct _PF_UtilCallbacks {
  PF_Err (*begin_sampling)(PF_ProgPtr, PF_Quality, PF_ModeFlags, PF_SampPB*);
  PF_Err (*subpixel_sample)(PF_ProgPtr, PF_Fixed, PF_Fixed, const PF_SampPB*, PF_Pixel*);
  PF_Err (*area_sample)(PF_ProgPtr, PF_Fixed, PF_Fixed, const PF_SampPB*, PF_Pixel*);
  void* get_batch_func_is_deprecated;
  PF_Err (*end_sampling)(PF_ProgPtr, PF_Quality, PF_ModeFlags, PF_SampPB*);
  PF_Err (*composite_rect)(PF_ProgPtr, PF_Rect*, A_long, PF_EffectWorld*, A_long, A_long, PF_Field,
                           PF_XferMode, PF_EffectWorld*);
  PF_Err (*blend)(PF_ProgPtr, const PF_EffectWorld*, const PF_EffectWorld*, PF_Fixed,
                  PF_EffectWorld*);
  PF_Err (*convolve)(PF_ProgPtr, PF_EffectWorld*, const PF_Rect*, PF_KernelFlags, A_long, void*,
                     void*, void*, void*, PF_EffectWorld*);
  PF_Err (*copy)(PF_ProgPtr, PF_EffectWorld*, PF_EffectWorld*, PF_Rect*, PF_Rect*);
  PF_Err (*fill)(PF_ProgPtr, const PF_Pixel*, const PF_Rect*, PF_EffectWorld*);
  PF_Err (*gaussian_kernel)(PF_ProgPtr, A_FpLong, PF_KernelFlags, A_FpLong, A_long*, void*);
  PF_Err (*iterate)(PF_InData*, A_long, A_long, PF_EffectWorld*, const PF_Rect*, void*,
                    PF_IteratePixel8Func, PF_EffectWorld*);
  PF_Err (*premultiply)(PF_ProgPtr, A_long, PF_EffectWorld*);
  PF_Err (*premultiply_color)(PF_ProgPtr, PF_EffectWorld*, const PF_Pixel*, A_long,
                              PF_EffectWorld*);
  PF_Err (*new_world)(PF_ProgPtr, A_long, A_long, PF_NewWorldFlags, PF_EffectWorld*);
  PF_Err (*dispose_world)(PF_ProgPtr, PF_EffectWorld*);
  PF_Err (*iterate_origin)(PF_InData*, A_long, A_long, PF_EffectWorld*, const PF_Rect*,
                           const PF_Point*, void*, PF_IteratePixel8Func, PF_EffectWorld*);
  PF_Err (*iterate_lut)(PF_InData*, A_long, A_long, PF_EffectWorld*, const PF_Rect*, A_u_char*,
                        A_u_char*, A_u_char*, A_u_char*, PF_EffectWorld*);
  PF_Err (*transfer_rect)(PF_ProgPtr, PF_Quality, PF_ModeFlags, PF_Field, const PF_Rect*,
                          const PF_EffectWorld*, const PF_CompositeMode*, const PF_MaskWorld*,
                          A_long, A_long, PF_EffectWorld*);
  PF_Err (*transform_world)(PF_ProgPtr, PF_Quality, PF_ModeFlags, PF_Field, const PF_EffectWorld*,
                            const PF_CompositeMode*, const PF_MaskWorld*, const PF_FloatMatrix*,
                            A_long, PF_Boolean, const PF_Rect*, PF_EffectWorld*);
  PF_Handle (*host_new_handle)(A_u_longlong size);
  void* (*host_lock_handle)(PF_Handle);
  void (*host_unlock_handle)(PF_Handle);
  void (*host_dispose_handle)(PF_Handle);
  PF_Err (*get_callback_addr)(PF_ProgPtr, PF_Quality, PF_ModeFlags, PF_CallbackID,
                              PF_CallbackFunc*);
  PF_Err (*app)(PF_ProgPtr, A_long, ...);
  PF_ANSICallbacks ansi;
  PF_ColorCallbacks colorCB;
  PF_Err (*get_platform_data)(PF_ProgPtr, PF_PlatDataID, void*);
  A_u_longlong (*host_get_handle_size)(PF_Handle);
  PF_Err (*iterate_origin_non_clip_src)(PF_InData*, A_long, A_long, PF_EffectWorld*, const PF_Rect*,
                                        const PF_Point*, void*, PF_IteratePixel8Func,
                                        PF_EffectWorld*);
  PF_Err (*iterate_generic)(A_long iterationsL, void* refconPV, PF_IterateGenericFunc fn_func);
  PF_Err (*host_resize_handle)(A_u_longlong new_sizeL, PF_Handle* handlePH);
  PF_Err (*subpixel_sample16)(PF_ProgPtr, PF_Fixed, PF_Fixed, const PF_SampPB*, PF_Pixel16*);
  PF_Err (*area_sample16)(PF_ProgPtr, PF_Fixed, PF_Fixed, const PF_SampPB*, PF_Pixel16*);
  PF_Err (*fill16)(PF_ProgPtr, const PF_Pixel16*, const PF_Rect*, PF_EffectWorld*);
  PF_Err (*premultiply_color16)(PF_ProgPtr, PF_EffectWorld*, const PF_Pixel16*, A_long,
                                PF_EffectWorld*);
  PF_Err (*iterate16)(PF_InData*, A_long, A_long, PF_EffectWorld*, const PF_Rect*, void*,
                      PF_IteratePixel16Func, PF_EffectWorld*);
  PF_Err (*iterate_origin16)(PF_InData*, A_long, A_long, PF_EffectWorld*, const PF_Rect*,
                             const PF_Point*, void*, PF_IteratePixel16Func, PF_EffectWorld*);
  PF_Err (*iterate_origin_non_clip_src16)(PF_InData*, A_long, A_long, PF_EffectWorld*,
                                          const PF_Rect*, const PF_Point*, void*,
                                          PF_IteratePixel16Func, PF_EffectWorld*);
  PF_Err (*get_pixel_data8)(PF_EffectWorld*, PF_PixelPtr, PF_Pixel8**);
  PF_Err (*get_pixel_data16)(PF_EffectWorld*, PF_PixelPtr, PF_Pixel16**);
  A_long reserved[1];
} PF_UtilCallbacks;

}  // extern "C"

// As in the host's headers, both need a variable named in_data in scope.
#define PF_SPRINTF (*in_data->utils->ansi.sprintf)
#define PF_STRCPY(DST, SRC) (*in_data->utils->ansi.strcpy)((DST), (SRC))
