// An OpenFX frame beside the After Effects frame of the same size, depth and style, measured
// in one run: the After Effects edition's smart render in the simulated host, the OpenFX
// edition's Render action in the simulated OpenFX host, both with two render threads and the
// memory search fed heap blocks holding noise (so every search takes its first block and the
// figures measure the render). Only the effect's calls are timed (smart pre-render and smart
// render into worlds made once; the Render action), not the host making its buffers. The
// ratios OpenFX / After Effects are printed after the run.
#include <benchmark/benchmark.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <map>
#include <random>
#include <string>
#include <vector>

#include "bench/BenchSupport.h"
#include "host/SimHost.h"
#include "ofx/OfxPluginRecord.h"
#include "ofxhost/SimOfxHost.h"
#include "plugin/EntryPoints.h"
#include "render/BlockSearchSetup.h"

namespace {

using Clock = std::chrono::steady_clock;
using kelvrix::bench::NoisyBlock;

kelvrix::BlockSearchSetup Noisy() {
  kelvrix::BlockSearchSetup setup = kelvrix::ProductionSearchSetup();
  setup.source = kelvrix::BlockSource{NoisyBlock, std::free};
  return setup;
}

// Mean milliseconds per frame, by "depth/style/width".
std::map<std::string, double>& AeMs() {
  static std::map<std::string, double> ms;
  return ms;
}
std::map<std::string, double>& OfxMs() {
  static std::map<std::string, double> ms;
  return ms;
}

std::string Key(const benchmark::State& state) {
  return std::to_string(state.range(0)) + " bpc, style " + std::to_string(state.range(1)) + ", " +
         std::to_string(state.range(2)) + "x" + std::to_string(state.range(3));
}

int StyleIndex(int64_t styleDepth) { return styleDepth == 8 ? 0 : styleDepth == 16 ? 1 : 2; }

// Args: depth, style depth, width, height.
void BM_AfterEffectsFrame(benchmark::State& state) {
  kelvrix::host::HostOptions options;
  options.format = kelvrix::bench::FormatOf(state.range(0));
  options.width = static_cast<A_long>(state.range(2));
  options.height = static_cast<A_long>(state.range(3));
  options.threads = 2;
  options.poisonNewWorlds = false;
  kelvrix::host::SimHost host(
      kelvrix::host::PluginModule::Linked(EffectMain, PluginDataEntryFunction), options);
  host.GlobalSetup();
  host.ParamsSetup();
  const int style = StyleIndex(state.range(1)) + 1;
  for (int box = 3; box <= 5; ++box) host.Params()[box].u.bd.value = box - 2 == style ? 1 : 0;
  host.Params()[1].u.fs_d.value = 150;
  kelvrix::ScopedFrameSearchSetupForTesting blocks(Noisy());
  // One frame's worlds for every iteration, as a host renders into its own buffers: the
  // first render makes them and warms the heap.
  auto frame = host.NewFrame();
  host.RenderFrame(*frame);
  double total = 0;
  for (auto _ : state) {
    frame->preRender = PF_PreRenderOutput{};
    frame->layerCheckouts.clear();
    const auto start = Clock::now();
    const PF_Err err = host.PreRender(*frame) != PF_Err_NONE ? PF_Err_INTERNAL_STRUCT_DAMAGED
                                                             : host.Render(*frame);
    const double seconds = std::chrono::duration<double>(Clock::now() - start).count();
    if (err != PF_Err_NONE) state.SkipWithError("render failed");
    state.SetIterationTime(seconds);
    total += seconds;
  }
  AeMs()[Key(state)] = total * 1e3 / static_cast<double>(state.iterations());
}

void BM_OpenFxFrame(benchmark::State& state) {
  kelvrix::ofxhost::OfxHostOptions options;
  const char* depths[] = {kOfxBitDepthByte, kOfxBitDepthShort, kOfxBitDepthFloat};
  options.depth = depths[StyleIndex(state.range(0))];
  options.width = static_cast<int>(state.range(2));
  options.height = static_cast<int>(state.range(3));
  options.threads = 2;
  kelvrix::ofxhost::SimOfxHost host(
      kelvrix::ofxhost::OfxModule::Linked(
          [] { return 1; }, [](int n) { return n == 0 ? kelvrix::ofx::ThePlugin() : nullptr; },
          nullptr),
      options);
  if (host.Load() || host.Describe() || host.DescribeInContext(kOfxImageEffectContextFilter) ||
      host.CreateInstance(kOfxImageEffectContextFilter)) {
    state.SkipWithError("the effect did not start");
    return;
  }
  host.SetInt("style", StyleIndex(state.range(1)));
  host.SetDouble("size", 150);
  kelvrix::ScopedFrameSearchSetupForTesting blocks(Noisy());
  // The host's images made once and reused, as the After Effects host's worlds are; the first
  // render fills the instance's spare worlds and warms the heap.
  host.GiveBack(host.Render({}));
  double total = 0;
  for (auto _ : state) {
    auto result = host.Render({});
    if (result.status != kOfxStatOK) state.SkipWithError("render failed");
    state.SetIterationTime(result.actionSeconds);
    total += result.actionSeconds;
    host.GiveBack(std::move(result));
  }
  OfxMs()[Key(state)] = total * 1e3 / static_cast<double>(state.iterations());
}

// Each pair's two editions one after the other, so that the load of a shared machine drifts
// less between the frames a ratio compares.
void RegisterPairs() {
  for (int64_t depth : {8, 16, 32}) {
    for (int64_t style : {8, 16, 32}) {
      for (auto [name, fn] : {std::pair{"BM_AfterEffectsFrame", BM_AfterEffectsFrame},
                              std::pair{"BM_OpenFxFrame", BM_OpenFxFrame}}) {
        benchmark::RegisterBenchmark(name, fn)
            ->Args({depth, style, 1920, 1080})
            ->ArgNames({"depth", "style", "w", "h"})
            ->Unit(benchmark::kMillisecond)
            ->UseManualTime();
      }
    }
  }
}

}  // namespace

int main(int argc, char** argv) {
  benchmark::Initialize(&argc, argv);
  RegisterPairs();
  benchmark::RunSpecifiedBenchmarks();
  std::printf("\nOpenFX frame / After Effects frame (target: at most 1.20)\n");
  for (const auto& [key, ae] : AeMs()) {
    const auto ofx = OfxMs().find(key);
    if (ofx == OfxMs().end() || ae <= 0) continue;
    std::printf("  %-28s  AE %7.2f ms  OFX %7.2f ms  ratio %.2f\n", key.c_str(), ae, ofx->second,
                ofx->second / ae);
  }
  benchmark::Shutdown();
  return 0;
}
