// One frame of the effect for a host that is not After Effects. The render core speaks the
// After Effects interface; an edition's adapter describes the frame here (Size, style, its
// worlds in the core's ARGB formats, how to stop and how to run rows) and RenderEditionFrame
// presents the core with the records and suites it expects, then renders. Every call stands
// alone: nothing is shared between calls, and calls on several threads at once are fine.
#pragma once

#include <cstdint>

#include "hostapi/HostApi.h"
#include "render/RenderPlan.h"
#include "render/SmartRender.h"

namespace kelvrix::edition {

// One row of a pass: `thread` is the runner's worker (0 .. workers - 1), for a body that
// keeps scratch per worker.
using RowBody = PF_Err (*)(void* bodyContext, A_long thread, A_long row);

// Runs body for every row in [0, rows), in any order and on any threads, each row once;
// returns when all are done, with the first non-zero result (0 if none). A null `run` runs
// the rows on the calling thread, top to bottom.
struct RowRunner {
  PF_Err (*run)(void* runnerContext, A_long rows, RowBody body, void* bodyContext) = nullptr;
  void* context = nullptr;
};

// Runs the rows with `runner`, or on the calling thread when it has no `run`.
PF_Err RunRows(const RowRunner& runner, A_long rows, RowBody body, void* bodyContext);

// Asked between the blocks the memory search tries: non-zero stops the frame with that code
// (the card is drawn). A null `check` never stops.
struct AbortCheck {
  PF_Err (*check)(void* context) = nullptr;
  void* context = nullptr;
};

// Makes the input world's pixels the first time the core reads them. The core reads the input
// only in the message card's composite, a pixel pass with the input as its source, so an
// edition that must convert its host's picture into the input world pays for that only on
// card frames. A null `fill`: the input is ready as given.
struct InputFill {
  PF_Err (*fill)(void* context, PF_EffectWorld* input) = nullptr;
  void* context = nullptr;
};

// Told of each output row a pixel pass has just written, on the thread that wrote it. The core
// ends every frame with a pixel pass over the output (full alpha, or the card's composite), so
// the last call for a row sees it finished: an edition whose host wants the output in another
// layout converts the row there, while it is in cache, instead of in a pass of its own. A
// null `written`: nothing is told.
struct OutputRows {
  PF_Err (*written)(void* context, A_long row) = nullptr;
  void* context = nullptr;
};

struct EditionFrame {
  double size = 150.0;                            // the Size slider's value; any double
  uint8_t style = kStyle8;                        // a StyleDepth
  PF_PixelFormat format = PF_PixelFormat_ARGB32;  // of output and input: ARGB32, 64 or 128
  PF_EffectWorld* output = nullptr;
  PF_EffectWorld* input = nullptr;  // read only; null: the card over transparent black
  InputFill inputFill;              // for `input`, when its pixels are made on demand
  OutputRows outputRows;            // told of each output row a pixel pass wrote
  AbortCheck abort;
  RowRunner rows;
};

// The card of the editions: outside After Effects it names no application.
inline constexpr CardTexts kEditionCard = {
    kCardTitle, kCardFirstHint,
    "Restarting the host application can also help - every session brings different data in "
    "memory."};

struct EditionResult {
  PF_Err err = PF_Err_NONE;
  bool card = false;         // no usable memory: the frame shows the message card
  int suitesUnreleased = 0;  // suites the core acquired and did not give back (0)
};

// Renders the frame into frame.output as the After Effects edition renders it for the same
// Size, style and depth: the memory picture with full alpha over the output, or the card
// over the dimmed input. err is the core's result; PF_Err_BAD_CALLBACK_PARAM for a frame
// without an output world and PF_Err_OUT_OF_MEMORY when the frame's records cannot be had.
EditionResult RenderEditionFrame(const EditionFrame& frame);

}  // namespace kelvrix::edition
