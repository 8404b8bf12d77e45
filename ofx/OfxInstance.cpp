#include "ofx/OfxInstance.h"

#include <new>

#include "ofx/OfxHostAccess.h"
#include "ofx/OfxIdentity.h"
#include "render/RenderPlan.h"

namespace kelvrix::ofx {
namespace {

OfxPropertySetHandle PropsOf(OfxImageEffectHandle instance) {
  OfxPropertySetHandle props = nullptr;
  if (Suites().imageEffect->getPropertySet(instance, &props) != kOfxStatOK) return nullptr;
  return props;
}

OfxStatus FetchHandles(OfxImageEffectHandle instance, InstanceData* data) {
  OfxParamSetHandle params = nullptr;
  if (Suites().imageEffect->getParamSet(instance, &params) != kOfxStatOK || !params) {
    return kOfxStatErrBadHandle;
  }
  const OfxParameterSuiteV1& p = *Suites().parameter;
  if (p.paramGetHandle(params, kSizeParam, &data->size, nullptr) != kOfxStatOK ||
      p.paramGetHandle(params, kStyleParam, &data->style, nullptr) != kOfxStatOK) {
    return kOfxStatFailed;
  }
  const OfxImageEffectSuiteV1& e = *Suites().imageEffect;
  if (e.clipGetHandle(instance, kOfxImageEffectOutputClipName, &data->output, nullptr) !=
      kOfxStatOK) {
    return kOfxStatFailed;
  }
  // The source clip exists in both our contexts; a host that leaves it out still renders.
  if (e.clipGetHandle(instance, kOfxImageEffectSimpleSourceClipName, &data->source, nullptr) !=
      kOfxStatOK) {
    data->source = nullptr;
  }
  return kOfxStatOK;
}

}  // namespace

OfxStatus CreateInstance(OfxImageEffectHandle instance) {
  if (!Loaded()) return kOfxStatErrMissingHostFeature;
  OfxPropertySetHandle props = PropsOf(instance);
  if (props == nullptr) return kOfxStatErrBadHandle;
  InstanceData* data = new (std::nothrow) InstanceData;
  if (data == nullptr) return kOfxStatErrMemory;
  if (const OfxStatus status = FetchHandles(instance, data)) {
    delete data;
    return status;
  }
  if (const OfxStatus status =
          Suites().property->propSetPointer(props, kOfxPropInstanceData, 0, data)) {
    delete data;
    return status;
  }
  return kOfxStatOK;
}

OfxStatus DestroyInstance(OfxImageEffectHandle instance) {
  if (!Loaded()) return kOfxStatErrMissingHostFeature;
  OfxPropertySetHandle props = PropsOf(instance);
  if (props == nullptr) return kOfxStatErrBadHandle;
  delete DataOf(instance);
  Suites().property->propSetPointer(props, kOfxPropInstanceData, 0, nullptr);
  return kOfxStatOK;
}

InstanceData* DataOf(OfxImageEffectHandle instance) {
  OfxPropertySetHandle props = PropsOf(instance);
  void* data = nullptr;
  if (props == nullptr ||
      Suites().property->propGetPointer(props, kOfxPropInstanceData, 0, &data) != kOfxStatOK) {
    return nullptr;
  }
  return static_cast<InstanceData*>(data);
}

OfxStatus ReadParams(const InstanceData& data, OfxTime time, ParamValues* values) {
  const OfxParameterSuiteV1& p = *Suites().parameter;
  double size = kSizeDefault;
  int option = 0;
  if (const OfxStatus status = p.paramGetValueAtTime(data.size, time, &size)) return status;
  if (const OfxStatus status = p.paramGetValueAtTime(data.style, time, &option)) return status;
  values->size = size;
  values->style = option == 1 ? kStyle16 : option == 2 ? kStyleFloat : kStyle8;
  return kOfxStatOK;
}

}  // namespace kelvrix::ofx
