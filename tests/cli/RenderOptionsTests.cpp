#include <gtest/gtest.h>

#include <tuple>

#include "cli/RenderOptions.h"

using namespace kelvrix::cli;

namespace {

struct Parsed {
  bool ok;
  RenderOptions options;
  std::string error;
};

Parsed Parse(std::vector<std::string> args) {
  Parsed p;
  p.ok = ParseRenderOptions(args, &p.options, &p.error);
  return p;
}

auto Fields(const Parsed& p) {
  const RenderOptions& o = p.options;  // every field a user can set
  return std::make_tuple(p.error, o.projectDepth, o.styleDepth, o.sizeFrom, o.sizeTo, o.width,
                         o.height, o.frames, o.threads, o.inputPath, o.outputPattern, o.modulePath,
                         o.cacheMegabytes, o.contactSheet, o.quiet);
}

TEST(RenderOptions, DefaultsAndEveryValuedOptionInBothSpellings) {
  EXPECT_EQ(Fields(Parse({})), std::make_tuple("", 8, 8, 150.0, 150.0, 1920, 1080, 1, 4u, "",
                                               "kelvrix-####.png", "", 256, false, false));
  EXPECT_EQ(Fields(Parse({"--depth",     "16",       "--style=32", "--size",   "50:400",
                          "--width=64",  "--height", "48",         "--frames", "12",
                          "--threads=3", "--input",  "in.png",     "--output", "out/f-###.exr",
                          "--module",    "m.so",     "--cache-mb", "0",        "-q"})),
            std::make_tuple("", 16, 32, 50.0, 400.0, 64, 48, 12, 3u, "in.png", "out/f-###.exr",
                            "m.so", 0, false, true));
  EXPECT_EQ(Parse({"--depth", "32"}).options.outputPattern, "kelvrix-####.exr");
  EXPECT_EQ(Parse({"--contact-sheet"}).options.outputPattern, "kelvrix-contact-sheet.png");
  const Parsed none = Parse({"--no-output", "--frames", "3"});  // no pattern, no '#' needed
  EXPECT_TRUE(none.ok && none.options.noOutput && none.options.outputPattern.empty());
  const Parsed help = Parse({"--output", "x.jpg", "-h"});  // help whatever else is wrong
  EXPECT_TRUE(help.ok && help.options.help);
}

// Each argument list with the start of its error (empty: accepted).
TEST(RenderOptions, ArgumentListsGiveTheirError) {
  const std::vector<std::pair<std::vector<std::string>, std::string>> cases = {
      {{"--depth", "24"}, "bad value '24' for --depth: expected 8, 16 or 32"},
      {{"--size", "1001"}, "bad value '1001' for --size"},
      {{"--size", "nan"}, "bad value 'nan' for --size"},
      {{"--size", "50:400:7"}, "bad value '50:400:7' for --size"},
      {{"--width", "12px"}, "bad value '12px' for --width"},
      {{"--frames", "-1"}, "bad value '-1' for --frames"},
      {{"--frames", "99999999999999999999"}, "bad value '99999999999999999999' for --frames"},
      {{"--input", ""}, "bad value '' for --input"},
      {{"frame.png"}, "unknown option 'frame.png' (try --help)"},
      {{"--frames"}, "option --frames needs a value: a whole number from 1 to 1000000"},
      {{"--output", "f.jpg"}, "unsupported output 'f.jpg': the name must end in .png or .exr"},
      {{"--frames", "2", "--output", "f.png"}, "--output 'f.png' has no '#'"},
      {{"--contact-sheet", "--output", "s.exr"}, "the contact sheet is written as PNG"},
      {{"--contact-sheet", "--width", "2"}, "the contact sheet needs a frame of at least 3 x 3"},
      {{"--no-output", "--output", "f-#.png"}, "--no-output writes nothing"},
      {{"--no-output", "--contact-sheet"}, "--no-output writes nothing"},
  };
  for (const auto& [args, error] : cases) {
    const Parsed p = Parse(args);
    EXPECT_EQ(std::make_pair(p.ok, p.error.substr(0, error.size())),
              std::make_pair(error.empty(), error))
        << ::testing::PrintToString(args);
  }
}

}  // namespace
