// EffectMain's routing, result translation and the one debugger message per call.
#include <gtest/gtest.h>

#include <cstring>
#include <exception>
#include <iostream>
#include <new>
#include <sstream>

#include "host/DebuggerLog.h"
#include "plugin/Dispatch.h"
#include "tests/support/LinkedPlugin.h"

using kelvrix::RunCommand;
using kelvrix::host::DebuggerLog;
using kelvrix::host::SimHost;
using kelvrix::testing::LinkedPlugin;

namespace {

class Dispatch : public ::testing::Test {
 protected:
  void SetUp() override { DebuggerLog::Instance().Clear(); }

  // Runs `handler` as EffectMain runs a routed handler.
  PF_Err Run(kelvrix::CommandHandler handler) {
    return RunCommand(handler, &records_.in_data, &records_.out_data, records_.params.data(),
                      nullptr, nullptr);
  }

  SimHost host_{LinkedPlugin()};
  SimHost::CommandRecords records_ = host_.Prepare();
};

std::vector<std::string> MessageTexts() {
  std::vector<std::string> texts;
  for (const auto& m : DebuggerLog::Instance().Messages()) texts.push_back(m.text);
  return texts;
}

}  // namespace

TEST_F(Dispatch, UnroutedCommandsDoNothingAndSendOneEmptyMessageEach) {
  for (PF_Cmd cmd : {3, 11, -1, 34}) {
    SCOPED_TRACE(cmd);
    DebuggerLog::Instance().Clear();
    SimHost::CommandRecords records = host_.Prepare();
    std::memset(&records.out_data, 0xA5, sizeof records.out_data);
    const PF_OutData before = records.out_data;
    EXPECT_EQ(host_.Send(cmd, records), PF_Err_NONE);
    EXPECT_EQ(std::memcmp(&before, &records.out_data, sizeof before), 0);
    EXPECT_EQ(MessageTexts(), std::vector<std::string>{""});
  }
}

template <typename E>
PF_Err Throw(PF_InData*, PF_OutData*, PF_ParamDef**, PF_LayerDef*, void*) {
  throw E();
}

// What a handler writes to std::cout becomes its one message, whether it returns or throws,
// and std::cout is given back to whoever had it.
TEST_F(Dispatch, WhatAHandlerReturnsOrThrowsBecomesTheResultAndCoutIsRestored) {
  std::stringbuf earlier;
  std::streambuf* original = std::cout.rdbuf(&earlier);
  std::cout << "before|";
  const PF_Err err =
      Run([](PF_InData*, PF_OutData* out, PF_ParamDef**, PF_LayerDef*, void*) -> PF_Err {
        out->out_flags |= PF_OutFlag_DISPLAY_ERROR_MESSAGE;
        std::cout << "size " << 150 << '\n';
        std::cout.write("done", 4);
        throw static_cast<int>(PF_Err_BAD_CALLBACK_PARAM);
      });
  std::cout << "after";
  EXPECT_EQ(std::cout.rdbuf(), &earlier);
  std::cout.rdbuf(original);
  EXPECT_EQ(err, PF_Err_BAD_CALLBACK_PARAM);
  EXPECT_TRUE(records_.out_data.out_flags & PF_OutFlag_DISPLAY_ERROR_MESSAGE);
  EXPECT_EQ(earlier.str(), "before|after");
  EXPECT_EQ(MessageTexts(), std::vector<std::string>{"size 150\ndone"});
  EXPECT_EQ(Run([](PF_InData*, PF_OutData*, PF_ParamDef**, PF_LayerDef*, void*) -> PF_Err {
              std::cout << "returned";
              return PF_Interrupt_CANCEL;
            }),
            PF_Interrupt_CANCEL);
  EXPECT_EQ(MessageTexts().back(), "returned");
  // no exception of any type leaves the entry point
  EXPECT_EQ(Run(Throw<std::bad_alloc>), PF_Err_OUT_OF_MEMORY);
  EXPECT_EQ(Run(Throw<std::exception>), PF_Err_INTERNAL_STRUCT_DAMAGED);
  EXPECT_EQ(Run(Throw<long>), PF_Err_INTERNAL_STRUCT_DAMAGED);  // not the integer handlers throw
  EXPECT_EQ(MessageTexts().size(), 5u);
}

// Missing records, or a missing basic suite, are refused, not dereferenced.
TEST_F(Dispatch, RoutedCommandsWithoutRecordsAreRefused) {
  EXPECT_EQ(EffectMain(PF_Cmd_ABOUT, nullptr, nullptr, nullptr, nullptr, nullptr),
            PF_Err_BAD_CALLBACK_PARAM);
  EXPECT_EQ(EffectMain(PF_Cmd_GLOBAL_SETUP, &records_.in_data, nullptr, nullptr, nullptr, nullptr),
            PF_Err_BAD_CALLBACK_PARAM);
  records_.in_data.pica_basicP = nullptr;
  EXPECT_EQ(host_.Send(PF_Cmd_GLOBAL_SETUP, records_), PF_Err_BAD_CALLBACK_PARAM);
  EXPECT_EQ(MessageTexts().size(), 3u);
}
