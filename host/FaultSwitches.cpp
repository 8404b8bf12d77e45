#include "host/FaultSwitches.h"

namespace kelvrix::host {

void FaultSwitches::Fail(const std::string& function, PF_Err code, int afterCalls, int times) {
  std::lock_guard<std::mutex> lock(mutex_);
  switches_[function] = Switch{code, calls_[function] + afterCalls, times};
}

void FaultSwitches::Clear(const std::string& function) {
  std::lock_guard<std::mutex> lock(mutex_);
  switches_.erase(function);
}

void FaultSwitches::ClearAll() {
  std::lock_guard<std::mutex> lock(mutex_);
  switches_.clear();
}

PF_Err FaultSwitches::Check(const std::string& function) {
  std::lock_guard<std::mutex> lock(mutex_);
  const int call = ++calls_[function];
  auto it = switches_.find(function);
  if (it == switches_.end() || call <= it->second.afterCalls) return PF_Err_NONE;
  Switch& armed = it->second;
  if (armed.times == 0) return PF_Err_NONE;
  if (armed.times > 0) --armed.times;
  return armed.code;
}

int FaultSwitches::Calls(const std::string& function) const {
  std::lock_guard<std::mutex> lock(mutex_);
  auto it = calls_.find(function);
  return it == calls_.end() ? 0 : it->second;
}

}  // namespace kelvrix::host
