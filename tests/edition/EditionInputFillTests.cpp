// An input made on demand: a memory frame never asks for it, a card frame asks once, before
// the card reads it, and shows the same card as with the input ready from the start.
#include <gtest/gtest.h>

#include <cstring>
#include <vector>

#include "edition/EditionFrame.h"
#include "edition/EditionWorld.h"
#include "tests/support/SimHostOracle.h"

using namespace kelvrix;
using kelvrix::edition::EditionFrame;

namespace {

constexpr A_long kWidth = 96;
constexpr A_long kHeight = 54;

struct LazyInput {
  const std::vector<uint8_t>* picture = nullptr;  // ARGB32, packed
  int fills = 0;
};

PF_Err FillLazily(void* context, PF_EffectWorld* input) {
  auto& lazy = *static_cast<LazyInput*>(context);
  ++lazy.fills;
  std::memcpy(input->data, lazy.picture->data(), lazy.picture->size());
  return PF_Err_NONE;
}

std::vector<uint8_t> Render(EditionFrame frame, const std::vector<uint8_t>& memory) {
  ScopedFrameSearchSetupForTesting shortSearches(kelvrix::testing::TimeLimit(20));
  kelvrix::testing::BlockFeeder feeder;
  if (!memory.empty()) feeder.Queue(memory);
  PF_EffectWorld output{};
  EXPECT_EQ(edition::AllocateWorld(kWidth, kHeight, PF_PixelFormat_ARGB32, true, &output),
            PF_Err_NONE);
  frame.output = &output;
  EXPECT_EQ(edition::RenderEditionFrame(frame).err, PF_Err_NONE);
  const auto* bytes = reinterpret_cast<const uint8_t*>(output.data);
  std::vector<uint8_t> pixels(bytes, bytes + static_cast<size_t>(kWidth) * kHeight * 4);
  edition::FreeWorld(&output);
  return pixels;
}

TEST(EditionInputFill, OnlyTheCardAsksForTheInputOnceAndShowsItAsAReadyInputWould) {
  std::vector<uint8_t> picture(static_cast<size_t>(kWidth) * kHeight * 4);
  for (size_t i = 0; i < picture.size(); ++i)
    picture[i] = static_cast<uint8_t>(i % 4 ? i * 7 : 255);
  std::vector<uint8_t> ready = picture;
  PF_EffectWorld readyWorld{};
  readyWorld.data = reinterpret_cast<PF_PixelPtr>(ready.data());
  readyWorld.width = kWidth;
  readyWorld.height = kHeight;
  readyWorld.rowbytes = kWidth * 4;
  readyWorld.extent_hint = PF_LRect{0, 0, kWidth, kHeight};
  readyWorld.world_flags = PF_WorldFlag_WRITEABLE;

  const struct {
    std::vector<uint8_t> memory;
    int fills;
  } cases[] = {{kelvrix::testing::DistinctMemory(kStyle8), 0}, {{}, 1}};
  for (const auto& c : cases) {
    std::vector<uint8_t> unfilled(picture.size(), 0xCD);
    PF_EffectWorld lazyWorld = readyWorld;
    lazyWorld.data = reinterpret_cast<PF_PixelPtr>(unfilled.data());
    LazyInput lazy{&picture, 0};
    EditionFrame onDemand;
    onDemand.input = &lazyWorld;
    onDemand.inputFill = {FillLazily, &lazy};
    const std::vector<uint8_t> got = Render(onDemand, c.memory);
    EXPECT_EQ(lazy.fills, c.fills);
    if (c.fills == 1) {
      EditionFrame readyFrame;
      readyFrame.input = &readyWorld;
      EXPECT_TRUE(got == Render(readyFrame, {}));
    }
  }
}

}  // namespace
