#include "ofx/OfxRender.h"

#include <cmath>
#include <cstdint>
#include <cstring>

#include "edition/EditionFrame.h"
#include "edition/EditionWorld.h"
#include "edition/OutputRowsOnce.h"
#include "edition/WorldPool.h"
#include "ofx/OfxHostAccess.h"
#include "ofx/OfxImage.h"
#include "ofx/OfxInstance.h"
#include "ofx/OfxPixelMap.h"
#include "ofx/OfxRowRunner.h"

namespace kelvrix::ofx {
namespace {

using edition::PooledWorld;

// A world of the frame's size from the instance's pool.
PF_Err TakeFrameWorld(PooledWorld& world, const OfxRectI& frame, PF_PixelFormat format) {
  return world.Take(frame.x2 - frame.x1, frame.y2 - frame.y1, format, /*clear=*/false);
}

bool Covers(const OfxRectI& outer, const OfxRectI& inner) {
  return outer.x1 <= inner.x1 && outer.y1 <= inner.y1 && outer.x2 >= inner.x2 &&
         outer.y2 >= inner.y2;
}

bool RenderableFrame(const OfxRectI& frame) {
  return edition::RenderableFrame(static_cast<long long>(frame.x2) - frame.x1,
                                  static_cast<long long>(frame.y2) - frame.y1);
}

bool IsEmpty(const OfxRectI& r) { return r.x2 <= r.x1 || r.y2 <= r.y1; }

OfxStatus StatusOf(PF_Err err) {
  switch (err) {
    case PF_Err_NONE:
      return kOfxStatOK;
    case PF_Err_OUT_OF_MEMORY:
      return kOfxStatErrMemory;
    default:
      return kOfxStatFailed;  // PF_Interrupt_CANCEL among them: the host dropped the frame
  }
}

// The output handed to the host row by row as the core's last pass over each row finishes it,
// while the row is in cache: a pass of its own over the whole frame cost a third to nine tenths
// of an After Effects frame. When the core renders straight into the host's image the row is
// converted where it lies, which leaves no second copy of the frame to write at all.
PF_Err ExportRow(void* pass, A_long thread, A_long row) {
  return static_cast<PixelPass*>(pass)->row(pass, thread, row);
}

struct ExportAsWritten {
  PixelPass pass;
  edition::OutputRowsOnce rows{ExportRow, &pass};  // rows of pass.area
};

PF_Err ExportWrittenRow(void* context, A_long worldRow) {
  auto& e = *static_cast<ExportAsWritten*>(context);
  const int y = e.pass.frame.y2 - 1 - worldRow;  // the world's rows run top-down
  return e.rows.Finished(0, y - e.pass.area.y1);
}

struct RenderArgs {
  OfxTime time = 0;
  OfxRectI window{};
  double scale[2] = {1.0, 1.0};
};

OfxStatus ReadArgs(OfxPropertySetHandle inArgs, RenderArgs* args) {
  const OfxPropertySuiteV1& p = *Suites().property;
  int window[4];
  if (inArgs == nullptr || p.propGetDouble(inArgs, kOfxPropTime, 0, &args->time) != kOfxStatOK ||
      p.propGetIntN(inArgs, kOfxImageEffectPropRenderWindow, 4, window) != kOfxStatOK) {
    return kOfxStatErrBadHandle;
  }
  args->window = OfxRectI{window[0], window[1], window[2], window[3]};
  double scale[2];
  if (p.propGetDoubleN(inArgs, kOfxImageEffectPropRenderScale, 2, scale) == kOfxStatOK &&
      scale[0] > 0 && scale[1] > 0) {
    args->scale[0] = scale[0];
    args->scale[1] = scale[1];
  }
  return kOfxStatOK;
}

// An output image without its own region of definition may be a tile: the frame is the output
// clip's region of definition at the render's scale (x over the pixel aspect ratio), rounded
// outwards. Kept as the image's bounds when the clip cannot tell.
void LayOutOnClip(const InstanceData& data, const RenderArgs& args, FetchedImage& output) {
  if (output.view().ownFrame) return;
  OfxRectD rod{};
  if (Suites().imageEffect->clipGetRegionOfDefinition(data.output, args.time, &rod) != kOfxStatOK) {
    return;
  }
  double par = 1.0;
  OfxPropertySetHandle props = nullptr;
  if (Suites().imageEffect->clipGetPropertySet(data.output, &props) != kOfxStatOK ||
      Suites().property->propGetDouble(props, kOfxImagePropPixelAspectRatio, 0, &par) !=
          kOfxStatOK ||
      !(par > 0)) {
    par = 1.0;  // square pixels unless the clip says otherwise
  }
  const double sx = args.scale[0] / par;
  const double sy = args.scale[1];
  const double corners[] = {std::floor(rod.x1 * sx), std::floor(rod.y1 * sy),
                            std::ceil(rod.x2 * sx), std::ceil(rod.y2 * sy)};
  for (const double c : corners) {
    if (!(c >= INT32_MIN && c <= INT32_MAX)) return;  // NaN or beyond any frame
  }
  output.SetFrame(OfxRectI{static_cast<int>(corners[0]), static_cast<int>(corners[1]),
                           static_cast<int>(corners[2]), static_cast<int>(corners[3])});
}

// The source in a world of the frame's size, made when the core first reads it: only the
// card does, so memory frames skip the conversion.
struct SourceImport {
  PixelPass pass;
  bool covered = false;  // the source's pixels cover the frame
  edition::RowRunner runner;
};

PF_Err FillFromSource(void* context, PF_EffectWorld* input) {
  auto& import = *static_cast<SourceImport*>(context);
  if (!import.covered) {
    std::memset(input->data, 0, static_cast<size_t>(input->rowbytes) * input->height);
  }
  return edition::RunRows(import.runner, import.pass.rows(), import.pass.row, &import.pass);
}

// Fetches the source and sets the frame's input up (none when the clip has no image there:
// the card then has nothing behind its text).
OfxStatus SetUpSource(const InstanceData& data, const RenderArgs& args, const ImageView& output,
                      FetchedImage& source, PooledWorld& world, SourceImport& import,
                      edition::EditionFrame& frame) {
  const OfxStatus fetched = source.Fetch(data.source, args.time);
  if (fetched == kOfxStatFailed) return kOfxStatOK;
  if (fetched != kOfxStatOK) return fetched;
  if (source.view().format != output.format) return kOfxStatErrImageFormat;
  if (TakeFrameWorld(world, output.frame, output.format)) return kOfxStatErrMemory;
  import.pass = ImportPass(source.view(), output.frame, world.get());
  import.covered = Covers(source.view().bounds, output.frame);
  import.runner = frame.rows;
  frame.input = world.get();
  frame.inputFill = edition::InputFill{FillFromSource, &import};
  return kOfxStatOK;
}

}  // namespace

OfxStatus Render(OfxImageEffectHandle instance, OfxPropertySetHandle inArgs) {
  InstanceData* data = DataOf(instance);
  if (data == nullptr) return kOfxStatErrBadHandle;
  RenderArgs args;
  if (const OfxStatus status = ReadArgs(inArgs, &args)) return status;
  if (IsEmpty(args.window)) return kOfxStatOK;  // nothing asked for, nothing written
  ParamValues params;
  if (const OfxStatus status = ReadParams(*data, args.time, &params)) return status;

  FetchedImage output;
  if (const OfxStatus status = output.Fetch(data->output, args.time)) return status;
  LayOutOnClip(*data, args, output);
  const ImageView& out = output.view();
  if (!RenderableFrame(out.frame)) return kOfxStatFailed;

  const OfxMultiThreadSuiteV1* threads = Suites().multiThread;
  OfxImageEffectHandle abortHandle = instance;
  edition::EditionFrame frame;
  frame.size = params.size;
  frame.style = params.style;
  frame.format = out.format;
  frame.abort = HostAbortCheck(&abortHandle);
  frame.rows = HostRowRunner(&threads);
  FetchedImage source;
  PooledWorld inputWorld(data->worlds);
  SourceImport import;
  if (const OfxStatus status = SetUpSource(*data, args, out, source, inputWorld, import, frame)) {
    return status;
  }

  // The whole frame is rendered: the picture and the card are laid out on it, whatever part
  // of it this call writes. Into the host's image itself when the window is the frame, else
  // into a world of ours copied out over the window.
  PooledWorld outputWorld(data->worlds);
  PF_EffectWorld imageWorld{};
  ExportAsWritten exported;
  if (InPlaceOutput(out, args.window, &imageWorld, &exported.pass)) {
    frame.output = &imageWorld;
  } else {
    if (TakeFrameWorld(outputWorld, out.frame, out.format)) return kOfxStatErrMemory;
    frame.output = outputWorld.get();
    exported.pass = ExportPass(out, out.frame, args.window, outputWorld.get());
  }
  if (exported.rows.Reset(exported.pass.rows())) return kOfxStatErrMemory;
  frame.outputRows = edition::OutputRows{ExportWrittenRow, &exported};
  const edition::EditionResult result = edition::RenderEditionFrame(frame);
  if (result.err != PF_Err_NONE) return StatusOf(result.err);
  return StatusOf(exported.rows.ConvertRest(frame.rows));
}

}  // namespace kelvrix::ofx
