// Routing of one host command to its handler, with the per-call log capture and the
// translation of anything a handler throws into a result code.
#pragma once

#include "hostapi/HostApi.h"

namespace kelvrix {

// Every handler is adapted to the entry point's own signature.
using CommandHandler = PF_Err (*)(PF_InData* in_data, PF_OutData* out_data, PF_ParamDef* params[],
                                  PF_LayerDef* output, void* extra);

// The handler for cmd, or null when the effect does nothing for it.
CommandHandler HandlerFor(PF_Cmd cmd);

// Runs handler (null: nothing) with std::cout captured, hands the captured text to the
// debugger as exactly one message, and returns the result. Never throws: a thrown int is
// the result, std::bad_alloc becomes PF_Err_OUT_OF_MEMORY and any other exception
// PF_Err_INTERNAL_STRUCT_DAMAGED.
PF_Err RunCommand(CommandHandler handler, PF_InData* in_data, PF_OutData* out_data,
                  PF_ParamDef* params[], PF_LayerDef* output, void* extra) noexcept;

}  // namespace kelvrix
