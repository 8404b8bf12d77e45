#include "plugin/EntryPoints.h"
#include "plugin/Identity.h"

namespace {

const A_u_char* Bytes(const char* text) { return reinterpret_cast<const A_u_char*>(text); }

}  // namespace

extern "C" DllExport PF_Err PluginDataEntryFunction(PF_PluginDataPtr inPtr,
                                                    PF_PluginDataCB inPluginDataCallBackPtr,
                                                    SPBasicSuite*, const char*, const char*) {
  using namespace kelvrix;
  if (inPluginDataCallBackPtr == nullptr) return PF_Err_INVALID_CALLBACK;
  return inPluginDataCallBackPtr(inPtr, Bytes(kDisplayName), Bytes(kMatchName), Bytes(kCategory),
                                 Bytes(kEntryPointName), kPluginKind, kApiVersionMajor,
                                 kApiVersionMinor, kReservedInfo);
}
