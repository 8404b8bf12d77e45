#include "ofx/OfxDescribe.h"

#include <cstring>

#include "ofx/OfxHostAccess.h"
#include "ofx/OfxIdentity.h"

namespace kelvrix::ofx {
namespace {

// Optional properties a host may not know are set without checking; what the effect cannot
// do without is checked where it is fetched or defined.
void SetString(OfxPropertySetHandle props, const char* name, int index, const char* value) {
  Suites().property->propSetString(props, name, index, value);
}

void SetInt(OfxPropertySetHandle props, const char* name, int value) {
  Suites().property->propSetInt(props, name, 0, value);
}

void SetDouble(OfxPropertySetHandle props, const char* name, double value) {
  Suites().property->propSetDouble(props, name, 0, value);
}

OfxStatus DefineClip(OfxImageEffectHandle descriptor, const char* name) {
  OfxPropertySetHandle props = nullptr;
  const OfxStatus status = Suites().imageEffect->clipDefine(descriptor, name, &props);
  if (status != kOfxStatOK || props == nullptr)
    return status != kOfxStatOK ? status : kOfxStatFailed;
  SetString(props, kOfxImageEffectPropSupportedComponents, 0, kOfxImageComponentRGBA);
  SetInt(props, kOfxImageEffectPropSupportsTiles, 0);
  SetInt(props, kOfxImageEffectPropTemporalClipAccess, 0);
  return kOfxStatOK;
}

OfxStatus DefineParam(OfxParamSetHandle params, const char* type, const char* name,
                      OfxPropertySetHandle* props) {
  *props = nullptr;
  const OfxStatus status = Suites().parameter->paramDefine(params, type, name, props);
  if (status != kOfxStatOK) return status;
  return *props != nullptr ? kOfxStatOK : kOfxStatFailed;
}

OfxStatus DefineSize(OfxParamSetHandle params) {
  OfxPropertySetHandle props;
  if (const OfxStatus status = DefineParam(params, kOfxParamTypeDouble, kSizeParam, &props)) {
    return status;
  }
  SetString(props, kOfxPropLabel, 0, kSizeLabel);
  SetString(props, kOfxParamPropDoubleType, 0, kOfxParamDoubleTypePlain);
  SetDouble(props, kOfxParamPropDefault, kSizeDefault);
  SetDouble(props, kOfxParamPropMin, kSizeMin);
  SetDouble(props, kOfxParamPropMax, kSizeMax);
  SetDouble(props, kOfxParamPropDisplayMin, kSizeMin);
  SetDouble(props, kOfxParamPropDisplayMax, kSizeSliderMax);
  SetDouble(props, kOfxParamPropIncrement, 1.0);
  SetInt(props, kOfxParamPropDigits, 0);  // whole numbers: the effect rounds Size anyway
  SetInt(props, kOfxParamPropAnimates, 1);
  return kOfxStatOK;
}

OfxStatus DefineStyle(OfxParamSetHandle params) {
  OfxPropertySetHandle props;
  if (const OfxStatus status = DefineParam(params, kOfxParamTypeChoice, kStyleParam, &props)) {
    return status;
  }
  SetString(props, kOfxPropLabel, 0, kStyleLabel);
  for (int i = 0; i < kStyleOptionCount; ++i) {
    SetString(props, kOfxParamPropChoiceOption, i, kStyleOptions[i]);
  }
  SetInt(props, kOfxParamPropDefault, 0);
  SetInt(props, kOfxParamPropAnimates, 0);
  return kOfxStatOK;
}

bool IsOurContext(const char* context) {
  return context != nullptr && (std::strcmp(context, kOfxImageEffectContextFilter) == 0 ||
                                std::strcmp(context, kOfxImageEffectContextGeneral) == 0);
}

}  // namespace

OfxStatus Describe(OfxImageEffectHandle descriptor) {
  if (!Loaded()) return kOfxStatErrMissingHostFeature;
  OfxPropertySetHandle props = nullptr;
  if (Suites().imageEffect->getPropertySet(descriptor, &props) != kOfxStatOK || !props) {
    return kOfxStatErrBadHandle;
  }
  SetString(props, kOfxPropLabel, 0, kLabel);
  SetString(props, kOfxPropPluginDescription, 0, kDescription);
  SetString(props, kOfxImageEffectPluginPropGrouping, 0, kGrouping);
  const int version[] = {static_cast<int>(kVersionMajor), static_cast<int>(kVersionMinor)};
  Suites().property->propSetIntN(props, kOfxPropVersion, 2, version);
  SetString(props, kOfxPropVersionLabel, 0, "1.1");
  SetString(props, kOfxImageEffectPropSupportedContexts, 0, kOfxImageEffectContextFilter);
  SetString(props, kOfxImageEffectPropSupportedContexts, 1, kOfxImageEffectContextGeneral);
  SetString(props, kOfxImageEffectPropSupportedPixelDepths, 0, kOfxBitDepthByte);
  SetString(props, kOfxImageEffectPropSupportedPixelDepths, 1, kOfxBitDepthShort);
  SetString(props, kOfxImageEffectPropSupportedPixelDepths, 2, kOfxBitDepthFloat);
  SetString(props, kOfxImageEffectPluginRenderThreadSafety, 0, kOfxImageEffectRenderFullySafe);
  // Every call renders the whole frame, so the host should not split a frame into windows on
  // its threads; the rows of the one call go to its multithread suite instead.
  SetInt(props, kOfxImageEffectPluginPropHostFrameThreading, 0);
  SetInt(props, kOfxImageEffectPluginPropSingleInstance, 0);
  // Each render searches the heap anew: a frame asked for in tiles would be stitched from
  // different pictures (memory beside a card), so hosts are asked for whole frames.
  SetInt(props, kOfxImageEffectPropSupportsTiles, 0);
  SetInt(props, kOfxImageEffectPropSupportsMultiResolution, 1);
  SetInt(props, kOfxImageEffectPropTemporalClipAccess, 0);
  SetInt(props, kOfxImageEffectPropSupportsMultipleClipDepths, 0);
  SetInt(props, kOfxImageEffectPropSupportsMultipleClipPARs, 0);
  return kOfxStatOK;
}

OfxStatus DescribeInContext(OfxImageEffectHandle descriptor, OfxPropertySetHandle inArgs) {
  if (!Loaded()) return kOfxStatErrMissingHostFeature;
  char* context = nullptr;
  if (inArgs == nullptr ||
      Suites().property->propGetString(inArgs, kOfxImageEffectPropContext, 0, &context) !=
          kOfxStatOK ||
      !IsOurContext(context)) {
    return kOfxStatErrMissingHostFeature;  // the host drops this context
  }
  if (const OfxStatus status = DefineClip(descriptor, kOfxImageEffectSimpleSourceClipName)) {
    return status;
  }
  if (const OfxStatus status = DefineClip(descriptor, kOfxImageEffectOutputClipName)) {
    return status;
  }
  OfxParamSetHandle params = nullptr;
  if (Suites().imageEffect->getParamSet(descriptor, &params) != kOfxStatOK || !params) {
    return kOfxStatErrBadHandle;
  }
  if (const OfxStatus status = DefineSize(params)) return status;
  return DefineStyle(params);
}

}  // namespace kelvrix::ofx
