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
using kelvrix::testing::LinkedPlugin;

namespace {

constexpr int kThreads = 8;
constexpr int kCallsPerThread = 400;

struct CallLabel {
  std::string text;
};

// Writes its call's label in pieces, so interleaving between threads would show.
PF_Err WriteLabel(PF_InData*, PF_OutData*, PF_ParamDef**, PF_LayerDef*, void* extra) {
  const std::string& text = static_cast<CallLabel*>(extra)->text;
  for (size_t i = 0; i < text.size(); i += 3) {
    std::cout.write(text.data() + i,
                    static_cast<std::streamsize>(std::min<size_t>(3, text.size() - i)));
  }
  return PF_Err_NONE;
}

std::string Label(int thread, int call) {
  return "thread " + std::to_string(thread) + " call " + std::to_string(call) + " " +
         std::string(static_cast<size_t>(call % 37), static_cast<char>('a' + thread));
}

}  // namespace

TEST(Concurrency, EachCallsTextArrivesOnceIntactOnItsOwnThread) {
  SimHost host(LinkedPlugin());
  DebuggerLog::Instance().Clear();
  std::streambuf* original = std::cout.rdbuf();
  std::map<std::string, std::thread::id> expected;
  std::mutex expectedMutex;

  std::vector<std::thread> threads;
  for (int t = 0; t < kThreads; ++t) {
    threads.emplace_back([&, t] {
      SimHost::CommandRecords records = host.Prepare();
      for (int c = 0; c < kCallsPerThread; ++c) {
        CallLabel label{Label(t, c)};
        {
          std::lock_guard<std::mutex> lock(expectedMutex);
          expected[label.text] = std::this_thread::get_id();
        }
        const PF_Err err = kelvrix::RunCommand(WriteLabel, &records.in_data, &records.out_data,
                                               records.params.data(), nullptr, &label);
        EXPECT_EQ(err, PF_Err_NONE);
      }
    });
  }
  for (auto& thread : threads) thread.join();

  EXPECT_EQ(std::cout.rdbuf(), original);
  const auto messages = DebuggerLog::Instance().Messages();
  ASSERT_EQ(messages.size(), static_cast<size_t>(kThreads * kCallsPerThread));
  std::map<std::string, int> seen;
  for (const auto& message : messages) {
    auto it = expected.find(message.text);
    ASSERT_NE(it, expected.end()) << "unexpected message: " << message.text;
    EXPECT_EQ(it->second, message.thread) << message.text;
    EXPECT_EQ(++seen[message.text], 1) << message.text;
  }
}

TEST(Concurrency, AboutFromEightThreadsGivesEveryCallerTheWholeText) {
  SimHost host(LinkedPlugin());
  DebuggerLog::Instance().Clear();
  std::vector<std::thread> threads;
  for (int t = 0; t < kThreads; ++t) {
    threads.emplace_back([&] {
      for (int c = 0; c < 100; ++c) {
        SimHost::CommandRecords records = host.Prepare();
        EXPECT_EQ(host.Send(PF_Cmd_ABOUT, records), PF_Err_NONE);
        EXPECT_STREQ(records.out_data.return_msg, "kelvrix v1.1.0\r\nYou matter.");
      }
    });
  }
  for (auto& thread : threads) thread.join();
  const auto messages = DebuggerLog::Instance().Messages();
  EXPECT_EQ(messages.size(), static_cast<size_t>(kThreads * 100));
  for (const auto& message : messages) EXPECT_EQ(message.text, "");
}
