// A frei0r instance against the After Effects edition in the simulated host: for the same
// block contents and noise its RGBA frame is the 8 bpc project's frame to the byte (memory and
// card alike), and its parameters steer the frame as the slider and boxes do.
#include <gtest/gtest.h>

#include <vector>

#include "edition/PixelOrder.h"
#include "frei0r/Frei0rInstance.h"
#include "tests/support/SimHostOracle.h"

using namespace kelvrix;
using kelvrix::frei0r::Frei0rInstance;
using kelvrix::testing::BlockFeeder;
using kelvrix::testing::DistinctMemory;
using kelvrix::testing::RenderInSimHost;

namespace {

constexpr unsigned kWidth = 160;
constexpr unsigned kHeight = 88;  // frei0r hosts favour multiples of 8

std::vector<uint8_t> ToRgba(const std::vector<uint8_t>& argb) {
  std::vector<uint8_t> rgba(argb.size());
  edition::ArgbToRgba(argb.data(), rgba.data(), argb.size() / 4);
  return rgba;
}

struct Update {
  edition::EditionResult result;
  std::vector<uint8_t> rgba;
};

Update UpdateWith(Frei0rInstance& instance, const std::vector<uint8_t>& memory,
                  const std::vector<uint8_t>* rgbaInput) {
  ScopedFrameSearchSetupForTesting shortSearches(kelvrix::testing::TimeLimit(20));
  BlockFeeder feeder;
  if (!memory.empty()) feeder.Queue(memory);
  std::vector<uint32_t> out(kWidth * kHeight, 0xCDCDCDCDu);
  Update u;
  u.result = instance.Update(
      rgbaInput ? reinterpret_cast<const uint32_t*>(rgbaInput->data()) : nullptr, out.data());
  const auto* bytes = reinterpret_cast<const uint8_t*>(out.data());
  u.rgba.assign(bytes, bytes + out.size() * sizeof(uint32_t));
  return u;
}

TEST(Frei0rInstance, EachStyleGivesTheEightBitProjectsMemoryFrame) {
  const struct {
    const char* style;
    int box;
    double param;
  } cases[] = {{"zesty", kStyle8, 0.15},
               {"cloudy", kStyle16, 0.15},
               {"tripping", kStyleFloat, 0.3},
               {"8", kStyle8, 0.042}};
  const kelvrix::testing::SameNoise sameNoise;
  for (const auto& c : cases) {
    const std::vector<uint8_t> memory = DistinctMemory(c.box);
    const auto oracle =
        RenderInSimHost(PF_PixelFormat_ARGB32, kWidth, kHeight, c.box, c.param * 1000, memory);
    ASSERT_EQ(oracle.err, PF_Err_NONE);
    auto instance = Frei0rInstance::Create(kWidth, kHeight);
    ASSERT_TRUE(instance);
    instance->SetSizeParam(c.param);
    instance->SetStyle(c.style);
    const std::vector<uint8_t> input = ToRgba(oracle.input.pixels);
    const Update u = UpdateWith(*instance, memory, &input);
    EXPECT_EQ(u.result.err, PF_Err_NONE) << c.style;
    EXPECT_FALSE(u.result.card) << c.style;
    EXPECT_TRUE(u.rgba == ToRgba(oracle.output.pixels)) << c.style;
  }
}

TEST(Frei0rInstance, TheCardIsTheEightBitProjectsCardToTheByte) {
  const auto oracle = RenderInSimHost(PF_PixelFormat_ARGB32, kWidth, kHeight, kStyle8, 150, {});
  ASSERT_EQ(oracle.err, PF_Err_NONE);
  auto instance = Frei0rInstance::Create(kWidth, kHeight);
  ASSERT_TRUE(instance);
  const std::vector<uint8_t> input = ToRgba(oracle.input.pixels);
  const Update u = UpdateWith(*instance, {}, &input);
  EXPECT_EQ(u.result.err, PF_Err_NONE);
  EXPECT_TRUE(u.result.card);
  EXPECT_TRUE(u.rgba == ToRgba(oracle.output.pixels));
  // Without an input frame the card has nothing behind its text.
  const Update bare = UpdateWith(*instance, {}, nullptr);
  EXPECT_TRUE(bare.result.card);
  EXPECT_EQ(bare.rgba[3], 0);  // a corner pixel, far from the text: transparent
  // A host that hands over one buffer for both frames gets the same card.
  std::vector<uint8_t> shared = input;
  ScopedFrameSearchSetupForTesting shortSearches(kelvrix::testing::TimeLimit(20));
  BlockFeeder feeder;
  auto* both = reinterpret_cast<uint32_t*>(shared.data());
  EXPECT_TRUE(instance->Update(both, both).card);
  EXPECT_TRUE(shared == ToRgba(oracle.output.pixels));
}

// An unknown style string keeps the style it had and says so on standard error, one line for
// each distinct string: melt sets every parameter on every frame.
TEST(Frei0rInstance, AnUnknownStyleKeepsThePreviousOneAndSaysWhatIsAcceptedOnce) {
  auto instance = Frei0rInstance::Create(kWidth, kHeight);
  ASSERT_TRUE(instance);
  EXPECT_STREQ(instance->styleName(), "zesty");
  instance->SetStyle("cloudy");
  ::testing::internal::CaptureStderr();
  for (int frame = 0; frame < 25; ++frame) instance->SetStyle("rainbow");
  instance->SetStyle("plaid");
  instance->SetStyle("rainbow");
  const std::string said = ::testing::internal::GetCapturedStderr();
  EXPECT_STREQ(instance->styleName(), "cloudy");
  EXPECT_EQ(std::count(said.begin(), said.end(), '\n'), 2);
  EXPECT_NE(said.find("rainbow"), std::string::npos);
  EXPECT_NE(said.find("plaid"), std::string::npos);
  EXPECT_NE(said.find("zesty, cloudy, tripping, 8, 16, 32"), std::string::npos);
  // Another instance has its own say.
  auto other = Frei0rInstance::Create(kWidth, kHeight);
  ASSERT_TRUE(other);
  ::testing::internal::CaptureStderr();
  other->SetStyle("rainbow");
  EXPECT_NE(::testing::internal::GetCapturedStderr().find("rainbow"), std::string::npos);
}

TEST(Frei0rInstance, SizesNoWorldCanHaveGiveNoInstance) {
  const struct {
    unsigned width, height;
    bool made;
  } cases[] = {{0, 8, false},
               {8, 0, false},
               {30001, 8, false},
               {8, 30001, false},
               {4000000000u, 4000000000u, false},
               {8, 8, true},
               {30000, 1, true}};
  for (const auto& c : cases) {
    ::testing::internal::CaptureStderr();
    EXPECT_EQ(Frei0rInstance::Create(c.width, c.height) != nullptr, c.made) << c.width;
    // A refusal names the limit, or a host like melt renders transparent frames without a word.
    const std::string said = ::testing::internal::GetCapturedStderr();
    EXPECT_EQ(said.find("30000") != std::string::npos, !c.made) << c.width << ": " << said;
  }
}

}  // namespace
