// Our declarations of the OpenFX image-effect C API, binary-compatible with it.
#pragma once

#include "ofxapi/OfxAbiLayout.h"
#include "ofxapi/OfxCore.h"
#include "ofxapi/OfxGeometry.h"
#include "ofxapi/OfxImageEffect.h"
#include "ofxapi/OfxImageEffectProps.h"
#include "ofxapi/OfxMemory.h"
#include "ofxapi/OfxMessage.h"
#include "ofxapi/OfxMultiThread.h"
#include "ofxapi/OfxParams.h"
#include "ofxapi/OfxPixels.h"
#include "ofxapi/OfxProperties.h"
