// The plug-in as the host sees it: its two entry points, either resolved from a module file
// loaded by path (dlopen here, LoadLibrary on Windows) or given directly when the handlers
// are linked into the same program.
#pragma once

#include <string>

#include "hostapi/HostApi.h"

namespace kelvrix::host {

class PluginModule {
 public:
  // Loads the module and resolves both exports; on failure Loaded() is false and Error()
  // names the cause.
  static PluginModule Load(const std::string& path);
  static PluginModule Linked(PF_FilterProc effectMain, PluginDataEntryFunctionPtr registration);

  PluginModule(PluginModule&& other) noexcept;
  PluginModule& operator=(PluginModule&& other) noexcept;
  PluginModule(const PluginModule&) = delete;
  PluginModule& operator=(const PluginModule&) = delete;
  ~PluginModule();

  bool Loaded() const { return effectMain_ != nullptr && registration_ != nullptr; }
  const std::string& Error() const { return error_; }
  PF_FilterProc EffectMain() const { return effectMain_; }
  PluginDataEntryFunctionPtr Registration() const { return registration_; }

 private:
  PluginModule() = default;
  void Unload();

  void* library_ = nullptr;
  PF_FilterProc effectMain_ = nullptr;
  PluginDataEntryFunctionPtr registration_ = nullptr;
  std::string error_;
};

}  // namespace kelvrix::host
