// The multithread suite. Hosts may lack it or run one thread only, so callers split work by
// threadIndex/threadMax as given, never by an assumed CPU count.
#pragma once

#include "ofxapi/OfxCore.h"

extern "C" {

typedef struct OfxMutex* OfxMutexHandle;

// A function type, not a pointer type, like OfxPluginEntryPoint.
typedef void(OfxThreadFunctionV1)(unsigned int threadIndex, unsigned int threadMax,
                                  void* customArg);

#define kOfxMultiThreadSuite "OfxMultiThreadSuite"

typedef struct OfxMultiThreadSuiteV1 {
  // Returns once every call has returned; from inside a spawned call it fails with
  // kOfxStatErrExists instead of nesting.
  OfxStatus (*multiThread)(OfxThreadFunctionV1* func, unsigned int nThreads, void* customArg);
  OfxStatus (*multiThreadNumCPUs)(unsigned int* nCPUs);
  OfxStatus (*multiThreadIndex)(unsigned int* threadIndex);
  int (*multiThreadIsSpawnedThread)(void);
  OfxStatus (*mutexCreate)(OfxMutexHandle* mutex, int lockCount);
  OfxStatus (*mutexDestroy)(const OfxMutexHandle mutex);
  OfxStatus (*mutexLock)(const OfxMutexHandle mutex);
  // The capital L is the published spelling.
  OfxStatus (*mutexUnLock)(const OfxMutexHandle mutex);
  // kOfxStatFailed when the mutex is taken; never blocks.
  OfxStatus (*mutexTryLock)(const OfxMutexHandle mutex);
} OfxMultiThreadSuiteV1;

}  // extern "C"
