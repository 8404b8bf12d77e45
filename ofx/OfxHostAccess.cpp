#include "ofx/OfxHostAccess.h"

namespace kelvrix::ofx {
namespace {

OfxHost* gHost = nullptr;
HostSuites gSuites;
bool gLoaded = false;

template <typename Suite>
const Suite* Fetch(const OfxHost& host, const char* name, int version) {
  return static_cast<const Suite*>(host.fetchSuite(host.host, name, version));
}

// The suite a required slot misses, or null when none does.
const char* FirstMissing(const HostSuites& suites) {
  if (suites.property == nullptr) return kOfxPropertySuite;
  if (suites.imageEffect == nullptr) return kOfxImageEffectSuite;
  if (suites.parameter == nullptr) return kOfxParameterSuite;
  return nullptr;
}

}  // namespace

void SetHost(OfxHost* host) { gHost = host; }

OfxStatus LoadSuites() {
  gSuites = HostSuites{};
  gLoaded = false;
  if (gHost == nullptr || gHost->fetchSuite == nullptr) return kOfxStatFailed;
  HostSuites suites;
  suites.property = Fetch<OfxPropertySuiteV1>(*gHost, kOfxPropertySuite, 1);
  suites.imageEffect = Fetch<OfxImageEffectSuiteV1>(*gHost, kOfxImageEffectSuite, 1);
  suites.parameter = Fetch<OfxParameterSuiteV1>(*gHost, kOfxParameterSuite, 1);
  suites.multiThread = Fetch<OfxMultiThreadSuiteV1>(*gHost, kOfxMultiThreadSuite, 1);
  suites.message = Fetch<OfxMessageSuiteV1>(*gHost, kOfxMessageSuite, 1);
  gSuites = suites;
  if (const char* missing = FirstMissing(suites)) {
    if (suites.message != nullptr) {
      suites.message->message(nullptr, kOfxMessageError, nullptr,
                              "kelvrix needs the host's %s (version 1), which this host lacks.",
                              missing);
    }
    gSuites = HostSuites{};
    return kOfxStatErrMissingHostFeature;
  }
  gLoaded = true;
  return kOfxStatOK;
}

void UnloadSuites() {
  gSuites = HostSuites{};
  gLoaded = false;
}

const HostSuites& Suites() { return gSuites; }

bool Loaded() { return gLoaded; }

void SayError(const void* handle, const char* text) {
  if (gSuites.message == nullptr) return;
  gSuites.message->message(const_cast<void*>(handle), kOfxMessageError, nullptr, "%s", text);
}

}  // namespace kelvrix::ofx
