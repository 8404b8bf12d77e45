// The shipped kelvrix.aex in a real Windows loader: loaded with LoadLibrary through the
// simulated host as a host loads it, its PIPL resource found through the resource API, and its
// debugger messages caught from the real OutputDebugStringA. The PIPL's bytes are checked
// against a hand-written table by tests/pe/check_aex.py.
#define WIN32_LEAN_AND_MEAN
#include <gtest/gtest.h>
#include <windows.h>

#include <cstring>
#include <map>
#include <string>
#include <thread>
#include <vector>

#include "host/DebuggerLog.h"
#include "tests/support/LinkedPlugin.h"

using kelvrix::host::DebuggerLog;
using kelvrix::host::PluginModule;
using kelvrix::host::SimHost;

namespace {

// The module that holds the code behind an entry point, so the resource is read from the
// very image the host called into.
template <typename Function>
HMODULE ModuleOf(Function entry) {
  const char* address = nullptr;
  static_assert(sizeof address == sizeof entry);
  std::memcpy(&address, &entry, sizeof address);
  HMODULE module = nullptr;
  GetModuleHandleExA(
      GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS | GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT,
      address, &module);
  return module;
}

}  // namespace

TEST(Aex, LoadsWithLoadLibraryExportsBothEntryPointsAndHoldsOnePiPL) {
  PluginModule plugin = PluginModule::Load(KELVRIX_MODULE_PATH);
  ASSERT_TRUE(plugin.Loaded()) << plugin.Error();
  HMODULE module = ModuleOf(plugin.EffectMain());
  ASSERT_NE(module, nullptr);
  char path[MAX_PATH] = {};
  GetModuleFileNameA(module, path, MAX_PATH);
  EXPECT_NE(std::string(path).find("kelvrix.aex"), std::string::npos) << path;
  // both entry points live in the .aex itself, not in this test program, undecorated
  EXPECT_EQ(ModuleOf(plugin.Registration()), module);
  EXPECT_NE(module, GetModuleHandleA(nullptr));
  EXPECT_NE(GetProcAddress(module, "EffectMain"), nullptr);
  EXPECT_NE(GetProcAddress(module, "PluginDataEntryFunction"), nullptr);
  EXPECT_EQ(GetProcAddress(module, "_EffectMain"), nullptr);

  // the PIPL as a host finds it: type "PIPL", id 16000, US English, 286 bytes
  HRSRC info = FindResourceExA(module, "PIPL", MAKEINTRESOURCEA(16000),
                               MAKELANGID(LANG_ENGLISH, SUBLANG_ENGLISH_US));
  ASSERT_NE(info, nullptr);
  EXPECT_NE(LockResource(LoadResource(module, info)), nullptr);
  EXPECT_EQ(SizeofResource(module, info), 286u);
}

TEST(Aex, RegistersGlobalSetupAndAboutAnswerAsOnEveryHost) {
  for (const A_long appl : {kAppIdAfterEffects, kAppIdPremierePro}) {
    SCOPED_TRACE(appl == kAppIdPremierePro ? "Premiere Pro" : "After Effects");
    PluginModule plugin = PluginModule::Load(KELVRIX_MODULE_PATH);
    ASSERT_TRUE(plugin.Loaded()) << plugin.Error();
    kelvrix::host::HostOptions options;
    options.applId = appl;
    SimHost host(std::move(plugin), options);
    kelvrix::testing::ExpectKelvrixIdentity(host.Register());
    DebuggerLog::Instance().Clear();
    EXPECT_EQ(host.GlobalSetup(), PF_Err_NONE);
    kelvrix::testing::ExpectVersionAndFlags(host.LastOutData());
    EXPECT_NE(host.GlobalData(), nullptr);
    std::string about;
    EXPECT_EQ(host.About(&about), PF_Err_NONE);
    EXPECT_EQ(about, "kelvrix v1.1.0\r\nYou matter.");
    // one message per command, each caught from OutputDebugStringA
    EXPECT_EQ(DebuggerLog::Instance().Count(), 2u);
    EXPECT_TRUE(host.Suites().Unbalanced().empty());
  }
}

TEST(Aex, AboutFromEightThreadsReachesOutputDebugStringAOncePerCall) {
  constexpr int kThreads = 8, kCalls = 50;
  PluginModule plugin = PluginModule::Load(KELVRIX_MODULE_PATH);
  ASSERT_TRUE(plugin.Loaded()) << plugin.Error();
  SimHost host(std::move(plugin));
  DebuggerLog::Instance().Clear();
  std::vector<std::thread::id> ids(kThreads);
  std::vector<std::thread> threads;
  for (int t = 0; t < kThreads; ++t) {
    threads.emplace_back([&, t] {
      ids[static_cast<size_t>(t)] = std::this_thread::get_id();
      for (int c = 0; c < kCalls; ++c) {
        SimHost::CommandRecords records = host.Prepare();
        EXPECT_EQ(host.Send(PF_Cmd_ABOUT, records), PF_Err_NONE);
        EXPECT_STREQ(records.out_data.return_msg, "kelvrix v1.1.0\r\nYou matter.");
      }
    });
  }
  for (auto& thread : threads) thread.join();
  std::map<std::thread::id, int> perThread;
  for (const auto& message : DebuggerLog::Instance().Messages()) {
    EXPECT_EQ(message.text, "");  // About writes nothing to std::cout
    ++perThread[message.thread];
  }
  EXPECT_EQ(perThread.size(), static_cast<size_t>(kThreads));
  for (const auto& id : ids) EXPECT_EQ(perThread[id], kCalls);
}
