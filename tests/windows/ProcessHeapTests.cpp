// The heap the shipped kelvrix.aex shows: the process heap, which a host built with Microsoft's
// current C runtime allocates from, not the private heap that the C runtime this build links may
// keep. A block given back to the process heap just before a frame is what that frame's search is
// handed; one given back to the C runtime is not.
#define WIN32_LEAN_AND_MEAN
#include <gtest/gtest.h>
#include <windows.h>

#include <cstdlib>
#include <cstring>

#include "host/IterateSuites.h"
#include "host/PluginModule.h"
#include "host/SimHost.h"
#include "render/NativeFill.h"

using kelvrix::host::PluginModule;
using kelvrix::host::SimHost;

namespace {

constexpr A_long kWidth = 160;
constexpr A_long kHeight = 90;
constexpr double kSize = 40.0;

void* ProcessHeapAllocate(size_t bytes) { return HeapAlloc(GetProcessHeap(), 0, bytes); }
void ProcessHeapFree(void* block) { HeapFree(GetProcessHeap(), 0, block); }

// Renders one 8 bpc Zesty frame through the real module right after blocks of exactly the
// search's size, filled with `pattern`, went back through `release`. Returns the share of the
// frame's red, green and blue channels that read as the pattern, give or take the noise (one
// step either way).
double ShareShowing(uint8_t pattern, void* (*allocate)(size_t), void (*release)(void*)) {
  kelvrix::host::HostOptions options;
  options.width = kWidth;
  options.height = kHeight;
  SimHost host(PluginModule::Load(KELVRIX_MODULE_PATH), options);
  EXPECT_EQ(host.Register().result, PF_Err_NONE);
  EXPECT_EQ(host.GlobalSetup(), PF_Err_NONE);
  EXPECT_EQ(host.ParamsSetup(), PF_Err_NONE);
  host.Params()[1].u.fs_d.value = kSize;
  for (int box = 3; box <= 5; ++box) host.Params()[box].u.bd.value = box == 3;
  const size_t bytes = kelvrix::ImageSizeFor(40, kWidth, kHeight, 1).blockBytes;
  auto frame = host.NewFrame();
  // Several, so that another allocation of the size in between (the loader's, a worker thread's)
  // cannot take the only one.
  void* blocks[16] = {};
  for (void*& block : blocks) {
    block = allocate(bytes);
    if (block != nullptr) std::memset(block, pattern, bytes);
  }
  for (void* block : blocks) release(block);
  EXPECT_EQ(host.RenderFrame(*frame), PF_Err_NONE);
  size_t showing = 0;
  const PF_EffectWorld& out = frame->output;
  for (A_long y = 0; y < out.height; ++y) {
    for (A_long x = 0; x < out.width; ++x) {
      const PF_Pixel8& p = *kelvrix::host::PixelAt<PF_Pixel8>(out, x, y);
      for (const int c : {p.red, p.green, p.blue}) showing += c + 1 >= pattern && c <= pattern + 1;
    }
  }
  return static_cast<double>(showing) / (3.0 * out.width * out.height);
}

}  // namespace

TEST(ProcessHeap, ABlockFreedToTheProcessHeapIsInThePictureOneFreedByTheCRuntimeIsNot) {
  EXPECT_GT(ShareShowing(0xA5, ProcessHeapAllocate, ProcessHeapFree), 0.9);
  EXPECT_LT(ShareShowing(0x5A, std::malloc, std::free), 0.1);
}
