// Smart pre-render through EffectMain in the simulated host.
#include <gtest/gtest.h>

#include <cstring>
#include <limits>

#include "render/RenderPlan.h"
#include "tests/support/LinkedPlugin.h"

using kelvrix::RenderPlan;
using kelvrix::host::Frame;
using kelvrix::host::SimHost;
using kelvrix::testing::LinkedPlugin;

namespace {

class PreRender : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_EQ(host_.GlobalSetup(), PF_Err_NONE);
    ASSERT_EQ(host_.ParamsSetup(), PF_Err_NONE);
  }
  void TearDown() override { kelvrix::SetPlanAllocatorForTesting(nullptr); }

  void SetSize(double size) { host_.Params()[1].u.fs_d.value = size; }
  void SetBoxes(int a, int b, int c) {
    host_.Params()[3].u.bd.value = a;
    host_.Params()[4].u.bd.value = b;
    host_.Params()[5].u.bd.value = c;
  }
  const RenderPlan* Plan(const Frame& frame) {
    return static_cast<const RenderPlan*>(frame.preRender.pre_render_data);
  }
  // The plan's size and style after pre-rendering a fresh frame.
  std::pair<int, int> SizeAndStyle() {
    auto frame = host_.NewFrame();
    EXPECT_EQ(host_.PreRender(*frame), PF_Err_NONE);
    const RenderPlan* plan = Plan(*frame);
    return plan == nullptr ? std::make_pair(-1, -1) : std::make_pair(plan->size, int{plan->style});
  }
  void ExpectAllGivenBack() {
    EXPECT_TRUE(host_.Suites().Unbalanced().empty());
    EXPECT_EQ(host_.LiveEffectRefs(), 0u);
    EXPECT_EQ(host_.LiveParamCheckouts(), 0);
  }

  SimHost host_{LinkedPlugin()};
};

}  // namespace

TEST_F(PreRender, DividesTheRoundedSizeByStyle) {
  EXPECT_EQ(SizeAndStyle(), std::make_pair(150, 1));
  SetBoxes(0, 1, 0);
  EXPECT_EQ(SizeAndStyle(), std::make_pair(75, 2));
  SetBoxes(0, 0, 1);
  EXPECT_EQ(SizeAndStyle(), std::make_pair(37, 3));
  SetSize(3.0);
  EXPECT_EQ(SizeAndStyle(), std::make_pair(0, 3));
  SetBoxes(0, 1, 0);
  SetSize(1.0);
  EXPECT_EQ(SizeAndStyle(), std::make_pair(0, 2));
  SetBoxes(1, 0, 0);
  SetSize(999.5);
  EXPECT_EQ(SizeAndStyle(), std::make_pair(1000, 1));
  SetSize(2.5);
  EXPECT_EQ(SizeAndStyle(), std::make_pair(3, 1));
  ExpectAllGivenBack();
}

TEST_F(PreRender, TheFirstTickedBoxWins) {
  SetBoxes(1, 0, 1);
  EXPECT_EQ(SizeAndStyle().second, 1);
  SetBoxes(0, 1, 1);
  EXPECT_EQ(SizeAndStyle().second, 2);
  SetBoxes(1, 1, 1);
  EXPECT_EQ(SizeAndStyle().second, 1);
  SetBoxes(0, 0, 0);
  EXPECT_EQ(SizeAndStyle(), std::make_pair(150, 0));
  SetBoxes(0, 0, -7);  // any non-zero value counts as ticked
  EXPECT_EQ(SizeAndStyle().second, 3);
}

TEST_F(PreRender, ASizeFromAnywhereIsClampedNotConverted) {
  SetSize(std::numeric_limits<double>::quiet_NaN());
  EXPECT_EQ(SizeAndStyle().first, 150);
  SetSize(std::numeric_limits<double>::infinity());
  EXPECT_EQ(SizeAndStyle().first, 1000);
  SetSize(-1e12);
  EXPECT_EQ(SizeAndStyle().first, 1);
}

TEST_F(PreRender, ReadsTheSizeAtTheFramesTime) {
  host_.AnimateParam(1, [](A_long time) { return 50.0 + 10.0 * time; });
  for (A_long t : {0, 7, 35}) {
    auto frame = host_.NewFrame(t);
    ASSERT_EQ(host_.PreRender(*frame), PF_Err_NONE);
    EXPECT_EQ(Plan(*frame)->size, 50 + 10 * t);
  }
}

TEST_F(PreRender, ChecksOutTheInputWithExactlyTheHostsRequest) {
  auto frame = host_.NewFrame();
  frame->request.rect = PF_LRect{10, 20, 300, 200};
  frame->request.field = 1;
  frame->request.channel_mask = 0x7;
  frame->request.preserve_rgb_of_zero_alpha = 1;
  std::memcpy(frame->request.unused, "xyz", 3);
  frame->request.reserved[0] = 11;
  frame->request.reserved[3] = -4;
  ASSERT_EQ(host_.PreRender(*frame), PF_Err_NONE);
  ASSERT_EQ(frame->layerCheckouts.size(), 1u);
  EXPECT_EQ(std::memcmp(&frame->layerCheckouts[0], &frame->request, sizeof frame->request), 0);
  // the host's empty output rects became the checkout's
  const PF_LRect& result = frame->preRender.result_rect;
  EXPECT_EQ((std::vector<A_long>{result.left, result.top, result.right, result.bottom}),
            (std::vector<A_long>{10, 20, 300, 200}));
  EXPECT_EQ(frame->preRender.max_result_rect.right, 1920);
  EXPECT_EQ(frame->preRender.max_result_rect.bottom, 1080);
}

TEST_F(PreRender, JoinsTheCheckoutsRectsWithThoseTheHostPutThere) {
  auto frame = host_.NewFrame();
  frame->request.rect = PF_LRect{100, 100, 200, 150};
  frame->preRender.result_rect = PF_LRect{0, 0, 50, 50};
  ASSERT_EQ(host_.PreRender(*frame), PF_Err_NONE);
  const PF_LRect& r = frame->preRender.result_rect;
  EXPECT_EQ((std::vector<A_long>{r.left, r.top, r.right, r.bottom}),
            (std::vector<A_long>{0, 0, 200, 150}));

  auto outside = host_.NewFrame();
  outside->request.rect = PF_LRect{5000, 5000, 6000, 6000};  // nothing of the layer there
  outside->preRender.result_rect = PF_LRect{1, 2, 3, 4};
  ASSERT_EQ(host_.PreRender(*outside), PF_Err_NONE);
  EXPECT_EQ(outside->preRender.result_rect.right, 3);
}

TEST_F(PreRender, HandsThePlanOverOnceAndTheHostFreesItOnce) {
  auto frame = host_.NewFrame();
  ASSERT_EQ(host_.PreRender(*frame), PF_Err_NONE);
  EXPECT_NE(frame->preRender.pre_render_data, nullptr);
  EXPECT_EQ(frame->preRender.delete_pre_render_data_func, &kelvrix::FreePlan);
  frame.reset();  // dropped without rendering: the host frees the plan
  ExpectAllGivenBack();
  EXPECT_EQ(host_.EffectRefsIssued(), 1);
}

TEST_F(PreRender, EveryHostErrorStillHandsThePlanOverForFreeing) {
  struct Case {
    const char* function;
    int after;
  };
  for (Case c :
       {Case{"AEGP_GetNewEffectForEffect", 0}, Case{"checkout_param", 0}, Case{"checkout_param", 1},
        Case{"checkout_param", 2}, Case{"checkout_param", 3}, Case{"checkout_layer", 0}}) {
    SCOPED_TRACE(std::string(c.function) + " after " + std::to_string(c.after));
    host_.Faults().Fail(c.function, 1234, c.after, 1);
    auto frame = host_.NewFrame();
    EXPECT_EQ(host_.PreRender(*frame), 1234);
    EXPECT_NE(frame->preRender.pre_render_data, nullptr);
    frame.reset();
    ExpectAllGivenBack();
    host_.Faults().ClearAll();
  }
}

TEST_F(PreRender, AnErrorStopsTheRemainingReadsAndTheCheckout) {
  host_.Faults().Fail("checkout_param", 1234, 1, 1);  // the first box
  auto frame = host_.NewFrame();
  EXPECT_EQ(host_.PreRender(*frame), 1234);
  EXPECT_EQ(host_.Faults().Calls("checkout_param"), 2);
  EXPECT_TRUE(frame->layerCheckouts.empty());
}

TEST_F(PreRender, AMissingInterfaceSuiteFailsWithoutLeakingThePlan) {
  host_.Suites().SetMissing(kAEGPPFInterfaceSuite);
  auto frame = host_.NewFrame();
  EXPECT_EQ(host_.PreRender(*frame), PF_Err_BAD_CALLBACK_PARAM);
  EXPECT_EQ(frame->preRender.pre_render_data, nullptr);
  ExpectAllGivenBack();
}

TEST_F(PreRender, APlanThatCannotBeAllocatedGives4AndNoData) {
  kelvrix::SetPlanAllocatorForTesting([](size_t) -> void* { return nullptr; });
  auto frame = host_.NewFrame();
  EXPECT_EQ(host_.PreRender(*frame), PF_Err_OUT_OF_MEMORY);
  EXPECT_EQ(frame->preRender.pre_render_data, nullptr);
  ExpectAllGivenBack();
}

TEST_F(PreRender, WithoutExtraRecordsItRefusesInsteadOfCrashing) {
  EXPECT_EQ(host_.Command(PF_Cmd_SMART_PRE_RENDER, nullptr), PF_Err_BAD_CALLBACK_PARAM);
  PF_PreRenderExtra partial{nullptr, nullptr, nullptr};
  EXPECT_EQ(host_.Command(PF_Cmd_SMART_PRE_RENDER, &partial), PF_Err_BAD_CALLBACK_PARAM);
}

TEST(PreRenderWithoutGlobalData, RendersWithoutAskingForAReference) {
  SimHost host(LinkedPlugin());
  host.Faults().Fail("host_lock_handle", 1);
  ASSERT_EQ(host.GlobalSetup(), PF_Err_NONE);
  ASSERT_EQ(host.ParamsSetup(), PF_Err_NONE);
  auto frame = host.NewFrame();
  EXPECT_EQ(host.PreRender(*frame), PF_Err_NONE);
  EXPECT_EQ(static_cast<const RenderPlan*>(frame->preRender.pre_render_data)->size, 150);
  EXPECT_EQ(host.EffectRefsIssued(), 0);
}

TEST(PreRenderUnderPremiere, UsesTheIdGlobalSetupWrote) {
  SimHost host(LinkedPlugin(), kelvrix::testing::PremiereOptions());
  ASSERT_EQ(host.GlobalSetup(), PF_Err_NONE);
  ASSERT_EQ(host.ParamsSetup(), PF_Err_NONE);
  auto frame = host.NewFrame();
  EXPECT_EQ(host.PreRender(*frame), PF_Err_NONE);
  EXPECT_EQ(host.EffectRefsIssued(), 1);
  EXPECT_EQ(host.LiveEffectRefs(), 0u);
}
