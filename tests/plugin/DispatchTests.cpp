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

using kelvrix::host::DebuggerLog;

namespace {

struct Dispatch : ::testing::Test {
  void SetUp() override { DebuggerLog::Instance().Clear(); }

  // Runs `handler` as EffectMain runs a routed handler.
  PF_Err Run(kelvrix::CommandHandler handler) {
    return kelvrix::RunCommand(handler, &records.in_data, &records.out_data, records.params.data(),
                               nullptr, nullptr);
  }

  static std::vector<std::string> MessageTexts() {
    std::vector<std::string> texts;
    for (const auto& m : DebuggerLog::Instance().Messages()) texts.push_back(m.text);
    return texts;
  }

  kelvrix::host::SimHost host{kelvrix::testing::LinkedPlugin()};
  kelvrix::host::SimHost::CommandRecords records = host.Prepare();
};

template <typename E>
PF_Err Throw(PF_InData*, PF_OutData*, PF_ParamDef**, PF_LayerDef*, void*) {
  throw E();
}

}  // namespace

TEST_F(Dispatch, UnroutedCommandsDoNothingAndSendOneEmptyMessageEach) {
  for (PF_Cmd cmd : {3, 11, -1, 34}) {
    std::memset(&records.out_data, 0xA5, sizeof records.out_data);
    const PF_OutData before = records.out_data;
    EXPECT_EQ(host.Send(cmd, records), PF_Err_NONE) << cmd;
    EXPECT_EQ(std::memcmp(&before, &records.out_data, sizeof before), 0) << cmd;
  }
  EXPECT_EQ(MessageTexts(), std::vector<std::string>(4, ""));
}

// What a handler writes to std::cout becomes its one message, also when it throws, and
// std::cout is given back to whoever had it. No exception of any type leaves the entry point.
TEST_F(Dispatch, AThrownIntegerBecomesTheResultAndCoutIsRestored) {
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
  EXPECT_TRUE(records.out_data.out_flags & PF_OutFlag_DISPLAY_ERROR_MESSAGE);
  EXPECT_EQ(earlier.str(), "before|after");
  EXPECT_EQ(MessageTexts(), std::vector<std::string>{"size 150\ndone"});
  EXPECT_EQ(Run(Throw<std::bad_alloc>), PF_Err_OUT_OF_MEMORY);
  EXPECT_EQ(Run(Throw<std::exception>), PF_Err_INTERNAL_STRUCT_DAMAGED);
  EXPECT_EQ(Run(Throw<long>), PF_Err_INTERNAL_STRUCT_DAMAGED);  // not the integer handlers throw
  EXPECT_EQ(MessageTexts().size(), 4u);
}

// Missing records, or a missing basic suite, are refused, not dereferenced.
TEST_F(Dispatch, RoutedCommandsWithoutRecordsAreRefused) {
  EXPECT_EQ(EffectMain(PF_Cmd_ABOUT, nullptr, nullptr, nullptr, nullptr, nullptr),
            PF_Err_BAD_CALLBACK_PARAM);
  EXPECT_EQ(EffectMain(PF_Cmd_GLOBAL_SETUP, &records.in_data, nullptr, nullptr, nullptr, nullptr),
            PF_Err_BAD_CALLBACK_PARAM);
  EXPECT_EQ(EffectMain(PF_Cmd_GLOBAL_SETDOWN, nullptr, nullptr, nullptr, nullptr, nullptr), 0);
  records.in_data.pica_basicP = nullptr;
  EXPECT_EQ(host.Send(PF_Cmd_GLOBAL_SETUP, records), PF_Err_BAD_CALLBACK_PARAM);
  EXPECT_EQ(MessageTexts().size(), 4u);
}
