// kelvrix-render through the OpenFX edition: the bundle loaded into the simulated OpenFX host,
// an instance in the filter context over the same layer, rendered frame by frame.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "cli/Renderer.h"

namespace kelvrix::ofxhost {
class HostImage;
class SimOfxHost;
}  // namespace kelvrix::ofxhost

namespace kelvrix::cli {

// True for a path naming a .ofx.bundle folder or a .ofx binary.
bool IsOfxModule(const std::string& path);

class OfxSession : public FrameSession {
 public:
  // Loads the bundle, describes the effect, creates an instance and sets Style; throws
  // CliError naming what failed.
  OfxSession(const RenderOptions& options, int projectDepth, int styleDepth, FrameCache& cache,
             const RgbaImage* input);
  ~OfxSession() override;
  OfxSession(const OfxSession&) = delete;
  OfxSession& operator=(const OfxSession&) = delete;

  RgbaImage Render(int index, int total, FrameReport* report) override;

 private:
  void PaintSource(ofxhost::HostImage& image);

  const RenderOptions& options_;
  PF_PixelFormat format_;
  int styleDepth_;
  FrameCache& cache_;
  const RgbaImage* input_;           // the user's layer, or null for the built-in picture
  std::vector<uint8_t> layerWorld_;  // the layer at the project's depth, for the memory test
  std::unique_ptr<ofxhost::SimOfxHost> host_;
};

}  // namespace kelvrix::cli
