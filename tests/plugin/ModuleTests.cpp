// The built plug-in module, loaded by path through the simulated host as a host loads it.
#include <gtest/gtest.h>

#include "host/DebuggerLog.h"
#include "host/SimHost.h"

using namespace kelvrix::host;

TEST(Module, LoadsByPathAndAnswersGlobalSetupAndAbout) {
  PluginModule module = PluginModule::Load(KELVRIX_MODULE_PATH);
  ASSERT_TRUE(module.Loaded()) << module.Error();
  SimHost host(std::move(module));
  DebuggerLog::Instance().Clear();
  EXPECT_EQ(host.Register().name, "kelvrix");
  EXPECT_EQ(host.GlobalSetup(), PF_Err_NONE);
  EXPECT_EQ(host.LastOutData().out_flags2, 0x08001408);
  EXPECT_NE(host.GlobalData(), nullptr);
  std::string about;
  EXPECT_EQ(host.About(&about), PF_Err_NONE);
  EXPECT_EQ(about, "kelvrix v1.1.0\r\nYou matter.");
  // the module's messages reach this process's debugger entry point
  EXPECT_EQ(DebuggerLog::Instance().Count(), 2u);
  EXPECT_TRUE(host.Suites().Unbalanced().empty());
}

TEST(Module, AMissingFileIsAClearErrorNotACrash) {
  PluginModule module = PluginModule::Load("/nonexistent/kelvrix.so");
  EXPECT_FALSE(module.Loaded());
  EXPECT_NE(module.Error().find("/nonexistent/kelvrix.so"), std::string::npos);
}

// Any system library will do: it loads, but it is no plug-in.
#if defined(_WIN32)
constexpr char kSystemLibrary[] = "kernel32.dll";
#else
constexpr char kSystemLibrary[] = "libm.so.6";
#endif

TEST(Module, ALibraryWithoutTheEntryPointsIsRefused) {
  PluginModule module = PluginModule::Load(kSystemLibrary);
  EXPECT_FALSE(module.Loaded());
  EXPECT_NE(module.Error().find("lacks EffectMain"), std::string::npos);
}
