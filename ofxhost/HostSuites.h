// The suites the simulated host serves besides the property suite.
#pragma once

#include "ofxapi/OfxApi.h"

namespace kelvrix::ofxhost {

const OfxImageEffectSuiteV1* ImageEffectSuite();
const OfxParameterSuiteV1* ParameterSuite();
const OfxMultiThreadSuiteV1* MultiThreadSuite();
const OfxMemorySuiteV1* MemorySuite();
const OfxMessageSuiteV2* MessageSuite();  // also served as version 1

}  // namespace kelvrix::ofxhost
