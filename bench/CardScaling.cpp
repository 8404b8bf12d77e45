// Card frames at 1920x1080 and 3840x2160, side by side in one run, with no benchmark library, so
// that the same figures come from the Windows build under Wine: there the heap hands every block
// above 1 MiB out as fresh virtual memory, the 1080p canvas as much as the 4K one, while glibc
// keeps blocks under 32 MiB (the 1080p canvas) in its heap. Rounds alternate the two sizes, so
// a slow spell of a shared machine falls on both.
//
//   kelvrix_card_scaling [rounds [frames per round]]
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <vector>

#ifdef _WIN32
#include <windows.h>
#else
#include <sys/utsname.h>
#endif

#include "bench/BenchSupport.h"
#include "host/SimHost.h"
#include "plugin/EntryPoints.h"
#include "render/BlockSearchSetup.h"

namespace {

using kelvrix::bench::FormatOf;
using kelvrix::bench::ProcessPageFaults;
using kelvrix::host::HostOptions;
using kelvrix::host::PluginModule;
using kelvrix::host::SimHost;
using Clock = std::chrono::steady_clock;

void PrintPlatform() {
#ifdef _WIN32
  using WineVersion = const char* (*)();
  const HMODULE ntdll = GetModuleHandleA("ntdll.dll");
  const auto wine = ntdll == nullptr ? nullptr
                                     : reinterpret_cast<WineVersion>(reinterpret_cast<void*>(
                                           GetProcAddress(ntdll, "wine_get_version")));
  if (wine != nullptr) {
    std::printf("platform: Windows build under Wine %s\n", wine());
  } else {
    std::printf("platform: Windows\n");
  }
#else
  utsname name{};
  uname(&name);
  std::printf("platform: %s %s (glibc heap)\n", name.sysname, name.release);
#endif
}

void* NoBlock(size_t) { return nullptr; }

struct Sample {
  std::vector<double> ms;
  long long faults = 0;
  int frames = 0;
};

// One round: a fresh host at this size renders `frames` card frames after one to warm up.
bool TimeCards(int depth, A_long width, A_long height, int frames, Sample& sample) {
  HostOptions options;
  options.format = FormatOf(depth);
  options.width = width;
  options.height = height;
  options.threads = 2;
  options.poisonNewWorlds = false;
  SimHost host(PluginModule::Linked(EffectMain, PluginDataEntryFunction), options);
  if (host.GlobalSetup() != PF_Err_NONE || host.ParamsSetup() != PF_Err_NONE) return false;
  auto frame = host.NewFrame();
  if (host.RenderFrame(*frame) != PF_Err_NONE) return false;
  for (int i = 0; i < frames; ++i) {
    frame->preRender = PF_PreRenderOutput{};
    frame->layerCheckouts.clear();
    const long long faults = ProcessPageFaults();
    const auto start = Clock::now();
    if (host.PreRender(*frame) != PF_Err_NONE || host.Render(*frame) != PF_Err_NONE) return false;
    sample.ms.push_back(std::chrono::duration<double, std::milli>(Clock::now() - start).count());
    sample.faults += ProcessPageFaults() - faults;
    ++sample.frames;
  }
  return true;
}

double Median(std::vector<double> values) {
  std::sort(values.begin(), values.end());
  return values.empty() ? 0.0 : values[values.size() / 2];
}

// What the allocator alone costs for a canvas of this size (four floats a pixel): a calloc
// and a free, untouched in between; the median of several.
void* volatile allocated = nullptr;  // keeps the compiler from dropping a calloc freed unused

double CallocFreeMs(A_long width, A_long height) {
  std::vector<double> ms;
  for (int i = 0; i < 9; ++i) {
    const auto start = Clock::now();
    allocated = std::calloc(static_cast<size_t>(width) * height, 4 * sizeof(float));
    std::free(allocated);
    ms.push_back(std::chrono::duration<double, std::milli>(Clock::now() - start).count());
  }
  return Median(ms);
}

int ArgOr(int argc, char** argv, int index, int fallback) {
  if (argc <= index) return fallback;
  const int value = std::atoi(argv[index]);
  return value > 0 ? value : fallback;
}

}  // namespace

int main(int argc, char** argv) {
  const int rounds = ArgOr(argc, argv, 1, 5);
  const int frames = ArgOr(argc, argv, 2, 3);
  PrintPlatform();
  kelvrix::BlockSearchSetup setup = kelvrix::ProductionSearchSetup();
  setup.source = kelvrix::BlockSource{NoBlock, std::free};
  kelvrix::ScopedFrameSearchSetupForTesting noMemory(setup);
  std::printf("card frames: median of %d per size (%d rounds of %d, sizes alternating)\n",
              rounds * frames, rounds, frames);
  std::printf("%-7s %22s %22s %12s\n", "depth", "1920x1080 ms (faults)", "3840x2160 ms (faults)",
              "4K / 1080p");
  for (int depth : {8, 16, 32}) {
    Sample hd, uhd;
    for (int round = 0; round < rounds; ++round) {
      if (!TimeCards(depth, 1920, 1080, frames, hd) || !TimeCards(depth, 3840, 2160, frames, uhd)) {
        std::fprintf(stderr, "a card frame failed to render at %d bpc\n", depth);
        return 1;
      }
    }
    const double hdMs = Median(hd.ms);
    const double uhdMs = Median(uhd.ms);
    std::printf("%2d bpc  %14.2f (%5lld) %14.2f (%5lld) %12.2f\n", depth, hdMs,
                hd.faults / hd.frames, uhdMs, uhd.faults / uhd.frames,
                hdMs > 0.0 ? uhdMs / hdMs : 0.0);
  }
  std::printf("a canvas's calloc and free alone: %.3f ms at 1920x1080, %.3f ms at 3840x2160\n",
              CallocFreeMs(1920, 1080), CallocFreeMs(3840, 2160));
  return 0;
}
