// The command line of kelvrix-render, parsed into one record. Parsing checks every value, so
// the renderer never sees an option it has to doubt.
#pragma once

#include <string>
#include <vector>

namespace kelvrix::cli {

enum class OutputKind { Png, Exr };

struct RenderOptions {
  std::string modulePath;   // empty: the module beside the program
  int projectDepth = 8;     // bits per channel of the project: 8, 16 or 32
  int styleDepth = 8;       // the Style box: 8 Zesty, 16 Cloudy, 32 Tripping
  double sizeFrom = 150.0;  // Size on the first frame
  double sizeTo = 150.0;    // Size on the last frame; linear in between
  int width = 1920;
  int height = 1080;
  int frames = 1;
  unsigned threads = 4;
  std::string inputPath;      // empty: the built-in picture
  std::string outputPattern;  // '#' runs become the zero-padded frame number
  int cacheMegabytes = 256;   // bound of the host's cache of input and recent frames
  bool contactSheet = false;
  bool noOutput = false;      // render and report, write no files (for timing the rendering)
  bool quiet = false;
  bool help = false;
};

// Fills `options` from the arguments after the program name. On a bad option returns false
// and puts a one-line reason in `error`.
bool ParseRenderOptions(const std::vector<std::string>& args, RenderOptions* options,
                        std::string* error);

std::string HelpText(const std::string& program);

// The pattern's file name for a frame: every run of '#' becomes the frame number padded with
// zeros to the run's length.
std::string OutputPathFor(const std::string& pattern, int frame);

// What the pattern's extension asks for; false for an extension the tool cannot write.
bool OutputKindOf(const std::string& path, OutputKind* kind);

}  // namespace kelvrix::cli
