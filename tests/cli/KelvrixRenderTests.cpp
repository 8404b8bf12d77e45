// kelvrix-render run as a program, with the real plug-in module, on small frames; every file
// it writes is read back by a reader that is not ours.
#include <gtest/gtest.h>

#include <regex>

#include "cli/ContactSheet.h"
#include "cli/ImageFiles.h"
#include "tests/cli/CliTestSupport.h"

namespace kelvrix::cli {
namespace {

using testing::DescribePng;
using testing::Quoted;
using testing::RunResult;
using testing::ScratchDir;

// Small frames and a small Size keep a search short.
const std::string kSmall = " --width 64 --height 36 --size 20 --threads 2";

RunResult Render(const std::string& arguments, const ScratchDir& dir,
                 const std::string& environment = "") {
  return testing::Run(environment + " " + Quoted(KELVRIX_RENDER_PATH) + " " + arguments, dir);
}

// Frames without memory keep the host's fill pattern or show the card, so full alpha is only
// promised where the report says memory.
bool AllShowedMemory(const RunResult& r) { return r.out.find("no memory") == std::string::npos; }

TEST(KelvrixRender, EachDepthWritesItsFileKind) {
  ScratchDir dir;
  WritePng(dir / "in.png", RgbaImage(5, 3), 8);
  const struct {
    std::string arguments, file, description;
  } cases[] = {
      {"--frames 2 --size 20:40 --output " + Quoted(dir / "f-##.png"), "f-01.png", "RGBA 8 6"},
      {"--depth 16 --style 16 --input " + Quoted(dir / "in.png") + " --output " +
           Quoted(dir / "g.png"),
       "g.png", "RGBA 16 6"},
      {"--depth 32 --output " + Quoted(dir / "h.png"), "h.png", "RGBA 16 6"},
      {"--depth 32 --style 8 --output " + Quoted(dir / "h-#.exr"), "h-0.exr", ""},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.arguments);
    const RunResult r = Render(kSmall + " " + c.arguments, dir);
    ASSERT_EQ(r.status, 0) << r.err;
    const bool full = AllShowedMemory(r);
    if (c.description.empty()) {
      const RgbaImage exr = testing::ReadExr(dir / c.file);
      ASSERT_EQ(exr.width * exr.height, 64 * 36);
      for (size_t i = 3; full && i < exr.pixels.size(); i += 4) ASSERT_EQ(exr.pixels[i], 1.0f);
      continue;
    }
    const std::string got = DescribePng(dir / c.file, dir);
    EXPECT_EQ(got.rfind("64 36 " + c.description + (full ? " 255 255" : ""), 0), 0u) << got;
  }
  EXPECT_EQ(dir.Files(), (std::vector<std::string>{"f-00.png", "f-01.png", "g.png", "h-0.exr",
                                                   "h.png", "in.png"}));
}

TEST(KelvrixRender, ReportsEachFrameAndASummaryUnlessQuiet) {
  ScratchDir dir;
  const RunResult r =
      Render(kSmall + " --frames 2 --size 20:400 --output " + Quoted(dir / "p-#.png"), dir);
  ASSERT_EQ(r.status, 0) << r.err;
  const std::regex frame(
      "frame (\\d)/2  size (\\d+\\.\\d)  (memory|no memory \\(card\\))  search [0-9.]+ ms "
      "\\(\\d+ blocks?, (\\d+) bytes held\\)  frame [0-9.]+ ms  -> (.*)\n");
  size_t held = 0;
  std::string seen;
  for (std::sregex_iterator m(r.out.begin(), r.out.end(), frame), end; m != end; ++m) {
    seen += (*m)[1].str() + " " + (*m)[2].str() + " " + (*m)[5].str() + "\n";
    held = std::max<size_t>(held, std::stoull((*m)[4]));
  }
  EXPECT_EQ(seen, "1 20.0 " + (dir / "p-0.png") + "\n2 400.0 " + (dir / "p-1.png") + "\n") << r.out;
  char summary[64];
  std::snprintf(summary, sizeof summary, "largest search held %.1f MiB\n",
                static_cast<double>(held) / 1048576.0);
  EXPECT_NE(r.out.find(summary), std::string::npos) << r.out;
  EXPECT_NE(r.out.find("summary: 2 frames, "), std::string::npos) << r.out;
  EXPECT_NE(r.err.find("progress: 2/2 frames, "), std::string::npos) << r.err;
  EXPECT_EQ(r.err.find('\r'), std::string::npos);

  const RunResult quiet = Render("--quiet" + kSmall + " --output " + Quoted(dir / "q.png"), dir);
  EXPECT_EQ(quiet.status + quiet.out.size() + quiet.err.size(), 0u) << quiet.out << quiet.err;
  const RunResult help = Render("--help", dir);
  EXPECT_EQ(help.status, 0);
  EXPECT_NE(help.out.find("--contact-sheet"), std::string::npos);
}

TEST(KelvrixRender, ContactSheetHasNineCellsEachWithALabelOfItsOwn) {
  ScratchDir dir;
  const RunResult r = Render(
      "--contact-sheet --width 192 --height 108 --size 20 --output " + Quoted(dir / "s.png"), dir);
  ASSERT_EQ(r.status, 0) << r.err;
  const ContactSheetLayout layout = ContactSheetLayoutFor(192, 108);
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
  EXPECT_EQ(std::count(r.out.begin(), r.out.end(), '\n'), 10) << r.out;  // nine cells, summary
  EXPECT_EQ(dir.Files(), std::vector<std::string>{"s.png"});
}

// Every failure exits with its status and one last line on standard error, after any progress
// lines, and leaves no partial file. '@' stands for the scratch folder, which holds a file
// "plain", a text "notes.png" and a text "fake.so".
TEST(KelvrixRender, FailuresGiveTheirStatusAndOneLineAndLeaveOnlyCompleteFiles) {
  const std::string failing = " --module " + Quoted(KELVRIX_FAILING_MODULE_PATH);
  const struct {
    std::string arguments, environment;
    int status;
    std::string message, left;
  } cases[] = {
      {"--depth 12", "", 2, "bad value '12' for --depth", ""},
      {"--frames 3 --output @/x.png", "", 2, "no '#'", ""},
      {"--input @/none.png" + kSmall, "", 3, "cannot read input @/none.png: ", ""},
      {"--input @/notes.png" + kSmall, "", 3, "unsupported input @/notes.png: not a PNG file", ""},
      {"--output @/plain/o.png" + kSmall, "", 4, "cannot write @/plain/o.png: ", ""},
      {"--depth 32 --output @/plain/o.exr" + kSmall, "", 4, "cannot write @/plain/o.exr: ", ""},
      {"--module @/fake.so" + kSmall, "", 5, "cannot load plug-in module @/fake.so: ", ""},
      {"--module @/absent.so --contact-sheet", "", 5, "cannot load plug-in module", ""},
      {failing + " --frames 3 --output @/f-#.png" + kSmall, "KELVRIX_TEST_FAIL_FROM_FRAME=1", 6,
       "smart render of frame 1 returned error 4 (out of memory): test module gave up", "f-0.png"},
      {failing + " --contact-sheet --width 30 --height 30", "", 6,
       "smart render of frame 0 returned error 4", ""},
  };
  for (const auto& c : cases) {
    ScratchDir dir;
    const auto at = [&](std::string text) {
      std::string root = dir / "";
      root.pop_back();
      return std::regex_replace(text, std::regex("@"), root);
    };
    SCOPED_TRACE(at(c.arguments));
    for (const char* name : {"plain", "notes.png", "fake.so"}) testing::WriteFile(dir / name, "x");
    const bool named = c.arguments.find("--output") != std::string::npos;
    const RunResult r =
        Render(at(c.arguments + (named ? "" : " --output @/o.png")), dir, c.environment);
    EXPECT_EQ(r.status, c.status) << r.err;
    ASSERT_FALSE(r.err.empty());
    const size_t last = r.err.rfind('\n', r.err.size() - 2) + 1;  // npos + 1 is 0
    EXPECT_EQ(r.err.find("kelvrix-render: "), last) << r.err;
    EXPECT_NE(r.err.find(at(c.message), last), std::string::npos) << r.err;
    EXPECT_EQ(r.err.back(), '\n');
    std::vector<std::string> left = {"fake.so", "notes.png", "plain"};
    if (!c.left.empty()) left.insert(left.begin(), c.left);
    EXPECT_EQ(dir.Files(), left);
    if (!c.left.empty()) {
      EXPECT_EQ(DescribePng(dir / c.left, dir).rfind("64 36 RGBA 8 6", 0), 0u);
    }
  }
}

}  // namespace
}  // namespace kelvrix::cli
