#include "host/SimHost.h"

#include <algorithm>
#include <chrono>
#include <cstring>
#include <stdexcept>

#include "host/DebuggerLog.h"
#include "host/InputPicture.h"

namespace kelvrix::host {

extern const PF_PreRenderCallbacks kPreRenderCallbacks;
extern const PF_SmartRenderCallbacks kSmartRenderCallbacks;

namespace {

std::atomic<SimHost*> gActiveHost{nullptr};

// The calls in flight: effect_ref points at one of them for the length of its command.
std::mutex gContextMutex;
std::set<SimHost::CallContext*> gLiveContexts;

class LiveContext {
 public:
  LiveContext(SimHost* host, Frame* frame) : context_{host, frame} {
    std::lock_guard<std::mutex> lock(gContextMutex);
    gLiveContexts.insert(&context_);
  }
  ~LiveContext() {
    std::lock_guard<std::mutex> lock(gContextMutex);
    gLiveContexts.erase(&context_);
  }
  PF_ProgPtr EffectRef() { return reinterpret_cast<PF_ProgPtr>(&context_); }

 private:
  SimHost::CallContext context_;
};

short BitDepth(PF_PixelFormat format) {
  switch (format) {
    case PF_PixelFormat_ARGB64:
      return 16;
    case PF_PixelFormat_ARGB128:
      return 32;
    default:
      return 8;
  }
}

}  // namespace

SimHost::SimHost(PluginModule plugin, HostOptions options)
    : plugin_(std::move(plugin)), options_(options), pool_(options.threads) {
  SimHost* expected = nullptr;
  if (!gActiveHost.compare_exchange_strong(expected, this)) {
    throw std::logic_error("only one simulated host may be active at a time");
  }
  RegisterSuites();
  BuildCallbacks();
  inputPainter_ = PaintInputPicture;
  PF_ParamDef layer{};
  layer.param_type = PF_Param_LAYER;
  layer.u.ld.dephault = PF_LayerDefault_MYSELF;
  params_.push_back(layer);
}

SimHost::~SimHost() {
  if (globalData_ != nullptr) handles_.Dispose(globalData_);
  for (AEGP_EffectRefH ref : liveEffectRefs_) delete reinterpret_cast<int*>(ref);
  gActiveHost.store(nullptr);
}

SimHost* SimHost::Active() { return gActiveHost.load(); }

SimHost::CallContext* SimHost::ContextOf(PF_ProgPtr effect_ref) {
  auto* context = reinterpret_cast<CallContext*>(effect_ref);
  std::lock_guard<std::mutex> lock(gContextMutex);
  return gLiveContexts.count(context) != 0 ? context : nullptr;
}

Registration SimHost::Register(A_Err callbackResult) {
  static thread_local Registration* current = nullptr;
  static thread_local A_Err answer = A_Err_NONE;
  Registration registration;
  current = &registration;
  answer = callbackResult;
  auto* token = reinterpret_cast<PF_PluginDataPtr>(&registration);
  PF_PluginDataCB callback = [](PF_PluginDataPtr inPtr, const A_u_char* name,
                                const A_u_char* matchName, const A_u_char* category,
                                const A_u_char* entryPoint, A_long kind, A_long major, A_long minor,
                                A_long reserved) -> A_Err {
    auto text = [](const A_u_char* s) {
      return s == nullptr ? std::string() : std::string(reinterpret_cast<const char*>(s));
    };
    Registration& r = *current;
    ++r.callbackCalls;
    r.dataPointerPassedOn = inPtr == reinterpret_cast<PF_PluginDataPtr>(current);
    r.name = text(name);
    r.matchName = text(matchName);
    r.category = text(category);
    r.entryPoint = text(entryPoint);
    r.kind = kind;
    r.apiMajor = major;
    r.apiMinor = minor;
    r.reservedInfo = reserved;
    return answer;
  };
  registration.result = plugin_.Registration()(token, callback, &basic_, "After Effects", "23.4.0");
  current = nullptr;
  return registration;
}

// ---- Commands ------------------------------------------------------------------------------

SimHost::CommandRecords SimHost::Prepare() {
  CommandRecords records;
  PF_InData& in = records.in_data;
  in.inter = inter_;
  in.utils = &utils_;
  in.quality = 1;
  in.version = PF_SpecVersion{static_cast<A_short>(PF_AE_PLUG_IN_VERSION),
                              static_cast<A_short>(PF_AE_PLUG_IN_SUBVERS)};
  in.appl_id = options_.applId;
  in.num_params = numParams_;
  in.time_step = 1;
  in.local_time_step = 1;
  in.total_time = 300;
  in.time_scale = options_.timeScale;
  in.width = options_.width;
  in.height = options_.height;
  in.extent_hint = PF_LRect{0, 0, options_.width, options_.height};
  in.downsample_x = in.downsample_y = in.pixel_aspect_ratio = PF_RationalScale{1, 1};
  in.global_data = globalData_;
  in.pica_basicP = &basic_;
  records.out_data.global_data = globalData_;
  records.out_data.num_params = numParams_;
  records.out_data.width = options_.width;
  records.out_data.height = options_.height;
  for (auto& param : params_) records.params.push_back(&param);
  records.params.push_back(nullptr);
  return records;
}

PF_Err SimHost::Send(PF_Cmd cmd, CommandRecords& records, void* extra, PF_LayerDef* output,
                     Frame* frame) {
  LiveContext context(this, frame);
  records.in_data.effect_ref = context.EffectRef();
  const PF_Err err = plugin_.EffectMain()(cmd, &records.in_data, &records.out_data,
                                          records.params.data(), output, extra);
  Absorb(cmd, records.out_data);
  return err;
}

void SimHost::Absorb(PF_Cmd cmd, const PF_OutData& out) {
  std::lock_guard<std::mutex> lock(stateMutex_);
  lastOut_ = out;
  if (cmd == PF_Cmd_GLOBAL_SETUP && out.global_data != nullptr) globalData_ = out.global_data;
  if (cmd == PF_Cmd_PARAMS_SETUP && out.num_params > 0) numParams_ = out.num_params;
}

PF_Err SimHost::Command(PF_Cmd cmd, void* extra) {
  CommandRecords records = Prepare();
  return Send(cmd, records, extra);
}

PF_Err SimHost::WithinCommand(const std::function<PF_Err(PF_InData*, PF_OutData*)>& body,
                              Frame* frame) {
  CommandRecords records = Prepare();
  LiveContext context(this, frame);
  records.in_data.effect_ref = context.EffectRef();
  const PF_Err err = body(&records.in_data, &records.out_data);
  std::lock_guard<std::mutex> lock(stateMutex_);
  lastOut_ = records.out_data;
  return err;
}

PF_Err SimHost::GlobalSetup() { return Command(PF_Cmd_GLOBAL_SETUP); }

PF_Err SimHost::About(std::string* message) {
  const PF_Err err = Command(PF_Cmd_ABOUT);
  if (message != nullptr) *message = lastOut_.return_msg;
  return err;
}

PF_Err SimHost::ParamsSetup() {
  params_.resize(1);  // a fresh instance: only the input layer
  return Command(PF_Cmd_PARAMS_SETUP);
}

PF_Err SimHost::UserChangedParam(PF_ParamIndex index) {
  PF_UserChangedParamExtra extra{index};
  for (auto& param : params_) param.uu.change_flags = PF_ChangeFlag_NONE;
  return Command(PF_Cmd_USER_CHANGED_PARAM, &extra);
}

// ---- Parameters ----------------------------------------------------------------------------

PF_Err SimHost::AddParam(PF_ParamIndex index, const PF_ParamDef* def) {
  if (index != -1) return PF_Err_INVALID_INDEX;  // the effect only ever appends
  std::lock_guard<std::mutex> lock(stateMutex_);
  params_.push_back(*def);
  return PF_Err_NONE;
}

void SimHost::AnimateParam(PF_ParamIndex index, std::function<double(A_long)> value) {
  animations_[index] = std::move(value);
}

PF_Err SimHost::CheckoutParam(CallContext* context, PF_ParamIndex index, A_long time,
                              PF_ParamDef* def) {
  std::lock_guard<std::mutex> lock(stateMutex_);
  if (index < 0 || static_cast<size_t>(index) >= params_.size()) return PF_Err_INVALID_INDEX;
  *def = params_[static_cast<size_t>(index)];
  if (index == 0 && context->frame != nullptr) def->u.ld = context->frame->input;
  auto animation = animations_.find(index);
  if (animation != animations_.end()) {
    const double v = animation->second(time);
    switch (def->param_type) {
      case PF_Param_FLOAT_SLIDER:
        def->u.fs_d.value = v;
        break;
      case PF_Param_CHECKBOX:
        def->u.bd.value = static_cast<PF_ParamValue>(v);
        break;
      default:
        break;
    }
  }
  ++paramCheckouts_;
  return PF_Err_NONE;
}

PF_Err SimHost::CheckinParam(PF_ParamDef* def) {
  if (def == nullptr || paramCheckouts_.load() == 0) return PF_Err_BAD_CALLBACK_PARAM;
  --paramCheckouts_;
  return PF_Err_NONE;
}

// ---- Frames --------------------------------------------------------------------------------

Frame::~Frame() {
  FreePreRenderData();  // a frame dropped after pre-render
  if (worldsMade_) {
    host_->Worlds().Dispose(&input);
    host_->Worlds().Dispose(&output);
  }
}

void Frame::FreePreRenderData() {
  if (preRender.pre_render_data != nullptr && preRender.delete_pre_render_data_func != nullptr) {
    preRender.delete_pre_render_data_func(preRender.pre_render_data);
    ++preRenderDataFrees;
  }
  preRender.pre_render_data = nullptr;
  preRender.delete_pre_render_data_func = nullptr;
}

std::unique_ptr<Frame> SimHost::NewFrame(A_long time) {
  std::unique_ptr<Frame> frame(new Frame(this));
  frame->time = time;
  frame->request.rect = PF_LRect{0, 0, options_.width, options_.height};
  frame->request.channel_mask = 15;
  return frame;
}

void SimHost::SetInputPainter(std::function<void(PF_EffectWorld&, PF_PixelFormat)> painter) {
  inputPainter_ = std::move(painter);
}

void SimHost::MakeFrameWorlds(Frame& frame) {
  if (frame.worldsMade_) return;
  WorldSpec shape;
  shape.width = options_.width;
  shape.height = options_.height;
  shape.format = options_.format;
  shape.rowPaddingBytes = options_.rowPaddingBytes;
  if (worlds_.Create(shape, &frame.input) != PF_Err_NONE ||
      worlds_.Create(shape, &frame.output) != PF_Err_NONE) {
    throw std::runtime_error("the simulated host cannot allocate the frame's worlds");
  }
  frame.worldsMade_ = true;
  if (inputPainter_) inputPainter_(frame.input, options_.format);
}

PF_Err SimHost::PreRender(Frame& frame) {
  MakeFrameWorlds(frame);
  PF_PreRenderInput input{};
  input.output_request = frame.request;
  input.bitdepth = BitDepth(options_.format);
  PF_PreRenderCallbacks callbacks = kPreRenderCallbacks;
  PF_PreRenderExtra extra{&input, &frame.preRender, &callbacks};
  CommandRecords records = Prepare();
  records.in_data.current_time = frame.time;
  return Send(PF_Cmd_SMART_PRE_RENDER, records, &extra, nullptr, &frame);
}

PF_Err SimHost::Render(Frame& frame) {
  MakeFrameWorlds(frame);
  PF_SmartRenderInput input{};
  input.output_request = frame.request;
  input.bitdepth = BitDepth(options_.format);
  input.pre_render_data = frame.preRender.pre_render_data;
  PF_SmartRenderCallbacks callbacks = kSmartRenderCallbacks;
  PF_SmartRenderExtra extra{&input, &callbacks};
  CommandRecords records = Prepare();
  records.in_data.current_time = frame.time;
  const PF_Err err = Send(PF_Cmd_SMART_RENDER, records, &extra, nullptr, &frame);
  frame.FreePreRenderData();
  return err;
}

PF_Err SimHost::RenderFrame(Frame& frame) {
  const PF_Err err = PreRender(frame);
  if (err != PF_Err_NONE) {
    frame.FreePreRenderData();
    return err;
  }
  return Render(frame);
}

// ---- Abort, AEGP bookkeeping, pixel formats ------------------------------------------------

void SimHost::ArmAbort(int afterPolls) {
  abortPolls_ = 0;
  abortFired_ = false;
  abortAfterPolls_ = afterPolls;
}

void SimHost::ArmIterateAbort(int afterItems) {
  iterateItems_ = 0;
  iterateAbortFired_ = false;
  abortAfterItems_ = afterItems;
}

PF_Err SimHost::AbortPoll() {
  lastAbortPollNs_ = std::chrono::duration_cast<std::chrono::nanoseconds>(
                         std::chrono::steady_clock::now().time_since_epoch())
                         .count();
  const int poll = ++abortPolls_;
  const int limit = abortAfterPolls_.load();
  if (limit >= 0 && poll > limit) abortFired_ = true;
  return abortFired_.load() ? PF_Interrupt_CANCEL : PF_Err_NONE;
}

bool SimHost::IterationShouldStop() {
  const int limit = abortAfterItems_.load();
  if (limit < 0) return false;
  if (++iterateItems_ > limit) iterateAbortFired_ = true;
  return iterateAbortFired_.load();
}

A_long SimHost::NextPluginId(const char* name) {
  std::lock_guard<std::mutex> lock(stateMutex_);
  registeredPlugins_.emplace_back(name);
  return nextPluginId_++;
}

AEGP_EffectRefH SimHost::NewEffectRef() {
  auto ref = reinterpret_cast<AEGP_EffectRefH>(new int(0));
  ++effectRefsIssued_;
  std::lock_guard<std::mutex> lock(stateMutex_);
  liveEffectRefs_.insert(ref);
  return ref;
}

A_Err SimHost::DisposeEffectRef(AEGP_EffectRefH ref) {
  std::lock_guard<std::mutex> lock(stateMutex_);
  if (liveEffectRefs_.erase(ref) == 0) return A_Err_PARAMETER;
  delete reinterpret_cast<int*>(ref);
  return A_Err_NONE;
}

size_t SimHost::LiveEffectRefs() const {
  std::lock_guard<std::mutex> lock(stateMutex_);
  return liveEffectRefs_.size();
}

void SimHost::LogPixelFormat(std::string entry) {
  std::lock_guard<std::mutex> lock(stateMutex_);
  pixelFormatLog_.push_back(std::move(entry));
}

std::vector<std::string> SimHost::PixelFormatLog() const {
  std::lock_guard<std::mutex> lock(stateMutex_);
  return pixelFormatLog_;
}

std::vector<std::string> SimHost::RegisteredPlugins() const {
  std::lock_guard<std::mutex> lock(stateMutex_);
  return registeredPlugins_;
}

}  // namespace kelvrix::host
