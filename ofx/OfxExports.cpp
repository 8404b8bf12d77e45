// The binary's three exports; everything else in the module is hidden.
#include "ofx/OfxPluginRecord.h"

extern "C" {

OfxExport int OfxGetNumberOfPlugins(void) { return 1; }

OfxExport OfxPlugin* OfxGetPlugin(int nth) {
  return nth == 0 ? kelvrix::ofx::ThePlugin() : nullptr;
}

// Optional for hosts; ours keeps the host like setHost and never refuses it.
OfxExport OfxStatus OfxSetHost(const OfxHost* host) {
  kelvrix::ofx::ThePlugin()->setHost(const_cast<OfxHost*>(host));
  return kOfxStatOK;
}

}  // extern "C"
