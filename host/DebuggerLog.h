// The debugger the simulated host attaches: every message an effect sends through
// OutputDebugStringA, in arrival order, with the thread that sent it.
#pragma once

#include <mutex>
#include <string>
#include <thread>
#include <vector>

namespace kelvrix::host {

struct DebuggerMessage {
  std::string text;
  std::thread::id thread;
};

class DebuggerLog {
 public:
  static DebuggerLog& Instance();

  void Append(const char* text);
  std::vector<DebuggerMessage> Messages() const;
  size_t Count() const;
  void Clear();

 private:
  mutable std::mutex mutex_;
  std::vector<DebuggerMessage> messages_;
};

}  // namespace kelvrix::host
