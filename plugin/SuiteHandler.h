// Holds any number of host suites for one command: each is acquired on first use and all
// are released together when the handler goes out of scope, also while an error unwinds.
#pragma once

#include <array>

#include "hostapi/HostApi.h"

// Suite tables nothing here calls stay incomplete types.
#define KELVRIX_DECLARED_SUITE(Accessor, Type, Name, Version)
#define KELVRIX_OPAQUE_SUITE(Accessor, Type, Name, Version) struct Type;
#include "plugin/SuiteSlots.def"

namespace kelvrix {

class SuiteHandler {
 public:
  // Throws 516 when the host gave no basic suite.
  explicit SuiteHandler(const SPBasicSuite* basic);
  ~SuiteHandler();
  SuiteHandler(const SuiteHandler&) = delete;
  SuiteHandler& operator=(const SuiteHandler&) = delete;

  // One accessor per slot; each throws 516 when the host cannot give that suite.
#define KELVRIX_DECLARED_SUITE(Accessor, Type, Name, Version) \
  const ::Type* Accessor() { return static_cast<const ::Type*>(Get(Slot::k##Accessor)); }
#include "plugin/SuiteSlots.def"

 private:
  enum class Slot {
#define KELVRIX_DECLARED_SUITE(Accessor, Type, Name, Version) k##Accessor,
#include "plugin/SuiteSlots.def"
    kCount
  };

  const void* Get(Slot slot);

  const SPBasicSuite* basic_;
  std::array<const void*, static_cast<size_t>(Slot::kCount)> tables_{};
};

}  // namespace kelvrix
