// Frame times of the nine depth/style combinations beside two floors measured in the same run
// on the same host and worlds: the memory floor (a memset of the output world) and the host
// floor (the design's host passes with callbacks that do nothing, plus the memory floor); the
// block scan beside memchr; and the noise pass beside the way it was drawn before (one
// std::mt19937 call per draw), alone and inside whole frames. Ratios are printed after the run.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <map>
#include <mutex>
#include <random>
#include <string>
#include <type_traits>
#include <vector>

#include "bench/BenchSupport.h"
#include "host/IterateSuites.h"
#include "host/SimHost.h"
#include "plugin/EntryPoints.h"
#include "render/BlockSearch.h"
#include "render/NativeFill.h"
#include "render/PixelTraits.h"

namespace {

using kelvrix::bench::FormatOf;
using kelvrix::bench::NoiseBytes;
using kelvrix::bench::NoisyBlock;
using kelvrix::bench::ProcessPageFaults;
using kelvrix::host::HostOptions;
using kelvrix::host::PluginModule;
using kelvrix::host::SimHost;

// The production search, fed by `allocate`.
kelvrix::BlockSearchSetup FedBy(void* (*allocate)(size_t)) {
  kelvrix::BlockSearchSetup setup = kelvrix::ProductionSearchSetup();
  setup.source = kelvrix::BlockSource{allocate, std::free};
  return setup;
}

using Clock = std::chrono::steady_clock;

// CPU seconds of every thread of the process: on a machine shared with other work the wall
// clock counts the waits for a core too.
double ProcessCpuSeconds() {
  timespec t{};
  clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &t);
  return static_cast<double>(t.tv_sec) + static_cast<double>(t.tv_nsec) * 1e-9;
}

// What one first touch of a fresh page costs on this machine: the median over fresh blocks of
// 64 MiB (above glibc's largest mmap threshold, so each comes from the system), 2048 pages each.
double FreshPageMicroseconds() {
  constexpr size_t kBlock = size_t{64} << 20;
  constexpr size_t kPage = 4096;
  constexpr size_t kTouched = 2048;
  std::vector<double> each;
  for (int i = 0; i < 5; ++i) {
    auto* block = static_cast<volatile uint8_t*>(std::calloc(1, kBlock));
    if (block == nullptr) return 0.0;
    const auto start = Clock::now();
    for (size_t page = 0; page < kTouched; ++page) block[page * kPage] = 1;
    each.push_back(std::chrono::duration<double>(Clock::now() - start).count() * 1e6 / kTouched);
    std::free(const_cast<uint8_t*>(block));
  }
  std::sort(each.begin(), each.end());
  return each[each.size() / 2];
}

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

// ---- The host floor ------------------------------------------------------------------
// What the design's host passes cost when the effect's callbacks do nothing: one callback per
// row of the fill's two passes and of the conversion, one per pixel of the finishing pass or
// of the card's composite. No effect can do less inside this design.

PF_Err NoRow(void*, A_long, A_long, A_long) { return PF_Err_NONE; }
template <typename Pixel>
PF_Err NoPixel(void*, A_long, A_long, Pixel*, Pixel*) {
  return PF_Err_NONE;
}

// The passes of one kind of frame.
struct HostPasses {
  A_long imageRows = 0;  // rows of the fill's noise pass; 0 for a card frame
  int64_t styleDepth = 0;
  bool convert = false;  // cross-depth: the conversion's rows and a temporary world to fill
  bool card = false;     // the card's composite (version 1, whole world) for the finishing pass
};

template <typename Fn>
double FastestSeconds(int runs, Fn&& run) {
  double best = 1e9;
  for (int i = 0; i < runs; ++i) {
    const auto start = Clock::now();
    run();
    best = std::min(best, std::chrono::duration<double>(Clock::now() - start).count());
  }
  return best;
}

template <typename Suite, typename Pixel>
double PixelPassSeconds(SimHost& host, PF_InData* in, const char* name, int version,
                        PF_EffectWorld* source, PF_EffectWorld* output, const PF_Rect* area) {
  const void* table = nullptr;
  if (host.Suites().Acquire(name, version, &table) != kSPNoError) return 0.0;
  const auto* suite = static_cast<const Suite*>(table);
  const double seconds = FastestSeconds(7, [&] {
    suite->iterate(in, 0, output->height, source, area, nullptr, NoPixel<Pixel>, output);
  });
  host.Suites().Release(name, version);
  return seconds;
}

// Version 1 suites for the card's composite, version 2 for the finishing pass.
template <int kVersion>
double PixelPassSeconds(SimHost& host, PF_InData* in, int64_t depth, PF_EffectWorld* source,
                        PF_EffectWorld* output, const PF_Rect* area) {
  using S8 = std::conditional_t<kVersion == 1, PF_Iterate8Suite1, PF_Iterate8Suite2>;
  using S16 = std::conditional_t<kVersion == 1, PF_Iterate16Suite1, PF_Iterate16Suite2>;
  using SFloat = std::conditional_t<kVersion == 1, PF_IterateFloatSuite1, PF_IterateFloatSuite2>;
  if (depth == 8) {
    return PixelPassSeconds<S8, PF_Pixel8>(host, in, kPFIterate8Suite, kVersion, source, output,
                                           area);
  }
  if (depth == 16) {
    return PixelPassSeconds<S16, PF_Pixel16>(host, in, kPFIterate16Suite, kVersion, source, output,
                                             area);
  }
  return PixelPassSeconds<SFloat, PF_PixelFloat>(host, in, kPFIterateFloatSuite, kVersion, source,
                                                 output, area);
}

double RowPassSeconds(A_long rows) {
  return FastestSeconds(7, [&] { kelvrix::host::IterateGeneric(rows, nullptr, NoRow); });
}

// The host floor of one frame: its host passes with empty callbacks, plus the memory floor of
// the output world (and, across depths, of the temporary world the fill writes).
double HostFloorSeconds(SimHost& host, kelvrix::host::Frame& frame, int64_t depth,
                        const HostPasses& passes, double outputFloorSeconds) {
  double seconds = outputFloorSeconds;
  host.WithinCommand(
      [&](PF_InData* in, PF_OutData*) {
        PF_EffectWorld* output = &frame.output;
        if (passes.card) {
          seconds += PixelPassSeconds<1>(host, in, depth, &frame.input, output, nullptr);
          return PF_Err_NONE;
        }
        seconds += RowPassSeconds(passes.imageRows) + RowPassSeconds(output->height);
        if (passes.convert) {
          seconds += RowPassSeconds(output->height);
          kelvrix::host::WorldSpec shape;
          shape.width = output->width;
          shape.height = output->height;
          shape.format = FormatOf(passes.styleDepth);
          shape.fill = false;
          PF_EffectWorld temporary{};
          if (host.Worlds().Create(shape, &temporary) == PF_Err_NONE) {
            seconds += MemsetSeconds(temporary.data,
                                     static_cast<size_t>(temporary.rowbytes) * temporary.height);
            host.Worlds().Dispose(&temporary);
          }
        }
        const PF_Rect extent = output->extent_hint;
        seconds += PixelPassSeconds<2>(host, in, depth, output, output, &extent);
        return PF_Err_NONE;
      },
      &frame);
  return seconds;
}

// Renders the host's frame over and over (the worlds made once, as a host reuses them), and
// reports the mean frame time against the memory floor and the host floor of the same output
// world, and how many frames found no memory (pixel 0's alpha left at zero).
void TimeFrames(benchmark::State& state, SimHost& host, int64_t depth, const HostPasses& passes) {
  auto frame = host.NewFrame();
  host.RenderFrame(*frame);  // makes the frame's worlds and warms the heap
  const size_t worldBytes = static_cast<size_t>(frame->output.rowbytes) * frame->output.height;
  const double floorSeconds = MemsetSeconds(frame->output.data, worldBytes);
  const double hostSeconds = HostFloorSeconds(host, *frame, depth, passes, floorSeconds);
  int noBlock = 0;
  double renderSeconds = 0.0;
  const double cpuStart = ProcessCpuSeconds();
  const long faultsStart = ProcessPageFaults();
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
  const double frames = static_cast<double>(state.iterations());
  const double frameSeconds = renderSeconds / frames;
  state.counters["cpu_ms"] = (ProcessCpuSeconds() - cpuStart) / frames * 1e3;
  state.counters["faults"] = static_cast<double>(ProcessPageFaults() - faultsStart) / frames;
  state.counters["floor_ms"] = floorSeconds * 1e3;
  state.counters["x_floor"] = frameSeconds / floorSeconds;
  state.counters["host_ms"] = hostSeconds * 1e3;
  state.counters["x_host"] = frameSeconds / hostSeconds;
  state.counters["no_block"] = noBlock;
}

// ---- The noise pass as it was drawn before: one std::mt19937 call per draw, and a rounding
// that branches on the random fraction. The baseline of the noise figures, run by swapping
// the fill's noise callbacks for these inside the host's generic iterate.

long TodaysRound(double v) {
  long i = static_cast<long>(v);
  const double fraction = v - static_cast<double>(i);
  if (fraction >= 0.5) {
    ++i;
  } else if (fraction <= -0.5) {
    --i;
  }
  return i;
}
uint8_t TodaysAddNoise(uint8_t s, double noise) {
  const long v = s + TodaysRound(noise);
  return static_cast<uint8_t>(v < 0 ? 0 : (v > 255 ? 255 : v));
}
uint16_t TodaysAddNoise(uint16_t s, double noise) {
  long r = TodaysRound(static_cast<double>(s) + noise);
  if (r > 65535) r = 65535;
  const long half = r / 2;
  return static_cast<uint16_t>(half < 0 ? 0 : half);
}
float TodaysAddNoise(float s, double noise) {
  return static_cast<float>(static_cast<double>(s) + noise);
}

template <typename Depth>
PF_Err TodaysNoiseRow(void* reference, A_long, A_long y, A_long) {
  using Channel = typename Depth::Channel;
  auto& plan = *static_cast<kelvrix::RenderPlan*>(reference);
  std::mt19937 engine(kelvrix::NoiseRowSeed(plan.rowSeedBase, y));
  const double low = Depth::NoiseLow(plan);
  const double high = Depth::NoiseHigh(plan);
  const size_t rowChannels = static_cast<size_t>(plan.imageWidth) * 3;
  uint8_t* row = plan.block + static_cast<size_t>(y) * rowChannels * sizeof(Channel);
  for (size_t c = 0; c < rowChannels; ++c) {
    Channel sample;
    std::memcpy(&sample, row + c * sizeof(Channel), sizeof sample);
    const double a = static_cast<double>(engine());
    const double b = static_cast<double>(engine());
    const double u = (a + b * 4294967296.0) / 18446744073709551616.0;
    sample = TodaysAddNoise(sample, low + u * (high - low));
    std::memcpy(row + c * sizeof(Channel), &sample, sizeof sample);
  }
  return PF_Err_NONE;
}

PF_Err IterateWithTodaysNoise(A_long iterations, void* refcon, PF_IterateGenericFunc fn) {
  if (fn == kelvrix::AddNoiseRow8) fn = TodaysNoiseRow<kelvrix::Depth8>;
  if (fn == kelvrix::AddNoiseRow16) fn = TodaysNoiseRow<kelvrix::Depth16>;
  if (fn == kelvrix::AddNoiseRowFloat) fn = TodaysNoiseRow<kelvrix::DepthFloat>;
  return kelvrix::host::IterateGeneric(iterations, refcon, fn);
}

// The host's Iterate8 suite (version 2) with the fill's noise callbacks swapped for today's.
void UseTodaysNoise(SimHost& host) {
  static PF_Iterate8Suite2 swapped;
  const void* table = nullptr;
  host.Suites().Acquire(kPFIterate8Suite, kPFIterate8SuiteVersion2, &table);
  swapped = *static_cast<const PF_Iterate8Suite2*>(table);
  host.Suites().Release(kPFIterate8Suite, kPFIterate8SuiteVersion2);
  swapped.iterate_generic = IterateWithTodaysNoise;
  host.Suites().Register(kPFIterate8Suite, kPFIterate8SuiteVersion2, &swapped);
}

// Args: project depth, style depth, width, height, Size.
void FrameBench(benchmark::State& state, bool todaysNoise) {
  SimHost host(PluginModule::Linked(EffectMain, PluginDataEntryFunction),
               BenchProject(state.range(0), state.range(2), state.range(3)));
  host.GlobalSetup();
  host.ParamsSetup();
  if (todaysNoise) UseTodaysNoise(host);
  const int style = state.range(1) == 8 ? 1 : (state.range(1) == 16 ? 2 : 3);
  for (int box = 3; box <= 5; ++box) host.Params()[box].u.bd.value = box - 2 == style ? 1 : 0;
  host.Params()[1].u.fs_d.value = static_cast<double>(state.range(4));
  const int32_t channelBytes = style == 1 ? 1 : (style == 2 ? 2 : 4);
  const int32_t size = static_cast<int32_t>(state.range(4)) / channelBytes;
  const kelvrix::MemoryImageSize image =
      kelvrix::ImageSizeFor(size, host.Options().width, host.Options().height, channelBytes);
  if (image.blockBytes > NoiseBytes().size()) {
    state.SkipWithError("block larger than the noise source");
    return;
  }
  kelvrix::ScopedFrameSearchSetupForTesting blocks(FedBy(NoisyBlock));
  HostPasses passes;
  passes.imageRows = image.height;
  passes.styleDepth = state.range(1);
  passes.convert = state.range(0) != state.range(1);
  TimeFrames(state, host, state.range(0), passes);
}
void BM_Frame(benchmark::State& state) { FrameBench(state, false); }
void BM_FrameTodaysNoise(benchmark::State& state) { FrameBench(state, true); }

void FrameArgs(benchmark::internal::Benchmark* b) {
  for (int64_t project : {8, 16, 32}) {
    for (int64_t style : {8, 16, 32}) {
      for (auto [w, h] : {std::pair<int64_t, int64_t>{1920, 1080}, {3840, 2160}}) {
        for (int64_t size : {150, 1000}) b->Args({project, style, w, h, size});
      }
    }
  }
  // The scaling table: Size 500 at every resolution, and 8K.
  for (auto [w, h] : {std::pair<int64_t, int64_t>{1920, 1080}, {3840, 2160}}) {
    b->Args({8, 8, w, h, 500});
  }
  for (int64_t size : {150, 500, 1000}) b->Args({8, 8, 7680, 4320, size});
  b->ArgNames({"project", "style", "w", "h", "size"})->Unit(benchmark::kMillisecond)->UseRealTime();
}
BENCHMARK(BM_Frame)->Apply(FrameArgs);

// The noise baseline in whole frames: Size 1000 at each depth.
void TodaysNoiseArgs(benchmark::internal::Benchmark* b) {
  for (int64_t depth : {8, 16, 32}) {
    for (auto [w, h] : {std::pair<int64_t, int64_t>{1920, 1080}, {3840, 2160}}) {
      b->Args({depth, depth, w, h, 1000});
    }
  }
  b->ArgNames({"project", "style", "w", "h", "size"})->Unit(benchmark::kMillisecond)->UseRealTime();
}
BENCHMARK(BM_FrameTodaysNoise)->Apply(TodaysNoiseArgs);

void* NoBlock(size_t) { return nullptr; }

// A whole frame that shows the message card (the search gets no memory at all), beside the
// floor of the same output world. Args: project depth, width, height.
void BM_CardFrame(benchmark::State& state) {
  SimHost host(PluginModule::Linked(EffectMain, PluginDataEntryFunction),
               BenchProject(state.range(0), state.range(1), state.range(2)));
  host.GlobalSetup();
  host.ParamsSetup();
  kelvrix::ScopedFrameSearchSetupForTesting blocks(FedBy(NoBlock));
  HostPasses passes;
  passes.card = true;
  TimeFrames(state, host, state.range(0), passes);
}
BENCHMARK(BM_CardFrame)
    ->ArgsProduct({{8, 16, 32}, {1920}, {1080}})
    ->ArgsProduct({{8, 16, 32}, {3840}, {2160}})
    ->ArgsProduct({{8}, {7680}, {4320}})
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
void BM_NoiseTodaysEngine(benchmark::State& state) {
  NoiseBench(state, TodaysNoiseRow<kelvrix::Depth8>);
}
void BM_NoiseLockedEngine(benchmark::State& state) { NoiseBench(state, LockedNoiseRow8); }
BENCHMARK(BM_NoisePerRowEngine)->Args({201, 113})->Args({1333, 750})->UseRealTime();
BENCHMARK(BM_NoiseTodaysEngine)->Args({201, 113})->Args({1333, 750})->UseRealTime();
BENCHMARK(BM_NoiseLockedEngine)->Args({201, 113})->Args({1333, 750})->UseRealTime();

// Console output, plus each run's real time (the median when repeated) for the ratios.
class RatioReporter : public benchmark::ConsoleReporter {
 public:
  void ReportRuns(const std::vector<Run>& runs) override {
    for (const Run& run : runs) {
      if (run.aggregate_name.empty() || run.aggregate_name == "median") {
        times[run.run_name.function_name][run.run_name.args] = run.GetAdjustedRealTime();
        const auto cpu = run.counters.find("cpu_ms");
        if (cpu != run.counters.end()) {
          cpuTimes[run.run_name.function_name][run.run_name.args] = cpu->second.value;
        }
        const auto faulted = run.counters.find("faults");
        if (faulted != run.counters.end()) {
          faults[run.run_name.function_name][run.run_name.args] = faulted->second.value;
        }
      }
    }
    ConsoleReporter::ReportRuns(runs);
  }
  std::map<std::string, std::map<std::string, double>> times;
  std::map<std::string, std::map<std::string, double>> cpuTimes;
  std::map<std::string, std::map<std::string, double>> faults;
};

void PrintRatios(RatioReporter& reporter) {
  auto& frames = reporter.times["BM_Frame"];
  auto& frameCpu = reporter.cpuTimes["BM_Frame"];
  auto& todayCpu = reporter.cpuTimes["BM_FrameTodaysNoise"];
  for (const auto& [args, today] : reporter.times["BM_FrameTodaysNoise"]) {
    if (frames.count(args) != 0 && frames[args] > 0.0 && frameCpu[args] > 0.0) {
      std::printf("frame %s: today's noise / ours = %.2f, in CPU time %.2f\n", args.c_str(),
                  today / frames[args], todayCpu[args] / frameCpu[args]);
    }
  }
  auto& noise = reporter.times["BM_NoisePerRowEngine"];
  for (const auto& [args, today] : reporter.times["BM_NoiseTodaysEngine"]) {
    if (noise.count(args) != 0 && noise[args] > 0.0) {
      std::printf("noise pass %s: today's / ours = %.2f\n", args.c_str(), today / noise[args]);
    }
  }
  // A card's canvas is fresh memory wherever the allocator hands it out so (glibc: blocks of
  // 32 MiB and more, so the 4K canvas but not the 1080p one; Windows: every block above 1 MiB),
  // and the text's first touches of it are page faults, whose cost depends on the machine.
  auto& cards = reporter.times["BM_CardFrame"];
  auto& cardFaults = reporter.faults["BM_CardFrame"];
  const double faultMs = FreshPageMicroseconds() * 1e-3;
  std::printf("a first touch of a fresh page costs %.2f us on this machine\n", faultMs * 1e3);
  for (const char* depth : {"8", "16", "32"}) {
    const std::string hd = std::string("project:") + depth + "/w:1920/h:1080";
    for (const auto& [w, h] : {std::pair{"3840", "2160"}, {"7680", "4320"}}) {
      const std::string big = std::string("project:") + depth + "/w:" + w + "/h:" + h;
      auto& cardCpu = reporter.cpuTimes["BM_CardFrame"];
      if (cards.count(hd) != 0 && cards.count(big) != 0 && cards[hd] > 0.0 && cardCpu[hd] > 0.0) {
        std::printf(
            "card %sx%s / 1920x1080 at %s bpc = %.2f, in CPU time %.2f; page faults per frame "
            "%.0f / %.0f, less their cost at that rate %.2f\n",
            w, h, depth, cards[big] / cards[hd], cardCpu[big] / cardCpu[hd], cardFaults[big],
            cardFaults[hd],
            (cards[big] - cardFaults[big] * faultMs) / (cards[hd] - cardFaults[hd] * faultMs));
      }
    }
  }
}

}  // namespace

int main(int argc, char** argv) {
  benchmark::Initialize(&argc, argv);
  RatioReporter reporter;
  benchmark::RunSpecifiedBenchmarks(&reporter);
  PrintRatios(reporter);
  benchmark::Shutdown();
  return 0;
}
