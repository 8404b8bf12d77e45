// The debugger channel: OutputDebugStringA on Windows. Elsewhere the same contract is met
// by an `OutputDebugStringA(const char*)` that the host process exports, if it has one
// (the simulated host does); without one, messages go nowhere, as with no debugger attached.
#pragma once

namespace kelvrix {

void SendToDebugger(const char* message) noexcept;

}  // namespace kelvrix
