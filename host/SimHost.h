// The simulated host: plays After Effects (or, on request, Premiere Pro) for the plug-in.
// It sends commands through the plug-in's entry point exactly as a host does, serves the
// suites and callbacks the effect uses, keeps global data between commands, renders frames
// through smart pre-render and smart render, and counts every resource it hands out so a
// test can tell whether the effect gave everything back. Failures can be injected into any
// host function by name (Faults()), suites can be made missing (Suites()), and the render
// can be aborted (ArmAbort).
//
// One SimHost is active at a time in a process: suite functions carry no host reference.
#pragma once

#include <atomic>
#include <functional>
#include <map>
#include <memory>
#include <mutex>
#include <set>
#include <string>
#include <vector>

#include "host/FaultSwitches.h"
#include "host/HandleStore.h"
#include "host/PluginModule.h"
#include "host/SuiteRegistry.h"
#include "host/WorkerPool.h"
#include "host/WorldStore.h"
#include "hostapi/HostApi.h"

namespace kelvrix::host {

struct HostOptions {
  A_long applId = kAppIdAfterEffects;  // kAppIdPremierePro plays Premiere Pro
  unsigned threads = 4;                // worker threads of the iterate suites
  A_long width = 1920;                 // frame size
  A_long height = 1080;
  PF_PixelFormat format = PF_PixelFormat_ARGB32;  // the project's depth
  A_long rowPaddingBytes = 0;                     // extra bytes per row of every frame world
  A_u_long timeScale = 30;                        // one time unit per frame at 30 fps
  // Worlds the effect makes without clearing start as a 0xCD pattern, so reads of pixels
  // nobody wrote stand out. Benchmarks turn it off: a real host does not touch them.
  bool poisonNewWorlds = true;
};

// What the registration entry point reported.
struct Registration {
  PF_Err result = PF_Err_NONE;
  int callbackCalls = 0;
  bool dataPointerPassedOn = false;
  std::string name, matchName, category, entryPoint;
  A_long kind = 0, apiMajor = 0, apiMinor = 0, reservedInfo = 0;
};

class SimHost;

// One frame's journey through smart pre-render and smart render.
class Frame {
 public:
  ~Frame();
  Frame(const Frame&) = delete;
  Frame& operator=(const Frame&) = delete;

  A_long time = 0;
  PF_RenderRequest request{};                    // what the host asks of the effect
  PF_PreRenderOutput preRender{};                // as the effect left it (rects, pre-render data)
  PF_EffectWorld input{};                        // the layer's pixels for this frame
  PF_EffectWorld output{};                       // what the effect rendered
  std::vector<PF_RenderRequest> layerCheckouts;  // requests made through checkout_layer
  int pixelCheckouts = 0;                        // checkout_layer_pixels calls
  int pixelCheckins = 0;
  int outputCheckouts = 0;
  int preRenderDataFrees = 0;  // calls of the effect's delete callback for this frame

 private:
  friend class SimHost;
  explicit Frame(SimHost* host) : host_(host) {}
  void FreePreRenderData();
  SimHost* host_;
  bool worldsMade_ = false;
};

class SimHost {
 public:
  explicit SimHost(PluginModule plugin, HostOptions options = {});
  ~SimHost();
  SimHost(const SimHost&) = delete;
  SimHost& operator=(const SimHost&) = delete;

  // The process's active host (the one the suite functions serve).
  static SimHost* Active();

  const HostOptions& Options() const { return options_; }
  Registration Register(A_Err callbackResult = A_Err_NONE);

  // ---- Commands --------------------------------------------------------------------------
  // The records of one command as the host fills them before the call.
  struct CommandRecords {
    PF_InData in_data{};
    PF_OutData out_data{};
    std::vector<PF_ParamDef*> params;  // null-terminated, params[0] is the input layer
  };
  CommandRecords Prepare();
  // Calls the plug-in's EffectMain with the records and absorbs what a host keeps
  // (global data after global setup, the parameter count after parameter setup).
  PF_Err Send(PF_Cmd cmd, CommandRecords& records, void* extra = nullptr,
              PF_LayerDef* output = nullptr, Frame* frame = nullptr);
  PF_Err Command(PF_Cmd cmd, void* extra = nullptr);
  // Runs `body` as if it were a handler of a command in flight: with the records the host
  // fills and a live effect_ref, so the host's callbacks and suites answer it.
  PF_Err WithinCommand(const std::function<PF_Err(PF_InData*, PF_OutData*)>& body,
                       Frame* frame = nullptr);

  PF_Err GlobalSetup();
  PF_Err About(std::string* message);
  PF_Err ParamsSetup();
  PF_Err UserChangedParam(PF_ParamIndex index);

  const PF_OutData& LastOutData() const { return lastOut_; }
  PF_Handle GlobalData() const { return globalData_; }

  // ---- Frames ----------------------------------------------------------------------------
  // A frame at `time` asking for the whole output.
  std::unique_ptr<Frame> NewFrame(A_long time = 0);
  PF_Err PreRender(Frame& frame);
  // Renders a pre-rendered frame, then frees its pre-render data as a host does.
  PF_Err Render(Frame& frame);
  // Pre-render and render; the pre-render data is freed whatever happens.
  PF_Err RenderFrame(Frame& frame);
  // Fills a frame's input layer; default: a smooth test picture.
  void SetInputPainter(std::function<void(PF_EffectWorld&, PF_PixelFormat)> painter);

  // ---- Parameters ------------------------------------------------------------------------
  std::vector<PF_ParamDef>& Params() { return params_; }
  void AnimateParam(PF_ParamIndex index, std::function<double(A_long time)> value);
  int LiveParamCheckouts() const { return paramCheckouts_.load(); }

  // ---- Inspection and fault injection ----------------------------------------------------
  SuiteRegistry& Suites() { return suites_; }
  FaultSwitches& Faults() { return faults_; }
  HandleStore& Handles() { return handles_; }
  WorldStore& Worlds() { return worlds_; }
  WorkerPool& Pool() { return pool_; }

  // The effect's abort check returns PF_Interrupt_CANCEL from poll afterPolls + 1 on.
  // ArmIterateAbort makes the iterate suites stop with that code after that many items.
  void ArmAbort(int afterPolls);
  void ArmIterateAbort(int afterItems);
  bool AbortFired() const { return abortFired_.load() || iterateAbortFired_.load(); }
  int AbortPolls() const { return abortPolls_.load(); }
  // When the effect last called the abort check, in nanoseconds of the steady clock (0: never).
  // The block search checks once per block it tries, so a host can time a frame's search.
  long long LastAbortPollNanoseconds() const { return lastAbortPollNs_.load(); }

  std::vector<std::string> PixelFormatLog() const;  // "clear" and "add 0x........"
  std::vector<std::string> RegisteredPlugins() const;
  size_t LiveEffectRefs() const;
  int EffectRefsIssued() const { return effectRefsIssued_.load(); }

  // Internal: services the static suite functions call.
  struct CallContext {
    SimHost* host;
    Frame* frame;
  };
  static CallContext* ContextOf(PF_ProgPtr effect_ref);
  PF_Err AbortPoll();
  bool IterationShouldStop();
  A_long NextPluginId(const char* name);
  AEGP_EffectRefH NewEffectRef();
  A_Err DisposeEffectRef(AEGP_EffectRefH ref);
  void LogPixelFormat(std::string entry);
  PF_Err CheckoutParam(CallContext* context, PF_ParamIndex index, A_long time, PF_ParamDef* def);
  PF_Err CheckinParam(PF_ParamDef* def);
  PF_Err AddParam(PF_ParamIndex index, const PF_ParamDef* def);

 private:
  friend class Frame;
  void RegisterSuites();
  void BuildCallbacks();
  void MakeFrameWorlds(Frame& frame);
  void Absorb(PF_Cmd cmd, const PF_OutData& out);

  PluginModule plugin_;
  HostOptions options_;
  SuiteRegistry suites_;
  FaultSwitches faults_;
  HandleStore handles_;
  WorldStore worlds_;
  WorkerPool pool_;
  SPBasicSuite basic_{};
  PF_UtilCallbacks utils_{};
  PF_InteractCallbacks inter_{};

  PF_Handle globalData_ = nullptr;
  PF_OutData lastOut_{};
  A_long numParams_ = 1;
  std::vector<PF_ParamDef> params_;
  std::map<PF_ParamIndex, std::function<double(A_long)>> animations_;
  std::function<void(PF_EffectWorld&, PF_PixelFormat)> inputPainter_;

  std::atomic<int> abortAfterPolls_{-1};
  std::atomic<int> abortAfterItems_{-1};
  std::atomic<int> abortPolls_{0};
  std::atomic<int> iterateItems_{0};
  std::atomic<bool> abortFired_{false};
  std::atomic<bool> iterateAbortFired_{false};
  std::atomic<long long> lastAbortPollNs_{0};
  std::atomic<int> paramCheckouts_{0};
  std::atomic<int> effectRefsIssued_{0};

  mutable std::mutex stateMutex_;
  std::vector<std::string> pixelFormatLog_;
  std::vector<std::string> registeredPlugins_;
  std::set<AEGP_EffectRefH> liveEffectRefs_;
  A_long nextPluginId_ = 7;
};

}  // namespace kelvrix::host
