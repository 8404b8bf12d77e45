// Fault injection: any host function, by name, can be made to fail, from its first call or
// from a later one, and every call is counted.
#pragma once

#include <map>
#include <mutex>
#include <string>

#include "hostapi/HostApi.h"

namespace kelvrix::host {

class FaultSwitches {
 public:
  // Calls after the first `afterCalls` return `code` until Clear. `times` limits how many
  // calls fail (negative: all of them).
  void Fail(const std::string& function, PF_Err code, int afterCalls = 0, int times = -1);
  void Clear(const std::string& function);
  void ClearAll();

  // Counts one call of `function` and returns the injected error, or PF_Err_NONE.
  PF_Err Check(const std::string& function);
  int Calls(const std::string& function) const;

 private:
  struct Switch {
    PF_Err code = PF_Err_NONE;
    int afterCalls = 0;
    int times = -1;
  };
  mutable std::mutex mutex_;
  std::map<std::string, Switch> switches_;
  std::map<std::string, int> calls_;
};

}  // namespace kelvrix::host
