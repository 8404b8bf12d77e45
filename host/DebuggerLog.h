// The debugger the simulated host attaches: every message an effect sends through
// OutputDebugStringA, in arrival order, with the thread that sent it. On Windows the log
// catches the real OutputDebugStringA in-process, from the moment the host program starts.
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

  DebuggerLog(const DebuggerLog&) = delete;
  DebuggerLog& operator=(const DebuggerLog&) = delete;

 private:
  DebuggerLog();
  ~DebuggerLog();

  mutable std::mutex mutex_;
  std::vector<DebuggerMessage> messages_;
#if defined(_WIN32)
  void* handler_ = nullptr;  // the vectored exception handler that catches the messages
#endif
};

}  // namespace kelvrix::host
