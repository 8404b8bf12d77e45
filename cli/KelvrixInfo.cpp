// Loads the plug-in module into the simulated host, the way After Effects (or Premiere Pro)
// does, and prints what the plug-in tells the host about itself.
#include <cstdio>
#include <cstring>
#include <string>

#include "host/DebuggerLog.h"
#include "host/SimHost.h"

namespace {

void PrintUsage(const char* program) {
  std::printf(
      "usage: %s [--module PATH] [--premiere]\n"
      "  --module PATH  plug-in module to load (default: %s beside this program)\n"
      "  --premiere     play Premiere Pro instead of After Effects\n",
      program, KELVRIX_DEFAULT_MODULE);
}

std::string BesideProgram(const char* program, const char* file) {
  std::string path(program);
  const size_t slash = path.find_last_of("/\\");
  return (slash == std::string::npos ? std::string(".") : path.substr(0, slash)) + "/" + file;
}

std::string Escaped(const char* text) {
  std::string out;
  for (const char* c = text; *c != '\0'; ++c) {
    if (*c == '\r')
      out += "\\r";
    else if (*c == '\n')
      out += "\\n";
    else
      out += *c;
  }
  return out;
}

}  // namespace

int main(int argc, char** argv) {
  using namespace kelvrix::host;
  std::string modulePath = BesideProgram(argv[0], "../plugin/" KELVRIX_DEFAULT_MODULE);
  HostOptions options;
  for (int i = 1; i < argc; ++i) {
    if (std::strcmp(argv[i], "--module") == 0 && i + 1 < argc) {
      modulePath = argv[++i];
    } else if (std::strcmp(argv[i], "--premiere") == 0) {
      options.applId = kAppIdPremierePro;
    } else if (std::strcmp(argv[i], "--help") == 0) {
      PrintUsage(argv[0]);
      return 0;
    } else {
      std::fprintf(stderr, "kelvrix-info: unknown option '%s' (try --help)\n", argv[i]);
      return 2;
    }
  }

  PluginModule module = PluginModule::Load(modulePath);
  if (!module.Loaded()) {
    std::fprintf(stderr, "kelvrix-info: %s\n", module.Error().c_str());
    return 1;
  }
  SimHost host(std::move(module), options);
  const Registration reg = host.Register();
  std::printf("host:            %s\n",
              options.applId == kAppIdPremierePro ? "Premiere Pro" : "After Effects");
  std::printf("module:          %s\n", modulePath.c_str());
  std::printf("name:            %s\n", reg.name.c_str());
  std::printf("match name:      %s\n", reg.matchName.c_str());
  std::printf("category:        %s\n", reg.category.c_str());
  std::printf("entry point:     %s\n", reg.entryPoint.c_str());
  std::printf("kind:            0x%08X\n", static_cast<unsigned>(reg.kind));
  std::printf("API version:     %d.%d\n", reg.apiMajor, reg.apiMinor);

  const PF_Err setupErr = host.GlobalSetup();
  const PF_OutData& out = host.LastOutData();
  const A_u_long v = out.my_version;
  std::printf("global setup:    result %d\n", setupErr);
  std::printf("version:         %u.%u.%u (stage %u, build %u, packed 0x%08X)\n",
              ((v >> 19) & 7u) + (((v >> 26) & 0xFu) << 3), (v >> 15) & 0xFu, (v >> 11) & 0xFu,
              (v >> 9) & 3u, v & 0x1FFu, v);
  std::printf("out_flags:       0x%08X\n", static_cast<unsigned>(out.out_flags));
  std::printf("out_flags2:      0x%08X\n", static_cast<unsigned>(out.out_flags2));
  std::printf("global data:     %s\n", host.GlobalData() != nullptr ? "stored" : "none");

  std::string about;
  const PF_Err aboutErr = host.About(&about);
  std::printf("about:           \"%s\" (result %d)\n", Escaped(about.c_str()).c_str(), aboutErr);
  std::printf("debug messages:  %zu\n", DebuggerLog::Instance().Count());
  const auto unbalanced = host.Suites().Unbalanced();
  std::printf("suites:          %s\n", unbalanced.empty() ? "all released" : "UNBALANCED");
  for (const auto& suite : unbalanced) std::printf("                 %s\n", suite.c_str());
  return setupErr == PF_Err_NONE && aboutErr == PF_Err_NONE && unbalanced.empty() ? 0 : 1;
}
