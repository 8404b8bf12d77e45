// The shipped kelvrix.aex in a real Windows loader: loaded with LoadLibrary as a host loads it,
// and its PIPL resource found through the resource API. The PIPL's bytes are checked against a
// hand-written table by tests/pe/check_aex.py; the module's commands and debugger messages by
// the module tests, which load the same file.
#define WIN32_LEAN_AND_MEAN
#include <gtest/gtest.h>
#include <windows.h>

#include <cstring>
#include <string>

#include "host/PluginModule.h"

using kelvrix::host::PluginModule;

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
