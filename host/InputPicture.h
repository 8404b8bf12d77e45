// The default input layer: a smooth picture that differs in every channel, so a test can
// tell the input from memory pictures and from a cleared world.
#pragma once

#include "hostapi/HostApi.h"

namespace kelvrix::host {

void PaintInputPicture(PF_EffectWorld& world, PF_PixelFormat format);

}  // namespace kelvrix::host
