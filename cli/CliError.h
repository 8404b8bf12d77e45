// The one way kelvrix-render fails: a one-line message naming the cause and the exit status
// that tells a pipeline which kind of cause it was.
#pragma once

#include <stdexcept>
#include <string>

namespace kelvrix::cli {

enum ExitStatus : int {
  kExitOk = 0,
  kExitFailure = 1,  // anything not listed below
  kExitUsage = 2,    // bad options
  kExitInput = 3,    // input image unreadable or unsupported
  kExitOutput = 4,   // output not writable or of an unsupported kind
  kExitModule = 5,   // plug-in module failed to load or is not the effect
  kExitCommand = 6,  // a command sent to the plug-in returned an error
};

class CliError : public std::runtime_error {
 public:
  CliError(ExitStatus status, const std::string& message)
      : std::runtime_error(message), status_(status) {}
  ExitStatus Status() const { return status_; }

 private:
  ExitStatus status_;
};

}  // namespace kelvrix::cli
