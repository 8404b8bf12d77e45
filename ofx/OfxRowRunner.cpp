#include "ofx/OfxRowRunner.h"

#include <atomic>

#include "ofx/OfxHostAccess.h"

namespace kelvrix::ofx {
namespace {

struct Pass {
  A_long rows;
  edition::RowBody body;
  void* bodyContext;
  std::atomic<A_long> next{0};
  std::atomic<PF_Err> err{PF_Err_NONE};
};

// Each call takes the next row not yet taken until none is left: a call that starts late or is
// held up by the system leaves its share to the others instead of ending the pass last.
void RunShare(unsigned threadIndex, unsigned, void* customArg) {
  auto& pass = *static_cast<Pass*>(customArg);
  for (A_long row = pass.next.fetch_add(1, std::memory_order_relaxed); row < pass.rows;
       row = pass.next.fetch_add(1, std::memory_order_relaxed)) {
    if (pass.err.load(std::memory_order_relaxed) != PF_Err_NONE) return;
    if (const PF_Err err = pass.body(pass.bodyContext, static_cast<A_long>(threadIndex), row)) {
      PF_Err none = PF_Err_NONE;
      pass.err.compare_exchange_strong(none, err);
      return;
    }
  }
}

unsigned Calls(const OfxMultiThreadSuiteV1& suite, A_long rows) {
  unsigned cpus = 1;
  if (suite.multiThreadNumCPUs(&cpus) != kOfxStatOK || cpus == 0) cpus = 1;
  return rows < static_cast<A_long>(cpus) ? static_cast<unsigned>(rows) : cpus;
}

PF_Err Run(void* context, A_long rows, edition::RowBody body, void* bodyContext) {
  const OfxMultiThreadSuiteV1* suite = *static_cast<const OfxMultiThreadSuiteV1* const*>(context);
  if (rows <= 0) return PF_Err_NONE;
  Pass pass{rows, body, bodyContext};
  if (suite != nullptr && !suite->multiThreadIsSpawnedThread()) {
    const OfxStatus status = suite->multiThread(RunShare, Calls(*suite, rows), &pass);
    if (status != kOfxStatOK && status != kOfxStatErrExists && status != kOfxStatFailed) {
      return PF_Err_INTERNAL_STRUCT_DAMAGED;
    }
  }
  // The caller takes what no call took: all of it without threads, the rest when the host
  // could not launch every call (refused, nested, or failed after some ran). A row taken is
  // never run again: noise added twice would halve a frame's brightness.
  RunShare(0, 1, &pass);
  return pass.err.load();
}

PF_Err Aborted(void* context) {
  const OfxImageEffectHandle instance = *static_cast<OfxImageEffectHandle*>(context);
  return Suites().imageEffect->abort(instance) != 0 ? PF_Interrupt_CANCEL : PF_Err_NONE;
}

}  // namespace

edition::RowRunner HostRowRunner(const OfxMultiThreadSuiteV1* const* multiThread) {
  edition::RowRunner runner;
  runner.run = Run;
  runner.context = const_cast<const OfxMultiThreadSuiteV1**>(multiThread);
  return runner;
}

edition::AbortCheck HostAbortCheck(OfxImageEffectHandle* instance) {
  return edition::AbortCheck{Aborted, instance};
}

}  // namespace kelvrix::ofx
