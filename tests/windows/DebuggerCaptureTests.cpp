// The host's debugger on Windows: what any code in the process sends through the real
// OutputDebugStringA is caught in-process, whole, once, and on the thread that sent it.
#define WIN32_LEAN_AND_MEAN
#include <gtest/gtest.h>
#include <windows.h>

#include <map>
#include <string>
#include <thread>
#include <vector>

#include "host/DebuggerLog.h"

using kelvrix::host::DebuggerLog;

namespace {

// Distinct per thread and call, with lengths from a few bytes to past a page, and one empty.
std::string Text(int thread, int call) {
  if (call == 0 && thread == 0) return "";
  return "thread " + std::to_string(thread) + " call " + std::to_string(call) + " " +
         std::string(static_cast<size_t>((call * 97) % 5000), static_cast<char>('a' + thread));
}

}  // namespace

TEST(DebuggerCapture, MessagesFromEightThreadsAtOnceArriveWholeOnceOnTheirThread) {
  constexpr int kThreads = 8, kCalls = 200;
  DebuggerLog::Instance().Clear();
  std::vector<std::thread::id> ids(kThreads);
  std::vector<std::thread> threads;
  for (int t = 0; t < kThreads; ++t) {
    threads.emplace_back([&ids, t] {
      ids[static_cast<size_t>(t)] = std::this_thread::get_id();
      for (int c = 0; c < kCalls; ++c) OutputDebugStringA(Text(t, c).c_str());
    });
  }
  for (auto& thread : threads) thread.join();

  std::map<std::string, std::thread::id> expected;
  for (int t = 0; t < kThreads; ++t) {
    for (int c = 0; c < kCalls; ++c) expected[Text(t, c)] = ids[static_cast<size_t>(t)];
  }
  const auto messages = DebuggerLog::Instance().Messages();
  ASSERT_EQ(messages.size(), static_cast<size_t>(kThreads * kCalls));
  for (const auto& message : messages) {
    const auto it = expected.find(message.text);
    ASSERT_NE(it, expected.end()) << "unexpected, repeated or torn message of "
                                  << message.text.size()
                                  << " bytes: " << message.text.substr(0, 40);
    EXPECT_EQ(message.thread, it->second) << message.text.substr(0, 40);
    expected.erase(it);
  }
}
