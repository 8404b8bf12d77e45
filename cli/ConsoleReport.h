// What kelvrix-render tells its user: a line per frame on standard output, a summary at the
// end, and progress on standard error, drawn as a bar when that is a terminal and written as
// plain lines when it is a pipe or a file.
#pragma once

#include <chrono>
#include <cstdio>

#include "cli/Renderer.h"

namespace kelvrix::cli {

// Whether the stream is an interactive terminal.
bool IsTerminal(std::FILE* stream);

class ConsoleReport : public RenderObserver {
 public:
  ConsoleReport(std::FILE* out, std::FILE* progress, bool progressIsTerminal, bool quiet)
      : out_(out), progress_(progress), bar_(progressIsTerminal), quiet_(quiet) {}

  void OnStart(int totalFrames) override;
  void OnFrame(const FrameReport& report) override;
  void OnFinish(const RenderSummary& summary) override;

 private:
  void ClearBar();

  std::FILE* out_;
  std::FILE* progress_;
  bool bar_;
  bool quiet_;
  int total_ = 0;
  int done_ = 0;
  std::chrono::steady_clock::time_point start_;
};

}  // namespace kelvrix::cli
