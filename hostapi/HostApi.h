// Our declarations of the host's published effect API, binary-compatible with it.
#pragma once

#include "hostapi/AbiLayout.h"
#include "hostapi/AegpSuites.h"
#include "hostapi/BasicTypes.h"
#include "hostapi/EffectConstants.h"
#include "hostapi/EffectRecords.h"
#include "hostapi/EffectSuites.h"
#include "hostapi/PluginData.h"
#include "hostapi/SPBasicSuite.h"
#include "hostapi/UtilCallbacks.h"
