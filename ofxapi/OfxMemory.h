// The general memory suite, for allocations well below image size; images and other large
// buffers go through the image-effect suite's image memory.
#pragma once

#include <cstddef>

#include "ofxapi/OfxCore.h"

extern "C" {

#define kOfxMemorySuite "OfxMemorySuite"

typedef struct OfxMemorySuiteV1 {
  // `handle` is the effect instance or NULL; the block is aligned for any type.
  OfxStatus (*memoryAlloc)(void* handle, size_t nBytes, void** allocatedData);
  OfxStatus (*memoryFree)(void* allocatedData);
} OfxMemorySuiteV1;

}  // extern "C"
