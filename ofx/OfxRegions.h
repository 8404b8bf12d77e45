// What the output is before it is rendered: its depth and components (the source's depth,
// RGBA) and its region of definition (the source's; the project's when nothing is connected).
#pragma once

#include "ofxapi/OfxApi.h"

namespace kelvrix::ofx {

OfxStatus GetClipPreferences(OfxImageEffectHandle instance, OfxPropertySetHandle outArgs);

OfxStatus GetRegionOfDefinition(OfxImageEffectHandle instance, OfxPropertySetHandle inArgs,
                                OfxPropertySetHandle outArgs);

// The depth we render for a host depth: ours unchanged, half as float, anything else (none,
// unknown) null.
const char* RenderedDepth(const char* hostDepth);

}  // namespace kelvrix::ofx
