#include "ofxhost/HostSuites.h"

#include <cstdarg>
#include <cstdio>
#include <cstdlib>
#include <mutex>
#include <vector>

#include "ofxhost/SimOfxHost.h"

namespace kelvrix::ofxhost {
namespace {

// ---- Image effect suite ---------------------------------------------------------------------

OfxStatus GetPropertySet(OfxImageEffectHandle e, OfxPropertySetHandle* props) {
  if (e == nullptr || props == nullptr) return kOfxStatErrBadHandle;
  *props = Effect::Of(e)->props.handle();
  return kOfxStatOK;
}

OfxStatus GetParamSet(OfxImageEffectHandle e, OfxParamSetHandle* params) {
  if (e == nullptr || params == nullptr) return kOfxStatErrBadHandle;
  *params = Effect::Of(e)->params.handle();
  return kOfxStatOK;
}

OfxStatus ClipDefine(OfxImageEffectHandle e, const char* name, OfxPropertySetHandle* props) {
  if (e == nullptr || name == nullptr || Effect::Of(e)->instance) return kOfxStatErrBadHandle;
  auto& clip = Effect::Of(e)->clips[name];
  if (clip) return kOfxStatErrExists;
  clip = std::make_unique<Clip>();
  clip->name = name;
  clip->props.SetString(kOfxPropType, 0, kOfxTypeClip);
  clip->props.SetString(kOfxPropName, 0, name);
  if (props != nullptr) *props = clip->props.handle();
  return kOfxStatOK;
}

OfxStatus ClipGetHandle(OfxImageEffectHandle e, const char* name, OfxImageClipHandle* clip,
                        OfxPropertySetHandle* props) {
  if (e == nullptr || name == nullptr || clip == nullptr || !Effect::Of(e)->instance) {
    return kOfxStatErrBadHandle;
  }
  const auto it = Effect::Of(e)->clips.find(name);
  if (it == Effect::Of(e)->clips.end()) return kOfxStatErrUnknown;
  *clip = it->second->handle();
  if (props != nullptr) *props = it->second->props.handle();
  return kOfxStatOK;
}

OfxStatus ClipGetPropertySet(OfxImageClipHandle clip, OfxPropertySetHandle* props) {
  if (clip == nullptr || props == nullptr) return kOfxStatErrBadHandle;
  *props = Clip::Of(clip)->props.handle();
  return kOfxStatOK;
}

OfxStatus ClipGetImage(OfxImageClipHandle clip, OfxTime, const OfxRectD*,
                       OfxPropertySetHandle* image) {
  if (clip == nullptr || image == nullptr) return kOfxStatErrBadHandle;
  return SimOfxHost::Current()->GetImage(*Clip::Of(clip), image);
}

OfxStatus ClipReleaseImage(OfxPropertySetHandle image) {
  return SimOfxHost::Current()->ReleaseImage(image);
}

OfxStatus ClipGetRegionOfDefinition(OfxImageClipHandle clip, OfxTime, OfxRectD* rod) {
  if (clip == nullptr || rod == nullptr) return kOfxStatErrBadHandle;
  SimOfxHost& host = *SimOfxHost::Current();
  if (Clip::Of(clip)->name == kOfxImageEffectSimpleSourceClipName &&
      !host.options().sourceConnected) {
    return kOfxStatFailed;
  }
  *rod = host.CanonicalFrame();
  return kOfxStatOK;
}

int Abort(OfxImageEffectHandle) { return SimOfxHost::Current()->Abort(); }

struct ImageMemory {
  std::vector<uint8_t> bytes;
  int locks = 0;
};

OfxStatus ImageMemoryAlloc(OfxImageEffectHandle, size_t n, OfxImageMemoryHandle* memory) {
  if (memory == nullptr) return kOfxStatErrBadHandle;
  auto* m = new (std::nothrow) ImageMemory;
  if (m == nullptr) return kOfxStatErrMemory;
  try {
    m->bytes.resize(n + 16);
  } catch (const std::bad_alloc&) {
    delete m;
    return kOfxStatErrMemory;
  }
  SimOfxHost::Current()->CountMemory(1);
  *memory = reinterpret_cast<OfxImageMemoryHandle>(m);
  return kOfxStatOK;
}

OfxStatus ImageMemoryFree(OfxImageMemoryHandle memory) {
  if (memory == nullptr) return kOfxStatErrBadHandle;
  delete reinterpret_cast<ImageMemory*>(memory);
  SimOfxHost::Current()->CountMemory(-1);
  return kOfxStatOK;
}

OfxStatus ImageMemoryLock(OfxImageMemoryHandle memory, void** ptr) {
  if (memory == nullptr || ptr == nullptr) return kOfxStatErrBadHandle;
  auto* m = reinterpret_cast<ImageMemory*>(memory);
  ++m->locks;
  const auto address = reinterpret_cast<uintptr_t>(m->bytes.data());
  *ptr = m->bytes.data() + ((16 - address % 16) % 16);
  return kOfxStatOK;
}

OfxStatus ImageMemoryUnlock(OfxImageMemoryHandle memory) {
  if (memory == nullptr) return kOfxStatErrBadHandle;
  auto* m = reinterpret_cast<ImageMemory*>(memory);
  if (m->locks > 0) --m->locks;
  return kOfxStatOK;
}

const OfxImageEffectSuiteV1 kImageEffect = {GetPropertySet,
                                            GetParamSet,
                                            ClipDefine,
                                            ClipGetHandle,
                                            ClipGetPropertySet,
                                            ClipGetImage,
                                            ClipReleaseImage,
                                            ClipGetRegionOfDefinition,
                                            Abort,
                                            ImageMemoryAlloc,
                                            ImageMemoryFree,
                                            ImageMemoryLock,
                                            ImageMemoryUnlock};

// ---- Parameter suite ------------------------------------------------------------------------

OfxStatus ParamDefine(OfxParamSetHandle set, const char* type, const char* name,
                      OfxPropertySetHandle* props) {
  if (set == nullptr || type == nullptr || name == nullptr) return kOfxStatErrBadHandle;
  auto& slot = ParamSet::Of(set)->params[name];
  if (slot) return kOfxStatErrExists;
  slot = std::make_unique<Param>();
  slot->type = type;
  slot->props.SetString(kOfxPropType, 0, kOfxTypeParameter);
  slot->props.SetString(kOfxPropName, 0, name);
  slot->props.SetString(kOfxPropLabel, 0, name);
  slot->props.SetString(kOfxParamPropType, 0, type);
  slot->props.SetString(kOfxParamPropScriptName, 0, name);
  ParamSet::Of(set)->order.push_back(name);
  if (props != nullptr) *props = slot->props.handle();
  return kOfxStatOK;
}

OfxStatus ParamGetHandle(OfxParamSetHandle set, const char* name, OfxParamHandle* param,
                         OfxPropertySetHandle* props) {
  if (set == nullptr || name == nullptr || param == nullptr) return kOfxStatErrBadHandle;
  const auto& params = ParamSet::Of(set)->params;
  const auto it = params.find(name);
  if (it == params.end()) return kOfxStatErrUnknown;
  *param = it->second->handle();
  if (props != nullptr) *props = it->second->props.handle();
  return kOfxStatOK;
}

OfxStatus ParamSetGetPropertySet(OfxParamSetHandle set, OfxPropertySetHandle* props) {
  if (set == nullptr || props == nullptr) return kOfxStatErrBadHandle;
  *props = ParamSet::Of(set)->effectProps->handle();
  return kOfxStatOK;
}

OfxStatus ParamGetPropertySet(OfxParamHandle param, OfxPropertySetHandle* props) {
  if (param == nullptr || props == nullptr) return kOfxStatErrBadHandle;
  *props = Param::Of(param)->props.handle();
  return kOfxStatOK;
}

OfxStatus GetInto(OfxParamHandle param, va_list args) {
  if (param == nullptr) return kOfxStatErrBadHandle;
  const Param& p = *Param::Of(param);
  if (p.IsDouble()) {
    double* out = va_arg(args, double*);
    if (out == nullptr) return kOfxStatErrBadHandle;
    *out = p.doubleValue;
  } else {
    int* out = va_arg(args, int*);
    if (out == nullptr) return kOfxStatErrBadHandle;
    *out = p.intValue;
  }
  return kOfxStatOK;
}

OfxStatus SetFrom(OfxParamHandle param, va_list args) {
  if (param == nullptr) return kOfxStatErrBadHandle;
  Param& p = *Param::Of(param);
  if (p.IsDouble()) {
    p.doubleValue = va_arg(args, double);
  } else {
    p.intValue = va_arg(args, int);
  }
  return kOfxStatOK;
}

OfxStatus ParamGetValue(OfxParamHandle param, ...) {
  va_list args;
  va_start(args, param);
  const OfxStatus s = GetInto(param, args);
  va_end(args);
  return s;
}

OfxStatus ParamGetValueAtTime(OfxParamHandle param, OfxTime time, ...) {
  va_list args;
  va_start(args, time);
  const OfxStatus s = GetInto(param, args);
  va_end(args);
  return s;
}

OfxStatus ParamSetValue(OfxParamHandle param, ...) {
  va_list args;
  va_start(args, param);
  const OfxStatus s = SetFrom(param, args);
  va_end(args);
  return s;
}

OfxStatus ParamSetValueAtTime(OfxParamHandle param, OfxTime time, ...) {
  va_list args;
  va_start(args, time);
  const OfxStatus s = SetFrom(param, args);
  va_end(args);
  return s;
}

template <typename... Args>
OfxStatus NotServed(Args...) {
  return kOfxStatErrUnsupported;
}

OfxStatus NotServedVariadic(OfxParamHandle, OfxTime, ...) { return kOfxStatErrUnsupported; }
OfxStatus NotServedIntegral(OfxParamHandle, OfxTime, OfxTime, ...) {
  return kOfxStatErrUnsupported;
}

const OfxParameterSuiteV1 kParameter = {
    ParamDefine,         ParamGetHandle,    ParamSetGetPropertySet,
    ParamGetPropertySet, ParamGetValue,     ParamGetValueAtTime,
    NotServedVariadic,   NotServedIntegral, ParamSetValue,
    ParamSetValueAtTime, NotServed,         NotServed,
    NotServed,           NotServed,         NotServed,
    NotServed,           NotServed,         NotServed};

// ---- Multithread suite: real threads --------------------------------------------------------

thread_local bool tSpawned = false;
thread_local unsigned tIndex = 0;

// The calls run as items of the host's worker pool, in a shuffled order; each is a spawned
// thread to the effect while it runs (nesting refused, its index reported).
OfxStatus MultiThread(OfxThreadFunctionV1* func, unsigned n, void* arg) {
  if (func == nullptr) return kOfxStatErrBadHandle;
  if (tSpawned) return kOfxStatErrExists;
  SimOfxHost& host = *SimOfxHost::Current();
  const unsigned launched = host.LaunchableThreads(n);
  if (launched > 0) {
    host.Workers().Run(
        static_cast<A_long>(launched),
        [&](A_long, A_long i) {
          const bool wasSpawned = tSpawned;
          const unsigned wasIndex = tIndex;
          tSpawned = true;
          tIndex = static_cast<unsigned>(i);
          func(static_cast<unsigned>(i), n, arg);
          tSpawned = wasSpawned;
          tIndex = wasIndex;
          return PF_Err_NONE;
        },
        [] { return false; }, PF_Err_NONE);
  }
  return launched == n ? kOfxStatOK : kOfxStatFailed;
}

OfxStatus NumCpus(unsigned* n) {
  if (n == nullptr) return kOfxStatErrBadHandle;
  *n = SimOfxHost::Current()->options().threads;
  return kOfxStatOK;
}

OfxStatus ThreadIndex(unsigned* index) {
  if (index == nullptr) return kOfxStatErrBadHandle;
  *index = tSpawned ? tIndex : 0;
  return kOfxStatOK;
}

int IsSpawned() { return tSpawned ? 1 : 0; }

OfxStatus MutexCreate(OfxMutexHandle* mutex, int lockCount) {
  if (mutex == nullptr) return kOfxStatErrBadHandle;
  auto* m = new std::recursive_mutex;
  for (int i = 0; i < lockCount; ++i) m->lock();
  *mutex = reinterpret_cast<OfxMutexHandle>(m);
  return kOfxStatOK;
}
std::recursive_mutex* M(OfxMutexHandle m) { return reinterpret_cast<std::recursive_mutex*>(m); }
OfxStatus MutexDestroy(const OfxMutexHandle m) {
  delete M(m);
  return kOfxStatOK;
}
OfxStatus MutexLock(const OfxMutexHandle m) {
  M(m)->lock();
  return kOfxStatOK;
}
OfxStatus MutexUnlock(const OfxMutexHandle m) {
  M(m)->unlock();
  return kOfxStatOK;
}
OfxStatus MutexTryLock(const OfxMutexHandle m) {
  return M(m)->try_lock() ? kOfxStatOK : kOfxStatFailed;
}

const OfxMultiThreadSuiteV1 kMultiThread = {MultiThread, NumCpus,     ThreadIndex,
                                            IsSpawned,   MutexCreate, MutexDestroy,
                                            MutexLock,   MutexUnlock, MutexTryLock};

// ---- Memory and message suites --------------------------------------------------------------

OfxStatus MemoryAlloc(void*, size_t n, void** data) {
  if (data == nullptr) return kOfxStatErrBadHandle;
  *data = std::malloc(n == 0 ? 1 : n);
  if (*data == nullptr) return kOfxStatErrMemory;
  SimOfxHost::Current()->CountMemory(1);
  return kOfxStatOK;
}

OfxStatus MemoryFree(void* data) {
  if (data == nullptr) return kOfxStatErrBadHandle;
  std::free(data);
  SimOfxHost::Current()->CountMemory(-1);
  return kOfxStatOK;
}

const OfxMemorySuiteV1 kMemory = {MemoryAlloc, MemoryFree};

OfxStatus Message(void*, const char* type, const char*, const char* format, ...) {
  if (format == nullptr) return kOfxStatErrBadHandle;
  char text[1024];
  va_list args;
  va_start(args, format);
  std::vsnprintf(text, sizeof text, format, args);
  va_end(args);
  SimOfxHost::Current()->Said(std::string(type != nullptr ? type : "") + ": " + text);
  return kOfxStatOK;
}

OfxStatus ClearPersistent(void*) { return kOfxStatOK; }

const OfxMessageSuiteV2 kMessage = {Message, Message, ClearPersistent};

}  // namespace

const OfxImageEffectSuiteV1* ImageEffectSuite() { return &kImageEffect; }
const OfxParameterSuiteV1* ParameterSuite() { return &kParameter; }
const OfxMultiThreadSuiteV1* MultiThreadSuite() { return &kMultiThread; }
const OfxMemorySuiteV1* MemorySuite() { return &kMemory; }
const OfxMessageSuiteV2* MessageSuite() { return &kMessage; }

}  // namespace kelvrix::ofxhost
