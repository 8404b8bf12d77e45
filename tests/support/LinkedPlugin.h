// The plug-in's entry points linked into the test program, for the simulated host to call
// exactly as it calls a loaded module's.
#pragma once

#include <gtest/gtest.h>

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

// What every registration of kelvrix reports, whichever way the module was loaded.
inline void ExpectKelvrixIdentity(const host::Registration& r) {
  EXPECT_EQ(r.result, PF_Err_NONE);
  EXPECT_EQ(r.callbackCalls, 1);
  EXPECT_TRUE(r.dataPointerPassedOn);
  EXPECT_EQ(r.name + "|" + r.matchName + "|" + r.category + "|" + r.entryPoint,
            "kelvrix|Torvendalekelvrix|Torvendale|EffectMain");
  EXPECT_EQ(r.kind, 0x65464B54);  // 'eFKT'
  EXPECT_EQ(r.apiMajor * 100 + r.apiMinor, 1327);
}

// Version 1.1 develop 1 and the two flag words global setup reports on every host and path.
inline void ExpectVersionAndFlags(const PF_OutData& out) {
  EXPECT_EQ(out.my_version, 557057u);
  EXPECT_EQ(out.out_flags, 0x06000444);
  EXPECT_EQ(out.out_flags2, 0x08001408);
}

// Suites, effect references, handles and locks all given back after a command; only the global
// data's handle stays.
inline void ExpectAllGivenBack(host::SimHost& host, size_t liveEffectRefs = 0) {
  EXPECT_TRUE(host.Suites().Unbalanced().empty());
  EXPECT_EQ(host.LiveEffectRefs(), liveEffectRefs);
  EXPECT_EQ(host.Handles().Live(), host.GlobalData() != nullptr ? 1u : 0u);
  if (host.GlobalData() != nullptr) {
    EXPECT_EQ(host.Handles().Locks(host.GlobalData()), 0);
  }
}

}  // namespace kelvrix::testing
