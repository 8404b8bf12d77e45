#include "frei0r/Frei0rInstance.h"

#include <new>

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

edition::EditionResult Frei0rInstance::Update(const uint32_t* inframe, uint32_t* outframe) {
  edition::EditionResult result;
  if (outframe == nullptr) {
    result.err = PF_Err_BAD_CALLBACK_PARAM;
    return result;
  }
  const size_t pixels = static_cast<size_t>(width_) * static_cast<size_t>(height_);
  // The core renders ARGB straight into the host's frame, which is turned into RGBA after.
  PF_EffectWorld output{};
  output.data = reinterpret_cast<PF_PixelPtr>(outframe);
  output.rowbytes = width_ * static_cast<A_long>(sizeof(PF_Pixel8));
  output.width = width_;
  output.height = height_;
  output.extent_hint = PF_LRect{0, 0, width_, height_};
  output.pix_aspect_ratio = PF_RationalScale{1, 1};
  output.world_flags = PF_WorldFlag_WRITEABLE;
  if (inframe != nullptr) {
    RgbaToArgb(reinterpret_cast<const uint8_t*>(inframe), reinterpret_cast<uint8_t*>(input_.data),
               pixels);
  }
  edition::EditionFrame frame;
  frame.size = SliderFromSizeParam(sizeParam_);
  frame.style = style_;
  frame.format = PF_PixelFormat_ARGB32;
  frame.output = &output;
  frame.input = inframe != nullptr ? &input_ : nullptr;
  result = edition::RenderEditionFrame(frame);
  ArgbToRgba(reinterpret_cast<const uint8_t*>(outframe), reinterpret_cast<uint8_t*>(outframe),
             pixels);
  return result;
}

}  // namespace kelvrix::frei0r
