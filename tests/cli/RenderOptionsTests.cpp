#include <gtest/gtest.h>

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

TEST(RenderOptions, NoArgumentsGiveOneFullHdFrameOfZestyAtSize150) {
  const Parsed p = Parse({});
  ASSERT_TRUE(p.ok) << p.error;
  EXPECT_EQ(p.options.projectDepth, 8);
  EXPECT_EQ(p.options.styleDepth, 8);
  EXPECT_EQ(p.options.sizeFrom, 150.0);
  EXPECT_EQ(p.options.sizeTo, 150.0);
  EXPECT_EQ(p.options.width, 1920);
  EXPECT_EQ(p.options.height, 1080);
  EXPECT_EQ(p.options.frames, 1);
  EXPECT_EQ(p.options.outputPattern, "kelvrix-####.png");
  EXPECT_FALSE(p.options.contactSheet);
  EXPECT_FALSE(p.options.quiet);
}

TEST(RenderOptions, EveryValuedOptionIsReadInBothSpellings) {
  const Parsed p = Parse({"--depth",     "16",       "--style=32", "--size",   "50:400",
                          "--width=64",  "--height", "48",         "--frames", "12",
                          "--threads=3", "--input",  "in.png",     "--output", "out/f-###.exr",
                          "--module",    "m.so",     "--cache-mb", "0",        "-q"});
  ASSERT_TRUE(p.ok) << p.error;
  EXPECT_EQ(p.options.projectDepth, 16);
  EXPECT_EQ(p.options.styleDepth, 32);
  EXPECT_EQ(p.options.sizeFrom, 50.0);
  EXPECT_EQ(p.options.sizeTo, 400.0);
  EXPECT_EQ(p.options.width, 64);
  EXPECT_EQ(p.options.height, 48);
  EXPECT_EQ(p.options.frames, 12);
  EXPECT_EQ(p.options.threads, 3u);
  EXPECT_EQ(p.options.inputPath, "in.png");
  EXPECT_EQ(p.options.outputPattern, "out/f-###.exr");
  EXPECT_EQ(p.options.modulePath, "m.so");
  EXPECT_EQ(p.options.cacheMegabytes, 0);
  EXPECT_TRUE(p.options.quiet);
}

TEST(RenderOptions, DefaultOutputFollowsDepthAndContactSheet) {
  EXPECT_EQ(Parse({"--depth", "32"}).options.outputPattern, "kelvrix-####.exr");
  EXPECT_EQ(Parse({"--contact-sheet"}).options.outputPattern, "kelvrix-contact-sheet.png");
}

TEST(RenderOptions, BadValuesAreRefusedWithTheOptionAndWhatItExpects) {
  const std::vector<std::pair<std::vector<std::string>, std::string>> cases = {
      {{"--depth", "24"}, "bad value '24' for --depth: expected 8, 16 or 32"},
      {{"--style", "eight"}, "bad value 'eight' for --style"},
      {{"--size", "0"}, "bad value '0' for --size"},
      {{"--size", "1001"}, "for --size"},
      {{"--size", "nan"}, "for --size"},
      {{"--size", "50:"}, "for --size"},
      {{"--size", "50:400:7"}, "for --size"},
      {{"--width", "0"}, "for --width"},
      {{"--height", "30001"}, "for --height"},
      {{"--width", "12px"}, "for --width"},
      {{"--frames", "-1"}, "for --frames"},
      {{"--frames", "99999999999999999999"}, "for --frames"},
      {{"--threads", "0"}, "for --threads"},
      {{"--input", ""}, "for --input"},
  };
  for (const auto& [args, message] : cases) {
    const Parsed p = Parse(args);
    EXPECT_FALSE(p.ok) << args[0] << " " << args[1];
    EXPECT_NE(p.error.find(message), std::string::npos) << p.error;
  }
}

TEST(RenderOptions, UnknownOptionsMissingValuesAndFlagsWithValuesAreRefused) {
  EXPECT_EQ(Parse({"--colour"}).error, "unknown option '--colour' (try --help)");
  EXPECT_EQ(Parse({"frame.png"}).error, "unknown option 'frame.png' (try --help)");
  EXPECT_EQ(Parse({"--frames"}).error,
            "option --frames needs a value: a whole number from 1 to 1000000");
  EXPECT_FALSE(Parse({"--quiet=yes"}).ok);
}

TEST(RenderOptions, OutputsThatCannotWorkAreRefusedBeforeRendering) {
  EXPECT_NE(Parse({"--output", "f.jpg"}).error.find("must end in .png or .exr"), std::string::npos);
  EXPECT_NE(Parse({"--output", "dir.png/frame"}).error.find(".png or .exr"), std::string::npos);
  EXPECT_NE(Parse({"--frames", "2", "--output", "f.png"}).error.find("no '#'"), std::string::npos);
  EXPECT_TRUE(Parse({"--frames", "1", "--output", "f.png"}).ok);
  EXPECT_NE(Parse({"--contact-sheet", "--output", "s.exr"}).error.find("PNG"), std::string::npos);
  EXPECT_FALSE(Parse({"--contact-sheet", "--width", "2"}).ok);
}

TEST(RenderOptions, HelpIsAcceptedWhateverElseIsWrongWithTheOutput) {
  const Parsed p = Parse({"--output", "x.jpg", "--help"});
  EXPECT_TRUE(p.ok);
  EXPECT_TRUE(p.options.help);
}

TEST(RenderOptions, HelpExplainsEveryOption) {
  const std::string help = HelpText("kelvrix-render");
  for (const char* option : {"--depth", "--style", "--size", "--width", "--height", "--frames",
                             "--threads", "--input", "--cache-mb", "--output", "--contact-sheet",
                             "--module", "--quiet", "--help", "Exit status"}) {
    EXPECT_NE(help.find(option), std::string::npos) << option;
  }
}

TEST(RenderOptions, HashRunsBecomeTheZeroPaddedFrameNumber) {
  EXPECT_EQ(OutputPathFor("f-####.png", 7), "f-0007.png");
  EXPECT_EQ(OutputPathFor("f-#.png", 123), "f-123.png");
  EXPECT_EQ(OutputPathFor("a#/b-##.png", 5), "a5/b-05.png");
  EXPECT_EQ(OutputPathFor("still.png", 9), "still.png");
}

TEST(RenderOptions, OutputKindComesFromTheExtensionInAnyCase) {
  OutputKind kind;
  ASSERT_TRUE(OutputKindOf("a/b.PNG", &kind));
  EXPECT_EQ(kind, OutputKind::Png);
  ASSERT_TRUE(OutputKindOf("b.exr", &kind));
  EXPECT_EQ(kind, OutputKind::Exr);
  EXPECT_FALSE(OutputKindOf("b.tif", &kind));
  EXPECT_FALSE(OutputKindOf("png", &kind));
}

}  // namespace
}  // namespace kelvrix::cli
