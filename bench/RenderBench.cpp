// Frame times of the nine depth/style combinations beside the memory floor (a memset of the
// same output world, measured in the same run), the block scan beside memchr, and the two
// ways of drawing noise from several rows at once.
#include <benchmark/benchmark.h>

#include <chrono>
#include <cstdlib>
#include <cstring>
#include <mutex>
#include <random>
#include <vector>

#include "host/IterateSuites.h"
#include "host/SimHost.h"
#include "plugin/EntryPoints.h"
#include "render/BlockSearch.h"
#include "render/NativeFill.h"
#include "render/PixelTraits.h"

namespace {

using kelvrix::host::HostOptions;
using kelvrix::host::PluginModule;
using kelvrix::host::SimHost;

PF_PixelFormat FormatOf(int64_t depth) {
  return depth == 8 ? PF_PixelFormat_ARGB32
                    : (depth == 16 ? PF_PixelFormat_ARGB64 : PF_PixelFormat_ARGB128);
}

// Blocks for the search: heap memory holding noise, as a busy host leaves image data in the
// heap, so every search accepts its first block and the figures measure the render, not
// the state of this process's heap. Filling a block (one copy) is part of the frame time.
const std::vector<uint8_t>& NoiseBytes() {
  static const std::vector<uint8_t> bytes = [] {
    std::vector<uint8_t> out(16 << 20);
    std::mt19937 random(1);
    for (auto& b : out) b = static_cast<uint8_t>(random() | 0x40u);
    return out;
  }();
  return bytes;
}

void* NoisyBlock(size_t bytes) {
  void* block = std::malloc(bytes);
  const auto& noise = NoiseBytes();
  if (block != nullptr) std::memcpy(block, noise.data(), std::min(bytes, noise.size()));
  return block;
}

// The production search, fed by `allocate`.
kelvrix::BlockSearchSetup FedBy(void* (*allocate)(size_t)) {
  kelvrix::BlockSearchSetup setup = kelvrix::ProductionSearchSetup();
  setup.source = kelvrix::BlockSource{allocate, std::free};
  return setup;
}

using Clock = std::chrono::steady_clock;

// The floor: the fastest of several memsets of the whole world.
double MemsetSeconds(void* data, size_t bytes) {
  double best = 1e9;
  for (int i = 0; i < 15; ++i) {
    const auto start = Clock::now();
    std::memset(data, i, bytes);
    benchmark::ClobberMemory();
    best = std::min(best, std::chrono::duration<double>(Clock::now() - start).count());
  }
  return best;
}

HostOptions BenchProject(int64_t depth, int64_t width, int64_t height) {
  HostOptions options;
  options.format = FormatOf(depth);
  options.width = static_cast<A_long>(width);
  options.height = static_cast<A_long>(height);
  options.threads = 2;
  options.poisonNewWorlds = false;
  return options;
}

// Renders the host's frame over and over (the worlds made once, as a host reuses them), and
// reports the mean frame time against the floor of the same output world, and how many frames
// found no memory (pixel 0's alpha left at zero).
void TimeFrames(benchmark::State& state, SimHost& host, int64_t depth) {
  auto frame = host.NewFrame();
  host.RenderFrame(*frame);  // makes the frame's worlds and warms the heap
  const size_t worldBytes = static_cast<size_t>(frame->output.rowbytes) * frame->output.height;
  const double floorSeconds = MemsetSeconds(frame->output.data, worldBytes);
  int noBlock = 0;
  double renderSeconds = 0.0;
  for (auto _ : state) {
    frame->preRender = PF_PreRenderOutput{};
    frame->layerCheckouts.clear();
    std::memset(frame->output.data, 0, 16);
    const auto start = Clock::now();
    if (host.PreRender(*frame) != PF_Err_NONE || host.Render(*frame) != PF_Err_NONE) {
      state.SkipWithError("render failed");
      break;
    }
    renderSeconds += std::chrono::duration<double>(Clock::now() - start).count();
    uint8_t alpha[4] = {};
    std::memcpy(alpha, frame->output.data, static_cast<size_t>(depth / 8));
    noBlock += alpha[0] == 0 && alpha[1] == 0 && alpha[2] == 0 && alpha[3] == 0;
  }
  state.counters["floor_ms"] = floorSeconds * 1e3;
  state.counters["x_floor"] =
      renderSeconds / static_cast<double>(state.iterations()) / floorSeconds;
  state.counters["no_block"] = noBlock;
}

// Args: project depth, style depth, width, height, Size.
void BM_Frame(benchmark::State& state) {
  SimHost host(PluginModule::Linked(EffectMain, PluginDataEntryFunction),
               BenchProject(state.range(0), state.range(2), state.range(3)));
  host.GlobalSetup();
  host.ParamsSetup();
  const int style = state.range(1) == 8 ? 1 : (state.range(1) == 16 ? 2 : 3);
  for (int box = 3; box <= 5; ++box) host.Params()[box].u.bd.value = box - 2 == style ? 1 : 0;
  host.Params()[1].u.fs_d.value = static_cast<double>(state.range(4));
  const int32_t channelBytes = style == 1 ? 1 : (style == 2 ? 2 : 4);
  const int32_t size = static_cast<int32_t>(state.range(4)) / channelBytes;
  if (kelvrix::ImageSizeFor(size, host.Options().width, host.Options().height, channelBytes)
          .blockBytes > NoiseBytes().size()) {
    state.SkipWithError("block larger than the noise source");
    return;
  }
  kelvrix::ScopedFrameSearchSetupForTesting blocks(FedBy(NoisyBlock));
  TimeFrames(state, host, state.range(0));
}

void FrameArgs(benchmark::internal::Benchmark* b) {
  for (int64_t project : {8, 16, 32}) {
    for (int64_t style : {8, 16, 32}) {
      for (auto [w, h] : {std::pair<int64_t, int64_t>{1920, 1080}, {3840, 2160}}) {
        for (int64_t size : {150, 1000}) b->Args({project, style, w, h, size});
      }
    }
  }
  b->ArgNames({"project", "style", "w", "h", "size"})->Unit(benchmark::kMillisecond)->UseRealTime();
}

BENCHMARK(BM_Frame)->Apply(FrameArgs);

void* NoBlock(size_t) { return nullptr; }

// A whole frame that shows the message card (the search gets no memory at all), beside the
// floor of the same output world. Args: project depth, width, height.
void BM_CardFrame(benchmark::State& state) {
  SimHost host(PluginModule::Linked(EffectMain, PluginDataEntryFunction),
               BenchProject(state.range(0), state.range(1), state.range(2)));
  host.GlobalSetup();
  host.ParamsSetup();
  kelvrix::ScopedFrameSearchSetupForTesting blocks(FedBy(NoBlock));
  TimeFrames(state, host, state.range(0));
}
BENCHMARK(BM_CardFrame)
    ->ArgsProduct({{8, 16, 32}, {1920}, {1080}})
    ->ArgsProduct({{8, 16, 32}, {3840}, {2160}})
    ->ArgNames({"project", "w", "h"})
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();

// ---- The scan --------------------------------------------------------------------------

// Three dark samples in every five: exactly 60 % is rejected, and only at the block's end, so
// the decision reads all of it. The bytes are 0 and those of 200 (8-bit) or 1000.
template <typename Sample>
std::vector<uint8_t> ScanBlock(size_t bytes) {
  std::vector<uint8_t> block(bytes);
  const Sample light = static_cast<Sample>(sizeof(Sample) == 1 ? 200 : 1000);
  for (size_t i = 0; i < bytes / sizeof(Sample); ++i) {
    const Sample s = i % 5 < 3 ? Sample{0} : light;
    std::memcpy(&block[i * sizeof(Sample)], &s, sizeof s);
  }
  return block;
}

double MemchrSeconds(const std::vector<uint8_t>& block) {
  double best = 1e9;
  for (int i = 0; i < 50; ++i) {
    const auto start = Clock::now();
    benchmark::DoNotOptimize(std::memchr(block.data(), 0x55, block.size()));
    best = std::min(best, std::chrono::duration<double>(Clock::now() - start).count());
  }
  return best;
}

// Throughput of a block's decision when it reads the whole block, with memchr over the same
// block (for a byte it does not hold, so it reads all of it) measured in the same run:
// x_memchr above 1 is faster than memchr.
template <bool (*Decide)(const void*, size_t), typename Sample>
void BM_Scan(benchmark::State& state) {
  constexpr size_t kSampleBytes = sizeof(Sample);
  const auto block = ScanBlock<Sample>(static_cast<size_t>(state.range(0)));
  const double memchrSeconds = MemchrSeconds(block);
  double best = 1e9;
  for (auto _ : state) {
    const auto start = Clock::now();
    benchmark::DoNotOptimize(Decide(block.data(), block.size() / kSampleBytes));
    best = std::min(best, std::chrono::duration<double>(Clock::now() - start).count());
  }
  state.SetBytesProcessed(state.iterations() * state.range(0));
  state.counters["memchr_GBps"] = static_cast<double>(block.size()) / memchrSeconds / 1e9;
  state.counters["scan_GBps"] = static_cast<double>(block.size()) / best / 1e9;
  state.counters["x_memchr"] = memchrSeconds / best;
}
BENCHMARK_TEMPLATE(BM_Scan, kelvrix::IsBlockUsable8, uint8_t)->Arg(68139)->Arg(3240000);
BENCHMARK_TEMPLATE(BM_Scan, kelvrix::IsBlockUsable16, uint16_t)->Arg(68139)->Arg(3240000);
BENCHMARK_TEMPLATE(BM_Scan, kelvrix::IsBlockUsableFloat, float)->Arg(68139)->Arg(3240000);
// ---- Noise from several rows at once: one engine per row (what the fill does) against
// the frame's one engine behind a lock -------------------------------------------------

struct NoiseJob {
  kelvrix::RenderPlan plan;
  std::vector<uint8_t> image;
  std::mutex lock;
};

PF_Err LockedNoiseRow8(void* reference, A_long, A_long y, A_long) {
  auto& job = *static_cast<NoiseJob*>(reference);
  uint8_t* row = job.image.data() + static_cast<size_t>(y) * job.plan.imageWidth * 3;
  for (int32_t c = 0; c < job.plan.imageWidth * 3; ++c) {
    double noise;
    {
      std::lock_guard<std::mutex> guard(job.lock);
      noise = kelvrix::DrawNoise(job.plan.rng, job.plan.noise8Low, job.plan.noise8High);
    }
    row[c] = kelvrix::Depth8::AddNoise(row[c], noise);
  }
  return PF_Err_NONE;
}

PF_Err PerRowNoiseRow8(void* reference, A_long thread, A_long y, A_long rows) {
  auto& job = *static_cast<NoiseJob*>(reference);
  return kelvrix::AddNoiseRow8(&job.plan, thread, y, rows);
}

void NoiseBench(benchmark::State& state, PF_IterateGenericFunc row) {
  HostOptions options;
  options.threads = 2;
  SimHost host(PluginModule::Linked(nullptr, nullptr), options);
  NoiseJob job;
  job.plan.imageWidth = static_cast<int32_t>(state.range(0));
  job.plan.imageHeight = static_cast<int32_t>(state.range(1));
  job.plan.noise8Low = -1.49;
  job.plan.noise8High = 1.49;
  job.image.assign(static_cast<size_t>(job.plan.imageWidth) * job.plan.imageHeight * 3, 100);
  job.plan.block = job.image.data();
  for (auto _ : state) {
    kelvrix::host::IterateGeneric(job.plan.imageHeight, &job, row);
  }
  state.SetItemsProcessed(state.iterations() * static_cast<int64_t>(job.image.size()));
}
void BM_NoisePerRowEngine(benchmark::State& state) { NoiseBench(state, PerRowNoiseRow8); }
void BM_NoiseLockedEngine(benchmark::State& state) { NoiseBench(state, LockedNoiseRow8); }
BENCHMARK(BM_NoisePerRowEngine)->Args({201, 113})->Args({1333, 750})->UseRealTime();
BENCHMARK(BM_NoiseLockedEngine)->Args({201, 113})->Args({1333, 750})->UseRealTime();

}  // namespace

BENCHMARK_MAIN();
