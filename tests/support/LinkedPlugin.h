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

// A small project of the given depth.
inline host::HostOptions SmallProject(PF_PixelFormat format, A_long width, A_long height,
                                      A_long rowPaddingBytes = 0) {
  host::HostOptions options;
  options.width = width;
  options.height = height;
  options.format = format;
  options.rowPaddingBytes = rowPaddingBytes;
  return options;
}

// Global and parameter setup, then exactly the Style box for `style` (1, 2 or 3; 0: none)
// ticked. Returns false when a setup command failed.
inline bool SetUpInstance(host::SimHost& host, int style) {
  if (host.GlobalSetup() != PF_Err_NONE || host.ParamsSetup() != PF_Err_NONE) return false;
  for (int box = 3; box <= 5; ++box) host.Params()[box].u.bd.value = box - 2 == style ? 1 : 0;
  return true;
}

}  // namespace kelvrix::testing
