#include "host/PluginModule.h"

#include <cstring>
#include <utility>

#if defined(_WIN32)
#define WIN32_LEAN_AND_MEAN
#include <windows.h>
#else
#include <dlfcn.h>
#endif

namespace kelvrix::host {
namespace {

template <typename Function>
Function ToFunction(void* symbol) {
  Function function = nullptr;
  static_assert(sizeof function == sizeof symbol);
  std::memcpy(&function, &symbol, sizeof function);
  return function;
}

#if defined(_WIN32)
void* OpenLibrary(const std::string& path, std::string* error) {
  HMODULE module = LoadLibraryA(path.c_str());
  if (module == nullptr) *error = "LoadLibrary failed with error " + std::to_string(GetLastError());
  return reinterpret_cast<void*>(module);
}
void* FindSymbol(void* library, const char* name) {
  return reinterpret_cast<void*>(GetProcAddress(static_cast<HMODULE>(library), name));
}
void CloseLibrary(void* library) { FreeLibrary(static_cast<HMODULE>(library)); }
#else
void* OpenLibrary(const std::string& path, std::string* error) {
  void* library = dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL);
  if (library == nullptr) {
    const char* reason = dlerror();
    *error = reason != nullptr ? reason : "dlopen failed";
  }
  return library;
}
void* FindSymbol(void* library, const char* name) { return dlsym(library, name); }
void CloseLibrary(void* library) { dlclose(library); }
#endif

}  // namespace

PluginModule PluginModule::Load(const std::string& path) {
  PluginModule module;
  module.library_ = OpenLibrary(path, &module.error_);
  if (module.library_ == nullptr) {
    module.error_ = "cannot load plug-in module " + path + ": " + module.error_;
    return module;
  }
  module.effectMain_ = ToFunction<PF_FilterProc>(FindSymbol(module.library_, "EffectMain"));
  module.registration_ = ToFunction<PluginDataEntryFunctionPtr>(
      FindSymbol(module.library_, "PluginDataEntryFunction"));
  if (!module.Loaded()) {
    module.error_ = "plug-in module " + path + " lacks EffectMain or PluginDataEntryFunction";
    module.Unload();
  }
  return module;
}

PluginModule PluginModule::Linked(PF_FilterProc effectMain,
                                  PluginDataEntryFunctionPtr registration) {
  PluginModule module;
  module.effectMain_ = effectMain;
  module.registration_ = registration;
  return module;
}

PluginModule::PluginModule(PluginModule&& other) noexcept { *this = std::move(other); }

PluginModule& PluginModule::operator=(PluginModule&& other) noexcept {
  if (this != &other) {
    Unload();
    library_ = std::exchange(other.library_, nullptr);
    effectMain_ = std::exchange(other.effectMain_, nullptr);
    registration_ = std::exchange(other.registration_, nullptr);
    error_ = std::move(other.error_);
  }
  return *this;
}

PluginModule::~PluginModule() { Unload(); }

void PluginModule::Unload() {
  if (library_ != nullptr) CloseLibrary(library_);
  library_ = nullptr;
  effectMain_ = nullptr;
  registration_ = nullptr;
}

}  // namespace kelvrix::host
