#include "ofx/OfxRegions.h"

#include <cstring>
#include <string>

#include "ofx/OfxHostAccess.h"
#include "ofx/OfxInstance.h"

namespace kelvrix::ofx {
namespace {

bool Is(const char* a, const char* b) { return a != nullptr && std::strcmp(a, b) == 0; }

// The source clip's depth before the host mapped it; null when it cannot be read.
const char* SourceDepth(OfxImageClipHandle source) {
  OfxPropertySetHandle props = nullptr;
  char* depth = nullptr;
  if (source == nullptr || Suites().imageEffect->clipGetPropertySet(source, &props) != kOfxStatOK ||
      Suites().property->propGetString(props, kOfxImageClipPropUnmappedPixelDepth, 0, &depth) !=
          kOfxStatOK) {
    return nullptr;
  }
  return depth;
}

void SetClipPrefs(OfxPropertySetHandle outArgs, const char* clip, const char* depth) {
  const std::string components = std::string("OfxImageClipPropComponents_") + clip;
  const std::string depthName = std::string("OfxImageClipPropDepth_") + clip;
  Suites().property->propSetString(outArgs, components.c_str(), 0, kOfxImageComponentRGBA);
  if (depth != nullptr) Suites().property->propSetString(outArgs, depthName.c_str(), 0, depth);
}

}  // namespace

const char* RenderedDepth(const char* hostDepth) {
  if (Is(hostDepth, kOfxBitDepthByte)) return kOfxBitDepthByte;
  if (Is(hostDepth, kOfxBitDepthShort)) return kOfxBitDepthShort;
  if (Is(hostDepth, kOfxBitDepthFloat) || Is(hostDepth, kOfxBitDepthHalf)) return kOfxBitDepthFloat;
  return nullptr;
}

OfxStatus GetClipPreferences(OfxImageEffectHandle instance, OfxPropertySetHandle outArgs) {
  const InstanceData* data = DataOf(instance);
  if (data == nullptr || outArgs == nullptr) return kOfxStatErrBadHandle;
  // One depth for every clip: the output follows the source.
  const char* depth = RenderedDepth(SourceDepth(data->source));
  if (data->source != nullptr) SetClipPrefs(outArgs, "Source", depth);
  SetClipPrefs(outArgs, "Output", depth);
  // Every frame shows new memory, even over a still source: a host must not reuse a frame.
  Suites().property->propSetInt(outArgs, kOfxImageEffectFrameVarying, 0, 1);
  return kOfxStatOK;
}

OfxStatus GetRegionOfDefinition(OfxImageEffectHandle instance, OfxPropertySetHandle inArgs,
                                OfxPropertySetHandle outArgs) {
  const InstanceData* data = DataOf(instance);
  if (data == nullptr || inArgs == nullptr || outArgs == nullptr) return kOfxStatErrBadHandle;
  double time = 0;
  Suites().property->propGetDouble(inArgs, kOfxPropTime, 0, &time);
  OfxRectD rod{};
  if (data->source == nullptr ||
      Suites().imageEffect->clipGetRegionOfDefinition(data->source, time, &rod) != kOfxStatOK) {
    return kOfxStatReplyDefault;  // the host's own default: the project's window
  }
  const double corners[] = {rod.x1, rod.y1, rod.x2, rod.y2};
  return Suites().property->propSetDoubleN(outArgs, kOfxImageEffectPropRegionOfDefinition, 4,
                                           corners);
}

}  // namespace kelvrix::ofx
