// Sizes, alignments and field offsets of every OFX record declared here. They are the same
// on 64-bit Windows (LLP64) and x86-64 Linux (LP64): no record holds a `long`, none is
// packed, and no entry carries a calling-convention keyword, so one set of numbers serves
// both builds. A mistyped field or an added `long` stops the build here.
#pragma once

#include <cstddef>

#include "ofxapi/OfxCore.h"
#include "ofxapi/OfxGeometry.h"
#include "ofxapi/OfxImageEffect.h"
#include "ofxapi/OfxMemory.h"
#include "ofxapi/OfxMessage.h"
#include "ofxapi/OfxMultiThread.h"
#include "ofxapi/OfxParams.h"
#include "ofxapi/OfxPixels.h"
#include "ofxapi/OfxProperties.h"

#define KELVRIX_OFX_SIZE(T, size, align) \
  static_assert(sizeof(T) == (size) && alignof(T) == (align), "layout of " #T)
#define KELVRIX_OFX_AT(T, field, offset) \
  static_assert(offsetof(T, field) == (offset), "offset of " #T "." #field)

KELVRIX_OFX_SIZE(OfxStatus, 4, 4);
KELVRIX_OFX_SIZE(OfxTime, 8, 8);
KELVRIX_OFX_SIZE(size_t, 8, 8);
KELVRIX_OFX_SIZE(OfxPropertySetHandle, 8, 8);
KELVRIX_OFX_SIZE(OfxImageEffectHandle, 8, 8);
KELVRIX_OFX_SIZE(OfxImageClipHandle, 8, 8);
KELVRIX_OFX_SIZE(OfxImageMemoryHandle, 8, 8);
KELVRIX_OFX_SIZE(OfxParamHandle, 8, 8);
KELVRIX_OFX_SIZE(OfxParamSetHandle, 8, 8);
KELVRIX_OFX_SIZE(OfxMutexHandle, 8, 8);

KELVRIX_OFX_SIZE(OfxRangeI, 8, 4);
KELVRIX_OFX_AT(OfxRangeI, min, 0);
KELVRIX_OFX_AT(OfxRangeI, max, 4);
KELVRIX_OFX_SIZE(OfxRangeD, 16, 8);
KELVRIX_OFX_AT(OfxRangeD, min, 0);
KELVRIX_OFX_AT(OfxRangeD, max, 8);
KELVRIX_OFX_SIZE(OfxPointI, 8, 4);
KELVRIX_OFX_AT(OfxPointI, x, 0);
KELVRIX_OFX_AT(OfxPointI, y, 4);
KELVRIX_OFX_SIZE(OfxPointD, 16, 8);
KELVRIX_OFX_AT(OfxPointD, x, 0);
KELVRIX_OFX_AT(OfxPointD, y, 8);
KELVRIX_OFX_SIZE(OfxRectI, 16, 4);
KELVRIX_OFX_AT(OfxRectI, x1, 0);
KELVRIX_OFX_AT(OfxRectI, y1, 4);
KELVRIX_OFX_AT(OfxRectI, x2, 8);
KELVRIX_OFX_AT(OfxRectI, y2, 12);
KELVRIX_OFX_SIZE(OfxRectD, 32, 8);
KELVRIX_OFX_AT(OfxRectD, x1, 0);
KELVRIX_OFX_AT(OfxRectD, y1, 8);
KELVRIX_OFX_AT(OfxRectD, x2, 16);
KELVRIX_OFX_AT(OfxRectD, y2, 24);
KELVRIX_OFX_SIZE(OfxBytes, 16, 8);
KELVRIX_OFX_AT(OfxBytes, data, 0);
KELVRIX_OFX_AT(OfxBytes, length, 8);

KELVRIX_OFX_SIZE(OfxRGBAColourB, 4, 1);
KELVRIX_OFX_AT(OfxRGBAColourB, r, 0);
KELVRIX_OFX_AT(OfxRGBAColourB, g, 1);
KELVRIX_OFX_AT(OfxRGBAColourB, b, 2);
KELVRIX_OFX_AT(OfxRGBAColourB, a, 3);
KELVRIX_OFX_SIZE(OfxRGBAColourS, 8, 2);
KELVRIX_OFX_AT(OfxRGBAColourS, r, 0);
KELVRIX_OFX_AT(OfxRGBAColourS, g, 2);
KELVRIX_OFX_AT(OfxRGBAColourS, b, 4);
KELVRIX_OFX_AT(OfxRGBAColourS, a, 6);
KELVRIX_OFX_SIZE(OfxRGBAColourF, 16, 4);
KELVRIX_OFX_AT(OfxRGBAColourF, r, 0);
KELVRIX_OFX_AT(OfxRGBAColourF, g, 4);
KELVRIX_OFX_AT(OfxRGBAColourF, b, 8);
KELVRIX_OFX_AT(OfxRGBAColourF, a, 12);
KELVRIX_OFX_SIZE(OfxRGBAColourD, 32, 8);
KELVRIX_OFX_AT(OfxRGBAColourD, r, 0);
KELVRIX_OFX_AT(OfxRGBAColourD, g, 8);
KELVRIX_OFX_AT(OfxRGBAColourD, b, 16);
KELVRIX_OFX_AT(OfxRGBAColourD, a, 24);
KELVRIX_OFX_SIZE(OfxRGBColourB, 3, 1);
KELVRIX_OFX_AT(OfxRGBColourB, r, 0);
KELVRIX_OFX_AT(OfxRGBColourB, g, 1);
KELVRIX_OFX_AT(OfxRGBColourB, b, 2);
KELVRIX_OFX_SIZE(OfxRGBColourS, 6, 2);
KELVRIX_OFX_AT(OfxRGBColourS, r, 0);
KELVRIX_OFX_AT(OfxRGBColourS, g, 2);
KELVRIX_OFX_AT(OfxRGBColourS, b, 4);
KELVRIX_OFX_SIZE(OfxRGBColourF, 12, 4);
KELVRIX_OFX_AT(OfxRGBColourF, r, 0);
KELVRIX_OFX_AT(OfxRGBColourF, g, 4);
KELVRIX_OFX_AT(OfxRGBColourF, b, 8);
KELVRIX_OFX_SIZE(OfxRGBColourD, 24, 8);
KELVRIX_OFX_AT(OfxRGBColourD, r, 0);
KELVRIX_OFX_AT(OfxRGBColourD, g, 8);
KELVRIX_OFX_AT(OfxRGBColourD, b, 16);

// Four bytes of padding follow apiVersion.
KELVRIX_OFX_SIZE(OfxPlugin, 48, 8);
KELVRIX_OFX_AT(OfxPlugin, pluginApi, 0);
KELVRIX_OFX_AT(OfxPlugin, apiVersion, 8);
KELVRIX_OFX_AT(OfxPlugin, pluginIdentifier, 16);
KELVRIX_OFX_AT(OfxPlugin, pluginVersionMajor, 24);
KELVRIX_OFX_AT(OfxPlugin, pluginVersionMinor, 28);
KELVRIX_OFX_AT(OfxPlugin, setHost, 32);
KELVRIX_OFX_AT(OfxPlugin, mainEntry, 40);
KELVRIX_OFX_SIZE(OfxHost, 16, 8);
KELVRIX_OFX_AT(OfxHost, host, 0);
KELVRIX_OFX_AT(OfxHost, fetchSuite, 8);

// Suites are tables of 8-byte function pointers; each entry's offset pins the order.
KELVRIX_OFX_SIZE(OfxPropertySuiteV1, 144, 8);
KELVRIX_OFX_AT(OfxPropertySuiteV1, propSetPointer, 0);
KELVRIX_OFX_AT(OfxPropertySuiteV1, propSetString, 8);
KELVRIX_OFX_AT(OfxPropertySuiteV1, propSetDouble, 16);
KELVRIX_OFX_AT(OfxPropertySuiteV1, propSetInt, 24);
KELVRIX_OFX_AT(OfxPropertySuiteV1, propSetPointerN, 32);
KELVRIX_OFX_AT(OfxPropertySuiteV1, propSetStringN, 40);
KELVRIX_OFX_AT(OfxPropertySuiteV1, propSetDoubleN, 48);
KELVRIX_OFX_AT(OfxPropertySuiteV1, propSetIntN, 56);
KELVRIX_OFX_AT(OfxPropertySuiteV1, propGetPointer, 64);
KELVRIX_OFX_AT(OfxPropertySuiteV1, propGetString, 72);
KELVRIX_OFX_AT(OfxPropertySuiteV1, propGetDouble, 80);
KELVRIX_OFX_AT(OfxPropertySuiteV1, propGetInt, 88);
KELVRIX_OFX_AT(OfxPropertySuiteV1, propGetPointerN, 96);
KELVRIX_OFX_AT(OfxPropertySuiteV1, propGetStringN, 104);
KELVRIX_OFX_AT(OfxPropertySuiteV1, propGetDoubleN, 112);
KELVRIX_OFX_AT(OfxPropertySuiteV1, propGetIntN, 120);
KELVRIX_OFX_AT(OfxPropertySuiteV1, propReset, 128);
KELVRIX_OFX_AT(OfxPropertySuiteV1, propGetDimension, 136);

KELVRIX_OFX_SIZE(OfxImageEffectSuiteV1, 104, 8);
KELVRIX_OFX_AT(OfxImageEffectSuiteV1, getPropertySet, 0);
KELVRIX_OFX_AT(OfxImageEffectSuiteV1, getParamSet, 8);
KELVRIX_OFX_AT(OfxImageEffectSuiteV1, clipDefine, 16);
KELVRIX_OFX_AT(OfxImageEffectSuiteV1, clipGetHandle, 24);
KELVRIX_OFX_AT(OfxImageEffectSuiteV1, clipGetPropertySet, 32);
KELVRIX_OFX_AT(OfxImageEffectSuiteV1, clipGetImage, 40);
KELVRIX_OFX_AT(OfxImageEffectSuiteV1, clipReleaseImage, 48);
KELVRIX_OFX_AT(OfxImageEffectSuiteV1, clipGetRegionOfDefinition, 56);
KELVRIX_OFX_AT(OfxImageEffectSuiteV1, abort, 64);
KELVRIX_OFX_AT(OfxImageEffectSuiteV1, imageMemoryAlloc, 72);
KELVRIX_OFX_AT(OfxImageEffectSuiteV1, imageMemoryFree, 80);
KELVRIX_OFX_AT(OfxImageEffectSuiteV1, imageMemoryLock, 88);
KELVRIX_OFX_AT(OfxImageEffectSuiteV1, imageMemoryUnlock, 96);

KELVRIX_OFX_SIZE(OfxParameterSuiteV1, 144, 8);
KELVRIX_OFX_AT(OfxParameterSuiteV1, paramDefine, 0);
KELVRIX_OFX_AT(OfxParameterSuiteV1, paramGetHandle, 8);
KELVRIX_OFX_AT(OfxParameterSuiteV1, paramSetGetPropertySet, 16);
KELVRIX_OFX_AT(OfxParameterSuiteV1, paramGetPropertySet, 24);
KELVRIX_OFX_AT(OfxParameterSuiteV1, paramGetValue, 32);
KELVRIX_OFX_AT(OfxParameterSuiteV1, paramGetValueAtTime, 40);
KELVRIX_OFX_AT(OfxParameterSuiteV1, paramGetDerivative, 48);
KELVRIX_OFX_AT(OfxParameterSuiteV1, paramGetIntegral, 56);
KELVRIX_OFX_AT(OfxParameterSuiteV1, paramSetValue, 64);
KELVRIX_OFX_AT(OfxParameterSuiteV1, paramSetValueAtTime, 72);
KELVRIX_OFX_AT(OfxParameterSuiteV1, paramGetNumKeys, 80);
KELVRIX_OFX_AT(OfxParameterSuiteV1, paramGetKeyTime, 88);
KELVRIX_OFX_AT(OfxParameterSuiteV1, paramGetKeyIndex, 96);
KELVRIX_OFX_AT(OfxParameterSuiteV1, paramDeleteKey, 104);
KELVRIX_OFX_AT(OfxParameterSuiteV1, paramDeleteAllKeys, 112);
KELVRIX_OFX_AT(OfxParameterSuiteV1, paramCopy, 120);
KELVRIX_OFX_AT(OfxParameterSuiteV1, paramEditBegin, 128);
KELVRIX_OFX_AT(OfxParameterSuiteV1, paramEditEnd, 136);

KELVRIX_OFX_SIZE(OfxMemorySuiteV1, 16, 8);
KELVRIX_OFX_AT(OfxMemorySuiteV1, memoryAlloc, 0);
KELVRIX_OFX_AT(OfxMemorySuiteV1, memoryFree, 8);

KELVRIX_OFX_SIZE(OfxMultiThreadSuiteV1, 72, 8);
KELVRIX_OFX_AT(OfxMultiThreadSuiteV1, multiThread, 0);
KELVRIX_OFX_AT(OfxMultiThreadSuiteV1, multiThreadNumCPUs, 8);
KELVRIX_OFX_AT(OfxMultiThreadSuiteV1, multiThreadIndex, 16);
KELVRIX_OFX_AT(OfxMultiThreadSuiteV1, multiThreadIsSpawnedThread, 24);
KELVRIX_OFX_AT(OfxMultiThreadSuiteV1, mutexCreate, 32);
KELVRIX_OFX_AT(OfxMultiThreadSuiteV1, mutexDestroy, 40);
KELVRIX_OFX_AT(OfxMultiThreadSuiteV1, mutexLock, 48);
KELVRIX_OFX_AT(OfxMultiThreadSuiteV1, mutexUnLock, 56);
KELVRIX_OFX_AT(OfxMultiThreadSuiteV1, mutexTryLock, 64);

KELVRIX_OFX_SIZE(OfxMessageSuiteV1, 8, 8);
KELVRIX_OFX_AT(OfxMessageSuiteV1, message, 0);
KELVRIX_OFX_SIZE(OfxMessageSuiteV2, 24, 8);
KELVRIX_OFX_AT(OfxMessageSuiteV2, message, 0);
KELVRIX_OFX_AT(OfxMessageSuiteV2, setPersistentMessage, 8);
KELVRIX_OFX_AT(OfxMessageSuiteV2, clearPersistentMessage, 16);

#undef KELVRIX_OFX_SIZE
#undef KELVRIX_OFX_AT
