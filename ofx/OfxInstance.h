// An instance's private data: the handles of its parameters and clips, fetched once at
// CreateInstance and valid until DestroyInstance, and its spare worlds. Render threads only
// read the handles; the pool locks.
#pragma once

#include <cstdint>

#include "edition/WorldPool.h"
#include "ofxapi/OfxApi.h"
#include "render/SizeRange.h"

namespace kelvrix::ofx {

struct InstanceData {
  OfxParamHandle size = nullptr;
  OfxParamHandle style = nullptr;
  OfxImageClipHandle source = nullptr;
  OfxImageClipHandle output = nullptr;
  edition::WorldPool worlds;
};

OfxStatus CreateInstance(OfxImageEffectHandle instance);
OfxStatus DestroyInstance(OfxImageEffectHandle instance);

// The instance's data; null for a handle without any (not created by CreateInstance).
InstanceData* DataOf(OfxImageEffectHandle instance);

// The parameters at `time`: Size as the slider holds it, the style as a StyleDepth (an index
// out of range, which no host should send, reads as the first option).
struct ParamValues {
  double size = kSizeDefault;
  uint8_t style = 1;
};
OfxStatus ReadParams(const InstanceData& data, OfxTime time, ParamValues* values);

}  // namespace kelvrix::ofx
