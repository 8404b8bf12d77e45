#include <gtest/gtest.h>

#include <tuple>

#include "cli/RenderOptions.h"

namespace kelvrix::cli {
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

auto Fields(const RenderOptions& o) {
  return std::make_tuple(o.projectDepth, o.styleDepth, o.sizeFrom, o.sizeTo, o.width, o.height,
                         o.frames, o.threads, o.inputPath, o.outputPattern, o.modulePath,
                         o.cacheMegabytes, o.contactSheet, o.quiet);
}

TEST(RenderOptions, DefaultsAndEveryValuedOptionInBothSpellings) {
  const Parsed defaults = Parse({});
  ASSERT_TRUE(defaults.ok) << defaults.error;
  EXPECT_EQ(Fields(defaults.options), std::make_tuple(8, 8, 150.0, 150.0, 1920, 1080, 1, 4u, "",
                                                      "kelvrix-####.png", "", 256, false, false));
  const Parsed all = Parse({"--depth",     "16",       "--style=32", "--size",   "50:400",
                            "--width=64",  "--height", "48",         "--frames", "12",
                            "--threads=3", "--input",  "in.png",     "--output", "out/f-###.exr",
                            "--module",    "m.so",     "--cache-mb", "0",        "-q"});
  ASSERT_TRUE(all.ok) << all.error;
  EXPECT_EQ(Fields(all.options), std::make_tuple(16, 32, 50.0, 400.0, 64, 48, 12, 3u, "in.png",
                                                 "out/f-###.exr", "m.so", 0, false, true));
}

// Each argument list with the start of its error (empty: accepted, then with that output).
TEST(RenderOptions, ArgumentListsGiveTheirErrorOrOutput) {
  const std::vector<std::pair<std::vector<std::string>, std::string>> cases = {
      {{"--depth", "24"}, "bad value '24' for --depth: expected 8, 16 or 32"},
      {{"--style", "eight"}, "bad value 'eight' for --style"},
      {{"--size", "0"}, "bad value '0' for --size"},
      {{"--size", "1001"}, "bad value '1001' for --size"},
      {{"--size", "nan"}, "bad value 'nan' for --size"},
      {{"--size", "50:"}, "bad value '50:' for --size"},
      {{"--size", "50:400:7"}, "bad value '50:400:7' for --size"},
      {{"--width", "0"}, "bad value '0' for --width"},
      {{"--height", "30001"}, "bad value '30001' for --height"},
      {{"--width", "12px"}, "bad value '12px' for --width"},
      {{"--frames", "-1"}, "bad value '-1' for --frames"},
      {{"--frames", "99999999999999999999"}, "bad value '99999999999999999999' for --frames"},
      {{"--threads", "0"}, "bad value '0' for --threads"},
      {{"--input", ""}, "bad value '' for --input"},
      {{"--colour"}, "unknown option '--colour' (try --help)"},
      {{"frame.png"}, "unknown option 'frame.png' (try --help)"},
      {{"--quiet=yes"}, "unknown option '--quiet=yes'"},
      {{"--frames"}, "option --frames needs a value: a whole number from 1 to 1000000"},
      {{"--output", "f.jpg"}, "unsupported output 'f.jpg': the name must end in .png or .exr"},
      {{"--output", "dir.png/frame"}, "unsupported output"},
      {{"--frames", "2", "--output", "f.png"}, "--output 'f.png' has no '#'"},
      {{"--contact-sheet", "--output", "s.exr"}, "the contact sheet is written as PNG"},
      {{"--contact-sheet", "--width", "2"}, "the contact sheet needs a frame of at least 3 x 3"},
      {{"--frames", "1", "--output", "f.png"}, ""},
      {{"--output", "x.jpg", "--help"}, ""},  // help whatever else is wrong
      {{"--depth", "32"}, ""},
      {{"--contact-sheet"}, ""},
  };
  for (const auto& [args, error] : cases) {
    SCOPED_TRACE(::testing::PrintToString(args));
    const Parsed p = Parse(args);
    EXPECT_EQ(p.ok, error.empty());
    EXPECT_EQ(p.error.substr(0, error.size()), error);
  }
  EXPECT_TRUE(Parse({"--output", "x.jpg", "-h"}).options.help);
  EXPECT_EQ(Parse({"--depth", "32"}).options.outputPattern, "kelvrix-####.exr");
  EXPECT_EQ(Parse({"--contact-sheet"}).options.outputPattern, "kelvrix-contact-sheet.png");
}

TEST(RenderOptions, HelpExplainsEveryOption) {
  const std::string help = HelpText("kelvrix-render");
  for (const char* option : {"--depth", "--style", "--size", "--width", "--height", "--frames",
                             "--threads", "--input", "--cache-mb", "--output", "--contact-sheet",
                             "--module", "--quiet", "--help", "Exit status"}) {
    EXPECT_NE(help.find(option), std::string::npos) << option;
  }
}

TEST(RenderOptions, OutputNamesGiveFrameNumbersAndKinds) {
  EXPECT_EQ(OutputPathFor("f-####.png", 7), "f-0007.png");
  EXPECT_EQ(OutputPathFor("f-#.png", 123), "f-123.png");
  EXPECT_EQ(OutputPathFor("a#/b-##.png", 5), "a5/b-05.png");
  EXPECT_EQ(OutputPathFor("still.png", 9), "still.png");
  const std::pair<const char*, int> kinds[] = {{"a/b.PNG", int(OutputKind::Png)},
                                               {"b.exr", int(OutputKind::Exr)},
                                               {"b.tif", -1},
                                               {"png", -1}};
  for (const auto& [path, want] : kinds) {
    OutputKind kind;
    EXPECT_EQ(OutputKindOf(path, &kind) ? int(kind) : -1, want) << path;
  }
}

}  // namespace
}  // namespace kelvrix::cli
