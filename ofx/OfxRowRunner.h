// The host's threads for the core's row passes, and the host's abort for its search. Rows go
// out through the multithread suite, row k to the call with threadIndex k mod threadMax, as
// many calls as the host has processors; without the suite, or when the host will not spawn
// (as when Render itself runs on one of its spawned threads), they run on the calling thread.
#pragma once

#include "edition/EditionFrame.h"
#include "ofxapi/OfxApi.h"

namespace kelvrix::ofx {

// The runner reads the suite through `multiThread`, which must outlive the frame; null runs
// every row on the caller.
edition::RowRunner HostRowRunner(const OfxMultiThreadSuiteV1* const* multiThread);

// PF_Interrupt_CANCEL once the host's abort says so for `instance`.
edition::AbortCheck HostAbortCheck(OfxImageEffectHandle* instance);

}  // namespace kelvrix::ofx
