// EffectMain called on many host threads at once: every call's own text reaches the
// debugger as one intact message, on the calling thread, and std::cout ends as it began.
#include <gtest/gtest.h>

#include <iostream>
#include <map>
#include <string>
#include <thread>
#include <vector>

#include "host/DebuggerLog.h"
#include "plugin/Dispatch.h"
#include "tests/support/LinkedPlugin.h"

using kelvrix::host::DebuggerLog;
using kelvrix::host::SimHost;

namespace {

// Writes its call's label in pieces, so interleaving between threads would show.
PF_Err WriteLabel(PF_InData*, PF_OutData*, PF_ParamDef**, PF_LayerDef*, void* extra) {
  const std::string& text = *static_cast<std::string*>(extra);
  for (size_t i = 0; i < text.size(); i += 3) std::cout << text.substr(i, 3);
  return PF_Err_NONE;
}

std::string Label(int thread, int call) {
  return "thread " + std::to_string(thread) + " call " + std::to_string(call) + " " +
         std::string(static_cast<size_t>(call % 37), static_cast<char>('a' + thread));
}

}  // namespace

TEST(Concurrency, EachCallsTextArrivesOnceIntactOnItsOwnThread) {
  constexpr int kThreads = 8, kCalls = 300;
  SimHost host(kelvrix::testing::LinkedPlugin());
  DebuggerLog::Instance().Clear();
  std::streambuf* original = std::cout.rdbuf();
  std::vector<std::thread::id> ids(kThreads);
  std::vector<std::thread> threads;
  for (int t = 0; t < kThreads; ++t) {
    threads.emplace_back([&, t] {
      ids[static_cast<size_t>(t)] = std::this_thread::get_id();
      SimHost::CommandRecords records = host.Prepare();
      for (int c = 0; c < kCalls; ++c) {
        std::string label = Label(t, c);  // About, in between, writes nothing to std::cout
        EXPECT_EQ(kelvrix::RunCommand(WriteLabel, &records.in_data, &records.out_data,
                                      records.params.data(), nullptr, &label),
                  PF_Err_NONE);
        EXPECT_EQ(host.Send(PF_Cmd_ABOUT, records), PF_Err_NONE);
      }
    });
  }
  for (auto& thread : threads) thread.join();
  EXPECT_EQ(std::cout.rdbuf(), original);
  std::map<std::string, std::thread::id> expected;
  for (int t = 0; t < kThreads; ++t) {
    for (int c = 0; c < kCalls; ++c) expected[Label(t, c)] = ids[static_cast<size_t>(t)];
  }
  const auto messages = DebuggerLog::Instance().Messages();
  ASSERT_EQ(messages.size(), static_cast<size_t>(2 * kThreads * kCalls));
  for (const auto& message : messages) {
    if (message.text.empty()) continue;  // About's
    auto it = expected.find(message.text);
    ASSERT_NE(it, expected.end()) << "unexpected or repeated message: " << message.text;
    EXPECT_EQ(it->second, message.thread) << message.text;
    expected.erase(it);
  }
  EXPECT_TRUE(expected.empty());
}
