#include "cli/ConsoleReport.h"

#include <string>

#if defined(_WIN32)
#include <io.h>
#else
#include <unistd.h>
#endif

namespace kelvrix::cli {
namespace {

constexpr int kBarCells = 30;

std::string Duration(double seconds) {
  const long long s = static_cast<long long>(seconds + 0.5);
  if (s < 60) return std::to_string(s) + " s";
  return std::to_string(s / 60) + " min " + std::to_string(s % 60) + " s";
}

}  // namespace

bool IsTerminal(std::FILE* stream) {
#if defined(_WIN32)
  return _isatty(_fileno(stream)) != 0;
#else
  return isatty(fileno(stream)) != 0;
#endif
}

void ConsoleReport::OnStart(int totalFrames) {
  total_ = totalFrames;
  done_ = 0;
  start_ = std::chrono::steady_clock::now();
}

void ConsoleReport::ClearBar() {
  if (bar_) std::fprintf(progress_, "\r%*s\r", kBarCells + 60, "");
}

void ConsoleReport::OnFrame(const FrameReport& report) {
  ++done_;
  if (quiet_) return;
  ClearBar();
  std::fprintf(out_,
               "frame %d/%d  size %.1f  %s  search %.1f ms (%d block%s, %zu bytes held)  frame "
               "%.1f ms%s%s\n",
               report.index + 1, report.total, report.size,
               report.memoryShown ? "memory" : "no memory (card)", report.searchMs,
               report.searchBlocks, report.searchBlocks == 1 ? "" : "s", report.searchBytes,
               report.frameMs, report.path.empty() ? "" : "  -> ", report.path.c_str());
  std::fflush(out_);

  const double elapsed =
      std::chrono::duration<double>(std::chrono::steady_clock::now() - start_).count();
  const double fps = elapsed > 0.0 ? done_ / elapsed : 0.0;
  const double left = fps > 0.0 ? (total_ - done_) / fps : 0.0;
  if (bar_) {
    const int filled = total_ > 0 ? done_ * kBarCells / total_ : kBarCells;
    std::fprintf(progress_, "[%s%s] %d/%d frames  %.2f fps  %s left",
                 std::string(filled, '#').c_str(), std::string(kBarCells - filled, '.').c_str(),
                 done_, total_, fps, Duration(left).c_str());
    if (done_ == total_) std::fprintf(progress_, "\n");
  } else {
    std::fprintf(progress_, "progress: %d/%d frames, %.2f fps, %s left\n", done_, total_, fps,
                 Duration(left).c_str());
  }
  std::fflush(progress_);
}

void ConsoleReport::OnFinish(const RenderSummary& summary) {
  if (quiet_) return;
  const int cards = summary.frames - summary.memoryFrames;
  const double share = summary.frames > 0 ? 100.0 * cards / summary.frames : 0.0;
  std::fprintf(out_,
               "summary: %d frames, %d memory, %d no memory (%.1f %% cards), %.2f frames per "
               "second, %.1f s, largest search held %.1f MiB\n",
               summary.frames, summary.memoryFrames, cards, share, summary.FramesPerSecond(),
               summary.seconds, static_cast<double>(summary.largestSearchBytes) / 1048576.0);
  std::fflush(out_);
}

}  // namespace kelvrix::cli
