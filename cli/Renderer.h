// The renderer: one simulated host with the plug-in module loaded and the effect applied,
// driven frame by frame through smart pre-render and smart render, as a compositor does.
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>

#include "cli/FrameCache.h"
#include "cli/RenderOptions.h"
#include "cli/RgbaImage.h"
#include "hostapi/HostApi.h"

namespace kelvrix::host {
class SimHost;
}

namespace kelvrix::cli {

struct FrameReport {
  int index = 0;
  int total = 0;
  double size = 0.0;         // the Size the frame was rendered with
  bool memoryShown = false;  // false: the message card, or nothing, was shown
  double searchMs = 0.0;     // from smart render's start to the effect's last abort check
  int searchBlocks = 0;      // abort checks during smart render: one per block tried (and one
                             // more when a spent budget ends the search)
  size_t searchBytes = 0;    // what those blocks held together until the frame was done
  double frameMs = 0.0;      // pre-render, render and copying the frame out
  std::string path;          // the file written, if any
};

struct RenderSummary {
  int frames = 0;
  int memoryFrames = 0;
  size_t largestSearchBytes = 0;
  double seconds = 0.0;
  double FramesPerSecond() const { return seconds > 0.0 ? frames / seconds : 0.0; }
};

class RenderObserver {
 public:
  virtual ~RenderObserver() = default;
  virtual void OnStart(int /*totalFrames*/) {}
  virtual void OnFrame(const FrameReport& /*report*/) {}
  virtual void OnFinish(const RenderSummary& /*summary*/) {}
};

PF_PixelFormat PixelFormatForDepth(int bitsPerChannel);

// The size of the blocks the effect searches through at this Size and style: its memory
// image. Every block a search tries stays allocated until the frame is done.
size_t SearchBlockBytes(double size, int styleDepth, A_long width, A_long height);

// From the render's start to the effect's last abort check (0 with no blocks tried): the
// search, which asks between blocks. Times are steady-clock nanoseconds since its epoch.
double SearchMilliseconds(int blocks, long long lastAbortNs, long long renderStartNs);
const char* StyleName(int styleDepth);

// The layer a session renders over, as straight RGBA: `input` scaled to the frame, or the
// built-in picture when it is null.
RgbaImage InputPictureFor(const RgbaImage* input, int width, int height);

// The layer in a host's layout, `frameBytes` long, as the cache keeps it like a decoded layer.
// On a miss it is made as in a compositor's pipeline: `input` (or the built-in picture) in a
// float working picture, which `encode` turns into the host's bytes. The working buffers go back
// to the heap before the render, which then holds picture data for the effect to find. Null
// when the cache cannot hold it.
using LayerEncoder = std::function<std::vector<uint8_t>(const RgbaImage& working)>;
const uint8_t* CachedLayer(FrameCache& cache, const std::string& key, const RgbaImage* input,
                           int width, int height, size_t frameBytes, const LayerEncoder& encode);

// One edition's effect applied in its host at one project depth and style.
class FrameSession {
 public:
  virtual ~FrameSession() = default;
  // Renders frame `index` of `total`, keeps a copy in the cache and returns the picture.
  virtual RgbaImage Render(int index, int total, FrameReport* report) = 0;
};

// The session for options.modulePath: the OpenFX host for a .ofx.bundle folder or a .ofx
// binary, the After Effects host for anything else. Only one may exist at a time.
std::unique_ptr<FrameSession> OpenSession(const RenderOptions& options, int projectDepth,
                                          int styleDepth, FrameCache& cache,
                                          const RgbaImage* input);

// A host with the After Effects edition applied at one project depth and style. Only one may
// exist at a time (the simulated host is process-wide).
class EffectSession : public FrameSession {
 public:
  // Loads the module, registers it, runs global setup and parameter setup and sets the
  // parameters; throws CliError naming what failed. `input` null: the built-in picture.
  EffectSession(const RenderOptions& options, int projectDepth, int styleDepth, FrameCache& cache,
                const RgbaImage* input);
  ~EffectSession() override;
  EffectSession(const EffectSession&) = delete;
  EffectSession& operator=(const EffectSession&) = delete;

  RgbaImage Render(int index, int total, FrameReport* report) override;

 private:
  void PaintInput(PF_EffectWorld& world, PF_PixelFormat format);

  const RenderOptions& options_;
  PF_PixelFormat format_;
  int styleDepth_;
  FrameCache& cache_;
  const RgbaImage* input_;
  std::string inputKey_;
  std::unique_ptr<host::SimHost> host_;
};

// Renders options.frames frames to options.outputPattern.
RenderSummary RenderSequence(const RenderOptions& options, RenderObserver& observer);

}  // namespace kelvrix::cli
