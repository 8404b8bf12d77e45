// kelvrix-render run as a program, with the real plug-in module, on small frames; every file
// it writes is read back by a reader that is not ours.
#include <ImfChannelList.h>
#include <ImfFrameBuffer.h>
#include <ImfHeader.h>
#include <ImfInputFile.h>
#include <gtest/gtest.h>

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

int Lines(const std::string& text) {
  return static_cast<int>(std::count(text.begin(), text.end(), '\n'));
}

std::string LastLine(const std::string& text) {
  const size_t end = text.empty() || text.back() != '\n' ? text.size() : text.size() - 1;
  const size_t start = text.rfind('\n', end == 0 ? 0 : end - 1);
  return text.substr(start == std::string::npos ? 0 : start + 1,
                     end - (start == std::string::npos ? 0 : start + 1));
}

// Frames without memory keep the host's fill pattern (alpha 0xCD) or show the card, so full
// alpha is only promised where the report says memory.
bool AllFramesShowedMemory(const RunResult& r) {
  return r.out.find("no memory") == std::string::npos;
}

TEST(KelvrixRender, EightBitProjectWritesAnEightBitPngPerFrame) {
  ScratchDir dir;
  const RunResult r = Render(
      "--frames 2 --size 20:40 --width 64 --height 36 --output " + Quoted(dir / "f-##.png"), dir);
  ASSERT_EQ(r.status, 0) << r.err;
  EXPECT_EQ(dir.Files(), (std::vector<std::string>{"f-00.png", "f-01.png"}));
  for (const char* name : {"f-00.png", "f-01.png"}) {
    const std::string description = DescribePng(dir / name, dir);
    EXPECT_EQ(description.rfind("64 36 RGBA 8 6 ", 0), 0u) << description;
    if (AllFramesShowedMemory(r)) {
      EXPECT_NE(description.find(" 255 255"), std::string::npos);
    }
  }
  EXPECT_NE(r.out.find("size 20.0"), std::string::npos) << r.out;
  EXPECT_NE(r.out.find("size 40.0"), std::string::npos) << r.out;
}

TEST(KelvrixRender, SixteenBitProjectWritesSixteenBitPngs) {
  ScratchDir dir;
  const RunResult r =
      Render("--depth 16 --style 16" + kSmall + " --output " + Quoted(dir / "g.png"), dir);
  ASSERT_EQ(r.status, 0) << r.err;
  const std::string description = DescribePng(dir / "g.png", dir);
  EXPECT_EQ(description.substr(0, 6), "64 36 ") << description;
  EXPECT_NE(description.find(" 16 6 "), std::string::npos) << description;
  if (AllFramesShowedMemory(r)) {
    EXPECT_NE(description.find(" 255 255"), std::string::npos);
  }
}

TEST(KelvrixRender, ThirtyTwoBitProjectWritesFloatExrByDefaultAndSixteenBitPngOnRequest) {
  ScratchDir dir;
  const RunResult r =
      Render("--depth 32 --style 8" + kSmall + " --output " + Quoted(dir / "h-#.exr"), dir);
  ASSERT_EQ(r.status, 0) << r.err;
  Imf::InputFile file((dir / "h-0.exr").c_str());
  const Imath::Box2i window = file.header().dataWindow();
  EXPECT_EQ(window.max.x - window.min.x + 1, 64);
  EXPECT_EQ(window.max.y - window.min.y + 1, 36);
  for (const char* name : {"R", "G", "B", "A"}) {
    const Imf::Channel* channel = file.header().channels().findChannel(name);
    ASSERT_NE(channel, nullptr) << name;
    EXPECT_EQ(channel->type, Imf::FLOAT);
  }
  std::vector<float> alpha(64 * 36);
  Imf::FrameBuffer frame;
  frame.insert("A", Imf::Slice(Imf::FLOAT, reinterpret_cast<char*>(alpha.data()), sizeof(float),
                               sizeof(float) * 64));
  file.setFrameBuffer(frame);
  file.readPixels(window.min.y, window.max.y);
  if (AllFramesShowedMemory(r)) {
    EXPECT_EQ(std::count(alpha.begin(), alpha.end(), 1.0f), 64 * 36);
  }

  const RunResult png = Render("--depth 32" + kSmall + " --output " + Quoted(dir / "h.png"), dir);
  ASSERT_EQ(png.status, 0) << png.err;
  EXPECT_NE(DescribePng(dir / "h.png", dir).find(" 16 6 "), std::string::npos);
}

TEST(KelvrixRender, ContactSheetHasNineCellsEachWithALabel) {
  ScratchDir dir;
  const RunResult r = Render(
      "--contact-sheet --width 192 --height 108 --size 20 --output " + Quoted(dir / "s.png"), dir);
  ASSERT_EQ(r.status, 0) << r.err;
  EXPECT_EQ(Lines(r.out), 10) << r.out;  // nine cells and the summary
  const ContactSheetLayout layout = ContactSheetLayoutFor(192, 108);
  const std::string description = DescribePng(dir / "s.png", dir);
  EXPECT_EQ(description.rfind(std::to_string(layout.Width()) + " " +
                                  std::to_string(layout.Height()) + " RGBA 8 6 255 255",
                              0),
            0u)
      << description;
  const RgbaImage sheet = ReadPng(dir / "s.png");
  std::vector<std::vector<float>> strips;
  for (int i = 0; i < 9; ++i) {
    std::vector<float> strip;
    int lit = 0;
    for (int y = layout.CellTop(i / 3); y < layout.CellTop(i / 3) + layout.labelHeight; ++y) {
      for (int x = layout.CellLeft(i % 3); x < layout.CellLeft(i % 3) + layout.cellWidth; ++x) {
        strip.push_back(sheet.At(x, y)[0]);
        lit += sheet.At(x, y)[0] > 0.5f ? 1 : 0;
      }
    }
    EXPECT_GT(lit, 20) << "cell " << i << " has no label";
    for (const auto& other : strips) EXPECT_NE(strip, other) << "cell " << i << " repeats a label";
    strips.push_back(strip);
  }
  EXPECT_EQ(dir.Files(), std::vector<std::string>{"s.png"});
}

TEST(KelvrixRender, ReportsEachFrameASummaryAndPlainProgressLinesWhenNotATerminal) {
  ScratchDir dir;
  const RunResult r = Render("--frames 2" + kSmall + " --output " + Quoted(dir / "p-#.png"), dir);
  ASSERT_EQ(r.status, 0) << r.err;
  EXPECT_NE(r.out.find("frame 1/2  size 20.0  "), std::string::npos) << r.out;
  EXPECT_NE(r.out.find("search "), std::string::npos);
  EXPECT_NE(r.out.find(" bytes held)"), std::string::npos) << r.out;
  EXPECT_NE(r.out.find(" ms  -> " + (dir / "p-1.png")), std::string::npos) << r.out;
  EXPECT_NE(r.out.find("summary: 2 frames, "), std::string::npos) << r.out;
  EXPECT_NE(r.out.find("frames per second"), std::string::npos);
  EXPECT_NE(r.err.find("progress: 2/2 frames, "), std::string::npos) << r.err;
  EXPECT_EQ(r.err.find('\r'), std::string::npos);
}

TEST(KelvrixRender, QuietPrintsNothingAndHelpExplainsTheOptions) {
  ScratchDir dir;
  const RunResult quiet = Render("--quiet" + kSmall + " --output " + Quoted(dir / "q.png"), dir);
  EXPECT_EQ(quiet.status, 0);
  EXPECT_EQ(quiet.out, "");
  EXPECT_EQ(quiet.err, "");
  const RunResult help = Render("--help", dir);
  EXPECT_EQ(help.status, 0);
  EXPECT_NE(help.out.find("--contact-sheet"), std::string::npos);
  EXPECT_NE(help.out.find("--size FROM:TO"), std::string::npos);
}

TEST(KelvrixRender, InputPictureComesFromAPngFile) {
  ScratchDir dir;
  const RunResult made =
      testing::Run(std::string(KELVRIX_PYTHON) +
                       " -c \"from PIL import Image; Image.new('RGB', (5, 3), (9, 99, "
                       "199)).save('" +
                       (dir / "in.png") + "')\"",
                   dir);
  ASSERT_EQ(made.status, 0) << made.err;
  const RunResult r = Render(
      "--input " + Quoted(dir / "in.png") + kSmall + " --output " + Quoted(dir / "o.png"), dir);
  EXPECT_EQ(r.status, 0) << r.err;
  EXPECT_EQ(DescribePng(dir / "o.png", dir).substr(0, 6), "64 36 ");
}

struct Failure {
  std::string arguments;
  std::string environment;
  int status;
  std::string message;
};

void ExpectFailure(const Failure& f, const ScratchDir& dir,
                   const std::vector<std::string>& filesLeft) {
  const RunResult r = Render(f.arguments, dir, f.environment);
  EXPECT_EQ(r.status, f.status) << f.arguments << "\n" << r.err;
  // Progress lines may come first; the error is one line, the last.
  const std::string last = LastLine(r.err);
  EXPECT_EQ(last.rfind("kelvrix-render: ", 0), 0u) << r.err;
  EXPECT_NE(last.find(f.message), std::string::npos) << r.err;
  EXPECT_EQ(r.err.find("kelvrix-render: "), r.err.size() - last.size() - 1) << r.err;
  EXPECT_EQ(dir.Files(), filesLeft) << f.arguments;
}

TEST(KelvrixRender, BadOptionsGiveOneLineAndStatusTwo) {
  ScratchDir dir;
  ExpectFailure({"--depth 12", "", 2, "bad value '12' for --depth"}, dir, {});
  ExpectFailure({"--frames 3 --output " + Quoted(dir / "x.png"), "", 2, "no '#'"}, dir, {});
}

TEST(KelvrixRender, UnreadableOrUnsupportedInputGivesStatusThree) {
  ScratchDir dir;
  ExpectFailure(
      {"--input " + Quoted(dir / "none.png") + kSmall + " --output " + Quoted(dir / "o.png"), "", 3,
       "cannot read input " + (dir / "none.png")},
      dir, {});
  testing::WriteFile(dir / "notes.png", "just text");
  ExpectFailure(
      {"--input " + Quoted(dir / "notes.png") + kSmall + " --output " + Quoted(dir / "o.png"), "",
       3, "not a PNG file"},
      dir, {"notes.png"});
}

TEST(KelvrixRender, UnwritableOutputGivesStatusFourAndNoFile) {
  ScratchDir dir;
  testing::WriteFile(dir / "plain", "a file, not a folder");
  ExpectFailure({kSmall + " --output " + Quoted(dir / "plain/o.png"), "", 4,
                 "cannot write " + (dir / "plain/o.png")},
                dir, {"plain"});
  ExpectFailure({"--depth 32" + kSmall + " --output " + Quoted(dir / "plain/o.exr"), "", 4,
                 "cannot write " + (dir / "plain/o.exr")},
                dir, {"plain"});
}

TEST(KelvrixRender, AModuleThatIsNotAPlugInGivesStatusFiveAndNoFile) {
  ScratchDir dir;
  testing::WriteFile(dir / "fake.so", "not a shared object");
  ExpectFailure(
      {"--module " + Quoted(dir / "fake.so") + kSmall + " --output " + Quoted(dir / "o.png"), "", 5,
       "cannot load plug-in module " + (dir / "fake.so") + ": "},
      dir, {"fake.so"});
  ExpectFailure({"--module " + Quoted(dir / "absent.so") + " --contact-sheet --output " +
                     Quoted(dir / "s.png"),
                 "", 5, "cannot load plug-in module"},
                dir, {"fake.so"});
}

TEST(KelvrixRender, ACommandThatFailsStopsWithItsErrorAndLeavesOnlyCompleteFrames) {
  ScratchDir dir;
  ExpectFailure({"--module " + Quoted(KELVRIX_FAILING_MODULE_PATH) + " --frames 3" + kSmall +
                     " --output " + Quoted(dir / "f-#.png"),
                 "KELVRIX_TEST_FAIL_FROM_FRAME=1", 6,
                 "smart render of frame 1 returned error 4 (out of memory): test module gave up"},
                dir, {"f-0.png"});
  EXPECT_EQ(DescribePng(dir / "f-0.png", dir).rfind("64 36 RGBA 8 6 ", 0), 0u);
  ExpectFailure({"--module " + Quoted(KELVRIX_FAILING_MODULE_PATH) +
                     " --contact-sheet --width 30 "
                     "--height 30 --output " +
                     Quoted(dir / "s.png"),
                 "", 6, "smart render of frame 0 returned error 4"},
                dir, {"f-0.png"});
}

TEST(KelvrixRender, TheDefaultModuleIsTheOneBuiltBesideTheProgram) {
  ScratchDir dir;
  const RunResult r = Render("--quiet" + kSmall + " --output " + Quoted(dir / "d.png"), dir);
  EXPECT_EQ(r.status, 0) << r.err;
  const RunResult explicitModule = Render("--quiet --module " + Quoted(KELVRIX_MODULE_PATH) +
                                              kSmall + " --output " + Quoted(dir / "e.png"),
                                          dir);
  EXPECT_EQ(explicitModule.status, 0) << explicitModule.err;
}

}  // namespace
}  // namespace kelvrix::cli
