// Holds one host suite for one scope. A suite the host cannot give is reported to the user
// ("Not able to acquire AEFX Suite.") and ends the command with A_Err_MISSING_SUITE (13).
#pragma once

#include "hostapi/HostApi.h"

namespace kelvrix {

// Acquires name/version from in_data's basic suite or throws 13 after writing the message
// into out_data (when given). A success without a table is treated as a failure.
const void* AcquireScopedSuite(const PF_InData* in_data, const char* name, int32 version,
                               PF_OutData* out_data);

template <typename SuiteType>
class ScopedSuite {
 public:
  ScopedSuite(const PF_InData* in_data, const char* name, int32 version,
              PF_OutData* out_data = nullptr)
      : table_(static_cast<const SuiteType*>(AcquireScopedSuite(in_data, name, version, out_data))),
        basic_(in_data->pica_basicP),
        name_(name),
        version_(version) {}
  ~ScopedSuite() {
    if (table_ != nullptr) basic_->ReleaseSuite(name_, version_);
  }
  ScopedSuite(const ScopedSuite&) = delete;
  ScopedSuite& operator=(const ScopedSuite&) = delete;

  const SuiteType* operator->() const { return table_; }
  const SuiteType* get() const { return table_; }

 private:
  const SuiteType* table_;
  const SPBasicSuite* basic_;
  const char* name_;
  int32 version_;
};

}  // namespace kelvrix
