// An OpenFX frame beside the After Effects frame of the same size, depth and style, measured
// in one run: the After Effects edition's smart render in the simulated host, the OpenFX
// edition's Render action in the simulated OpenFX host, both with two render threads and the
// memory search fed heap blocks holding noise (so every search takes its first block and the
// figures measure the render). Only the effect's calls are timed (smart pre-render and smart
// render into worlds made once; the Render action), not the host making its buffers. The two
// editions render in turn, frame after frame, so that the load of a shared machine falls on
// both alike, and each is summed up by its median frame, which a frame held up by the system
// does not move. The ratios OpenFX / After Effects are printed after the run.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <map>
#include <memory>
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

int StyleIndex(int64_t styleDepth) { return styleDepth == 8 ? 0 : styleDepth == 16 ? 1 : 2; }

// The After Effects edition in the simulated host, rendering into one frame's worlds, as a host
// renders into its own buffers.
class AfterEffectsFrames {
 public:
  AfterEffectsFrames(int64_t depth, int64_t style, int width, int height)
      : host_(kelvrix::host::PluginModule::Linked(EffectMain, PluginDataEntryFunction),
              Options(depth, width, height)) {
    host_.GlobalSetup();
    host_.ParamsSetup();
    const int box = StyleIndex(style) + 3;
    for (int b = 3; b <= 5; ++b) host_.Params()[b].u.bd.value = b == box ? 1 : 0;
    host_.Params()[1].u.fs_d.value = 150;
    frame_ = host_.NewFrame();
  }
  // Seconds of the effect's calls, or a negative number when the frame failed.
  double Render() {
    frame_->preRender = PF_PreRenderOutput{};
    frame_->layerCheckouts.clear();
    const auto start = Clock::now();
    const PF_Err err = host_.PreRender(*frame_) != PF_Err_NONE ? PF_Err_INTERNAL_STRUCT_DAMAGED
                                                               : host_.Render(*frame_);
    const double seconds = std::chrono::duration<double>(Clock::now() - start).count();
    return err == PF_Err_NONE ? seconds : -1;
  }

 private:
  static kelvrix::host::HostOptions Options(int64_t depth, int width, int height) {
    kelvrix::host::HostOptions options;
    options.format = kelvrix::bench::FormatOf(depth);
    options.width = width;
    options.height = height;
    options.threads = 2;
    options.poisonNewWorlds = false;
    return options;
  }
  kelvrix::host::SimHost host_;
  decltype(host_.NewFrame()) frame_;
};

// The OpenFX edition in the simulated OpenFX host, its images made once and reused as the
// After Effects host's worlds are.
class OpenFxFrames {
 public:
  OpenFxFrames(int64_t depth, int64_t style, int width, int height)
      : host_(kelvrix::ofxhost::OfxModule::Linked(
                  [] { return 1; },
                  [](int n) { return n == 0 ? kelvrix::ofx::ThePlugin() : nullptr; }, nullptr),
              Options(depth, width, height)) {
    started_ = host_.Load() == kOfxStatOK && host_.Describe() == kOfxStatOK &&
               host_.DescribeInContext(kOfxImageEffectContextFilter) == kOfxStatOK &&
               host_.CreateInstance(kOfxImageEffectContextFilter) == kOfxStatOK;
    host_.SetInt("style", StyleIndex(style));
    host_.SetDouble("size", 150);
  }
  double Render() {
    if (!started_) return -1;
    auto result = host_.Render({});
    const double seconds = result.status == kOfxStatOK ? result.actionSeconds : -1;
    host_.GiveBack(std::move(result));
    return seconds;
  }

 private:
  static kelvrix::ofxhost::OfxHostOptions Options(int64_t depth, int width, int height) {
    kelvrix::ofxhost::OfxHostOptions options;
    const char* depths[] = {kOfxBitDepthByte, kOfxBitDepthShort, kOfxBitDepthFloat};
    options.depth = depths[StyleIndex(depth)];
    options.width = width;
    options.height = height;
    options.threads = 2;
    return options;
  }
  kelvrix::ofxhost::SimOfxHost host_;
  bool started_ = false;
};

double Median(std::vector<double> v) {
  if (v.empty()) return 0;
  std::nth_element(v.begin(), v.begin() + static_cast<ptrdiff_t>(v.size() / 2), v.end());
  return v[v.size() / 2];
}

struct Medians {
  double ae = 0;
  double ofx = 0;
};

std::map<std::string, Medians>& Results() {
  static std::map<std::string, Medians> results;
  return results;
}

// Args: depth, style depth, width, height. An iteration is one frame of each edition; its time
// is the pair's.
void BM_FramePair(benchmark::State& state) {
  const int width = static_cast<int>(state.range(2));
  const int height = static_cast<int>(state.range(3));
  AfterEffectsFrames ae(state.range(0), state.range(1), width, height);
  OpenFxFrames ofx(state.range(0), state.range(1), width, height);
  kelvrix::ScopedFrameSearchSetupForTesting blocks(Noisy());
  // The first frames make the spare worlds and warm the heap.
  for (int i = 0; i < 2; ++i) {
    ae.Render();
    ofx.Render();
  }
  std::vector<double> aeSeconds;
  std::vector<double> ofxSeconds;
  for (auto _ : state) {
    const double a = ae.Render();
    const double o = ofx.Render();
    if (a < 0 || o < 0) {
      state.SkipWithError("render failed");
      break;
    }
    aeSeconds.push_back(a);
    ofxSeconds.push_back(o);
    state.SetIterationTime(a + o);
  }
  const Medians m{Median(aeSeconds) * 1e3, Median(ofxSeconds) * 1e3};
  state.counters["AE_ms"] = m.ae;
  state.counters["OFX_ms"] = m.ofx;
  state.counters["ratio"] = m.ae > 0 ? m.ofx / m.ae : 0;
  Results()[std::to_string(state.range(0)) + " bpc, style " + std::to_string(state.range(1)) +
            ", " + std::to_string(width) + "x" + std::to_string(height)] = m;
}

void RegisterPairs() {
  for (int64_t depth : {8, 16, 32}) {
    for (int64_t style : {8, 16, 32}) {
      benchmark::RegisterBenchmark("BM_FramePair", BM_FramePair)
          ->Args({depth, style, 1920, 1080})
          ->ArgNames({"depth", "style", "w", "h"})
          ->Unit(benchmark::kMillisecond)
          ->UseManualTime();
    }
  }
}

}  // namespace

int main(int argc, char** argv) {
  benchmark::Initialize(&argc, argv);
  RegisterPairs();
  benchmark::RunSpecifiedBenchmarks();
  std::printf("\nOpenFX frame / After Effects frame, medians (target: at most 1.20)\n");
  for (const auto& [key, m] : Results()) {
    if (m.ae <= 0) continue;
    std::printf("  %-28s  AE %7.2f ms  OFX %7.2f ms  ratio %.2f\n", key.c_str(), m.ae, m.ofx,
                m.ofx / m.ae);
  }
  benchmark::Shutdown();
  return 0;
}
