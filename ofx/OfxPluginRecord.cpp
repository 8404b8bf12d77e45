#include "ofx/OfxPluginRecord.h"

#include <cstring>
#include <new>

#include "ofx/OfxDescribe.h"
#include "ofx/OfxHostAccess.h"
#include "ofx/OfxIdentity.h"
#include "ofx/OfxInstance.h"
#include "ofx/OfxRegions.h"
#include "ofx/OfxRender.h"

namespace kelvrix::ofx {
namespace {

void StoreHost(OfxHost* host) { SetHost(host); }

OfxPlugin gPlugin = {kOfxImageEffectPluginApi,
                     kOfxImageEffectPluginApiVersion,
                     kPluginIdentifier,
                     kVersionMajor,
                     kVersionMinor,
                     StoreHost,
                     MainEntry};

bool Is(const char* action, const char* name) { return std::strcmp(action, name) == 0; }

OfxImageEffectHandle EffectOf(const void* handle) {
  return static_cast<OfxImageEffectHandle>(const_cast<void*>(handle));
}

// Instance actions need the suites of a successful Load.
OfxStatus Dispatch(const char* action, const void* handle, OfxPropertySetHandle inArgs,
                   OfxPropertySetHandle outArgs) {
  if (Is(action, kOfxActionLoad)) return LoadSuites();
  if (Is(action, kOfxActionUnload)) {
    UnloadSuites();
    return kOfxStatOK;
  }
  if (Is(action, kOfxActionDescribe)) return Describe(EffectOf(handle));
  if (Is(action, kOfxImageEffectActionDescribeInContext)) {
    return DescribeInContext(EffectOf(handle), inArgs);
  }
  if (!Loaded()) return kOfxStatErrMissingHostFeature;
  if (handle == nullptr) return kOfxStatErrBadHandle;
  if (Is(action, kOfxActionCreateInstance)) return CreateInstance(EffectOf(handle));
  if (Is(action, kOfxActionDestroyInstance)) return DestroyInstance(EffectOf(handle));
  if (Is(action, kOfxImageEffectActionRender)) return Render(EffectOf(handle), inArgs);
  if (Is(action, kOfxActionPurgeCaches)) {
    if (InstanceData* data = DataOf(EffectOf(handle))) data->worlds.Purge();
    return kOfxStatOK;
  }
  if (Is(action, kOfxImageEffectActionGetClipPreferences)) {
    return GetClipPreferences(EffectOf(handle), outArgs);
  }
  if (Is(action, kOfxImageEffectActionGetRegionOfDefinition)) {
    return GetRegionOfDefinition(EffectOf(handle), inArgs, outArgs);
  }
  return kOfxStatReplyDefault;
}

}  // namespace

OfxPlugin* ThePlugin() { return &gPlugin; }

OfxStatus MainEntry(const char* action, const void* handle, OfxPropertySetHandle inArgs,
                    OfxPropertySetHandle outArgs) {
  if (action == nullptr) return kOfxStatErrUnknown;
  try {
    return Dispatch(action, handle, inArgs, outArgs);
  } catch (const std::bad_alloc&) {
    return kOfxStatErrMemory;
  } catch (...) {
    return kOfxStatErrFatal;
  }
}

}  // namespace kelvrix::ofx
