// The describe actions: the effect's identity and abilities, then per context its clips and
// parameters. Both may run several times per process (hosts describe while scanning and
// again on first use), so they set everything each time and keep nothing.
#pragma once

#include "ofxapi/OfxApi.h"

namespace kelvrix::ofx {

OfxStatus Describe(OfxImageEffectHandle descriptor);

// Filter and general get the same clips and parameters; other contexts are refused.
OfxStatus DescribeInContext(OfxImageEffectHandle descriptor, OfxPropertySetHandle inArgs);

}  // namespace kelvrix::ofx
