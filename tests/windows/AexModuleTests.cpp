// The shipped kelvrix.aex in a real Windows loader: loaded with LoadLibrary through the
// simulated host as a host loads it, its PIPL resource read back through the resource API,
// and its debugger messages caught from the real OutputDebugStringA.
#define WIN32_LEAN_AND_MEAN
#include <gtest/gtest.h>
#include <windows.h>

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <map>
#include <string>
#include <thread>
#include <vector>

#include "host/DebuggerLog.h"
#include "host/SimHost.h"

using kelvrix::host::DebuggerLog;
using kelvrix::host::PluginModule;
using kelvrix::host::Registration;
using kelvrix::host::SimHost;

namespace {

constexpr WORD kUsEnglish = MAKELANGID(LANG_ENGLISH, SUBLANG_ENGLISH_US);  // 1033
constexpr int kPiPLId = 16000;

PluginModule LoadAex() { return PluginModule::Load(KELVRIX_MODULE_PATH); }

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

std::vector<uint8_t> ReadPiPLResource(HMODULE module) {
  HRSRC info = FindResourceExA(module, "PIPL", MAKEINTRESOURCEA(kPiPLId), kUsEnglish);
  if (info == nullptr) return {};
  HGLOBAL loaded = LoadResource(module, info);
  const auto* bytes = static_cast<const uint8_t*>(LockResource(loaded));
  if (bytes == nullptr) return {};
  return std::vector<uint8_t>(bytes, bytes + SizeofResource(module, info));
}

// ---- The PiPL as a host parses it ------------------------------------------------------------
// u16 1, u32 list version 0, u32 count, then per property: vendor, key (four-character codes
// stored as little-endian values, so the bytes read backwards), u32 id 0, u32 length, data
// zero-padded to a multiple of 4.

class PiPLReader {
 public:
  explicit PiPLReader(const std::vector<uint8_t>& bytes) : bytes_(bytes) {}

  bool Fits(size_t n) const { return n <= bytes_.size() - at_; }
  size_t Left() const { return bytes_.size() - at_; }
  uint32_t U16() { return Take(2); }
  uint32_t U32() { return Take(4); }
  std::string Code() {
    const uint32_t value = U32();
    std::string code;
    for (int shift = 24; shift >= 0; shift -= 8) code += static_cast<char>(value >> shift);
    return code;
  }
  std::vector<uint8_t> Bytes(size_t n) {
    std::vector<uint8_t> out(bytes_.begin() + static_cast<std::ptrdiff_t>(at_),
                             bytes_.begin() + static_cast<std::ptrdiff_t>(at_ + n));
    at_ += n;
    return out;
  }

 private:
  uint32_t Take(int n) {
    uint32_t value = 0;
    for (int i = 0; i < n; ++i) value |= uint32_t{bytes_[at_ + static_cast<size_t>(i)]} << (8 * i);
    at_ += static_cast<size_t>(n);
    return value;
  }
  const std::vector<uint8_t>& bytes_;
  size_t at_ = 0;
};

struct PiPLProperties {
  std::vector<std::string> keys;  // in file order
  std::map<std::string, std::vector<uint8_t>> data;
};

::testing::AssertionResult ParsePiPL(const std::vector<uint8_t>& bytes, PiPLProperties* out) {
  PiPLReader in(bytes);
  if (!in.Fits(10)) return ::testing::AssertionFailure() << "no room for the header";
  if (in.U16() != 1) return ::testing::AssertionFailure() << "header word is not 1";
  if (in.U32() != 0) return ::testing::AssertionFailure() << "list version is not 0";
  const uint32_t count = in.U32();
  for (uint32_t i = 0; i < count; ++i) {
    if (!in.Fits(16)) return ::testing::AssertionFailure() << "property " << i << " cut short";
    const std::string vendor = in.Code();
    const std::string key = in.Code();
    const uint32_t id = in.U32();
    const uint32_t length = in.U32();
    const size_t padded = (length + 3u) & ~size_t{3};
    if (vendor != "8BIM" || id != 0 || !in.Fits(padded)) {
      return ::testing::AssertionFailure() << "property " << key << " is malformed";
    }
    out->keys.push_back(key);
    out->data[key] = in.Bytes(length);
    for (uint8_t pad : in.Bytes(padded - length)) {
      if (pad != 0) return ::testing::AssertionFailure() << key << " has non-zero padding";
    }
  }
  if (in.Left() != 0) return ::testing::AssertionFailure() << in.Left() << " bytes left over";
  return ::testing::AssertionSuccess();
}

uint32_t Le32(const std::vector<uint8_t>& data) {
  if (data.size() != 4) return 0xDEADBEEF;
  return uint32_t{data[0]} | uint32_t{data[1]} << 8 | uint32_t{data[2]} << 16 |
         uint32_t{data[3]} << 24;
}

std::string Pascal(const std::vector<uint8_t>& data) {
  if (data.empty() || data[0] + 1u > data.size()) return "<bad Pascal string>";
  return std::string(data.begin() + 1, data.begin() + 1 + data[0]);
}

std::string CString(const std::vector<uint8_t>& data) {
  const auto end = std::find(data.begin(), data.end(), uint8_t{0});
  return end == data.end() ? "<unterminated>" : std::string(data.begin(), end);
}

}  // namespace

// ---- Loading ---------------------------------------------------------------------------------

TEST(Aex, LoadsWithLoadLibraryAndResolvesBothUndecoratedExports) {
  PluginModule plugin = LoadAex();
  ASSERT_TRUE(plugin.Loaded()) << plugin.Error();
  HMODULE module = ModuleOf(plugin.EffectMain());
  ASSERT_NE(module, nullptr);
  char path[MAX_PATH] = {};
  GetModuleFileNameA(module, path, MAX_PATH);
  EXPECT_NE(std::string(path).find("kelvrix.aex"), std::string::npos) << path;
  // both entry points live in the .aex itself, not in this test program
  EXPECT_EQ(ModuleOf(plugin.Registration()), module);
  EXPECT_NE(module, GetModuleHandleA(nullptr));
  EXPECT_NE(GetProcAddress(module, "EffectMain"), nullptr);
  EXPECT_NE(GetProcAddress(module, "PluginDataEntryFunction"), nullptr);
  EXPECT_EQ(GetProcAddress(module, "_EffectMain"), nullptr);
}

TEST(Aex, RegistersItsIdentityThroughPluginDataEntryFunction) {
  PluginModule plugin = LoadAex();
  ASSERT_TRUE(plugin.Loaded()) << plugin.Error();
  SimHost host(std::move(plugin));
  const Registration reg = host.Register();
  EXPECT_EQ(reg.result, PF_Err_NONE);
  EXPECT_EQ(reg.callbackCalls, 1);
  EXPECT_TRUE(reg.dataPointerPassedOn);
  EXPECT_EQ(reg.name, "kelvrix");
  EXPECT_EQ(reg.matchName, "Torvendalekelvrix");
  EXPECT_EQ(reg.category, "Torvendale");
  EXPECT_EQ(reg.entryPoint, "EffectMain");
  EXPECT_EQ(reg.kind, 0x65464B54);  // 'eFKT'
  EXPECT_EQ(reg.apiMajor, 13);
  EXPECT_EQ(reg.apiMinor, 27);
}

// ---- The PIPL resource -----------------------------------------------------------------------

TEST(AexPiPL, IsOneResourceOfTypePIPLWithId16000InUsEnglishOnly) {
  PluginModule plugin = LoadAex();
  ASSERT_TRUE(plugin.Loaded()) << plugin.Error();
  HMODULE module = ModuleOf(plugin.EffectMain());

  std::vector<ULONG_PTR> ids;
  EnumResourceNamesA(
      module, "PIPL",
      [](HMODULE, LPCSTR, LPSTR name, LONG_PTR out) -> BOOL {
        reinterpret_cast<std::vector<ULONG_PTR>*>(out)->push_back(
            IS_INTRESOURCE(name) ? reinterpret_cast<ULONG_PTR>(name) : ~ULONG_PTR{0});
        return TRUE;
      },
      reinterpret_cast<LONG_PTR>(&ids));
  EXPECT_EQ(ids, std::vector<ULONG_PTR>{kPiPLId});

  std::vector<WORD> languages;
  EnumResourceLanguagesA(
      module, "PIPL", MAKEINTRESOURCEA(kPiPLId),
      [](HMODULE, LPCSTR, LPCSTR, WORD language, LONG_PTR out) -> BOOL {
        reinterpret_cast<std::vector<WORD>*>(out)->push_back(language);
        return TRUE;
      },
      reinterpret_cast<LONG_PTR>(&languages));
  EXPECT_EQ(languages, std::vector<WORD>{1033});

  EXPECT_EQ(ReadPiPLResource(module).size(), 286u);
}

TEST(AexPiPL, PropertiesAgreeWithRegistrationAndGlobalSetup) {
  PluginModule plugin = LoadAex();
  ASSERT_TRUE(plugin.Loaded()) << plugin.Error();
  const std::vector<uint8_t> bytes = ReadPiPLResource(ModuleOf(plugin.EffectMain()));
  PiPLProperties pipl;
  ASSERT_TRUE(ParsePiPL(bytes, &pipl));
  EXPECT_EQ(pipl.keys, (std::vector<std::string>{"kind", "name", "catg", "8664", "ePVR", "eSVR",
                                                 "eVER", "eINF", "eGLO", "eGL2", "eMNA", "aeFL"}));

  SimHost host(std::move(plugin));
  const Registration reg = host.Register();
  ASSERT_EQ(host.GlobalSetup(), PF_Err_NONE);
  const PF_OutData& out = host.LastOutData();

  EXPECT_EQ(Le32(pipl.data["kind"]), static_cast<uint32_t>(reg.kind));
  EXPECT_EQ(Pascal(pipl.data["name"]), reg.name);
  EXPECT_EQ(Pascal(pipl.data["catg"]), reg.category);
  EXPECT_EQ(CString(pipl.data["8664"]), reg.entryPoint);
  EXPECT_EQ(Pascal(pipl.data["eMNA"]), reg.matchName);
  EXPECT_EQ(Le32(pipl.data["eSVR"]),
            static_cast<uint32_t>(reg.apiMajor) | static_cast<uint32_t>(reg.apiMinor) << 16);
  EXPECT_EQ(Le32(pipl.data["eVER"]), out.my_version);
  EXPECT_EQ(Le32(pipl.data["eGLO"]), static_cast<uint32_t>(out.out_flags));
  EXPECT_EQ(Le32(pipl.data["eGL2"]), static_cast<uint32_t>(out.out_flags2));
  // what only the resource says: description version 2.0, no info flags, reserved 0
  EXPECT_EQ(Le32(pipl.data["ePVR"]), 2u);
  EXPECT_EQ(pipl.data["eINF"], (std::vector<uint8_t>{0, 0}));
  EXPECT_EQ(Le32(pipl.data["aeFL"]), 0u);
}

// ---- Commands through the simulated host -----------------------------------------------------

TEST(AexCommands, GlobalSetupAndAboutAnswerAsOnEveryHost) {
  for (const A_long appl : {kAppIdAfterEffects, kAppIdPremierePro}) {
    SCOPED_TRACE(appl == kAppIdPremierePro ? "Premiere Pro" : "After Effects");
    PluginModule plugin = LoadAex();
    ASSERT_TRUE(plugin.Loaded()) << plugin.Error();
    kelvrix::host::HostOptions options;
    options.applId = appl;
    SimHost host(std::move(plugin), options);
    DebuggerLog::Instance().Clear();
    EXPECT_EQ(host.GlobalSetup(), PF_Err_NONE);
    EXPECT_EQ(host.LastOutData().my_version, 0x00088001u);
    EXPECT_EQ(host.LastOutData().out_flags, 0x06000444);
    EXPECT_EQ(host.LastOutData().out_flags2, 0x08001408);
    EXPECT_NE(host.GlobalData(), nullptr);
    std::string about;
    EXPECT_EQ(host.About(&about), PF_Err_NONE);
    EXPECT_EQ(about, "kelvrix v1.1.0\r\nYou matter.");
    // one message per command, each caught from OutputDebugStringA
    EXPECT_EQ(DebuggerLog::Instance().Count(), 2u);
    EXPECT_TRUE(host.Suites().Unbalanced().empty());
  }
}

TEST(AexCommands, AboutFromEightThreadsReachesOutputDebugStringAOncePerCall) {
  constexpr int kThreads = 8;
  constexpr int kCallsPerThread = 50;
  PluginModule plugin = LoadAex();
  ASSERT_TRUE(plugin.Loaded()) << plugin.Error();
  SimHost host(std::move(plugin));
  DebuggerLog::Instance().Clear();

  std::vector<std::thread::id> ids(kThreads);
  std::vector<std::thread> threads;
  for (int t = 0; t < kThreads; ++t) {
    threads.emplace_back([&, t] {
      ids[static_cast<size_t>(t)] = std::this_thread::get_id();
      for (int c = 0; c < kCallsPerThread; ++c) {
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
  for (const auto& id : ids) EXPECT_EQ(perThread[id], kCallsPerThread);
}
