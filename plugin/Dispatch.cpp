#include "plugin/Dispatch.h"

#include <new>
#include <optional>
#include <string>

#include "plugin/DebugChannel.h"
#include "plugin/EntryPoints.h"
#include "plugin/Handlers.h"
#include "plugin/LogCapture.h"
#include "render/SmartPreRender.h"
#include "render/SmartRender.h"

namespace kelvrix {
namespace {

PF_Err RouteAbout(PF_InData* in_data, PF_OutData* out_data, PF_ParamDef**, PF_LayerDef*, void*) {
  return About(in_data, out_data);
}

PF_Err RouteGlobalSetup(PF_InData* in_data, PF_OutData* out_data, PF_ParamDef* params[],
                        PF_LayerDef* output, void*) {
  return GlobalSetup(in_data, out_data, params, output);
}

PF_Err RouteSetupParams(PF_InData* in_data, PF_OutData* out_data, PF_ParamDef* params[],
                        PF_LayerDef* output, void*) {
  return SetupParams(in_data, out_data, params, output);
}

PF_Err RouteSuperviseStyle(PF_InData* in_data, PF_OutData* out_data, PF_ParamDef* params[],
                           PF_LayerDef*, void* extra) {
  return SuperviseStyle(in_data, out_data, params,
                        static_cast<const PF_UserChangedParamExtra*>(extra));
}

PF_Err RouteSmartPreRender(PF_InData* in_data, PF_OutData* out_data, PF_ParamDef**, PF_LayerDef*,
                           void* extra) {
  return SmartPreRender(in_data, out_data, static_cast<PF_PreRenderExtra*>(extra));
}

PF_Err RouteSmartRender(PF_InData* in_data, PF_OutData* out_data, PF_ParamDef**, PF_LayerDef*,
                        void* extra) {
  return SmartRender(in_data, out_data, static_cast<PF_SmartRenderExtra*>(extra));
}

PF_Err RunGuarded(CommandHandler handler, PF_InData* in_data, PF_OutData* out_data,
                  PF_ParamDef* params[], PF_LayerDef* output, void* extra) noexcept {
  if (handler == nullptr) return PF_Err_NONE;
  // Every handler reads both records; a host that passes none gets an error, not a crash.
  if (in_data == nullptr || out_data == nullptr) return PF_Err_BAD_CALLBACK_PARAM;
  try {
    return handler(in_data, out_data, params, output, extra);
  } catch (int& err) {
    return err;
  } catch (const std::bad_alloc&) {
    return PF_Err_OUT_OF_MEMORY;
  } catch (...) {
    return PF_Err_INTERNAL_STRUCT_DAMAGED;
  }
}

}  // namespace

CommandHandler HandlerFor(PF_Cmd cmd) {
  switch (cmd) {
    case PF_Cmd_ABOUT:
      return RouteAbout;
    case PF_Cmd_GLOBAL_SETUP:
      return RouteGlobalSetup;
    case PF_Cmd_PARAMS_SETUP:
      return RouteSetupParams;
    case PF_Cmd_USER_CHANGED_PARAM:
      return RouteSuperviseStyle;
    case PF_Cmd_SMART_PRE_RENDER:
      return RouteSmartPreRender;
    case PF_Cmd_SMART_RENDER:
      return RouteSmartRender;
    default:
      return nullptr;
  }
}

PF_Err RunCommand(CommandHandler handler, PF_InData* in_data, PF_OutData* out_data,
                  PF_ParamDef* params[], PF_LayerDef* output, void* extra) noexcept {
  std::optional<LogCapture> capture;
  try {
    capture.emplace();
  } catch (...) {
    // Without a capture the command still runs; its message is then empty.
  }
  const PF_Err result = RunGuarded(handler, in_data, out_data, params, output, extra);
  std::string message;
  try {
    if (capture) message = capture->Text();
  } catch (...) {
    message.clear();  // the diagnostics are lost, the command's result is not
  }
  SendToDebugger(message.c_str());
  return result;
}

}  // namespace kelvrix

extern "C" DllExport PF_Err EffectMain(PF_Cmd cmd, PF_InData* in_data, PF_OutData* out_data,
                                       PF_ParamDef* params[], PF_LayerDef* output, void* extra) {
  return kelvrix::RunCommand(kelvrix::HandlerFor(cmd), in_data, out_data, params, output, extra);
}
