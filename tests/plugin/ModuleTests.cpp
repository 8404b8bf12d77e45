// The built plug-in module, loaded by path through the simulated host as a host loads it.
#include <gtest/gtest.h>

#include "host/DebuggerLog.h"
#include "tests/support/LinkedPlugin.h"

using namespace kelvrix::host;

TEST(Module, LoadsByPathAndAnswersRegistrationGlobalSetupAndAbout) {
  PluginModule module = PluginModule::Load(KELVRIX_MODULE_PATH);
  ASSERT_TRUE(module.Loaded()) << module.Error();
  const PluginDataEntryFunctionPtr registration = module.Registration();
  EXPECT_EQ(registration(nullptr, nullptr, nullptr, "x", "1"), PF_Err_INVALID_CALLBACK);
  SimHost host(std::move(module));
  // whatever the host's callback answers is passed back, refusals included
  for (PF_Err result : {PF_Err{A_Err_ALLOC}, PF_Err{0x1234567}}) {
    EXPECT_EQ(host.Register(result).result, result);
  }
  // kind 'eFKT', API 13.27, reserved info 8, the host's data pointer passed on, one callback
  const Registration r = host.Register();
  EXPECT_EQ(r.name + "|" + r.matchName + "|" + r.category + "|" + r.entryPoint,
            "kelvrix|Torvendalekelvrix|Torvendale|EffectMain");
  EXPECT_EQ(std::make_tuple(r.result, r.callbackCalls, r.dataPointerPassedOn, r.kind, r.apiMajor,
                            r.apiMinor, r.reservedInfo),
            std::make_tuple(PF_Err_NONE, 1, true, 0x65464B54, 13, 27, 8));
  DebuggerLog::Instance().Clear();
  EXPECT_EQ(host.GlobalSetup(), PF_Err_NONE);
  kelvrix::testing::ExpectVersionAndFlags(host.LastOutData());
  EXPECT_NE(host.GlobalData(), nullptr);
  std::string about;
  EXPECT_EQ(host.About(&about), PF_Err_NONE);
  EXPECT_EQ(about, "kelvrix v1.1.0\r\nYou matter.");
  // the module's messages reach this process's debugger entry point, one per command
  EXPECT_EQ(DebuggerLog::Instance().Count(), 2u);
  EXPECT_TRUE(host.Suites().Unbalanced().empty());
}

// A system library that loads but is no plug-in (a missing file is the command line's test).
TEST(Module, ALibraryWithoutTheEntryPointsIsAClearErrorNotACrash) {
#if defined(_WIN32)
  PluginModule module = PluginModule::Load("kernel32.dll");
#else
  PluginModule module = PluginModule::Load("libm.so.6");
#endif
  EXPECT_NE(module.Error().find("lacks EffectMain"), std::string::npos) << module.Error();
}
