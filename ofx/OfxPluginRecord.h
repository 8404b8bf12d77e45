// The effect's OfxPlugin record and its action dispatcher. The module's exports hand it out;
// tests link it directly and drive it as the module's.
#pragma once

#include "ofxapi/OfxApi.h"

namespace kelvrix::ofx {

OfxPlugin* ThePlugin();

// The dispatcher: routes each action and lets nothing but a status leave.
OfxStatus MainEntry(const char* action, const void* handle, OfxPropertySetHandle inArgs,
                    OfxPropertySetHandle outArgs);

}  // namespace kelvrix::ofx
