// The host the binary was handed and the suites fetched from it. setHost stores the host;
// Load fetches the suites afresh each time (hosts load, describe and unload while scanning,
// then load again, possibly with another host record). Written only by the main-thread
// actions Load and Unload, read by everything else.
#pragma once

#include "ofxapi/OfxApi.h"

namespace kelvrix::ofx {

struct HostSuites {
  const OfxPropertySuiteV1* property = nullptr;        // required
  const OfxImageEffectSuiteV1* imageEffect = nullptr;  // required
  const OfxParameterSuiteV1* parameter = nullptr;      // required
  const OfxMultiThreadSuiteV1* multiThread = nullptr;  // optional: rows run on the caller
  const OfxMessageSuiteV1* message = nullptr;          // optional: reasons go unsaid
};

void SetHost(OfxHost* host);

// Fetches the suites. kOfxStatErrMissingHostFeature when a required one is missing (said
// through the message suite when there is one), kOfxStatFailed without a host record.
OfxStatus LoadSuites();

// Forgets the suites (the host record stays until the next setHost).
void UnloadSuites();

// The suites of the current load; all null before Load and after Unload.
const HostSuites& Suites();

// True when Load succeeded and no Unload followed.
bool Loaded();

// Posts an error message through the message suite, when the host has one.
void SayError(const void* handle, const char* text);

}  // namespace kelvrix::ofx
