// Sizes, alignments and field offsets of every record the effect or the simulated host
// touches, as the host lays them out on 64-bit Windows. A wrong type width (say `long`
// for A_long on LP64) or a missed field stops the build here instead of corrupting memory.
#pragma once

#include <cstddef>

#include "hostapi/AegpSuites.h"
#include "hostapi/EffectSuites.h"
#include "hostapi/SPBasicSuite.h"
#include "hostapi/UtilCallbacks.h"

#define KELVRIX_ABI_SIZE(T, size, align) \
  static_assert(sizeof(T) == (size) && alignof(T) == (align), "layout of " #T)
#define KELVRIX_ABI_AT(T, field, offset) \
  static_assert(offsetof(T, field) == (offset), "offset of " #T "." #field)

KELVRIX_ABI_SIZE(A_long, 4, 4);
KELVRIX_ABI_SIZE(A_short, 2, 2);
KELVRIX_ABI_SIZE(PF_Boolean, 1, 1);
KELVRIX_ABI_SIZE(A_Boolean, 1, 1);
KELVRIX_ABI_SIZE(PF_Handle, 8, 8);
KELVRIX_ABI_SIZE(SPBoolean, 4, 4);
KELVRIX_ABI_SIZE(A_u_longlong, 8, 8);
KELVRIX_ABI_SIZE(A_Time, 8, 4);
KELVRIX_ABI_SIZE(A_Ratio, 8, 4);
KELVRIX_ABI_SIZE(PF_RationalScale, 8, 4);
KELVRIX_ABI_SIZE(PF_SpecVersion, 4, 2);
KELVRIX_ABI_SIZE(PF_Point, 8, 4);
KELVRIX_ABI_SIZE(PF_LRect, 16, 4);
KELVRIX_ABI_AT(PF_LRect, top, 4);
KELVRIX_ABI_AT(PF_LRect, right, 8);
KELVRIX_ABI_AT(PF_LRect, bottom, 12);
KELVRIX_ABI_SIZE(PF_Pixel, 4, 1);
KELVRIX_ABI_AT(PF_Pixel, red, 1);
KELVRIX_ABI_AT(PF_Pixel, blue, 3);
KELVRIX_ABI_SIZE(PF_Pixel16, 8, 2);
KELVRIX_ABI_AT(PF_Pixel16, red, 2);
KELVRIX_ABI_AT(PF_Pixel16, blue, 6);
KELVRIX_ABI_SIZE(PF_PixelFloat, 16, 4);
KELVRIX_ABI_AT(PF_PixelFloat, red, 4);
KELVRIX_ABI_AT(PF_PixelFloat, blue, 12);

KELVRIX_ABI_SIZE(PF_LayerDef, 120, 8);
KELVRIX_ABI_AT(PF_LayerDef, world_flags, 16);
KELVRIX_ABI_AT(PF_LayerDef, data, 24);
KELVRIX_ABI_AT(PF_LayerDef, rowbytes, 32);
KELVRIX_ABI_AT(PF_LayerDef, width, 36);
KELVRIX_ABI_AT(PF_LayerDef, height, 40);
KELVRIX_ABI_AT(PF_LayerDef, extent_hint, 44);
KELVRIX_ABI_AT(PF_LayerDef, platform_ref, 64);
KELVRIX_ABI_AT(PF_LayerDef, reserved_long1, 72);
KELVRIX_ABI_AT(PF_LayerDef, reserved_long4, 80);
KELVRIX_ABI_AT(PF_LayerDef, pix_aspect_ratio, 88);
KELVRIX_ABI_AT(PF_LayerDef, reserved_long2, 96);
KELVRIX_ABI_AT(PF_LayerDef, origin_x, 104);
KELVRIX_ABI_AT(PF_LayerDef, origin_y, 108);
KELVRIX_ABI_AT(PF_LayerDef, reserved_long3, 112);
KELVRIX_ABI_AT(PF_LayerDef, dephault, 116);

KELVRIX_ABI_SIZE(PF_SliderDef, 88, 4);
KELVRIX_ABI_SIZE(PF_FixedSliderDef, 92, 4);
KELVRIX_ABI_SIZE(PF_FloatSliderDef, 88, 8);
KELVRIX_ABI_AT(PF_FloatSliderDef, phase, 8);
KELVRIX_ABI_AT(PF_FloatSliderDef, value_desc, 16);
KELVRIX_ABI_AT(PF_FloatSliderDef, valid_min, 48);
KELVRIX_ABI_AT(PF_FloatSliderDef, valid_max, 52);
KELVRIX_ABI_AT(PF_FloatSliderDef, slider_min, 56);
KELVRIX_ABI_AT(PF_FloatSliderDef, slider_max, 60);
KELVRIX_ABI_AT(PF_FloatSliderDef, dephault, 64);
KELVRIX_ABI_AT(PF_FloatSliderDef, precision, 68);
KELVRIX_ABI_AT(PF_FloatSliderDef, display_flags, 70);
KELVRIX_ABI_AT(PF_FloatSliderDef, fs_flags, 72);
KELVRIX_ABI_AT(PF_FloatSliderDef, curve_tolerance, 76);
KELVRIX_ABI_AT(PF_FloatSliderDef, useExponent, 80);
KELVRIX_ABI_AT(PF_FloatSliderDef, exponent, 84);
KELVRIX_ABI_SIZE(PF_AngleDef, 16, 4);
KELVRIX_ABI_SIZE(PF_CheckBoxDef, 16, 8);
KELVRIX_ABI_AT(PF_CheckBoxDef, dephault, 4);
KELVRIX_ABI_AT(PF_CheckBoxDef, reserved, 5);
KELVRIX_ABI_AT(PF_CheckBoxDef, reserved1, 6);
KELVRIX_ABI_AT(PF_CheckBoxDef, u.nameptr, 8);
KELVRIX_ABI_SIZE(PF_ColorDef, 8, 1);
KELVRIX_ABI_SIZE(PF_PointDef, 20, 4);
KELVRIX_ABI_SIZE(PF_Point3DDef, 64, 8);
KELVRIX_ABI_SIZE(PF_PopupDef, 16, 8);
KELVRIX_ABI_SIZE(PF_ButtonDef, 16, 8);
KELVRIX_ABI_SIZE(PF_PathDef, 12, 4);
KELVRIX_ABI_SIZE(PF_ArbitraryDef, 32, 8);
KELVRIX_ABI_SIZE(PF_ParamDefUnion, 120, 8);

KELVRIX_ABI_SIZE(PF_ParamDef, 176, 8);
KELVRIX_ABI_AT(PF_ParamDef, uu.id, 0);
KELVRIX_ABI_AT(PF_ParamDef, uu.change_flags, 0);
KELVRIX_ABI_AT(PF_ParamDef, ui_flags, 4);
KELVRIX_ABI_AT(PF_ParamDef, ui_width, 8);
KELVRIX_ABI_AT(PF_ParamDef, ui_height, 10);
KELVRIX_ABI_AT(PF_ParamDef, param_type, 12);
KELVRIX_ABI_AT(PF_ParamDef, name, 16);
KELVRIX_ABI_AT(PF_ParamDef, flags, 48);
KELVRIX_ABI_AT(PF_ParamDef, unused, 52);
KELVRIX_ABI_AT(PF_ParamDef, u, 56);
KELVRIX_ABI_AT(PF_ParamDef, u.ld.data, 80);
KELVRIX_ABI_AT(PF_ParamDef, u.ld.rowbytes, 88);
KELVRIX_ABI_AT(PF_ParamDef, u.ld.width, 92);
KELVRIX_ABI_AT(PF_ParamDef, u.ld.height, 96);
KELVRIX_ABI_AT(PF_ParamDef, u.ld.extent_hint, 100);
KELVRIX_ABI_AT(PF_ParamDef, u.ld.pix_aspect_ratio, 144);
KELVRIX_ABI_AT(PF_ParamDef, u.ld.origin_x, 160);
KELVRIX_ABI_AT(PF_ParamDef, u.ld.dephault, 172);
KELVRIX_ABI_AT(PF_ParamDef, u.fs_d.value, 56);
KELVRIX_ABI_AT(PF_ParamDef, u.fs_d.phase, 64);
KELVRIX_ABI_AT(PF_ParamDef, u.fs_d.value_desc, 72);
KELVRIX_ABI_AT(PF_ParamDef, u.fs_d.valid_min, 104);
KELVRIX_ABI_AT(PF_ParamDef, u.fs_d.precision, 124);
KELVRIX_ABI_AT(PF_ParamDef, u.fs_d.display_flags, 126);
KELVRIX_ABI_AT(PF_ParamDef, u.fs_d.fs_flags, 128);
KELVRIX_ABI_AT(PF_ParamDef, u.fs_d.curve_tolerance, 132);
KELVRIX_ABI_AT(PF_ParamDef, u.fs_d.useExponent, 136);
KELVRIX_ABI_AT(PF_ParamDef, u.fs_d.exponent, 140);
KELVRIX_ABI_AT(PF_ParamDef, u.bd.value, 56);
KELVRIX_ABI_AT(PF_ParamDef, u.bd.dephault, 60);
KELVRIX_ABI_AT(PF_ParamDef, u.bd.u.nameptr, 64);
KELVRIX_ABI_AT(PF_ParamDef, u.pd.value, 56);
KELVRIX_ABI_AT(PF_ParamDef, u.pd.num_choices, 60);
KELVRIX_ABI_AT(PF_ParamDef, u.pd.dephault, 62);
KELVRIX_ABI_AT(PF_ParamDef, u.pd.u.namesptr, 64);
KELVRIX_ABI_AT(PF_ParamDef, u.sd.value, 56);
KELVRIX_ABI_AT(PF_ParamDef, u.button_d.u.namesptr, 64);
KELVRIX_ABI_AT(PF_ParamDef, u.cd.value, 56);
KELVRIX_ABI_AT(PF_ParamDef, u.arb_d.value, 72);
KELVRIX_ABI_SIZE(PF_UserChangedParamExtra, 4, 4);

KELVRIX_ABI_SIZE(PF_InteractCallbacks, 176, 8);
KELVRIX_ABI_AT(PF_InteractCallbacks, checkin_param, 8);
KELVRIX_ABI_AT(PF_InteractCallbacks, add_param, 16);
KELVRIX_ABI_AT(PF_InteractCallbacks, abort, 24);
KELVRIX_ABI_AT(PF_InteractCallbacks, progress, 32);
KELVRIX_ABI_AT(PF_InteractCallbacks, register_ui, 40);
KELVRIX_ABI_AT(PF_InteractCallbacks, checkout_layer_audio, 48);
KELVRIX_ABI_AT(PF_InteractCallbacks, checkin_layer_audio, 56);
KELVRIX_ABI_AT(PF_InteractCallbacks, get_audio_data, 64);
KELVRIX_ABI_AT(PF_InteractCallbacks, reserved_str, 72);
KELVRIX_ABI_AT(PF_InteractCallbacks, reserved, 96);

KELVRIX_ABI_SIZE(PF_ANSICallbacks, 160, 8);
KELVRIX_ABI_AT(PF_ANSICallbacks, sprintf, 120);
KELVRIX_ABI_AT(PF_ANSICallbacks, strcpy, 128);
KELVRIX_ABI_AT(PF_ANSICallbacks, acos, 144);
KELVRIX_ABI_AT(PF_ANSICallbacks, ansi_procs, 152);
KELVRIX_ABI_SIZE(PF_ColorCallbacks, 64, 8);
KELVRIX_ABI_SIZE(PF_UtilCallbacks, 552, 8);
KELVRIX_ABI_AT(PF_UtilCallbacks, iterate, 88);
KELVRIX_ABI_AT(PF_UtilCallbacks, new_world, 112);
KELVRIX_ABI_AT(PF_UtilCallbacks, host_new_handle, 160);
KELVRIX_ABI_AT(PF_UtilCallbacks, host_lock_handle, 168);
KELVRIX_ABI_AT(PF_UtilCallbacks, host_unlock_handle, 176);
KELVRIX_ABI_AT(PF_UtilCallbacks, host_dispose_handle, 184);
KELVRIX_ABI_AT(PF_UtilCallbacks, app, 200);
KELVRIX_ABI_AT(PF_UtilCallbacks, ansi, 208);
KELVRIX_ABI_AT(PF_UtilCallbacks, ansi.sprintf, 328);
KELVRIX_ABI_AT(PF_UtilCallbacks, ansi.strcpy, 336);
KELVRIX_ABI_AT(PF_UtilCallbacks, ansi.ansi_procs, 360);
KELVRIX_ABI_AT(PF_UtilCallbacks, colorCB, 368);
KELVRIX_ABI_AT(PF_UtilCallbacks, get_platform_data, 432);
KELVRIX_ABI_AT(PF_UtilCallbacks, host_get_handle_size, 440);
KELVRIX_ABI_AT(PF_UtilCallbacks, iterate_origin_non_clip_src, 448);
KELVRIX_ABI_AT(PF_UtilCallbacks, iterate_generic, 456);
KELVRIX_ABI_AT(PF_UtilCallbacks, host_resize_handle, 464);
KELVRIX_ABI_AT(PF_UtilCallbacks, iterate16, 504);
KELVRIX_ABI_AT(PF_UtilCallbacks, get_pixel_data16, 536);
KELVRIX_ABI_AT(PF_UtilCallbacks, reserved, 544);

KELVRIX_ABI_SIZE(PF_SoundFormatInfo, 16, 8);
KELVRIX_ABI_SIZE(PF_SoundWorld, 32, 8);
KELVRIX_ABI_AT(PF_SoundWorld, num_samples, 16);
KELVRIX_ABI_AT(PF_SoundWorld, dataP, 24);

KELVRIX_ABI_SIZE(PF_InData, 408, 8);
KELVRIX_ABI_AT(PF_InData, inter.checkout_param, 0);
KELVRIX_ABI_AT(PF_InData, inter.checkin_param, 8);
KELVRIX_ABI_AT(PF_InData, inter.add_param, 16);
KELVRIX_ABI_AT(PF_InData, inter.abort, 24);
KELVRIX_ABI_AT(PF_InData, inter.progress, 32);
KELVRIX_ABI_AT(PF_InData, utils, 176);
KELVRIX_ABI_AT(PF_InData, effect_ref, 184);
KELVRIX_ABI_AT(PF_InData, quality, 192);
KELVRIX_ABI_AT(PF_InData, version, 196);
KELVRIX_ABI_AT(PF_InData, version.minor, 198);
KELVRIX_ABI_AT(PF_InData, serial_num, 200);
KELVRIX_ABI_AT(PF_InData, appl_id, 204);
KELVRIX_ABI_AT(PF_InData, num_params, 208);
KELVRIX_ABI_AT(PF_InData, what_cpu, 216);
KELVRIX_ABI_AT(PF_InData, current_time, 224);
KELVRIX_ABI_AT(PF_InData, time_step, 228);
KELVRIX_ABI_AT(PF_InData, total_time, 232);
KELVRIX_ABI_AT(PF_InData, local_time_step, 236);
KELVRIX_ABI_AT(PF_InData, time_scale, 240);
KELVRIX_ABI_AT(PF_InData, field, 244);
KELVRIX_ABI_AT(PF_InData, shutter_angle, 248);
KELVRIX_ABI_AT(PF_InData, width, 252);
KELVRIX_ABI_AT(PF_InData, height, 256);
KELVRIX_ABI_AT(PF_InData, extent_hint, 260);
KELVRIX_ABI_AT(PF_InData, output_origin_x, 276);
KELVRIX_ABI_AT(PF_InData, downsample_x, 284);
KELVRIX_ABI_AT(PF_InData, downsample_x.den, 288);
KELVRIX_ABI_AT(PF_InData, downsample_y, 292);
KELVRIX_ABI_AT(PF_InData, pixel_aspect_ratio, 300);
KELVRIX_ABI_AT(PF_InData, in_flags, 308);
KELVRIX_ABI_AT(PF_InData, global_data, 312);
KELVRIX_ABI_AT(PF_InData, sequence_data, 320);
KELVRIX_ABI_AT(PF_InData, frame_data, 328);
KELVRIX_ABI_AT(PF_InData, start_sampL, 336);
KELVRIX_ABI_AT(PF_InData, total_sampL, 344);
KELVRIX_ABI_AT(PF_InData, src_snd, 352);
KELVRIX_ABI_AT(PF_InData, src_snd.dataP, 376);
KELVRIX_ABI_AT(PF_InData, pica_basicP, 384);
KELVRIX_ABI_AT(PF_InData, pre_effect_source_origin_x, 392);
KELVRIX_ABI_AT(PF_InData, shutter_phase, 400);

KELVRIX_ABI_SIZE(PF_OutData, 408, 8);
KELVRIX_ABI_AT(PF_OutData, name, 4);
KELVRIX_ABI_AT(PF_OutData, global_data, 40);
KELVRIX_ABI_AT(PF_OutData, num_params, 48);
KELVRIX_ABI_AT(PF_OutData, sequence_data, 56);
KELVRIX_ABI_AT(PF_OutData, flat_sdata_size, 64);
KELVRIX_ABI_AT(PF_OutData, frame_data, 72);
KELVRIX_ABI_AT(PF_OutData, width, 80);
KELVRIX_ABI_AT(PF_OutData, origin.h, 88);
KELVRIX_ABI_AT(PF_OutData, origin.v, 92);
KELVRIX_ABI_AT(PF_OutData, out_flags, 96);
KELVRIX_ABI_AT(PF_OutData, return_msg, 100);
KELVRIX_ABI_AT(PF_OutData, start_sampL, 356);
KELVRIX_ABI_AT(PF_OutData, dur_sampL, 360);
KELVRIX_ABI_AT(PF_OutData, dest_snd, 368);
KELVRIX_ABI_AT(PF_OutData, dest_snd.dataP, 392);
KELVRIX_ABI_AT(PF_OutData, out_flags2, 400);
static_assert(sizeof(PF_OutData{}.return_msg) == 256, "return_msg holds 255 characters");

KELVRIX_ABI_SIZE(PF_RenderRequest, 44, 4);
KELVRIX_ABI_AT(PF_RenderRequest, field, 16);
KELVRIX_ABI_AT(PF_RenderRequest, channel_mask, 20);
KELVRIX_ABI_AT(PF_RenderRequest, preserve_rgb_of_zero_alpha, 24);
KELVRIX_ABI_AT(PF_RenderRequest, unused, 25);
KELVRIX_ABI_AT(PF_RenderRequest, reserved, 28);
KELVRIX_ABI_SIZE(PF_PreRenderInput, 64, 8);
KELVRIX_ABI_AT(PF_PreRenderInput, bitdepth, 44);
KELVRIX_ABI_AT(PF_PreRenderInput, gpu_data, 48);
KELVRIX_ABI_AT(PF_PreRenderInput, what_gpu, 56);
KELVRIX_ABI_AT(PF_PreRenderInput, device_index, 60);
KELVRIX_ABI_SIZE(PF_PreRenderOutput, 56, 8);
KELVRIX_ABI_AT(PF_PreRenderOutput, max_result_rect, 16);
KELVRIX_ABI_AT(PF_PreRenderOutput, solid, 32);
KELVRIX_ABI_AT(PF_PreRenderOutput, flags, 34);
KELVRIX_ABI_AT(PF_PreRenderOutput, pre_render_data, 40);
KELVRIX_ABI_AT(PF_PreRenderOutput, delete_pre_render_data_func, 48);
KELVRIX_ABI_SIZE(PF_CheckoutResult, 76, 4);
KELVRIX_ABI_AT(PF_CheckoutResult, max_result_rect, 16);
KELVRIX_ABI_AT(PF_CheckoutResult, par, 32);
KELVRIX_ABI_AT(PF_CheckoutResult, solid, 40);
KELVRIX_ABI_AT(PF_CheckoutResult, ref_width, 44);
KELVRIX_ABI_AT(PF_CheckoutResult, reserved, 52);
KELVRIX_ABI_SIZE(PF_PreRenderCallbacks, 16, 8);
KELVRIX_ABI_AT(PF_PreRenderCallbacks, GuidMixInPtr, 8);
KELVRIX_ABI_SIZE(PF_PreRenderExtra, 24, 8);
KELVRIX_ABI_AT(PF_PreRenderExtra, output, 8);
KELVRIX_ABI_AT(PF_PreRenderExtra, cb, 16);
KELVRIX_ABI_SIZE(PF_SmartRenderInput, 72, 8);
KELVRIX_ABI_AT(PF_SmartRenderInput, bitdepth, 44);
KELVRIX_ABI_AT(PF_SmartRenderInput, pre_render_data, 48);
KELVRIX_ABI_AT(PF_SmartRenderInput, gpu_data, 56);
KELVRIX_ABI_AT(PF_SmartRenderInput, what_gpu, 64);
KELVRIX_ABI_AT(PF_SmartRenderInput, device_index, 68);
KELVRIX_ABI_SIZE(PF_SmartRenderCallbacks, 24, 8);
KELVRIX_ABI_AT(PF_SmartRenderCallbacks, checkin_layer_pixels, 8);
KELVRIX_ABI_AT(PF_SmartRenderCallbacks, checkout_output, 16);
KELVRIX_ABI_SIZE(PF_SmartRenderExtra, 16, 8);
KELVRIX_ABI_AT(PF_SmartRenderExtra, cb, 8);

KELVRIX_ABI_SIZE(SPBasicSuite, 56, 8);
KELVRIX_ABI_AT(SPBasicSuite, ReleaseSuite, 8);
KELVRIX_ABI_AT(SPBasicSuite, IsEqual, 16);
KELVRIX_ABI_AT(SPBasicSuite, AllocateBlock, 24);
KELVRIX_ABI_AT(SPBasicSuite, FreeBlock, 32);
KELVRIX_ABI_AT(SPBasicSuite, ReallocateBlock, 40);
KELVRIX_ABI_AT(SPBasicSuite, Undefined, 48);

KELVRIX_ABI_SIZE(PF_HandleSuite1, 48, 8);
KELVRIX_ABI_AT(PF_HandleSuite1, host_lock_handle, 8);
KELVRIX_ABI_AT(PF_HandleSuite1, host_unlock_handle, 16);
KELVRIX_ABI_AT(PF_HandleSuite1, host_dispose_handle, 24);
KELVRIX_ABI_AT(PF_HandleSuite1, host_resize_handle, 40);
KELVRIX_ABI_SIZE(PF_WorldSuite1, 16, 8);
KELVRIX_ABI_SIZE(PF_WorldSuite2, 24, 8);
KELVRIX_ABI_AT(PF_WorldSuite2, PF_DisposeWorld, 8);
KELVRIX_ABI_AT(PF_WorldSuite2, PF_GetPixelFormat, 16);
KELVRIX_ABI_SIZE(PF_PixelFormatSuite1, 64, 8);
KELVRIX_ABI_AT(PF_PixelFormatSuite1, ClearSupportedPixelFormats, 8);
KELVRIX_ABI_AT(PF_PixelFormatSuite1, ConvertColorToPixelFormattedData, 56);
KELVRIX_ABI_SIZE(PF_PixelFormatSuite2, 16, 8);
KELVRIX_ABI_SIZE(PF_Iterate8Suite1, 40, 8);
KELVRIX_ABI_SIZE(PF_Iterate8Suite2, 40, 8);
KELVRIX_ABI_AT(PF_Iterate8Suite1, iterate_lut, 16);
KELVRIX_ABI_AT(PF_Iterate8Suite1, iterate_generic, 32);
KELVRIX_ABI_AT(PF_Iterate8Suite2, iterate_generic, 32);
KELVRIX_ABI_SIZE(PF_Iterate16Suite1, 24, 8);
KELVRIX_ABI_SIZE(PF_Iterate16Suite2, 24, 8);
KELVRIX_ABI_AT(PF_Iterate16Suite2, iterate_origin_non_clip_src, 16);
KELVRIX_ABI_SIZE(PF_IterateFloatSuite1, 24, 8);
KELVRIX_ABI_SIZE(PF_IterateFloatSuite2, 24, 8);
KELVRIX_ABI_AT(PF_IterateFloatSuite2, iterate_origin_non_clip_src, 16);

KELVRIX_ABI_SIZE(AEGP_ErrReportState, 48, 4);
KELVRIX_ABI_SIZE(AEGP_ColorVal, 32, 8);
KELVRIX_ABI_SIZE(AEGP_UtilitySuite3, 200, 8);
KELVRIX_ABI_AT(AEGP_UtilitySuite3, AEGP_RegisterWithAEGP, 56);
KELVRIX_ABI_AT(AEGP_UtilitySuite3, AEGP_WriteToDebugLog, 192);
KELVRIX_ABI_SIZE(AEGP_PFInterfaceSuite1, 40, 8);
KELVRIX_ABI_AT(AEGP_PFInterfaceSuite1, AEGP_GetNewEffectForEffect, 8);
KELVRIX_ABI_SIZE(AEGP_EffectSuite4, 176, 8);
KELVRIX_ABI_AT(AEGP_EffectSuite4, AEGP_DisposeEffect, 64);

#undef KELVRIX_ABI_SIZE
#undef KELVRIX_ABI_AT
