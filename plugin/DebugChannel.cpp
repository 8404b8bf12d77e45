#include "plugin/DebugChannel.h"

#if defined(_WIN32)
#define WIN32_LEAN_AND_MEAN
#include <windows.h>
#else
#include <dlfcn.h>
#endif

namespace kelvrix {

#if defined(_WIN32)

void SendToDebugger(const char* message) noexcept { OutputDebugStringA(message); }

#else

namespace {

using DebuggerSink = void (*)(const char*);

DebuggerSink FindSink() {
  // POSIX lets dlsym's object pointer be converted to a function pointer.
  void* symbol = dlsym(RTLD_DEFAULT, "OutputDebugStringA");
  DebuggerSink sink = nullptr;
  static_assert(sizeof symbol == sizeof sink);
  __builtin_memcpy(&sink, &symbol, sizeof sink);
  return sink;
}

}  // namespace

void SendToDebugger(const char* message) noexcept {
  static const DebuggerSink sink = FindSink();
  if (sink != nullptr) sink(message);
}

#endif

}  // namespace kelvrix
