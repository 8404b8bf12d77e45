// kelvrix-render: renders frames of the effect with the plug-in module loaded into the
// simulated host. Everything but reading the command line lives in kelvrix_cli.
#include <cstdio>
#include <exception>
#include <string>
#include <vector>

#include "cli/CliError.h"
#include "cli/ConsoleReport.h"
#include "cli/ContactSheet.h"
#include "cli/RenderOptions.h"
#include "cli/Renderer.h"

namespace {

std::string BesideProgram(const char* program, const char* file) {
  std::string path(program);
  const size_t slash = path.find_last_of("/\\");
  return (slash == std::string::npos ? std::string(".") : path.substr(0, slash)) + "/" + file;
}

}  // namespace

int main(int argc, char** argv) {
  using namespace kelvrix::cli;
  const char* program = argc > 0 ? argv[0] : "kelvrix-render";
  RenderOptions options;
  std::string error;
  if (!ParseRenderOptions(std::vector<std::string>(argv + 1, argv + argc), &options, &error)) {
    std::fprintf(stderr, "kelvrix-render: %s\n", error.c_str());
    return kExitUsage;
  }
  if (options.help) {
    std::fputs(HelpText("kelvrix-render").c_str(), stdout);
    return kExitOk;
  }
  if (options.modulePath.empty()) {
    options.modulePath = BesideProgram(program, "../plugin/" KELVRIX_DEFAULT_MODULE);
  }
  const bool terminal = IsTerminal(stderr);
  // A bar in progress ends its line before an error is printed below it.
  const char* errorLead = terminal && !options.quiet ? "\n" : "";
  ConsoleReport report(stdout, stderr, terminal, options.quiet);
  try {
    if (options.contactSheet) {
      RenderContactSheet(options, report);
    } else {
      RenderSequence(options, report);
    }
  } catch (const CliError& e) {
    std::fprintf(stderr, "%skelvrix-render: %s\n", errorLead, e.what());
    return e.Status();
  } catch (const std::exception& e) {
    std::fprintf(stderr, "%skelvrix-render: %s\n", errorLead, e.what());
    return kExitFailure;
  }
  return kExitOk;
}
