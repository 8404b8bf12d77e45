// The AEGP suites the effect or the simulated host calls, declared in full.
#pragma once

#include "hostapi/EffectRecords.h"

extern "C" {

typedef struct {
  A_long reservedAL[12];
} AEGP_ErrReportState;

typedef struct {
  A_FpLong alphaF;
  A_FpLong redF;
  A_FpLong greenF;
  A_FpLong blueF;
} AEGP_ColorVal;

#define kAEGPUtilitySuite "AEGP Utility Suite"
#define kAEGPUtilitySuiteVersion3 7

typedef struct AEGP_UtilitySuite3 {
  A_Err (*AEGP_ReportInfo)(AEGP_PluginID aegp_plugin_id, const A_char* info_stringZ);
  A_Err (*AEGP_GetDriverPluginInitFuncVersion)(A_short* major_versionPS, A_short* minor_versionPS);
  A_Err (*AEGP_GetDriverImplementationVersion)(A_short* major_versionPS, A_short* minor_versionPS);
  A_Err (*AEGP_StartQuietErrors)(AEGP_ErrReportState* err_stateP);
  A_Err (*AEGP_EndQuietErrors)(A_Boolean report_quieted_errorsB, AEGP_ErrReportState* err_stateP);
  A_Err (*AEGP_StartUndoGroup)(const A_char* undo_nameZ);
  A_Err (*AEGP_EndUndoGroup)(void);
  A_Err (*AEGP_RegisterWithAEGP)(AEGP_GlobalRefcon global_refcon, const A_char* plugin_nameZ,
                                 AEGP_PluginID* plugin_id);
  A_Err (*AEGP_GetMainHWND)(void* main_hwnd);
  A_Err (*AEGP_ShowHideAllFloaters)(A_Boolean include_tool_palB);
  A_Err (*AEGP_PaintPalGetForeColor)(AEGP_ColorVal* fore_colorP);
  A_Err (*AEGP_PaintPalGetBackColor)(AEGP_ColorVal* back_colorP);
  A_Err (*AEGP_PaintPalSetForeColor)(const AEGP_ColorVal* fore_colorP);
  A_Err (*AEGP_PaintPalSetBackColor)(const AEGP_ColorVal* back_colorP);
  A_Err (*AEGP_CharPalGetFillColor)(A_Boolean* is_fill_color_definedPB, AEGP_ColorVal* fill_colorP);
  A_Err (*AEGP_CharPalGetStrokeColor)(A_Boolean* is_stroke_color_definedPB,
                                      AEGP_ColorVal* stroke_colorP);
  A_Err (*AEGP_CharPalSetFillColor)(const AEGP_ColorVal* fill_colorP);
  A_Err (*AEGP_CharPalSetStrokeColor)(const AEGP_ColorVal* stroke_colorP);
  A_Err (*AEGP_CharPalIsFillColorUIFrontmost)(A_Boolean* is_fill_color_selectedPB);
  A_Err (*AEGP_ConvertFpLongToHSFRatio)(A_FpLong numberF, A_Ratio* ratioP);
  A_Err (*AEGP_ConvertHSFRatioToFpLong)(A_Ratio ratioR, A_FpLong* numberPF);
  A_Err (*AEGP_CauseIdleRoutinesToBeCalled)(void);
  A_Err (*AEGP_GetSuppressInteractiveUI)(A_Boolean* ui_is_suppressedPB);
  A_Err (*AEGP_WriteToOSConsole)(const A_char* textZ);
  A_Err (*AEGP_WriteToDebugLog)(const A_char* subsystemZ, const A_char* event_typeZ,
                                const A_char* infoZ);
} AEGP_UtilitySuite3;

#define kAEGPPFInterfaceSuite "AEGP PF Interface Suite"
#define kAEGPPFInterfaceSuiteVersion1 1

typedef struct AEGP_PFInterfaceSuite1 {
  A_Err (*AEGP_GetEffectLayer)(PF_ProgPtr effect_ppb_ref, AEGP_LayerH* layerPH);
  A_Err (*AEGP_GetNewEffectForEffect)(AEGP_PluginID aegp_plugin_id, PF_ProgPtr effect_ppb_ref,
                                      AEGP_EffectRefH* effectPH);
  A_Err (*AEGP_ConvertEffectToCompTime)(PF_ProgPtr effect_ppb_ref, A_long what_timeL,
                                        A_u_long time_scaleLu, A_Time* comp_timePT);
  A_Err (*AEGP_GetEffectCamera)(PF_ProgPtr effect_ppb_ref, const A_Time* comp_timePT,
                                AEGP_LayerH* camera_layerPH);
  A_Err (*AEGP_GetEffectCameraMatrix)(PF_ProgPtr effect_ppb_ref, const A_Time* comp_timePT,
                                      A_Matrix4* camera_matrixP, A_FpLong* dst_to_planePF,
                                      A_short* plane_widthPL, A_short* plane_heightPL);
} AEGP_PFInterfaceSuite1;

#define kAEGPEffectSuite "AEGP Effect Suite"
#define kAEGPEffectSuiteVersion4 4

// Only AEGP_DisposeEffect is called; the other entries keep their slots at the right size.
typedef struct AEGP_EffectSuite4 {
  A_Err (*AEGP_GetLayerNumEffects)(AEGP_LayerH layerH, A_long* num_effectsPL);
  A_Err (*AEGP_GetLayerEffectByIndex)(AEGP_PluginID aegp_plugin_id, AEGP_LayerH layerH,
                                      AEGP_EffectIndex layer_effect_index,
                                      AEGP_EffectRefH* effectPH);
  A_Err (*AEGP_GetInstalledKeyFromLayerEffect)(AEGP_EffectRefH effectH,
                                               AEGP_InstalledEffectKey* installed_keyP);
  A_Err (*AEGP_GetEffectParamUnionByIndex)(AEGP_PluginID aegp_plugin_id, AEGP_EffectRefH effectH,
                                           PF_ParamIndex param_index, PF_ParamType* param_typeP,
                                           PF_ParamDefUnion* uP0);
  A_Err (*AEGP_GetEffectFlags)(AEGP_EffectRefH effectH, AEGP_EffectFlags* effect_flagsP);
  A_Err (*AEGP_SetEffectFlags)(AEGP_EffectRefH effectH, AEGP_EffectFlags mask,
                               AEGP_EffectFlags effect_flags);
  A_Err (*AEGP_ReorderEffect)(AEGP_EffectRefH effectH, A_long effect_indexL);
  A_Err (*AEGP_EffectCallGeneric)(AEGP_PluginID aegp_plugin_id, AEGP_EffectRefH effectH,
                                  const A_Time* timePT, PF_Cmd effect_cmd, void* effect_extraPV);
  A_Err (*AEGP_DisposeEffect)(AEGP_EffectRefH effectH);
  A_Err (*AEGP_ApplyEffect)(AEGP_PluginID aegp_plugin_id, AEGP_LayerH layerH,
                            AEGP_InstalledEffectKey installed_key, AEGP_EffectRefH* effectPH);
  A_Err (*AEGP_DeleteLayerEffect)(AEGP_EffectRefH effectH);
  A_Err (*AEGP_GetNumInstalledEffects)(A_long* num_installed_effectsPL);
  A_Err (*AEGP_GetNextInstalledEffect)(AEGP_InstalledEffectKey key,
                                       AEGP_InstalledEffectKey* next_keyPH);
  A_Err (*AEGP_GetEffectName)(AEGP_InstalledEffectKey installed_key, A_char* nameZ);
  A_Err (*AEGP_GetEffectMatchName)(AEGP_InstalledEffectKey installed_key, A_char* match_nameZ);
  A_Err (*AEGP_GetEffectCategory)(AEGP_InstalledEffectKey installed_key, A_char* categoryZ);
  A_Err (*AEGP_DuplicateEffect)(AEGP_EffectRefH orig_effect_refH, AEGP_EffectRefH* dupe_refPH);
  A_Err (*AEGP_NumEffectMask)(AEGP_EffectRefH effect_refH, A_u_long* num_masksPL);
  A_Err (*AEGP_GetEffectMaskID)(AEGP_EffectRefH effect_refH, A_u_long mask_indexL,
                                AEGP_MaskIDVal* id_valP);
  A_Err (*AEGP_AddEffectMask)(AEGP_EffectRefH effect_refH, AEGP_MaskIDVal id_val,
                              AEGP_StreamRefH* streamPH0);
  A_Err (*AEGP_RemoveEffectMask)(AEGP_EffectRefH effect_refH, AEGP_MaskIDVal id_val);
  A_Err (*AEGP_SetEffectMask)(AEGP_EffectRefH effect_refH, A_u_long mask_indexL,
                              AEGP_MaskIDVal id_val, AEGP_StreamRefH* streamPH0);
} AEGP_EffectSuite4;

}  // extern "C"
