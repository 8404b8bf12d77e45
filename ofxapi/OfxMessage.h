// The message suite. Version 2 begins with version 1's entry, so a host may hand one table
// for both; persistent messages stay on the instance until cleared.
#pragma once

#include "ofxapi/OfxCore.h"

extern "C" {

#define kOfxMessageSuite "OfxMessageSuite"

// `format` and the arguments after it are printf-style.
typedef struct OfxMessageSuiteV1 {
  OfxStatus (*message)(void* handle, const char* messageType, const char* messageId,
                       const char* format, ...);
} OfxMessageSuiteV1;

typedef struct OfxMessageSuiteV2 {
  OfxStatus (*message)(void* handle, const char* messageType, const char* messageId,
                       const char* format, ...);
  OfxStatus (*setPersistentMessage)(void* handle, const char* messageType, const char* messageId,
                                    const char* format, ...);
  OfxStatus (*clearPersistentMessage)(void* handle);
} OfxMessageSuiteV2;

// Values of messageType. A question is answered kOfxStatReplyYes or kOfxStatReplyNo.
#define kOfxMessageFatal "OfxMessageFatal"
#define kOfxMessageError "OfxMessageError"
#define kOfxMessageWarning "OfxMessageWarning"
#define kOfxMessageMessage "OfxMessageMessage"
#define kOfxMessageLog "OfxMessageLog"
#define kOfxMessageQuestion "OfxMessageQuestion"

}  // extern "C"
