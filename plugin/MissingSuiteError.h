// The one way a SuiteHandler reports a suite the host cannot give.
#pragma once

namespace kelvrix {

// Throws PF_Err_BAD_CALLBACK_PARAM (516) as a plain integer; EffectMain turns it into the
// command's result. No message reaches the user.
[[noreturn]] void MissingSuiteError();

}  // namespace kelvrix
