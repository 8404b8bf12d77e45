// Smart pre-render and its plan: the pure helpers directly, the handler through EffectMain in
// the simulated host.
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <limits>

#include "render/RenderPlan.h"
#include "render/SmartPreRender.h"
#include "tests/support/LinkedPlugin.h"

using kelvrix::RenderPlan;
using kelvrix::host::SimHost;
using kelvrix::testing::LinkedPlugin;

namespace {

std::vector<A_long> Edges(const PF_LRect& r) { return {r.left, r.top, r.right, r.bottom}; }

// {source, destination, result}
TEST(UnionRect, EmptyDestinationIsReplacedEmptySourceIgnoredOtherwiseBoundingBox) {
  const PF_LRect cases[][3] = {
      {{1, 2, 3, 4}, {5, 5, 5, 9}, {1, 2, 3, 4}},  // zero-width destination
      {{1, 2, 3, 4}, {5, 9, 8, 9}, {1, 2, 3, 4}},  // zero-height destination
      {{20, 20, 20, 30}, {0, 0, 10, 10}, {0, 0, 10, 10}},
      {{3, 8, 7, 2}, {0, 0, 10, 10}, {0, 0, 10, 10}},  // inverted source
      {{-4, 7, 6, 30}, {0, 5, 10, 10}, {-4, 5, 10, 30}},
      {{2, 1, 13, 4}, {0, 5, 10, 10}, {0, 1, 13, 10}},
  };
  for (const auto& c : cases) {
    PF_LRect dst = c[1];
    kelvrix::UnionRect(c[0], dst);
    EXPECT_EQ(Edges(dst), Edges(c[2])) << ::testing::PrintToString(Edges(c[0]));
  }
}

TEST(RoundedSize, RoundsHalfAwayAfterClampingToTheSlidersRange) {
  const double inf = std::numeric_limits<double>::infinity();
  const std::pair<double, int32_t> cases[] = {
      {150.0, 150}, {2.5, 3},  {2.4999, 2},   {999.5, 1000}, {1.49, 1}, {std::nan(""), 150},
      {inf, 1000},  {-inf, 1}, {1e300, 1000}, {-5.0, 1},     {0.2, 1},  {1000.4, 1000}};
  for (const auto& [value, size] : cases) EXPECT_EQ(kelvrix::RoundedSize(value), size) << value;
}

class PreRender : public ::testing::Test {
 protected:
  void SetUp() override { ASSERT_TRUE(kelvrix::testing::SetUpInstance(host_, 1)); }

  SimHost host_{LinkedPlugin()};
};

// Size is animated to equal the frame's time, so each row's time is the Size it reads. Every byte
// of the host's request reaches the input's checkout, whose rects are joined with the host's (an
// empty one is replaced).
TEST_F(PreRender, ReadsSizeAndStyleAtTheFramesTimeAndChecksOutTheInputAsAsked) {
  host_.AnimateParam(1, [](A_long time) { return static_cast<double>(time); });
  const struct {
    A_long size;
    int box8, box16, box32, wantSize, wantStyle;
  } cases[] = {
      {150, 1, 0, 0, 150, 1}, {150, 0, 1, 0, 75, 2}, {150, 0, 0, 1, 37, 3}, {3, 0, 0, -7, 1, 3},
      {1, 0, 1, 0, 1, 2},     {4, 0, 0, 1, 1, 3},    {8, 0, 0, 1, 2, 3},    {70, 0, 0, 0, 70, 0},
      {150, 1, 1, 1, 150, 1}, {150, 0, 1, 1, 75, 2},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(::testing::Message() << c.size << " " << c.box8 << c.box16 << c.box32);
    host_.Params()[3].u.bd.value = c.box8;
    host_.Params()[4].u.bd.value = c.box16;
    host_.Params()[5].u.bd.value = c.box32;
    auto frame = host_.NewFrame(c.size);
    std::memset(&frame->request, 0x5A, sizeof frame->request);
    frame->request.rect = PF_LRect{10, 20, 300, 200};
    frame->preRender.result_rect = PF_LRect{0, 0, 50, 50};
    ASSERT_EQ(host_.PreRender(*frame), PF_Err_NONE);
    ASSERT_EQ(frame->layerCheckouts.size(), 1u);
    EXPECT_EQ(std::memcmp(&frame->layerCheckouts[0], &frame->request, sizeof frame->request), 0);
    EXPECT_EQ(Edges(frame->preRender.result_rect), (std::vector<A_long>{0, 0, 300, 200}));
    EXPECT_EQ(Edges(frame->preRender.max_result_rect), (std::vector<A_long>{0, 0, 1920, 1080}));
    const auto* plan = static_cast<const RenderPlan*>(frame->preRender.pre_render_data);
    EXPECT_EQ(std::make_pair(plan->size, int{plan->style}),
              std::make_pair(c.wantSize, c.wantStyle));
  }
  kelvrix::testing::ExpectAllGivenBack(host_);
  EXPECT_EQ(host_.LiveParamCheckouts(), 0);
  EXPECT_EQ(host_.EffectRefsIssued(), static_cast<int>(std::size(cases)));
}

// A host error stops the rest and the plan still goes to the host for freeing; without the
// interface suite or memory for a plan nothing is handed over.
TEST(PreRenderFailures, GiveTheirCodeAndReleaseEverything) {
  const struct {
    void (*arrange)(SimHost&);
    PF_Err want;
    int paramReads;
    bool planHandedOver;
    void* (*allocatePlan)(size_t) = std::malloc;
  } cases[] = {
      {[](SimHost& h) { h.Faults().Fail("AEGP_GetNewEffectForEffect", 1234, 0, 1); }, 1234, 0,
       true},
      {[](SimHost& h) { h.Faults().Fail("checkout_param", 1234, 0, 1); }, 1234, 1, true},  // Size
      {[](SimHost& h) { h.Faults().Fail("checkout_param", 1234, 1, 1); }, 1234, 2, true},  // a box
      {[](SimHost& h) { h.Faults().Fail("checkout_layer", 1234, 0, 1); }, 1234, 4, true},
      {[](SimHost& h) { h.Suites().SetMissing(kAEGPPFInterfaceSuite, -1); },
       PF_Err_BAD_CALLBACK_PARAM, 0, false},
      {[](SimHost&) {}, PF_Err_OUT_OF_MEMORY, 0, false, [](size_t) -> void* { return nullptr; }},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(&c - cases);
    kelvrix::ScopedPlanAllocatorForTesting plans(c.allocatePlan);
    SimHost host(LinkedPlugin());
    ASSERT_TRUE(kelvrix::testing::SetUpInstance(host, 1));
    c.arrange(host);
    auto frame = host.NewFrame();
    EXPECT_EQ(host.PreRender(*frame), c.want);
    EXPECT_EQ(host.Faults().Calls("checkout_param"), c.paramReads);
    EXPECT_EQ(frame->preRender.pre_render_data != nullptr, c.planHandedOver);
    frame.reset();
    kelvrix::testing::ExpectAllGivenBack(host);
    EXPECT_EQ(host.LiveParamCheckouts(), 0);
  }
}

TEST_F(PreRender, WithoutExtraRecordsBothRenderCommandsRefuseInsteadOfCrashing) {
  EXPECT_EQ(host_.Command(PF_Cmd_SMART_PRE_RENDER, nullptr), PF_Err_BAD_CALLBACK_PARAM);
  PF_PreRenderExtra partial{nullptr, nullptr, nullptr};
  EXPECT_EQ(host_.Command(PF_Cmd_SMART_PRE_RENDER, &partial), PF_Err_BAD_CALLBACK_PARAM);
  // A frame whose effect reference and parameters are fine, but one record missing.
  auto frame = host_.NewFrame();
  PF_PreRenderInput input{};
  PF_PreRenderCallbacks callbacks{};
  for (PF_PreRenderExtra extra : {PF_PreRenderExtra{nullptr, &frame->preRender, &callbacks},
                                  PF_PreRenderExtra{&input, nullptr, &callbacks},
                                  PF_PreRenderExtra{&input, &frame->preRender, nullptr}}) {
    SimHost::CommandRecords records = host_.Prepare();
    EXPECT_EQ(host_.Send(PF_Cmd_SMART_PRE_RENDER, records, &extra, nullptr, frame.get()),
              PF_Err_BAD_CALLBACK_PARAM);
  }
  EXPECT_EQ(host_.Command(PF_Cmd_SMART_RENDER, nullptr), PF_Err_BAD_CALLBACK_PARAM);
}

// Without global data (its lock failed) there is no plug-in id to ask for a reference with;
// under Premiere the id global setup wrote is used.
TEST(PreRenderOtherHosts, AskForAReferenceOnlyWithAPluginId) {
  for (bool premiere : {false, true}) {
    SCOPED_TRACE(premiere ? "Premiere" : "no global data");
    SimHost host(LinkedPlugin(),
                 premiere ? kelvrix::testing::PremiereOptions() : kelvrix::host::HostOptions{});
    if (!premiere) host.Faults().Fail("host_lock_handle", 1);
    ASSERT_TRUE(kelvrix::testing::SetUpInstance(host, 1));
    auto frame = host.NewFrame();
    EXPECT_EQ(host.PreRender(*frame), PF_Err_NONE);
    EXPECT_EQ(host.EffectRefsIssued(), premiere ? 1 : 0);
    EXPECT_EQ(host.LiveEffectRefs(), 0u);
  }
}

}  // namespace
