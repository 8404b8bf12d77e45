// The published values of the OFX API. Every string is its macro's name without the leading
// "k", apart from a few published exceptions, which are listed with their text; a misspelt
// name fails to compile here and a misspelt value fails the comparison.
#include <gtest/gtest.h>

#include <utility>

#include "ofxapi/OfxApi.h"

TEST(OfxApiValues, StatusCodesAndNumbersMatchThePublishedOnes) {
  // clang-format off
  const std::pair<long long, long long> kValues[] = {
    {kOfxStatOK, 0}, {kOfxStatFailed, 1}, {kOfxStatErrFatal, 2}, {kOfxStatErrUnknown, 3},
    {kOfxStatErrMissingHostFeature, 4}, {kOfxStatErrUnsupported, 5}, {kOfxStatErrExists, 6},
    {kOfxStatErrFormat, 7}, {kOfxStatErrMemory, 8}, {kOfxStatErrBadHandle, 9},
    {kOfxStatErrBadIndex, 10}, {kOfxStatErrValue, 11}, {kOfxStatReplyYes, 12},
    {kOfxStatReplyNo, 13}, {kOfxStatReplyDefault, 14}, {kOfxStatErrImageFormat, 1000},
    {kOfxStatGPUOutOfMemory, 1001}, {kOfxStatGLOutOfMemory, 1001},
    {kOfxStatGPURenderFailed, 1002}, {kOfxStatGLRenderFailed, 1002},
    {kOfxImageEffectPluginApiVersion, 1},
    {kOfxFlagInfiniteMin, -2147483648LL}, {kOfxFlagInfiniteMax, 2147483647LL}};
  // clang-format on
  for (size_t i = 0; i < std::size(kValues); ++i) {
    EXPECT_EQ(kValues[i].first, kValues[i].second) << "row " << i;
  }
}

TEST(OfxApiValues, StringsAreTheirNamesWithoutTheLeadingK) {
#define BY_NAME(macro) \
  { #macro, macro }
  // clang-format off
  const std::pair<const char*, const char*> kStrings[] = {
    // actions, generic properties, object types and change reasons
    BY_NAME(kOfxActionLoad), BY_NAME(kOfxActionUnload), BY_NAME(kOfxActionDescribe),
    BY_NAME(kOfxActionCreateInstance), BY_NAME(kOfxActionDestroyInstance),
    BY_NAME(kOfxActionBeginInstanceChanged), BY_NAME(kOfxActionInstanceChanged),
    BY_NAME(kOfxActionEndInstanceChanged), BY_NAME(kOfxActionPurgeCaches),
    BY_NAME(kOfxActionSyncPrivateData), BY_NAME(kOfxActionBeginInstanceEdit),
    BY_NAME(kOfxActionEndInstanceEdit), BY_NAME(kOfxPropType), BY_NAME(kOfxPropName),
    BY_NAME(kOfxPropLabel), BY_NAME(kOfxPropShortLabel), BY_NAME(kOfxPropLongLabel),
    BY_NAME(kOfxPropAPIVersion), BY_NAME(kOfxPropVersion), BY_NAME(kOfxPropVersionLabel),
    BY_NAME(kOfxPropPluginDescription), BY_NAME(kOfxPropIcon), BY_NAME(kOfxPropHostOSHandle),
    BY_NAME(kOfxPropInstanceData), BY_NAME(kOfxPropIsInteractive), BY_NAME(kOfxPropTime),
    BY_NAME(kOfxPropChangeReason), BY_NAME(kOfxTypeImageEffectHost), BY_NAME(kOfxTypeImageEffect),
    BY_NAME(kOfxTypeImageEffectInstance), BY_NAME(kOfxTypeClip), BY_NAME(kOfxTypeImage),
    BY_NAME(kOfxTypeParameter), BY_NAME(kOfxTypeParameterInstance), BY_NAME(kOfxChangeUserEdited),
    BY_NAME(kOfxChangePluginEdited), BY_NAME(kOfxChangeTime),
    // image-effect suite, actions and contexts
    BY_NAME(kOfxImageEffectSuite), BY_NAME(kOfxImageEffectActionDescribeInContext),
    BY_NAME(kOfxImageEffectActionGetRegionOfDefinition),
    BY_NAME(kOfxImageEffectActionGetRegionsOfInterest), BY_NAME(kOfxImageEffectActionGetTimeDomain),
    BY_NAME(kOfxImageEffectActionGetFramesNeeded), BY_NAME(kOfxImageEffectActionGetClipPreferences),
    BY_NAME(kOfxImageEffectActionIsIdentity), BY_NAME(kOfxImageEffectActionRender),
    BY_NAME(kOfxImageEffectActionBeginSequenceRender),
    BY_NAME(kOfxImageEffectActionEndSequenceRender), BY_NAME(kOfxImageEffectContextGenerator),
    BY_NAME(kOfxImageEffectContextFilter), BY_NAME(kOfxImageEffectContextTransition),
    BY_NAME(kOfxImageEffectContextPaint), BY_NAME(kOfxImageEffectContextGeneral),
    BY_NAME(kOfxImageEffectContextRetimer),
    // image-effect properties and their values
    BY_NAME(kOfxImageEffectHostPropIsBackground), BY_NAME(kOfxImageEffectHostPropNativeOrigin),
    BY_NAME(kOfxImageEffectPropSupportsOverlays),
    BY_NAME(kOfxImageEffectPropSupportsMultiResolution), BY_NAME(kOfxImageEffectPropSupportsTiles),
    BY_NAME(kOfxImageEffectPropTemporalClipAccess), BY_NAME(kOfxImageEffectPropSupportedComponents),
    BY_NAME(kOfxImageEffectPropSupportedContexts), BY_NAME(kOfxImageEffectPropSupportedPixelDepths),
    BY_NAME(kOfxImageEffectPropSupportsMultipleClipPARs),
    BY_NAME(kOfxImageEffectPropSetableFrameRate), BY_NAME(kOfxImageEffectPropSetableFielding),
    BY_NAME(kOfxImageEffectPropRenderQualityDraft),
    BY_NAME(kOfxImageEffectPropOpenGLRenderSupported),
    BY_NAME(kOfxImageEffectPropCPURenderSupported), BY_NAME(kOfxPluginPropFilePath),
    BY_NAME(kOfxImageEffectPluginPropGrouping), BY_NAME(kOfxImageEffectPluginPropSingleInstance),
    BY_NAME(kOfxImageEffectPluginRenderThreadSafety),
    BY_NAME(kOfxImageEffectPluginPropHostFrameThreading),
    BY_NAME(kOfxImageEffectPluginPropFieldRenderTwiceAlways),
    BY_NAME(kOfxImageEffectPropClipPreferencesSlaveParam),
    BY_NAME(kOfxImageEffectInstancePropSequentialRender), BY_NAME(kOfxImageEffectPropContext),
    BY_NAME(kOfxImageEffectPropPluginHandle), BY_NAME(kOfxImageEffectPropProjectSize),
    BY_NAME(kOfxImageEffectPropProjectOffset), BY_NAME(kOfxImageEffectPropProjectExtent),
    BY_NAME(kOfxImageEffectInstancePropEffectDuration), BY_NAME(kOfxImageEffectPropFrameRate),
    BY_NAME(kOfxImageClipPropOptional), BY_NAME(kOfxImageClipPropIsMask),
    BY_NAME(kOfxImageClipPropFieldExtraction), BY_NAME(kOfxImageClipPropUnmappedPixelDepth),
    BY_NAME(kOfxImageClipPropUnmappedComponents), BY_NAME(kOfxImageClipPropFieldOrder),
    BY_NAME(kOfxImageClipPropConnected), BY_NAME(kOfxImageClipPropContinuousSamples),
    BY_NAME(kOfxImageEffectPropPixelDepth), BY_NAME(kOfxImageEffectPropComponents),
    BY_NAME(kOfxImageEffectPropPreMultiplication), BY_NAME(kOfxImageEffectPropFrameRange),
    BY_NAME(kOfxImageEffectPropUnmappedFrameRate), BY_NAME(kOfxImageEffectPropUnmappedFrameRange),
    BY_NAME(kOfxImagePropPixelAspectRatio), BY_NAME(kOfxImagePropData),
    BY_NAME(kOfxImagePropBounds), BY_NAME(kOfxImagePropRegionOfDefinition),
    BY_NAME(kOfxImagePropRowBytes), BY_NAME(kOfxImagePropField),
    BY_NAME(kOfxImagePropUniqueIdentifier), BY_NAME(kOfxImageEffectPropRenderScale),
    BY_NAME(kOfxImageEffectPropRenderWindow), BY_NAME(kOfxImageEffectPropFieldToRender),
    BY_NAME(kOfxImageEffectPropRegionOfDefinition), BY_NAME(kOfxImageEffectPropRegionOfInterest),
    BY_NAME(kOfxImageEffectPropFrameStep), BY_NAME(kOfxImageEffectPropSequentialRenderStatus),
    BY_NAME(kOfxImageEffectPropInteractiveRenderStatus),
    BY_NAME(kOfxImageEffectPropNoSpatialAwareness), BY_NAME(kOfxImageEffectPropThumbnailRender),
    BY_NAME(kOfxImageEffectFrameVarying), BY_NAME(kOfxBitDepthNone), BY_NAME(kOfxBitDepthByte),
    BY_NAME(kOfxBitDepthShort), BY_NAME(kOfxBitDepthHalf), BY_NAME(kOfxBitDepthFloat),
    BY_NAME(kOfxImageComponentNone), BY_NAME(kOfxImageComponentRGBA),
    BY_NAME(kOfxImageComponentRGB), BY_NAME(kOfxImageComponentAlpha), BY_NAME(kOfxImageOpaque),
    BY_NAME(kOfxImageEffectRenderUnsafe), BY_NAME(kOfxImageEffectRenderInstanceSafe),
    BY_NAME(kOfxImageEffectRenderFullySafe),
    // parameter suite, types and properties
    BY_NAME(kOfxParameterSuite), BY_NAME(kOfxParamTypeDouble), BY_NAME(kOfxParamTypeInteger),
    BY_NAME(kOfxParamTypeBoolean), BY_NAME(kOfxParamTypeChoice), BY_NAME(kOfxParamTypeStrChoice),
    BY_NAME(kOfxParamTypeString), BY_NAME(kOfxParamTypeDouble2D), BY_NAME(kOfxParamTypeDouble3D),
    BY_NAME(kOfxParamTypeInteger2D), BY_NAME(kOfxParamTypeInteger3D), BY_NAME(kOfxParamTypeRGB),
    BY_NAME(kOfxParamTypeRGBA), BY_NAME(kOfxParamTypeCustom), BY_NAME(kOfxParamTypeBytes),
    BY_NAME(kOfxParamTypeGroup), BY_NAME(kOfxParamTypePage), BY_NAME(kOfxParamTypePushButton),
    BY_NAME(kOfxParamHostPropSupportsCustomInteract),
    BY_NAME(kOfxParamHostPropSupportsStringAnimation),
    BY_NAME(kOfxParamHostPropSupportsChoiceAnimation),
    BY_NAME(kOfxParamHostPropSupportsBooleanAnimation),
    BY_NAME(kOfxParamHostPropSupportsCustomAnimation), BY_NAME(kOfxParamHostPropSupportsStrChoice),
    BY_NAME(kOfxParamHostPropSupportsStrChoiceAnimation), BY_NAME(kOfxParamHostPropMaxParameters),
    BY_NAME(kOfxParamHostPropMaxPages), BY_NAME(kOfxParamHostPropPageRowColumnCount),
    BY_NAME(kOfxPropParamSetNeedsSyncing), BY_NAME(kOfxPluginPropParamPageOrder),
    BY_NAME(kOfxParamPropType), BY_NAME(kOfxParamPropScriptName), BY_NAME(kOfxParamPropHint),
    BY_NAME(kOfxParamPropParent), BY_NAME(kOfxParamPropSecret), BY_NAME(kOfxParamPropEnabled),
    BY_NAME(kOfxParamPropDataPtr), BY_NAME(kOfxParamPropDefault), BY_NAME(kOfxParamPropAnimates),
    BY_NAME(kOfxParamPropIsAnimating), BY_NAME(kOfxParamPropIsAutoKeying),
    BY_NAME(kOfxParamPropPersistant), BY_NAME(kOfxParamPropEvaluateOnChange),
    BY_NAME(kOfxParamPropCanUndo), BY_NAME(kOfxParamPropCacheInvalidation),
    BY_NAME(kOfxParamPropMin), BY_NAME(kOfxParamPropMax), BY_NAME(kOfxParamPropDisplayMin),
    BY_NAME(kOfxParamPropDisplayMax), BY_NAME(kOfxParamPropIncrement), BY_NAME(kOfxParamPropDigits),
    BY_NAME(kOfxParamPropDoubleType), BY_NAME(kOfxParamPropShowTimeMarker),
    BY_NAME(kOfxParamPropDefaultCoordinateSystem), BY_NAME(kOfxParamPropChoiceOption),
    BY_NAME(kOfxParamPropChoiceOrder), BY_NAME(kOfxParamPropChoiceEnum),
    BY_NAME(kOfxParamDoubleTypePlain), BY_NAME(kOfxParamDoubleTypeAngle),
    BY_NAME(kOfxParamDoubleTypeScale), BY_NAME(kOfxParamDoubleTypeTime),
    BY_NAME(kOfxParamDoubleTypeAbsoluteTime), BY_NAME(kOfxParamDoubleTypeX),
    BY_NAME(kOfxParamDoubleTypeXAbsolute), BY_NAME(kOfxParamDoubleTypeY),
    BY_NAME(kOfxParamDoubleTypeYAbsolute), BY_NAME(kOfxParamDoubleTypeXY),
    BY_NAME(kOfxParamDoubleTypeXYAbsolute),
    // the other suites and the message types
    BY_NAME(kOfxPropertySuite), BY_NAME(kOfxMemorySuite), BY_NAME(kOfxMultiThreadSuite),
    BY_NAME(kOfxMessageSuite), BY_NAME(kOfxMessageFatal), BY_NAME(kOfxMessageError),
    BY_NAME(kOfxMessageWarning), BY_NAME(kOfxMessageMessage), BY_NAME(kOfxMessageLog),
    BY_NAME(kOfxMessageQuestion),
  };
  // clang-format on
#undef BY_NAME
  for (const auto& [name, value] : kStrings) {
    EXPECT_STREQ(value, name + 1);
  }
}

TEST(OfxApiValues, StringsThatDoNotFollowTheirNamesKeepThePublishedText) {
  // clang-format off
  const std::pair<const char*, const char*> kStrings[] = {
    {kOfxImageEffectPluginApi, "OfxImageEffectPluginAPI"},
    {kOfxImageEffectPropSupportsMultipleClipDepths, "OfxImageEffectPropMultipleClipDepths"},
    {kOfxImageEffectPropProjectPixelAspectRatio, "OfxImageEffectPropPixelAspectRatio"},
    {kOfxImagePreMultiplied, "OfxImageAlphaPremultiplied"},
    {kOfxImageUnPreMultiplied, "OfxImageAlphaUnPremultiplied"},
    {kOfxImageFieldNone, "OfxFieldNone"}, {kOfxImageFieldLower, "OfxFieldLower"},
    {kOfxImageFieldUpper, "OfxFieldUpper"}, {kOfxImageFieldBoth, "OfxFieldBoth"},
    {kOfxImageFieldSingle, "OfxFieldSingle"}, {kOfxImageFieldDoubled, "OfxFieldDoubled"},
    {kOfxHostNativeOriginBottomLeft, "kOfxImageEffectHostPropNativeOriginBottomLeft"},
    {kOfxHostNativeOriginTopLeft, "kOfxImageEffectHostPropNativeOriginTopLeft"},
    {kOfxHostNativeOriginCenter, "kOfxImageEffectHostPropNativeOriginCenter"},
    {kOfxImageEffectOutputClipName, "Output"}, {kOfxImageEffectSimpleSourceClipName, "Source"},
    {kOfxImageEffectTransitionSourceFromClipName, "SourceFrom"},
    {kOfxImageEffectTransitionSourceToClipName, "SourceTo"},
    {kOfxImageEffectTransitionParamName, "Transition"},
    {kOfxImageEffectRetimerParamName, "SourceTime"}};
  // clang-format on
  for (size_t i = 0; i < std::size(kStrings); ++i) {
    EXPECT_STREQ(kStrings[i].first, kStrings[i].second) << "row " << i;
  }
}
