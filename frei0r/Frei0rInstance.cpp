#include "frei0r/Frei0rInstance.h"

#include <cstdio>
#include <cstring>
#include <new>

#include "edition/EditionWorld.h"
#include "edition/OutputRowsOnce.h"
#include "edition/PixelOrder.h"

namespace kelvrix::frei0r {

std::unique_ptr<Frei0rInstance> Frei0rInstance::Create(unsigned width, unsigned height) {
  if (!edition::RenderableFrame(width, height)) {
    std::fprintf(stderr,
                 "kelvrix: cannot render %u x %u frames: the width must be 1 to %ld pixels and "
                 "the height 1 to %ld\n",
                 width, height, static_cast<long>(edition::kMaxFrameWidth),
                 static_cast<long>(edition::kMaxFrameHeight));
    return nullptr;
  }
  std::unique_ptr<Frei0rInstance> instance(new (std::nothrow) Frei0rInstance);
  if (!instance) return nullptr;
  instance->width_ = static_cast<A_long>(width);
  instance->height_ = static_cast<A_long>(height);
  return instance;
}

void Frei0rInstance::SetStyle(const char* text) {
  const uint8_t style = StyleFromString(text);
  if (style != kStyleNone) {
    style_.store(style, std::memory_order_relaxed);
    return;
  }
  bool first = false;
  try {
    std::lock_guard<std::mutex> lock(reportedMutex_);
    first = reported_.insert(text != nullptr ? text : "").second;
  } catch (const std::bad_alloc&) {
    first = true;  // said again rather than never
  }
  if (first) ReportUnknownStyle(text);
}

namespace {

// The host's RGBA frame into the input world, when the core first reads it: only the card does,
// so memory frames skip the conversion.
struct InputFromHost {
  const uint32_t* inframe;
  size_t pixels;
};

PF_Err FillInput(void* context, PF_EffectWorld* input) {
  const auto& from = *static_cast<const InputFromHost*>(context);
  edition::RgbaToArgb(reinterpret_cast<const uint8_t*>(from.inframe),
                      reinterpret_cast<uint8_t*>(input->data), from.pixels);
  return PF_Err_NONE;
}

struct HostRows {
  uint8_t* outframe;
  A_long width;
};

// A row of the output, turned from the core's ARGB into RGBA where it lies.
PF_Err TurnRow(void* context, A_long, A_long row) {
  const auto& rows = *static_cast<const HostRows*>(context);
  uint8_t* pixels = rows.outframe + static_cast<size_t>(row) * static_cast<size_t>(rows.width) * 4;
  edition::ArgbToRgba(pixels, pixels, static_cast<size_t>(rows.width));
  return PF_Err_NONE;
}

PF_Err RowFinished(void* context, A_long row) {
  return static_cast<edition::OutputRowsOnce*>(context)->Finished(0, row);
}

}  // namespace

edition::EditionResult Frei0rInstance::Update(const uint32_t* inframe, uint32_t* outframe) {
  edition::EditionResult result;
  if (outframe == nullptr) {
    result.err = PF_Err_BAD_CALLBACK_PARAM;
    return result;
  }
  const size_t pixels = static_cast<size_t>(width_) * static_cast<size_t>(height_);
  // The core renders ARGB straight into the host's frame, each row turned into RGBA as it is
  // finished.
  PF_EffectWorld output =
      edition::WorldOver(outframe, width_ * static_cast<A_long>(sizeof(PF_Pixel8)), width_, height_,
                         PF_PixelFormat_ARGB32);
  HostRows hostRows{reinterpret_cast<uint8_t*>(outframe), width_};
  edition::OutputRowsOnce rows(TurnRow, &hostRows);
  edition::PooledWorld input(inputs_);
  InputFromHost fromHost{inframe, pixels};
  edition::EditionFrame frame;
  frame.size = SliderFromSizeParam(sizeParam());
  frame.style = style_.load(std::memory_order_relaxed);
  frame.format = PF_PixelFormat_ARGB32;
  frame.output = &output;
  result.err = rows.Reset(height_);
  if (result.err == PF_Err_NONE && inframe != nullptr) {
    // The world is filled only when the card reads it, and before anything writes the output,
    // so a host that hands over one buffer for both frames gets the right card too.
    result.err = input.Take(width_, height_, PF_PixelFormat_ARGB32, /*clear=*/false);
    frame.input = input.get();
    frame.inputFill = edition::InputFill{FillInput, &fromHost};
  }
  if (result.err == PF_Err_NONE) {
    frame.outputRows = edition::OutputRows{RowFinished, &rows};
    result = edition::RenderEditionFrame(frame);
  }
  if (result.err == PF_Err_NONE) result.err = rows.ConvertRest(edition::RowRunner{});
  if (result.err != PF_Err_NONE) std::memset(outframe, 0, pixels * sizeof(uint32_t));
  return result;
}

}  // namespace kelvrix::frei0r
