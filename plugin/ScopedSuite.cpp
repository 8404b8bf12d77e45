#include "plugin/ScopedSuite.h"

#include <cstdio>

namespace kelvrix {
namespace {

constexpr char kMissingSuiteMessage[] = "Not able to acquire AEFX Suite.";

[[noreturn]] void ReportMissingSuite(const PF_InData* in_data, PF_OutData* out_data) {
  if (out_data != nullptr) {
    out_data->out_flags |= PF_OutFlag_DISPLAY_ERROR_MESSAGE;
    if (in_data->utils != nullptr && in_data->utils->ansi.sprintf != nullptr) {
      PF_SPRINTF(out_data->return_msg, kMissingSuiteMessage);
    } else {
      std::snprintf(out_data->return_msg, sizeof out_data->return_msg, "%s", kMissingSuiteMessage);
    }
  }
  throw static_cast<int>(A_Err_MISSING_SUITE);
}

}  // namespace

const void* AcquireScopedSuite(const PF_InData* in_data, const char* name, int32 version,
                               PF_OutData* out_data) {
  const SPBasicSuite* basic = in_data->pica_basicP;
  if (basic == nullptr) ReportMissingSuite(in_data, out_data);
  const void* table = nullptr;
  if (basic->AcquireSuite(name, version, &table) != kSPNoError) {
    ReportMissingSuite(in_data, out_data);
  }
  if (table == nullptr) {
    // Counted as acquired by the host, but unusable: give it back and fail as if missing.
    basic->ReleaseSuite(name, version);
    ReportMissingSuite(in_data, out_data);
  }
  return table;
}

}  // namespace kelvrix
