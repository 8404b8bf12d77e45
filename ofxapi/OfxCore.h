// The core of the OFX C API: status codes, the property-set handle, the host and plug-in
// records exchanged at load time, the generic actions and the properties every object has.
// All OFX "enumerations" are strings; actions arrive as host-owned strings, so compare them
// with strcmp, never by pointer.
#pragma once

#include <climits>

extern "C" {

typedef int OfxStatus;
typedef double OfxTime;  // frames of the effect, its first frame at 0
typedef struct OfxPropertySetStruct* OfxPropertySetHandle;

// General codes occupy 1-999; the image-effect codes start at 1000.
#define kOfxStatOK 0
#define kOfxStatFailed 1
#define kOfxStatErrFatal 2
#define kOfxStatErrUnknown 3
#define kOfxStatErrMissingHostFeature 4
#define kOfxStatErrUnsupported 5
#define kOfxStatErrExists 6
#define kOfxStatErrFormat 7
#define kOfxStatErrMemory 8
#define kOfxStatErrBadHandle 9
#define kOfxStatErrBadIndex 10
#define kOfxStatErrValue 11
#define kOfxStatReplyYes 12
#define kOfxStatReplyNo 13
#define kOfxStatReplyDefault 14

// A function type, not a pointer type: records hold `OfxPluginEntryPoint*`.
typedef OfxStatus(OfxPluginEntryPoint)(const char* action, const void* handle,
                                       OfxPropertySetHandle inArgs, OfxPropertySetHandle outArgs);

typedef struct OfxHost {
  OfxPropertySetHandle host;
  // The first argument must be `host` above; NULL for an unknown name or version.
  const void* (*fetchSuite)(OfxPropertySetHandle host, const char* suiteName, int suiteVersion);
} OfxHost;

typedef struct OfxPlugin {
  const char* pluginApi;
  int apiVersion;
  const char* pluginIdentifier;
  unsigned int pluginVersionMajor;
  unsigned int pluginVersionMinor;
  // Called first, and again each time some hosts make a plug-in handle; it may only store
  // the pointer.
  void (*setHost)(OfxHost* host);
  OfxPluginEntryPoint* mainEntry;
} OfxPlugin;

// The module is built with hidden visibility, so on ELF the entry points need an explicit
// default visibility; plain `extern` would leave them unexported.
#if defined(_WIN32)
#define OfxExport extern __declspec(dllexport)
#else
#define OfxExport extern __attribute__((visibility("default")))
#endif

// The binary's exports. OfxSetHost is optional: hosts look it up and need not call it.
OfxExport int OfxGetNumberOfPlugins(void);
OfxExport OfxPlugin* OfxGetPlugin(int nth);
OfxExport OfxStatus OfxSetHost(const OfxHost* host);

#define kOfxActionLoad "OfxActionLoad"
#define kOfxActionUnload "OfxActionUnload"
#define kOfxActionDescribe "OfxActionDescribe"
#define kOfxActionCreateInstance "OfxActionCreateInstance"
#define kOfxActionDestroyInstance "OfxActionDestroyInstance"
#define kOfxActionBeginInstanceChanged "OfxActionBeginInstanceChanged"
#define kOfxActionInstanceChanged "OfxActionInstanceChanged"
#define kOfxActionEndInstanceChanged "OfxActionEndInstanceChanged"
#define kOfxActionPurgeCaches "OfxActionPurgeCaches"
#define kOfxActionSyncPrivateData "OfxActionSyncPrivateData"
#define kOfxActionBeginInstanceEdit "OfxActionBeginInstanceEdit"
#define kOfxActionEndInstanceEdit "OfxActionEndInstanceEdit"

// Properties shared by several kinds of object.
#define kOfxPropType "OfxPropType"
#define kOfxPropName "OfxPropName"
#define kOfxPropLabel "OfxPropLabel"
#define kOfxPropShortLabel "OfxPropShortLabel"
#define kOfxPropLongLabel "OfxPropLongLabel"
#define kOfxPropAPIVersion "OfxPropAPIVersion"
#define kOfxPropVersion "OfxPropVersion"
#define kOfxPropVersionLabel "OfxPropVersionLabel"
#define kOfxPropPluginDescription "OfxPropPluginDescription"
#define kOfxPropIcon "OfxPropIcon"
#define kOfxPropHostOSHandle "OfxPropHostOSHandle"
#define kOfxPropInstanceData "OfxPropInstanceData"
#define kOfxPropIsInteractive "OfxPropIsInteractive"
#define kOfxPropTime "OfxPropTime"
#define kOfxPropChangeReason "OfxPropChangeReason"

// Values of kOfxPropType. Parameter instances may carry either of the two parameter types.
#define kOfxTypeImageEffectHost "OfxTypeImageEffectHost"
#define kOfxTypeImageEffect "OfxTypeImageEffect"
#define kOfxTypeImageEffectInstance "OfxTypeImageEffectInstance"
#define kOfxTypeClip "OfxTypeClip"
#define kOfxTypeImage "OfxTypeImage"
#define kOfxTypeParameter "OfxTypeParameter"
#define kOfxTypeParameterInstance "OfxTypeParameterInstance"

// Values of kOfxPropChangeReason.
#define kOfxChangeUserEdited "OfxChangeUserEdited"
#define kOfxChangePluginEdited "OfxChangePluginEdited"
#define kOfxChangeTime "OfxChangeTime"

// Unbounded rectangle corners (x1, y1 = min; x2, y2 = max), in int and double rects alike.
#define kOfxFlagInfiniteMin INT_MIN
#define kOfxFlagInfiniteMax INT_MAX

}  // extern "C"
