// MLT updates one frei0r instance from several threads at once (frei0r says it may not, MLT
// does): every frame must still be the frame one thread alone gets, memory or card.
#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <thread>
#include <vector>

#include "frei0r/Frei0rInstance.h"
#include "render/BlockSearch.h"
#include "render/NativeFill.h"

using kelvrix::BlockSearchSetup;
using kelvrix::BlockSource;
using kelvrix::FrameSearchSetup;
using kelvrix::ScopedFrameSearchSetupForTesting;
using kelvrix::ScopedNoiseSeedForTesting;
using kelvrix::frei0r::Frei0rInstance;

namespace {

constexpr unsigned kWidth = 96;
constexpr unsigned kHeight = 56;

// Blocks of one pattern (a memory frame) or all zero (always refused: the card); neither keeps
// state, so searches on several threads at once get the same blocks.
void* Patterned(size_t bytes) {
  auto* block = static_cast<uint8_t*>(std::malloc(bytes == 0 ? 1 : bytes));
  for (size_t i = 0; block != nullptr && i < bytes; ++i)
    block[i] = static_cast<uint8_t>(i * 37 + 11);
  return block;
}
void* Blank(size_t bytes) { return std::calloc(bytes == 0 ? 1 : bytes, 1); }

std::vector<uint32_t> Frame(Frei0rInstance& instance, const std::vector<uint32_t>& input) {
  std::vector<uint32_t> out(kWidth * kHeight, 0xCDCDCDCDu);
  EXPECT_EQ(instance.Update(input.data(), out.data()).err, PF_Err_NONE);
  return out;
}

TEST(Frei0rConcurrency, OneInstanceUpdatedFromFourThreadsGivesEachTheWholeFrame) {
  std::vector<uint32_t> input(kWidth * kHeight);
  for (size_t i = 0; i < input.size(); ++i)
    input[i] = 0xFF000000u | static_cast<uint32_t>(i * 2654435761u);
  const ScopedNoiseSeedForTesting sameNoise(0x5EED);
  for (auto allocate : {Patterned, Blank}) {
    const ScopedFrameSearchSetupForTesting blocks(
        BlockSearchSetup{BlockSource{allocate, std::free}, 20, FrameSearchSetup().budget});
    for (const char* style : {"zesty", "cloudy", "tripping"}) {
      auto instance = Frei0rInstance::Create(kWidth, kHeight);
      ASSERT_TRUE(instance);
      instance->SetSizeParam(0.04);
      instance->SetStyle(style);
      const std::vector<uint32_t> reference = Frame(*instance, input);
      std::vector<std::thread> threads;
      std::vector<int> wrong(4, 0);
      for (int t = 0; t < 4; ++t) {
        threads.emplace_back([&, t] {
          for (int frame = 0; frame < 5; ++frame) {
            instance->SetSizeParam(0.04);  // MLT sets every parameter on every frame
            wrong[static_cast<size_t>(t)] += Frame(*instance, input) != reference;
          }
        });
      }
      for (auto& thread : threads) thread.join();
      for (int t = 0; t < 4; ++t) EXPECT_EQ(wrong[static_cast<size_t>(t)], 0) << style << " " << t;
    }
  }
}

}  // namespace
