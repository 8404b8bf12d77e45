#include "cli/RenderOptions.h"

#include <cctype>
#include <cerrno>
#include <cmath>
#include <cstdlib>
#include <functional>
#include <map>

namespace kelvrix::cli {
namespace {

constexpr int kMaxSide = 30000;  // the host's largest world side
constexpr int kMaxFrames = 1000000;
constexpr unsigned kMaxThreads = 256;

bool ParseInt(const std::string& text, long long low, long long high, long long* value) {
  if (text.empty()) return false;
  char* end = nullptr;
  errno = 0;
  const long long v = std::strtoll(text.c_str(), &end, 10);
  if (errno != 0 || *end != '\0' || v < low || v > high) return false;
  *value = v;
  return true;
}

bool ParseSize(const std::string& text, double* value) {
  if (text.empty() || std::isspace(static_cast<unsigned char>(text[0]))) return false;
  char* end = nullptr;
  errno = 0;
  const double v = std::strtod(text.c_str(), &end);
  // The effect's slider accepts 1 to 1000.
  if (errno != 0 || *end != '\0' || !std::isfinite(v) || v < 1.0 || v > 1000.0) return false;
  *value = v;
  return true;
}

bool ParseDepth(const std::string& text, int* depth) {
  if (text == "8" || text == "16" || text == "32") {
    *depth = std::atoi(text.c_str());
    return true;
  }
  return false;
}

std::string Lower(std::string text) {
  for (char& c : text) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return text;
}

}  // namespace

bool ParseRenderOptions(const std::vector<std::string>& args, RenderOptions* options,
                        std::string* error) {
  RenderOptions o;
  using Handler = std::function<bool(const std::string&)>;
  long long n = 0;
  // Options that take a value, with the check of that value.
  const std::map<std::string, std::pair<Handler, const char*>> valued = {
      {"--module",
       {[&](const std::string& v) {
          o.modulePath = v;
          return !v.empty();
        },
        "a path"}},
      {"--depth",
       {[&](const std::string& v) { return ParseDepth(v, &o.projectDepth); }, "8, 16 or 32"}},
      {"--style",
       {[&](const std::string& v) { return ParseDepth(v, &o.styleDepth); }, "8, 16 or 32"}},
      {"--size",
       {[&](const std::string& v) {
          const size_t colon = v.find(':');
          if (colon == std::string::npos) {
            if (!ParseSize(v, &o.sizeFrom)) return false;
            o.sizeTo = o.sizeFrom;
            return true;
          }
          return ParseSize(v.substr(0, colon), &o.sizeFrom) &&
                 ParseSize(v.substr(colon + 1), &o.sizeTo);
        },
        "a number from 1 to 1000, or FROM:TO"}},
      {"--width",
       {[&](const std::string& v) {
          const bool ok = ParseInt(v, 1, kMaxSide, &n);
          o.width = static_cast<int>(n);
          return ok;
        },
        "a whole number from 1 to 30000"}},
      {"--height",
       {[&](const std::string& v) {
          const bool ok = ParseInt(v, 1, kMaxSide, &n);
          o.height = static_cast<int>(n);
          return ok;
        },
        "a whole number from 1 to 30000"}},
      {"--frames",
       {[&](const std::string& v) {
          const bool ok = ParseInt(v, 1, kMaxFrames, &n);
          o.frames = static_cast<int>(n);
          return ok;
        },
        "a whole number from 1 to 1000000"}},
      {"--threads",
       {[&](const std::string& v) {
          const bool ok = ParseInt(v, 1, kMaxThreads, &n);
          o.threads = static_cast<unsigned>(n);
          return ok;
        },
        "a whole number from 1 to 256"}},
      {"--cache-mb",
       {[&](const std::string& v) {
          const bool ok = ParseInt(v, 0, 1 << 20, &n);
          o.cacheMegabytes = static_cast<int>(n);
          return ok;
        },
        "a whole number of megabytes"}},
      {"--input",
       {[&](const std::string& v) {
          o.inputPath = v;
          return !v.empty();
        },
        "a path"}},
      {"--output",
       {[&](const std::string& v) {
          o.outputPattern = v;
          return !v.empty();
        },
        "a path"}},
  };
  const std::map<std::string, bool*> flags = {{"--contact-sheet", &o.contactSheet},
                                              {"--no-output", &o.noOutput},
                                              {"--quiet", &o.quiet},
                                              {"--help", &o.help}};

  for (size_t i = 0; i < args.size(); ++i) {
    std::string name = args[i];
    std::string value;
    bool inlineValue = false;
    const size_t equals = name.find('=');
    if (name.rfind("--", 0) == 0 && equals != std::string::npos) {
      value = name.substr(equals + 1);
      name = name.substr(0, equals);
      inlineValue = true;
    }
    if (name == "-h") name = "--help";
    if (name == "-q") name = "--quiet";
    if (const auto flag = flags.find(name); flag != flags.end() && !inlineValue) {
      *flag->second = true;
      continue;
    }
    const auto option = valued.find(name);
    if (option == valued.end()) {
      *error = "unknown option '" + args[i] + "' (try --help)";
      return false;
    }
    if (!inlineValue) {
      if (i + 1 >= args.size()) {
        *error = "option " + name + " needs a value: " + option->second.second;
        return false;
      }
      value = args[++i];
    }
    if (!option->second.first(value)) {
      *error = "bad value '" + value + "' for " + name + ": expected " + option->second.second;
      return false;
    }
  }
  if (o.help) {
    *options = o;
    return true;
  }

  if (o.noOutput && (o.contactSheet || !o.outputPattern.empty())) {
    *error = "--no-output writes nothing: it takes neither --output nor --contact-sheet";
    return false;
  }
  if (o.noOutput) {
    *options = o;
    return true;
  }
  if (o.outputPattern.empty()) {
    o.outputPattern = o.contactSheet         ? "kelvrix-contact-sheet.png"
                      : o.projectDepth == 32 ? "kelvrix-####.exr"
                                             : "kelvrix-####.png";
  }
  OutputKind kind;
  if (!OutputKindOf(o.outputPattern, &kind)) {
    *error = "unsupported output '" + o.outputPattern + "': the name must end in .png or .exr";
    return false;
  }
  if (o.contactSheet && kind != OutputKind::Png) {
    *error = "the contact sheet is written as PNG: give --output a name ending in .png";
    return false;
  }
  if (!o.contactSheet && o.frames > 1 && o.outputPattern.find('#') == std::string::npos) {
    *error = "--output '" + o.outputPattern +
             "' has no '#' for the frame number, so the frames would overwrite each other";
    return false;
  }
  if (o.contactSheet && (o.width < 3 || o.height < 3)) {
    *error = "the contact sheet needs a frame of at least 3 x 3 pixels";
    return false;
  }
  *options = o;
  return true;
}

std::string OutputPathFor(const std::string& pattern, int frame) {
  std::string out;
  for (size_t i = 0; i < pattern.size();) {
    if (pattern[i] != '#') {
      out += pattern[i++];
      continue;
    }
    size_t run = 0;
    while (i + run < pattern.size() && pattern[i + run] == '#') ++run;
    std::string number = std::to_string(frame);
    if (number.size() < run) number.insert(0, run - number.size(), '0');
    out += number;
    i += run;
  }
  return out;
}

bool OutputKindOf(const std::string& path, OutputKind* kind) {
  const size_t dot = path.find_last_of('.');
  const size_t slash = path.find_last_of("/\\");
  if (dot == std::string::npos || (slash != std::string::npos && dot < slash)) return false;
  const std::string extension = Lower(path.substr(dot));
  if (extension == ".png") {
    *kind = OutputKind::Png;
    return true;
  }
  if (extension == ".exr") {
    *kind = OutputKind::Exr;
    return true;
  }
  return false;
}

std::string HelpText(const std::string& program) {
  return "usage: " + program + R"( [options]

Renders frames of the kelvrix effect without After Effects: the plug-in module is loaded
into the simulated host, set up as a host does, and every frame goes through smart
pre-render and smart render. The effect paints heap memory of this process; a frame where
no usable memory turns up shows the message card instead, and the report says which.

Frames
  --depth 8|16|32       project depth in bits per channel (default 8)
  --style 8|16|32       Style: 8 Zesty, 16 Cloudy, 32 Tripping (default 8)
  --size N              the Size parameter, 1 to 1000 (default 150)
  --size FROM:TO        Size animated linearly from FROM on the first frame to TO on the last
  --width N             frame width in pixels (default 1920)
  --height N            frame height in pixels (default 1080)
  --frames N            number of frames to render (default 1)
  --threads N           worker threads of the host's iterate suites (default 4)
  --input FILE          the input layer, a PNG file scaled to the frame; without it a
                        built-in picture is used, so no files are needed
  --cache-mb N          bound of the host's cache of the input and recent frames, kept in
                        ordinary heap memory as a compositor does (default 256)

Output
  --output PATTERN      where frames go; each run of '#' becomes the zero-padded frame
                        number (default kelvrix-####.png, kelvrix-####.exr at 32 bpc).
                        .png: 8-bit PNG for 8 bpc projects, 16-bit PNG for 16 and 32 bpc
                        (32 bpc values clamped to 0..1); .exr: 32-bit float OpenEXR with
                        values as rendered. Files are written under a temporary name and
                        renamed when complete. The folder must exist.
  --contact-sheet       render one frame of each of the nine combinations of project
                        depth and style at --size, --width and --height and write them as
                        one labelled PNG (default name kelvrix-contact-sheet.png);
                        --depth, --style and --frames do not apply
  --no-output           render and report the frames but write no files (to time the
                        rendering alone)

Plug-in
  --module PATH         the plug-in module to load (default: the After Effects module
                        built beside this program); a kelvrix.ofx.bundle folder or a
                        .ofx binary is rendered through the OpenFX edition instead

Reporting
  -q, --quiet           print nothing but errors
  -h, --help            print this help

Per frame the tool prints whether memory or the card was shown, how long the memory search
took (until the effect's last check for an abort, and how many blocks it tried) and how long
the frame took; at the end a summary (frames, share of cards, frames per second). A progress
bar goes to standard error when it is a terminal, plain lines otherwise.

Exit status: 0 done, 2 bad options, 3 unreadable or unsupported input, 4 output not
writable, 5 module failed to load, 6 a command returned an error, 1 anything else.
)";
}

}  // namespace kelvrix::cli
