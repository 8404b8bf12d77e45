#include "plugin/GlobalData.h"
#include "plugin/Handlers.h"
#include "plugin/Identity.h"
#include "plugin/ScopedSuite.h"
#include "plugin/SuiteHandler.h"

namespace kelvrix {
namespace {

// The pixel format Premiere Pro is told the effect takes: bytes 0x56 0x55 0x79 0x61 ("VUya")
// in memory.
constexpr PrPixelFormat kPremierePixelFormat = 0x61795556;

// The new global data handle: unlocked and, unless kept, disposed on every way out, also
// when a suite the registration needs turns out to be missing.
class NewHandle {
 public:
  NewHandle(const PF_HandleSuite1* handles, PF_Handle handle)
      : handles_(handles), handle_(handle) {}
  ~NewHandle() {
    if (locked_) handles_->host_unlock_handle(handle_);
    if (!kept_) handles_->host_dispose_handle(handle_);
  }
  NewHandle(const NewHandle&) = delete;
  NewHandle& operator=(const NewHandle&) = delete;

  GlobalData* Lock() {
    locked_ = true;
    return static_cast<GlobalData*>(handles_->host_lock_handle(handle_));
  }
  PF_Handle Keep() {
    kept_ = true;
    return handle_;
  }

 private:
  const PF_HandleSuite1* handles_;
  PF_Handle handle_;
  bool locked_ = false;
  bool kept_ = false;
};

// Creates, fills and (on success) stores the global data. Returns the command's result.
PF_Err CreateGlobalData(PF_InData* in_data, PF_OutData* out_data, SuiteHandler& suites) {
  const PF_HandleSuite1* handles = suites.HandleSuite1();
  PF_Handle handle = handles->host_new_handle(sizeof(GlobalData));
  if (handle == nullptr) return PF_Err_INTERNAL_STRUCT_DAMAGED;

  NewHandle guard(handles, handle);
  GlobalData* data = guard.Lock();
  if (data == nullptr) return PF_Err_NONE;  // no global data, and no error
  data->setupFlag = 1;
  data->aegpPluginId = 0;  // never left unwritten, also under Premiere Pro
  if (in_data->appl_id != kAppIdPremierePro) {
    const PF_Err err =
        suites.UtilitySuite3()->AEGP_RegisterWithAEGP(nullptr, kDisplayName, &data->aegpPluginId);
    if (err != PF_Err_NONE) return err;
  }
  out_data->global_data = guard.Keep();
  return PF_Err_NONE;
}

void DeclarePremierePixelFormat(PF_InData* in_data, PF_OutData* out_data) {
  ScopedSuite<PF_PixelFormatSuite1> formats(in_data, kPFPixelFormatSuite,
                                            kPFPixelFormatSuiteVersion1, out_data);
  formats->ClearSupportedPixelFormats(in_data->effect_ref);
  formats->AddSupportedPixelFormat(in_data->effect_ref, kPremierePixelFormat);
}

}  // namespace

PF_Err GlobalSetup(PF_InData* in_data, PF_OutData* out_data, PF_ParamDef**, PF_LayerDef*) {
  out_data->my_version = kPackedVersion;
  out_data->out_flags = kGlobalOutFlags;
  out_data->out_flags2 = kGlobalOutFlags2;

  SuiteHandler suites(in_data->pica_basicP);
  const PF_Err err = CreateGlobalData(in_data, out_data, suites);
  if (in_data->appl_id == kAppIdPremierePro) DeclarePremierePixelFormat(in_data, out_data);
  return err;
}

}  // namespace kelvrix
