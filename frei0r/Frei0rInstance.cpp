#include "frei0r/Frei0rInstance.h"

#include <algorithm>
#include <new>
#include <vector>

#include "edition/EditionWorld.h"
#include "frei0r/PixelOrder.h"

namespace kelvrix::frei0r {

std::unique_ptr<Frei0rInstance> Frei0rInstance::Create(unsigned width, unsigned height) {
  if (width == 0 || height == 0 || width > PF_MAX_WORLD_WIDTH || height > PF_MAX_WORLD_HEIGHT) {
    return nullptr;
  }
  std::unique_ptr<Frei0rInstance> instance(new (std::nothrow) Frei0rInstance);
  if (!instance) return nullptr;
  instance->width_ = static_cast<A_long>(width);
  instance->height_ = static_cast<A_long>(height);
  if (edition::AllocateWorld(instance->width_, instance->height_, PF_PixelFormat_ARGB32,
                             /*clear=*/false, &instance->input_) != PF_Err_NONE) {
    return nullptr;
  }
  try {
    instance->told_.resize(height);
  } catch (const std::bad_alloc&) {
    return nullptr;
  }
  return instance;
}

Frei0rInstance::~Frei0rInstance() { edition::FreeWorld(&input_); }

void Frei0rInstance::SetStyle(const char* text) {
  const uint8_t style = StyleFromString(text);
  if (style == kStyleNone) {
    ReportUnknownStyle(text);
    return;
  }
  style_ = style;
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
  RgbaToArgb(reinterpret_cast<const uint8_t*>(from.inframe),
             reinterpret_cast<uint8_t*>(input->data), from.pixels);
  return PF_Err_NONE;
}

// Each output row turned into RGBA where it lies as the core's last pass finishes it, while it
// is in cache; the core tells each row once. Rows it did not tell of (a frame that failed) are
// turned after.
struct RowsToHost {
  uint8_t* outframe;
  A_long width;
  std::vector<uint8_t>* told;  // per row
};

uint8_t* RowOf(const RowsToHost& rows, A_long row) {
  return rows.outframe + static_cast<size_t>(row) * static_cast<size_t>(rows.width) * 4;
}

PF_Err ConvertWrittenRow(void* context, A_long row) {
  const auto& rows = *static_cast<const RowsToHost*>(context);
  uint8_t& told = (*rows.told)[static_cast<size_t>(row)];
  if (told != 0) return PF_Err_INTERNAL_STRUCT_DAMAGED;  // a second turn would garble it
  told = 1;
  ArgbToRgba(RowOf(rows, row), RowOf(rows, row), static_cast<size_t>(rows.width));
  return PF_Err_NONE;
}

}  // namespace

edition::EditionResult Frei0rInstance::Update(const uint32_t* inframe, uint32_t* outframe) {
  edition::EditionResult result;
  if (outframe == nullptr) {
    result.err = PF_Err_BAD_CALLBACK_PARAM;
    return result;
  }
  const size_t pixels = static_cast<size_t>(width_) * static_cast<size_t>(height_);
  // The core renders ARGB straight into the host's frame, turned into RGBA row by row.
  PF_EffectWorld output =
      edition::WorldOver(outframe, width_ * static_cast<A_long>(sizeof(PF_Pixel8)), width_, height_,
                         PF_PixelFormat_ARGB32);
  InputFromHost input{inframe, pixels};
  std::fill(told_.begin(), told_.end(), 0);
  RowsToHost rows{reinterpret_cast<uint8_t*>(outframe), width_, &told_};
  edition::EditionFrame frame;
  frame.size = SliderFromSizeParam(sizeParam_);
  frame.style = style_;
  frame.format = PF_PixelFormat_ARGB32;
  frame.output = &output;
  frame.input = inframe != nullptr ? &input_ : nullptr;
  // Also right for a host that hands over one buffer for both frames: the card reads the input
  // before anything writes the output.
  if (inframe != nullptr) frame.inputFill = edition::InputFill{FillInput, &input};
  frame.outputRows = edition::OutputRows{ConvertWrittenRow, &rows};
  result = edition::RenderEditionFrame(frame);
  for (A_long row = 0; row < height_; ++row) {
    if (told_[static_cast<size_t>(row)] == 0) {
      ArgbToRgba(RowOf(rows, row), RowOf(rows, row), static_cast<size_t>(width_));
    }
  }
  return result;
}

}  // namespace kelvrix::frei0r
