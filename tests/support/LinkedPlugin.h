// The plug-in's entry points linked into the test program, for the simulated host to call
// exactly as it calls a loaded module's.
#pragma once

#include "host/SimHost.h"
#include "plugin/EntryPoints.h"

namespace kelvrix::testing {

inline host::PluginModule LinkedPlugin() {
  return host::PluginModule::Linked(EffectMain, PluginDataEntryFunction);
}

inline host::HostOptions PremiereOptions() {
  host::HostOptions options;
  options.applId = kAppIdPremierePro;
  return options;
}

}  // namespace kelvrix::testing
