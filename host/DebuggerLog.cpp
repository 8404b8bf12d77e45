#include "host/DebuggerLog.h"

#if defined(_WIN32)
#define WIN32_LEAN_AND_MEAN
#include <windows.h>

#include <cstring>
#endif

namespace kelvrix::host {

#if defined(_WIN32)
namespace {

// OutputDebugStringA raises this continuable exception, with ExceptionInformation[0] the
// length of the text including its terminator and [1] the text, for a debugger to print.
// A vectored handler sees it first, on the sending thread, before any frame-based handler;
// continuing execution there is what an attached debugger does, so OutputDebugStringA
// returns as usual and the message is neither lost nor delivered a second time.
constexpr DWORD kDebugPrintException = 0x40010006;  // DBG_PRINTEXCEPTION_C

LONG CALLBACK CatchDebugPrint(EXCEPTION_POINTERS* exception) {
  const EXCEPTION_RECORD* record = exception->ExceptionRecord;
  if (record->ExceptionCode != kDebugPrintException || record->NumberParameters < 2) {
    return EXCEPTION_CONTINUE_SEARCH;
  }
  const auto length = static_cast<size_t>(record->ExceptionInformation[0]);
  const auto* text = reinterpret_cast<const char*>(record->ExceptionInformation[1]);
  try {
    // The stated length bounds the read; the text ends at its first terminator within it.
    const std::string message =
        text == nullptr || length == 0 ? std::string() : std::string(text, strnlen(text, length));
    DebuggerLog::Instance().Append(message.c_str());
  } catch (...) {
    // Out of memory: the message is dropped, as a debugger that cannot keep up would.
  }
  return EXCEPTION_CONTINUE_EXECUTION;
}

// Attaches the debugger when the host program starts, before any effect is loaded.
[[maybe_unused]] const DebuggerLog& gAttached = DebuggerLog::Instance();

}  // namespace

DebuggerLog::DebuggerLog() : handler_(AddVectoredExceptionHandler(1, CatchDebugPrint)) {}

DebuggerLog::~DebuggerLog() {
  if (handler_ != nullptr) RemoveVectoredExceptionHandler(handler_);
}
#else
DebuggerLog::DebuggerLog() = default;
DebuggerLog::~DebuggerLog() = default;
#endif

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
