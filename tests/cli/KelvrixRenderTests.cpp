// kelvrix-render run as a program, with the real plug-in module, on small frames; every file
// it writes is read back by a reader that is not ours.
#include <gtest/gtest.h>

#include <regex>

#include "cli/ContactSheet.h"
#include "cli/ImageFiles.h"
#include "tests/cli/CliTestSupport.h"

using namespace kelvrix::cli;
using namespace kelvrix::cli::testing;

namespace {

// Small frames and a small Size keep a search short; '@' stands for the scratch folder.
RunResult Render(const std::string& arguments, const ScratchDir& dir,
                 const std::string& environment = "") {
  const std::string line = environment + " " + KELVRIX_RENDER_PATH +
                           " --width 64 --height 36 --size 20 --threads 2 " + arguments;
  return Run(std::regex_replace(line, std::regex("@"), dir / ""), dir);
}

TEST(KelvrixRender, EachDepthWritesItsFileKindAndEveryFrameIsReported) {
  ScratchDir dir;
  WritePng(dir / "in.png", RgbaImage(5, 3), 8);
  const std::pair<std::string, std::string> cases[] = {
      {"--frames 2 --size 20:400 --output @f-##.png", "f-01.png RGBA 8 6"},
      {"--depth=16 --style 16 --input=@in.png --output @g.png", "g.png RGBA 16 6"},
      {"--depth 32 --output @h.png", "h.png RGBA 16 6"},
      {"--depth 32 --style 8 --output @h-#.exr", "h-0.exr"},
  };
  RunResult first;
  for (const auto& [arguments, want] : cases) {
    SCOPED_TRACE(arguments);
    const RunResult r = Render(arguments, dir);
    ASSERT_EQ(r.status, 0) << r.err;
    if (first.out.empty()) first = r;
    // Frames without memory keep the host's fill pattern or show the card.
    const bool full = r.out.find("no memory") == std::string::npos;
    const std::string file = want.substr(0, want.find(' '));
    if (file == want) {
      const RgbaImage exr = ReadExr(dir / file);
      ASSERT_EQ(exr.width * exr.height, 64 * 36);
      for (size_t i = 3; full && i < exr.pixels.size(); i += 4) ASSERT_EQ(exr.pixels[i], 1.0f);
    } else {
      const std::string got = DescribePng(dir / file, dir);
      EXPECT_EQ(got.rfind("64 36" + want.substr(file.size()) + (full ? " 255 255" : ""), 0), 0u)
          << got;
    }
  }
  EXPECT_EQ(dir.Files(), (std::vector<std::string>{"f-00.png", "f-01.png", "g.png", "h-0.exr",
                                                   "h.png", "in.png"}));
  const std::regex frame(
      "frame (\\d)/2  size (\\d+\\.\\d)  (memory|no memory \\(card\\))  search [0-9.]+ ms "
      "\\(\\d+ blocks?, (\\d+) bytes held\\)  frame [0-9.]+ ms  -> (.*)\n");
  size_t held = 0;
  std::string seen;
  for (std::sregex_iterator m(first.out.begin(), first.out.end(), frame), end; m != end; ++m) {
    seen += (*m)[1].str() + " " + (*m)[2].str() + " " + (*m)[5].str() + "\n";
    held = std::max<size_t>(held, std::stoull((*m)[4]));
  }
  EXPECT_EQ(seen, "1 20.0 " + (dir / "f-00.png") + "\n2 400.0 " + (dir / "f-01.png") + "\n")
      << first.out;
  char summary[80];  // the largest search of the two, in MiB
  std::snprintf(summary, sizeof summary, "summary: 2 frames, .*, largest search held %.1f MiB\n",
                static_cast<double>(held) / 1048576.0);
  EXPECT_TRUE(std::regex_search(first.out, std::regex(summary))) << first.out;
  EXPECT_NE(first.err.find("progress: 2/2 frames, "), std::string::npos) << first.err;
  EXPECT_EQ(first.err.find('\r'), std::string::npos);
  const RunResult quiet = Render("--quiet --output @q.png", dir);
  EXPECT_EQ(quiet.status + quiet.out.size() + quiet.err.size(), 0u) << quiet.out << quiet.err;
}

// The same options through the OpenFX edition: the bundle (or its binary) in the simulated
// OpenFX host, the same files; a bundle that is not there is a module that failed to load.
TEST(KelvrixRender, AnOpenFxBundleRendersTheSameFilesThroughTheOpenFxEdition) {
  ScratchDir dir;
  const std::string bundle = std::string("--module ") + KELVRIX_OFX_BUNDLE;
  const std::pair<std::string, std::string> cases[] = {
      {bundle + " --frames 2 --output @o-#.png", "o-1.png RGBA 8 6"},
      {bundle + "/ --depth 16 --style 32 --output @p.png", "p.png RGBA 16 6"},
      {bundle + "/Contents/Linux-x86-64/kelvrix.ofx --depth 32 --output @r.png", "r.png RGBA 16 6"},
  };
  // Each frame's search as the After Effects edition reports it: blocks of the memory image's
  // size, held until the frame is done. Size 20 on a 16:9 frame at 8 bits: ceil(sqrt(400 /
  // (16/9))) = 15 rows of ceil(15 * 16/9) = 27 pixels of 3 bytes.
  const std::regex search(
      "(memory|no memory \\(card\\))  search [0-9.]+ ms "
      "\\((\\d+) blocks?, (\\d+) bytes held\\)");
  for (const auto& [arguments, want] : cases) {
    SCOPED_TRACE(arguments);
    const RunResult r = Render(arguments, dir);
    ASSERT_EQ(r.status, 0) << r.err;
    int frames = 0;
    for (std::sregex_iterator m(r.out.begin(), r.out.end(), search), end; m != end; ++m) {
      ++frames;
      const size_t blocks = std::stoull((*m)[2]);
      if ((*m)[1] == "memory") {
        EXPECT_GE(blocks, 1u) << r.out;
      }
      if (arguments.find("--style") == std::string::npos) {
        EXPECT_EQ(std::stoull((*m)[3]), blocks * 15 * 27 * 3) << r.out;
      }
    }
    EXPECT_EQ(frames, arguments.find("--frames 2") != std::string::npos ? 2 : 1) << r.out;
    const std::string file = want.substr(0, want.find(' '));
    const bool full = r.out.find("no memory") == std::string::npos;
    const std::string got = DescribePng(dir / file, dir);
    EXPECT_EQ(got.rfind("64 36" + want.substr(file.size()) + (full ? " 255 255" : ""), 0), 0u)
        << got;
  }
  const RunResult missing = Render("--module @nothing.ofx.bundle --output @x.png", dir);
  EXPECT_EQ(missing.status, 5);
  EXPECT_NE(missing.err.find("cannot load OpenFX module"), std::string::npos) << missing.err;
}

TEST(KelvrixRender, ContactSheetHasNineCellsEachWithALabelOfItsOwn) {
  ScratchDir dir;
  const RunResult r = Render("--contact-sheet --width 192 --height 108 --output @s.png", dir);
  ASSERT_EQ(r.status, 0) << r.err;
  EXPECT_EQ(std::count(r.out.begin(), r.out.end(), '\n'), 10) << r.out;  // nine cells, summary
  const ContactSheetLayout layout = ContactSheetLayoutFor(192, 108);     // cells a third the frame
  EXPECT_EQ(std::make_pair(layout.cellWidth, layout.cellHeight), std::make_pair(64, 36));
  EXPECT_EQ(
      DescribePng(dir / "s.png", dir),
      std::to_string(layout.Width()) + " " + std::to_string(layout.Height()) + " RGBA 8 6 255 255");
  const RgbaImage sheet = ReadPng(dir / "s.png");
  std::vector<std::vector<float>> strips;
  for (int i = 0; i < 9; ++i) {
    std::vector<float> strip;
    for (int y = layout.CellTop(i / 3); y < layout.CellTop(i / 3) + layout.labelHeight; ++y) {
      for (int x = layout.CellLeft(i % 3); x < layout.CellLeft(i % 3) + layout.cellWidth; ++x) {
        strip.push_back(sheet.At(x, y)[0]);
      }
    }
    EXPECT_GT(std::count_if(strip.begin(), strip.end(), [](float v) { return v > 0.5f; }), 20)
        << "cell " << i << " has no label";
    EXPECT_EQ(std::count(strips.begin(), strips.end(), strip), 0) << "cell " << i << " repeats";
    strips.push_back(strip);
  }
  EXPECT_EQ(dir.Files(), std::vector<std::string>{"s.png"});
}

// Every failure exits with its status and one last line on standard error, after any progress
// lines, and leaves no partial file. The folder holds a file "plain" and texts "notes.png" and
// "fake.so"; the output is o.png unless the row names another.
TEST(KelvrixRender, FailuresGiveTheirStatusAndOneLineAndLeaveOnlyCompleteFiles) {
  const std::string failing = std::string("--module ") + KELVRIX_FAILING_MODULE_PATH;
  const struct {
    std::string arguments;
    int status;
    std::string message, environment = "";
  } cases[] = {
      {"--depth 12", 2, "bad value '12' for --depth"},
      {"--frames 3 --output @x.png", 2, "no '#'"},
      {"--input @none.png", 3, "cannot read input @none.png: "},
      {"--input @notes.png", 3, "unsupported input @notes.png: not a PNG file"},
      {"--output @plain/o.png", 4, "cannot write @plain/o.png: "},
      {"--depth 32 --output @plain/o.exr", 4, "cannot write @plain/o.exr: "},
      {"--module @fake.so", 5, "cannot load plug-in module @fake.so: "},
      {"--module @absent.so --contact-sheet", 5, "cannot load plug-in module"},
      {failing + " --frames 3 --output @f-#.png", 6,
       "smart render of frame 1 returned error 4 (out of memory): test module gave up",
       "KELVRIX_TEST_FAIL_FROM_FRAME=1"},
      {failing + " --contact-sheet --width 30 --height 30", 6,
       "smart render of frame 0 returned error 4"},
  };
  for (const auto& [arguments, status, message, environment] : cases) {
    SCOPED_TRACE(arguments);
    ScratchDir dir;
    for (const char* name : {"plain", "notes.png", "fake.so"}) WriteFile(dir / name, "x");
    const RunResult r = Render("--output @o.png " + arguments, dir, environment);
    EXPECT_EQ(r.status, status) << r.err;
    const size_t last = r.err.rfind('\n', r.err.size() - 2) + 1;  // npos + 1 is 0
    EXPECT_EQ(r.err.find("kelvrix-render: "), last) << r.err;
    EXPECT_NE(r.err.find(std::regex_replace(message, std::regex("@"), dir / ""), last),
              std::string::npos)
        << r.err;
    std::vector<std::string> left = {"fake.so", "notes.png", "plain"};
    if (!environment.empty()) left.insert(left.begin(), "f-0.png");
    EXPECT_EQ(dir.Files(), left);
  }
}

}  // namespace
