// The simulated OpenFX host: plays Resolve, Nuke or Natron for an image-effect binary. It
// sends the actions the way those hosts do (Load and Describe around an Unload while
// scanning, DescribeInContext, CreateInstance, clip preferences, regions of definition,
// Render with windows, scales and several render threads), serves the property, parameter,
// image-effect, multithread (the After Effects host's worker pool: real threads, shuffled order),
// memory and message suites, and counts what it hands out so a test sees what the effect did not
// give back. Suites can be left out, the multithread suite included, images can come top-down with
// negative row bytes, and the render can be aborted.
//
// One SimOfxHost is active at a time in a process: suite functions carry no host reference.
#pragma once

#include <atomic>
#include <chrono>
#include <functional>
#include <memory>
#include <mutex>
#include <set>
#include <string>
#include <vector>

#include "host/WorkerPool.h"
#include "ofxapi/OfxApi.h"
#include "ofxhost/HostImage.h"
#include "ofxhost/OfxModule.h"
#include "ofxhost/OfxObjects.h"

namespace kelvrix::ofxhost {

// Fills the source image of a render (its bounds are the frame at the render's scale).
using SourceFill = std::function<void(HostImage&)>;

struct OfxHostOptions {
  int width = 320;  // the project's frame, canonical = pixels at scale 1
  int height = 180;
  int originX = 0;  // the frame's bottom-left corner, canonical (a format with an offset)
  int originY = 0;
  std::string depth = kOfxBitDepthByte;  // the source clip's depth
  std::string components = kOfxImageComponentRGBA;
  unsigned threads = 4;                 // of the multithread suite; 0: the host has none
  std::set<std::string> missingSuites;  // suite names fetchSuite answers with NULL
  bool topDown = false;                 // images stored top-down, negative row bytes
  int rowPadding = 0;                   // extra bytes at the end of every image row
  bool sourceConnected = true;          // false: the source clip has no images
  bool imageScaleProps = true;          // false: images lack render scale and field, as in Resolve
  bool imageRegionOfDefinition = true;  // false: images lack their own region of definition
  bool callOfxSetHost = true;           // the reference host never calls it
  // multiThread call number `multiThreadFailCall` (from 0, over the host's life; -1: none)
  // launches only its first `multiThreadRunsBeforeFailing` threads (0: none) and answers
  // kOfxStatFailed, as a host that could not launch them all.
  int multiThreadFailCall = -1;
  unsigned multiThreadRunsBeforeFailing = 0;
  SourceFill sourceFill;  // null: an opaque pattern
};

// The default source: opaque, every channel a different ramp, in the image's depth.
void FillPattern(HostImage& image);

class SimOfxHost {
 public:
  SimOfxHost(OfxModule module, OfxHostOptions options = {});
  ~SimOfxHost();
  SimOfxHost(const SimOfxHost&) = delete;
  SimOfxHost& operator=(const SimOfxHost&) = delete;

  OfxPlugin* plugin() const { return plugin_; }
  OfxHostOptions& options() { return options_; }

  // Actions. Load also hands over the host record (OfxSetHost when asked, then setHost).
  OfxStatus Load();
  OfxStatus Describe();
  OfxStatus DescribeInContext(const char* context);
  OfxStatus Unload();
  OfxStatus CreateInstance(const char* context);
  OfxStatus DestroyInstance();
  OfxStatus ClipPreferences(PropertySet* outArgs);
  OfxStatus RegionOfDefinition(double time, double scale, OfxRectD* rod);
  // A raw action on the instance (or null), for actions the host has no helper for.
  OfxStatus Action(const char* action, OfxPropertySetHandle inArgs, OfxPropertySetHandle outArgs);

  struct RenderRequest {
    double time = 0;
    double scale = 1.0;
    OfxRectI window{0, 0, 0, 0};  // empty: the whole frame at that scale
    bool emptyWindow = false;     // send `window` even when it is empty
    bool tile = false;            // output image holds only the window (else the frame)
  };
  struct RenderResult {
    OfxStatus status = kOfxStatOK;
    HostImage output;  // as the effect left it; unwritten bytes stay 0xCD
    HostImage source;
    double actionSeconds = 0;              // the Render action alone, without making the images
    long long actionStartNanoseconds = 0;  // steady clock, as LastAbortNanoseconds
  };
  // Thread-safe: renders may run on several threads at once.
  RenderResult Render(const RenderRequest& request);
  // Hands a render's images back for the next render of the same shape, as a host reuses
  // its buffers: that render's output keeps what this one left, its source is not redrawn.
  void GiveBack(RenderResult&& result);
  // The frame in pixels at a render scale.
  OfxRectI FrameAt(double scale) const;
  // The source's region of definition: the frame in canonical coordinates.
  OfxRectD CanonicalFrame() const;

  // Parameter values of the instance, as a user sets them.
  bool SetDouble(const char* name, double value);
  bool SetInt(const char* name, int value);

  Effect& descriptor() { return descriptor_; }
  Effect* contextDescriptor() { return contextDescriptor_.get(); }
  Effect* instance() { return instance_.get(); }
  PropertySet& hostProps() { return hostProps_; }

  // Bookkeeping.
  void ArmAbort(bool on) { abort_ = on; }
  int AbortCalls() const { return abortCalls_; }
  // When the effect last asked whether to abort: steady-clock nanoseconds since its epoch.
  long long LastAbortNanoseconds() const { return lastAbortNs_.load(); }
  int LiveImages() const;
  int ImagesFetched() const { return imagesFetched_; }
  int LiveMemory() const { return liveMemory_; }
  int SpawnCalls() const { return spawnCalls_; }
  std::vector<std::string> Messages() const;

  // For the suites.
  struct RenderState {
    double scale = 1;
    HostImage* source = nullptr;
    HostImage* output = nullptr;
  };
  static SimOfxHost* Current();
  const void* FetchSuite(const char* name, int version) const;
  OfxStatus GetImage(Clip& clip, OfxPropertySetHandle* image);
  OfxStatus ReleaseImage(OfxPropertySetHandle image);
  int Abort();
  void Said(std::string text);
  void CountMemory(int delta) { liveMemory_ += delta; }
  // Counts a multiThread call; returns how many of its n threads it may launch.
  unsigned LaunchableThreads(unsigned n);
  host::WorkerPool& Workers() { return *workers_; }

 private:
  OfxStatus Call(const char* action, const void* handle, OfxPropertySetHandle in,
                 OfxPropertySetHandle out);
  void SeedHostProps();
  void SeedInstance(const char* context);
  void FillImageProps(PropertySet& props, HostImage& image, const RenderState& state);
  bool TakeSpare(const OfxRectI& outputBounds, RenderResult* result);

  OfxModule module_;
  OfxHostOptions options_;
  std::unique_ptr<host::WorkerPool> workers_;  // the multithread suite's threads
  OfxPlugin* plugin_ = nullptr;
  PropertySet hostProps_;
  OfxHost hostRecord_{};
  Effect descriptor_;
  std::unique_ptr<Effect> contextDescriptor_;
  std::unique_ptr<Effect> instance_;

  mutable std::mutex mutex_;  // images and messages
  std::set<PropertySet*> liveImages_;
  std::vector<std::unique_ptr<PropertySet>> imageProps_;
  std::vector<std::string> messages_;
  std::unique_ptr<RenderResult> spare_;  // images handed back for reuse
  std::atomic<int> imagesFetched_{0};
  std::atomic<int> liveMemory_{0};
  std::atomic<int> spawnCalls_{0};
  std::atomic<int> abortCalls_{0};
  std::atomic<long long> lastAbortNs_{0};
  std::atomic<bool> abort_{false};
  std::atomic<int> nextImageId_{0};
};

}  // namespace kelvrix::ofxhost
