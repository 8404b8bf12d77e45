// The plug-in's entry points linked into the test program, for the simulated host to call
// exactly as it calls a loaded module's.
#pragma once

#include <gtest/gtest.h>

#include <tuple>

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

// Version 1.1 develop 1 and the two flag words global setup reports on every host and path.
inline void ExpectVersionAndFlags(const PF_OutData& out) {
  EXPECT_EQ(std::make_tuple(out.my_version, out.out_flags, out.out_flags2),
            std::make_tuple(557057u, 0x06000444, 0x08001408));
}

// Suites, effect references, handles and locks all given back after a command; only the global
// data's handle stays, unlocked.
inline void ExpectAllGivenBack(host::SimHost& host, size_t liveEffectRefs = 0) {
  const bool data = host.GlobalData() != nullptr;
  EXPECT_EQ(
      std::make_tuple(host.Suites().Unbalanced().size(), host.LiveEffectRefs(),
                      host.Handles().Live(), data ? host.Handles().Locks(host.GlobalData()) : 0),
      std::make_tuple(size_t{0}, liveEffectRefs, data ? 1u : 0u, 0));
}

}  // namespace kelvrix::testing
