#include "host/DebuggerLog.h"

namespace kelvrix::host {

DebuggerLog& DebuggerLog::Instance() {
  static DebuggerLog log;
  return log;
}

void DebuggerLog::Append(const char* text) {
  DebuggerMessage message{text == nullptr ? std::string() : std::string(text),
                          std::this_thread::get_id()};
  std::lock_guard<std::mutex> lock(mutex_);
  messages_.push_back(std::move(message));
}

std::vector<DebuggerMessage> DebuggerLog::Messages() const {
  std::lock_guard<std::mutex> lock(mutex_);
  return messages_;
}

size_t DebuggerLog::Count() const {
  std::lock_guard<std::mutex> lock(mutex_);
  return messages_.size();
}

void DebuggerLog::Clear() {
  std::lock_guard<std::mutex> lock(mutex_);
  messages_.clear();
}

}  // namespace kelvrix::host

#if !defined(_WIN32)
// Outside Windows the host process itself provides the debugger entry point, found by the
// plug-in at run time; the executable must export it (CMake: ENABLE_EXPORTS).
extern "C" __attribute__((visibility("default"))) void OutputDebugStringA(const char* text) {
  kelvrix::host::DebuggerLog::Instance().Append(text);
}
#endif
