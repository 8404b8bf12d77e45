#include "plugin/SuiteHandler.h"

#include "plugin/MissingSuiteError.h"

namespace kelvrix {
namespace {

struct SlotName {
  const char* name;
  int32 version;
};

constexpr SlotName kSlotNames[] = {
#define KELVRIX_DECLARED_SUITE(Accessor, Type, Name, Version) {Name, Version},
#include "plugin/SuiteSlots.def"
};

}  // namespace

SuiteHandler::SuiteHandler(const SPBasicSuite* basic) : basic_(basic) {
  static_assert(std::size(kSlotNames) == static_cast<size_t>(Slot::kCount));
  if (basic_ == nullptr) MissingSuiteError();
}

SuiteHandler::~SuiteHandler() {
  for (size_t i = 0; i < tables_.size(); ++i) {
    if (tables_[i] != nullptr) basic_->ReleaseSuite(kSlotNames[i].name, kSlotNames[i].version);
  }
}

const void* SuiteHandler::Get(Slot slot) {
  const auto i = static_cast<size_t>(slot);
  if (tables_[i] == nullptr) {
    const void* table = nullptr;
    const SPErr err = basic_->AcquireSuite(kSlotNames[i].name, kSlotNames[i].version, &table);
    if (err != kSPNoError) MissingSuiteError();
    if (table == nullptr) {
      // The host counted an acquire but gave nothing usable: hand it back before failing.
      basic_->ReleaseSuite(kSlotNames[i].name, kSlotNames[i].version);
      MissingSuiteError();
    }
    tables_[i] = table;
  }
  return tables_[i];
}

void MissingSuiteError() { throw static_cast<int>(PF_Err_BAD_CALLBACK_PARAM); }

}  // namespace kelvrix
