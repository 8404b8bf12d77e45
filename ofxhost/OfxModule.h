// A plug-in binary as an OpenFX host loads it: from a bundle (dlopen with RTLD_LAZY |
// RTLD_LOCAL, or LoadLibrary), its exports looked up by name, OfxSetHost only if present;
// or linked into the program, for tests that steer the render core from inside.
#pragma once

#include <string>

#include "ofxapi/OfxApi.h"

namespace kelvrix::ofxhost {

class OfxModule {
 public:
  using CountFn = int (*)();
  using GetFn = OfxPlugin* (*)(int);
  using SetHostFn = OfxStatus (*)(const OfxHost*);

  static OfxModule Linked(CountFn count, GetFn get, SetHostFn setHost);
  // The binary of `bundle` (a NAME.ofx.bundle folder) for this platform:
  // Contents/Win64/NAME.ofx or Contents/Linux-x86-64/NAME.ofx.
  static std::string BinaryInBundle(const std::string& bundle);
  // Loads a binary; check ok() and error().
  static OfxModule Load(const std::string& path);

  OfxModule(OfxModule&& other) noexcept;
  OfxModule& operator=(OfxModule&&) = delete;
  OfxModule(const OfxModule&) = delete;
  ~OfxModule();

  bool ok() const { return get_ != nullptr && count_ != nullptr; }
  const std::string& error() const { return error_; }
  int Count() const { return ok() ? count_() : 0; }
  OfxPlugin* Plugin(int nth) const { return ok() ? get_(nth) : nullptr; }
  SetHostFn setHost() const { return setHost_; }

 private:
  OfxModule() = default;
  void* library_ = nullptr;
  CountFn count_ = nullptr;
  GetFn get_ = nullptr;
  SetHostFn setHost_ = nullptr;
  std::string error_;
};

}  // namespace kelvrix::ofxhost
