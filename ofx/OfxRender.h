// The render action: the frame the After Effects edition renders for the same Size, style
// and depth, laid out on the whole frame, of which only the render window is written.
#pragma once

#include "ofxapi/OfxApi.h"

namespace kelvrix::ofx {

// kOfxStatErrImageFormat for images of a depth or components we did not declare (or source
// and output of different depths); kOfxStatFailed when the host aborted the render or the
// frame is beyond what the core renders; kOfxStatErrMemory when its worlds cannot be had.
OfxStatus Render(OfxImageEffectHandle instance, OfxPropertySetHandle inArgs);

}  // namespace kelvrix::ofx
